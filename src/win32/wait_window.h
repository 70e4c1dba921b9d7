// The wait windows (dialogs 7, 10, 11): shown while the program is busy,
// taking no input.
#pragma once

#include <windows.h>

namespace tovrel {

// Shows a wait window owned by `owner`, centred on it.
HWND OpenWaitWindow(HWND owner, int dialogId);
void CloseWaitWindow(HWND waitWindow);

// A wait window with a Cancel button under its texts, for long work that the
// user may stop. The owner should be disabled meanwhile, as under a modal
// dialog.
HWND OpenCancellableWaitWindow(HWND owner, int dialogId);
// Handles the input that has reached the wait window since the last call
// (so that it repaints and its button works) and answers whether the user
// has pressed Cancel or Esc. The work asks it between its steps.
bool WaitWindowCancelled(HWND waitWindow);

}  // namespace tovrel
