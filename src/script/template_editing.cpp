#include "script/template_editing.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <utility>

#include "storage/decimal_text.h"

namespace tovrel {

std::vector<std::u16string> ListedTitles(const TemplateSet& templates, std::int32_t language) {
  constexpr std::int32_t kJapanese = 0;
  std::vector<std::u16string> titles;
  for (const ScriptTemplate& tmpl : templates) {
    if (tmpl.title.empty() && language == kJapanese) break;
    titles.push_back(tmpl.title);
  }
  return titles;
}

TitleChoice ChooseByTitle(const TemplateSet& templates, std::u16string_view typed) {
  if (typed.empty()) return {-1, kMessageNoTitleTyped};
  for (int t = 0; t < kTemplateCount; ++t) {
    if (templates[t].title == typed) return {t, 0};
  }
  return {-1, kMessageNoSuchTitle};
}

std::u16string ModeText(std::int32_t value, const std::vector<std::u16string>& names) {
  if (value < 0 || static_cast<std::size_t>(value) >= names.size()) return u"Error";
  return names[static_cast<std::size_t>(value)];
}

std::int32_t NumberAtStart(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    if (value < kLimit) value = value * 10 + (text[i] - u'0');
  }
  if (value > kLimit) value = kLimit;
  if (negative) return static_cast<std::int32_t>(-value);
  return static_cast<std::int32_t>(value == kLimit ? kLimit - 1 : value);
}

TemplateColumn ColumnFromFields(const ColumnFields& fields) {
  TemplateColumn column;
  column.inUse = fields.inUse ? 1 : 0;
  column.itemText = CutToField(fields.itemText, TemplateColumn::kItemTextSize);
  column.outputMode = NumberAtStart(fields.outputMode);
  column.displayMode = NumberAtStart(fields.displayMode);
  column.editMode = NumberAtStart(fields.editMode);
  column.width = NumberAtStart(fields.width);
  for (std::size_t s = 0; s < TemplateColumn::kSelectTextCount; ++s) {
    column.selectText[s] = CutToField(fields.selectText[s], TemplateColumn::kSelectTextSize);
  }
  column.initialValue = CutToField(fields.initialValue, TemplateColumn::kInitialValueSize);
  column.command = CutToField(fields.command, TemplateColumn::kCommandSize);
  return column;
}

ColumnFields FieldsFromColumn(const TemplateColumn& column, const ModeNames& names) {
  ColumnFields fields;
  fields.inUse = column.inUse != 0;
  fields.itemText = column.itemText;
  fields.outputMode = ModeText(column.outputMode, names.output);
  fields.displayMode = ModeText(column.displayMode, names.display);
  fields.editMode = ModeText(column.editMode, names.edit);
  fields.width = DecimalText(column.width);
  fields.selectText = column.selectText;
  fields.initialValue = column.initialValue;
  fields.command = column.command;
  return fields;
}

std::array<std::u16string, kColumnListColumns> ColumnRow(const TemplateColumn& column, const ModeNames& names) {
  return {column.inUse != 0 ? u"ON" : u"OFF",
          column.itemText,
          ModeText(column.outputMode, names.output),
          ModeText(column.displayMode, names.display),
          ModeText(column.editMode, names.edit),
          DecimalText(column.width),
          column.selectText[0],
          column.selectText[1],
          column.selectText[2],
          column.selectText[3],
          column.selectText[4],
          column.initialValue,
          column.command};
}

int ShownColumnCount(const ScriptTemplate& tmpl) {
  int n = 0;
  while (n < kColumnCount && tmpl.columns[n].inUse != 0) ++n;
  return n;
}

int AddColumn(ScriptTemplate& tmpl, int rowCount, const TemplateColumn& column) {
  if (rowCount >= kColumnCount) return kMessageFiftyColumns;
  if (rowCount < 0) rowCount = 0;
  tmpl.columns[rowCount] = column;
  return 0;
}

void DeleteColumn(ScriptTemplate& tmpl, int row, int rowCount) {
  if (rowCount > kColumnCount) rowCount = kColumnCount;
  if (row < 0 || row >= rowCount) return;
  for (int c = row; c + 1 < rowCount; ++c) tmpl.columns[c] = std::move(tmpl.columns[c + 1]);
  tmpl.columns[rowCount - 1] = TemplateColumn{};
}

int MoveColumn(ScriptTemplate& tmpl, int row, int rowCount, int step) {
  const int target = row + step;
  if (row < 0 || row >= kColumnCount || target < 0 || target >= rowCount || target >= kColumnCount) return row;
  std::swap(tmpl.columns[row], tmpl.columns[target]);
  return target;
}

void ClearColumns(ScriptTemplate& tmpl) {
  for (TemplateColumn& column : tmpl.columns) column = TemplateColumn{};
}

int StepTemplate(int index, int step) {
  const int next = (index + step) % kTemplateCount;
  return next < 0 ? next + kTemplateCount : next;
}

int StoreTitle(ScriptTemplate& tmpl, bool inUseTicked, std::u16string_view title) {
  if (inUseTicked && title.empty()) return kMessageTitleMissing;
  tmpl.inUse = inUseTicked ? 1 : 0;
  tmpl.title = CutToField(title, ScriptTemplate::kTitleSize);
  return 0;
}

std::u16string TitleFromPath(std::u16string_view path) {
  const std::size_t slash = path.rfind(u'\\');
  std::u16string_view name = slash == std::u16string_view::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.rfind(u'.');
  if (dot != std::u16string_view::npos) name = name.substr(0, dot);
  return CutToField(name, ScriptTemplate::kTitleSize);
}

std::vector<int> FitColumnWidths(const std::vector<int>& needed, const std::vector<int>& least, int available) {
  auto widthsUnder = [&](int cap) {
    std::vector<int> widths;
    for (std::size_t i = 0; i < needed.size(); ++i) {
      const int floor = i < least.size() ? std::min(least[i], needed[i]) : 0;
      widths.push_back(std::max(floor, std::min(needed[i], cap)));
    }
    return widths;
  };
  auto total = [](const std::vector<int>& widths) { return std::accumulate(widths.begin(), widths.end(), 0LL); };
  // The largest cap under which the columns fit.
  int low = 0;
  int high = needed.empty() ? 0 : *std::max_element(needed.begin(), needed.end());
  while (low < high) {
    const int cap = low + (high - low + 1) / 2;
    if (total(widthsUnder(cap)) <= available) {
      low = cap;
    } else {
      high = cap - 1;
    }
  }
  return widthsUnder(low);
}

}  // namespace tovrel
