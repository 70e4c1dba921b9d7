// Small helpers every dialog of the program shares.
#pragma once

#include <windows.h>

#include <windowsx.h>

#include <string>

#include "win32/callback_guard.h"

namespace tovrel {

// Centres a dialog on its owner (on the screen's work area when it has none),
// kept inside the work area of the owner's monitor.
void CenterOnOwner(HWND dialog);

// The width in pixels the longest choice of a drop-down needs in its own
// font, with the room of its frame and arrow button.
int WidestChoiceWidth(HWND combo);
// Opens a drop-down's list at least as wide as its longest choice.
void FitDroppedWidth(HWND combo);
// Shows a drop-down's or a field's text from its first character (a text
// wider than the field is otherwise scrolled to its end when it gets the
// focus), all of it still selected.
void ShowTextFromStart(HWND comboOrField);

// A text cut at its end with "…" so that it fits `width` pixels in the
// window's font; the whole text when it fits.
std::wstring TextWithEllipsis(HWND window, const std::wstring& text, int width);
// Shows a text in a pane of a status bar (one with SBARS_TOOLTIPS), cut with
// "…" when the pane is too narrow; the whole text is then the pane's tip.
void SetStatusPaneText(HWND status, int pane, const std::wstring& text);

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
