#pragma once

#include <windows.h>

namespace tovrel {

// The language dialog: sets the settings' language from the chosen entry.
void RunLanguageDialog(HWND owner);

}  // namespace tovrel
