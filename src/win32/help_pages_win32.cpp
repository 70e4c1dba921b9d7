#include "win32/help_pages_win32.h"

#include <shellapi.h>

#include <utility>

#include "storage/file_io.h"
#include "win32/program_folder.h"
#include "win32/window_text.h"

namespace tovrel {

namespace {

std::wstring g_programFolder;  // empty: the folder of the running program
HelpPageShell g_shell;         // empty: ShellExecuteW

std::wstring HelpFolderBase() {
  if (!g_programFolder.empty()) return g_programFolder;
  const std::u16string folder = ProgramFolder();
  return std::wstring(folder.begin(), folder.end());
}

}  // namespace

void OpenHelpPage(HWND owner, HelpTopic topic) {
  const std::wstring folder = HelpFolderBase();
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
