// Dialog 2, the environment settings: the AutoCAD program, the script file
// and the end drawing (typed, browsed for, or found by the automatic setup),
// the prohibited printers and the paper filter.
#pragma once

#include <windows.h>

#include <string>

#include "storage/app_settings.h"
#include "storage/file_system.h"

namespace tovrel {

// Runs the dialog modally over `owner`. OK stores every field into
// `settings` and answers true; Cancel stores nothing, also after a browse
// button put a chosen file into its field. The automatic setup
// searches the fixed drives of `files`; the fall-backs lie in
// `workingDirectory`.
bool RunEnvironmentDialog(HWND owner, AppSettings& settings, const FileSystem& files,
                          const std::u16string& workingDirectory);

}  // namespace tovrel
