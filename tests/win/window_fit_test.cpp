// Every text of every window fits its control: the window gallery opens each
// window of the program in the four languages and measures each static text,
// button, check box and header item in the control's own font against the
// room the control gives it. It runs at 100 % and 150 %, each in a process
// of its own (a process reads the resolution once, when it starts).
#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app_harness.h"

using namespace tovrel::test;

namespace {

// Texts that are fixed and cannot fit, with the reason: none so far.
// ("window-name #id" as the gallery prints it, without the language.)
const wchar_t* const kKnownMisfits[] = {nullptr};

void SetLogPixels(DWORD dpi) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
  RegCloseKey(key);
}

std::wstring Widen(const std::string& utf8) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::wstring ReadAll(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return L"";
  std::string bytes(static_cast<std::size_t>(GetFileSize(h, nullptr)), '\0');
  DWORD read = 0;
  ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(h);
  bytes.resize(read);
  return Widen(bytes);
}

bool Known(const std::wstring& line) {
  for (const wchar_t* known : kKnownMisfits) {
    if (known && line.find(std::wstring(L"-") + known + L" ") != std::wstring::npos) return true;
  }
  return false;
}

// Runs the gallery's measuring at a resolution; returns its output.
std::wstring MeasureAt(DWORD dpi, const std::wstring& out) {
  SetLogPixels(dpi);
  std::wstring exe = L"Z:" + Widen(TOVREL_GALLERY_EXE);  // the build names a Unix path
  for (wchar_t& c : exe) c = c == L'/' ? L'\\' : c;
  std::wstring commandLine = L"\"" + exe + L"\" --fit";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE file = CreateFileW(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = file;
  PROCESS_INFORMATION process{};
  const BOOL started =
      CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  CloseHandle(file);
  // Once the gallery has read the resolution, the other programs get theirs back.
  if (started) WaitUntil([&] { return ReadAll(out).find(L"dpi ") != std::wstring::npos; }, 60000);
  SetLogPixels(96);
  EXPECT_TRUE(started) << "cannot start " << std::string(exe.begin(), exe.end());
  if (!started) return L"";
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 15 * 60 * 1000), WAIT_OBJECT_0);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return ReadAll(out);
}

}  // namespace

TEST(WindowFit, EveryTextOfEveryWindowFitsItsControlInEachLanguageAt100And150Percent) {
  for (const DWORD dpi : {96u, 144u}) {
    SCOPED_TRACE(dpi);
    Workspace scratch;
    const std::wstring output = MeasureAt(dpi, scratch.Path(L"fit.txt"));
    // The gallery laid its windows out at this resolution and measured them all.
    EXPECT_NE(output.find(L"dpi " + std::to_wstring(dpi)), std::wstring::npos) << std::string(output.begin(), output.end());
    const std::size_t at = output.find(L"measured ");
    ASSERT_NE(at, std::wstring::npos) << "the gallery did not finish";
    int texts = 0, windows = 0;
    swscanf(output.c_str() + at, L"measured %d texts in %d windows", &texts, &windows);
    EXPECT_GE(windows, 4 * 20);
    EXPECT_GE(texts, 4 * 200);
    std::wistringstream lines(output);
    std::wstring line, misfits;
    while (std::getline(lines, line)) {
      if (line.rfind(L"CLIPPED ", 0) == 0 && !Known(line)) misfits += line + L"\n";
    }
    const int n = WideCharToMultiByte(CP_UTF8, 0, misfits.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string report(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, misfits.c_str(), -1, report.data(), n, nullptr, nullptr);
    report.pop_back();  // the terminator
    EXPECT_TRUE(misfits.empty()) << report;
  }
}
