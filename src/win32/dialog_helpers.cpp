#include "win32/dialog_helpers.h"

#include <commctrl.h>

namespace tovrel {

namespace {

LRESULT CALLBACK EnterAsCommand(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR commandId) {
  // The dialog manager asks first whether the control wants the key.
  if (message == WM_GETDLGCODE && lParam != 0) {
    const MSG* key = reinterpret_cast<const MSG*>(lParam);
    if (key->message == WM_KEYDOWN && key->wParam == VK_RETURN) {
      return DefSubclassProc(control, message, wParam, lParam) | DLGC_WANTMESSAGE;
    }
  }
  if (message == WM_KEYDOWN && wParam == VK_RETURN) {
    SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(static_cast<int>(commandId), 0),
                 reinterpret_cast<LPARAM>(control));
    return 0;
  }
  if (message == WM_CHAR && wParam == L'\r') return 0;  // no beep
  return DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace

void SendEnterAsCommand(HWND control, int commandId) {
  if (control) SetWindowSubclass(control, EnterAsCommand, 0, static_cast<DWORD_PTR>(commandId));
}

void CenterOnOwner(HWND dialog) {
  RECT own{};
  GetWindowRect(dialog, &own);
  HWND owner = GetWindow(dialog, GW_OWNER);
  HMONITOR monitor = MonitorFromWindow(owner ? owner : dialog, MONITOR_DEFAULTTONEAREST);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(monitor, &info);
  const RECT work = info.rcWork;
  RECT around = work;
  if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &around);
  const LONG width = own.right - own.left;
  const LONG height = own.bottom - own.top;
  LONG x = around.left + ((around.right - around.left) - width) / 2;
  LONG y = around.top + ((around.bottom - around.top) - height) / 2;
  if (x + width > work.right) x = work.right - width;
  if (y + height > work.bottom) y = work.bottom - height;
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace tovrel
