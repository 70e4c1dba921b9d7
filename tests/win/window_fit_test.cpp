// Every text of every window fits its control: the window gallery opens each
// window of the program in the four languages and measures each static text,
// button, check box and header item in the control's own font against the
// room the control gives it. It runs at 100 % and 150 %, each in a process
// of its own (a process reads the resolution once, when it starts). Then
// what a measure cannot tell: the faces of the languages, the icon's sizes,
// the progress window's layout, cut status texts, the empty printer listing.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "app_harness.h"
#include "dialog_ids.h"
#include "resource_ids.h"
#include "win32/dialog_font.h"
#include "win32/dialog_helpers.h"
#include "win32/progress_window.h"

using namespace tovrel::test;

namespace {

// No text is exempt: the fixed ones were given room.
// Runs the gallery's measuring at a resolution; returns its output.
std::string MeasureAt(DWORD dpi, const std::wstring& out) {
  SetLogPixels(dpi);
  const std::string unixPath = TOVREL_GALLERY_EXE;  // the build names a Unix path
  std::wstring exe = L"Z:" + std::wstring(unixPath.begin(), unixPath.end());
  for (wchar_t& c : exe) c = c == L'/' ? L'\\' : c;
  std::wstring commandLine = L"\"" + exe + L"\" --fit";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE file = CreateFileW(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = file;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                      &startup, &process);
  CloseHandle(file);
  // Once the gallery has read the resolution, the other programs get theirs back.
  if (started) WaitUntil([&] { return FileBytes(out).find("dpi ") != std::string::npos; }, 60000);
  SetLogPixels(96);
  if (!started) return "cannot start " + unixPath;
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 15 * 60 * 1000), WAIT_OBJECT_0);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return FileBytes(out);
}

}  // namespace

TEST(WindowFit, EveryTextOfEveryWindowFitsItsControlInEachLanguageAt100And150Percent) {
  for (const DWORD dpi : {96u, 144u}) {
    SCOPED_TRACE(dpi);
    Workspace scratch;
    const std::string output = MeasureAt(dpi, scratch.Path(L"fit.txt"));
    // The gallery laid its windows out at this resolution and measured them all.
    EXPECT_NE(output.find("dpi " + std::to_string(dpi)), std::string::npos) << output;
    const std::size_t at = output.find("measured ");
    ASSERT_NE(at, std::string::npos) << "the gallery did not finish";
    int texts = 0, windows = 0;
    sscanf(output.c_str() + at, "measured %d texts in %d windows", &texts, &windows);
    EXPECT_TRUE(windows >= 4 * 20 && texts >= 4 * 200) << output;
    std::istringstream lines(output);
    std::string line, misfits;
    while (std::getline(lines, line)) {
      if (line.rfind("CLIPPED ", 0) == 0) misfits += line + "\n";
    }
    EXPECT_TRUE(misfits.empty()) << misfits;
  }
}

namespace {

std::wstring FaceOf(HWND window) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font.lfFaceName;
}

RECT ClientRectOf(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace

TEST(WindowLooks, EachLanguageHasTheFaceOfItsScriptAndTheIconEverySizeWindowsAsksFor) {
  EXPECT_EQ(tovrel::UiFontFace(0), L"MS UI Gothic");
  EXPECT_EQ(tovrel::UiFontFace(1), L"Segoe UI");
  EXPECT_EQ(tovrel::UiFontFace(2), L"Malgun Gothic");
  EXPECT_EQ(tovrel::UiFontFace(3), L"Microsoft YaHei");
  HRSRC group = FindResourceW(nullptr, MAKEINTRESOURCEW(IDI_TOVREL), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
  ASSERT_NE(group, nullptr);
  const auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, group)));
  std::wstring sizes;
  for (int i = 0; i < directory[4]; ++i) {
    const int width = directory[6 + 14 * i];
    sizes += std::to_wstring(width == 0 ? 256 : width) + L" ";
  }
  EXPECT_EQ(sizes, L"16 20 24 32 48 256 ");
}

// A search's progress shows two lines and its one button right under them,
// centred; a title too wide for its status pane ends with "…" and is the tip.
TEST(WindowLooks, ProgressWindowFitsItsLinesAndACutStatusTextEndsWithAnEllipsis) {
  tovrel::ProgressWindow search(nullptr, tovrel::ProgressWindow::Stops::NowOnly);
  search.SetLines(u"Searching the fixed drives", u"acad.exe", u"", u"");
  HWND window = search.Handle();
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, IDT_PROGRESS_DRAWING)) ||
               IsWindowVisible(GetDlgItem(window, IDT_PROGRESS_TIME)));
  const RECT row = ClientRectOf(GetDlgItem(window, IDT_PROGRESS_ROW));
  const RECT stop = ClientRectOf(GetDlgItem(window, IDB_STOP_NOW));
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_LE(stop.top - row.bottom, (row.bottom - row.top) * 2);
  EXPECT_LE(client.bottom - stop.bottom, stop.bottom - stop.top);
  EXPECT_LE(std::abs((stop.left + stop.right) / 2 - client.right / 2), 2);

  HWND status = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | SBARS_TOOLTIPS, 0, 0, 400, 20, window, nullptr,
                                nullptr, nullptr);
  int edges[2] = {100, -1};
  SendMessageW(status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
  const std::wstring title = L"Model - plot to a PLT file through the printer driver";
  tovrel::SetStatusPaneText(status, 0, title);
  wchar_t shown[100] = L"", tip[100] = L"";
  SendMessageW(status, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(shown));
  SendMessageW(status, SB_GETTIPTEXTW, MAKEWPARAM(0, 100), reinterpret_cast<LPARAM>(tip));
  const std::wstring cut = shown;
  ASSERT_GT(cut.size(), 2u);
  EXPECT_EQ(cut.back(), L'\u2026');
  EXPECT_EQ(title.rfind(cut.substr(0, cut.size() - 1), 0), 0u);
  EXPECT_EQ(std::wstring(tip), title);

  // A drop-down's text wider than its field shows from its first character.
  HWND combo = CreateWindowExW(0, WC_COMBOBOXW, L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0, 0, 60,
                               100, window, nullptr, nullptr, nullptr);
  SetWindowTextW(combo, L"M Millimeters and then some more words");
  SetForegroundWindow(window);
  SetFocus(combo);
  tovrel::ShowTextFromStart(combo);
  COMBOBOXINFO box{sizeof box, {}, {}, 0, nullptr, nullptr, nullptr};
  GetComboBoxInfo(combo, &box);
  EXPECT_EQ(LOWORD(SendMessageW(box.hwndItem, EM_CHARFROMPOS, 0, MAKELPARAM(2, 2))), 0);
}

// With no printer in the spooler the listing says so where the rows would
// be, in the screen language and its font.
TEST(WindowLooks, AnEmptyPrinterListingSaysTheSpoolerListsNoPrinter) {
  Workspace ws;
  ws.WriteUtf16(L"Tovrel.ini", L"[setting]\r\nmoji_type=2\r\n");
  RunningApp app(ws);
  app.PostCommand(37831);
  HWND listing = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    HWND shown = WaitForDialog(L"", nullptr);
    if (shown && GetDlgItem(shown, 0xFFFF)) {  // a message about the printers on the way
      PressButton(shown, IDOK);
      WaitUntil([&] { return !IsWindow(shown); });
      return false;
    }
    listing = shown;
    return listing != nullptr && TextOf(listing) == CatalogText(L"dialog", L"No.29:dialog-k");
  }));
  HWND list = GetDlgItem(listing, IDL_PRINTER_LIST);
  // The first row says so; AutoCAD's own configurations follow it.
  ASSERT_GT(ListRowCount(list), 1);
  EXPECT_EQ(ListCell(list, 0, 0), CatalogText(L"code", L"No.95:code-k"));
  EXPECT_TRUE(ListCell(list, 1, 0).ends_with(L".pc3")) << ListCell(list, 1, 0);
  EXPECT_EQ(FaceOf(listing), L"Malgun Gothic");
  PostMessageW(listing, WM_CLOSE, 0, 0);
  WaitUntil([&] { return !IsWindow(listing); });
  app.Exit();
}
