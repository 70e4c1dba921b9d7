#include "win32/callback_guard.h"

#include <string>

#include "win32/window_text.h"

namespace tovrel {

void ReportUnexpectedError(HWND owner, const char* what) noexcept {
  try {
    std::wstring text = L"Tovrel met an unexpected error and stopped the current command:\r\n\r\n";
    for (const char* p = what; p && *p; ++p) text += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    text += L"\r\n\r\nThe files on disk are as they were before the command.";
    if (MessagesGoToLog()) {
      WriteToMessageLog(U(text.c_str()));
      return;
    }
    MessageBoxW(owner, text.c_str(), L"Tovrel", MB_OK | MB_ICONERROR);
  } catch (...) {
    MessageBoxW(owner, L"Tovrel met an unexpected error and stopped the current command.", L"Tovrel",
                MB_OK | MB_ICONERROR);
  }
}

}  // namespace tovrel
