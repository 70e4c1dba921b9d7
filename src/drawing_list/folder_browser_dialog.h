// Dialog 9, the program's own folder browser: the user walks the drives and
// folders, selects several folders and loads their drawings into the list.
#pragma once

#include <windows.h>

#include "drawing_list/add_drawings_window.h"
#include "storage/file_system.h"

namespace tovrel {

// Opens the browser over `owner` in the remembered folder of the settings
// (which follows every step taken in it) and appends the drawings of the
// folders loaded to `list`; the file-name rules then apply to the new rows
// as after the other add commands.
void FolderBrowserCommand(HWND owner, HWND list, const FileSystem& files, const AddDrawingsContext& context);

}  // namespace tovrel
