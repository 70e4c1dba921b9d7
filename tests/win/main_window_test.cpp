// The main window on the real controls: what a user sees at start, the
// menus of the four languages, the toolbar and its tooltips, the status bar,
// the language change, the informative windows and the settings at exit.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "app_harness.h"
#include "storage/ansi_code_page_win32.h"
#include "storage/ini_file.h"

using namespace tovrel::test;

namespace {

std::wstring MenuText(HMENU menu, UINT position) {
  wchar_t text[128] = L"";
  GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
  return text;
}

std::wstring StatusText(HWND status, int part) {
  wchar_t text[300] = L"";
  SendMessageW(status, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text));
  return text;
}

std::wstring Tooltip(HWND main, int id) {
  NMTTDISPINFOW info{};
  info.hdr.hwndFrom = nullptr;
  info.hdr.idFrom = static_cast<UINT_PTR>(id);
  info.hdr.code = TTN_GETDISPINFOW;
  SendMessageW(main, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&info));
  return info.lpszText ? info.lpszText : L"";
}

tovrel::IniFile ReadIni(const std::wstring& path) {
  return tovrel::IniFile(std::u16string(path.begin(), path.end()), tovrel::SystemAnsiCodePage());
}

std::wstring Setting(const Workspace& ws, const char16_t* key) {
  const std::u16string value = ReadIni(ws.Path(L"Tovrel.ini")).GetString(u"setting", key, u"<missing>", 300);
  return std::wstring(value.begin(), value.end());
}

const wchar_t* const kFirstPopup[] = {L"ファイル選択(&F)", L"File Select(&F)"};

}  // namespace

TEST(MainWindow, FirstStartShowsJapaneseWindowAndWritesDefaultSettingsAtExit) {
  Workspace ws;
  RunningApp app(ws);
  ASSERT_NE(app.Main(), nullptr);
  wchar_t cls[32] = L"";
  GetClassNameW(app.Main(), cls, 32);
  EXPECT_STREQ(cls, L"TOVREL");
  EXPECT_EQ(TextOf(app.Main()), L"Tovrel_64 2.02");

  HMENU menu = GetMenu(app.Main());
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(GetMenuItemCount(menu), 8);
  EXPECT_EQ(MenuText(menu, 0), kFirstPopup[0]);
  EXPECT_EQ(MenuText(menu, 7), L"終了(&X)");

  HWND toolbar = app.Child(329);
  ASSERT_NE(toolbar, nullptr);
  ASSERT_EQ(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0), 18);
  for (int i = 0; i < 18; ++i) {
    TBBUTTON button{};
    SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
    // The parallel lane's button (347) stands beside the run's (336).
    const int id = i < 7 ? 330 + i : i == 7 ? 347 : 329 + i;
    EXPECT_EQ(button.idCommand, id);
    EXPECT_TRUE(SendMessageW(toolbar, TB_ISBUTTONENABLED, id, 0));
  }
  EXPECT_EQ(Tooltip(app.Main(), 347), CatalogText(L"code", L"No.92:code-j"));
  // Tooltips speak the current language: code texts 10 to 26.
  EXPECT_EQ(Tooltip(app.Main(), 330), CatalogText(L"code", L"No.10:code-j"));
  EXPECT_EQ(Tooltip(app.Main(), 346), CatalogText(L"code", L"No.26:code-j"));
  EXPECT_FALSE(Tooltip(app.Main(), 346).empty());

  HWND status = app.Child(1);
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(SendMessageW(status, SB_GETPARTS, 0, 0), 4);
  InvalidateRect(app.Main(), nullptr, FALSE);
  UpdateWindow(app.Main());
  EXPECT_EQ(StatusText(status, 0), L"c:\\");
  EXPECT_EQ(StatusText(status, 2), L"\"Velmora\"");

  HWND list = app.Child(300);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);

  app.Exit();
  const tovrel::IniFile settings = ReadIni(ws.Path(L"Tovrel.ini"));
  EXPECT_EQ(Setting(ws, u"file_folder"), L"c:\\");
  EXPECT_EQ(Setting(ws, u"autocad_file"), L"c:\\Program Files\\ACAD LT 2000\\aclt.exe");
  EXPECT_EQ(Setting(ws, u"temp_file"), ws.Dir() + L"\\atcprint.scr");
  EXPECT_EQ(Setting(ws, u"end_file_dwg"), ws.Dir() + L"\\endfile.dwg");
  EXPECT_EQ(Setting(ws, u"autocad_type"), L"1");
  EXPECT_EQ(Setting(ws, u"moji_type"), L"0");
  EXPECT_EQ(Setting(ws, u"prohibition_print15"), L"");
  EXPECT_EQ(Setting(ws, u"prohibition_plmode"), L"0");
}

TEST(MainWindow, EachLanguageGetsItsMenuAndTooltips) {
  const wchar_t* const codeKeys[] = {L"No.16:code-j", L"No.16:code-e", L"No.16:code-k", L"No.16:code-c"};
  std::wstring firstPopups[4];
  for (int language = 0; language < 4; ++language) {
    Workspace ws;
    ws.WriteUtf16(L"Tovrel.ini", L"[setting]\r\nmoji_type=" + std::to_wstring(language) + L"\r\n");
    RunningApp app(ws);
    HMENU menu = GetMenu(app.Main());
    ASSERT_NE(menu, nullptr);
    // Same layout in every language: 8 top-level items, the same ids.
    EXPECT_EQ(GetMenuItemCount(menu), 8);
    EXPECT_EQ(GetMenuItemID(GetSubMenu(menu, 0), 0), 37844u);
    EXPECT_EQ(GetMenuItemID(GetSubMenu(menu, 6), 3), 104u);
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(menu, 5)), 11);
    firstPopups[language] = MenuText(menu, 0);
    EXPECT_EQ(Tooltip(app.Main(), 336), CatalogText(L"code", codeKeys[language]));
    app.Exit();
  }
  EXPECT_EQ(firstPopups[0], kFirstPopup[0]);
  EXPECT_EQ(firstPopups[1], kFirstPopup[1]);
  for (int a = 0; a < 4; ++a) {
    for (int b = a + 1; b < 4; ++b) EXPECT_NE(firstPopups[a], firstPopups[b]);
  }
}

TEST(MainWindow, LanguageDialogOffersEachLanguageInItsOwnScriptAndCannotBeTypedInto) {
  Workspace ws;
  ws.WriteUtf16(L"Tovrel.ini", L"[setting]\r\nmoji_type=2\r\n");
  RunningApp app(ws);
  const std::wstring korean = MenuText(GetMenu(app.Main()), 0);

  // Opens the dialog, picks entry `index` (or closes the dialog when -1) and
  // returns the first popup of the menu afterwards.
  auto choose = [&](int index) {
    app.PostCommand(55);
    HWND dialog = WaitForDialog(L"setup of language");
    EXPECT_NE(dialog, nullptr);
    if (!dialog) return std::wstring();
    HWND combo = GetDlgItem(dialog, 1401);
    EXPECT_EQ(GetWindowLongW(combo, GWL_STYLE) & 3, CBS_DROPDOWNLIST);  // nothing can be typed
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 2);  // the current language is chosen
    const wchar_t* const names[] = {L"日本語", L"English", L"한국어", L"中文"};
    for (int i = 0; i < 4; ++i) {
      wchar_t text[32] = L"";
      SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
      EXPECT_STREQ(text, names[i]);
    }
    if (index >= 0) {
      SendMessageW(combo, CB_SETCURSEL, index, 0);
      PressButton(dialog, 1001);
    } else {
      PostMessageW(dialog, WM_CLOSE, 0, 0);
    }
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    // The menu is replaced once the templates of the language are read.
    app.Settle();
    const std::wstring first = MenuText(GetMenu(app.Main()), 0);
    if (index >= 0 && index != 2) {  // back to Korean for the next round
      app.PostCommand(55);
      HWND again = WaitForDialog(L"setup of language");
      SendDlgItemMessageW(again, 1401, CB_SETCURSEL, 2, 0);
      PressButton(again, 1001);
      EXPECT_TRUE(WaitUntil([&] { return !IsWindow(again); }));
      app.Settle();
    }
    return first;
  };

  EXPECT_EQ(choose(1), kFirstPopup[1]);
  EXPECT_EQ(choose(0), kFirstPopup[0]);
  EXPECT_EQ(choose(2), korean);
  EXPECT_EQ(choose(-1), korean);  // the close box keeps the language
  app.Exit();
  EXPECT_EQ(Setting(ws, u"moji_type"), L"2");
}

TEST(MainWindow, LanguageChangeIsRefusedWhileTheListHasRows) {
  Workspace ws;
  RunningApp app(ws);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  wchar_t text[] = L"a.dwg";
  item.pszText = text;
  SendMessageW(app.Child(300), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  app.PostCommand(55);
  HWND box = WaitForDialog(CatalogText(L"meg", L"No.16:meg-jb"));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), CatalogText(L"meg", L"No.16:meg-ja"));
  PressButton(box, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  EXPECT_EQ(CountTopLevelWindows(L"setup of language"), 0);
  SendMessageW(app.Child(300), LVM_DELETEALLITEMS, 0, 0);
  app.Exit();
}

TEST(MainWindow, AboutOpensAnewEachTimeAndVersionAnswersItsAccelerators) {
  Workspace ws;
  ws.WriteUtf16(L"Tovrel.ini", L"[setting]\r\nmoji_type=1\r\n");
  RunningApp app(ws);
  const std::wstring aboutCaption = CatalogText(L"dialog", L"No.11:dialog-e");
  app.PostCommand(53);
  HWND first = WaitForDialog(aboutCaption);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(ItemText(first, 1511), CatalogText(L"dialog", L"No.12:dialog-e"));
  EXPECT_EQ(ItemText(first, 1001), CatalogText(L"dialog", L"No.3:dialog-e"));
  app.PostCommand(53);
  ASSERT_TRUE(WaitUntil([&] { return CountTopLevelWindows(aboutCaption) == 2; }));
  PressButton(first, 1001);
  ASSERT_TRUE(WaitUntil([&] { return CountTopLevelWindows(aboutCaption) == 1; }));
  HWND second = WaitForDialog(aboutCaption);
  PostMessageW(second, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return CountTopLevelWindows(aboutCaption) == 0; }));

  const std::wstring versionCaption = CatalogText(L"dialog", L"No.10:dialog-e");
  // A click on the list gives it the focus; the accelerators still work.
  HWND list = app.Child(300);
  PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 40));
  PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(20, 40));
  app.Settle();
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(app.Main(), nullptr), &gui));
  ASSERT_EQ(gui.hwndFocus, list);
  for (bool question : {true, false}) {
    // Alt+? (Alt+Shift+/ on the keyboard) and Alt+/.
    if (question) {
      PressKeys(app.Main(), {VK_MENU, VK_SHIFT, VK_OEM_2});
    } else {
      PressKeys(app.Main(), {VK_MENU, VK_OEM_2});
    }
    HWND version = WaitForDialog(versionCaption);
    ASSERT_NE(version, nullptr) << (question ? "Alt+?" : "Alt+/");
    PressButton(version, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(version); }));
  }
  app.Exit();
}

TEST(MainWindow, ASettingsFileThatCannotBeWrittenIsReportedAtExit) {
  Workspace ws;
  ws.WriteUtf16(L"Tovrel.ini", L"[setting]\r\nmoji_type=1\r\nfile_folder=d:\\kept\r\n");
  RunningApp app(ws);
  // Every temporary name the new file could take is occupied by a folder.
  for (int i = 0; i < 10; ++i) {
    CreateDirectoryW(ws.Path(L"Tovrel.ini.tmp" + std::to_wstring(i) + L"~").c_str(), nullptr);
  }
  // A change that has to be written.
  app.PostCommand(55);
  HWND dialog = WaitForDialog(L"setup of language");
  ASSERT_NE(dialog, nullptr);
  SendDlgItemMessageW(dialog, 1401, CB_SETCURSEL, 3, 0);
  PressButton(dialog, 1001);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  app.RequestExit();
  HWND box = WaitForDialog(CatalogText(L"meg", L"No.50:meg-cb"));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box).rfind(CatalogText(L"meg", L"No.50:meg-ca"), 0), 0u);
  PressButton(box, IDOK);
  app.Join();
  // The old file is whole.
  EXPECT_EQ(Setting(ws, u"moji_type"), L"1");
  EXPECT_EQ(Setting(ws, u"file_folder"), L"d:\\kept");
}

TEST(MainWindow, AMissingCatalogIsSaidOnceAndWindowsKeepTheirBuiltInTexts) {
  Workspace ws;
  DeleteFileW(ws.Path(L"Tovrel_wchar.ini").c_str());
  RunningApp app(ws);
  HWND box = WaitForDialog(L"Tovrel");
  ASSERT_NE(box, nullptr);
  const std::wstring said = MessageBoxText(box);
  EXPECT_NE(said.find(L"text catalog"), std::wstring::npos);
  EXPECT_NE(said.find(L"テキストカタログ"), std::wstring::npos);
  EXPECT_NE(said.find(ws.Path(L"Tovrel_wchar.ini")), std::wstring::npos);  // where it was looked for
  PressButton(box, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  app.Settle();
  EXPECT_EQ(CountTopLevelWindows(L"Tovrel"), 0);  // once only

  // The About window keeps its resource caption and lines instead of going blank.
  app.PostCommand(53);
  HWND about = WaitForDialog(L"このソフトについて");
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(ItemText(about, 1511), L"AutoCAD 連続印刷ソフト");
  PostMessageW(about, WM_CLOSE, 0, 0);
  app.Exit();
}

TEST(MainWindow, DialogsOpenCentredOnTheMainWindow) {
  Workspace ws;
  RunningApp app(ws);
  SetWindowPos(app.Main(), nullptr, 200, 150, 900, 600, SWP_NOZORDER);
  app.Settle();
  RECT main{};
  GetWindowRect(app.Main(), &main);
  app.PostCommand(55);
  HWND dialog = WaitForDialog(L"setup of language");
  ASSERT_NE(dialog, nullptr);
  RECT own{};
  GetWindowRect(dialog, &own);
  EXPECT_NEAR((own.left + own.right) / 2, (main.left + main.right) / 2, 2);
  EXPECT_NEAR((own.top + own.bottom) / 2, (main.top + main.bottom) / 2, 2);
  PostMessageW(dialog, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  app.Exit();
}

TEST(MainWindow, AScriptLineTooLongNamesItsRowAndDrawing) {
  Workspace ws;
  const std::wstring folder = L"C:\\" + std::wstring(255, L'f');  // cells hold 259 characters
  const std::wstring name = std::wstring(250, L'n') + L".dwg";
  ws.WriteUtf16(L"listview.ini", L"[listliew]\r\nmax_cont=2\r\n0,0=short.dwg\r\n0,1=C:\\d\r\n1,0=" + name +
                                     L"\r\n1,1=" + folder + L"\r\n");
  RunningApp app(ws);
  app.PostCommand(37832);  // All start
  // The check before the run lists the rows (their drawings are not there); run anyway.
  HWND check = WaitForDialog(CatalogText(L"dialog", L"No.89:dialog-j"));
  ASSERT_NE(check, nullptr);
  PressButton(check, 2003);
  HWND box = WaitForDialog(CatalogText(L"meg", L"No.52:meg-jb"));
  ASSERT_NE(box, nullptr);
  const std::wstring said = MessageBoxText(box);
  EXPECT_NE(said.find(L"#2"), std::wstring::npos);
  EXPECT_NE(said.find(folder + L"\\" + name), std::wstring::npos);
  PressButton(box, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  app.Exit();
}
