// The wait windows (dialogs 7, 10, 11): shown while the program is busy,
// taking no input.
#pragma once

#include <windows.h>

namespace tovrel {

// Shows a wait window owned by `owner`, centred on it.
HWND OpenWaitWindow(HWND owner, int dialogId);
void CloseWaitWindow(HWND waitWindow);

}  // namespace tovrel
