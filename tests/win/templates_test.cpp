// Templates on the real dialogs: the selection by title, the template editor
// and its two-step confirmations, import and export through the real file
// dialogs, the template file written when the editor closes, and the old
// template files converted.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app_harness.h"
#include "storage/ansi_code_page_win32.h"
#include "storage/ini_file.h"
#include "storage/old_templates.h"

using namespace tovrel::test;

namespace {

constexpr int kTemplateSelection = 37843;
constexpr int kConvertOldFiles = 54;
constexpr int kLanguage = 55;
constexpr int kFileNameEdit = 1148;  // the file name field of the common open and save dialogs

// Selection dialog controls.
constexpr int kTitleCombo = 1401, kOk = 1001, kCancel = 1002, kDetails = 1004;
// Editor controls.
constexpr int kColumnList = 902, kColumnInUse = 1301, kItemText = 1101, kOutputMode = 1401,
              kDisplayMode = 1402, kEditMode = 1403, kWidth = 1102, kInitialValue = 1108, kCommand = 1109,
              kTemplateInUse = 1302, kTemplateTitle = 1110, kTemplateNumber = 1501;
constexpr int kNew = 1004, kRead = 1005, kRewrite = 1006, kDelete = 1007, kUp = 1008, kNext = 1011,
              kCopy = 1012, kPaste = 1013, kClear = 1014, kImport = 1015, kExport = 1016, kClose = 1002;

std::wstring Dialog(int n) { return CatalogText(L"dialog", L"No." + std::to_wstring(n) + L":dialog-j"); }
std::wstring Code(int n) { return CatalogText(L"code", L"No." + std::to_wstring(n) + L":code-j"); }

// Waits for message `number`, checks its body, answers it and waits until it has gone.
void Answer(int number, int button) {
  const std::wstring n = std::to_wstring(number);
  HWND box = WaitForDialog(CatalogText(L"meg", L"No." + n + L":meg-jb"));
  ASSERT_NE(box, nullptr) << "message " << number;
  EXPECT_EQ(MessageBoxText(box).rfind(CatalogText(L"meg", L"No." + n + L":meg-ja"), 0), 0u) << number;
  PressButton(box, button);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
}

std::wstring Header(HWND list, int column) {
  wchar_t text[64] = L"";
  LVCOLUMNW c{};
  c.mask = LVCF_TEXT;
  c.pszText = text;
  c.cchTextMax = 64;
  if (!SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&c))) return L"<none>";
  return text;
}

int HeaderCount(HWND list) {
  return static_cast<int>(
      SendMessageW(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), HDM_GETITEMCOUNT, 0, 0));
}

void SelectRow(HWND list, int row) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = 0;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

int SelectedRow(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)); }

std::u16string Value(const std::wstring& path, const char16_t* section, const char16_t* key) {
  const tovrel::IniFile file(std::u16string(path.begin(), path.end()), tovrel::SystemAnsiCodePage());
  return file.GetString(section, key, u"<missing>", 300);
}

// A Japanese template file: 0 and 2 share a title, 3 is empty, 4 follows the gap.
const wchar_t kTemplates[] =
    L"[Title]\r\nt0=Alpha\r\nt1=Beta\r\nt2=Alpha\r\nt4=Hidden\r\n"
    L"[listview_dt]\r\n"
    L"0,0.m=1\r\n0,0.t=A0\r\n0,0.p=1\r\n0,0.w=100\r\n0,1.m=1\r\n0,1.t=A1\r\n0,1.p=4\r\n0,1.w=60\r\n"
    L"0,2.m=1\r\n0,2.t=A2\r\n0,2.p=4\r\n0,2.w=60\r\n"
    L"2,0.m=1\r\n2,0.t=Dup\r\n2,0.p=1\r\n"
    L"4,0.m=1\r\n4,0.t=H0\r\n4,0.p=1\r\n4,1.m=1\r\n4,1.t=Hidden col\r\n4,1.p=0\r\n4,2.m=1\r\n4,2.t=H2\r\n4,2.p=2\r\n";

HWND OpenSelection(RunningApp& app) {
  app.PostCommand(kTemplateSelection);
  return WaitForDialog(Dialog(26));
}

HWND OpenEditor(RunningApp& app, HWND& selection) {
  selection = OpenSelection(app);
  if (!selection) return nullptr;
  PressButton(selection, kDetails);
  return WaitForDialog(Dialog(58));
}

// Leaves the selection unchanged (Cancel, answered Yes).
void CancelSelection(HWND selection) {
  PressButton(selection, kCancel);
  Answer(36, IDYES);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(selection); }));
}

void CloseEditor(HWND editor) {
  PressButton(editor, kClose);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(editor); }));
}

void TypeInto(HWND dialog, int id, const std::wstring& text) { SetDlgItemTextW(dialog, id, text.c_str()); }

std::wstring ListedTitle(HWND selection, int index) {
  wchar_t text[300] = L"";
  if (SendDlgItemMessageW(selection, kTitleCombo, CB_GETLBTEXTLEN, index, 0) >= 300) return L"<long>";
  SendDlgItemMessageW(selection, kTitleCombo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
  return text;
}

// The selection lists its titles anew once the template file has been
// written after the editor; only then is the file read here (a read at the
// moment the file is replaced would make the write fail).
bool WaitUntilListed(HWND selection, int index, const std::wstring& title) {
  return WaitUntil([&] { return ListedTitle(selection, index) == title; });
}

// Answers the common file dialog with `typed` in its file name field.
void AnswerFileDialog(const std::wstring& caption, const std::wstring& typed) {
  HWND dialog = WaitForDialog(caption);
  ASSERT_NE(dialog, nullptr);
  SetDlgItemTextW(dialog, kFileNameEdit, typed.c_str());
  PressButton(dialog, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
}

}  // namespace

TEST(TemplateSelection, ATitleIsChosenByItsExactTextAndTheListGetsItsColumns) {
  Workspace ws;
  ws.WriteUtf16(L"tovrl_set_j.ini", kTemplates);
  RunningApp app(ws);
  HWND list = app.Child(300);
  HWND dialog = OpenSelection(app);
  ASSERT_NE(dialog, nullptr);
  HWND combo = GetDlgItem(dialog, kTitleCombo);
  // Japanese: the list stops at the first empty title; the active template's title is in the field.
  EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(ItemText(dialog, kTitleCombo), L"Beta");
  EXPECT_EQ(ItemText(dialog, kOk), Dialog(0));
  EXPECT_EQ(ItemText(dialog, kDetails), Dialog(28));

  // Enter and Esc in the title field do nothing: the OK that follows them
  // still finds the dialog open and says the field is empty.
  HWND field = GetWindow(combo, GW_CHILD);
  ASSERT_NE(field, nullptr);
  TypeInto(dialog, kTitleCombo, L"");
  PostMessageW(field, WM_KEYDOWN, VK_RETURN, 0);
  PostMessageW(field, WM_KEYDOWN, VK_ESCAPE, 0);
  PressButton(dialog, kOk);
  Answer(34, IDOK);
  TypeInto(dialog, kTitleCombo, L"alpha");  // case matters
  PressButton(dialog, kOk);
  Answer(35, IDOK);
  // Cancel answered No keeps the dialog.
  PressButton(dialog, kCancel);
  Answer(36, IDNO);
  ASSERT_TRUE(IsWindow(dialog));

  // A title after the gap, not in the list, chosen by typing it.
  TypeInto(dialog, kTitleCombo, L"Hidden");
  PressButton(dialog, kOk);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  app.Settle();
  ASSERT_EQ(HeaderCount(list), 2);
  EXPECT_EQ(Header(list, 0), L"H0");
  EXPECT_EQ(Header(list, 1), L"H2");

  // Two templates titled "Alpha": the lower index wins.
  dialog = OpenSelection(app);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ItemText(dialog, kTitleCombo), L"Hidden");
  TypeInto(dialog, kTitleCombo, L"Alpha");
  PressButton(dialog, kOk);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  app.Settle();
  ASSERT_EQ(HeaderCount(list), 3);
  EXPECT_EQ(Header(list, 0), L"A0");

  // Cancel answered Yes changes nothing.
  dialog = OpenSelection(app);
  ASSERT_NE(dialog, nullptr);
  TypeInto(dialog, kTitleCombo, L"Beta");
  CancelSelection(dialog);
  app.Exit();
  EXPECT_EQ(Value(ws.Path(L"Tovrel.ini"), u"setting", u"autocad_type"), u"0");
}

TEST(TemplateEditor, ColumnsAreBuiltWithTheButtonsAndWrittenWhenTheEditorCloses) {
  Workspace ws;
  ws.WriteUtf16(L"tovrl_set_j.ini", kTemplates);
  RunningApp app(ws);
  HWND selection = nullptr;
  HWND editor = OpenEditor(app, selection);
  ASSERT_NE(editor, nullptr);
  HWND list = GetDlgItem(editor, kColumnList);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(Header(list, 0), Code(42));
  EXPECT_EQ(ItemText(editor, kTemplateNumber), L"No0");
  EXPECT_EQ(ItemText(editor, kTemplateTitle), L"Alpha");
  ASSERT_EQ(ListRowCount(list), 3);
  EXPECT_EQ(ListCell(list, 0, 0), L"ON");
  EXPECT_EQ(ListCell(list, 0, 3), Code(61));
  EXPECT_EQ(ListCell(list, 0, 5), L"100");

  // Read and Rewrite need a row.
  PressButton(editor, kRead);
  Answer(37, IDOK);

  // New: the mode numbers and the width are read from the start of their texts.
  CheckDlgButton(editor, kColumnInUse, BST_CHECKED);
  TypeInto(editor, kItemText, L"Paper");
  TypeInto(editor, kOutputMode, Code(59));
  TypeInto(editor, kDisplayMode, L"4");
  TypeInto(editor, kEditMode, L"9 typed");
  TypeInto(editor, kWidth, L"120abc");
  TypeInto(editor, kInitialValue, L"A3");
  TypeInto(editor, kCommand, L"-PLOT");
  PressButton(editor, kNew);
  ASSERT_TRUE(WaitUntil([&] { return ListRowCount(list) == 4; }));
  EXPECT_EQ(ListCell(list, 3, 1), L"Paper");
  EXPECT_EQ(ListCell(list, 3, 2), Code(59));
  EXPECT_EQ(ListCell(list, 3, 4), L"Error");
  EXPECT_EQ(ListCell(list, 3, 5), L"120");

  // Read puts a row into the fields; Rewrite stores them back.
  SelectRow(list, 1);
  PressButton(editor, kRead);
  ASSERT_TRUE(WaitUntil([&] { return ItemText(editor, kItemText) == L"A1"; }));
  EXPECT_EQ(ItemText(editor, kDisplayMode), Code(64));
  EXPECT_EQ(ItemText(editor, kWidth), L"60");
  TypeInto(editor, kItemText, L"A1 new");
  PressButton(editor, kRewrite);
  ASSERT_TRUE(WaitUntil([&] { return ListCell(list, 1, 1) == L"A1 new"; }));

  // Up moves the row and keeps it selected, and the title typed meanwhile;
  // Delete closes the gap.
  TypeInto(editor, kTemplateTitle, L"Typed");
  SelectRow(list, 3);
  PressButton(editor, kUp);
  ASSERT_TRUE(WaitUntil([&] { return ListCell(list, 2, 1) == L"Paper"; }));
  EXPECT_EQ(SelectedRow(list), 2);
  EXPECT_EQ(ItemText(editor, kTemplateTitle), L"Typed");
  SelectRow(list, 0);
  PressButton(editor, kDelete);
  ASSERT_TRUE(WaitUntil([&] { return ListRowCount(list) == 3; }));
  EXPECT_EQ(ListCell(list, 0, 1), L"A1 new");

  // Copy, then to template 1, whose title is kept by the step.
  PressButton(editor, kCopy);
  PressButton(editor, kNext);
  ASSERT_TRUE(WaitUntil([&] { return ItemText(editor, kTemplateNumber) == L"No1"; }));
  EXPECT_EQ(ListRowCount(list), 0);
  // Paste: No to the first question, or Yes to the second, changes nothing.
  PressButton(editor, kPaste);
  Answer(39, IDNO);
  PressButton(editor, kPaste);
  Answer(39, IDYES);
  Answer(40, IDYES);
  EXPECT_EQ(ListRowCount(list), 0);
  PressButton(editor, kPaste);
  Answer(39, IDYES);
  Answer(40, IDNO);
  ASSERT_TRUE(WaitUntil([&] { return ListRowCount(list) == 3; }));
  EXPECT_EQ(ListCell(list, 2, 1), L"A2");
  // Clear empties the template, even after a Copy.
  PressButton(editor, kClear);
  Answer(41, IDYES);
  Answer(42, IDNO);
  ASSERT_TRUE(WaitUntil([&] { return ListRowCount(list) == 0; }));
  PressButton(editor, kPaste);
  Answer(39, IDYES);
  Answer(40, IDNO);
  ASSERT_TRUE(WaitUntil([&] { return ListRowCount(list) == 3; }));

  // An in-use template needs a title: Close is refused until it has one.
  TypeInto(editor, kTemplateTitle, L"");
  CheckDlgButton(editor, kTemplateInUse, BST_CHECKED);
  PressButton(editor, kClose);
  Answer(88, IDOK);
  ASSERT_TRUE(IsWindow(editor));
  TypeInto(editor, kTemplateTitle, L"Copied");
  CloseEditor(editor);

  // The template file is written at once, and the selection lists the new title.
  ASSERT_TRUE(WaitUntilListed(selection, 1, L"Copied"));
  const std::wstring file = ws.Path(L"tovrl_set_j.ini");
  EXPECT_EQ(Value(file, u"Title", u"t1"), u"Copied");
  EXPECT_EQ(Value(file, u"listview_dt", u"0,0.t"), u"A1 new");
  EXPECT_EQ(Value(file, u"listview_dt", u"0,1.t"), u"Paper");
  EXPECT_EQ(Value(file, u"listview_dt", u"0,2.t"), u"A2");
  EXPECT_EQ(Value(file, u"listview_dt", u"0,1.w"), u"120");
  EXPECT_EQ(Value(file, u"listview_dt", u"0,1.o"), u"4");
  EXPECT_EQ(Value(file, u"listview_dt", u"0,1.e"), u"9");
  EXPECT_EQ(Value(file, u"listview_dt", u"0,3.m"), u"<missing>");
  EXPECT_EQ(Value(file, u"listview_dt", u"1,2.t"), u"A2");
  EXPECT_EQ(SendDlgItemMessageW(selection, kTitleCombo, CB_GETCOUNT, 0, 0), 3);
  CancelSelection(selection);

  // The editor opens again on the template it showed last.
  editor = OpenEditor(app, selection);
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(ItemText(editor, kTemplateNumber), L"No1");
  PostMessageW(editor, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(editor); }));
  CancelSelection(selection);
  app.Exit();
}

// The text of our tip of the column list, whichever tooltip of the editor holds it.
std::wstring CellTipText(HWND editor, HWND list) {
  std::wstring found;
  for (HWND tip = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); tip;
       tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) {
    wchar_t text[300] = L"";
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = editor;
    tool.uId = reinterpret_cast<UINT_PTR>(list);
    tool.lpszText = text;
    if (GetWindow(tip, GW_OWNER) == editor && SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool))) {
      tool.lpszText = text;
      SendMessageW(tip, TTM_GETTEXTW, 300, reinterpret_cast<LPARAM>(&tool));
      found = text;
    }
  }
  return found;
}

// The shipped templates' columns are sized within the list; a cell the list
// cuts shows its whole text as a tip when the mouse rests on it, a whole one none.
TEST(TemplateEditor, ColumnsFitTheListAndACutCellShowsItsWholeTextAsATip) {
  Workspace ws;
  RunningApp app(ws);
  HWND selection = nullptr;
  HWND editor = OpenEditor(app, selection);
  ASSERT_NE(editor, nullptr);
  HWND list = GetDlgItem(editor, kColumnList);
  RECT client{};
  GetClientRect(list, &client);
  int total = 0;
  for (int c = 0; c < 13; ++c) total += static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, c, 0));
  EXPECT_LE(total, client.right);
  bool sawCut = false, sawWhole = false;
  for (int row = 0; row < ListRowCount(list); ++row) {
    for (int column = 1; column < 13; ++column) {
      const std::wstring text = ListCell(list, row, column);
      RECT cell{};
      ListView_GetSubItemRect(list, row, column, LVIR_LABEL, &cell);
      // Plainly cut or plainly whole with the list's margins; none in between.
      const int width = ListView_GetStringWidth(list, text.c_str()), room = cell.right - cell.left;
      const bool cut = width > room;
      if (text.empty() || (!cut && width > room - 32) || (cut ? sawCut : sawWhole)) continue;
      SendMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
      EXPECT_EQ(CellTipText(editor, list), cut ? text : L"") << row << "," << column;
      (cut ? sawCut : sawWhole) = true;
    }
  }
  EXPECT_TRUE(sawCut && sawWhole);
  CloseEditor(editor);
  CancelSelection(selection);
  app.Exit();
}

TEST(TemplateEditor, ExportThenImportThroughTheFileDialogs) {
  Workspace ws;
  ws.WriteUtf16(L"tovrl_set_j.ini", kTemplates);
  // An earlier export with five columns, and a section of its own.
  ws.WriteUtf16(L"plot.dat",
                L"[mine]\r\nx=1\r\n[listview_dt]\r\n0.m=1\r\n0.t=old\r\n1.m=1\r\n2.m=1\r\n3.m=1\r\n4.m=1\r\n4.t=old4\r\n");
  RunningApp app(ws);
  HWND selection = nullptr;
  HWND editor = OpenEditor(app, selection);
  ASSERT_NE(editor, nullptr);
  HWND list = GetDlgItem(editor, kColumnList);

  // Export: No to the second question writes nothing; Yes to both writes.
  PressButton(editor, kExport);
  Answer(46, IDYES);
  Answer(47, IDNO);
  PressButton(editor, kExport);
  Answer(46, IDYES);
  Answer(47, IDYES);
  AnswerFileDialog(Code(29), L"plot.dat");
  const std::wstring exported = ws.Path(L"plot.dat");
  // A button pressed now is handled once the export has been written.
  PressButton(editor, kRead);
  Answer(37, IDOK);
  EXPECT_EQ(Value(exported, u"listview_dt", u"0.t"), u"A0");
  EXPECT_EQ(Value(exported, u"listview_dt", u"2.t"), u"A2");
  EXPECT_EQ(Value(exported, u"listview_dt", u"4.t"), u"<missing>");  // not back from the earlier export
  EXPECT_EQ(Value(exported, u"mine", u"x"), u"1");

  // Import into template 1: three columns, and the file's name as the title.
  PressButton(editor, kNext);
  ASSERT_TRUE(WaitUntil([&] { return ItemText(editor, kTemplateNumber) == L"No1"; }));
  PressButton(editor, kImport);
  Answer(43, IDYES);
  Answer(44, IDNO);
  AnswerFileDialog(Code(28), L"plot.dat");
  ASSERT_TRUE(WaitUntil([&] { return ListRowCount(list) == 3; }));
  EXPECT_EQ(ListCell(list, 2, 1), L"A2");
  EXPECT_EQ(ItemText(editor, kTemplateTitle), L"plot");
  EXPECT_EQ(IsDlgButtonChecked(editor, kTemplateInUse), BST_CHECKED);

  // A file that does not exist: message 45, the columns stay.
  PressButton(editor, kImport);
  Answer(43, IDYES);
  Answer(44, IDNO);
  AnswerFileDialog(Code(28), L"missing.dat");
  Answer(45, IDOK);
  EXPECT_EQ(ListRowCount(list), 3);
  // The template file of all templates is never exported onto.
  const std::wstring templateFile = ws.Path(L"tovrl_set_j.ini");
  const std::u16string before = Value(templateFile, u"listview_dt", u"0,0.t");
  PressButton(editor, kExport);
  Answer(46, IDYES);
  Answer(47, IDYES);
  AnswerFileDialog(Code(29), L"tovrl_set_j.ini");
  Answer(96, IDOK);
  EXPECT_EQ(Value(templateFile, u"listview_dt", u"0,0.t"), before);
  EXPECT_EQ(Value(templateFile, u"listview_dt", u"0.m"), u"<missing>");
  CloseEditor(editor);
  ASSERT_TRUE(WaitUntilListed(selection, 1, L"plot"));
  EXPECT_EQ(Value(ws.Path(L"tovrl_set_j.ini"), u"Title", u"t1"), u"plot");
  CancelSelection(selection);
  app.Exit();
}

TEST(TemplateEditor, ChangesNotYetWrittenAreWrittenBeforeAnotherLanguagesTemplatesLoad) {
  Workspace ws;
  ws.WriteUtf16(L"tovrl_set_j.ini", kTemplates);
  RunningApp app(ws);
  // Every temporary name the template file could be written under is taken.
  const auto block = [&](bool on) {
    for (int i = 0; i < 10; ++i) {
      const std::wstring name = ws.Path(L"tovrl_set_j.ini.tmp" + std::to_wstring(i) + L"~");
      if (on) CreateDirectoryW(name.c_str(), nullptr);
      else RemoveDirectoryW(name.c_str());
    }
  };
  block(true);
  HWND selection = nullptr;
  HWND editor = OpenEditor(app, selection);
  ASSERT_NE(editor, nullptr);
  TypeInto(editor, kTemplateTitle, L"Renamed");
  CloseEditor(editor);
  Answer(53, IDOK);
  CancelSelection(selection);

  const auto chooseLanguage = [&](int language) {
    app.PostCommand(kLanguage);
    HWND dialog = WaitForDialog(L"setup of language");
    ASSERT_NE(dialog, nullptr);
    SendDlgItemMessageW(dialog, 1401, CB_SETCURSEL, language, 0);
    PressButton(dialog, 1001);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  };
  // Still not writable: said, and the language stays.
  chooseLanguage(1);
  Answer(53, IDOK);
  app.Settle();
  EXPECT_EQ(Value(ws.Path(L"tovrl_set_j.ini"), u"Title", u"t0"), u"Alpha");
  block(false);
  chooseLanguage(1);
  app.Settle();
  EXPECT_EQ(Value(ws.Path(L"tovrl_set_j.ini"), u"Title", u"t0"), u"Renamed");
  app.Exit();
  EXPECT_EQ(Value(ws.Path(L"Tovrel.ini"), u"setting", u"moji_type"), u"1");
}

namespace {

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
}

std::string OldTitles() {
  std::string file = "1\r\nOld plot\r\n0\r\nOff\r\n";
  for (int t = 2; t < 20; ++t) file += "0\r\n\r\n";
  return file;
}

}  // namespace

TEST(OldFiles, ThePairInTheChosenFilesFolderIsConvertedAndWritten) {
  Workspace ws;
  Workspace old;
  WriteBytes(old.Path(L"tovrl_set1.ini"), OldTitles());
  RunningApp app(ws);

  // Refused while the list has rows, whose columns it would change.
  std::wstring name = L"a.dwg";
  LVITEMW row{};
  row.mask = LVIF_TEXT;
  row.pszText = name.data();
  SendMessageW(app.Child(300), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row));
  app.PostCommand(kConvertOldFiles);
  Answer(16, IDOK);
  SendMessageW(app.Child(300), LVM_DELETEALLITEMS, 0, 0);

  // Only the title file: message 18, then 17; nothing is written yet.
  app.PostCommand(kConvertOldFiles);
  AnswerFileDialog(Code(27), old.Path(L"tovrl_set1.ini"));
  Answer(18, IDOK);
  Answer(17, IDOK);
  app.Settle();
  EXPECT_NE(Value(ws.Path(L"tovrl_set_j.ini"), u"Title", u"t0"), u"Old plot");

  // Choosing the column file converts the folder's pair.
  WriteBytes(old.Path(L"tovrl_set2.ini"), "0;0;Name;1;1;0;150;;;;;;;\r\n0;1;Paper;4;4;2;60;A4;A3;;;;A3;\r\n\r\n0;2;x\r\n");
  app.PostCommand(kConvertOldFiles);
  AnswerFileDialog(Code(27), old.Path(L"tovrl_set2.ini"));
  app.Settle();
  const std::wstring file = ws.Path(L"tovrl_set_j.ini");
  EXPECT_EQ(Value(file, u"Title", u"t0"), u"Old plot");
  EXPECT_EQ(Value(file, u"Title", u"t1"), u"<missing>");
  EXPECT_EQ(Value(file, u"listview_dt", u"0,1.s1"), u"A3");
  EXPECT_EQ(Value(file, u"listview_dt", u"0,2.m"), u"<missing>");  // after the empty line
  EXPECT_EQ(Value(file, u"listview_dt", u"1,0.m"), u"<missing>");  // the shipped templates are gone

  // A cancelled dialog: message 17.
  app.PostCommand(kConvertOldFiles);
  HWND dialog = WaitForDialog(Code(27));
  ASSERT_NE(dialog, nullptr);
  PressButton(dialog, IDCANCEL);
  Answer(17, IDOK);
  app.Exit();
}

// Code page 932 as Windows has it, whatever the system's own code page.
class Cp932 final : public tovrel::AnsiCodePage {
public:
  std::u16string ToUtf16(std::string_view bytes) const override {
    const int n = MultiByteToWideChar(932, MB_PRECOMPOSED, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(932, MB_PRECOMPOSED, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    return std::u16string(out.begin(), out.end());
  }
  std::string FromUtf16(std::u16string_view) const override { return {}; }
};

TEST(OldFiles, JapaneseFilesDecodeThroughTheRealCodePage932) {
  auto set = std::make_unique<tovrel::TemplateSet>();
  // "用紙;横;表ソ", and the title "図面".
  tovrel::ReadOldColumns("0;0;\x97\x70\x8e\x86;4;4;2;60;\x89\xa1;;;;;\x95\x5c\x83\x5c;\r\n", Cp932{}, *set);
  const tovrel::TemplateColumn& c = (*set)[0].columns[0];
  EXPECT_EQ(c.itemText, u"\u7528\u7d19");
  EXPECT_EQ(c.selectText[0], u"\u6a2a");
  EXPECT_EQ(c.initialValue, u"\u8868\u30bd");
  tovrel::ReadOldTitles("1\r\n\x90\x7d\x96\xca\r\n", Cp932{}, *set);
  EXPECT_EQ((*set)[0].title, u"\u56f3\u9762");
  EXPECT_EQ((*set)[0].inUse, 1);
}
