// The installer on a real Wine prefix: a silent install into Program Files
// with a Start-menu shortcut, the installed program keeping the user's
// files in %APPDATA%\Tovrel (its first start copies the shipped data files
// there, never over the user's own), and an uninstaller that removes the
// program and leaves the user's files.
#include <windows.h>

#include <shlobj.h>
#include <gtest/gtest.h>

#include <string>

#include "app_harness.h"

using namespace tovrel::test;

namespace {

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::wstring result;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) result = path;
  CoTaskMemFree(path);
  return result;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Runs a program to its end; its exit code, or -1.
long RunToEnd(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder = L"") {
  std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
    return -1;
  }
  CloseHandle(process.hThread);
  const bool ended = WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0;
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  if (!ended) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hProcess);
  return ended ? static_cast<long>(code) : -1;
}

void WriteText(const std::wstring& path, const std::string& bytes) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
}

}  // namespace

TEST(Installer, InstallsSilentlyKeepsTheUsersFilesInAppDataAndUninstallsWithoutThem) {
  std::wstring setup = L"Z:" + std::wstring(TOVREL_SETUP);  // the build tree's path, seen from Wine
  for (wchar_t& c : setup) {
    if (c == L'/') c = L'\\';
  }
  const std::wstring programs = KnownFolder(FOLDERID_ProgramFiles);
  const std::wstring installed = programs + L"\\Tovrel";
  const std::wstring user = KnownFolder(FOLDERID_RoamingAppData) + L"\\Tovrel";
  CreateDirectoryW(user.c_str(), nullptr);
  DeleteFileW((user + L"\\Tovrel.ini").c_str());
  // A template the user already changed is never replaced by the shipped one.
  const std::string own = "[Title]\r\nt1=My own\r\n";
  WriteText(user + L"\\tovrl_set_e.ini", own);

  ASSERT_EQ(RunToEnd(setup, L"/S"), 0);
  ASSERT_TRUE(Exists(installed + L"\\Tovrel.exe"));
  EXPECT_TRUE(Exists(installed + L"\\Tovrel.installed"));
  EXPECT_TRUE(Exists(installed + L"\\uninstall.exe"));
  EXPECT_TRUE(Exists(installed + L"\\help\\en\\index.html"));
  EXPECT_TRUE(Exists(KnownFolder(FOLDERID_CommonPrograms) + L"\\Tovrel\\Tovrel.lnk"));

  // Started from elsewhere, as a shortcut starts it.
  const Workspace elsewhere;
  const std::wstring exe = installed + L"\\Tovrel.exe";
  std::wstring commandLine = L"\"" + exe + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             elsewhere.Dir().c_str(), &startup, &process));
  HWND main = WaitForWindowOfProcess(process.dwProcessId, L"TOVREL");
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_COMMAND, 27, 0);  // "End"
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);

  EXPECT_TRUE(Exists(user + L"\\Tovrel.ini"));
  EXPECT_TRUE(Exists(user + L"\\listview.ini"));
  EXPECT_TRUE(Exists(user + L"\\Tovrel_wchar.ini"));
  EXPECT_TRUE(Exists(user + L"\\tovrl_set_j.ini"));
  HANDLE kept = CreateFileW((user + L"\\tovrl_set_e.ini").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(GetFileSize(kept, nullptr), own.size());  // still the user's own
  CloseHandle(kept);
  EXPECT_FALSE(Exists(installed + L"\\Tovrel.ini"));
  EXPECT_FALSE(Exists(elsewhere.Path(L"Tovrel.ini")));

  // "_?=" runs the uninstaller in place, so that the test can wait for it.
  ASSERT_EQ(RunToEnd(installed + L"\\uninstall.exe", L"/S _?=" + installed), 0);
  DeleteFileW((installed + L"\\uninstall.exe").c_str());  // left behind by "_?="
  RemoveDirectoryW(installed.c_str());
  EXPECT_FALSE(Exists(installed + L"\\Tovrel.exe"));
  EXPECT_FALSE(Exists(installed + L"\\help"));
  EXPECT_FALSE(Exists(KnownFolder(FOLDERID_CommonPrograms) + L"\\Tovrel\\Tovrel.lnk"));
  EXPECT_TRUE(Exists(user + L"\\Tovrel.ini"));
  EXPECT_TRUE(Exists(user + L"\\tovrl_set_e.ini"));
}
