// The commands that fill and thin out the drawing list: folders, folder
// trees, picked files, the drive search, selection and deletion.
#pragma once

#include <windows.h>

#include "drawing_list/add_drawings.h"

namespace tovrel {

void AddFolderCommand(HWND owner, HWND list, DrawingKind kind);
void AddFolderTreeCommand(HWND owner, HWND list, DrawingKind kind);
void AddPickedFilesCommand(HWND owner, HWND list, DrawingKind kind);
// Shows wait window 7 while the fixed drives are searched; `waitSlot`
// receives it (the main window's current modeless window).
void SearchDrivesCommand(HWND owner, HWND list, HWND& waitSlot);
void SearchInListCommand(HWND owner, HWND list);
void SelectAllCommand(HWND list);
void DeselectAllCommand(HWND list);
void DeleteSelectedCommand(HWND owner, HWND list, bool toolbarForm);
void DeleteAllCommand(HWND list);

}  // namespace tovrel
