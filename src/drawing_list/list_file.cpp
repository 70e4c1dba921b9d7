#include "drawing_list/list_file.h"

#include "storage/file_names.h"

#include <algorithm>
#include <cstdint>

#include "drawing_list/row_insertion.h"
#include "storage/decimal_text.h"
#include "storage/ini_document.h"

namespace tovrel {

namespace {

constexpr char16_t kRowCountKey[] = u"max_cont";
constexpr std::size_t kSaveCellBufferSize = 512;
constexpr std::size_t kLoadCellBufferSize = 260;

// Builds the keys "<row>,<column>" of one row in place, without streams:
// a list of 10,000 rows has 320,000 of them.
class CellKey {
public:
  explicit CellKey(int row) {
    key_.reserve(24);
    AppendDecimal(key_, row);
    key_ += u',';
    prefix_ = key_.size();
  }
  const std::u16string& For(int column) {
    key_.resize(prefix_);
    AppendDecimal(key_, column);
    return key_;
  }

private:
  std::u16string key_;
  std::size_t prefix_ = 0;
};

int ImageOfName(std::u16string_view name) {
  if (name.size() < 3) return kImageDxf;
  const std::u16string_view ending = name.substr(name.size() - 3);
  if (ending == u"dwg" || ending == u"DWG" || ending == u"Dwg") return kImageDwg;
  return kImageDxf;
}

// A row is in the file when any of its cells is; rows written by the
// program always have their name key, so a present row costs one lookup.
bool RowExists(const IniDocument& file, CellKey& key) {
  for (int column = 0; column < kListFileMaxColumns; ++column) {
    if (file.HasKey(kListSection, key.For(column))) return true;
  }
  return false;
}

}  // namespace

void SaveList(const RowStore& store, IniDocument& file) {
  const int count = store.RowCount();
  const int columns = std::clamp(store.ColumnCount(), kListFileColumns, kListFileMaxColumns);
  file.ReserveKeys(kListSection, static_cast<std::size_t>(count) * static_cast<std::size_t>(columns) + 1);
  file.WriteString(kListSection, kRowCountKey, DecimalText(count));
  for (int row = 0; row < count; ++row) {
    CellKey key(row);
    for (int column = 0; column < columns; ++column) {
      file.WriteString(kListSection, key.For(column), store.CellText(row, column, kSaveCellBufferSize));
    }
  }
}

void LoadList(const IniDocument& file, RowStore& store) {
  const auto count = static_cast<std::int32_t>(file.GetInt(kListSection, kRowCountKey, 0));
  if (count <= 0) return;
  const int first = store.RowCount();
  const int columns = std::min(store.ColumnCount(), kListFileMaxColumns);
  for (int r = 0; r < count; ++r) {
    const int row = first + r;
    CellKey key(r);
    if (!RowExists(file, key)) break;  // the file ends here, whatever its count says
    const std::u16string name = file.GetField(kListSection, key.For(0), u"", kLoadCellBufferSize);
    store.InsertRow(row, name, ImageOfName(name), row);
    for (int column = 1; column < columns; ++column) {
      const std::u16string text = file.GetField(kListSection, key.For(column), u"", kLoadCellBufferSize);
      // A new row's cells are empty already; skipping empty texts spares the
      // list view most of its messages for a sparse list.
      if (!text.empty()) store.SetCellText(row, column, text);
    }
  }
}

std::u16string WithIniExtension(std::u16string_view chosenPath) { return WithExtension(chosenPath, u".ini"); }

}  // namespace tovrel
