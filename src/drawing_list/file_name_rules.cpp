#include "drawing_list/file_name_rules.h"

#include <string>
#include <string_view>

namespace tovrel {

namespace {

constexpr std::size_t kFileNameBufferSize = 128;
constexpr int kPortraitText = 0, kLandscapeText = 1, kLimitsText = 2, kExtentsText = 3,
              kDisplayText = 4;

// A search text and the code text it writes.
struct Mark {
  std::u16string_view search;
  int textNumber;
};

bool Matches(std::u16string_view fileName, std::u16string_view search) {
  return !search.empty() && fileName.find(search) != std::u16string_view::npos;
}

}  // namespace

void ApplyFileNameRules(RowStore& store, const FileNameRules& rules, const UiText& text,
                        std::int32_t language, int firstRow) {
  const auto code = [&](int number) -> const std::u16string& {
    return text.Text(TextTable::Code, number, language);
  };
  const Mark orientation[] = {{rules.search_d1, kPortraitText}, {rules.search_d2, kLandscapeText}};
  const Mark plotArea[] = {{rules.search_s1, kLimitsText}, {rules.search_s2, kExtentsText},
                           {rules.search_s3, kDisplayText}};

  const int count = store.RowCount();
  for (int row = firstRow < 0 ? 0 : firstRow; row < count; ++row) {
    const std::u16string fileName = store.CellText(row, 0, kFileNameBufferSize);
    if (rules.ps == 1) {
      for (const FileNamePaperRule& rule : rules.fp_ps) {
        if (!Matches(fileName, rule.search)) continue;
        store.SetCellText(row, kPrinterColumn, rule.printer);
        store.SetCellText(row, kPaperColumn, rule.paper);
      }
    }
    if (rules.ds == 1) {
      for (const Mark& mark : orientation) {
        if (Matches(fileName, mark.search)) store.SetCellText(row, kOrientationColumn, code(mark.textNumber));
      }
    }
    if (rules.ss == 1) {
      for (const Mark& mark : plotArea) {
        if (Matches(fileName, mark.search)) store.SetCellText(row, kPlotAreaColumn, code(mark.textNumber));
      }
    }
  }
}

}  // namespace tovrel
