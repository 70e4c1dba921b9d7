#include "win32/help_pages_win32.h"

#include <shellapi.h>

#include <utility>

#include "win32/window_text.h"

namespace tovrel {

namespace {

std::wstring g_programFolder;  // empty: the folder of the running program
HelpPageShell g_shell;         // empty: ShellExecuteW

std::wstring ProgramFolder() {
  if (!g_programFolder.empty()) return g_programFolder;
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return std::wstring();
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);  // a long path: the name was cut
  }
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool FileExists(const std::u16string& path) {
  const DWORD attributes = GetFileAttributesW(W(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

void OpenHelpPage(HWND owner, HelpTopic topic) {
  const std::wstring folder = ProgramFolder();
  const std::u16string page = HelpPagePath(U(folder.c_str()), ScreenLanguage(), topic,
                                           [](const std::u16string& path) { return FileExists(path); });
  const std::wstring path(W(page));
  if (g_shell) {
    g_shell(owner, path);
    return;
  }
  // Without SEE_MASK_FLAG_NO_UI the shell itself says which file it could
  // not find (help pages not installed) or that no program opens it.
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.hwnd = owner;
  info.lpVerb = L"open";
  info.lpFile = path.c_str();
  info.nShow = SW_SHOWNORMAL;
  ShellExecuteExW(&info);
}

void ReplaceHelpPageShell(const std::wstring& programFolder, HelpPageShell shell) {
  g_programFolder = programFolder;
  g_shell = std::move(shell);
}

}  // namespace tovrel
