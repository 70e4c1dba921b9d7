// The RowStore of the running program: the rows live in the report list view.
// A store is made for one operation: it remembers the column count and a
// text buffer for as long as it lives.
#pragma once

#include <windows.h>

#include <vector>

#include "drawing_list/row_store.h"

namespace tovrel {

// Stops the list view from redrawing while many rows change; the list view
// is hundreds of times faster then. Nests; the outermost pause repaints the
// list when it ends.
class ListRedrawPause {
public:
  explicit ListRedrawPause(HWND list);
  ~ListRedrawPause();
  ListRedrawPause(const ListRedrawPause&) = delete;
  ListRedrawPause& operator=(const ListRedrawPause&) = delete;

private:
  HWND list_;
};

class ListViewRowStore final : public RowStore {
public:
  explicit ListViewRowStore(HWND list) : list_(list) {}

  int RowCount() const override;
  int ColumnCount() const override;
  std::u16string CellText(int row, int column, std::size_t bufferSize) const override;
  void SetCellText(int row, int column, std::u16string_view text) override;
  void InsertRow(int index, std::u16string_view text, int image, std::intptr_t itemData) override;
  void DeleteRow(int row) override;
  void DeleteAllRows() override;
  int Image(int row) const override;
  std::intptr_t ItemData(int row) const override;
  bool IsSelected(int row) const override;
  bool IsFocused(int row) const override;
  void SetMarks(int row, bool on) override;
  int NextSelected(int from) const override;
  int SelectedCount() const override;
  bool Sort(const std::function<int(int before, int after)>& compare) override;

private:
  HWND list_;
  mutable int columns_ = -1;
  mutable std::vector<wchar_t> buffer_;
};

}  // namespace tovrel
