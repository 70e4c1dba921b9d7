// Screen captures of every window of the program, in the four languages,
// for looking at: window_gallery OUTPUT_FOLDER writes LANG-WINDOW.bmp files
// (whole screen, 24 bits) and regions.txt, which names the part of each
// capture that shows the window of interest ("name left top right bottom").
// Each window's texts that do not fit their controls are printed as
// "CLIPPED" lines; window_gallery --fit only measures them, without captures
// (the text-fit test runs it so at each resolution).
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "app/app_context.h"
#include "app/info_windows.h"
#include "drawing_list/list_columns.h"
#include "win32/progress_window.h"
#include "win32/wait_window.h"
#include "win32/window_text.h"
#include "app_harness.h"
#include "dialog_ids.h"
#include "text_fit.h"

using namespace tovrel::test;

namespace {

constexpr int kAbout = 53;
constexpr int kVersion = 104;
constexpr int kLanguage = 55;
constexpr int kCheckBeforeRun = 37860;
constexpr int kSearchInList = 37857;
constexpr int kAddDwgFolder = 37827;
constexpr int kAddDwgFiles = 37844;
constexpr int kFileNameRules = 37848;
constexpr int kTemplateSelection = 37843;
constexpr int kEditOneRow = 37833;
constexpr int kEditOneColumn = 37834;
constexpr int kInitialValues = 37826;
constexpr int kEnvironment = 41;
constexpr int kFolderBrowser = 37842;
constexpr int kFirstToolbarButton = 330;
constexpr int kToolbarButtons = 17;

struct Language {
  const wchar_t* prefix;  // file name prefix
  const wchar_t* letter;  // catalog key suffix: j, e, k, c
};
const Language kLanguages[] = {{L"ja", L"j"}, {L"en", L"e"}, {L"ko", L"k"}, {L"zh", L"c"}};

std::wstring g_folder;
std::string g_regions;  // lines of regions.txt
int g_saved = 0;
// Measuring only (--fit): no captures, no menus or tooltips.
bool g_fitOnly = false;
int g_measured = 0;
int g_windowsMeasured = 0;

// Writes a line to stdout in UTF-8 (the C runtime's wide output knows only ASCII).
void Print(const std::wstring& line) {
  const std::wstring text = line + L"\n";
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
  fwrite(bytes.data(), 1, bytes.size(), stdout);
  fflush(stdout);
}

void Pump(int ms) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms);
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(10);
  } while (GetTickCount64() < end);
}

// The whole screen as a bottom-up 24-bit BMP file.
bool SaveScreen(const std::wstring& path) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (dib && bits) {
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY | CAPTUREBLT);
    GdiFlush();
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageSize;
    info.bmiHeader.biSizeImage = imageSize;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      ok = WriteFile(h, &file, sizeof file, &written, nullptr) &&
           WriteFile(h, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr) &&
           WriteFile(h, bits, imageSize, &written, nullptr);
      CloseHandle(h);
    }
    SelectObject(memory, old);
    DeleteObject(dib);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

RECT Union(std::initializer_list<HWND> windows) {
  RECT all{};
  for (HWND w : windows) {
    RECT r;
    if (w && GetWindowRect(w, &r)) UnionRect(&all, &all, &r);
  }
  return all;
}

// Lets everything paint, then saves the screen as PREFIX-NAME.bmp and notes
// the region that shows what the capture is for.
void Shot(const Language& language, const std::wstring& name, const RECT& region) {
  Pump(g_fitOnly ? 50 : 400);
  if (g_fitOnly) return;
  const std::wstring file = std::wstring(language.prefix) + L"-" + name;
  if (SaveScreen(g_folder + L"\\" + file + L".bmp")) {
    ++g_saved;
    char line[200];
    std::snprintf(line, sizeof line, "%ls %ld %ld %ld %ld\n", file.c_str(), region.left, region.top, region.right,
                  region.bottom);
    g_regions += line;
    Print(L"saved " + file);
  } else {
    Print(L"FAILED " + file);
  }
}

void Shot(const Language& language, const std::wstring& name, std::initializer_list<HWND> windows) {
  Shot(language, name, Union(windows));
}

// Prints every text of a window that does not fit its control, one line
// each: "CLIPPED LANG-WINDOW #ID needs N has M: TEXT".
void ReportFit(const Language& language, const wchar_t* name, HWND window) {
  int measured = 0;
  const std::vector<tovrel::gallery::Misfit> misfits = tovrel::gallery::MisfitsOf(window, measured);
  g_measured += measured;
  ++g_windowsMeasured;
  for (const tovrel::gallery::Misfit& m : misfits) {
    Print(L"CLIPPED " + std::wstring(language.prefix) + L"-" + name + L" #" + std::to_wstring(m.controlId) +
          (m.tall ? L" needs height " : L" needs ") + std::to_wstring(m.needs) + L" has " + std::to_wstring(m.has) +
          L": " + m.text);
  }
}

void Skip(const Language& language, const std::wstring& name, const std::wstring& why) {
  Print(L"skipped " + std::wstring(language.prefix) + L"-" + name + L": " + why);
}

// A visible top-level window of this process with this class.
HWND FindVisible(const wchar_t* className) {
  struct Args {
    const wchar_t* cls;
    HWND found;
  } args{className, nullptr};
  EnumWindows(
      [](HWND w, LPARAM p) -> BOOL {
        auto* a = reinterpret_cast<Args*>(p);
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        wchar_t cls[64] = L"";
        GetClassNameW(w, cls, 64);
        if (pid == GetCurrentProcessId() && IsWindowVisible(w) && _wcsicmp(cls, a->cls) == 0) {
          a->found = w;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&args));
  return args.found;
}

void Key(WORD key) {
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = key;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
}

// Moves the cursor as a mouse does; injected moves are sometimes dropped
// under Wine, so the cursor is also put there directly.
void MoveMouse(int x, int y) {
  SetCursorPos(x, y);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof(INPUT));
}

void CloseMenus(HWND main) {
  for (int i = 0; i < 10 && FindVisible(L"#32768"); ++i) {
    Key(VK_ESCAPE);
    Pump(100);
  }
  if (FindVisible(L"#32768")) PostMessageW(main, WM_CANCELMODE, 0, 0);
  WaitUntil([] { return FindVisible(L"#32768") == nullptr; }, 2000);
}

// Every popup of the menu bar, dropped one after the other.
void MenuShots(const Language& language, const RunningApp& app) {
  SetForegroundWindow(app.Main());
  Pump(200);
  // Alt+F as the keyboard gives it: the first popup drops down.
  PostMessageW(app.Main(), WM_SYSCOMMAND, SC_KEYMENU, L'f');
  const int popups = GetMenuItemCount(GetMenu(app.Main()));
  for (int i = 0; i < popups; ++i) {
    if (i > 0) Key(VK_RIGHT);
    const bool dropped = GetSubMenu(GetMenu(app.Main()), i) != nullptr;
    if (!dropped) continue;  // a plain item at the end of the bar
    HWND popup = nullptr;
    WaitUntil([&] { return (popup = FindVisible(L"#32768")) != nullptr; }, 3000);
    if (!popup) {
      Skip(language, L"menu-" + std::to_wstring(i + 1), L"the popup did not drop down");
      break;
    }
    Pump(300);
    popup = FindVisible(L"#32768");
    // The menu bar and the popup under it.
    RECT region = Union({popup, app.Main()});
    RECT below{};
    GetWindowRect(popup, &below);
    region.bottom = below.bottom;
    Shot(language, L"menu-" + std::to_wstring(i + 1), region);
  }
  CloseMenus(app.Main());
  app.Settle();
}

std::wstring TooltipText(HWND main, int id) {
  NMTTDISPINFOW info{};
  info.hdr.idFrom = static_cast<UINT_PTR>(id);
  info.hdr.code = TTN_GETDISPINFOW;
  SendMessageW(main, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&info));
  return info.lpszText ? info.lpszText : L"";
}

// Shows the tooltip of a toolbar button below it without the mouse: the
// tool is switched to tracking for the moment. Its text still comes from the
// program (TTN_GETDISPINFOW).
HWND TrackTooltip(HWND toolbar, int commandId, int x, int y, TTTOOLINFOW& tool) {
  HWND tips = reinterpret_cast<HWND>(SendMessageW(toolbar, TB_GETTOOLTIPS, 0, 0));
  if (!tips) return nullptr;
  tool = TTTOOLINFOW{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = toolbar;
  tool.uId = static_cast<UINT_PTR>(commandId);
  // The text is reported only into a buffer of the caller's (a text callback
  // comes back as LPSTR_TEXTCALLBACKW).
  static wchar_t text[1024];
  tool.lpszText = text;
  if (!SendMessageW(tips, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool))) return nullptr;
  TTTOOLINFOW tracked = tool;
  tracked.uFlags |= TTF_TRACK | TTF_ABSOLUTE;
  SendMessageW(tips, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tracked));
  SendMessageW(tips, TTM_TRACKPOSITION, 0, MAKELPARAM(x, y));
  SendMessageW(tips, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tracked));
  return tips;
}

void UntrackTooltip(HWND tips, TTTOOLINFOW& tool) {
  SendMessageW(tips, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tips, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool));
}

// The tooltip of a toolbar button, shown by resting the mouse on it. Wine
// does not always move the pointer of the X display when asked (it wants a
// pointer grab first, which can fail); then the tooltip is shown by
// tracking where hovering would put it.
void TooltipShot(const Language& language, const RunningApp& app, int index, const std::wstring& name) {
  HWND toolbar = app.Child(329);
  RECT r{};
  SendMessageW(toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
  MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&r), 2);
  const int x = (r.left + r.right) / 2;
  const int y = (r.top + r.bottom) / 2;
  const int awayX = GetSystemMetrics(SM_CXSCREEN) - 2;
  const int awayY = GetSystemMetrics(SM_CYSCREEN) - 2;
  HWND tip = nullptr;
  for (int attempt = 0; attempt < 2 && !tip; ++attempt) {
    SetForegroundWindow(app.Main());
    MoveMouse(awayX, awayY);
    Pump(300);
    for (int step = 4; step >= 0; --step) {
      MoveMouse(x - step, y - step);
      Pump(40);
    }
    WaitUntil([&] { return (tip = FindVisible(TOOLTIPS_CLASSW)) != nullptr; }, 2500);
  }
  if (tip) {
    Shot(language, name, {tip, toolbar});
  } else {
    TTTOOLINFOW tool{};
    // Where a hovering cursor's tooltip stands: below the cursor's picture.
    HWND tips = TrackTooltip(toolbar, kFirstToolbarButton + index, x, y + GetSystemMetrics(SM_CYCURSOR) / 2 + 4, tool);
    if (tips && WaitUntil([&] { return IsWindowVisible(tips) != FALSE; }, 2000)) {
      Print(L"(" + std::wstring(language.prefix) + L"-" + name + L": hovering showed nothing; shown by tracking)");
      Shot(language, name, {tips, toolbar});
    } else {
      Skip(language, name, L"no tooltip appeared");
    }
    if (tips) UntrackTooltip(tips, tool);
  }
  MoveMouse(awayX, awayY);
  WaitUntil([] { return FindVisible(TOOLTIPS_CLASSW) == nullptr; }, 2000);
}

void CloseAndWait(HWND dialog, int button) {
  if (!dialog) return;
  if (button) {
    PressButton(dialog, button);
  } else {
    PostMessageW(dialog, WM_CLOSE, 0, 0);
  }
  WaitUntil([&] { return !IsWindow(dialog); });
}

// A dialog that a command opens, whatever its caption; the command is given
// up when no dialog comes (a feature not built yet).
void CommandWindowShot(const Language& language, const RunningApp& app, int command, const wchar_t* name,
                       int closeButton) {
  app.PostCommand(command);
  HWND dialog = nullptr;
  WaitUntil([&] { return (dialog = FindVisible(L"#32770")) != nullptr; }, 5000);
  if (!dialog) {
    Skip(language, name, L"no window opened");
    app.Settle();
    return;
  }
  Pump(800);  // the shell's dialogs fill their lists after they show
  Shot(language, name, {dialog});
  ReportFit(language, name, dialog);
  CloseAndWait(dialog, closeButton);
  if (IsWindow(dialog)) CloseAndWait(dialog, 0);
  app.Settle();
}

// The template selection, and the template editor with a column read into its fields.
void TemplateShots(const Language& language, const RunningApp& app) {
  const std::wstring l = language.letter;
  app.PostCommand(kTemplateSelection);
  HWND selection = WaitForDialog(CatalogText(L"dialog", L"No.26:dialog-" + l));
  if (!selection) {
    Skip(language, L"template-selection", L"did not open");
    return;
  }
  Shot(language, L"template-selection", {selection});
  ReportFit(language, L"template-selection", selection);
  PressButton(selection, IDB_TEMPLATE_DETAILS);
  HWND editor = WaitForDialog(CatalogText(L"dialog", L"No.58:dialog-" + l));
  if (editor) {
    HWND list = GetDlgItem(editor, IDL_TEMPLATE_COLUMNS);
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, 5, reinterpret_cast<LPARAM>(&item));
    PressButton(editor, IDB_COLUMN_READ);
    Shot(language, L"template-editor", {editor});
    ReportFit(language, L"template-editor", editor);
    CloseAndWait(editor, 0);
  } else {
    Skip(language, L"template-editor", L"did not open");
  }
  WaitUntil([&] { return IsWindowEnabled(selection) != FALSE; });
  CloseAndWait(selection, 0);
  app.Settle();
}

// The dialog a command opens; message boxes on the way (the printers are
// read first) are answered.
HWND DialogAfterMessages(int timeoutMs) {
  HWND dialog = nullptr;
  WaitUntil(
      [&] {
        dialog = FindVisible(L"#32770");
        if (dialog && GetDlgItem(dialog, 0xFFFF)) {  // a message box
          PressButton(dialog, IDOK);
          WaitUntil([&] { return !IsWindow(dialog); }, 2000);
          dialog = nullptr;
        }
        return dialog != nullptr;
      },
      timeoutMs);
  return dialog;
}

void ListNotify(const RunningApp& app, UINT code, int column) {
  NMITEMACTIVATE click{};
  click.hdr.hwndFrom = app.Child(300);
  click.hdr.idFrom = 300;
  click.hdr.code = code;
  click.iItem = -1;
  click.iSubItem = column;
  SendMessageW(app.Main(), WM_NOTIFY, 300, reinterpret_cast<LPARAM>(&click));
}

// A row of the active template's initial values, selected.
void AddSelectedRow(HWND list) {
  const tovrel::ScriptTemplate& active = tovrel::App().ActiveTemplate();
  const std::vector<int> slots = tovrel::DisplayedSlots(active);
  const wchar_t* const fixed[] = {L"A-101 plan.dwg", L"C:\\drawings\\site", L"2026/03/07 09:05"};
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  for (std::size_t j = 0; j < slots.size(); ++j) {
    const std::u16string& initial = active.columns[static_cast<std::size_t>(slots[j])].initialValue;
    std::wstring text = j < 3 ? fixed[j] : std::wstring(initial.begin(), initial.end());
    item.iSubItem = static_cast<int>(j);
    item.pszText = text.data();
    SendMessageW(list, j == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
  }
  item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
}

// The edit dialog in its three uses, and both in-place editors.
void EditShots(const Language& language, const RunningApp& app) {
  HWND list = app.Child(300);
  AddSelectedRow(list);
  const std::pair<int, const wchar_t*> modes[] = {
      {kEditOneRow, L"edit-one-line"}, {kEditOneColumn, L"edit-one-column"}, {kInitialValues, L"edit-initial-values"}};
  for (const auto& [command, name] : modes) {
    app.PostCommand(command);
    HWND dialog = DialogAfterMessages(8000);
    if (!dialog) {
      Skip(language, name, L"did not open");
      continue;
    }
    Shot(language, name, {dialog});
    ReportFit(language, name, dialog);
    CloseAndWait(dialog, 1002);
    app.Settle();
  }
  // The cells of the in-place editors: "Sheet No." (a field) and a column of choices.
  ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListNotify(app, NM_RCLICK, 3);
  if (HWND field = app.Child(951)) {
    Shot(language, L"cell-field", {app.Main()});
    SendMessageW(app.Main(), WM_COMMAND, MAKEWPARAM(951, EN_KILLFOCUS), reinterpret_cast<LPARAM>(field));
  } else {
    Skip(language, L"cell-field", L"did not open");
  }
  const tovrel::ScriptTemplate& active = tovrel::App().ActiveTemplate();
  const std::vector<int> slots = tovrel::DisplayedSlots(active);
  int choicesColumn = -1;
  for (std::size_t j = 0; j < slots.size() && choicesColumn < 0; ++j) {
    if (active.columns[static_cast<std::size_t>(slots[j])].editMode == 2) choicesColumn = static_cast<int>(j);
  }
  // The list scrolls the column into view first; the editor follows the cell.
  RECT cell{};
  ListView_GetSubItemRect(list, 0, choicesColumn, LVIR_BOUNDS, &cell);
  if (cell.left > 300) ListView_Scroll(list, cell.left - 300, 0);
  ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListNotify(app, NM_RCLICK, choicesColumn);
  if (HWND combo = app.Child(952)) {
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    COMBOBOXINFO box{};
    box.cbSize = sizeof box;
    GetComboBoxInfo(combo, &box);
    Shot(language, L"cell-dropdown", {app.Main(), box.hwndList});
    ListNotify(app, NM_CLICK, 0);  // a click in the list closes it
  } else {
    Skip(language, L"cell-dropdown", L"did not open");
  }
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  app.Settle();
}

void Gallery(const Language& language, int index) {
  Workspace ws;
  // Some file-name rules, so that the rules dialog shows filled fields.
  ws.WriteUtf16(L"Tovrel.ini", L"[setting]\r\nmoji_type=" + std::to_wstring(index) +
                                   L"\r\nfile_set.ps=1\r\nfile_set.fp_ps[0].search=_A1\r\n"
                                   L"file_set.fp_ps[0].printer=DWG To PDF.pc3\r\nfile_set.fp_ps[0].paper=ISO A1\r\n"
                                   L"file_set.ds=1\r\nfile_set.search_d1=_V\r\nfile_set.search_d2=_H\r\n"
                                   L"file_set.ss=1\r\nfile_set.search_s1=(LIM)\r\nfile_set.search_s2=(EXT)\r\n"
                                   L"file_set.search_s3=(DSP)\r\n");
  RunningApp app(ws);
  app.Settle();
  HWND main = app.Main();
  SetForegroundWindow(main);
  Shot(language, L"main", {main});
  ReportFit(language, L"main", main);

  // The first button and the one with the longest text.
  int longest = 0;
  for (int i = 1; i < kToolbarButtons; ++i) {
    if (TooltipText(main, kFirstToolbarButton + i).size() > TooltipText(main, kFirstToolbarButton + longest).size()) {
      longest = i;
    }
  }
  if (!g_fitOnly) {
    TooltipShot(language, app, 0, L"tooltip-1");
    TooltipShot(language, app, longest, L"tooltip-" + std::to_wstring(longest + 1));
    MenuShots(language, app);
  }

  const std::wstring l = language.letter;
  app.PostCommand(kAbout);
  HWND about = WaitForDialog(CatalogText(L"dialog", L"No.11:dialog-" + l));
  if (about) {
    Shot(language, L"about", {about});
    ReportFit(language, L"about", about);
    CloseAndWait(about, IDB_DIALOG_OK);
  } else {
    Skip(language, L"about", L"did not open");
  }

  app.PostCommand(kVersion);
  HWND version = WaitForDialog(CatalogText(L"dialog", L"No.10:dialog-" + l));
  if (version) {
    Shot(language, L"version", {version});
    ReportFit(language, L"version", version);
    CloseAndWait(version, IDOK);
  } else {
    Skip(language, L"version", L"did not open");
  }

  app.PostCommand(kLanguage);
  HWND dialog = WaitForDialog(L"setup of language");
  if (dialog) {
    Shot(language, L"language", {dialog});
    ReportFit(language, L"language", dialog);
    HWND combo = GetDlgItem(dialog, IDC_LANGUAGE);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    COMBOBOXINFO box{};
    box.cbSize = sizeof box;
    GetComboBoxInfo(combo, &box);
    Shot(language, L"language-combo", {dialog, box.hwndList});
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    CloseAndWait(dialog, 0);  // the close box keeps the language
    app.Settle();
  } else {
    Skip(language, L"language", L"did not open");
  }

  // Message 16: the language cannot change while the list has rows.
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  wchar_t text[] = L"a.dwg";
  item.pszText = text;
  SendMessageW(app.Child(300), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  app.PostCommand(kLanguage);
  HWND box = WaitForDialog(CatalogText(L"meg", L"No.16:meg-" + l + L"b"));
  if (box) {
    Shot(language, L"message", {box});
    ReportFit(language, L"message", box);
    CloseAndWait(box, IDOK);
  } else {
    Skip(language, L"message", L"did not open");
  }
  // The check before a run, on that row: no such drawing, no layout.
  app.PostCommand(kCheckBeforeRun);
  HWND check = WaitForDialog(CatalogText(L"dialog", L"No.89:dialog-" + l));
  if (check) {
    Shot(language, L"preflight", {check});
    ReportFit(language, L"preflight", check);
    CloseAndWait(check, IDCANCEL);
  } else {
    Skip(language, L"preflight", L"did not open");
  }
  // The usage of the command line, shown by a second start with /?.
  const Program usage(ws.Dir(), L"/?");
  HWND usageBox = usage.WaitForDialog(CatalogText(L"meg", L"No.90:meg-" + l + L"b"));
  if (usageBox) {
    Shot(language, L"usage", {usageBox});
    CloseAndWait(usageBox, IDOK);
    usage.WaitForExit();
  } else {
    Skip(language, L"usage", L"did not open");
  }
  SendMessageW(app.Child(300), LVM_DELETEALLITEMS, 0, 0);
  app.Settle();

  EditShots(language, app);
  CommandWindowShot(language, app, kSearchInList, L"search", 0);
  CommandWindowShot(language, app, kAddDwgFolder, L"folder-dialog", IDCANCEL);
  CommandWindowShot(language, app, kAddDwgFiles, L"open-dialog", IDCANCEL);
  CommandWindowShot(language, app, kFileNameRules, L"file-name-rules", IDB_DIALOG_OK);
  CommandWindowShot(language, app, 37831, L"printers", 0);
  TemplateShots(language, app);
  CommandWindowShot(language, app, kEnvironment, L"environment", IDB_ENV_CANCEL);
  CommandWindowShot(language, app, kFolderBrowser, L"folder-browser", 0);

  // The wait windows stand only for a moment; here they are opened directly.
  const std::pair<int, const wchar_t*> waits[] = {
      {IDD_STARTUP_WAIT, L"wait-startup"}, {IDD_SHUTDOWN_WAIT, L"wait-shutdown"}, {IDD_DRIVE_SEARCH_WAIT, L"wait-search"}};
  for (const auto& [id, name] : waits) {
    HWND wait = tovrel::OpenWaitWindow(main, id);
    if (wait) {
      Shot(language, name, {wait});
      ReportFit(language, name, wait);
      tovrel::CloseWaitWindow(wait);
      Pump(100);
    } else {
      Skip(language, name, L"could not be created");
    }
  }
  // The progress window of a per-drawing run, with the lines a run shows.
  {
    tovrel::ProgressWindow progress(main, tovrel::ProgressWindow::Stops::AfterThisAndNow);
    std::u16string row = tovrel::U(tovrel::LookUpText(tovrel::TextTable::Code, 97));
    row.replace(row.find(u"%1"), 2, u"12");
    row.replace(row.find(u"%2"), 2, u"400");
    std::u16string times = tovrel::U(tovrel::LookUpText(tovrel::TextTable::Code, 98));
    times.replace(times.find(u"%1"), 2, u"14:05");
    times.replace(times.find(u"%2"), 2, u"7:48:20");
    progress.SetLines(tovrel::U(tovrel::LookUpText(tovrel::TextTable::Dialog, 98)), row,
                      u"C:\\Projects\\2026\\Site B\\Drawings\\A-112_A1_L(LIM).dwg", times);
    Pump(200);
    Shot(language, L"progress", {progress.Handle()});
    ReportFit(language, L"progress", progress.Handle());
  }
  // The progress window of the parallel lane: the split, the drawings
  // done, each worker's drawing.
  {
    tovrel::ProgressWindow lane(main, tovrel::ProgressWindow::Stops::AfterThisAndNow);
    std::u16string split = tovrel::U(tovrel::LookUpText(tovrel::TextTable::Code, 93));
    for (const char16_t* value : {u"96", u"2", u"4"}) split.replace(split.find(u'%'), 2, value);
    std::u16string done = tovrel::U(tovrel::LookUpText(tovrel::TextTable::Code, 80));
    done.replace(done.find(u"%1"), 2, u"37");
    done.replace(done.find(u"%2"), 2, u"100");
    std::u16string times = tovrel::U(tovrel::LookUpText(tovrel::TextTable::Code, 98));
    times.replace(times.find(u"%1"), 2, u"3:05");
    times.replace(times.find(u"%2"), 2, u"5:15");
    lane.SetLines(split, done, u"A-137_A1_L(LIM).dwg  |  A-138_A1_L(LIM).dwg", times);
    Pump(200);
    Shot(language, L"progress-parallel", {lane.Handle()});
    ReportFit(language, L"progress-parallel", lane.Handle());
  }
  // The progress window of a search of the drives, with its Stop.
  {
    tovrel::ProgressWindow search(main, tovrel::ProgressWindow::Stops::NowOnly);
    search.SetCaption(tovrel::U(tovrel::LookUpText(tovrel::TextTable::Dialog, 31)));
    search.SetLines(tovrel::U(tovrel::LookUpText(tovrel::TextTable::Code, 99)),
                    u"aclt.exe, acad.exe, accoreconsole.exe, atcprint.scr, endfile.dwg", u"", u"");
    Pump(200);
    Shot(language, L"progress-search", {search.Handle()});
    ReportFit(language, L"progress-search", search.Handle());
  }
  app.Exit();
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 2) {
    Print(L"usage: window_gallery OUTPUT_FOLDER | --fit");
    return 2;
  }
  g_folder = argv[1];
  g_fitOnly = g_folder == L"--fit";
  LocalFree(argv);
  if (g_fitOnly) {
    // The first line: the resolution this run lays its windows out for.
    HDC screen = GetDC(nullptr);
    Print(L"dpi " + std::to_wstring(GetDeviceCaps(screen, LOGPIXELSY)));
    ReleaseDC(nullptr, screen);
    for (int i = 0; i < 4; ++i) Gallery(kLanguages[i], i);
    Print(L"measured " + std::to_wstring(g_measured) + L" texts in " + std::to_wstring(g_windowsMeasured) +
          L" windows");
    return 0;
  }
  CreateDirectoryW(g_folder.c_str(), nullptr);
  for (int i = 0; i < 4; ++i) Gallery(kLanguages[i], i);
  HANDLE h = CreateFileW((g_folder + L"\\regions.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(h, g_regions.data(), static_cast<DWORD>(g_regions.size()), &written, nullptr);
    CloseHandle(h);
  }
  Print(std::to_wstring(g_saved) + L" captures");
  return g_saved > 0 ? 0 : 1;
}
