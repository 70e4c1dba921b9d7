#include "win32/dialog_font.h"
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
constexpr int kLineIds[] = {IDT_PROGRESS_MODE, IDT_PROGRESS_ROW, IDT_PROGRESS_DRAWING, IDT_PROGRESS_TIME};

}  // namespace

ProgressWindow::ProgressWindow(HWND owner, Stops stops) : owner_(owner), stops_(stops) {
  window_ = CreateDialogInLanguage(owner, IDD_PROGRESS, Proc,
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
  const std::u16string* texts[] = {&mode, &row, &drawing, &times};
  unsigned shown = 0;
  for (int i = 0; i < 4; ++i) {
    SetDlgItemTextW(window_, kLineIds[i], W(*texts[i]));
    if (!texts[i]->empty()) shown |= 1u << i;
  }
  if (shown != shownLines_) Arrange(shown);
}

// Lays the window out for the lines it shows: the empty ones are hidden,
// the others follow one another, the buttons come one gap below the last
// and stand centred.
void ProgressWindow::Arrange(unsigned shown) {
  shownLines_ = shown;
  // Dialog units of the resource's design.
  constexpr int kMargin = 8, kTop = 6, kLineStep = 14, kLineHeight = 10, kGap = 8, kButtonWidth = 118,
                kButtonHeight = 16, kButtonGap = 8, kWidth = 260;
  auto toPixels = [this](int x, int y, int w, int h) {
    RECT r{x, y, x + w, y + h};
    MapDialogRect(window_, &r);
    return r;
  };
  int y = kTop;
  for (int i = 0; i < 4; ++i) {
    HWND line = GetDlgItem(window_, kLineIds[i]);
    const bool visible = (shown & (1u << i)) != 0;
    ShowWindow(line, visible ? SW_SHOWNA : SW_HIDE);
    if (!visible) continue;
    const RECT r = toPixels(kMargin, y, kWidth - 2 * kMargin, kLineHeight);
    SetWindowPos(line, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    y += kLineStep;
  }
  y += kGap - (kLineStep - kLineHeight);
  const bool both = stops_ == Stops::AfterThisAndNow;
  const int rowWidth = both ? 2 * kButtonWidth + kButtonGap : kButtonWidth;
  int x = (kWidth - rowWidth) / 2;
  for (int id : {IDB_STOP_AFTER_THIS, IDB_STOP_NOW}) {
    if (id == IDB_STOP_AFTER_THIS && !both) continue;
    const RECT r = toPixels(x, y, kButtonWidth, kButtonHeight);
    SetWindowPos(GetDlgItem(window_, id), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    x += kButtonWidth + kButtonGap;
  }
  RECT client = toPixels(0, 0, kWidth, y + kButtonHeight + kTop);
  AdjustWindowRectEx(&client, static_cast<DWORD>(GetWindowLongW(window_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(window_, GWL_EXSTYLE)));
  SetWindowPos(window_, nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
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
      if (stops_ == Stops::NowOnly) {
        ShowWindow(GetDlgItem(window_, IDB_STOP_AFTER_THIS), SW_HIDE);
        SetCatalogItemText(window_, IDB_STOP_NOW, TextTable::Dialog, kTextStop);
      } else {
        SetCatalogItemText(window_, IDB_STOP_AFTER_THIS, TextTable::Dialog, kTextStopAfterThis);
        SetCatalogItemText(window_, IDB_STOP_NOW, TextTable::Dialog, kTextStopNow);
      }
      Arrange(0xF);
      CenterOnOwner(window_);
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
