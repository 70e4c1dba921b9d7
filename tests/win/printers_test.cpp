// The printer catalog against the real spooler: Wine's winspool reading the
// private CUPS scheduler that test.sh starts, whose cups-pdf printers report
// the 65 paper names of their PPD. Beside them the tests add one printer on
// the Windows side whose name has blanks (CUPS queue names cannot have
// them). Then the main window's use of the catalog and the listing dialog,
// with their message boxes answered as a user would.
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

// The CUPS queues of test.sh (scripts/common.sh, TEST_PRINTERS).
const std::wstring kPdf = L"Tovrel_PDF";
const std::wstring kPlotter = L"Tovrel_Plotter";
const std::wstring kProhibited = L"Tovrel_Prohibited";
// Added here through AddPrinterW on the plotter's driver.
const std::wstring kBlankName = L"Tovrel Plotter A1";

// What the cups-pdf driver reports, in its order: 65 names, of which the
// catalog keeps the first 63 ("Tabloid Extra" and "Tabloid" are cut).
constexpr int kDriverPaperCount = 65;
const std::vector<std::u16string> kAbPapers = {
    u"A0",       u"A1",       u"A2",       u"A3",       u"A4",       u"A5",       u"B0 (ISO)",
    u"B1 (ISO)", u"B2 (ISO)", u"B3 (ISO)", u"B4 (ISO)", u"B5 (ISO)", u"B0 (JIS)", u"B1 (JIS)",
    u"B2 (JIS)", u"B3 (JIS)", u"B4 (JIS)", u"B5 (JIS)", u"RA0",      u"RA1",      u"RA2",
    u"RA3",      u"RA4",      u"SRA0",     u"SRA1",     u"SRA2",     u"SRA3",     u"SRA4"};

std::u16string U(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }
std::wstring Wide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }

// The printers as the spooler offers them, in its order.
std::vector<std::wstring> SpoolerNames() {
  Win32Spooler spooler;
  std::vector<SpoolerPrinter> printers;
  EXPECT_TRUE(spooler.EnumeratePrinters(printers));
  std::vector<std::wstring> names;
  for (const SpoolerPrinter& p : printers) names.push_back(Wide(p.name));
  return names;
}

bool Offers(const std::vector<std::wstring>& names, const std::wstring& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

std::vector<std::u16string> PapersOf(const PrinterCatalog& catalog, int i) {
  std::vector<std::u16string> out;
  for (const auto& slot : catalog.entries[static_cast<std::size_t>(i)].paperNames) {
    if (slot.Empty()) break;
    out.push_back(slot.Str());
  }
  return out;
}

int IndexOf(const PrinterCatalog& catalog, const std::wstring& name) { return FindPrinterByName(catalog, U(name)); }

// Adds the printer with blanks for the whole program and removes it at the
// end. Its port is the plotter's CUPS queue, so that should a run die before
// the removal, Wine's next start drops it as a printer CUPS does not know.
class BlankNamedPrinter : public ::testing::Environment {
public:
  void SetUp() override {
    PRINTER_INFO_2W info{};
    std::wstring name = kBlankName;
    std::wstring driver = kPlotter;
    std::wstring port = L"CUPS:" + kPlotter;
    std::wstring processor = L"wineps";
    std::wstring datatype = L"RAW";
    info.pPrinterName = name.data();
    info.pDriverName = driver.data();
    info.pPortName = port.data();
    info.pPrintProcessor = processor.data();
    info.pDatatype = datatype.data();
    HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (printer) ClosePrinter(printer);
  }
  void TearDown() override {
    HANDLE printer = nullptr;
    if (OpenPrinterW(const_cast<wchar_t*>(kBlankName.c_str()), &printer, nullptr)) {
      DeletePrinter(printer);
      ClosePrinter(printer);
    }
  }
};

const auto* const g_blankPrinter = ::testing::AddGlobalTestEnvironment(new BlankNamedPrinter);

class RealSpooler : public ::testing::Test {
protected:
  void SetUp() override {
    names_ = SpoolerNames();
    for (const std::wstring& name : {kPdf, kPlotter, kProhibited, kBlankName}) {
      ASSERT_TRUE(Offers(names_, name)) << "the spooler does not offer " << std::string(name.begin(), name.end())
                                        << ": run the tests through test.sh, which starts the private CUPS "
                                           "scheduler and points CUPS_SERVER at it";
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

TEST_F(RealSpooler, FillKeepsTheFirstSixtyThreePaperNamesOfEachDriver) {
  Fill();
  EXPECT_TRUE(catalog_->catalogLoaded);
  ASSERT_EQ(catalog_->printerCount, static_cast<int>(names_.size()));
  for (int i = 0; i < catalog_->printerCount; ++i) {
    EXPECT_EQ(Wide(catalog_->entries[static_cast<std::size_t>(i)].name.View()), names_[static_cast<std::size_t>(i)]);
  }
  for (const std::wstring& name : {kPdf, kPlotter, kProhibited, kBlankName}) {
    SCOPED_TRACE(std::string(name.begin(), name.end()));
    const int i = IndexOf(*catalog_, name);
    ASSERT_GE(i, 0);
    const std::vector<std::u16string> papers = PapersOf(*catalog_, i);
    ASSERT_EQ(papers.size(), 63u);
    EXPECT_EQ(papers[0], u"11x14");
    EXPECT_EQ(papers[13], u"A4");
    EXPECT_EQ(papers[50], u"US Letter");
    EXPECT_EQ(papers[62], u"Super B");
    EXPECT_EQ(std::count(papers.begin(), papers.end(), u"Tabloid"), 0);
  }
  // The driver really reports more than the catalog keeps: one message 25
  // for every printer.
  Win32Spooler spooler;
  EXPECT_EQ(spooler.PaperNameCount(U(kPdf), U(L"CUPS:" + kPdf)), kDriverPaperCount);
  EXPECT_EQ(messages_, std::vector<int>(names_.size(), kMessageTooManyPapers));
}

TEST_F(RealSpooler, AProhibitedPrinterShowsTheMarkerAndItsMessageInSpoolerOrder) {
  settings_.prohibition_print[3] = U(kProhibited);
  settings_.prohibition_print[9] = u"tovrel_pdf";      // another case: prohibits nothing
  settings_.prohibition_print[12] = u"Tovrel Plotter";  // a part of a name: prohibits nothing
  Fill();
  std::vector<int> expected;
  for (const std::wstring& name : names_) expected.push_back(name == kProhibited ? 27 : 25);
  EXPECT_EQ(messages_, expected);
  EXPECT_EQ(PapersOf(*catalog_, IndexOf(*catalog_, kProhibited)), std::vector<std::u16string>{kProhibitionMarker});
  EXPECT_EQ(PapersOf(*catalog_, IndexOf(*catalog_, kPdf)).size(), 63u);
  EXPECT_EQ(PapersOf(*catalog_, IndexOf(*catalog_, kBlankName)).size(), 63u);

  settings_.prohibition_plmode = 1;
  Fill();
  EXPECT_EQ(std::count(messages_.begin(), messages_.end(), 27), 0);
  EXPECT_EQ(messages_.size(), names_.size() - 1);
  EXPECT_EQ(PapersOf(*catalog_, IndexOf(*catalog_, kProhibited)), std::vector<std::u16string>{kProhibitionMarker});
}

TEST_F(RealSpooler, TheAbFilterKeepsOnlyTheASeriesAndBSeriesNames) {
  settings_.print_paper_ab = 1;
  Fill();
  EXPECT_TRUE(messages_.empty());
  for (const std::wstring& name : {kPdf, kPlotter, kBlankName}) {
    SCOPED_TRACE(std::string(name.begin(), name.end()));
    const std::vector<std::u16string> papers = PapersOf(*catalog_, IndexOf(*catalog_, name));
    EXPECT_EQ(papers, kAbPapers);
    for (const std::u16string& paper : papers) EXPECT_TRUE(HasAbPaperCode(paper));
  }
}

TEST_F(RealSpooler, TheComboGetsEveryPrinterName) {
  HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", CBS_DROPDOWNLIST | CBS_HASSTRINGS, 0, 0, 200, 200, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(combo, nullptr);
  App().printers.printerCount = 0;
  AddPrinterNamesToCombo(nullptr, combo);
  std::vector<std::wstring> listed;
  const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = L"";
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    listed.push_back(text);
  }
  DestroyWindow(combo);
  EXPECT_EQ(listed, names_);
  EXPECT_EQ(App().printers.printerCount, static_cast<int>(names_.size()));
}

// --- the main window and the listing dialog ------------------------------

std::wstring MessageText(int number, const wchar_t* part) {
  return CatalogText(L"meg", L"No." + std::to_wstring(number) + L":meg-j" + part);
}

// Answers the message boxes the program shows, in order, checking each one's
// text and its owner's caption.
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

// The messages of a fill without the filter and with kProhibited on the list.
std::vector<int> FillMessages(const std::vector<std::wstring>& names) {
  std::vector<int> numbers;
  for (const std::wstring& name : names) numbers.push_back(name == kProhibited ? 27 : 25);
  return numbers;
}

// The whole screen as a BMP file, when TOVREL_SHOT_DIR names a folder.
void SaveScreenIfAsked(const wchar_t* name) {
  wchar_t folder[MAX_PATH] = L"";
  if (!GetEnvironmentVariableW(L"TOVREL_SHOT_DIR", folder, MAX_PATH)) return;
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib && bits) {
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD size = ((static_cast<DWORD>(width) * 3 + 3) & ~3u) * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{0x4D42, 0, 0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    file.bfSize = file.bfOffBits + size;
    HANDLE h = CreateFileW((std::wstring(folder) + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           0, nullptr);
    DWORD written = 0;
    WriteFile(h, &file, sizeof file, &written, nullptr);
    WriteFile(h, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr);
    WriteFile(h, bits, size, &written, nullptr);
    CloseHandle(h);
    SelectObject(memory, old);
    DeleteObject(dib);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

std::wstring Header(HWND list, int column) {
  wchar_t text[64] = L"";
  LVCOLUMNW lvc{};
  lvc.mask = LVCF_TEXT;
  lvc.pszText = text;
  lvc.cchTextMax = 64;
  SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&lvc));
  return text;
}

class PrintersInMainWindow : public RealSpooler {
protected:
  // Starts the program on a helper thread, since its start-up fill shows
  // message boxes before the main window appears, and answers them.
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

TEST_F(PrintersInMainWindow, StartUpFillsOnceAndTheFirstPrinterCommandFillsAgain) {
  Start(L"prohibition_print0=" + kProhibited + L"\r\n", FillMessages(names_));
  // Filled, but marked as not loaded, so that the first use reads again.
  EXPECT_FALSE(App().printers.catalogLoaded);
  EXPECT_EQ(App().printers.printerCount, static_cast<int>(names_.size()));
  EXPECT_EQ(Wide(App().printers.entries[static_cast<std::size_t>(IndexOf(App().printers, kProhibited))]
                     .paperNames[0]
                     .View()),
            L"Prohibition");

  app_->PostCommand(37833);  // one-line edit: printers first
  AnswerMessages(FillMessages(names_), L"Tovrel_64 2.02");
  app_->Settle();
  EXPECT_TRUE(App().printers.catalogLoaded);

  for (int command : {37833, 37834, 37826, 338}) app_->PostCommand(command);
  app_->Settle();
  EXPECT_EQ(CountTopLevelWindows(MessageText(25, L"b")), 0);
  app_->Exit();
}

TEST_F(PrintersInMainWindow, ARightClickBeforeTheCatalogIsLoadedOnlyLoadsIt) {
  // Quiet fills: the filter keeps fewer than 63 papers, no prohibited notice.
  Start(L"print_paper_ab=1\r\nprohibition_plmode=1\r\nprohibition_print0=" + kProhibited + L"\r\n", {});
  HWND list = app_->Child(300);
  NMITEMACTIVATE click{};
  click.hdr.hwndFrom = list;
  click.hdr.idFrom = 300;
  click.hdr.code = NM_RCLICK;
  click.iItem = -1;
  click.iSubItem = 5;
  // The click's handler waits for the message to be answered.
  std::thread clicker([&] { SendMessageW(app_->Main(), WM_NOTIFY, 300, reinterpret_cast<LPARAM>(&click)); });
  HWND box = WaitForDialog(MessageText(14, L"b"));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), MessageText(14, L"a"));
  EXPECT_FALSE(App().printers.catalogLoaded);  // the fill comes after the message
  PressButton(box, IDOK);
  clicker.join();
  EXPECT_TRUE(App().printers.catalogLoaded);
  EXPECT_EQ(PapersOf(App().printers, IndexOf(App().printers, kPdf)), kAbPapers);

  // Loaded now: the next right-click shows nothing.
  SendMessageW(app_->Main(), WM_NOTIFY, 300, reinterpret_cast<LPARAM>(&click));
  EXPECT_EQ(CountTopLevelWindows(MessageText(14, L"b")), 0);
  app_->Exit();
}

TEST_F(PrintersInMainWindow, TheListingShowsEveryPrinterWithItsPaperSlots) {
  Start(L"prohibition_print0=" + kProhibited + L"\r\n", FillMessages(names_));
  const std::wstring caption = CatalogText(L"dialog", L"No.29:dialog-j");
  for (int command : {37831, 337}) {  // the menu item, then the toolbar button
    SCOPED_TRACE("command " + std::to_string(command));
    app_->PostCommand(command);
    // The listing always reads the spooler again; its messages are owned by it.
    AnswerMessages(FillMessages(names_), caption);
    HWND dialog = WaitForDialog(caption);
    ASSERT_NE(dialog, nullptr);
    HWND list = GetDlgItem(dialog, 302);
    ASSERT_NE(list, nullptr);

    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    ASSERT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 64);
    EXPECT_EQ(Header(list, 0), CatalogText(L"code", L"No.34:code-j"));
    EXPECT_EQ(Header(list, 1), CatalogText(L"code", L"No.35:code-j") + L"1");
    EXPECT_EQ(Header(list, 63), CatalogText(L"code", L"No.35:code-j") + L"63");
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), 180);
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 63, 0), 130);
    RECT client{}, listRect{};
    GetClientRect(dialog, &client);
    GetWindowRect(list, &listRect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&listRect), 2);
    EXPECT_EQ(listRect.left, 0);
    EXPECT_EQ(listRect.top, 0);
    EXPECT_EQ(listRect.right, client.right);  // the listing fills the dialog
    EXPECT_EQ(listRect.bottom, client.bottom);
    const LRESULT extended = SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_TRUE(extended & LVS_EX_GRIDLINES);
    EXPECT_TRUE(extended & LVS_EX_FULLROWSELECT);

    ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(names_.size()));
    for (int row = 0; row < static_cast<int>(names_.size()); ++row) {
      const std::wstring& name = names_[static_cast<std::size_t>(row)];
      SCOPED_TRACE(std::string(name.begin(), name.end()));
      EXPECT_EQ(ListCell(list, row, 0), name);
      if (name == kProhibited) {
        EXPECT_EQ(ListCell(list, row, 1), L"Prohibition");
        EXPECT_EQ(ListCell(list, row, 2), L"");
      } else if (name == kPdf || name == kPlotter || name == kBlankName) {
        EXPECT_EQ(ListCell(list, row, 1), L"11x14");
        EXPECT_EQ(ListCell(list, row, 14), L"A4");
        EXPECT_EQ(ListCell(list, row, 63), L"Super B");
      }
    }
    if (command == 37831) SaveScreenIfAsked(L"printer_listing.bmp");
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([dialog] { return !IsWindow(dialog); }));
    app_->Settle();
    EXPECT_TRUE(App().printers.catalogLoaded);
  }
  app_->Exit();
}

}  // namespace
