// The check before a run, in the program's own window: a list with a
// missing drawing and a row whose answers would go out of step is shown
// before AutoCAD starts; "Cancel" starts nothing, "Run anyway" runs, and
// "Select these rows" selects the rows listed; before the parallel lane the
// rows left to full AutoCAD are noted. Judged by the stand-in's journal.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app_harness.h"
#include "dialog_ids.h"
#include "journal_reader.h"

using namespace tovrel::test;
using tovrel::journal::ReadJournal;
using tovrel::journal::Record;
using tovrel::journal::RecordsOf;

namespace {

// List columns of the default template 1.
constexpr int kPaper = 6, kOrientation = 8;

const wchar_t* const kDrawings[] = {L"A-100.dwg", L"A-101.dwg", L"A-102.dwg"};

std::vector<int> SelectedRows(HWND list) {
  std::vector<int> rows;
  for (int row = -1; (row = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0;) {
    rows.push_back(row);
  }
  return rows;
}

// The lines of the check's window that name a problem, not a note.
std::vector<int> Problems(HWND rows) {
  std::vector<int> lines;
  for (int line = 0; line < ListRowCount(rows); ++line) {
    const std::wstring problem = ListCell(rows, line, 5);
    if (problem != CatalogText(L"code", L"No.90:code-e") && problem != CatalogText(L"code", L"No.91:code-e") &&
        problem != CatalogText(L"code", L"No.75:code-e")) {
      lines.push_back(line);
    }
  }
  return lines;
}

class PreflightWindow : public ::testing::Test {
protected:
  void SetUp() override {
    const std::wstring drawings = ws_.Path(L"drawings");
    CreateDirectoryW(drawings.c_str(), nullptr);
    for (const wchar_t* name : kDrawings) TouchFile(drawings + L"\\" + name);
    WriteEndDrawing(ws_.Path(L"endfile.dwg"));
    const std::wstring acad = ws_.Path(L"acad.exe");
    ASSERT_TRUE(CopyFileW((DistDir() + L"\\acad_standin.exe").c_str(), acad.c_str(), FALSE));
    journal_ = ws_.Path(L"journal.jsonl");
    SetEnvironmentVariableW(L"TOVREL_STANDIN_JOURNAL", journal_.c_str());
    ws_.WriteUtf16(L"Tovrel.ini", L"[setting]\r\nfile_folder=" + drawings + L"\r\nautocad_file=" + acad +
                                      L"\r\ntemp_file=" + ws_.Path(L"atcprint.scr") + L"\r\nend_file_dwg=" +
                                      ws_.Path(L"endfile.dwg") + L"\r\nautocad_type=1\r\nmoji_type=1\r\n");
    app_ = std::make_unique<RunningApp>(ws_);
    list_ = app_->Child(300);
    app_->PostCommand(37827);
    ASSERT_TRUE(AcceptFolderDialog(drawings));
    app_->Settle();
    ASSERT_EQ(ListRowCount(list_), 3);
    // Row 2 names a drawing that is not there; row 3 answers the orientation with X.
    for (int row = 0; row < 3; ++row) {
      if (ListCell(list_, row, 0) == kDrawings[1]) missingRow_ = row;
    }
    SetListCell(list_, missingRow_, 0, L"gone.dwg");
    strayRow_ = missingRow_ == 2 ? 1 : 2;
    SetListCell(list_, strayRow_, kOrientation, L"X Landscape");
  }

  void TearDown() override {
    if (app_) app_->Exit();
    SetEnvironmentVariableW(L"TOVREL_STANDIN_JOURNAL", nullptr);
  }

  // Starts a command and waits for the check's window.
  HWND OpenCheck(int command) {
    app_->PostCommand(command);
    return WaitForDialog(CatalogText(L"dialog", L"No.89:dialog-e"));
  }

  Workspace ws_;
  std::wstring journal_;
  std::unique_ptr<RunningApp> app_;
  HWND list_ = nullptr;
  int missingRow_ = -1;
  int strayRow_ = -1;
};

}  // namespace

TEST_F(PreflightWindow, ListsTheMissingDrawingAndTheRowOutOfStepAndCancelStartsNothing) {
  for (const int command : {37832, 37830, 37846, 37851, 37860, 37863}) {
    SCOPED_TRACE(command);
    if (command == 37830) {  // selected start: only the selected rows are checked
      SendMessageW(app_->Main(), WM_COMMAND, 37836, 0);  // select all
      app_->Settle();
    }
    HWND check = OpenCheck(command);
    ASSERT_NE(check, nullptr);
    // The two problems, among the notes on what each drawing decides.
    const std::vector<int> listed = Problems(GetDlgItem(check, IDL_PREFLIGHT_ROWS));
    ASSERT_EQ(listed.size(), 2u);
    HWND rows = GetDlgItem(check, IDL_PREFLIGHT_ROWS);
    EXPECT_EQ(ListCell(rows, listed[0], 0), std::to_wstring(missingRow_ + 1));
    EXPECT_EQ(ListCell(rows, listed[0], 1), L"gone.dwg");
    EXPECT_EQ(ListCell(rows, listed[0], 5), CatalogText(L"code", L"No.86:code-e"));
    EXPECT_EQ(ListCell(rows, listed[1], 0), std::to_wstring(strayRow_ + 1));
    EXPECT_EQ(ListCell(rows, listed[1], 3), L"Enter drawing orientation [Portrait/Landscape]");
    EXPECT_EQ(ListCell(rows, listed[1], 4), L"X");
    EXPECT_EQ(ListCell(rows, listed[1], 5), CatalogText(L"code", L"No.85:code-e"));
    // Before the parallel lane, every printer row is noted as going to full AutoCAD.
    int toAutocad = 0;
    for (int line = 0; line < ListRowCount(rows); ++line) {
      if (ListCell(rows, line, 5) == CatalogText(L"code", L"No.75:code-e")) ++toAutocad;
    }
    EXPECT_EQ(toAutocad, command == 37863 ? 3 : 0);
    // The reasons have their header; the three buttons one width.
    wchar_t header[64] = L"";
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = header;
    column.cchTextMax = 64;
    SendMessageW(rows, LVM_GETCOLUMNW, 5, reinterpret_cast<LPARAM>(&column));
    EXPECT_EQ(std::wstring(header), CatalogText(L"code", L"No.94:code-e"));
    RECT a{}, b{}, c{};
    GetWindowRect(GetDlgItem(check, IDB_PREFLIGHT_SELECT), &a), GetWindowRect(GetDlgItem(check, IDB_PREFLIGHT_RUN), &b);
    GetWindowRect(GetDlgItem(check, IDCANCEL), &c);
    EXPECT_TRUE(a.right - a.left == b.right - b.left && b.right - b.left == c.right - c.left);
    PressButton(check, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(check); }));
    app_->Settle();
  }
  EXPECT_TRUE(ReadJournal(journal_, 0).empty());
  EXPECT_EQ(GetFileAttributesW(ws_.Path(L"atcprint.scr").c_str()), INVALID_FILE_ATTRIBUTES) << "no script written";
}

TEST_F(PreflightWindow, SelectTheseRowsSelectsTheListedRowsOnly) {
  HWND check = OpenCheck(37832);
  ASSERT_NE(check, nullptr);
  PressButton(check, IDB_PREFLIGHT_SELECT);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(check); }));
  app_->Settle();
  std::vector<int> expected = {missingRow_, strayRow_};
  if (expected[0] > expected[1]) std::swap(expected[0], expected[1]);
  EXPECT_EQ(SelectedRows(list_), expected);
  EXPECT_TRUE(ReadJournal(journal_, 0).empty());
}

// AutoCAD itself then goes out of step on the row and waits for ever: the
// stand-in records "hang", and the test ends it as a user would end AutoCAD.
TEST_F(PreflightWindow, RunAnywayRunsAndTheStrayRowLeavesAutocadWaiting) {
  HWND check = OpenCheck(37832);
  ASSERT_NE(check, nullptr);
  PressButton(check, IDB_PREFLIGHT_RUN);
  std::vector<Record> journal;
  ASSERT_TRUE(WaitUntil([&] {
    journal = ReadJournal(journal_, 0);
    return !RecordsOf(journal, "hang").empty();
  }, 30000));
  const std::vector<Record> starts = RecordsOf(journal, "start");
  ASSERT_EQ(starts.size(), 1u);
  HANDLE acad = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE,
                            static_cast<DWORD>(std::stoul(starts[0].Get("pid"))));
  ASSERT_NE(acad, nullptr);
  TerminateProcess(acad, 1);
  WaitForSingleObject(acad, 10000);
  CloseHandle(acad);
  app_->Settle();
  EXPECT_FALSE(RecordsOf(journal, "error").empty());
  EXPECT_TRUE(RecordsOf(journal, "end").empty());
  EXPECT_EQ(RecordsOf(journal, "hang")[0].Get("drawing").find("gone.dwg"), std::string::npos);
}

TEST_F(PreflightWindow, ACleanListStartsAtOnceWithNothingShown) {
  SetListCell(list_, missingRow_, 0, kDrawings[1]);
  SetListCell(list_, strayRow_, kOrientation, L"L Landscape");
  app_->PostCommand(37832);
  std::vector<Record> journal;
  ASSERT_TRUE(WaitUntil([&] {
    journal = ReadJournal(journal_, 0);
    return !RecordsOf(journal, "end").empty();
  }, 30000));
  EXPECT_EQ(RecordsOf(journal, "plot").size(), 3u);
  EXPECT_TRUE(RecordsOf(journal, "error").empty());
  // The check's own command lists what only the drawings decide (Enter at
  // "Write the plot to a file" keeps each drawing's page setup), as notes.
  HWND check = OpenCheck(37860);
  ASSERT_NE(check, nullptr);
  HWND rows = GetDlgItem(check, IDL_PREFLIGHT_ROWS);
  EXPECT_GE(ListRowCount(rows), 3);
  EXPECT_TRUE(Problems(rows).empty());
  PressButton(check, IDCANCEL);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(check); }));
}

// A cell AutoCAD would evaluate is listed, and the run cannot be started
// from the check's window; with allow_lisp_cells=1 it goes to AutoCAD.
TEST_F(PreflightWindow, ARowThatWouldStartAProgramIsListedAndNotRun) {
  SetListCell(list_, missingRow_, 0, kDrawings[1]);
  SetListCell(list_, strayRow_, kOrientation, L"L Landscape");
  SetListCell(list_, strayRow_, kPaper, L"(startapp \"calc\")");
  HWND check = OpenCheck(37832);
  ASSERT_NE(check, nullptr);
  HWND rows = GetDlgItem(check, IDL_PREFLIGHT_ROWS);
  bool listed = false;
  for (int row = 0; row < ListRowCount(rows); ++row) {
    if (ListCell(rows, row, 5) != CatalogText(L"code", L"No.88:code-e")) continue;
    listed = true;
    EXPECT_EQ(ListCell(rows, row, 0), std::to_wstring(strayRow_ + 1));
    EXPECT_EQ(ListCell(rows, row, 4), L"(startapp \"calc\")");
  }
  EXPECT_TRUE(listed);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(check, IDB_PREFLIGHT_RUN)));
  PressButton(check, IDCANCEL);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(check); }));
  app_->Settle();
  EXPECT_TRUE(ReadJournal(journal_, 0).empty());
  EXPECT_EQ(GetFileAttributesW(ws_.Path(L"atcprint.scr").c_str()), INVALID_FILE_ATTRIBUTES) << "no script written";
}
