#include "win32/program_folder.h"

#include <windows.h>

namespace tovrel {

std::u16string ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return std::u16string();
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);  // a long path: the name was cut
  }
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::u16string() : std::u16string(path.begin(), path.begin() + slash);
}

}  // namespace tovrel
