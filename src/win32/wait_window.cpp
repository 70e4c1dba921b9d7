#include "win32/wait_window.h"

#include <string>

#include "dialog_ids.h"
#include "win32/callback_guard.h"
#include "win32/dialog_helpers.h"
#include "win32/window_text.h"

namespace tovrel {

namespace {

// The drive search wait window speaks the current language; the start-up and
// shut-down ones keep their built-in texts (the catalog may not be loaded).
INT_PTR WaitWindowProcUnguarded(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  // Cancel (a cancellable wait window's button, or Esc) is only noted; the
  // work that asks WaitWindowCancelled stops and closes the window.
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
    SetWindowLongPtrW(dialog, DWLP_USER, 1);
    EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
    return TRUE;
  }
  if (message != WM_INITDIALOG) return FALSE;
  CenterOnOwner(dialog);
  if (lParam == IDD_DRIVE_SEARCH_WAIT) {
    SetCatalogText(dialog, TextTable::Dialog, 31);
    SetCatalogItemText(dialog, IDT_LINE_1, TextTable::Dialog, 32);
    SetCatalogItemText(dialog, IDT_LINE_2, TextTable::Dialog, 33);
    SetCatalogItemText(dialog, IDT_LINE_3, TextTable::Dialog, 34);
    return FALSE;
  }
  return TRUE;
}

INT_PTR CALLBACK WaitWindowProc(HWND dialog, UINT message, WPARAM arg2, LPARAM lParam) {
  return GuardCallback<INT_PTR>(dialog, FALSE, [&] { return WaitWindowProcUnguarded(dialog, message, arg2, lParam); });
}

}  // namespace

HWND OpenWaitWindow(HWND owner, int dialogId) {
  HWND wait = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(dialogId), owner, WaitWindowProc,
                                 dialogId);
  if (wait) {
    ShowWindow(wait, SW_SHOW);
    UpdateWindow(wait);
  }
  return wait;
}

void CloseWaitWindow(HWND waitWindow) {
  if (waitWindow) DestroyWindow(waitWindow);
}

HWND OpenCancellableWaitWindow(HWND owner, int dialogId) {
  HWND wait = OpenWaitWindow(owner, dialogId);
  if (!wait) return nullptr;
  // The window grows by a row that holds the button, centred under the texts.
  RECT units{4, 4, 50, 14};  // margin, button width and height
  MapDialogRect(wait, &units);
  RECT client{}, frame{};
  GetClientRect(wait, &client);
  GetWindowRect(wait, &frame);
  const int rowHeight = units.bottom + 2 * units.top;
  SetWindowPos(wait, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top + rowHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  std::wstring text = LookUpText(TextTable::Dialog, 1);
  if (text.empty()) text = L"Cancel";
  HWND button = CreateWindowExW(0, L"BUTTON", text.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                (client.right - units.right) / 2, client.bottom + units.top, units.right,
                                units.bottom, wait, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDCANCEL)),
                                GetModuleHandleW(nullptr), nullptr);
  SendMessageW(button, WM_SETFONT, SendMessageW(wait, WM_GETFONT, 0, 0), TRUE);
  CenterOnOwner(wait);
  SetFocus(button);
  UpdateWindow(wait);
  return wait;
}

bool WaitWindowCancelled(HWND waitWindow) {
  if (!waitWindow || !IsWindow(waitWindow)) return false;
  MSG message;
  while (PeekMessageW(&message, waitWindow, 0, 0, PM_REMOVE)) {
    if (!IsDialogMessageW(waitWindow, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return GetWindowLongPtrW(waitWindow, DWLP_USER) != 0;
}

}  // namespace tovrel
