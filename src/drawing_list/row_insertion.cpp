#include "drawing_list/row_insertion.h"

#include <algorithm>

namespace tovrel {

namespace {

// The text a new row gets in the column of a slot. A display mode above 4
// can only come from a hand-edited template file: its column exists (the
// mode is not 0), so the cell is there, but it starts empty.
std::u16string_view NewCellText(const TemplateColumn& slot, std::u16string_view fileName,
                                std::u16string_view folder, std::u16string_view dateText) {
  switch (slot.displayMode) {
    case 1: return fileName;
    case 2: return folder;
    case 3: return dateText;
    case 4: {
      const std::u16string_view value = slot.initialValue;
      return value.substr(0, std::min(value.size(), TemplateColumn::kInitialValueSize - 1));
    }
    default: return {};
  }
}

}  // namespace

void InsertDrawingRow(RowStore& store, const ScriptTemplate& activeTemplate,
                      std::u16string_view fileName, std::u16string_view folder,
                      std::u16string_view dateText, int image, int rowIndex) {
  // The walk ends at the first slot not in use, although the list has
  // columns for the slots in use after it: those cells of new rows stay
  // empty. If the walk ends before the first displayed slot, no row is
  // inserted at all.
  int listColumn = 0;
  for (const TemplateColumn& slot : activeTemplate.columns) {
    if (slot.inUse == 0) break;
    if (slot.displayMode == 0) continue;
    const std::u16string_view text = NewCellText(slot, fileName, folder, dateText);
    if (listColumn == 0) store.InsertRow(rowIndex, text, image, rowIndex);
    else store.SetCellText(rowIndex, listColumn, text);
    ++listColumn;
  }
}

}  // namespace tovrel
