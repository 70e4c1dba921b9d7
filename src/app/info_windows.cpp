#include "app/info_windows.h"

#include <windowsx.h>

#include "dialog_ids.h"
#include "resource_ids.h"
#include "win32/dialog_font.h"
#include "win32/callback_guard.h"
#include "win32/dialog_helpers.h"
#include "win32/window_text.h"

namespace tovrel {

namespace {

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

// About window state: its picture, released when the window goes.
struct AboutState {
  HBITMAP picture = nullptr;
};

BOOL About_OnInitDialog(HWND dialog, HWND, LPARAM) {
  auto* state = new AboutState;
  state->picture = static_cast<HBITMAP>(
      LoadImageW(Instance(), MAKEINTRESOURCEW(IDB_ABOUT), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
  CenterOnOwner(dialog);
  SetCatalogText(dialog, TextTable::Dialog, 11);
  SetCatalogItemText(dialog, IDT_LINE_1, TextTable::Dialog, 12);
  SetCatalogItemText(dialog, IDT_LINE_2, TextTable::Dialog, 13);
  SetCatalogItemText(dialog, IDT_LINE_3, TextTable::Dialog, 14);
  SetCatalogItemText(dialog, IDB_DIALOG_OK, TextTable::Dialog, 3);
  return TRUE;
}

AboutState* About_State(HWND dialog) {
  return reinterpret_cast<AboutState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

void About_OnPaint(HWND dialog) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(dialog, &paint);
  AboutState* state = About_State(dialog);
  if (state && state->picture) {
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, state->picture);
    BitBlt(dc, 40, 0, 128, 64, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
  }
  EndPaint(dialog, &paint);
}

void About_Close(HWND dialog) {
  // A modeless window ends by being destroyed; its state goes with it.
  DestroyWindow(dialog);
}

void About_OnDestroy(HWND dialog) {
  AboutState* state = About_State(dialog);
  if (!state) return;
  if (state->picture) DeleteObject(state->picture);
  delete state;
  SetWindowLongPtrW(dialog, DWLP_USER, 0);
}

INT_PTR AboutWindowProcUnguarded(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return HANDLE_WM_INITDIALOG(dialog, wParam, lParam, About_OnInitDialog);
    case WM_PAINT:
      About_OnPaint(dialog);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDB_DIALOG_OK || LOWORD(wParam) == IDCANCEL) About_Close(dialog);
      return TRUE;
    case WM_CLOSE:
      About_Close(dialog);
      return TRUE;
    case WM_DESTROY:
      About_OnDestroy(dialog);
      return FALSE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK AboutWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return GuardCallback<INT_PTR>(dialog, FALSE, [&] { return AboutWindowProcUnguarded(dialog, message, wParam, lParam); });
}

INT_PTR VersionDialogProcUnguarded(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      CenterOnOwner(dialog);
      SetCatalogText(dialog, TextTable::Dialog, 10);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK VersionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM arg3) {
  return GuardCallback<INT_PTR>(dialog, FALSE, [&] { return VersionDialogProcUnguarded(dialog, message, wParam, arg3); });
}

}  // namespace

HWND OpenAboutWindow(HWND owner) {
  HWND about = CreateDialogInLanguage(owner, IDD_ABOUT, AboutWindowProc, 0);
  if (about) ShowWindow(about, SW_SHOW);
  return about;
}

void RunVersionDialog(HWND owner) {
  ShowDialogInLanguage(owner, IDD_VERSION, VersionDialogProc, 0);
}

}  // namespace tovrel
