#include "win32/wait_window.h"

#include "dialog_ids.h"
#include "win32/callback_guard.h"
#include "win32/dialog_helpers.h"
#include "win32/window_text.h"

namespace tovrel {

namespace {

// The drive search wait window speaks the current language; the start-up and
// shut-down ones keep their built-in texts (the catalog may not be loaded).
INT_PTR WaitWindowProcUnguarded(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
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

}  // namespace tovrel
