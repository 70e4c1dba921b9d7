#include "win32/dialog_helpers.h"

namespace tovrel {

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
