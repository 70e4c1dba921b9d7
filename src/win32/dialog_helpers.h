// Small helpers every dialog of the program shares.
#pragma once

#include <windows.h>

#include <windowsx.h>

#include "win32/callback_guard.h"

namespace tovrel {

// Centres a dialog on its owner (on the screen's work area when it has none),
// kept inside the work area of the owner's monitor.
void CenterOnOwner(HWND dialog);

// Enter in `control` sends WM_COMMAND `commandId` to its dialog instead of
// pressing the dialog's default button.
void SendEnterAsCommand(HWND control, int commandId);

// The procedure of a dialog that handles its initialisation, its commands
// and its close box, and, through `OnOther` (which answers as a dialog
// procedure does), any further message; guarded like every callback.
template <BOOL (*OnInitDialog)(HWND, HWND, LPARAM), void (*OnCommand)(HWND, int, HWND, UINT),
          void (*OnClose)(HWND), INT_PTR (*OnOther)(HWND, UINT, WPARAM, LPARAM) = nullptr>
INT_PTR CALLBACK StandardDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return GuardCallback<INT_PTR>(dialog, FALSE, [&]() -> INT_PTR {
    switch (message) {
      case WM_INITDIALOG:
        return HANDLE_WM_INITDIALOG(dialog, wParam, lParam, OnInitDialog);
      case WM_COMMAND:
        HANDLE_WM_COMMAND(dialog, wParam, lParam, OnCommand);
        return TRUE;
      case WM_CLOSE:
        HANDLE_WM_CLOSE(dialog, wParam, lParam, OnClose);
        return TRUE;
      default:
        if constexpr (OnOther != nullptr) {
          return OnOther(dialog, message, wParam, lParam);
        } else {
          return FALSE;
        }
    }
  });
}

}  // namespace tovrel
