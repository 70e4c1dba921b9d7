#include "win32/progress_window.h"

#include "dialog_ids.h"
#include "win32/callback_guard.h"
#include "win32/dialog_helpers.h"
#include "win32/window_text.h"

namespace tovrel {

namespace {

constexpr int kTextStopAfterThis = 95;  // dialog texts
constexpr int kTextStopNow = 96;
constexpr int kTextStop = 97;
constexpr int kMessageConfirmStopNow = 76;

}  // namespace

ProgressWindow::ProgressWindow(HWND owner, Stops stops) : owner_(owner), stops_(stops) {
  window_ = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PROGRESS), owner, Proc,
                               reinterpret_cast<LPARAM>(this));
  if (window_) {
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    UpdateWindow(window_);
  }
}

ProgressWindow::~ProgressWindow() {
  if (window_) {
    SetWindowLongPtrW(window_, DWLP_USER, 0);
    DestroyWindow(window_);
  }
}

void ProgressWindow::SetCaption(const std::u16string& caption) {
  if (window_ && !caption.empty()) SetWindowTextW(window_, W(caption));
}

void ProgressWindow::SetLines(const std::u16string& mode, const std::u16string& row, const std::u16string& drawing,
                              const std::u16string& times) {
  if (!window_) return;
  SetDlgItemTextW(window_, IDT_PROGRESS_MODE, W(mode));
  SetDlgItemTextW(window_, IDT_PROGRESS_ROW, W(row));
  SetDlgItemTextW(window_, IDT_PROGRESS_DRAWING, W(drawing));
  SetDlgItemTextW(window_, IDT_PROGRESS_TIME, W(times));
}

void ProgressWindow::Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // The loop that waits for it must see it again.
      PostQuitMessage(static_cast<int>(msg.wParam));
      stopNow_ = true;
      return;
    }
    if (window_ && IsDialogMessageW(window_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void ProgressWindow::PumpFor(DWORD milliseconds) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  for (;;) {
    Pump();
    const ULONGLONG now = GetTickCount64();
    if (stopNow_ || now >= end) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
  }
}

INT_PTR CALLBACK ProgressWindow::Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return GuardCallback<INT_PTR>(dialog, FALSE, [&]() -> INT_PTR {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* self = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!self) return FALSE;
    if (message == WM_INITDIALOG) self->window_ = dialog;
    return self->Handle(message, wParam, lParam);
  });
}

INT_PTR ProgressWindow::Handle(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      CenterOnOwner(window_);
      if (stops_ == Stops::NowOnly) {
        ShowWindow(GetDlgItem(window_, IDB_STOP_AFTER_THIS), SW_HIDE);
        SetCatalogItemText(window_, IDB_STOP_NOW, TextTable::Dialog, kTextStop);
      } else {
        SetCatalogItemText(window_, IDB_STOP_AFTER_THIS, TextTable::Dialog, kTextStopAfterThis);
        SetCatalogItemText(window_, IDB_STOP_NOW, TextTable::Dialog, kTextStopNow);
      }
      return FALSE;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam));
      return TRUE;
    case WM_CLOSE:
      return TRUE;  // the work ends the window, never the close box
    default:
      return FALSE;
  }
}

void ProgressWindow::OnCommand(int id) {
  if (id == IDB_STOP_AFTER_THIS) {
    stopAfterThis_ = true;
    EnableWindow(GetDlgItem(window_, IDB_STOP_AFTER_THIS), FALSE);
    if (notifyWindow_) PostMessageW(notifyWindow_, notifyMessage_, 0, 0);
  } else if (id == IDB_STOP_NOW) {
    // Ending AutoCAD leaves the drawing being plotted unfinished: asked first.
    if (stops_ == Stops::AfterThisAndNow && ShowMessage(window_, kMessageConfirmStopNow, 1) != IDYES) return;
    stopNow_ = true;
    EnableWindow(GetDlgItem(window_, IDB_STOP_NOW), FALSE);
    if (notifyWindow_) PostMessageW(notifyWindow_, notifyMessage_, 1, 0);
  }
}

}  // namespace tovrel
