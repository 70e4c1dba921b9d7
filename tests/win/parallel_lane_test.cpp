// The parallel lane in the program's own window: PDF rows through the
// stand-in as the Core Console, two at a time, the printer rows after them
// in full AutoCAD; a hung worker ended at its time; Stop now.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

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

constexpr int kPaper = 6;  // a list column of the default template 1
constexpr int kStopNow = 2106;
constexpr int kRunParallel = 37863;

class ParallelLane : public ::testing::Test {
protected:
  // `pdfRows` rows to "DWG To PDF.pc3", then `printerRows` to "Default
  // Windows System Printer.pc3"; two workers; the stand-in as acad.exe and, beside
  // it, as accoreconsole.exe.
  void Start(int pdfRows, int printerRows, const wchar_t* delayMs = L"0") {
    SetEnvironmentVariableW(L"TOVREL_STANDIN_DELAY_MS", delayMs);
    drawings_ = ws_.Path(L"drawings");
    CreateDirectoryW(drawings_.c_str(), nullptr);
    for (int i = 0; i < pdfRows; ++i) TouchFile(drawings_ + L"\\P-" + std::to_wstring(i) + L".dwg");
    for (int i = 0; i < printerRows; ++i) TouchFile(drawings_ + L"\\W-" + std::to_wstring(i) + L".dwg");
    TouchFile(ws_.Path(L"endfile.dwg"));
    const std::wstring acad = ws_.Path(L"AutoCAD stand in");
    CreateDirectoryW(acad.c_str(), nullptr);
    for (const wchar_t* name : {L"\\acad.exe", L"\\accoreconsole.exe"}) {
      ASSERT_TRUE(CopyFileW((DistDir() + L"\\acad_standin.exe").c_str(), (acad + name).c_str(), FALSE));
    }
    journal_ = ws_.Path(L"journal.jsonl");
    SetEnvironmentVariableW(L"TOVREL_STANDIN_JOURNAL", journal_.c_str());
    ws_.WriteUtf16(L"Tovrel.ini", L"[setting]\r\nfile_folder=" + drawings_ + L"\r\nautocad_file=" + acad +
                                      L"\\acad.exe\r\ntemp_file=" + ws_.Path(L"atcprint.scr") +
                                      L"\r\nend_file_dwg=" + ws_.Path(L"endfile.dwg") +
                                      L"\r\nautocad_type=1\r\nmoji_type=1\r\nparallel_workers=2\r\n");
    // The kept list: the PDF rows (P-...) first, then the printer rows (W-...).
    std::wstring kept = L"[listliew]\r\nmax_cont=" + std::to_wstring(pdfRows + printerRows) + L"\r\n";
    for (int row = 0; row < pdfRows + printerRows; ++row) {
      const bool pdf = row < pdfRows;
      const std::wstring r = std::to_wstring(row);
      kept += r + L",0=" + (pdf ? L"P-" + r : L"W-" + std::to_wstring(row - pdfRows)) + L".dwg\r\n" + r + L",1=" +
              drawings_ + L"\r\n" + r + L",4=Model\r\n" + r + L",5=" +
              (pdf ? L"DWG To PDF.pc3" : L"Default Windows System Printer.pc3") + L"\r\n" + r + L",6=" +
              (pdf ? L"ISO A1 (841.00 x 594.00 MM)" : L"A4") + L"\r\n" + r + L",8=L Landscape\r\n" + r +
              L",10=E Extents\r\n" + r + L",12=monochrome.ctb\r\n";
    }
    ws_.WriteUtf16(L"listview.ini", kept);
    app_ = std::make_unique<RunningApp>(ws_);
    list_ = app_->Child(300);
    ASSERT_EQ(ListRowCount(list_), pdfRows + printerRows);
  }

  void TearDown() override {
    if (app_) app_->Exit();
    SetEnvironmentVariableW(L"TOVREL_STANDIN_JOURNAL", nullptr);
    SetEnvironmentVariableW(L"TOVREL_STANDIN_DELAY_MS", nullptr);
  }

  // Starts the lane; the check before it may list notes on the rows: run anyway.
  void RunLane() {
    app_->PostCommand(kRunParallel);
    const std::wstring caption = CatalogText(L"dialog", L"No.89:dialog-e");
    HWND check = nullptr;
    if (WaitUntil([&] { return (check = FindWindowW(nullptr, caption.c_str())) != nullptr; }, 3000)) {
      PressButton(check, 2003);
    }
  }

  std::wstring CloseSummary(int timeoutMs = 60000) {
    HWND box = nullptr;
    WaitUntil([&] { return (box = FindWindowW(nullptr, CatalogText(L"meg", L"No.77:meg-eb").c_str())) != nullptr; },
              timeoutMs);
    EXPECT_NE(box, nullptr);
    if (!box) return L"";
    const std::wstring text = MessageBoxText(box);
    PressButton(box, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    return text;
  }

  // The run journal of the workspace (there is one run per test).
  std::string RunJournal() const {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(ws_.Path(L"runs\\run-*.csv").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return "";
    FindClose(search);
    return FileBytes(ws_.Path(std::wstring(L"runs\\") + found.cFileName));
  }

  Workspace ws_;
  std::wstring drawings_;
  std::wstring journal_;
  std::unique_ptr<RunningApp> app_;
  HWND list_ = nullptr;
};

}  // namespace

TEST_F(ParallelLane, SixPdfRowsTwoAtATimeThenTwoPrinterRowsInAutocadEveryRowOnce) {
  Start(6, 2, L"400");
  ASSERT_EQ(ListRowCount(list_), 8);
  RunLane();
  EXPECT_NE(CloseSummary().find(L"8 / 0 / "), std::wstring::npos);

  const std::vector<Record> journal = ReadJournal(journal_, 0);
  const std::vector<Record> starts = RecordsOf(journal, "start");
  ASSERT_EQ(starts.size(), 8u);
  ASSERT_EQ(RecordsOf(journal, "plot").size(), 8u);
  EXPECT_TRUE(RecordsOf(journal, "error").empty());
  int consoles = 0;
  for (std::size_t i = 0; i < starts.size(); ++i) {
    const bool console = starts[i].Get("command_line").find(" /i \"") != std::string::npos;
    consoles += console;
    if (i < 6) {
      EXPECT_TRUE(console) << i;  // the printer rows come after the lane
    }
  }
  EXPECT_EQ(consoles, 6);
  // Two consoles at once: the second starts before the first has ended.
  const std::vector<Record> ends = RecordsOf(journal, "end");
  ASSERT_FALSE(ends.empty());
  EXPECT_LT(starts[1].Get("time"), ends[0].Get("time"));
  for (int i = 0; i < 6; ++i) {
    EXPECT_FALSE(FileBytes(drawings_ + L"\\P-" + std::to_wstring(i) + L"-Model.pdf").empty()) << i;
  }
  const std::string csv = RunJournal();
  EXPECT_EQ(CountOf(csv, ",plotted,"), 8u);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(CountOf(csv, "P-" + std::to_string(i) + ".dwg"), 1u) << i;
    EXPECT_EQ(CountOf(csv, "P-" + std::to_string(i) + "-Model.pdf\r\n"), 1u) << i;  // the output column
  }
  EXPECT_EQ(CountOf(csv, "W-0.dwg") + CountOf(csv, "W-1.dwg"), 2u);
  EXPECT_EQ(GetFileAttributesW(ws_.Path(L"runs\\unfinished.ini").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesW(ws_.Path(L"atcprint-lane-1.scr").c_str()), INVALID_FILE_ATTRIBUTES);
}

// A console left waiting is ended at the run's time-out (the smallest the
// settings hold, one minute) while the other worker finishes the rest.
TEST_F(ParallelLane, AHungWorkerIsEndedAtItsTimeAndTheOthersFinish) {
  Start(4, 0);
  tovrel::App().settings.run_timeout = 1;
  // A paper the PDF device does not offer: the console refuses it, every
  // later answer is shifted, and it waits for ever inside the plot.
  SetListCell(list_, 0, kPaper, L"A4");
  app_->PostCommand(kRunParallel);
  HWND check = WaitForDialog(CatalogText(L"dialog", L"No.89:dialog-e"));
  ASSERT_NE(check, nullptr);
  PressButton(check, 2003);  // "Run anyway"
  // The other three are done long before the hung one's minute is up.
  ASSERT_TRUE(WaitUntil([&] {
    const std::vector<Record> journal = ReadJournal(journal_, 0);
    return RecordsOf(journal, "end").size() == 3 && RecordsOf(journal, "hang").size() == 1;
  }, 30000));
  EXPECT_EQ(RunJournal().find("timed out"), std::string::npos);  // the hung one still runs
  EXPECT_NE(CloseSummary(90000).find(L"3 / 1 / "), std::wstring::npos);
  const std::string csv = RunJournal();
  EXPECT_EQ(CountOf(csv, ",timed out,"), 1u);
  EXPECT_EQ(CountOf(csv, ",plotted,"), 3u);
  for (const Record& start : RecordsOf(ReadJournal(journal_, 0), "start")) {
    EXPECT_NE(start.Get("command_line").find(" /i \""), std::string::npos);  // all four in the lane
  }
  // The hung drawing's script is kept to be looked at.
  EXPECT_NE(GetFileAttributesW(ws_.Path(L"atcprint-lane-1.scr").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ParallelLane, StopNowEndsEveryWorkerAndStartsNoMore) {
  Start(5, 0, L"20000");
  RunLane();
  HWND progress = WaitForDialog(L"Tovrel");
  ASSERT_NE(progress, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return RecordsOf(ReadJournal(journal_, 0), "plot").size() == 2; }, 30000));
  PressButton(progress, kStopNow);
  HWND confirm = WaitForDialog(CatalogText(L"meg", L"No.76:meg-eb"));
  ASSERT_NE(confirm, nullptr);
  PressButton(confirm, IDYES);
  EXPECT_NE(CloseSummary().find(L"0 / 2 / "), std::wstring::npos);  // well before the 20 s plots end
  const std::vector<Record> journal = ReadJournal(journal_, 0);
  EXPECT_EQ(RecordsOf(journal, "start").size(), 2u);
  EXPECT_TRUE(RecordsOf(journal, "end").empty());
  EXPECT_EQ(CountOf(RunJournal(), ",stopped,"), 2u);
}
