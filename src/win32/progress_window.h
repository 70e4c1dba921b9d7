// The progress window of long work: a run of AutoCAD, the drive search, the
// automatic setup. Modeless and owned by the main window, which stays
// responsive: a run is driven by the main window's messages and learns of
// Stop from PostStopsTo; a search calls Pump() often, which handles the
// messages waiting for the thread (repaint, moves, the window's own buttons).
#pragma once

#include <windows.h>

#include <string>

namespace tovrel {

class ProgressWindow {
public:
  enum class Stops {
    NowOnly,            // one button, "Stop", without a question (a search)
    AfterThisAndNow,    // "Stop after this drawing" and "Stop now", which asks first
  };

  ProgressWindow(HWND owner, Stops stops);
  ~ProgressWindow();
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  HWND Handle() const { return window_; }

  void SetCaption(const std::u16string& caption);
  // The four lines: what runs, which row, which drawing, the times.
  void SetLines(const std::u16string& mode, const std::u16string& row, const std::u16string& drawing,
                const std::u16string& times);

  // Handles every message waiting for this thread, and returns at once.
  void Pump();
  // The cancel check of a long search: pumps, then answers whether to stop.
  bool PumpAndAskStop() {
    Pump();
    return stopNow_;
  }

  // Each Stop is also posted to `window` as `message`, wParam 1 for "Stop
  // now" and 0 for "Stop after this drawing": work driven by messages
  // learns of it without asking.
  void PostStopsTo(HWND window, UINT message) {
    notifyWindow_ = window;
    notifyMessage_ = message;
  }

  bool StopAfterThis() const { return stopAfterThis_; }
  bool StopNow() const { return stopNow_; }

private:
  static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(int id);
  void Arrange(unsigned shownLines);

  HWND owner_;
  HWND window_ = nullptr;
  Stops stops_;
  bool stopAfterThis_ = false;
  bool stopNow_ = false;
  unsigned shownLines_ = 0;  // bit i: line i has a text and shows
  HWND notifyWindow_ = nullptr;
  UINT notifyMessage_ = 0;
};

}  // namespace tovrel
