// Editing rows in the running program with the real spooler (the CUPS test
// printers of test.sh): the edit dialog in its three uses, its printer-to-
// paper refresh, the in-place editors and their commits, copy, paste, move.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <winspool.h>

#include "app/app_context.h"
#include "app_harness.h"
#include "printers/printer_catalog.h"
#include "storage/ansi_code_page_win32.h"
#include "storage/ini_file.h"

using namespace tovrel::test;

namespace {

constexpr int kEditOneRow = 37833, kEditOneColumn = 37834, kInitialValues = 37826;
constexpr int kCopy = 37841, kPaste = 37840, kMoveDown = 343, kMoveUp = 344;
constexpr int kFieldId = 951, kComboId = 952, kDropDownTimer = 1;

// The columns: file name, folder and date (not editable), copies (a field),
// layout (choices), printer, paper, plot style.
const wchar_t kPlotTemplate[] =
    L"[Title]\r\nt1=Plot\r\n[listview_dt]\r\n"
    L"1,0.m=1\r\n1,0.t=File\r\n1,0.p=1\r\n1,0.w=100\r\n"
    L"1,1.m=1\r\n1,1.t=Folder\r\n1,1.p=2\r\n1,1.w=80\r\n"
    L"1,2.m=1\r\n1,2.t=Date\r\n1,2.p=3\r\n1,2.w=80\r\n"
    L"1,3.m=1\r\n1,3.t=Copies\r\n1,3.p=4\r\n1,3.e=1\r\n1,3.w=50\r\n1,3.f=1\r\n"
    L"1,4.m=1\r\n1,4.t=Layout\r\n1,4.p=4\r\n1,4.e=2\r\n1,4.w=80\r\n1,4.s0=Model\r\n1,4.s1=Layout1\r\n1,4.f="
    L"Model\r\n"
    L"1,5.m=1\r\n1,5.t=Printer\r\n1,5.p=4\r\n1,5.e=3\r\n1,5.w=150\r\n1,5.f=Tovrel_PDF\r\n"
    L"1,6.m=1\r\n1,6.t=Paper\r\n1,6.p=4\r\n1,6.e=4\r\n1,6.w=150\r\n1,6.f=A3\r\n"
    L"1,7.m=1\r\n1,7.t=Style\r\n1,7.p=4\r\n1,7.e=5\r\n1,7.w=80\r\n";

// Five drop-down columns of width 200.
const wchar_t kFiveCombos[] =
    L"[Title]\r\nt1=Wide\r\n[listview_dt]\r\n"
    L"1,0.m=1\r\n1,0.t=C0\r\n1,0.p=1\r\n1,0.e=2\r\n1,0.w=200\r\n"
    L"1,1.m=1\r\n1,1.t=C1\r\n1,1.p=4\r\n1,1.e=2\r\n1,1.w=200\r\n"
    L"1,2.m=1\r\n1,2.t=C2\r\n1,2.p=4\r\n1,2.e=2\r\n1,2.w=200\r\n"
    L"1,3.m=1\r\n1,3.t=C3\r\n1,3.p=4\r\n1,3.e=2\r\n1,3.w=200\r\n"
    L"1,4.m=1\r\n1,4.t=C4\r\n1,4.p=4\r\n1,4.e=2\r\n1,4.w=200\r\n";

// The first papers of the test printers under the A/B filter.
const std::wstring kFirstAbPaper = L"A0";

std::u16string U16(const std::wstring& s) {
  return std::u16string(s.begin(), s.end());
}

std::wstring Text(const std::wstring& table, int number, const wchar_t* suffix = L"") {
  return CatalogText(table, L"No." + std::to_wstring(number) + L":" + table + L"-j" + suffix);
}

void AnswerMessage(int number) {
  HWND box = WaitForDialog(Text(L"meg", number, L"b"));
  ASSERT_NE(box, nullptr) << "message " << number;
  EXPECT_EQ(MessageBoxText(box), Text(L"meg", number, L"a"));
  PressButton(box, IDOK);
  ASSERT_TRUE(WaitUntil([box] { return !IsWindow(box); }));
}

void AddRow(HWND list, const std::vector<std::wstring>& cells) {
  std::vector<std::wstring> texts = cells;
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = ListRowCount(list);
  item.lParam = item.iItem;
  item.pszText = texts[0].data();
  const int row = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  for (std::size_t j = 1; j < texts.size(); ++j) {
    LVITEMW sub{};
    sub.iSubItem = static_cast<int>(j);
    sub.pszText = texts[j].data();
    SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&sub));
  }
}

void Select(HWND list, int row, bool on = true) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED | LVIS_DROPHILITED;
  item.state = on ? item.stateMask : 0;
  SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

std::vector<int> SelectedRows(HWND list) {
  std::vector<int> rows;
  for (int row = 0; row < ListRowCount(list); ++row) {
    if (SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) rows.push_back(row);
  }
  return rows;
}

std::vector<std::wstring> RowTexts(HWND list, int row) {
  std::vector<std::wstring> texts;
  for (int column = 0; column < 8; ++column) texts.push_back(ListCell(list, row, column));
  return texts;
}

// Every child of the main window with a control id.
int ChildrenWithId(HWND main, int id) {
  struct Args {
    int id, count;
  } args{id, 0};
  EnumChildWindows(
      main,
      [](HWND child, LPARAM p) -> BOOL {
        auto* a = reinterpret_cast<Args*>(p);
        if (GetDlgCtrlID(child) == a->id) ++a->count;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&args));
  return args.count;
}

// A control's rectangle in its parent's client area.
RECT PlaceOf(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::wstring ComboChoice(HWND combo, int index) {
  wchar_t text[128] = L"";
  SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
  return text;
}

// Picks a choice in a drop-down as the mouse does: selection, then the
// notification to the drop-down's parent.
void Choose(HWND combo, const std::wstring& text) {
  const LRESULT index = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(text.c_str()));
  ASSERT_NE(index, CB_ERR) << std::string(text.begin(), text.end());
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
}

// Types a text into a drop-down's field as the keyboard does.
void Type(HWND combo, const std::wstring& text) {
  SetWindowTextW(combo, text.c_str());
  SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_EDITCHANGE),
               reinterpret_cast<LPARAM>(combo));
}

// Keys typed into an edit field, one character message each.
void TypeKeys(HWND field, const std::wstring& text) {
  for (wchar_t c : text) SendMessageW(field, WM_CHAR, c, 1);
}

// The edit field inside a drop-down.
HWND FieldOf(HWND combo) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  GetComboBoxInfo(combo, &info);
  return info.hwndItem;
}

// The window that has the keyboard focus on the thread of `window`.
HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

void PostKey(HWND window, WPARAM key) { PostMessageW(window, WM_KEYDOWN, key, 1); }

class RowEditing : public ::testing::Test {
 protected:
  // The A/B filter keeps fewer than 63 papers per printer: the fills show no message.
  void Start(const wchar_t* templates, const std::wstring& settings = L"") {
    ws_.WriteUtf16(L"tovrl_set_j.ini", templates);
    ws_.WriteUtf16(L"Tovrel.ini", L"[setting]\r\nprint_paper_ab=1\r\nprohibition_plmode=1\r\n" + settings);
    app_ = std::make_unique<RunningApp>(ws_);
    list_ = app_->Child(300);
    app_->Settle();
  }

  void AddPlotRows(int count) {
    for (int row = 0; row < count; ++row) {
      const std::wstring n = std::to_wstring(row);
      AddRow(list_, {L"d" + n + L".dwg", L"c:\\plans", L"2026/01/0" + n + L" 10:00", n, L"Model",
                     L"Tovrel_PDF", L"A3", L"acad.ctb"});
    }
  }

  // A right-click on a cell of the list, as the list view reports it.
  void RightClick(int column) {
    NMITEMACTIVATE click{};
    click.hdr.hwndFrom = list_;
    click.hdr.idFrom = 300;
    click.hdr.code = NM_RCLICK;
    click.iItem = -1;
    click.iSubItem = column;
    SendMessageW(app_->Main(), WM_NOTIFY, 300, reinterpret_cast<LPARAM>(&click));
  }

  void LeftClick() {
    NMITEMACTIVATE click{};
    click.hdr.hwndFrom = list_;
    click.hdr.idFrom = 300;
    click.hdr.code = NM_CLICK;
    click.iItem = -1;
    SendMessageW(app_->Main(), WM_NOTIFY, 300, reinterpret_cast<LPARAM>(&click));
  }

  // The first right-click after start only loads the printers.
  void LoadPrintersByRightClick() {
    std::thread clicker([this] { RightClick(0); });
    AnswerMessage(14);
    clicker.join();
    ASSERT_TRUE(tovrel::App().printers.catalogLoaded);
  }

  HWND OpenDialog(int command, const std::wstring& caption) {
    app_->PostCommand(command);
    return WaitForDialog(caption);
  }

  void Close(HWND dialog, int button) {
    PressButton(dialog, button);
    ASSERT_TRUE(WaitUntil([dialog] { return !IsWindow(dialog); }));
    app_->Settle();
  }

  Workspace ws_;
  std::unique_ptr<RunningApp> app_;
  HWND list_ = nullptr;
};

TEST_F(RowEditing, FiveDropDownColumnsOfWidth200WrapAfterTheFourth) {
  Start(kFiveCombos);
  AddRow(list_, {L"a.dwg", L"1", L"2", L"3", L"4"});
  Select(list_, 0);
  HWND dialog = OpenDialog(kEditOneRow, Text(L"code", 36));
  ASSERT_NE(dialog, nullptr);
  const POINT expected[] = {{5, 30}, {217, 30}, {429, 30}, {641, 30}, {5, 80}};
  for (int c = 0; c < 5; ++c) {
    SCOPED_TRACE(c);
    HWND combo = GetDlgItem(dialog, 2500 + c);
    ASSERT_NE(combo, nullptr);
    const RECT place = PlaceOf(combo);
    EXPECT_EQ(place.left, expected[c].x);
    EXPECT_EQ(place.top, expected[c].y);
    EXPECT_EQ(place.right - place.left, 210);
    EXPECT_EQ(TextOf(combo), c == 0 ? L"a.dwg" : std::to_wstring(c));
  }
  // The dialog is wide enough for the fourth drop-down, which ends at 851.
  RECT client{};
  GetClientRect(dialog, &client);
  EXPECT_GE(client.right, 851);
  Close(dialog, 1002);
  app_->Exit();
}

TEST_F(RowEditing, OkEditsEverySelectedRowAndCancelChangesNone) {
  Start(kPlotTemplate);
  AddPlotRows(4);
  for (int row : {0, 2, 3}) Select(list_, row);
  const std::vector<std::wstring> rowOne = RowTexts(list_, 1);

  HWND dialog = OpenDialog(kEditOneRow, Text(L"code", 36));
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ItemText(dialog, 1001), Text(L"dialog", 0));
  HWND layout = GetDlgItem(dialog, 2504);
  ASSERT_EQ(SendMessageW(layout, CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(ComboChoice(layout, 1), L"Layout1");
  Choose(layout, L"Layout1");
  // Typing goes on past the width of a field or a drop-down.
  const std::wstring copies = L"3000000000000000";
  const std::wstring style = L"monochrome-for-the-plotter-in-room-4.ctb";
  SetWindowTextW(GetDlgItem(dialog, 503), L"");
  TypeKeys(GetDlgItem(dialog, 503), copies);
  SetWindowTextW(GetDlgItem(dialog, 2507), L"");
  TypeKeys(FieldOf(GetDlgItem(dialog, 2507)), style);
  Close(dialog, 1001);
  for (int row : {0, 2, 3}) {
    SCOPED_TRACE(row);
    EXPECT_EQ(ListCell(list_, row, 0), L"d" + std::to_wstring(row) + L".dwg");
    EXPECT_EQ(ListCell(list_, row, 3), copies);
    EXPECT_EQ(ListCell(list_, row, 4), L"Layout1");
    EXPECT_EQ(ListCell(list_, row, 7), style);
  }
  EXPECT_EQ(RowTexts(list_, 1), rowOne);
  EXPECT_TRUE(SelectedRows(list_).empty());

  // Cancel: the other selected rows do not take the first one's values.
  Select(list_, 1);
  Select(list_, 2);
  const std::vector<std::wstring> rowTwo = RowTexts(list_, 2);
  dialog = OpenDialog(kEditOneRow, Text(L"code", 36));
  ASSERT_NE(dialog, nullptr);
  SetWindowTextW(GetDlgItem(dialog, 503), L"9");
  Close(dialog, 1002);
  EXPECT_EQ(RowTexts(list_, 1), rowOne);
  EXPECT_EQ(RowTexts(list_, 2), rowTwo);
  EXPECT_EQ(SelectedRows(list_), (std::vector<int>{1, 2}));
  app_->Exit();
}

TEST_F(RowEditing, ThePrinterDropDownBringsItsPapersAndAnUnknownNameKeepsThePaper) {
  Start(kPlotTemplate);
  AddPlotRows(4);
  Select(list_, 0);
  HWND dialog = OpenDialog(kEditOneRow, Text(L"code", 36));
  ASSERT_NE(dialog, nullptr);
  HWND printer = GetDlgItem(dialog, 2505);
  HWND paper = GetDlgItem(dialog, 2506);
  ASSERT_GE(SendMessageW(printer, CB_GETCOUNT, 0, 0), 3);  // the spooler's printers
  EXPECT_EQ(TextOf(printer), L"Tovrel_PDF");
  EXPECT_EQ(TextOf(paper), L"A3");
  EXPECT_EQ(ComboChoice(paper, 0), kFirstAbPaper);

  // A name neither the spooler nor AutoCAD knows keeps the paper.
  Type(printer, L"Nowhere.pc3");
  SendMessageW(dialog, WM_TIMER, 1, 0);  // the refresh, as its timer gives it
  EXPECT_EQ(TextOf(paper), L"A3");
  EXPECT_EQ(SendMessageW(paper, CB_GETCOUNT, 0, 0), 0);  // no other printer's papers under its name
  // AutoCAD's own configurations follow the spooler's printers, with their papers.
  const LRESULT pdf = SendMessageW(printer, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                   reinterpret_cast<LPARAM>(L"DWG To PDF.pc3"));
  ASSERT_GE(pdf, 3);
  EXPECT_EQ(ComboChoice(printer, static_cast<int>(pdf) + 9), L"Default Windows System Printer.pc3");
  Choose(printer, L"DWG To PDF.pc3");
  SendMessageW(dialog, WM_TIMER, 1, 0);
  EXPECT_EQ(SendMessageW(paper, CB_GETCOUNT, 0, 0), 92);
  EXPECT_EQ(TextOf(paper), L"ISO expand A0 (841.00 x 1189.00 MM)");
  Choose(paper, L"ISO full bleed A3 (420.00 x 297.00 MM)");
  Close(dialog, 1001);
  EXPECT_EQ(ListCell(list_, 0, 5), L"DWG To PDF.pc3");
  EXPECT_EQ(ListCell(list_, 0, 6), L"ISO full bleed A3 (420.00 x 297.00 MM)");

  // A printer of the spooler brings its first paper half a second later.
  Select(list_, 1);
  dialog = OpenDialog(kEditOneRow, Text(L"code", 36));
  ASSERT_NE(dialog, nullptr);
  printer = GetDlgItem(dialog, 2505);
  paper = GetDlgItem(dialog, 2506);
  SetWindowTextW(paper, L"Custom");
  Choose(printer, L"Tovrel_Plotter");
  EXPECT_TRUE(WaitUntil([&] { return TextOf(paper) == kFirstAbPaper; }));
  Close(dialog, 1001);
  EXPECT_EQ(ListCell(list_, 1, 5), L"Tovrel_Plotter");
  EXPECT_EQ(ListCell(list_, 1, 6), kFirstAbPaper);

  // The next opening compares with the printer it opens with, not with the
  // one chosen in the dialog before; OK right after the choice still brings
  // the papers.
  for (const bool waitForTimer : {true, false}) {
    SCOPED_TRACE(waitForTimer ? "after the timer" : "OK at once");
    const int row = waitForTimer ? 2 : 3;
    Select(list_, row);
    dialog = OpenDialog(kEditOneRow, Text(L"code", 36));
    ASSERT_NE(dialog, nullptr);
    paper = GetDlgItem(dialog, 2506);
    Choose(GetDlgItem(dialog, 2505), L"Tovrel_Plotter");
    if (waitForTimer) {
      EXPECT_TRUE(WaitUntil([&] { return TextOf(paper) == kFirstAbPaper; }));
    }
    Close(dialog, 1001);
    EXPECT_EQ(ListCell(list_, row, 5), L"Tovrel_Plotter");
    EXPECT_EQ(ListCell(list_, row, 6), kFirstAbPaper);
  }
  app_->Exit();
}

TEST_F(RowEditing, OneColumnEditChangesOnlyTheFilledColumnAndPasteStillPastesTheCopy) {
  Start(kPlotTemplate);
  AddPlotRows(3);
  AddRow(list_,
         {L"x.dwg", L"c:\\x", L"2026/02/02 10:00", L"7", L"Layout1", L"Tovrel_Plotter", L"A1", L"x.ctb"});
  Select(list_, 3);
  app_->PostCommand(kCopy);
  app_->Settle();
  EXPECT_TRUE(SelectedRows(list_).empty());

  HWND dialog = OpenDialog(kEditOneColumn, Text(L"code", 37));
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(TextOf(GetDlgItem(dialog, 2505)), L"");  // the fields start empty
  SetWindowTextW(GetDlgItem(dialog, 2506), L"A2");
  Close(dialog, 1001);
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(ListCell(list_, row, 6), L"A2");
    EXPECT_EQ(ListCell(list_, row, 5), L"Tovrel_PDF");
    EXPECT_EQ(ListCell(list_, row, 3), std::to_wstring(row));
  }

  Select(list_, 0);
  app_->PostCommand(kPaste);
  app_->Settle();
  EXPECT_EQ(RowTexts(list_, 0), (std::vector<std::wstring>{L"d0.dwg", L"c:\\plans", L"2026/01/00 10:00", L"7",
                                                           L"Layout1", L"Tovrel_Plotter", L"A1", L"x.ctb"}));
  app_->Exit();
}

TEST_F(RowEditing, CommandsWithoutASelectedRowShowTheirMessages) {
  Start(kPlotTemplate);
  AddPlotRows(2);
  const std::pair<int, int> cases[] = {{kEditOneRow, 9}, {339, 9},       {kCopy, 10},
                                       {kPaste, 11},     {kMoveDown, 8}, {kMoveUp, 8}};
  for (const auto& [command, message] : cases) {
    SCOPED_TRACE(command);
    app_->PostCommand(command);
    AnswerMessage(message);
  }
  // A row selected right after start: nothing has been copied yet.
  Select(list_, 1);
  app_->PostCommand(kPaste);
  AnswerMessage(12);
  app_->Exit();
}

TEST_F(RowEditing, MovingARowKeepsItsCellsAndItsSelection) {
  Start(kPlotTemplate);
  AddPlotRows(3);
  const std::vector<std::wstring> moved = RowTexts(list_, 1);
  Select(list_, 1);
  app_->PostCommand(kMoveUp);
  app_->Settle();
  EXPECT_EQ(RowTexts(list_, 0), moved);
  EXPECT_EQ(SelectedRows(list_), std::vector<int>{0});
  app_->PostCommand(kMoveUp);  // the first row stays
  app_->Settle();
  EXPECT_EQ(RowTexts(list_, 0), moved);
  app_->PostCommand(kMoveDown);
  app_->PostCommand(kMoveDown);
  app_->PostCommand(kMoveDown);  // the last row stays
  app_->Settle();
  EXPECT_EQ(RowTexts(list_, 2), moved);
  EXPECT_EQ(SelectedRows(list_), std::vector<int>{2});
  EXPECT_EQ(ListRowCount(list_), 3);
  app_->Exit();
}

TEST_F(RowEditing, APrinterChosenInPlaceBringsItsFirstPaperUnlessTheSpoolerDoesNotKnowIt) {
  Start(kPlotTemplate);
  AddPlotRows(2);
  LoadPrintersByRightClick();
  Select(list_, 1);
  RightClick(5);
  HWND combo = app_->Child(kComboId);
  ASSERT_NE(combo, nullptr);
  // Over the cell, which reads empty meanwhile; the row is deselected.
  RECT cell{};
  cell.top = 5;
  cell.left = LVIR_BOUNDS;
  SendMessageW(list_, LVM_GETSUBITEMRECT, 1, reinterpret_cast<LPARAM>(&cell));
  MapWindowPoints(list_, app_->Main(), reinterpret_cast<POINT*>(&cell), 2);
  const RECT place = PlaceOf(combo);
  EXPECT_EQ(place.left, cell.left);
  EXPECT_EQ(place.top, cell.top);
  EXPECT_GE(place.right, cell.right);  // wider over the next cells when a choice needs it
  EXPECT_EQ(ListCell(list_, 1, 5), L"");
  EXPECT_TRUE(SelectedRows(list_).empty());
  EXPECT_EQ(TextOf(combo), L"Tovrel_PDF");

  Choose(combo, L"Tovrel_Plotter");
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(combo); }));
  EXPECT_EQ(ListCell(list_, 1, 5), L"Tovrel_Plotter");
  EXPECT_EQ(ListCell(list_, 1, 6), kFirstAbPaper);

  // A name neither the spooler nor AutoCAD lists keeps the row's paper; one
  // of AutoCAD's configurations, offered after the printers, brings its own.
  Select(list_, 0);
  RightClick(5);
  combo = app_->Child(kComboId);
  ASSERT_NE(combo, nullptr);
  SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Nowhere.pc3"));
  Choose(combo, L"Nowhere.pc3");
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(combo); }));
  EXPECT_EQ(ListCell(list_, 0, 6), L"A3");
  Select(list_, 0);
  RightClick(5);
  combo = app_->Child(kComboId);
  ASSERT_NE(combo, nullptr);
  Choose(combo, L"DWG To PDF.pc3");
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(combo); }));
  EXPECT_EQ(ListCell(list_, 0, 5), L"DWG To PDF.pc3");
  EXPECT_EQ(ListCell(list_, 0, 6), L"ISO expand A0 (841.00 x 1189.00 MM)");

  // The papers offered are those of the row's printer.
  Select(list_, 1);
  RightClick(6);
  combo = app_->Child(kComboId);
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(ComboChoice(combo, 0), kFirstAbPaper);
  LeftClick();
  EXPECT_FALSE(IsWindow(combo));
  EXPECT_EQ(ListCell(list_, 1, 6), kFirstAbPaper);
  app_->Exit();
}

// The shipped templates start a row on "Default Windows System Printer.pc3":
// its papers are the default printer's, offered in place.
TEST_F(RowEditing, ANewRowUnderTheShippedPrinterTemplatesOffersTheDefaultPrintersPapersInPlace) {
  wchar_t before[256] = L"";
  DWORD size = 256;
  const bool hadDefault = GetDefaultPrinterW(before, &size) != FALSE;
  ASSERT_TRUE(SetDefaultPrinterW(L"Tovrel_Plotter"));
  const std::wstring drawings = ws_.Path(L"drawings");
  CreateDirectoryW(drawings.c_str(), nullptr);
  TouchFile(drawings + L"\\A-100.dwg");
  for (const wchar_t* type : {L"0", L"1", L"2"}) {  // the printers' templates; Printer and Paper are list columns 5, 6
    SCOPED_TRACE(type);
    ws_.WriteUtf16(L"Tovrel.ini", L"[setting]\r\nprint_paper_ab=1\r\nprohibition_plmode=1\r\nmoji_type=1\r\nfile_folder=" +
                                      drawings + L"\r\nautocad_type=" + type + L"\r\n");
    app_ = std::make_unique<RunningApp>(ws_);
    list_ = app_->Child(300);
    app_->PostCommand(37827);  // a folder's drawings: a new row with the initial values
    ASSERT_TRUE(AcceptFolderDialog(drawings));
    app_->Settle();
    ASSERT_EQ(ListRowCount(list_), 1);
    EXPECT_EQ(ListCell(list_, 0, 5), L"Default Windows System Printer.pc3");
    std::thread clicker([this] { RightClick(0); });  // the first right-click loads the printers
    HWND box = WaitForDialog(CatalogText(L"meg", L"No.14:meg-eb"));
    if (box) PressButton(box, IDOK);
    clicker.join();
    Select(list_, 0);
    RightClick(6);
    HWND combo = app_->Child(kComboId);
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0),
              static_cast<LRESULT>(tovrel::CatalogPapersOf(tovrel::App().printers, u"Tovrel_Plotter")->size()));
    Choose(combo, kFirstAbPaper);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(combo); }));
    EXPECT_EQ(ListCell(list_, 0, 6), kFirstAbPaper);
    app_->Exit();
    DeleteFileW(ws_.Path(L"listview.ini").c_str());
  }
  if (hadDefault) SetDefaultPrinterW(before);
}

TEST_F(RowEditing, ASecondRightClickOrALeftClickClosesTheDropDownAndRestoresTheCell) {
  Start(kPlotTemplate);
  AddPlotRows(2);
  LoadPrintersByRightClick();
  Select(list_, 0);
  RightClick(5);
  HWND first = app_->Child(kComboId);
  ASSERT_NE(first, nullptr);
  Select(list_, 1);
  RightClick(4);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(ChildrenWithId(app_->Main(), kComboId), 1);
  EXPECT_EQ(ListCell(list_, 0, 5), L"Tovrel_PDF");
  HWND second = app_->Child(kComboId);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(SendMessageW(second, CB_GETCOUNT, 0, 0), 2);  // Model, Layout1

  // A left click between a choice and its commit: the click wins.
  Choose(second, L"Layout1");
  LeftClick();
  EXPECT_FALSE(IsWindow(second));
  EXPECT_EQ(ListCell(list_, 1, 4), L"Model");
  SendMessageW(app_->Main(), WM_TIMER, kDropDownTimer, 0);  // the commit that was pending
  EXPECT_EQ(ListCell(list_, 1, 4), L"Model");
  EXPECT_EQ(ChildrenWithId(app_->Main(), kComboId), 0);
  app_->Exit();
}

TEST_F(RowEditing, TheInPlaceFieldCommitsWhenItLosesTheFocusAndColumnsWithoutEditModeOpenNothing) {
  Start(kPlotTemplate);
  AddPlotRows(2);
  LoadPrintersByRightClick();
  for (int column : {0, 1, 2, 12}) {
    Select(list_, 1);
    RightClick(column);
    EXPECT_EQ(ChildrenWithId(app_->Main(), kFieldId) + ChildrenWithId(app_->Main(), kComboId), 0) << column;
  }
  EXPECT_EQ(ListCell(list_, 1, 0), L"d1.dwg");

  Select(list_, 1);
  RightClick(3);
  HWND field = app_->Child(kFieldId);
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(TextOf(field), L"1");
  SetWindowTextW(field, L"4");
  SendMessageW(app_->Main(), WM_COMMAND, MAKEWPARAM(kFieldId, EN_KILLFOCUS), reinterpret_cast<LPARAM>(field));
  EXPECT_EQ(ListCell(list_, 1, 3), L"4");
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(field); }));

  // The program ends with a field open: the cell keeps what was typed.
  Select(list_, 0);
  RightClick(3);
  field = app_->Child(kFieldId);
  ASSERT_NE(field, nullptr);
  SetWindowTextW(field, L"8");
  app_->Exit();
  app_ = std::make_unique<RunningApp>(ws_);
  EXPECT_EQ(ListCell(app_->Child(300), 0, 3), L"8");
  app_->Exit();
}

TEST_F(RowEditing, EnterAndEscInTheEditorsAndAChoiceRightBeforeACommandIsKept) {
  Start(kPlotTemplate);
  AddPlotRows(2);
  LoadPrintersByRightClick();
  // A paper typed into the drop-down commits on Enter.
  Select(list_, 0);
  RightClick(6);
  HWND combo = app_->Child(kComboId);
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(FocusOf(combo), FieldOf(combo));
  SetWindowTextW(combo, L"Custom 420x297");
  PostKey(FieldOf(combo), VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(combo); }));
  EXPECT_EQ(ListCell(list_, 0, 6), L"Custom 420x297");
  // And when it loses the focus.
  Select(list_, 0);
  RightClick(6);
  combo = app_->Child(kComboId);
  ASSERT_NE(combo, nullptr);
  SetWindowTextW(combo, L"A2");
  SendMessageW(app_->Main(), WM_COMMAND, MAKEWPARAM(kComboId, CBN_KILLFOCUS), reinterpret_cast<LPARAM>(combo));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(combo); }));
  EXPECT_EQ(ListCell(list_, 0, 6), L"A2");

  // Esc gives the cell back its text.
  Select(list_, 0);
  RightClick(3);
  HWND field = app_->Child(kFieldId);
  ASSERT_NE(field, nullptr);
  SetWindowTextW(field, L"7");
  PostKey(field, VK_ESCAPE);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(field); }));
  EXPECT_EQ(ListCell(list_, 0, 3), L"0");

  // A choice followed at once by a command, before its commit timer.
  Select(list_, 1);
  RightClick(4);
  combo = app_->Child(kComboId);
  ASSERT_NE(combo, nullptr);
  Choose(combo, L"Layout1");
  app_->PostCommand(37828);  // deselect all
  app_->Settle();
  EXPECT_EQ(ListCell(list_, 1, 4), L"Layout1");

  // The edit dialog opens in its first field, where Enter means OK.
  Select(list_, 0);
  Select(list_, 1);
  HWND dialog = OpenDialog(kEditOneRow, Text(L"code", 36));
  ASSERT_NE(dialog, nullptr);
  HWND first = GetDlgItem(dialog, 503);  // the copies field
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(dialog) == first; }));
  SetWindowTextW(first, L"5");
  PostKey(first, VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  app_->Settle();
  EXPECT_EQ(RowTexts(list_, 0)[3] + RowTexts(list_, 1)[3], L"55");
  app_->Exit();
}

TEST_F(RowEditing, InitialValuesAreWrittenToTheTemplateFileAtExitOnlyWhenChanged) {
  Start(kPlotTemplate);
  // Cancel: the template file stays as it was.
  HWND dialog = OpenDialog(kInitialValues, L"");
  ASSERT_NE(dialog, nullptr);
  std::wstring caption = Text(L"code", 38);
  caption.replace(caption.find(L"%s"), 2, L"Plot");
  EXPECT_EQ(TextOf(dialog), caption);
  EXPECT_EQ(TextOf(GetDlgItem(dialog, 2505)), L"Tovrel_PDF");
  Close(dialog, 1002);
  app_->Exit();
  const tovrel::IniFile untouched(U16(ws_.Path(L"tovrl_set_j.ini")), tovrel::SystemAnsiCodePage());
  EXPECT_EQ(untouched.GetString(u"listview_dt", u"1,0.o", u"absent", 64), u"absent");

  app_ = std::make_unique<RunningApp>(ws_);
  list_ = app_->Child(300);
  dialog = OpenDialog(kInitialValues, caption);
  ASSERT_NE(dialog, nullptr);
  SetWindowTextW(GetDlgItem(dialog, 2505), L"Tovrel_Plotter");
  Close(dialog, 1001);
  app_->Exit();
  const tovrel::IniFile saved(U16(ws_.Path(L"tovrl_set_j.ini")), tovrel::SystemAnsiCodePage());
  EXPECT_EQ(saved.GetString(u"listview_dt", u"1,5.f", u"", 128), u"Tovrel_Plotter");
  EXPECT_EQ(saved.GetString(u"listview_dt", u"1,6.f", u"", 128), u"A3");
}

}  // namespace

namespace {

TEST_F(RowEditing, ATemplateFileThatCannotBeWrittenIsReportedAtExit) {
  Start(kPlotTemplate);
  // Every temporary name the new file could take is occupied by a folder.
  for (int i = 0; i < 10; ++i) {
    CreateDirectoryW(ws_.Path(L"tovrl_set_j.ini.tmp" + std::to_wstring(i) + L"~").c_str(), nullptr);
  }
  HWND dialog = OpenDialog(kInitialValues, L"");
  ASSERT_NE(dialog, nullptr);
  SetWindowTextW(GetDlgItem(dialog, 2506), L"A1");
  Close(dialog, 1001);
  app_->RequestExit();
  HWND box = WaitForDialog(Text(L"meg", 53, L"b"));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box).rfind(Text(L"meg", 53, L"a"), 0), 0u);
  PressButton(box, IDOK);
  app_->Join();
  const tovrel::IniFile kept(U16(ws_.Path(L"tovrl_set_j.ini")), tovrel::SystemAnsiCodePage());
  EXPECT_EQ(kept.GetString(u"listview_dt", u"1,6.f", u"", 128), u"A3");
}

}  // namespace
