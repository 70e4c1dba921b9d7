// The editing commands of the menu and the toolbar over the drawing list:
// the edit dialog in its three uses, copy, paste and move.
#pragma once

#include <windows.h>

#include "drawing_list/row_editing.h"

namespace tovrel {

// The one-line edit, the one-column edit or the initial-value edit, with the
// main window's user-interface font in the dialog.
void EditRowsCommand(HWND window, HWND list, EditMode mode, RowBuffer& buffer, HFONT font);
void CopyRowCommand(HWND window, HWND list, RowBuffer& buffer);
void PasteRowCommand(HWND window, HWND list, const RowBuffer& buffer);
// direction +1 moves the selected row down, -1 up.
void MoveRowCommand(HWND window, HWND list, int direction);

}  // namespace tovrel
