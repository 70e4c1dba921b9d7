// Windows that only inform: About, version, and the wait windows shown while
// the program is busy.
#pragma once

#include <windows.h>

namespace tovrel {

// Shows a wait window (dialogs 7, 10, 11) owned by `owner`; it takes no input.
HWND OpenWaitWindow(HWND owner, int dialogId);
void CloseWaitWindow(HWND waitWindow);

// The modeless About window; each call opens a new one.
HWND OpenAboutWindow(HWND owner);

// The modal version dialog.
void RunVersionDialog(HWND owner);

}  // namespace tovrel
