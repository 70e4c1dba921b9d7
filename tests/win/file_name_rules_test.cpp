// Conversion by file name in the running program, with the private CUPS
// printers of test.sh: the rules dialog over the real printer catalog, the
// conversion of drawings as they are added, and the command that converts
// the whole list.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windowsx.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "app_harness.h"

using namespace tovrel::test;

namespace {

using Texts = std::vector<std::wstring>;

const std::wstring kPdf = L"Tovrel_PDF";
const std::wstring kPlotter = L"Tovrel_Plotter";
const std::wstring kDeviceFile = L"DWG To PDF.pc3";  // an AutoCAD device configuration: no spooler printer
// What every cups-pdf printer offers under the A/B filter, in driver order.
const Texts kAbPapers = {L"A0",       L"A1",       L"A2",       L"A3",       L"A4",       L"A5",
                         L"B0 (ISO)", L"B1 (ISO)", L"B2 (ISO)", L"B3 (ISO)", L"B4 (ISO)", L"B5 (ISO)",
                         L"B0 (JIS)", L"B1 (JIS)", L"B2 (JIS)", L"B3 (JIS)", L"B4 (JIS)", L"B5 (JIS)",
                         L"RA0",      L"RA1",      L"RA2",      L"RA3",      L"RA4",      L"SRA0",
                         L"SRA1",     L"SRA2",     L"SRA3",     L"SRA4"};

// Quiet printer fills: the A/B filter keeps fewer than 63 papers, and the
// prohibited printer is not announced.
const std::wstring kQuietPrinters =
    L"print_paper_ab=1\r\nprohibition_plmode=1\r\nprohibition_print0=Tovrel_Prohibited\r\n";

// A template whose list reaches list column 10: file name, folder, date,
// then eight columns of plot values.
std::wstring ElevenColumns() {
  std::wstring text = L"[Title]\r\nt1=Plot\r\n[listview_dt]\r\n";
  for (int column = 0; column < 11; ++column) {
    const std::wstring key = L"1," + std::to_wstring(column);
    const int display = column < 3 ? column + 1 : 4;
    text += key + L".m=1\r\n" + key + L".t=C" + std::to_wstring(column) + L"\r\n" + key + L".p=" +
            std::to_wstring(display) + L"\r\n" + key + L".w=60\r\n";
  }
  return text;
}

std::wstring Dialog(int number) {
  return CatalogText(L"dialog", L"No." + std::to_wstring(number) + L":dialog-j");
}
std::wstring Code(int number) {
  return CatalogText(L"code", L"No." + std::to_wstring(number) + L":code-j");
}

Texts ComboItems(HWND dialog, int id) {
  HWND combo = GetDlgItem(dialog, id);
  Texts items;
  const int count = ComboBox_GetCount(combo);
  for (int i = 0; i < count; ++i) {
    std::wstring text(static_cast<std::size_t>(ComboBox_GetLBTextLen(combo, i)) + 1, L'\0');
    ComboBox_GetLBText(combo, i, text.data());
    text.resize(wcslen(text.c_str()));
    items.push_back(text);
  }
  return items;
}

bool Checked(HWND dialog, int id) {
  return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

// Picks a printer from a rule's drop-down as the user does: the choice and
// the notification the combo box sends.
void ChoosePrinter(HWND dialog, int id, const std::wstring& name) {
  HWND combo = GetDlgItem(dialog, id);
  const int index = ComboBox_FindStringExact(combo, -1, name.c_str());
  ASSERT_GE(index, 0);
  SendMessageW(combo, CB_SETCURSEL, index, 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

// Types a text into a rule's printer field.
void TypePrinter(HWND dialog, int id, const std::wstring& text) {
  HWND combo = GetDlgItem(dialog, id);
  SetWindowTextW(combo, text.c_str());
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(combo));
}

std::u16string U16(const std::wstring& s) {
  return std::u16string(s.begin(), s.end());
}

class FileNameRulesWindow : public ::testing::Test {
 protected:
  void Start(const std::wstring& settings) {
    ws_.WriteUtf16(L"tovrl_set_j.ini", ElevenColumns());
    ws_.WriteUtf16(L"Tovrel.ini", L"[setting]\r\n" + kQuietPrinters + settings);
    app_ = std::make_unique<RunningApp>(ws_);
    list_ = app_->Child(300);
    ASSERT_GE(tovrel::App().printers.printerCount, 2)
        << "no printers: run through test.sh, which starts the private CUPS";
  }

  HWND OpenRules() {
    app_->PostCommand(37848);
    return WaitForDialog(Dialog(46));
  }

  void Close(HWND dialog, bool okButton) {
    if (okButton) {
      PressButton(dialog, 1001);
    } else {
      PostMessageW(dialog, WM_CLOSE, 0, 0);
    }
    ASSERT_TRUE(WaitUntil([dialog] { return !IsWindow(dialog); }));
    app_->Settle();
  }

  int Rows() const { return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)); }
  Texts Column(int column) const {
    Texts out;
    for (int row = 0; row < Rows(); ++row) out.push_back(ListCell(list_, row, column));
    return out;
  }

  Workspace ws_;
  std::unique_ptr<RunningApp> app_;
  HWND list_ = nullptr;
};

}  // namespace

TEST_F(FileNameRulesWindow, TheDialogShowsTheStoredRulesWithTheCatalogsPrintersAndPapers) {
  Start(
      L"file_set.ps=2\r\n"
      L"file_set.fp_ps[0].search=_A1\r\nfile_set.fp_ps[0].printer=" +
      kPlotter +
      L"\r\nfile_set.fp_ps[0].paper=A1\r\n"
      L"file_set.fp_ps[1].search=_PDF\r\nfile_set.fp_ps[1].printer=" +
      kDeviceFile +
      L"\r\n"
      L"file_set.fp_ps[1].paper=ISO full bleed A1 (841.00 x 594.00 MM)\r\n"
      L"file_set.ds=1\r\nfile_set.search_d1=V\r\nfile_set.search_d2=H\r\n"
      L"file_set.ss=0\r\nfile_set.search_s1=(LIM)\r\nfile_set.search_s2=(EXT)\r\nfile_set.search_s3=(DSP)\r\n"
      L"file_set.chg_on=1\r\n");
  HWND dialog = OpenRules();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), app_->Main());
  // Every heading says what stands under it or beside it.
  const std::pair<int, int> labels[] = {{1511, 48}, {1512, 49}, {1513, 47}, {1514, 48}, {1515, 50},
                                        {1516, 51}, {1517, 52}, {1518, 48}, {1519, 53}, {1520, 54},
                                        {1521, 55}, {1522, 56}, {1001, 0},  {1301, 47}, {1302, 50},
                                        {1303, 53}, {1304, 57}};
  for (const auto& [id, text] : labels) EXPECT_EQ(ItemText(dialog, id), Dialog(text)) << id;

  EXPECT_TRUE(Checked(dialog, 1301));  // 2 in the file shows ticked
  EXPECT_TRUE(Checked(dialog, 1302));
  EXPECT_FALSE(Checked(dialog, 1303));
  EXPECT_TRUE(Checked(dialog, 1304));
  const std::pair<int, std::wstring> texts[] = {
      {1101, L"_A1"},   {1401, kPlotter},    {1405, L"A1"},
      {1102, L"_PDF"},  {1402, kDeviceFile}, {1406, L"ISO full bleed A1 (841.00 x 594.00 MM)"},
      {1103, L""},      {1403, L""},         {1407, L""},
      {1105, L"V"},     {1106, L"H"},        {1107, L"(LIM)"},
      {1108, L"(EXT)"}, {1109, L"(DSP)"}};
  for (const auto& [id, text] : texts) EXPECT_EQ(ItemText(dialog, id), text) << id;

  Texts printers;
  const tovrel::PrinterCatalog& catalog = tovrel::App().printers;
  for (int i = 0; i < catalog.printerCount; ++i) {
    const std::u16string_view name = catalog.entries[static_cast<std::size_t>(i)].name.View();
    printers.emplace_back(name.begin(), name.end());
  }
  const std::size_t windowsPrinters = printers.size();
  for (const tovrel::PlotterEntry& plotter : catalog.plotters) printers.emplace_back(plotter.name.begin(), plotter.name.end());
  EXPECT_EQ(printers[windowsPrinters], L"DWG To PDF.pc3");  // AutoCAD's configurations after the printers
  for (int id = 1401; id <= 1404; ++id) EXPECT_EQ(ComboItems(dialog, id), printers) << id;
  EXPECT_NE(std::find(printers.begin(), printers.end(), kPdf), printers.end());
  // The plotter's first paper has two characters; all its papers are offered.
  EXPECT_EQ(ComboItems(dialog, 1405), kAbPapers);
  EXPECT_EQ(ComboItems(dialog, 1406).size(), 92u);  // the configuration's own papers
  EXPECT_EQ(ComboItems(dialog, 1407), Texts{});

  Close(dialog, false);  // the close box stores too: 2 becomes a confirmed 1
  const tovrel::FileNameRules& rules = tovrel::App().settings.file_set;
  EXPECT_EQ(rules.ps, 1);
  EXPECT_EQ(rules.ss, 0);
  EXPECT_EQ(rules.fp_ps[1].printer, U16(kDeviceFile));
  EXPECT_EQ(rules.fp_ps[1].paper, u"ISO full bleed A1 (841.00 x 594.00 MM)");
  EXPECT_EQ(rules.search_s3, u"(DSP)");
  app_->Exit();
}

TEST_F(FileNameRulesWindow, AChangedPrinterGetsItsPapersAfterTheTimerAndATypedDeviceKeepsItsPaper) {
  Start(L"file_set.fp_ps[0].printer=" + kPlotter + L"\r\nfile_set.fp_ps[0].paper=A1\r\n");
  HWND dialog = OpenRules();
  ASSERT_NE(dialog, nullptr);
  const ULONGLONG chosen = GetTickCount64();
  ChoosePrinter(dialog, 1402, kPdf);
  ChoosePrinter(dialog, 1403, kPlotter);  // while the first change's timer runs
  if (GetTickCount64() - chosen < 400) {
    EXPECT_EQ(ComboItems(dialog, 1406), Texts{});  // not before the timer
  }
  ASSERT_TRUE(WaitUntil([&] { return ComboItems(dialog, 1406).size() == kAbPapers.size(); }));
  ASSERT_TRUE(WaitUntil([&] { return ComboItems(dialog, 1407).size() == kAbPapers.size(); }));
  EXPECT_EQ(ItemText(dialog, 1406), L"A0");
  EXPECT_EQ(ItemText(dialog, 1407), L"A0");
  EXPECT_EQ(ComboItems(dialog, 1406), kAbPapers);

  // A configuration whose papers are not known typed over the plotter: its
  // paper stays as typed, and the plotter's papers are no longer offered.
  const std::wstring unknownPapers = L"DWF6 ePlot.pc3";
  SetDlgItemTextW(dialog, 1405, L"ISO A1 (841.00 x 594.00 MM)");
  TypePrinter(dialog, 1401, unknownPapers);
  ASSERT_TRUE(WaitUntil([&] { return ComboItems(dialog, 1405).empty(); }));
  EXPECT_EQ(ItemText(dialog, 1401), unknownPapers);
  EXPECT_EQ(ItemText(dialog, 1405), L"ISO A1 (841.00 x 594.00 MM)");

  // A printer picked just before OK is stored with its own first paper.
  SetDlgItemTextW(dialog, 1104, L"_A3");
  ChoosePrinter(dialog, 1404, kPdf);
  Close(dialog, true);
  const tovrel::FileNameRules& rules = tovrel::App().settings.file_set;
  EXPECT_EQ(rules.fp_ps[0].printer, U16(unknownPapers));
  EXPECT_EQ(rules.fp_ps[0].paper, u"ISO A1 (841.00 x 594.00 MM)");
  EXPECT_EQ(rules.fp_ps[1].paper, u"A0");
  EXPECT_EQ(rules.fp_ps[3].search, u"_A3");
  EXPECT_EQ(rules.fp_ps[3].printer, U16(kPdf));
  EXPECT_EQ(rules.fp_ps[3].paper, u"A0");
  EXPECT_EQ(rules.ps, 0);
  app_->Exit();
}

TEST_F(FileNameRulesWindow, AddingConvertsOnlyTheNewRowsAndTheCommandConvertsTheWholeList) {
  const std::wstring older = ws_.Path(L"older"), newer = ws_.Path(L"newer");
  for (const std::wstring& folder : {older, newer}) CreateDirectoryW(folder.c_str(), nullptr);
  for (int i = 0; i < 10; ++i) {
    CloseHandle(CreateFileW((older + L"\\old" + std::to_wstring(i) + L"_A1_H(LIM).dwg").c_str(),
                            GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  }
  for (int i = 0; i < 5; ++i) {
    CloseHandle(CreateFileW((newer + L"\\new" + std::to_wstring(i) + L"_A1_H(LIM).dwg").c_str(),
                            GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  }
  Start(L"file_folder=" + older + L"\r\n");
  app_->PostCommand(37827);
  ASSERT_TRUE(AcceptFolderDialog(older));
  app_->Settle();
  ASSERT_EQ(Rows(), 10);

  // The rules as a CAD office sets them once.
  HWND dialog = OpenRules();
  ASSERT_NE(dialog, nullptr);
  Button_SetCheck(GetDlgItem(dialog, 1301), BST_CHECKED);
  SetDlgItemTextW(dialog, 1101, L"_A1");
  ChoosePrinter(dialog, 1401, kPlotter);
  ASSERT_TRUE(WaitUntil([&] { return ItemText(dialog, 1405) == L"A0"; }));
  SetDlgItemTextW(dialog, 1405, L"A1");
  Button_SetCheck(GetDlgItem(dialog, 1302), BST_CHECKED);
  SetDlgItemTextW(dialog, 1106, L"H");
  Button_SetCheck(GetDlgItem(dialog, 1303), BST_CHECKED);
  SetDlgItemTextW(dialog, 1107, L"(LIM)");
  Button_SetCheck(GetDlgItem(dialog, 1304), BST_CHECKED);
  Close(dialog, true);
  EXPECT_EQ(Column(5), Texts(10, L""));  // closing the dialog converts nothing

  tovrel::App().settings.file_folder = U16(newer);
  app_->PostCommand(37827);
  ASSERT_TRUE(AcceptFolderDialog(newer));
  app_->Settle();
  ASSERT_EQ(Rows(), 15);
  for (int row = 0; row < 15; ++row) {
    SCOPED_TRACE(row);
    const bool added = row >= 10;
    EXPECT_EQ(ListCell(list_, row, 0).substr(0, 3), added ? L"new" : L"old");
    EXPECT_EQ(ListCell(list_, row, 5), added ? kPlotter : L"");
    EXPECT_EQ(ListCell(list_, row, 6), added ? L"A1" : L"");
    EXPECT_EQ(ListCell(list_, row, 8), added ? Code(1) : L"");
    EXPECT_EQ(ListCell(list_, row, 10), added ? Code(2) : L"");
  }

  // The command converts every row, whether or not adding converts.
  tovrel::App().settings.file_set.chg_on = 0;
  app_->PostCommand(37847);
  app_->Settle();
  EXPECT_EQ(Column(5), Texts(15, kPlotter));
  EXPECT_EQ(Column(6), Texts(15, L"A1"));
  EXPECT_EQ(Column(8), Texts(15, Code(1)));
  EXPECT_EQ(Column(10), Texts(15, Code(2)));
  app_->Exit();
}
