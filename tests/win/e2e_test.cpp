// The shipped program itself: Tovrel.exe from build/dist started in a
// working directory, closed as a user closes it, and judged by the files it
// leaves behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app_harness.h"
#include "storage/file_io.h"
#include "journal_reader.h"
#include "storage/ansi_code_page_win32.h"
#include "storage/ini_file.h"

using namespace tovrel::test;
using tovrel::journal::ReadJournal;
using tovrel::journal::Record;
using tovrel::journal::RecordsOf;

namespace {

struct DialogArgs {
  DWORD pid;
  const wchar_t* caption;
  HWND found;
};

BOOL CALLBACK FindDialogOf(HWND window, LPARAM lParam) {
  auto* args = reinterpret_cast<DialogArgs*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  wchar_t cls[32] = L"", caption[128] = L"";
  GetClassNameW(window, cls, 32);
  GetWindowTextW(window, caption, 128);
  if (pid == args->pid && wcscmp(cls, L"#32770") == 0 && IsWindowVisible(window) &&
      wcscmp(caption, args->caption) == 0) {
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
  HWND WaitForMainWindow() const { return WaitForWindowOfProcess(info_.dwProcessId, L"TOVREL"); }
  // A dialog or message box of the program with this caption.
  HWND WaitForDialog(const std::wstring& caption) const {
    DialogArgs args{info_.dwProcessId, caption.c_str(), nullptr};
    WaitUntil([&] {
      EnumWindows(FindDialogOf, reinterpret_cast<LPARAM>(&args));
      return args.found != nullptr;
    }, 30000);
    return args.found;
  }
  // Ends the program from outside, as a crash or a power cut would.
  void Kill() const {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 10000);
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
  // All 51 keys, in the order the program writes them.
  const std::u16string text = settings.Doc().ToText();
  EXPECT_EQ(text.rfind(u"[setting]\r\nfile_folder=c:\\\r\n", 0), 0u);
  std::size_t lines = 0;
  for (char16_t c : text) lines += c == u'\n';
  EXPECT_EQ(lines, 52u);
  EXPECT_NE(text.find(u"\r\nprohibition_plmode=0\r\n"), std::u16string::npos);
}

// A kept list of three drawings in a folder named in Japanese, in the
// default template's columns, and the stand-in as AutoCAD (its path has a
// blank). Answers the stand-in's journal path, beside the script.
std::wstring PrepareKeptList(const Workspace& ws) {
  const std::wstring drawings = ws.Path(L"図面");
  CreateDirectoryW(drawings.c_str(), nullptr);
  const wchar_t* const names[] = {L"平面図_A1.dwg", L"S-201.dwg", L"E-301.dwg"};
  std::wstring list = L"[listliew]\r\nmax_cont=3\r\n";
  const std::wstring plotters = ws.Path(L"Plotters");  // AutoCAD's, with the rows' configurations
  CreateDirectoryW(plotters.c_str(), nullptr);
  for (int row = 0; row < 3; ++row) {
    TouchFile(plotters + L"\\Plotter " + std::to_wstring(row) + L".pc3");
    CloseHandle(CreateFileW((drawings + L"\\" + names[row]).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                            nullptr));
    // A list kept from the last run, in the default template's columns.
    const std::wstring r = std::to_wstring(row);
    list += r + L",0=" + names[row] + L"\r\n" + r + L",1=" + drawings + L"\r\n" + r + L",4=Model\r\n" + r +
            L",5=Plotter " + r + L".pc3\r\n" + r + L",6=A" + r + L"\r\n" + r + L",8=L Landscape\r\n" + r +
            L",10=E Extents\r\n" + r + L",12=monochrome.ctb\r\n";
  }
  ws.WriteUtf16(L"listview.ini", list);
  WriteEndDrawing(ws.Path(L"endfile.dwg"));
  const std::wstring acad = ws.Path(L"acad standin.exe");
  EXPECT_TRUE(CopyFileW((DistDir() + L"\\acad_standin.exe").c_str(), acad.c_str(), FALSE));
  ws.WriteUtf16(L"Tovrel.ini", L"[setting]\r\nautocad_file=" + acad + L"\r\ntemp_file=" +
                                   ws.Path(L"atcprint.scr") + L"\r\nend_file_dwg=" + ws.Path(L"endfile.dwg") +
                                   L"\r\nplotters_folder=" + plotters + L"\r\nautocad_type=1\r\n");
  return ws.Path(L"acad_journal.jsonl");
}

TEST(Program, AllStartRunsTheStandInOnTheKeptListAndEndsCleanly) {
  Workspace ws;
  const std::wstring journal = PrepareKeptList(ws);

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

  // One summary at the end, and a journal in the "runs" folder.
  HWND summary = program.WaitForDialog(CatalogText(L"meg", L"No.77:meg-jb"));
  ASSERT_NE(summary, nullptr);
  PostMessageW(summary, WM_COMMAND, IDOK, 0);
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(ws.Path(L"runs\\run-*.csv").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  FindClose(search);
  const tovrel::FileContents csv = tovrel::ReadWholeFile(
      [&] { const std::wstring p = ws.Path(std::wstring(L"runs\\") + found.cFileName); return std::u16string(p.begin(), p.end()); }());
  std::size_t plotted = 0;
  for (std::size_t at = csv.bytes.find(",plotted"); at != std::string::npos; at = csv.bytes.find(",plotted", at + 1)) ++plotted;
  EXPECT_EQ(plotted, 3u);

  PostMessageW(window, WM_COMMAND, 27, 0);
  EXPECT_EQ(program.WaitForExit(), 0);
  // The list is kept for the next start.
  const std::wstring kept = ws.Path(L"listview.ini");
  tovrel::IniFile listFile(std::u16string(kept.begin(), kept.end()), tovrel::SystemAnsiCodePage());
  EXPECT_EQ(listFile.GetInt(u"listliew", u"max_cont", 0), 3u);
}

TEST(Program, CarriesAVersionResourceAndAskesForVisualStylesAndDpiAwareness) {
  const std::wstring exe = DistDir() + L"\\Tovrel.exe";
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &handle);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, info.data()));
  auto value = [&](const wchar_t* name) {
    wchar_t* text = nullptr;
    UINT length = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&text), &length) || !text) return std::wstring();
    return std::wstring(text);
  };
  EXPECT_EQ(value(L"ProductName"), L"Tovrel");
  EXPECT_EQ(value(L"FileVersion"), L"2.02");
  EXPECT_FALSE(value(L"FileDescription").empty());
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), 2u);

  // The manifest: Common Controls 6 and DPI awareness.
  HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  ASSERT_NE(found, nullptr);
  const char* manifest = static_cast<const char*>(LockResource(LoadResource(module, found)));
  const std::string text(manifest, SizeofResource(module, found));
  FreeLibrary(module);
  EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(text.find("<dpiAware"), std::string::npos);
}

// Tovrel killed in the middle of a one-pass run (the machine restarted),
// after its first drawing failed: AutoCAD goes with it, the journal holds
// the finished drawing as a whole CSV, and the next start offers the failed
// drawing too, with the one cut off and the one never started.
TEST(Program, ARunKilledMidwayLeavesItsJournalEndsAutocadAndGoesOnWithEveryDrawingNotPlotted) {
  Workspace ws;
  const std::wstring journal = PrepareKeptList(ws);
  {
    SetEnvironmentVariableW(L"TOVREL_STANDIN_DELAY_MS", L"5000");  // each plot takes a while
    SetEnvironmentVariableW(L"TOVREL_STANDIN_EXIT_CODE", L"3");    // and AutoCAD fails each drawing
    Program program(ws.Dir());
    SetEnvironmentVariableW(L"TOVREL_STANDIN_DELAY_MS", nullptr);
    SetEnvironmentVariableW(L"TOVREL_STANDIN_EXIT_CODE", nullptr);
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_COMMAND, 37846, 0);  // one AutoCAD run per drawing
    std::vector<Record> records;
    ASSERT_TRUE(WaitUntil([&] {
      records = ReadJournal(journal, 0);
      return RecordsOf(records, "plot").size() == 2;
    }, 60000));
    HANDLE acad = OpenProcess(SYNCHRONIZE, FALSE,
                              static_cast<DWORD>(std::stoul(RecordsOf(records, "start")[1].Get("pid"))));
    ASSERT_NE(acad, nullptr);
    program.Kill();  // with AutoCAD in its second plot, seconds before it would end by itself
    EXPECT_EQ(WaitForSingleObject(acad, 2000), WAIT_OBJECT_0) << "AutoCAD outlived Tovrel";
    CloseHandle(acad);
  }
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(ws.Path(L"runs\\run-*.csv").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  FindClose(search);
  const std::wstring csvPath = ws.Path(L"runs\\") + found.cFileName;
  const tovrel::FileContents csv = tovrel::ReadWholeFile(std::u16string(csvPath.begin(), csvPath.end()));
  ASSERT_EQ(csv.status, tovrel::ReadStatus::Ok);
  EXPECT_EQ(std::count(csv.bytes.begin(), csv.bytes.end(), '\n'), 2) << csv.bytes;  // the head and drawing 1
  EXPECT_NE(csv.bytes.find(",failed (exit code 3),\r\n"), std::string::npos) << csv.bytes;
  DeleteFileW(journal.c_str());

  Program again(ws.Dir());
  HWND resume = again.WaitForDialog(CatalogText(L"meg", L"No.79:meg-jb"));
  ASSERT_NE(resume, nullptr);
  PostMessageW(resume, WM_COMMAND, IDYES, 0);
  HWND summary = again.WaitForDialog(CatalogText(L"meg", L"No.77:meg-jb"));
  ASSERT_NE(summary, nullptr);
  const std::vector<Record> records = ReadJournal(journal, 0);
  EXPECT_EQ(RecordsOf(records, "start").size(), 3u);
  const std::vector<Record> plots = RecordsOf(records, "plot");
  ASSERT_EQ(plots.size(), 3u);  // the failed one, the one cut off, the one never started
  EXPECT_NE(plots[0].Get("drawing").find("A1.dwg"), std::string::npos);
  EXPECT_NE(plots[1].Get("drawing").find("S-201.dwg"), std::string::npos);
  EXPECT_NE(plots[2].Get("drawing").find("E-301.dwg"), std::string::npos);
  PostMessageW(summary, WM_COMMAND, IDOK, 0);
  PostMessageW(again.WaitForMainWindow(), WM_COMMAND, 27, 0);
  EXPECT_EQ(again.WaitForExit(), 0);
  // The run has ended: nothing is offered at the start after.
  EXPECT_EQ(GetFileAttributesW(ws.Path(L"runs\\unfinished.ini").c_str()), INVALID_FILE_ATTRIBUTES);
}

// The state of an unfinished run that another program holds for a moment
// (a scan, a backup) is said and kept for the next start, never deleted.
TEST(Program, AResumeStateThatCannotBeReadIsSaidAndKept) {
  Workspace ws;
  PrepareKeptList(ws);
  CreateDirectoryW(ws.Path(L"runs").c_str(), nullptr);
  ws.WriteUtf16(L"runs\\unfinished.ini", L"[unfinished_run]\r\nmode=1\r\ncount=1\r\nr0=0\r\nd0=x.dwg\r\n");
  HANDLE held = CreateFileW(ws.Path(L"runs\\unfinished.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  Program program(ws.Dir());
  HWND box = program.WaitForDialog(CatalogText(L"meg", L"No.68:meg-jb"));
  ASSERT_NE(box, nullptr);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  PostMessageW(program.WaitForMainWindow(), WM_COMMAND, 27, 0);
  EXPECT_EQ(program.WaitForExit(), 0);
  CloseHandle(held);
  EXPECT_NE(GetFileAttributesW(ws.Path(L"runs\\unfinished.ini").c_str()), INVALID_FILE_ATTRIBUTES);
}
