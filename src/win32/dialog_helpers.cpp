#include "win32/dialog_helpers.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

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

int WidestChoiceWidth(HWND combo) {
  HDC dc = GetDC(combo);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(combo, WM_GETFONT, 0, 0)));
  int widest = 0;
  auto measure = [&](const std::wstring& text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    widest = std::max(widest, static_cast<int>(size.cx));
  };
  const int count = ComboBox_GetCount(combo);
  for (int i = 0; i < count; ++i) {
    std::wstring text(static_cast<std::size_t>(std::max(ComboBox_GetLBTextLen(combo, i), 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(std::max(ComboBox_GetLBText(combo, i, text.data()), 0)));
    measure(text);
  }
  std::wstring current(static_cast<std::size_t>(GetWindowTextLengthW(combo)) + 1, L'\0');
  current.resize(static_cast<std::size_t>(GetWindowTextW(combo, current.data(), static_cast<int>(current.size()))));
  measure(current);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(combo, dc);
  // The frame, the field's margins on both sides and the arrow button.
  return widest + 4 * GetSystemMetrics(SM_CXEDGE) + 2 * metrics.tmAveCharWidth + GetSystemMetrics(SM_CXVSCROLL) + 4;
}

void FitDroppedWidth(HWND combo) {
  RECT r{};
  GetWindowRect(combo, &r);
  const int width = std::max(WidestChoiceWidth(combo), static_cast<int>(r.right - r.left));
  SendMessageW(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width), 0);
}

void ShowTextFromStart(HWND comboOrField) {
  HWND field = comboOrField;
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (GetComboBoxInfo(comboOrField, &info) && info.hwndItem) field = info.hwndItem;
  // The caret goes where the selection ends: at the first character here.
  SendMessageW(field, EM_SETSEL, static_cast<WPARAM>(GetWindowTextLengthW(field)), 0);
  SendMessageW(field, EM_SCROLLCARET, 0, 0);
}

std::wstring TextWithEllipsis(HWND window, const std::wstring& text, int width) {
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
  auto fits = [&](const std::wstring& candidate) {
    SIZE size{};
    GetTextExtentPoint32W(dc, candidate.c_str(), static_cast<int>(candidate.size()), &size);
    return size.cx <= width;
  };
  std::wstring shown = text;
  if (!fits(shown)) {
    std::size_t keep = text.size();
    do {
      --keep;
      // A surrogate pair stays whole.
      if (keep > 0 && IS_LOW_SURROGATE(text[keep])) --keep;
      shown = text.substr(0, keep) + L"\u2026";
    } while (keep > 0 && !fits(shown));
  }
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return shown;
}

void SetStatusPaneText(HWND status, int pane, const std::wstring& text) {
  RECT r{};
  SendMessageW(status, SB_GETRECT, static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(&r));
  int borders[3] = {};
  SendMessageW(status, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
  // The pane's frame and the room the bar leaves before and after its text.
  const int room = static_cast<int>(r.right - r.left) - 2 * borders[2] - 2 * GetSystemMetrics(SM_CXEDGE) - 4;
  const std::wstring shown = TextWithEllipsis(status, text, room);
  SendMessageW(status, SB_SETTEXTW, static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(shown.c_str()));
  SendMessageW(status, SB_SETTIPTEXTW, static_cast<WPARAM>(pane),
               reinterpret_cast<LPARAM>(shown == text ? L"" : text.c_str()));
}

}  // namespace tovrel
