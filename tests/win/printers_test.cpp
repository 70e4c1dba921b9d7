// The printer catalog against the real spooler: Wine's winspool reading the
// private CUPS of test.sh, whose cups-pdf printers report 65 paper names, plus
// one Windows-side printer whose name has blanks. Then the main window's use.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <winspool.h>

#include <algorithm>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/app_context.h"
#include "app_harness.h"
#include "printers/printer_catalog.h"
#include "printers/printer_catalog_win32.h"
#include "printers/spooler_win32.h"
#include "storage/app_settings.h"

using namespace tovrel;
using namespace tovrel::test;

namespace {

// The CUPS queues of test.sh (scripts/common.sh, TEST_PRINTERS), and one added here.
const std::wstring kPdf = L"Tovrel_PDF";
const std::wstring kPlotter = L"Tovrel_Plotter";
const std::wstring kProhibited = L"Tovrel_Prohibited";
const std::wstring kBlankName = L"Tovrel Plotter A1";
const std::vector<std::u16string> kAbPapers = {
    u"A0",       u"A1",       u"A2",       u"A3",       u"A4",       u"A5",       u"B0 (ISO)", u"B1 (ISO)",
    u"B2 (ISO)", u"B3 (ISO)", u"B4 (ISO)", u"B5 (ISO)", u"B0 (JIS)", u"B1 (JIS)", u"B2 (JIS)", u"B3 (JIS)",
    u"B4 (JIS)", u"B5 (JIS)", u"RA0",      u"RA1",      u"RA2",      u"RA3",      u"RA4",      u"SRA0",
    u"SRA1",     u"SRA2",     u"SRA3",     u"SRA4"};

std::u16string U(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }
std::wstring Wide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }

std::vector<std::u16string> PapersOf(const PrinterCatalog& catalog, const std::wstring& printer) {
  const int i = FindPrinterByName(catalog, U(printer));
  EXPECT_GE(i, 0) << std::string(printer.begin(), printer.end());
  std::vector<std::u16string> out;
  for (const auto& slot : catalog.entries[static_cast<std::size_t>(std::max(i, 0))].paperNames) {
    if (slot.Empty()) break;
    out.push_back(slot.Str());
  }
  return out;
}

// The printer with blanks, on the plotter's CUPS queue so that Wine drops it
// at its next start should a run die before the removal.
class BlankNamedPrinter : public ::testing::Environment {
public:
  void SetUp() override {
    std::wstring name = kBlankName, driver = kPlotter, port = L"CUPS:" + kPlotter, proc = L"wineps", type = L"RAW";
    PRINTER_INFO_2W info{};
    info.pPrinterName = name.data();
    info.pDriverName = driver.data();
    info.pPortName = port.data();
    info.pPrintProcessor = proc.data();
    info.pDatatype = type.data();
    if (HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info))) ClosePrinter(printer);
  }
  void TearDown() override {
    HANDLE printer = nullptr;
    if (!OpenPrinterW(const_cast<wchar_t*>(kBlankName.c_str()), &printer, nullptr)) return;
    DeletePrinter(printer);
    ClosePrinter(printer);
  }
};

const auto* const g_blankPrinter = ::testing::AddGlobalTestEnvironment(new BlankNamedPrinter);

// The messages of a fill without the filter and with kProhibited on the list.
std::vector<int> FillMessages(const std::vector<std::wstring>& names) {
  std::vector<int> numbers;
  for (const std::wstring& name : names) numbers.push_back(name == kProhibited ? 27 : 25);
  return numbers;
}

class RealSpooler : public ::testing::Test {
protected:
  void SetUp() override {
    Win32Spooler spooler;
    std::vector<SpoolerPrinter> printers;
    ASSERT_TRUE(spooler.EnumeratePrinters(printers));
    for (const SpoolerPrinter& p : printers) names_.push_back(Wide(p.name));
    for (const std::wstring& name : {kPdf, kPlotter, kProhibited, kBlankName}) {
      ASSERT_NE(std::find(names_.begin(), names_.end(), name), names_.end())
          << std::string(name.begin(), name.end()) << " missing: run through test.sh, which starts the private CUPS";
    }
  }
  void Fill() {
    messages_.clear();
    Win32Spooler spooler;
    FillCatalog(*catalog_, spooler, settings_, [this](int message) { messages_.push_back(message); });
  }

  std::vector<std::wstring> names_;
  std::unique_ptr<PrinterCatalog> catalog_ = std::make_unique<PrinterCatalog>();
  AppSettings settings_;
  std::vector<int> messages_;
};

TEST_F(RealSpooler, FillKeepsSixtyThreePapersPerDriverAndMarksTheProhibitedPrinter) {
  settings_.prohibition_print[3] = U(kProhibited);
  settings_.prohibition_print[9] = u"tovrel_pdf";       // another case: prohibits nothing
  settings_.prohibition_print[12] = u"Tovrel Plotter";  // a part of a name: prohibits nothing
  Fill();
  ASSERT_EQ(catalog_->printerCount, static_cast<int>(names_.size()));
  EXPECT_EQ(messages_, FillMessages(names_));  // 25 for every driver's 65 papers, 27 in its place
  for (const std::wstring& name : {kPdf, kPlotter, kBlankName}) {
    SCOPED_TRACE(std::string(name.begin(), name.end()));
    const std::vector<std::u16string> papers = PapersOf(*catalog_, name);
    ASSERT_EQ(papers.size(), 63u);  // "Tabloid Extra" and "Tabloid" are cut
    EXPECT_EQ(papers[0], u"11x14");
    EXPECT_EQ(papers[13], u"A4");
    EXPECT_EQ(papers[62], u"Super B");
  }
  EXPECT_EQ(PapersOf(*catalog_, kProhibited), std::vector<std::u16string>{kProhibitionMarker});

  settings_.prohibition_plmode = 1;
  Fill();
  EXPECT_EQ(messages_, std::vector<int>(names_.size() - 1, kMessageTooManyPapers));
  EXPECT_EQ(PapersOf(*catalog_, kProhibited), std::vector<std::u16string>{kProhibitionMarker});
}

// --- the main window and the listing dialog ---

std::wstring MessageText(int number, const wchar_t* part) {
  return CatalogText(L"meg", L"No." + std::to_wstring(number) + L":meg-j" + part);
}

// Answers the program's message boxes in order, checking text and owner.
void AnswerMessages(const std::vector<int>& numbers, const std::wstring& ownerCaption) {
  for (int number : numbers) {
    SCOPED_TRACE("message " + std::to_string(number));
    HWND box = WaitForDialog(MessageText(number, L"b"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), MessageText(number, L"a"));
    EXPECT_EQ(TextOf(GetWindow(box, GW_OWNER)), ownerCaption);
    PressButton(box, IDOK);
    ASSERT_TRUE(WaitUntil([box] { return !IsWindow(box); }));
  }
}

class PrintersInMainWindow : public RealSpooler {
protected:
  // Starts on a helper thread: the start-up fill shows its messages before the main window.
  void Start(const std::wstring& settings, const std::vector<int>& startUpMessages) {
    ws_.WriteUtf16(L"Tovrel.ini", L"[setting]\r\n" + settings);
    std::thread starter([this] { app_ = std::make_unique<RunningApp>(ws_); });
    AnswerMessages(startUpMessages, L"Tovrel_64 2.02");
    starter.join();
    ASSERT_TRUE(IsWindowVisible(app_->Main()));
    app_->Settle();
  }

  Workspace ws_;
  std::unique_ptr<RunningApp> app_;
};

TEST_F(PrintersInMainWindow, ARightClickBeforeTheCatalogIsLoadedOnlyLoadsIt) {
  // Quiet fills: the A/B filter keeps fewer than 63 papers, no prohibited notice.
  Start(L"print_paper_ab=1\r\nprohibition_plmode=1\r\nprohibition_print0=" + kProhibited + L"\r\n", {});
  // The click's handler waits for the message to be answered.
  std::thread clicker([&] { app_->NotifyList(NM_RCLICK, 5); });
  HWND box = WaitForDialog(MessageText(14, L"b"));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), MessageText(14, L"a"));
  EXPECT_FALSE(App().printers.catalogLoaded);  // the fill comes after the message
  PressButton(box, IDOK);
  clicker.join();
  EXPECT_TRUE(App().printers.catalogLoaded);
  for (const std::wstring& name : {kPdf, kPlotter, kBlankName}) EXPECT_EQ(PapersOf(App().printers, name), kAbPapers);

  app_->NotifyList(NM_RCLICK, 5);  // loaded: nothing shown
  EXPECT_EQ(CountTopLevelWindows(MessageText(14, L"b")), 0);
  app_->Exit();
}

TEST_F(PrintersInMainWindow, TheListingShowsEveryPrinterWithItsPaperSlots) {
  Start(L"prohibition_print0=" + kProhibited + L"\r\n", FillMessages(names_));
  const std::wstring caption = CatalogText(L"dialog", L"No.29:dialog-j");
  for (int command : {37831, 337}) {  // the menu item, then the toolbar button
    SCOPED_TRACE("command " + std::to_string(command));
    app_->PostCommand(command);
    AnswerMessages(FillMessages(names_), caption);  // the listing always reads the spooler again
    HWND dialog = WaitForDialog(caption);
    ASSERT_NE(dialog, nullptr);
    HWND list = GetDlgItem(dialog, 302);
    ASSERT_NE(list, nullptr);

    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    ASSERT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 64);
    EXPECT_EQ(ListHeader(list, 0), CatalogText(L"code", L"No.34:code-j"));
    EXPECT_EQ(ListHeader(list, 63), CatalogText(L"code", L"No.35:code-j") + L"63");
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), 180);
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 63, 0), 130);

    // The printers, then AutoCAD's nine built-in configurations and the one
    // for the default printer.
    const int printers = static_cast<int>(names_.size());
    ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(printers + 10));
    EXPECT_EQ(ListCell(list, printers, 0), L"DWG To PDF.pc3");
    EXPECT_EQ(ListCell(list, printers, 1), L"ISO expand A0 (841.00 x 1189.00 MM)");
    EXPECT_EQ(ListCell(list, printers + 9, 0), L"Default Windows System Printer.pc3");
    for (int row = 0; row < static_cast<int>(names_.size()); ++row) {
      const std::wstring& name = names_[static_cast<std::size_t>(row)];
      SCOPED_TRACE(std::string(name.begin(), name.end()));
      EXPECT_EQ(ListCell(list, row, 0), name);
      if (name == kProhibited) {
        EXPECT_EQ(ListCell(list, row, 1), L"Prohibition");
        EXPECT_EQ(ListCell(list, row, 2), L"");
      } else if (name == kPdf || name == kPlotter || name == kBlankName) {
        EXPECT_EQ(ListCell(list, row, 14), L"A4");
        EXPECT_EQ(ListCell(list, row, 63), L"Super B");
      }
    }
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([dialog] { return !IsWindow(dialog); }));
    app_->Settle();
    EXPECT_TRUE(App().printers.catalogLoaded);
  }
  app_->Exit();
}

}  // namespace
