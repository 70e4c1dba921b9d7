#include "storage/ansi_code_page_win32.h"

#include <windows.h>

#include <climits>

namespace tovrel {

std::u16string Win32AnsiCodePage::ToUtf16(std::string_view bytes) const {
  if (bytes.empty() || bytes.size() > INT_MAX) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (n <= 0) return {};
  std::u16string out(static_cast<std::size_t>(n), u'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                      reinterpret_cast<wchar_t*>(out.data()), n);
  return out;
}

std::string Win32AnsiCodePage::FromUtf16(std::u16string_view text) const {
  if (text.empty() || text.size() > INT_MAX) return {};
  const auto* w = reinterpret_cast<const wchar_t*>(text.data());
  const int n = WideCharToMultiByte(CP_ACP, 0, w, static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, w, static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

const AnsiCodePage& SystemAnsiCodePage() {
  static const Win32AnsiCodePage instance;
  return instance;
}

}  // namespace tovrel
