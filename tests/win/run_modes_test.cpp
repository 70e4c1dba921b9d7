// The main job end to end, in the program's own window: drawings added, the
// script written from the default template, and the AutoCAD stand-in started
// by every run mode; judged by the stand-in's journal.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "app_harness.h"
#include "journal_reader.h"

using namespace tovrel::test;
using tovrel::journal::ReadJournal;
using tovrel::journal::Record;
using tovrel::journal::RecordsOf;

namespace {

// List columns of the default template 1 (Model - plot to printer).
constexpr int kPrinter = 5, kPaper = 6, kOrientation = 8, kArea = 10;

const wchar_t* const kDrawings[] = {L"A-100.dwg", L"A-101.dwg", L"A-102.dwg", L"A-103.dwg", L"A-104.dwg"};

void Mark(HWND list, int row, bool on) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED | LVIS_DROPHILITED;
  item.state = on ? item.stateMask : 0;
  SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

int SelectedCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0)); }

bool EndsWith(const std::string& text, const std::wstring& tail) {
  const std::string t = Utf8(tail);
  return text.size() >= t.size() && text.compare(text.size() - t.size(), t.size(), t) == 0;
}

// Milliseconds of the day of a journal time such as 2026-12-06T10:15:30.125Z.
long MillisecondsOfDay(const std::string& time) {
  if (time.size() < 23) return -1;
  return ((std::stol(time.substr(11, 2)) * 60 + std::stol(time.substr(14, 2))) * 60 + std::stol(time.substr(17, 2))) *
             1000 + std::stol(time.substr(20, 3));
}

class RunModes : public ::testing::Test {
protected:
  void SetUp() override {
    const std::wstring drawings = ws_.Path(L"drawings");
    CreateDirectoryW(drawings.c_str(), nullptr);
    for (const wchar_t* name : kDrawings) TouchFile(drawings + L"\\" + name);
    WriteEndDrawing(ws_.Path(L"endfile.dwg"));
    // An AutoCAD path with blanks: it is passed as the program, not inside the command line.
    const std::wstring acadFolder = ws_.Path(L"AutoCAD stand in");
    CreateDirectoryW(acadFolder.c_str(), nullptr);
    acad_ = acadFolder + L"\\acad.exe";
    ASSERT_TRUE(CopyFileW((DistDir() + L"\\acad_standin.exe").c_str(), acad_.c_str(), FALSE));
    journal_ = ws_.Path(L"journal.jsonl");
    SetEnvironmentVariableW(L"TOVREL_STANDIN_JOURNAL", journal_.c_str());
    // The user's own plotter configuration, in AutoCAD's plotter folder.
    const std::wstring plotters = ws_.Path(L"Plotters");
    CreateDirectoryW(plotters.c_str(), nullptr);
    TouchFile(plotters + L"\\Plotter B.pc3");
    ws_.WriteUtf16(L"Tovrel.ini", L"[setting]\r\nfile_folder=" + drawings + L"\r\nautocad_file=" + acad_ +
                                      L"\r\nplotters_folder=" + plotters +
                                      L"\r\ntemp_file=" + ws_.Path(L"atcprint.scr") +
                                      L"\r\nend_file_dwg=" + ws_.Path(L"endfile.dwg") +
                                      L"\r\nautocad_type=1\r\nmoji_type=1\r\n");
    app_ = std::make_unique<RunningApp>(ws_);
    list_ = app_->Child(300);
    app_->PostCommand(37827);
    ASSERT_TRUE(AcceptFolderDialog(drawings));
    app_->Settle();
    ASSERT_EQ(static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)), 5);
    // File-name order: the first click on column 0 sorts descending, the second ascending.
    for (int click = 0; click < 2; ++click) app_->NotifyList(LVN_COLUMNCLICK, 0);
    ASSERT_EQ(ListCell(list_, 0, 0), kDrawings[0]);
  }

  void TearDown() override {
    if (app_) app_->Exit();
    SetEnvironmentVariableW(L"TOVREL_STANDIN_JOURNAL", nullptr);
  }

  // Waits for the summary every run ends with, and closes it; its text.
  std::wstring CloseSummary() {
    HWND box = WaitForDialog(CatalogText(L"meg", L"No.77:meg-eb"));
    EXPECT_NE(box, nullptr);
    if (!box) return L"";
    const std::wstring text = MessageBoxText(box);
    PressButton(box, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    return text;
  }

  // Waits until the stand-in has ended `runs` times.
  std::vector<Record> WaitForRuns(std::size_t runs, int timeoutMs = 30000) {
    std::vector<Record> journal;
    WaitUntil([&] {
      journal = ReadJournal(journal_, 0);
      return RecordsOf(journal, "end").size() >= runs;
    }, timeoutMs);
    return journal;
  }

  Workspace ws_;
  std::wstring acad_;
  std::wstring journal_;
  std::unique_ptr<RunningApp> app_;
  HWND list_ = nullptr;
};

}  // namespace

TEST_F(RunModes, AllStartPlotsEveryRowWithItsOwnValues) {
  SetListCell(list_, 2, kPrinter, L"Plotter B.pc3");
  SetListCell(list_, 2, kPaper, L"ISO A1 (841.00 x 594.00 MM)");
  SetListCell(list_, 2, kOrientation, L"P Portrait");
  SetListCell(list_, 2, kArea, L"D Display");
  const std::wstring defaultPrinter = ListCell(list_, 0, kPrinter);
  app_->PostCommand(37832);
  const std::vector<Record> journal = WaitForRuns(1);
  const std::vector<Record> plots = RecordsOf(journal, "plot");
  ASSERT_EQ(plots.size(), 5u);
  EXPECT_TRUE(RecordsOf(journal, "error").empty());
  for (int row = 0; row < 5; ++row) EXPECT_TRUE(EndsWith(plots[row].Get("drawing"), kDrawings[row])) << row;
  EXPECT_EQ(plots[2].Get("device"), "Plotter B.pc3");
  EXPECT_EQ(plots[2].Get("paper"), "ISO A1 (841.00 x 594.00 MM)");
  EXPECT_EQ(plots[2].Get("orientation"), "portrait");
  EXPECT_EQ(plots[2].Get("area"), "display");
  EXPECT_EQ(plots[0].Get("device"), Utf8(defaultPrinter));
  EXPECT_EQ(plots[0].Get("orientation"), "landscape");
  // AutoCAD's command line: the script path in quotes after /b.
  const std::vector<Record> starts = RecordsOf(journal, "start");
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0].Get("command_line"), Utf8(L" /b \"" + ws_.Path(L"atcprint.scr") + L"\""));
  EXPECT_NE(CloseSummary().find(L"5 / 0 / "), std::wstring::npos);
}

TEST_F(RunModes, OnePassRunStartsAutocadOncePerSelectedRowInListOrder) {
  Mark(list_, 3, true);
  Mark(list_, 1, true);
  app_->PostCommand(37846);
  const std::vector<Record> journal = WaitForRuns(2);
  app_->Settle();
  const std::vector<Record> plots = RecordsOf(journal, "plot");
  ASSERT_EQ(RecordsOf(journal, "start").size(), 2u);
  ASSERT_EQ(plots.size(), 2u);
  EXPECT_TRUE(EndsWith(plots[0].Get("drawing"), kDrawings[1]));
  EXPECT_TRUE(EndsWith(plots[1].Get("drawing"), kDrawings[3]));
  EXPECT_NE(CloseSummary().find(L"2 / 0 / "), std::wstring::npos);
  EXPECT_EQ(SelectedCount(list_), 0);
}

// A fresh AutoCAD every two rows: five rows take three starts.
TEST_F(RunModes, ABatchSizeOfTwoStartsAutocadThreeTimesForFiveRows) {
  tovrel::App().settings.run_batch_size = 2;
  app_->PostCommand(37832);
  const std::vector<Record> journal = WaitForRuns(3);
  EXPECT_EQ(RecordsOf(journal, "start").size(), 3u);
  EXPECT_EQ(RecordsOf(journal, "plot").size(), 5u);
  EXPECT_NE(CloseSummary().find(L"5 / 0 / "), std::wstring::npos);
}

TEST_F(RunModes, AMissingAutocadShowsMessage6AndStartsNothing) {
  tovrel::App().settings.autocad_file = u"C:\\no such folder\\acad.exe";
  app_->PostCommand(37832);
  HWND box = WaitForDialog(CatalogText(L"meg", L"No.6:meg-eb"));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), CatalogText(L"meg", L"No.6:meg-ea"));
  PressButton(box, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  // The run is told as one that plotted nothing.
  EXPECT_NE(CloseSummary().find(L"0 / 5 / "), std::wstring::npos);
  EXPECT_TRUE(ReadJournal(journal_, 0).empty());
  // The script was written all the same, as the run's first step.
  EXPECT_NE(GetFileAttributesW(ws_.Path(L"atcprint.scr").c_str()), INVALID_FILE_ATTRIBUTES);
}

// --- Unattended runs -----------------------------------------------------------

namespace {

// The newest run journal of the workspace, as text.
std::string LatestRunJournal(const Workspace& ws) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(ws.Path(L"runs\\run-*.csv").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return "";
  std::wstring newest;
  do {
    // By the name without ".csv": a second run in the same second ends "-2".
    const std::wstring stem = std::wstring(found.cFileName).substr(0, wcslen(found.cFileName) - 4);
    if (newest.empty() || stem > newest.substr(0, newest.size() - 4)) newest = found.cFileName;
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return FileBytes(ws.Path(L"runs\\" + newest));
}

constexpr int kStopAfterThis = 2105;
constexpr int kStopNow = 2106;

}  // namespace

// The last drawing is gone by the time of the run: it is "drawing missing",
// never started, never "plotted".
TEST_F(RunModes, TimerRunStartsAutocadOncePerDrawingHalfASecondApart) {
  ASSERT_TRUE(DeleteFileW((ListCell(list_, 4, 1) + L"\\" + kDrawings[4]).c_str()));
  app_->PostCommand(37851);
  HWND check = WaitForDialog(CatalogText(L"dialog", L"No.89:dialog-e"));
  ASSERT_NE(check, nullptr);
  PressButton(check, 2003);  // "Run anyway"
  const std::vector<Record> journal = WaitForRuns(4);
  const std::vector<Record> starts = RecordsOf(journal, "start");
  const std::vector<Record> ends = RecordsOf(journal, "end");
  const std::vector<Record> plots = RecordsOf(journal, "plot");
  ASSERT_EQ(starts.size(), 4u);
  ASSERT_EQ(plots.size(), 4u);
  for (int row = 0; row < 4; ++row) EXPECT_TRUE(EndsWith(plots[row].Get("drawing"), kDrawings[row])) << row;
  for (int i = 1; i < 4; ++i) {
    const long pause = MillisecondsOfDay(starts[i].Get("time")) - MillisecondsOfDay(ends[i - 1].Get("time"));
    EXPECT_GE(pause, 400) << i;
    EXPECT_LT(pause, 5000) << i;
  }
  // The window answers between two drawings and after the run.
  DWORD_PTR result = 0;
  EXPECT_NE(SendMessageTimeoutW(app_->Main(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result), 0);
  EXPECT_NE(CloseSummary().find(L"4 / 1 / "), std::wstring::npos);
  EXPECT_EQ(CountOf(LatestRunJournal(ws_), ",drawing missing,"), 1u);
}

// A drawing that leaves AutoCAD waiting is ended after the time allowed
// (here the smallest the settings hold, one minute), and the run goes on
// while the version window stays open all the time; the window answers
// within 250 ms from the command on, through the check before the run and
// the start of AutoCAD.
TEST_F(RunModes, AHungDrawingTimesOutTheRunGoesOnAndTheWindowAnswersThroughout) {
  tovrel::App().settings.run_timeout = 1;
  SetListCell(list_, 1, kOrientation, L"X Landscape");  // AutoCAD goes out of step and waits for ever
  for (int row : {0, 1, 2}) Mark(list_, row, true);
  const std::wstring checkCaption = CatalogText(L"dialog", L"No.89:dialog-e");
  const std::wstring versionCaption = CatalogText(L"dialog", L"No.10:dialog-e");
  const std::wstring summaryCaption = CatalogText(L"meg", L"No.77:meg-eb");
  app_->PostCommand(37846);
  HWND summary = nullptr, version = nullptr;
  bool ranAnyway = false;
  long slowest = 0;
  const ULONGLONG end = GetTickCount64() + 150000;
  while (GetTickCount64() < end) {
    const ULONGLONG before = GetTickCount64();
    DWORD_PTR result = 0;
    ASSERT_NE(SendMessageTimeoutW(app_->Main(), WM_NULL, 0, 0, SMTO_NORMAL, 2000, &result), 0);
    slowest = std::max(slowest, static_cast<long>(GetTickCount64() - before));
    if (!ranAnyway && CountTopLevelWindows(checkCaption) > 0) {
      PressButton(WaitForDialog(checkCaption), 2003);  // "Run anyway"
      app_->PostCommand(104);                           // the version window, left open
      ranAnyway = true;
    }
    if (!version && CountTopLevelWindows(versionCaption) > 0) version = WaitForDialog(versionCaption);
    if (CountTopLevelWindows(summaryCaption) > 0) {
      summary = WaitForDialog(summaryCaption);
      break;
    }
    Sleep(50);  // the pace of the pings, not a synchronisation
  }
  ASSERT_NE(summary, nullptr);
  EXPECT_LT(slowest, 250);
  EXPECT_TRUE(version && IsWindow(version));  // open from the first drawing to the summary
  if (version) PressButton(version, IDOK);
  EXPECT_NE(MessageBoxText(summary).find(L"2 / 1 / "), std::wstring::npos);
  PressButton(summary, IDOK);
  const std::vector<Record> journal = ReadJournal(journal_, 0);
  EXPECT_EQ(RecordsOf(journal, "start").size(), 3u);
  EXPECT_EQ(RecordsOf(journal, "hang").size(), 1u);
  const std::string csv = LatestRunJournal(ws_);
  EXPECT_EQ(CountOf(csv, ",plotted,\r\n"), 2u);
  EXPECT_EQ(CountOf(csv, ",timed out,\r\n"), 1u);
  EXPECT_NE(csv.find(",2," + Utf8(ListCell(list_, 1, 1)) + "\\" + Utf8(kDrawings[1])), std::string::npos);
  // The rows to run again are the one that timed out.
  app_->PostCommand(37862);
  app_->Settle();
  EXPECT_EQ(SelectedCount(list_), 1);
  EXPECT_NE(SendMessageW(list_, LVM_GETITEMSTATE, 1, LVIS_SELECTED), 0);
}

TEST_F(RunModes, StopAfterThisDrawingAndStopNowInEachPerRowMode) {
  const ScopedEnvironment slow(L"TOVREL_STANDIN_DELAY_MS", L"1500");  // each plot takes 1.5 s
  for (const int command : {37846, 37851}) {
    for (const bool now : {false, true}) {
      SCOPED_TRACE(std::to_string(command) + (now ? " stop now" : " stop after this drawing"));
      DeleteFileW(journal_.c_str());
      app_->PostCommand(command);
      HWND progress = WaitForDialog(L"Tovrel");
      ASSERT_NE(progress, nullptr);
      ASSERT_TRUE(WaitUntil([&] { return !RecordsOf(ReadJournal(journal_, 0), "plot").empty(); }));
      PressButton(progress, now ? kStopNow : kStopAfterThis);
      if (now) {
        HWND confirm = WaitForDialog(CatalogText(L"meg", L"No.76:meg-eb"));
        ASSERT_NE(confirm, nullptr);
        PressButton(confirm, IDYES);
      }
      const std::wstring summary = CloseSummary();
      const std::vector<Record> journal = ReadJournal(journal_, 0);
      EXPECT_EQ(RecordsOf(journal, "start").size(), 1u);  // nothing started after the stop
      // The drawings never started count as not plotted, and are journaled so.
      EXPECT_EQ(CountOf(LatestRunJournal(ws_), ",not started,"), 4u);
      if (now) {
        EXPECT_TRUE(RecordsOf(journal, "end").empty());  // AutoCAD was ended in its plot
        EXPECT_NE(summary.find(L"0 / 5 / "), std::wstring::npos);
        EXPECT_EQ(CountOf(LatestRunJournal(ws_), ",stopped,"), 1u);
      } else {
        EXPECT_EQ(RecordsOf(journal, "end").size(), 1u);  // the drawing was finished
        EXPECT_NE(summary.find(L"1 / 4 / "), std::wstring::npos);
      }
      app_->Settle();
    }
  }
}

TEST_F(RunModes, ACrashedAutocadCountsAsFailedWithItsExitCode) {
  const ScopedEnvironment crash(L"TOVREL_STANDIN_EXIT_CODE", L"3");
  app_->PostCommand(37832);
  EXPECT_NE(CloseSummary().find(L"0 / 5 / "), std::wstring::npos);
  EXPECT_EQ(CountOf(LatestRunJournal(ws_), ",failed (exit code 3),"), 5u);
}

TEST_F(RunModes, ChoosingTheTimerRunAgainAsksWhetherToStopIt) {
  const ScopedEnvironment slow(L"TOVREL_STANDIN_DELAY_MS", L"700");
  app_->PostCommand(37851);
  ASSERT_TRUE(WaitUntil([&] { return !RecordsOf(ReadJournal(journal_, 0), "end").empty(); }));
  auto answer = [&](int button) {
    app_->PostCommand(37851);
    HWND ask = WaitForDialog(CatalogText(L"meg", L"No.78:meg-eb"));
    ASSERT_NE(ask, nullptr);
    PressButton(ask, button);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(ask); }));
  };
  // Between two drawings the rows are as locked as during one: a sort and
  // the close box are refused with message 75.
  static NMLISTVIEW sort{};
  sort.hdr = NMHDR{list_, 300, static_cast<UINT>(LVN_COLUMNCLICK)};
  sort.iItem = -1;
  for (const auto& [message, lParam] : {std::pair<UINT, LPARAM>{WM_NOTIFY, reinterpret_cast<LPARAM>(&sort)},
                                        std::pair<UINT, LPARAM>{WM_CLOSE, 0}}) {
    PostMessageW(app_->Main(), message, message == WM_NOTIFY ? 300 : 0, lParam);
    HWND refused = WaitForDialog(CatalogText(L"meg", L"No.75:meg-eb"));
    ASSERT_NE(refused, nullptr);
    PressButton(refused, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(refused); }));
  }
  EXPECT_EQ(ListCell(list_, 0, 0), kDrawings[0]);
  answer(IDNO);  // the run goes on, not from row 0 again
  ASSERT_TRUE(WaitUntil([&] { return RecordsOf(ReadJournal(journal_, 0), "end").size() >= 2; }));
  answer(IDYES);
  CloseSummary();
  const std::vector<Record> journal = ReadJournal(journal_, 0);
  const std::vector<Record> plots = RecordsOf(journal, "plot");
  ASSERT_GE(plots.size(), 2u);
  ASSERT_LT(plots.size(), 5u);
  for (std::size_t i = 0; i < plots.size(); ++i) EXPECT_TRUE(EndsWith(plots[i].Get("drawing"), kDrawings[i])) << i;
}

// A PDF row is plotted only when its file was written by this run: an old
// file left from before does not count.
TEST_F(RunModes, APdfRowWhoseFileTheStandInDidNotWriteIsFailedNoOutputFile) {
  SetListCell(list_, 0, kPrinter, L"DWG To PDF.pc3");
  SetListCell(list_, 0, kPaper, L"ISO A3 (420.00 x 297.00 MM)");
  const std::wstring pdf = ListCell(list_, 0, 1) + L"\\A-100-Model.pdf";
  Mark(list_, 0, true);
  app_->PostCommand(37846);
  EXPECT_NE(CloseSummary().find(L"1 / 0 / "), std::wstring::npos);
  EXPECT_NE(LatestRunJournal(ws_).find(",plotted," + Utf8(pdf) + "\r\n"), std::string::npos);
  HANDLE file = CreateFileW(pdf.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  const FILETIME lastYear{0, 0x01DA0000};
  SetFileTime(file, nullptr, nullptr, &lastYear);
  CloseHandle(file);
  const ScopedEnvironment noFile(L"TOVREL_STANDIN_NO_OUTPUT", L"1");
  Mark(list_, 0, true);
  app_->PostCommand(37846);
  EXPECT_NE(CloseSummary().find(L"0 / 1 / "), std::wstring::npos);
  EXPECT_EQ(CountOf(LatestRunJournal(ws_), ",failed: no output file,\r\n"), 1u);
}
