// The shipped program itself: Tovrel.exe from build/dist started in a
// working directory, closed as a user closes it, and judged by the files it
// leaves behind.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app_harness.h"
#include "storage/file_io.h"
#include "journal_reader.h"
#include "storage/ansi_code_page_win32.h"
#include "storage/ini_file.h"
#include "storage/text_codec.h"

using namespace tovrel::test;
using tovrel::journal::ReadJournal;
using tovrel::journal::Record;
using tovrel::journal::RecordsOf;

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
// `secondPaper`, when given, makes the second row plot to a PDF on that paper.
std::wstring PrepareKeptList(const Workspace& ws, const std::wstring& secondPaper = L"") {
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
    const bool pdf = row == 1 && !secondPaper.empty();
    list += r + L",0=" + names[row] + L"\r\n" + r + L",1=" + drawings + L"\r\n" + r + L",4=Model\r\n" + r +
            (pdf ? L",5=DWG To PDF.pc3\r\n" + r + L",6=" + secondPaper : L",5=Plotter " + r + L".pc3\r\n" + r + L",6=A" + r) +
            L"\r\n" + r + L",8=L Landscape\r\n" + r +
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

std::string Bytes(const std::wstring& path) {
  return tovrel::ReadWholeFile(std::u16string(path.begin(), path.end())).bytes;
}

// The files of the "runs" folder that match `pattern`, one after the other.
std::string RunsFile(const Workspace& ws, const std::wstring& pattern) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(ws.Path(L"runs\\" + pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  do {
    bytes += Bytes(ws.Path(std::wstring(L"runs\\") + found.cFileName));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return bytes;
}

std::string Utf8(const std::wstring& text) {
  return tovrel::Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

// A night run from the Task Scheduler: the list named on the command line
// is plotted drawing by drawing, every message goes to the run's log, and
// the program ends by itself.
TEST(CommandLine, RunAndExitPlotsEveryRowLogsTheSummaryAndEndsWithZero) {
  Workspace ws;
  const std::wstring journal = PrepareKeptList(ws);
  ASSERT_TRUE(MoveFileW(ws.Path(L"listview.ini").c_str(), ws.Path(L"night list.ini").c_str()));
  Program program(ws.Dir(), L"-RUN \"night list.ini\" /Mode PerRow /exit");
  EXPECT_EQ(program.WaitForExit(), 0);
  EXPECT_EQ(RecordsOf(ReadJournal(journal, 0), "plot").size(), 3u);
  const std::string csv = RunsFile(ws, L"run-*.csv");
  EXPECT_NE(csv.find("one run per drawing"), std::string::npos);
  std::size_t plotted = 0;
  for (std::size_t at = csv.find(",plotted"); at != std::string::npos; at = csv.find(",plotted", at + 1)) ++plotted;
  EXPECT_EQ(plotted, 3u);
  EXPECT_NE(RunsFile(ws, L"run-*.log").find(Utf8(CatalogText(L"meg", L"No.77:meg-ja"))), std::string::npos);
}

// With a Core Console beside AutoCAD, /mode parallel runs the lane (the PDF
// row in the console, the others in AutoCAD afterwards) and ends with 0.
TEST(CommandLine, ParallelModeRunsTheLaneAndEndsWithZero) {
  Workspace ws;
  PrepareKeptList(ws, L"ISO A1 (841.00 x 594.00 MM)");
  const std::wstring console = ws.Path(L"accoreconsole.exe");
  ASSERT_TRUE(CopyFileW((DistDir() + L"\\acad_standin.exe").c_str(), console.c_str(), FALSE));
  ASSERT_TRUE(WritePrivateProfileStringW(L"setting", L"coreconsole_file", console.c_str(), ws.Path(L"Tovrel.ini").c_str()));
  Program program(ws.Dir(), L"/run /mode parallel /exit");
  EXPECT_EQ(program.WaitForExit(), 0);
  const std::string csv = RunsFile(ws, L"run-*.csv");
  std::size_t plotted = 0;
  for (std::size_t at = csv.find(",plotted"); at != std::string::npos; at = csv.find(",plotted", at + 1)) ++plotted;
  EXPECT_EQ(plotted, 3u) << csv;
  EXPECT_NE(csv.find("parallel (Core Console),"), std::string::npos) << csv;
  EXPECT_NE(csv.find(".pdf"), std::string::npos) << csv;  // the lane's output, checked
}

// The check's findings stop a run unless /anyway is given; with it, the
// drawing that is not there is the one not plotted.
TEST(CommandLine, FindingsStopTheRunUnlessAnywayAndAMissingDrawingGivesOne) {
  Workspace ws;
  const std::wstring journal = PrepareKeptList(ws);
  ASSERT_TRUE(DeleteFileW(ws.Path(L"図面\\S-201.dwg").c_str()));
  {
    Program program(ws.Dir(), L"/run /exit");
    EXPECT_EQ(program.WaitForExit(), 2);
  }
  EXPECT_EQ(GetFileAttributesW(journal.c_str()), INVALID_FILE_ATTRIBUTES);  // AutoCAD never started
  const std::string log = RunsFile(ws, L"run-*.log");
  EXPECT_NE(log.find("2,S-201.dwg,"), std::string::npos) << log;
  EXPECT_NE(log.find(Utf8(CatalogText(L"code", L"No.86:code-j"))), std::string::npos) << log;

  Program program(ws.Dir(), L"/run listview.ini /anyway /exit");
  EXPECT_EQ(program.WaitForExit(), 1);
  EXPECT_EQ(RecordsOf(ReadJournal(journal, 0), "plot").size(), 2u);
  const std::string csv = RunsFile(ws, L"run-*.csv");
  EXPECT_NE(csv.find("S-201.dwg,Plotter 1.pc3,A1,"), std::string::npos) << csv;
  EXPECT_NE(csv.find(",drawing missing"), std::string::npos) << csv;
}

// A start that cannot be served changes nothing and says why in the log.
TEST(CommandLine, AMissingListOrABadSwitchEndsWithTwoAndLeavesTheKeptList) {
  Workspace ws;
  PrepareKeptList(ws);
  const std::string kept = Bytes(ws.Path(L"listview.ini"));
  for (const wchar_t* line :
       {L"/run \"no such list.ini\" /exit", L"/run /mode sometimes /exit", L"-run -mode parallel -exit"}) {
    Program program(ws.Dir(), line);
    EXPECT_EQ(program.WaitForExit(), 2) << line;
  }
  EXPECT_EQ(Bytes(ws.Path(L"listview.ini")), kept);
  EXPECT_NE(RunsFile(ws, L"run-*.log").find("sometimes"), std::string::npos);
  EXPECT_NE(RunsFile(ws, L"run-*.log").find(Utf8(CatalogText(L"meg", L"No.93:meg-ja"))), std::string::npos);
  EXPECT_EQ(GetFileAttributesW(ws.Path(L"atcprint.scr").c_str()), INVALID_FILE_ATTRIBUTES);

  // No AutoCAD: the failed start is logged, nothing waits, and the code is 2.
  ws.WriteUtf16(L"Tovrel.ini", L"[setting]\r\nautocad_file=" + ws.Path(L"no acad.exe") + L"\r\nautocad_type=1\r\n");
  Program program(ws.Dir(), L"/run /mode all /anyway /exit");
  EXPECT_EQ(program.WaitForExit(), 2);
  EXPECT_NE(RunsFile(ws, L"run-*.log").find(Utf8(CatalogText(L"meg", L"No.6:meg-ja"))), std::string::npos);
}

TEST(CommandLine, CheckWritesTheFindingsAsCsvWithoutAWindow) {
  Workspace ws;
  PrepareKeptList(ws, L"ISO A9 (bogus)");
  Program program(ws.Dir(), L"/check listview.ini /out \"check out.csv\"");
  EXPECT_EQ(program.WaitForExit(), 1);
  const std::string csv = Bytes(ws.Path(L"check out.csv"));
  EXPECT_EQ(csv.rfind("\xEF\xBB\xBFrow,drawing,column,prompt,answer,reason\r\n", 0), 0u) << csv;
  EXPECT_NE(csv.find("\r\n2,S-201.dwg,"), std::string::npos) << csv;
  EXPECT_NE(csv.find("ISO A9 (bogus)"), std::string::npos) << csv;
  std::size_t lines = 0;
  for (const char c : csv) lines += c == '\n';
  EXPECT_EQ(lines, 2u) << csv;
}

// A second start in the same working folder brings the first window to the
// front and ends; the /? box shows the usage in the screen language.
TEST(CommandLine, ASecondStartInTheFolderBringsTheFirstToTheFrontAndEndsWithThree) {
  Workspace ws;
  PrepareKeptList(ws);
  Program first(ws.Dir());
  HWND window = first.WaitForMainWindow();
  ASSERT_NE(window, nullptr);
  SetForegroundWindow(GetDesktopWindow());
  {
    Program second(ws.Dir(), L"/run /exit");
    EXPECT_EQ(second.WaitForExit(), 3);
  }
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }));

  Program usage(ws.Dir(), L"/?");
  HWND box = usage.WaitForDialog(CatalogText(L"meg", L"No.90:meg-jb"));
  ASSERT_NE(box, nullptr);
  const std::wstring text = MessageBoxText(box);
  EXPECT_NE(text.find(L"Tovrel.exe /check LIST [/template N] [/out FILE]"), std::wstring::npos);
  EXPECT_NE(text.find(CatalogText(L"code", L"No.74:code-j")), std::wstring::npos);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(usage.WaitForExit(), 0);
  PostMessageW(window, WM_COMMAND, 27, 0);
  EXPECT_EQ(first.WaitForExit(), 0);
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

std::string Utf8Of(const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

// After a restart the rows to run again come from the newest journal.
TEST(Program, TheRowsNotPlottedLastRunAreSelectedAfterARestart) {
  Workspace ws;
  PrepareKeptList(ws);
  CreateDirectoryW(ws.Path(L"runs").c_str(), nullptr);
  const std::wstring drawing = ws.Path(L"図面\\S-201.dwg");
  const std::string line = "one run per drawing,Model,2," + Utf8Of(drawing) + ",P,A1,2026-12-06 18:00:00,"
                           "2026-12-06 18:00:09,9.0,timed out,\r\n";
  const std::string head = "\xEF\xBB\xBFmode,template,row,drawing,printer,paper,start,end,seconds,result,output\r\n";
  ASSERT_TRUE(tovrel::WriteFileAtomically(tovrel::ToU16(Utf8Of(ws.Path(L"runs\\run-20261206-180000.csv"))),
                                          head + line));
  Program program(ws.Dir());
  HWND window = program.WaitForMainWindow();
  ASSERT_NE(window, nullptr);
  HWND list = FindWindowExW(window, nullptr, L"SysListView32", nullptr);
  ASSERT_NE(list, nullptr);
  PostMessageW(window, WM_COMMAND, 37862, 0);  // Select drawings not plotted last run
  ASSERT_TRUE(WaitUntil([&] { return SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0) == 1; }));
  EXPECT_NE(SendMessageW(list, LVM_GETITEMSTATE, 1, LVIS_SELECTED), 0);
  PostMessageW(window, WM_COMMAND, 27, 0);
  EXPECT_EQ(program.WaitForExit(), 0);
}
