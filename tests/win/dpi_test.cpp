// The program at 100 %, 150 % and 200 %: it declares itself DPI-aware, so
// Windows does not stretch (blur) it, and it scales every size it lays out
// in pixels itself. Each resolution is set as Wine's "LogPixels" and the real
// program started anew; a capture of each screen lands in
// build/screenshots/dpi for looking at.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app_harness.h"
#include "storage/ansi_code_page_win32.h"
#include "storage/ini_file.h"

using namespace tovrel::test;

namespace {

RECT RectOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

// The whole screen as a 24-bit BMP file.
void Capture(const std::wstring& path) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  const DWORD stride = ((static_cast<DWORD>(w) * 3 + 3) & ~3u), size = stride * static_cast<DWORD>(h);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info.bmiHeader;
  file.bfSize = file.bfOffBits + size;
  HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(out, &file, sizeof file, &written, nullptr);
  WriteFile(out, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr);
  WriteFile(out, bits, size, &written, nullptr);
  CloseHandle(out);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

struct OwnedDialog {
  HWND owner;
  HWND found;
};

BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM arg) {
  auto* search = reinterpret_cast<OwnedDialog*>(arg);
  wchar_t cls[16] = L"";
  GetClassNameW(window, cls, 16);
  if (GetWindow(window, GW_OWNER) == search->owner && IsWindowVisible(window) && wcscmp(cls, L"#32770") == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

struct FirstField {
  HWND dialog;
  POINT topLeft;
  bool found;
  LONG lowestBottom;  // of every field, in the dialog's client coordinates
};

// The edit field or drop-down nearest the dialog's top left corner.
BOOL CALLBACK FindFirstField(HWND child, LPARAM arg) {
  auto* search = reinterpret_cast<FirstField*>(arg);
  wchar_t cls[32] = L"";
  GetClassNameW(child, cls, 32);
  if (wcscmp(cls, L"Edit") != 0 && wcscmp(cls, L"ComboBox") != 0) return TRUE;
  if (GetParent(child) != search->dialog) return TRUE;
  RECT r = RectOf(child);
  POINT p{r.left, r.top};
  ScreenToClient(search->dialog, &p);
  POINT low{r.left, r.bottom};
  ScreenToClient(search->dialog, &low);
  search->lowestBottom = std::max(search->lowestBottom, low.y);
  if (!search->found || p.y < search->topLeft.y || (p.y == search->topLeft.y && p.x < search->topLeft.x)) {
    search->topLeft = p;
    search->found = true;
  }
  return TRUE;
}

}  // namespace

TEST(Dpi, TheMainWindowScalesItsLayoutAt100And150And200Percent) {
  std::wstring shots = DistDir() + L"\\..\\screenshots";
  CreateDirectoryW(shots.c_str(), nullptr);
  shots += L"\\dpi";
  CreateDirectoryW(shots.c_str(), nullptr);
  for (const DWORD dpi : {96u, 144u, 192u}) {
    SCOPED_TRACE(dpi);
    SetLogPixels(dpi);
    Workspace ws;
    const tovrel::IniFile templates(u"" + [&] { const std::wstring p = ws.Path(L"tovrl_set_j.ini"); return std::u16string(p.begin(), p.end()); }(),
                                    tovrel::SystemAnsiCodePage());
    const int designWidth = static_cast<int>(templates.GetInt(u"listview_dt", u"1,0.w", 0));
    ASSERT_GT(designWidth, 0);

    const std::wstring exe = DistDir() + L"\\Tovrel.exe";
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, ws.Dir().c_str(),
                               &startup, &process));
    HWND main = WaitForWindowOfProcess(process.dwProcessId, L"TOVREL");
    ASSERT_NE(main, nullptr);
    SetWindowPos(main, nullptr, 0, 0, 1000, 700, SWP_NOZORDER);
    HWND list = GetDlgItem(main, 300);
    HWND toolbar = GetDlgItem(main, 329);
    HWND status = GetDlgItem(main, 1);
    WaitUntil([&] { return RectOf(list).bottom <= RectOf(status).top; }, 5000);
    // The template's widths are 96-dpi pixels.
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), MulDiv(designWidth, static_cast<int>(dpi), 96));
    // The list lies between the toolbar and the status bar, covering neither.
    EXPECT_GE(RectOf(list).top, RectOf(toolbar).bottom);
    EXPECT_LE(RectOf(list).bottom, RectOf(status).top);
    Capture(shots + L"\\main-" + std::to_wstring(dpi) + L".bmp");

    // The edit dialog lays its fields out from x 5, y 30 of the design.
    PostMessageW(main, WM_COMMAND, 37826, 0);  // the initial values
    OwnedDialog edit{main, nullptr};
    ASSERT_TRUE(WaitUntil([&] {
      EnumWindows(FindOwnedDialog, reinterpret_cast<LPARAM>(&edit));
      return edit.found != nullptr;
    }));
    FirstField first{edit.found, {}, false, 0};
    EnumChildWindows(edit.found, FindFirstField, reinterpret_cast<LPARAM>(&first));
    ASSERT_TRUE(first.found);
    EXPECT_EQ(first.topLeft.x, MulDiv(5, static_cast<int>(dpi), 96));
    EXPECT_EQ(first.topLeft.y, MulDiv(30, static_cast<int>(dpi), 96));
    // Below the fields only the row of buttons, with a gap above and below it.
    RECT client{};
    GetClientRect(edit.found, &client);
    EXPECT_LE(client.bottom - first.lowestBottom, MulDiv(56, static_cast<int>(dpi), 96));
    RECT ok = RectOf(GetDlgItem(edit.found, 1001));
    MapWindowPoints(nullptr, edit.found, reinterpret_cast<POINT*>(&ok), 2);
    EXPECT_GT(ok.top, first.lowestBottom);
    EXPECT_LE(ok.bottom, client.bottom);
    RedrawWindow(edit.found, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Capture(shots + L"\\edit-" + std::to_wstring(dpi) + L".bmp");
    PostMessageW(edit.found, WM_COMMAND, IDCANCEL, 0);
    WaitUntil([&] { return !IsWindow(edit.found); });

    PostMessageW(main, WM_COMMAND, 27, 0);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  SetLogPixels(96);
}
