#include "drawing_list/row_selection.h"

#include <string>

namespace tovrel {

namespace {

constexpr int kSearchedColumn = 0;
constexpr std::size_t kCellBufferSize = 260;

}  // namespace

void SelectAllRows(RowStore& store) {
  const int count = store.RowCount();
  for (int row = 0; row < count; ++row) store.SetMarks(row, true);
}

void DeselectAllRows(RowStore& store) {
  // Clearing a row never selects an earlier one, so the search for the next
  // selected row goes on after it instead of restarting at the top.
  for (int row = store.NextSelected(0); row >= 0; row = store.NextSelected(row + 1)) {
    store.SetMarks(row, false);
  }
}

void SelectRowsContaining(RowStore& store, std::u16string_view text) {
  const int count = store.RowCount();
  for (int row = 0; row < count; ++row) {
    const std::u16string name = store.CellText(row, kSearchedColumn, kCellBufferSize);
    if (name.find(text) != std::u16string::npos) store.SetMarks(row, true);
  }
}

int DeleteSelectedRows(RowStore& store, bool toolbarForm) {
  int row = store.NextSelected(0);
  if (row < 0) {
    if (!toolbarForm) return kMessageNothingSelected;
    store.DeleteAllRows();
    return 0;
  }
  while (row >= 0) {
    const int before = store.RowCount();
    store.DeleteRow(row);
    if (store.RowCount() >= before) break;  // the store refused: never loop forever
    // The rows above `row` were not selected and have not moved.
    row = store.NextSelected(row);
  }
  return 0;
}

void NormaliseMarksAfterClick(RowStore& store) {
  const int count = store.RowCount();
  for (int row = 0; row < count; ++row) {
    store.SetMarks(row, store.IsFocused(row) || store.IsSelected(row));
  }
}

int FirstSelectedRow(const RowStore& store) { return store.NextSelected(0); }

}  // namespace tovrel
