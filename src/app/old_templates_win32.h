// The old-file conversion command: a file of an old template pair is chosen,
// both files of its folder are read into the templates, and the templates
// are written to the template file of the current language.
#pragma once

#include <windows.h>

namespace tovrel {

struct AppContext;

// Runs the whole command, messages included (17 and 18 when nothing was
// converted, 53 when the template file could not be written). True when
// the templates were converted.
bool ConvertOldFilesCommand(HWND owner, AppContext& app);

}  // namespace tovrel
