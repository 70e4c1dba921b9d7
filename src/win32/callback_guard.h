// The boundary between the platform's callbacks and the program's C++ code:
// an exception must never unwind through a window procedure. It is shown to
// the user and the message ends there.
#pragma once

#include <windows.h>

#include <exception>

namespace tovrel {

void ReportUnexpectedError(HWND owner, const char* what) noexcept;

template <typename Result, typename Body>
Result GuardCallback(HWND window, Result onError, Body&& body) noexcept {
  try {
    return body();
  } catch (const std::exception& e) {
    ReportUnexpectedError(window, e.what());
  } catch (...) {
    ReportUnexpectedError(window, "unknown error");
  }
  return onError;
}

}  // namespace tovrel
