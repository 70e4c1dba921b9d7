#include "drawing_list/cell_edit.h"

#include <optional>

#include "drawing_list/row_editing.h"

namespace tovrel {

std::u16string WholeCellText(const RowStore& store, int row, int column) {
  std::size_t size = 260;
  for (;;) {
    std::u16string text = store.CellText(row, column, size);
    if (text.size() + 1 < size) return text;
    size *= 2;
  }
}

void CellEdit::Begin(RowStore& store, int row, int column) {
  row_ = row;
  column_ = column;
  previous_ = WholeCellText(store, row, column);
  store.SetCellText(row, column, u"");
}

void CellEdit::Commit(RowStore& store, std::u16string_view text, const PrinterCatalog& printers) const {
  Write(store, text);
  if (column_ != kPrinterColumn || text == previous_ || row_ >= store.RowCount()) return;
  const std::optional<std::u16string> paper = FirstPaperOf(printers, text);
  if (paper) store.SetCellText(row_, kPaperColumn, *paper);
}

void CellEdit::Cancel(RowStore& store) const { Write(store, previous_); }

void CellEdit::Write(RowStore& store, std::u16string_view text) const {
  // The rows may have gone meanwhile (a command deleted them).
  if (row_ < store.RowCount()) store.SetCellText(row_, column_, text);
}

}  // namespace tovrel
