// The drawing list on the real list view and the real common dialogs:
// adding folders and picked files, searching, deleting, sorting, and the
// list kept across an exit and a new start.
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <vector>

#include "app/app_context.h"
#include "app_harness.h"

using namespace tovrel::test;

namespace {

// A template whose list shows file name, folder, date and a printer column
// filled from its initial value.
const wchar_t kTemplates[] =
    L"[Title]\r\nt1=Plot\r\n[listview_dt]\r\n"
    L"1,0.m=1\r\n1,0.t=File\r\n1,0.p=1\r\n1,0.w=120\r\n"
    L"1,1.m=1\r\n1,1.t=Folder\r\n1,1.p=2\r\n1,1.w=200\r\n"
    L"1,2.m=1\r\n1,2.t=Date\r\n1,2.p=3\r\n1,2.w=120\r\n"
    L"1,3.m=1\r\n1,3.t=Copies\r\n1,3.p=4\r\n1,3.w=60\r\n1,3.f=1\r\n";

bool Selected(HWND list, int row) {
  return (SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

// Creates a file with a fixed last-write time (UTC).
void MakeFile(const std::wstring& path, WORD year, WORD month, WORD day, WORD hour, WORD minute) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  SYSTEMTIME st{year, month, 0, day, hour, minute, 0, 0};
  FILETIME ft;
  SystemTimeToFileTime(&st, &ft);
  SetFileTime(h, nullptr, nullptr, &ft);
  CloseHandle(h);
}

// The date text the list must show for a UTC time: local time, "YYYY/MM/DD hh:mm".
std::wstring LocalDateText(WORD year, WORD month, WORD day, WORD hour, WORD minute) {
  SYSTEMTIME st{year, month, 0, day, hour, minute, 0, 0};
  FILETIME utc, local;
  SystemTimeToFileTime(&st, &utc);
  FileTimeToLocalFileTime(&utc, &local);
  SYSTEMTIME lt;
  FileTimeToSystemTime(&local, &lt);
  wchar_t text[32];
  swprintf(text, 32, L"%04d/%02d/%02d %02d:%02d", lt.wYear, lt.wMonth, lt.wDay, lt.wHour, lt.wMinute);
  return text;
}

class DrawingList : public ::testing::Test {
protected:
  void SetUp() override {
    ws_.WriteUtf16(L"tovrl_set_j.ini", kTemplates);
    // Wine's folder dialog cannot preselect a folder whose name holds CJK
    // characters, so the folder-dialog tests use a Latin name; the
    // open-file test below covers CJK names.
    drawings_ = ws_.Path(L"drawings");
    CreateDirectoryW(drawings_.c_str(), nullptr);
    MakeFile(drawings_ + L"\\b-A3.dwg", 2026, 3, 7, 9, 5);
    MakeFile(drawings_ + L"\\a-A1.dwg", 2025, 12, 31, 23, 59);
    MakeFile(drawings_ + L"\\c.dxf", 2024, 1, 1, 0, 0);
    CreateDirectoryW((drawings_ + L"\\folder.dwg").c_str(), nullptr);
    empty_ = ws_.Path(L"empty");
    CreateDirectoryW(empty_.c_str(), nullptr);
  }

  void StartWithFolder(const std::wstring& folder) {
    ws_.WriteUtf16(L"Tovrel.ini", L"[setting]\r\nfile_folder=" + folder + L"\r\n");
    app_ = std::make_unique<RunningApp>(ws_);
    list_ = app_->Child(300);
  }

  // Runs a folder command and accepts the preselected folder in the shell's dialog.
  void AddFolderAccepting(int command) {
    app_->PostCommand(command);
    ASSERT_TRUE(AcceptFolderDialog(drawings_));
  }

  Workspace ws_;
  std::wstring drawings_;
  std::wstring empty_;
  std::unique_ptr<RunningApp> app_;
  HWND list_ = nullptr;
};

}  // namespace

TEST_F(DrawingList, AddingAFolderFillsRowsFromTheTemplateAndRemembersTheFolder) {
  StartWithFolder(drawings_);
  ASSERT_EQ(SendMessageW(list_, LVM_GETHEADER, 0, 0) != 0, true);
  AddFolderAccepting(37827);
  app_->Settle();
  ASSERT_EQ(ListRowCount(list_), 2);  // the two drawings; not the DXF, not the folder "folder.dwg"
  std::vector<std::wstring> names = ListColumn(list_, 0);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::wstring>{L"a-A1.dwg", L"b-A3.dwg"}));
  for (int row = 0; row < 2; ++row) {
    EXPECT_EQ(ListCell(list_, row, 1), drawings_);
    EXPECT_EQ(ListCell(list_, row, 3), L"1");
    const std::wstring expected = ListCell(list_, row, 0) == L"b-A3.dwg" ? LocalDateText(2026, 3, 7, 9, 5)
                                                                    : LocalDateText(2025, 12, 31, 23, 59);
    EXPECT_EQ(ListCell(list_, row, 2), expected);
  }
  EXPECT_EQ(std::wstring(tovrel::App().settings.file_folder.begin(), tovrel::App().settings.file_folder.end()),
            drawings_);
  // The DXF command adds the DXF drawing; adding twice adds twice.
  AddFolderAccepting(37829);
  AddFolderAccepting(37829);
  app_->Settle();
  EXPECT_EQ(ListRowCount(list_), 4);
  EXPECT_EQ(ListCell(list_, 3, 0), L"c.dxf");
  app_->Exit();
}

TEST_F(DrawingList, AnEmptyFolderShowsMessage2AndACancelEndsTheCommand) {
  StartWithFolder(empty_);
  app_->PostCommand(37827);
  ASSERT_TRUE(AcceptFolderDialog(empty_));
  HWND box = WaitForDialog(CatalogText(L"meg", L"No.2:meg-jb"));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), CatalogText(L"meg", L"No.2:meg-ja"));
  PressButton(box, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));

  // Cancelling leaves the list, the remembered folder and the screen as they were.
  tovrel::App().settings.file_folder = u"c:\\";
  app_->PostCommand(37838);
  HWND dialog = WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  PressButton(dialog, IDCANCEL);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  app_->Settle();
  EXPECT_EQ(ListRowCount(list_), 0);
  EXPECT_EQ(tovrel::App().settings.file_folder, u"c:\\");
  app_->Exit();
}

TEST_F(DrawingList, PickedFilesAreAddedAndADriveRootGivesTheFolderC) {
  // Drawings in a folder and with names that the ANSI code page cannot hold.
  drawings_ = ws_.Path(L"図面 도면");
  CreateDirectoryW(drawings_.c_str(), nullptr);
  MakeFile(drawings_ + L"\\b-A3.dwg", 2026, 3, 7, 9, 5);
  MakeFile(drawings_ + L"\\a-A1 平面図.dwg", 2025, 12, 31, 23, 59);
  StartWithFolder(drawings_);
  app_->PostCommand(37844);
  HWND dialog = WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  SetDlgItemTextW(dialog, 1148, L"\"b-A3.dwg\" \"a-A1 平面図.dwg\"");
  PressButton(dialog, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  app_->Settle();
  ASSERT_EQ(ListRowCount(list_), 2);
  std::vector<std::wstring> names = ListColumn(list_, 0);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::wstring>{L"a-A1 平面図.dwg", L"b-A3.dwg"}));
  EXPECT_EQ(ListCell(list_, 0, 1), drawings_);
  EXPECT_EQ(tovrel::App().settings.file_folder, std::u16string(drawings_.begin(), drawings_.end()));

  const std::wstring rootFile = L"C:\\tovrel-root-test.dwg";
  MakeFile(rootFile, 2026, 1, 2, 3, 4);
  tovrel::App().settings.file_folder = u"C:\\";
  app_->PostCommand(37844);
  dialog = WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  SetDlgItemTextW(dialog, 1148, L"tovrel-root-test.dwg");
  PressButton(dialog, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  app_->Settle();
  DeleteFileW(rootFile.c_str());
  ASSERT_EQ(ListRowCount(list_), 3);
  EXPECT_EQ(ListCell(list_, 2, 0), L"tovrel-root-test.dwg");
  EXPECT_EQ(ListCell(list_, 2, 1), L"C:");
  EXPECT_EQ(ListCell(list_, 2, 2), LocalDateText(2026, 1, 2, 3, 4));
  EXPECT_EQ(tovrel::App().settings.file_folder, u"C:");
  app_->Exit();
}

TEST_F(DrawingList, SearchSelectsMatchingRowsAndDeleteFollowsItsForm) {
  StartWithFolder(drawings_);
  AddFolderAccepting(37827);
  AddFolderAccepting(37829);
  app_->Settle();
  ASSERT_EQ(ListRowCount(list_), 3);
  // Closing the search selects nothing (with no text yet, a search would select all).
  app_->PostCommand(37857);
  HWND search = WaitForDialog(CatalogText(L"dialog", L"No.35:dialog-j"));
  ASSERT_NE(search, nullptr);
  PostMessageW(search, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(search); }));
  app_->Settle();
  for (int row = 0; row < 3; ++row) EXPECT_FALSE(Selected(list_, row)) << row;

  app_->PostCommand(37857);
  search = WaitForDialog(CatalogText(L"dialog", L"No.35:dialog-j"));
  ASSERT_NE(search, nullptr);
  SetDlgItemTextW(search, 1401, L"-A");
  PressButton(search, 1001);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(search); }));
  app_->Settle();
  for (int row = 0; row < 3; ++row) EXPECT_EQ(Selected(list_, row), ListCell(list_, row, 0) != L"c.dxf") << row;

  // Deleting the selection leaves the DXF drawing.
  app_->PostCommand(32);
  app_->Settle();
  ASSERT_EQ(ListRowCount(list_), 1);
  EXPECT_EQ(ListCell(list_, 0, 0), L"c.dxf");
  // The menu form with nothing selected only says so.
  app_->PostCommand(32);
  HWND box = WaitForDialog(CatalogText(L"meg", L"No.4:meg-jb"));
  ASSERT_NE(box, nullptr);
  PressButton(box, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  EXPECT_EQ(ListRowCount(list_), 1);
  // The toolbar form with nothing selected empties the list.
  app_->PostCommand(335);
  app_->Settle();
  EXPECT_EQ(ListRowCount(list_), 0);
  app_->Exit();
}

TEST_F(DrawingList, ColumnClicksSortAndTheListSurvivesARestart) {
  StartWithFolder(drawings_);
  AddFolderAccepting(37827);
  AddFolderAccepting(37829);
  app_->Settle();
  auto click = [&](int column) { app_->NotifyList(LVN_COLUMNCLICK, column); };
  click(0);  // the first click on the file name sorts descending
  EXPECT_EQ(ListColumn(list_, 0), (std::vector<std::wstring>{L"c.dxf", L"b-A3.dwg", L"a-A1.dwg"}));
  click(0);
  EXPECT_EQ(ListColumn(list_, 0), (std::vector<std::wstring>{L"a-A1.dwg", L"b-A3.dwg", L"c.dxf"}));
  click(2);  // the date column: ascending first
  EXPECT_EQ(ListColumn(list_, 0), (std::vector<std::wstring>{L"c.dxf", L"a-A1.dwg", L"b-A3.dwg"}));
  const std::vector<std::wstring> dates = ListColumn(list_, 2);
  app_->Exit();

  app_ = std::make_unique<RunningApp>(ws_);
  list_ = app_->Child(300);
  EXPECT_EQ(ListColumn(list_, 0), (std::vector<std::wstring>{L"c.dxf", L"a-A1.dwg", L"b-A3.dwg"}));
  EXPECT_EQ(ListColumn(list_, 2), dates);
  EXPECT_EQ(ListCell(list_, 0, 1), drawings_);
  app_->Exit();
}

TEST_F(DrawingList, DroppedFilesAndFoldersAreAddedAndAnythingElseIsNamedOnce) {
  const std::wstring tree = ws_.Path(L"dropped");
  CreateDirectoryW(tree.c_str(), nullptr);
  CreateDirectoryW((tree + L"\\sub").c_str(), nullptr);
  MakeFile(tree + L"\\x.dxf", 2026, 1, 1, 0, 0);
  MakeFile(tree + L"\\sub\\y.dwg", 2026, 1, 1, 0, 0);
  MakeFile(ws_.Path(L"readme.txt"), 2026, 1, 1, 0, 0);
  StartWithFolder(drawings_);
  // A DROPFILES block as the shell hands it over: wide paths, double-null ended.
  const std::wstring paths = drawings_ + L"\\b-A3.dwg" + L'\0' + tree + L'\0' + ws_.Path(L"readme.txt") + L'\0' + L'\0';
  HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + paths.size() * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), paths.data(), paths.size() * sizeof(wchar_t));
  GlobalUnlock(block);
  PostMessageW(app_->Main(), WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
  HWND box = WaitForDialog(CatalogText(L"meg", L"No.58:meg-jb"));
  ASSERT_NE(box, nullptr);
  EXPECT_NE(MessageBoxText(box).find(ws_.Path(L"readme.txt")), std::wstring::npos);
  PressButton(box, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  app_->Settle();
  EXPECT_EQ(ListColumn(list_, 0), (std::vector<std::wstring>{L"b-A3.dwg", L"y.dwg", L"x.dxf"}));
  EXPECT_EQ(ListCell(list_, 1, 1), tree + L"\\sub");
  app_->Exit();
}
