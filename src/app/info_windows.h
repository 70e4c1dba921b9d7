// Windows that only inform: About and version.
#pragma once

#include <windows.h>

namespace tovrel {

// The modeless About window; each call opens a new one.
HWND OpenAboutWindow(HWND owner);

// The modal version dialog.
void RunVersionDialog(HWND owner);

}  // namespace tovrel
