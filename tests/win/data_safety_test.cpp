// The user's list and settings are never lost or misplaced: the working
// folder stays where the program started whatever the file dialogs do,
// Windows shutdown writes both files, thousands of drawings can be picked
// at once, "Load list" never empties the list for a file it cannot read, and
// Notepad is never taken from a drawing folder.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "app_harness.h"
#include "storage/ansi_code_page_win32.h"
#include "storage/ini_file.h"

using namespace tovrel::test;

namespace {

constexpr int kPickDwgFiles = 37844;
constexpr int kSaveList = 37849;
constexpr int kLoadList = 37850;
constexpr int kShowScript = 37835;
constexpr int kLanguage = 55;
constexpr int kDeleteToolbar = 335;
constexpr int kFileNameEdit = 1148;  // the file name field of the common open and save dialogs

int Columns(HWND list) {
  return static_cast<int>(SendMessageW(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)),
                                       HDM_GETITEMCOUNT, 0, 0));
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void Touch(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << std::string(path.begin(), path.end());
  CloseHandle(h);
}

std::wstring CurrentFolder() {
  wchar_t buffer[MAX_PATH] = L"";
  GetCurrentDirectoryW(MAX_PATH, buffer);
  return buffer;
}

std::u16string ReadValue(const std::wstring& path, const char16_t* section, const char16_t* key) {
  const tovrel::IniFile file(std::u16string(path.begin(), path.end()), tovrel::SystemAnsiCodePage());
  return file.GetString(section, key, u"<missing>", 300);
}

// Answers the common file dialog that a command opened with `typed` in its
// file name field.
void AnswerFileDialog(const std::wstring& typed) {
  HWND dialog = WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  SetDlgItemTextW(dialog, kFileNameEdit, typed.c_str());
  PressButton(dialog, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
}

const wchar_t kKeptList[] = L"[listliew]\r\nmax_cont=2\r\n0,0=one.dwg\r\n1,0=two.dwg\r\n";

}  // namespace

TEST(DataSafety, TheProgramsFilesStayInTheWorkingFolderWhateverTheDialogsDo) {
  Workspace ws;
  Workspace drawings;  // a folder elsewhere
  Touch(drawings.Path(L"a.dwg"));
  Touch(drawings.Path(L"b.dwg"));
  ws.WriteUtf16(L"Tovrel.ini", L"[setting]\r\nfile_folder=" + drawings.Dir() + L"\r\n");
  RunningApp app(ws);
  HWND list = app.Child(300);

  app.PostCommand(kPickDwgFiles);
  AnswerFileDialog(L"\"a.dwg\" \"b.dwg\"");
  app.Settle();
  ASSERT_EQ(ListRowCount(list), 2);
  EXPECT_EQ(CurrentFolder(), ws.Dir());

  // A language change reads the templates of the working folder: the list
  // gets the English template's columns.
  app.PostCommand(kDeleteToolbar);
  app.Settle();
  app.PostCommand(kLanguage);
  HWND language = WaitForDialog(L"setup of language");
  ASSERT_NE(language, nullptr);
  SendDlgItemMessageW(language, 1401, CB_SETCURSEL, 1, 0);
  PressButton(language, 1001);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(language); }));
  app.Settle();
  EXPECT_GT(Columns(list), 0);

  app.PostCommand(kPickDwgFiles);
  AnswerFileDialog(L"a.dwg");
  app.Settle();
  ASSERT_EQ(ListRowCount(list), 1);
  // "Save list" starts in the working folder; a bare name lands there.
  app.PostCommand(kSaveList);
  AnswerFileDialog(L"mylist");
  app.Settle();
  app.Exit();

  EXPECT_TRUE(Exists(ws.Path(L"mylist.ini")));
  EXPECT_EQ(ReadValue(ws.Path(L"Tovrel.ini"), u"setting", u"moji_type"), u"1");
  EXPECT_EQ(ReadValue(ws.Path(L"listview.ini"), u"listliew", u"0,0"), u"a.dwg");
  for (const wchar_t* name : {L"Tovrel.ini", L"listview.ini", L"mylist.ini"}) {
    EXPECT_FALSE(Exists(drawings.Path(name))) << "in the drawing folder: " << std::string(name, name + wcslen(name));
  }
}

TEST(DataSafety, WindowsShutdownWritesTheListAndTheSettings) {
  Workspace ws;
  Workspace drawings;
  Touch(drawings.Path(L"new.dwg"));
  ws.WriteUtf16(L"listview.ini", kKeptList);
  ws.WriteUtf16(L"Tovrel.ini", L"[setting]\r\nfile_folder=" + drawings.Dir() + L"\r\n");
  RunningApp app(ws);
  app.PostCommand(kPickDwgFiles);
  AnswerFileDialog(L"new.dwg");
  app.Settle();
  DeleteFileW(ws.Path(L"Tovrel.ini").c_str());

  // Log-off: Windows asks, then ends the session without a WM_DESTROY.
  EXPECT_TRUE(SendMessageW(app.Main(), WM_QUERYENDSESSION, 0, 0));
  SendMessageW(app.Main(), WM_ENDSESSION, TRUE, 0);
  EXPECT_EQ(ReadValue(ws.Path(L"listview.ini"), u"listliew", u"max_cont"), u"3");
  EXPECT_EQ(ReadValue(ws.Path(L"listview.ini"), u"listliew", u"2,0"), u"new.dwg");
  const std::u16string folder = ReadValue(ws.Path(L"Tovrel.ini"), u"setting", u"file_folder");
  EXPECT_EQ(std::wstring(folder.begin(), folder.end()), drawings.Dir());
  app.Exit();
}

TEST(DataSafety, TwoThousandDrawingsPickedAtOnceAreAllAdded) {
  Workspace ws;
  Workspace drawings;
  std::wstring typed;
  for (int i = 0; i < 2000; ++i) {
    wchar_t name[16];
    swprintf(name, 16, L"d%04d.dwg", i);
    Touch(drawings.Path(name));
    typed += L"\"" + std::wstring(name) + L"\" ";
  }
  ws.WriteUtf16(L"Tovrel.ini", L"[setting]\r\nfile_folder=" + drawings.Dir() + L"\r\n");
  RunningApp app(ws);
  app.PostCommand(kPickDwgFiles);
  AnswerFileDialog(typed);
  app.Settle();
  EXPECT_EQ(ListRowCount(app.Child(300)), 2000);
  app.Exit();
}

TEST(DataSafety, LoadListKeepsTheRowsForAFileItCannotRead) {
  Workspace ws;
  ws.WriteUtf16(L"listview.ini", kKeptList);
  ws.WriteUtf16(L"other.ini", L"[listliew]\r\nmax_cont=1\r\n0,0=other.dwg\r\n");
  RunningApp app(ws);
  HWND list = app.Child(300);
  ASSERT_EQ(ListRowCount(list), 2);

  // A name that does not exist is refused by the dialog itself.
  app.PostCommand(kLoadList);
  HWND dialog = WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  SetDlgItemTextW(dialog, kFileNameEdit, L"no-such-list.ini");
  PressButton(dialog, IDOK);
  HWND refusal = WaitForDialog(L"", dialog);
  ASSERT_NE(refusal, nullptr);
  PostMessageW(refusal, WM_CLOSE, 0, 0);
  PostMessageW(refusal, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(refusal); }));
  PressButton(dialog, IDCANCEL);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  app.Settle();
  EXPECT_EQ(ListRowCount(list), 2);

  // A file that exists but cannot be read: message 57, the rows stay.
  HANDLE locked = CreateFileW(ws.Path(L"other.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  app.PostCommand(kLoadList);
  AnswerFileDialog(L"other.ini");
  HWND box = WaitForDialog(CatalogText(L"meg", L"No.57:meg-jb"));
  ASSERT_NE(box, nullptr);
  PressButton(box, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  app.Settle();
  EXPECT_EQ(ListRowCount(list), 2);
  CloseHandle(locked);

  // A readable file replaces the rows.
  app.PostCommand(kLoadList);
  AnswerFileDialog(L"other.ini");
  app.Settle();
  ASSERT_EQ(ListRowCount(list), 1);
  EXPECT_EQ(ListCell(list, 0, 0), L"other.dwg");
  app.Exit();
}

TEST(DataSafety, ASettingsFileThatCouldNotBeReadAtStartIsNotWrittenOverUnasked) {
  Workspace ws;
  ws.WriteUtf16(L"Tovrel.ini", L"[setting]\r\nfile_folder=c:\\mine\r\n");
  // Locked (or offline) while the program starts.
  HANDLE locked = CreateFileW(ws.Path(L"Tovrel.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  RunningApp app(ws);
  HWND box = WaitForDialog(CatalogText(L"meg", L"No.99:meg-jb"));
  ASSERT_NE(box, nullptr);
  EXPECT_NE(MessageBoxText(box).find(L"Tovrel.ini"), std::wstring::npos);
  PressButton(box, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  CloseHandle(locked);
  // At exit the program asks; No keeps the file as it was.
  app.RequestExit();
  box = WaitForDialog(CatalogText(L"meg", L"No.98:meg-jb"));
  ASSERT_NE(box, nullptr);
  PressButton(box, IDNO);
  app.Join();
  EXPECT_EQ(ReadValue(ws.Path(L"Tovrel.ini"), u"setting", u"file_folder"), u"c:\\mine");
  EXPECT_EQ(ReadValue(ws.Path(L"Tovrel.ini"), u"setting", u"autocad_file"), u"<missing>");
}

TEST(DataSafety, NotepadComesFromTheSystemFolderNeverFromTheCurrentOne) {
  Workspace ws;
  Touch(ws.Path(L"notepad.exe"));  // planted: no program at all
  Touch(ws.Path(L"atcprint.scr"));
  RunningApp app(ws);
  app.PostCommand(kShowScript);
  HWND notepad = nullptr;
  const bool opened = WaitUntil([&] { return (notepad = FindWindowW(L"Notepad", nullptr)) != nullptr; });
  EXPECT_TRUE(opened);
  if (notepad) PostMessageW(notepad, WM_CLOSE, 0, 0);
  app.Exit();
}

TEST(DataSafety, TheListIsWrittenBeforeAutocadStarts) {
  Workspace ws;
  Workspace drawings;
  Touch(drawings.Path(L"run.dwg"));
  WriteEndDrawing(ws.Path(L"endfile.dwg"));
  ws.WriteUtf16(L"Tovrel.ini", L"[setting]\r\nfile_folder=" + drawings.Dir() +
                                   L"\r\nautocad_file=C:\\no such folder\\acad.exe\r\n");
  RunningApp app(ws);
  app.PostCommand(kPickDwgFiles);
  AnswerFileDialog(L"run.dwg");
  app.Settle();
  app.PostCommand(37832);  // All start: AutoCAD cannot start here, message 6
  HWND box = WaitForDialog(CatalogText(L"meg", L"No.6:meg-jb"));
  ASSERT_NE(box, nullptr);
  // Were the process killed now, the list would be there at the next start.
  EXPECT_EQ(ReadValue(ws.Path(L"listview.ini"), u"listliew", u"0,0"), u"run.dwg");
  PressButton(box, IDOK);
  app.Exit();
}

TEST(DataSafety, TheFolderDialogIsOwnedSoTheListCannotChangeUnderIt) {
  Workspace ws;
  ws.WriteUtf16(L"listview.ini", kKeptList);
  RunningApp app(ws);
  app.PostCommand(37827);
  HWND dialog = WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), app.Main());
  EXPECT_FALSE(IsWindowEnabled(app.Main()));  // no command can delete rows meanwhile
  PressButton(dialog, IDCANCEL);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  EXPECT_TRUE(IsWindowEnabled(app.Main()));
  app.Exit();
}
