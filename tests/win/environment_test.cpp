// The environment settings dialog on the real controls: fields shown and
// stored, Cancel, the browse buttons, the prohibited list, the warning for a
// missing AutoCAD, and the automatic setup on a real fixed drive.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "app/app_context.h"
#include "app_harness.h"
#include "printers/environment_dialog.h"
#include "storage/ansi_code_page_win32.h"
#include "storage/file_system_win32.h"
#include "storage/ini_file.h"

using namespace tovrel::test;

namespace {

std::u16string U16(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }
std::wstring Wide(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

void MakeFile(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << std::string(path.begin(), path.end());
  CloseHandle(h);
}

std::wstring Caption15() { return CatalogText(L"dialog", L"No.15:dialog-j"); }

struct MessageSearch {
  std::wstring caption, body;
  HWND found = nullptr;
};

BOOL CALLBACK FindMessageBox(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<MessageSearch*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  wchar_t cls[16] = L"";
  GetClassNameW(window, cls, 16);
  if (pid != GetCurrentProcessId() || !IsWindowVisible(window) || wcscmp(cls, L"#32770") != 0) return TRUE;
  if (TextOf(window) != search->caption || MessageBoxText(window) != search->body) return TRUE;
  search->found = window;
  return FALSE;
}

// A message box of the catalog's message n, found by caption and body.
HWND WaitForMessage(int n) {
  const std::wstring number = L"No." + std::to_wstring(n) + L":meg-j";
  MessageSearch search{CatalogText(L"meg", number + L"b"), CatalogText(L"meg", number + L"a")};
  WaitUntil([&] {
    EnumWindows(FindMessageBox, reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr;
  });
  return search.found;
}

void Answer(HWND box, int button) {
  ASSERT_NE(box, nullptr);
  PressButton(box, button);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
}

int ListCount(HWND dialog) { return static_cast<int>(SendDlgItemMessageW(dialog, 1201, LB_GETCOUNT, 0, 0)); }

std::vector<std::wstring> ListItems(HWND dialog) {
  std::vector<std::wstring> items;
  for (int i = 0; i < ListCount(dialog); ++i) {
    wchar_t text[128] = L"";
    SendDlgItemMessageW(dialog, 1201, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    items.push_back(text);
  }
  return items;
}

// Clicks a button and returns when the dialog has handled it (for buttons
// that open nothing modal).
void Click(HWND dialog, int id) {
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Types a name into the entry field and presses the register button.
void Register(HWND dialog, const std::wstring& name) {
  SetDlgItemTextW(dialog, 1104, name.c_str());
  Click(dialog, 1008);
}

bool Checked(HWND dialog, int id) { return SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

class EnvironmentDialog : public ::testing::Test {
protected:
  void SetUp() override {
    acad_ = ws_.Path(L"acad.exe");
    MakeFile(acad_);
    ws_.WriteUtf16(L"Tovrel.ini", L"[setting]\r\nautocad_file=" + acad_ + L"\r\ntemp_file=" + ws_.Path(L"a.scr") +
                                      L"\r\nend_file_dwg=" + ws_.Path(L"end.dwg") +
                                      L"\r\nprohibition_print0=PDF\r\nprohibition_print1=\r\n"
                                      L"prohibition_print2=Plotter A0\r\nprint_paper_ab=1\r\n"
                                      L"prohibition_plmode=0\r\nrun_timeout=25\r\n");
    app_ = std::make_unique<RunningApp>(ws_);
  }

  HWND Open() {
    app_->PostCommand(41);
    HWND dialog = WaitForDialog(Caption15());
    EXPECT_NE(dialog, nullptr);
    return dialog;
  }

  void Close(HWND dialog, int button) {
    PressButton(dialog, button);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    app_->Settle();
  }

  Workspace ws_;
  std::wstring acad_;
  std::unique_ptr<RunningApp> app_;
};

}  // namespace

TEST_F(EnvironmentDialog, ShowsEveryFieldAndOkStoresThemWhileCancelStoresNothing) {
  const tovrel::AppSettings before = tovrel::App().settings;
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ItemText(dialog, 1101), acad_);
  EXPECT_EQ(ItemText(dialog, 1102), ws_.Path(L"a.scr"));
  EXPECT_EQ(ItemText(dialog, 1103), ws_.Path(L"end.dwg"));
  // The name after the empty slot is shown too.
  EXPECT_EQ(ListItems(dialog), (std::vector<std::wstring>{L"PDF", L"Plotter A0"}));
  EXPECT_TRUE(Checked(dialog, 1301));
  EXPECT_FALSE(Checked(dialog, 1302));
  EXPECT_EQ(ItemText(dialog, 1105), L"25");  // minutes one drawing may take
  EXPECT_EQ(ItemText(dialog, 1518), CatalogText(L"dialog", L"No.84:dialog-j"));
  EXPECT_EQ(ItemText(dialog, 1007), CatalogText(L"dialog", L"No.23:dialog-j"));
  EXPECT_EQ(ItemText(dialog, 1517), CatalogText(L"dialog", L"No.22:dialog-j"));
  EXPECT_EQ(ItemText(dialog, 1004), L"dir");
  EXPECT_EQ(ItemText(dialog, 1302), L"使用禁止のDialog表示をしない");

  // Changes followed by Cancel leave the settings as they were.
  SetDlgItemTextW(dialog, 1101, L"c:\\elsewhere\\acad.exe");
  Register(dialog, L"Laser");
  ASSERT_EQ(ListCount(dialog), 3);
  Close(dialog, 1002);
  EXPECT_EQ(tovrel::App().settings, before);

  dialog = Open();
  ASSERT_NE(dialog, nullptr);
  // A path longer than the field is wide can be typed whole.
  const std::wstring longPath = ws_.Dir() + L"\\" + std::wstring(150, L'x') + L".scr";
  HWND scriptEdit = GetDlgItem(dialog, 1102);
  SetWindowTextW(scriptEdit, L"");
  for (wchar_t c : longPath) SendMessageW(scriptEdit, WM_CHAR, c, 0);
  EXPECT_EQ(ItemText(dialog, 1102), longPath);
  SetDlgItemTextW(dialog, 1103, (ws_.Path(L"新しい終了図面.dwg")).c_str());

  // Register: empty and duplicate names are not added, names keep their case.
  for (const wchar_t* name : {L"", L"  ", L"PDF", L"pdf"}) Register(dialog, name);
  EXPECT_EQ(ListItems(dialog), (std::vector<std::wstring>{L"PDF", L"Plotter A0", L"pdf"}));
  // Delete removes the selected name; with none selected nothing.
  SendDlgItemMessageW(dialog, 1201, LB_SETCURSEL, 0, 0);
  Click(dialog, 1009);
  SendDlgItemMessageW(dialog, 1201, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  Click(dialog, 1009);
  EXPECT_EQ(ListItems(dialog), (std::vector<std::wstring>{L"Plotter A0", L"pdf"}));
  // A seventeenth name is refused with a message.
  for (int i = 2; i < 16; ++i) Register(dialog, L"P" + std::to_wstring(i));
  ASSERT_EQ(ListCount(dialog), 16);
  SetDlgItemTextW(dialog, 1104, L"Seventeenth");
  PressButton(dialog, 1008);
  Answer(WaitForMessage(60), IDOK);
  EXPECT_EQ(ListCount(dialog), 16);

  SendDlgItemMessageW(dialog, 1301, BM_SETCHECK, BST_UNCHECKED, 0);
  SendDlgItemMessageW(dialog, 1302, BM_SETCHECK, BST_CHECKED, 0);
  SetDlgItemTextW(dialog, 1105, L"0");  // no limit
  Close(dialog, 1001);  // AutoCAD exists: no warning
  const tovrel::AppSettings& settings = tovrel::App().settings;
  EXPECT_EQ(Wide(settings.autocad_file), acad_);
  EXPECT_EQ(Wide(settings.temp_file), longPath);
  EXPECT_EQ(Wide(settings.end_file_dwg), ws_.Path(L"新しい終了図面.dwg"));
  EXPECT_EQ(settings.prohibition_print[0], u"Plotter A0");
  EXPECT_EQ(settings.prohibition_print[1], u"pdf");
  EXPECT_EQ(settings.prohibition_print[15], u"P15");
  EXPECT_EQ(settings.print_paper_ab, 0);
  EXPECT_EQ(settings.prohibition_plmode, 1);
  EXPECT_EQ(settings.run_timeout, 0);
  app_->Exit();
  const tovrel::IniFile file(U16(ws_.Path(L"Tovrel.ini")), tovrel::SystemAnsiCodePage());
  EXPECT_EQ(file.GetString(u"setting", u"temp_file", u"", 300), U16(longPath));
  EXPECT_EQ(file.GetString(u"setting", u"prohibition_print2", u"", 64), u"P2");
}

TEST_F(EnvironmentDialog, AMissingAutocadIsKeptWithAWarning) {
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  SetDlgItemTextW(dialog, 1101, L"d:\\for another machine\\acad.exe");
  PressButton(dialog, 1001);
  Answer(WaitForMessage(61), IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  EXPECT_EQ(tovrel::App().settings.autocad_file, u"d:\\for another machine\\acad.exe");
  app_->Exit();
}

TEST_F(EnvironmentDialog, ABrowsedPathIsStoredOnlyByOkAndEnterInTheNameFieldRegistersIt) {
  const tovrel::AppSettings before = tovrel::App().settings;
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  // The file dialog starts from the edit's text; cancelled, it changes nothing.
  SetDlgItemTextW(dialog, 1103, ws_.Path(L"typed.dwg").c_str());
  PressButton(dialog, 1006);
  HWND files = WaitForDialog(CatalogText(L"code", L"No.41:code-j"));
  ASSERT_NE(files, nullptr);
  Answer(files, IDCANCEL);
  // The script file chosen in the dialog shows in its edit.
  const std::wstring chosen = ws_.Path(L"chosen.scr");
  MakeFile(chosen);
  PressButton(dialog, 1005);
  files = WaitForDialog(CatalogText(L"code", L"No.40:code-j"));
  ASSERT_NE(files, nullptr);
  SetDlgItemTextW(files, 1148, chosen.c_str());
  Answer(files, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return ItemText(dialog, 1102) == chosen; }));
  Close(dialog, 1002);
  EXPECT_EQ(tovrel::App().settings, before);

  dialog = Open();
  ASSERT_NE(dialog, nullptr);
  SetDlgItemTextW(dialog, 1102, chosen.c_str());
  // Enter in the printer-name field registers the name and leaves the dialog open.
  HWND name = GetDlgItem(dialog, 1104);
  SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(name), TRUE);
  SetWindowTextW(name, L"Laser");
  PostMessageW(name, WM_KEYDOWN, VK_RETURN, 1);
  ASSERT_TRUE(WaitUntil([&] { return ListCount(dialog) == 3; }));
  EXPECT_TRUE(IsWindow(dialog));
  EXPECT_EQ(tovrel::App().settings.prohibition_print[2], before.prohibition_print[2]);
  Close(dialog, 1001);
  EXPECT_EQ(Wide(tovrel::App().settings.temp_file), chosen);
  EXPECT_EQ(tovrel::App().settings.end_file_dwg, before.end_file_dwg);
  EXPECT_EQ(tovrel::App().settings.prohibition_print[2], u"Laser");
  app_->Exit();
}

namespace {

// The real file system, with M: as the only fixed drive: the other fixed
// drives of a Wine prefix are its C: and the whole Unix tree as Z:, too
// large to walk in a test. The test fixture maps M: to a scratch folder.
class OnlyDriveM final : public tovrel::FileSystem {
public:
  bool List(const std::u16string& pattern, std::vector<tovrel::DirEntry>& entries) const override {
    ++lists;
    if (gate) {
      listing = true;
      // Messages sent to this thread's windows are still answered (reading
      // a window's text sends one), posted ones wait.
      WaitUntil([&] {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        return open.load();
      });
    }
    return real_.List(pattern, entries);
  }
  bool Find(const std::u16string& path, tovrel::DirEntry& entry) const override { return real_.Find(path, entry); }
  tovrel::LocalTime ToLocalTime(std::uint64_t time) const override { return real_.ToLocalTime(time); }
  bool IsFixedDrive(char16_t letter) const override { return letter == u'M' && real_.IsFixedDrive(letter); }

  // With the gate set, every listing waits until it is opened.
  bool gate = false;
  mutable std::atomic<bool> listing{false};
  std::atomic<bool> open{false};
  mutable std::atomic<int> lists{0};

private:
  tovrel::Win32FileSystem real_;
};

void RemoveTree(const std::wstring& dir) {
  WIN32_FIND_DATAW found;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &found);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(dir + L"\\" + name);
      } else {
        DeleteFileW((dir + L"\\" + name).c_str());
      }
    } while (FindNextFileW(h, &found));
    FindClose(h);
  }
  RemoveDirectoryW(dir.c_str());
}

// Runs the dialog on a thread of its own, with the files given, while the
// program (and so the catalog) is up.
class AutomaticSetup : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(GetDriveTypeW(L"M:\\"), static_cast<UINT>(DRIVE_FIXED)) << "M: must be a fixed drive (see CMakeLists)";
    RemoveTree(kRoot);
    for (const wchar_t* dir : {L"", L"\\Autodesk", L"\\Autodesk\\AutoCAD 2026", L"\\run"}) {
      CreateDirectoryW((std::wstring(kRoot) + dir).c_str(), nullptr);
    }
    MakeFile(std::wstring(kRoot) + L"\\Autodesk\\AutoCAD 2026\\acad.exe");
    MakeFile(std::wstring(kRoot) + L"\\Autodesk\\AutoCAD 2026\\accoreconsole.exe");
    MakeFile(std::wstring(kRoot) + L"\\run\\atcprint.scr");
    app_ = std::make_unique<RunningApp>(ws_);
    settings_.autocad_file = u"c:\\old\\acad.exe";
    settings_.temp_file = u"c:\\old\\atcprint.scr";
    settings_.end_file_dwg = u"c:\\old\\endfile.dwg";
  }
  void TearDown() override {
    files_.open = true;
    if (IsWindow(dialog_)) PostMessageW(dialog_, WM_CLOSE, 0, 0);  // after a failed step
    if (thread_.joinable()) thread_.join();
    app_->Exit();
    RemoveTree(kRoot);
  }

  HWND Start() {
    thread_ = std::thread([this] { RunEnvironmentDialog(nullptr, settings_, files_, U16(ws_.Dir())); });
    dialog_ = WaitForDialog(Caption15());
    EXPECT_NE(dialog_, nullptr);
    PressButton(dialog_, 1007);
    Answer(WaitForMessage(29), IDYES);
    return dialog_;
  }

  static constexpr wchar_t kRoot[] = L"M:\\tovrel-setup";
  Workspace ws_;
  std::unique_ptr<RunningApp> app_;
  tovrel::AppSettings settings_;
  OnlyDriveM files_;
  std::thread thread_;
  HWND dialog_ = nullptr;
};

}  // namespace

TEST_F(AutomaticSetup, FindsAcadOnAFixedDriveAndFallsBackForTheEndDrawing) {
  HWND dialog = Start();
  ASSERT_NE(dialog, nullptr);
  Answer(WaitForMessage(32), IDOK);  // no endfile.dwg anywhere; no 30 since acad.exe was found
  Answer(WaitForMessage(33), IDOK);
  EXPECT_EQ(ItemText(dialog, 1101), std::wstring(kRoot) + L"\\Autodesk\\AutoCAD 2026\\acad.exe");
  EXPECT_EQ(ItemText(dialog, 1102), std::wstring(kRoot) + L"\\run\\atcprint.scr");
  EXPECT_EQ(ItemText(dialog, 1103), ws_.Dir() + L"\\endfile.dwg");
  EXPECT_EQ(ItemText(dialog, 1110), std::wstring(kRoot) + L"\\Autodesk\\AutoCAD 2026\\accoreconsole.exe");
  // Only the edits change: Cancel keeps the settings.
  PressButton(dialog, 1002);
  thread_.join();
  EXPECT_EQ(settings_.autocad_file, u"c:\\old\\acad.exe");
}

TEST_F(AutomaticSetup, TheProgressWindowsStopEndsTheSearch) {
  files_.gate = true;
  HWND dialog = Start();
  ASSERT_NE(dialog, nullptr);
  HWND wait = WaitForDialog(CatalogText(L"dialog", L"No.31:dialog-j"));
  ASSERT_NE(wait, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return files_.listing.load(); }));
  EXPECT_FALSE(IsWindowEnabled(dialog));  // no input while the search runs
  constexpr int kStop = 2106;
  ASSERT_NE(GetDlgItem(wait, kStop), nullptr);
  EXPECT_EQ(ItemText(wait, kStop), CatalogText(L"dialog", L"No.97:dialog-j"));
  PressButton(wait, kStop);
  files_.open = true;
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(wait); }));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(dialog) != FALSE; }));
  EXPECT_EQ(files_.lists.load(), 1);  // stopped before the next folder
  EXPECT_EQ(ItemText(dialog, 1101), L"c:\\old\\acad.exe");
  PressButton(dialog, 1002);
  thread_.join();
}
