// The folder browser on the real dialog: drives and subfolders, walking with
// double clicks, loading several folders in each kind mode, the remembered
// folder, and its messages.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "app/app_context.h"
#include "app_harness.h"

using namespace tovrel::test;

namespace {

// File name, folder, date, and a printer column at list column 5 that the
// file-name rules fill.
const wchar_t kTemplates[] =
    L"[Title]\r\nt1=Plot\r\n[listview_dt]\r\n"
    L"1,0.m=1\r\n1,0.t=File\r\n1,0.p=1\r\n1,0.w=120\r\n"
    L"1,1.m=1\r\n1,1.t=Folder\r\n1,1.p=2\r\n1,1.w=200\r\n"
    L"1,2.m=1\r\n1,2.t=Date\r\n1,2.p=3\r\n1,2.w=120\r\n"
    L"1,3.m=1\r\n1,3.t=C3\r\n1,3.p=4\r\n1,3.w=40\r\n"
    L"1,4.m=1\r\n1,4.t=C4\r\n1,4.p=4\r\n1,4.w=40\r\n"
    L"1,5.m=1\r\n1,5.t=Printer\r\n1,5.p=4\r\n1,5.w=80\r\n";

int RowNamed(HWND list, const std::wstring& name) {
  for (int row = 0; row < ListRowCount(list); ++row) {
    if (ListCell(list, row, 0) == name) return row;
  }
  return -1;
}

void MakeFile(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
}

std::wstring MessageCaption(int n) { return CatalogText(L"meg", L"No." + std::to_wstring(n) + L":meg-jb"); }

class FolderBrowserDialog : public ::testing::Test {
protected:
  void SetUp() override {
    ws_.WriteUtf16(L"tovrl_set_j.ini", kTemplates);
    plans_ = ws_.Path(L"plans");
    for (const std::wstring& dir : {plans_, plans_ + L"\\tower", plans_ + L"\\empty", plans_ + L"\\gone"}) {
      CreateDirectoryW(dir.c_str(), nullptr);
    }
    MakeFile(plans_ + L"\\a-A3.dwg");
    MakeFile(plans_ + L"\\b.dxf");
    MakeFile(plans_ + L"\\tower\\t.dxf");
    MakeFile(plans_ + L"\\tower\\t-A3.dwg");
    ws_.WriteUtf16(L"Tovrel.ini", L"[setting]\r\nfile_folder=" + plans_ +
                                      L"\r\nfile_set.ps=1\r\nfile_set.fp_ps[0].search=A3\r\n"
                                      L"file_set.fp_ps[0].printer=Plotter\r\nfile_set.chg_on=1\r\n");
    app_ = std::make_unique<RunningApp>(ws_);
    list_ = app_->Child(300);
  }

  HWND Open(int command = 37842) {
    app_->PostCommand(command);
    HWND dialog = WaitForDialog(CatalogText(L"dialog", L"No.37:dialog-j"));
    EXPECT_NE(dialog, nullptr);
    browser_ = GetDlgItem(dialog, 904);
    return dialog;
  }

  void Select(const std::vector<std::wstring>& names) {
    for (const std::wstring& name : names) {
      LVITEMW item{};
      item.stateMask = item.state = LVIS_SELECTED;
      SendMessageW(browser_, LVM_SETITEMSTATE, RowNamed(browser_, name), reinterpret_cast<LPARAM>(&item));
    }
  }

  // A double click on a row as the list reports it (-1: beside the rows).
  void DoubleClick(HWND dialog, int row) {
    NMITEMACTIVATE info{};
    info.hdr.hwndFrom = browser_;
    info.hdr.idFrom = 904;
    info.hdr.code = NM_DBLCLK;
    info.iItem = row;
    SendMessageW(dialog, WM_NOTIFY, 904, reinterpret_cast<LPARAM>(&info));
  }

  void Load(HWND dialog) {
    PressButton(dialog, 1001);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    app_->Settle();
  }

  // Message 62 has the browser's own caption: the browser is passed over.
  void AnswerMessage(int n, HWND browserDialog) {
    HWND box = WaitForDialog(MessageCaption(n), browserDialog);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), CatalogText(L"meg", L"No." + std::to_wstring(n) + L":meg-ja"));
    PressButton(box, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  }

  Workspace ws_;
  std::wstring plans_;
  std::unique_ptr<RunningApp> app_;
  HWND list_ = nullptr;
  HWND browser_ = nullptr;
};

std::wstring Remembered() {
  const std::u16string& folder = tovrel::App().settings.file_folder;
  return std::wstring(folder.begin(), folder.end());
}

}  // namespace

TEST_F(FolderBrowserDialog, LoadsSeveralFoldersInEachKindModeAndAppliesTheRules) {
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ItemText(dialog, 1501), plans_);
  EXPECT_EQ(ItemText(dialog, 1001), CatalogText(L"dialog", L"No.39:dialog-j"));
  // Folders only, in the file system's order, "." and ".." among them.
  std::vector<std::wstring> names = ListColumn(browser_, 0);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::wstring>{L".", L"..", L"empty", L"gone", L"tower"}));
  EXPECT_EQ(ListCell(browser_, RowNamed(browser_, L"tower"), 1).size(), 16u);  // "YYYY/MM/DD hh:mm"
  EXPECT_EQ(SendDlgItemMessageW(dialog, 1601, BM_GETCHECK, 0, 0), BST_CHECKED);
  Select({L".", L"tower"});
  Load(dialog);
  ASSERT_EQ(ListRowCount(list_), 2);  // DWG only: one drawing of each folder
  EXPECT_EQ(ListColumn(list_, 0), (std::vector<std::wstring>{L"a-A3.dwg", L"t-A3.dwg"}));
  EXPECT_EQ(ListColumn(list_, 1), (std::vector<std::wstring>{plans_, plans_ + L"\\tower"}));
  EXPECT_EQ(ListColumn(list_, 5), (std::vector<std::wstring>{L"Plotter", L"Plotter"}));  // the rules ran

  // DXF, then both: a folder's DWG files before its DXF files. The button
  // 330 opens the same browser, with the kind chosen last time.
  dialog = Open(330);
  ASSERT_NE(dialog, nullptr);
  SendDlgItemMessageW(dialog, 1602, BM_CLICK, 0, 0);
  Select({L"tower"});
  Load(dialog);
  dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(SendDlgItemMessageW(dialog, 1602, BM_GETCHECK, 0, 0), BST_CHECKED);
  SendDlgItemMessageW(dialog, 1603, BM_CLICK, 0, 0);
  Select({L"tower", L"."});  // loaded from the top of the browser list down
  const bool dotFirst = RowNamed(browser_, L".") < RowNamed(browser_, L"tower");
  Load(dialog);
  const std::vector<std::wstring> plansRows{L"a-A3.dwg", L"b.dxf"}, towerRows{L"t-A3.dwg", L"t.dxf"};
  std::vector<std::wstring> expected{L"a-A3.dwg", L"t-A3.dwg", L"t.dxf"};
  for (const auto* rows : dotFirst ? std::vector{&plansRows, &towerRows} : std::vector{&towerRows, &plansRows}) {
    expected.insert(expected.end(), rows->begin(), rows->end());
  }
  EXPECT_EQ(ListColumn(list_, 0), expected);
  app_->Exit();
}

TEST_F(FolderBrowserDialog, WalkingMovesTheRememberedFolderAndDrivesAreListedInARoot) {
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  DoubleClick(dialog, RowNamed(browser_, L"tower"));
  EXPECT_EQ(ItemText(dialog, 1501), plans_ + L"\\tower");
  EXPECT_EQ(Remembered(), plans_ + L"\\tower");
  DoubleClick(dialog, -1);  // beside the rows: nothing happens
  EXPECT_EQ(ItemText(dialog, 1501), plans_ + L"\\tower");
  // Keys: Backspace goes up, Enter opens the focused row.
  SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(browser_), TRUE);
  PostMessageW(browser_, WM_KEYDOWN, VK_BACK, 1);
  ASSERT_TRUE(WaitUntil([&] { return ItemText(dialog, 1501) == plans_; }));
  LVITEMW focus{};
  focus.stateMask = focus.state = LVIS_FOCUSED;
  SendMessageW(browser_, LVM_SETITEMSTATE, RowNamed(browser_, L"tower"), reinterpret_cast<LPARAM>(&focus));
  PostMessageW(browser_, WM_KEYDOWN, VK_RETURN, 1);
  ASSERT_TRUE(WaitUntil([&] { return ItemText(dialog, 1501) == plans_ + L"\\tower"; }));
  EXPECT_TRUE(IsWindow(dialog));
  // Closed without loading: the walk is kept, shown in the status bar and
  // where the next opening starts.
  PostMessageW(dialog, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  app_->Settle();
  wchar_t status[300] = L"";
  SendMessageW(app_->Child(1), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(status));
  EXPECT_EQ(std::wstring(status), plans_ + L"\\tower");
  EXPECT_EQ(ListRowCount(list_), 0);

  tovrel::App().settings.file_folder = u"C:";  // as the open-file dialog leaves a drive root
  dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ItemText(dialog, 1501), L"C:\\");
  const int z = RowNamed(browser_, L"z:\\");
  ASSERT_GE(z, 0);  // Wine's Z: drive, listed before the folders of C:
  EXPECT_GE(RowNamed(browser_, L"windows"), z);
  EXPECT_EQ(RowNamed(browser_, L"c:\\"), -1);
  LVITEMW item{};
  item.mask = LVIF_IMAGE;
  item.iItem = z;
  SendMessageW(browser_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(item.iImage, 2);  // a fixed disk
  DoubleClick(dialog, z);
  EXPECT_EQ(ItemText(dialog, 1501), L"z:\\");
  EXPECT_GE(RowNamed(browser_, L"c:\\"), 0);
  PostMessageW(dialog, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  EXPECT_EQ(Remembered(), L"z:\\");
  app_->Exit();
}

TEST_F(FolderBrowserDialog, MessagesForNothingSelectedNothingFoundAndAFolderThatIsGone) {
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  PressButton(dialog, 1001);
  AnswerMessage(49, dialog);
  Select({L"empty"});
  PressButton(dialog, 1001);
  AnswerMessage(22, dialog);
  EXPECT_TRUE(IsWindow(dialog));  // the dialog stays open
  // A folder removed after it was listed cannot be entered: the browser
  // stays where it was, with its rows.
  const int gone = RowNamed(browser_, L"gone");
  ASSERT_GE(gone, 0);
  ASSERT_TRUE(RemoveDirectoryW((plans_ + L"\\gone").c_str()));
  const int rows = ListRowCount(browser_);
  NMITEMACTIVATE info{};
  info.hdr.hwndFrom = browser_;
  info.hdr.idFrom = 904;
  info.hdr.code = NM_DBLCLK;
  info.iItem = gone;
  // Sent from another thread, so that the message box it opens can be answered.
  std::thread click([&] { SendMessageW(dialog, WM_NOTIFY, 904, reinterpret_cast<LPARAM>(&info)); });
  AnswerMessage(62, dialog);
  click.join();
  EXPECT_EQ(ItemText(dialog, 1501), plans_);
  EXPECT_EQ(Remembered(), plans_);
  EXPECT_EQ(ListRowCount(browser_), rows);
  PostMessageW(dialog, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  EXPECT_EQ(ListRowCount(list_), 0);
  app_->Exit();
}
