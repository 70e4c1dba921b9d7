// The shipped program itself: Tovrel.exe from build/dist started in a
// working directory, closed as a user closes it, and judged by the files it
// leaves behind.
#include <windows.h>

#include <gtest/gtest.h>

#include "app_harness.h"
#include "journal_reader.h"
#include "storage/ansi_code_page_win32.h"
#include "storage/ini_file.h"

using namespace tovrel::test;
using tovrel::journal::ReadJournal;
using tovrel::journal::Record;
using tovrel::journal::RecordsOf;

namespace {

struct FindArgs {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM lParam) {
  auto* args = reinterpret_cast<FindArgs*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  wchar_t cls[32] = L"";
  GetClassNameW(window, cls, 32);
  if (pid == args->pid && wcscmp(cls, L"TOVREL") == 0 && IsWindowVisible(window)) {
    args->found = window;
    return FALSE;
  }
  return TRUE;
}

class Program {
public:
  explicit Program(const std::wstring& workingDir) {
    const std::wstring exe = DistDir() + L"\\Tovrel.exe";
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    started_ = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              workingDir.c_str(), &startup, &info_) != 0;
  }
  ~Program() {
    if (!started_) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 1);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool Started() const { return started_; }
  HWND WaitForMainWindow() const {
    FindArgs args{info_.dwProcessId, nullptr};
    WaitUntil([&] {
      EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&args));
      return args.found != nullptr;
    }, 30000);
    return args.found;
  }
  // The exit code, or -1 when the program does not end within 30 s.
  long WaitForExit() const {
    if (WaitForSingleObject(info_.hProcess, 30000) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<long>(code);
  }

private:
  PROCESS_INFORMATION info_{};
  bool started_ = false;
};

}  // namespace

TEST(Program, StartsAndWritesItsSettingsInAJapaneseFolderAtExit) {
  Workspace ws;
  // A working directory whose name the ANSI code page cannot hold.
  const std::wstring dir = ws.Path(L"図面 도면 图纸");
  ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
  CopyFileW(ws.Path(L"Tovrel_wchar.ini").c_str(), (dir + L"\\Tovrel_wchar.ini").c_str(), FALSE);
  Program program(dir);
  ASSERT_TRUE(program.Started());
  HWND window = program.WaitForMainWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(TextOf(window), L"Tovrel_64 2.02");
  PostMessageW(window, WM_COMMAND, 27, 0);  // "End"
  EXPECT_EQ(program.WaitForExit(), 0);

  const std::wstring path = dir + L"\\Tovrel.ini";
  tovrel::IniFile settings(std::u16string(path.begin(), path.end()), tovrel::SystemAnsiCodePage());
  ASSERT_EQ(settings.LoadStatus(), tovrel::ReadStatus::Ok);
  const std::u16string temp = settings.GetString(u"setting", u"temp_file", u"", 260);
  EXPECT_EQ(std::wstring(temp.begin(), temp.end()), dir + L"\\atcprint.scr");
  // All 45 keys, in the order the program writes them.
  const std::u16string text = settings.Doc().ToText();
  EXPECT_EQ(text.rfind(u"[setting]\r\nfile_folder=c:\\\r\n", 0), 0u);
  std::size_t lines = 0;
  for (char16_t c : text) lines += c == u'\n';
  EXPECT_EQ(lines, 46u);
  EXPECT_NE(text.find(u"\r\nprohibition_plmode=0\r\n"), std::u16string::npos);
}

TEST(Program, AllStartRunsTheStandInOnTheKeptListAndEndsCleanly) {
  Workspace ws;
  const std::wstring drawings = ws.Path(L"図面");
  CreateDirectoryW(drawings.c_str(), nullptr);
  const wchar_t* const names[] = {L"平面図_A1.dwg", L"S-201.dwg", L"E-301.dwg"};
  std::wstring list = L"[listliew]\r\nmax_cont=3\r\n";
  for (int row = 0; row < 3; ++row) {
    CloseHandle(CreateFileW((drawings + L"\\" + names[row]).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                            nullptr));
    // A list kept from the last run, in the default template's columns.
    const std::wstring r = std::to_wstring(row);
    list += r + L",0=" + names[row] + L"\r\n" + r + L",1=" + drawings + L"\r\n" + r + L",4=Model\r\n" + r +
            L",5=Plotter " + r + L".pc3\r\n" + r + L",6=A" + r + L"\r\n" + r + L",8=L Landscape\r\n" + r +
            L",10=E Extents\r\n" + r + L",12=monochrome.ctb\r\n";
  }
  ws.WriteUtf16(L"listview.ini", list);
  CloseHandle(CreateFileW(ws.Path(L"endfile.dwg").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  const std::wstring acad = ws.Path(L"acad standin.exe");
  ASSERT_TRUE(CopyFileW((DistDir() + L"\\acad_standin.exe").c_str(), acad.c_str(), FALSE));
  ws.WriteUtf16(L"Tovrel.ini", L"[setting]\r\nautocad_file=" + acad + L"\r\ntemp_file=" +
                                   ws.Path(L"atcprint.scr") + L"\r\nend_file_dwg=" + ws.Path(L"endfile.dwg") +
                                   L"\r\nautocad_type=1\r\n");
  const std::wstring journal = ws.Path(L"acad_journal.jsonl");  // beside the script

  Program program(ws.Dir());
  ASSERT_TRUE(program.Started());
  HWND window = program.WaitForMainWindow();
  ASSERT_NE(window, nullptr);
  PostMessageW(window, WM_COMMAND, 37832, 0);  // "All start"
  std::vector<Record> records;
  ASSERT_TRUE(WaitUntil([&] {
    records = ReadJournal(journal, 0);
    return !RecordsOf(records, "end").empty();
  }, 30000));
  const std::vector<Record> plots = RecordsOf(records, "plot");
  ASSERT_EQ(plots.size(), 3u);
  EXPECT_TRUE(RecordsOf(records, "error").empty());
  EXPECT_EQ(plots[0].Get("device"), "Plotter 0.pc3");
  EXPECT_EQ(plots[2].Get("paper"), "A2");
  EXPECT_EQ(plots[1].Get("area"), "extents");
  const std::string first = plots[0].Get("drawing");
  EXPECT_NE(first.find("\xE5\xB9\xB3\xE9\x9D\xA2\xE5\x9B\xB3_A1.dwg"), std::string::npos) << first;  // 平面図
  EXPECT_EQ(RecordsOf(records, "end").back().Get("reason"), "quit");

  PostMessageW(window, WM_COMMAND, 27, 0);
  EXPECT_EQ(program.WaitForExit(), 0);
  // The list is kept for the next start.
  const std::wstring kept = ws.Path(L"listview.ini");
  tovrel::IniFile listFile(std::u16string(kept.begin(), kept.end()), tovrel::SystemAnsiCodePage());
  EXPECT_EQ(listFile.GetInt(u"listliew", u"max_cont", 0), 3u);
}
