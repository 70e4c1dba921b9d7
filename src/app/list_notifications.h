// What the drawing list tells the main window: clicks, right-clicks that
// open the in-place editor, header clicks that sort, and the in-place
// editor's commits.
#pragma once

#include <windows.h>

#include "drawing_list/cell_editor_window.h"
#include "drawing_list/row_sort.h"

namespace tovrel {

struct ListInteraction {
  CellEditor cellEditor;          // the in-place editor over one cell
  int editedColumn = 0;           // the list column of the last right-click
  SortDirections sortDirections;  // per list column, for the whole run
};

// A WM_NOTIFY from the drawing list; `font` is the editor's font.
LRESULT OnListNotify(HWND window, HWND list, NMHDR* header, ListInteraction& state, HFONT font);

// WM_COMMAND from the in-place editor's field or drop-down; false for any
// other control.
bool HandleCellEditorCommand(int id, HWND control, UINT code, ListInteraction& state);

// The drop-down's commit timer.
void OnCellCommitTimer(ListInteraction& state);

}  // namespace tovrel
