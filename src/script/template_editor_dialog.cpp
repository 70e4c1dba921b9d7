#include "script/template_editor_dialog.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dialog_ids.h"
#include "script/template_transfer_win32.h"
#include "storage/decimal_text.h"
#include "win32/dialog_font.h"
#include "win32/callback_guard.h"
#include "win32/dialog_helpers.h"
#include "win32/dpi.h"
#include "win32/help_pages_win32.h"
#include "win32/window_text.h"

namespace tovrel {

namespace {

// The column list: its room in dialog units (about 790 x 370 pixels with
// the dialog's font), the code texts of its headers and their widths.
constexpr RECT kColumnListUnits{0, 0, 460, 250};
constexpr int kFirstHeaderText = 42;
constexpr int kHeaderWidths[kColumnListColumns] = {30, 80, 60, 70, 70, 30, 60, 60, 60, 60, 60, 60, 60};
// Room beside a cell's or a header's text, on both sides together.
constexpr int kCellMargin = 16;

// Code texts of the mode names: output 55-59, display 60-64, edit 65-70.
constexpr int kFirstOutputModeText = 55, kOutputModeCount = 5;
constexpr int kFirstDisplayModeText = 60, kDisplayModeCount = 5;
constexpr int kFirstEditModeText = 65, kEditModeCount = 6;

// Messages: the confirmation pairs, and the failures of import and export.
constexpr int kAskPaste = 39, kAskPasteAgain = 40;
constexpr int kAskClear = 41, kAskClearAgain = 42;
constexpr int kAskImport = 43, kAskImportAgain = 44, kImportFailed = 45;
constexpr int kExportRefused = 96;
constexpr int kAskExport = 46, kAskExportAgain = 47, kExportFailed = 48;

struct CellTip {
  HWND tip = nullptr;  // owned by the dialog
  int row = -1, column = -1;  // the cell the mouse was last seen on
};

struct EditorState {
  TemplateEditorData& data;
  ModeNames names;
  HWND list = nullptr;
  CellTip cellTip;
};

EditorState& State(HWND dialog) { return *reinterpret_cast<EditorState*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

ScriptTemplate& Edited(EditorState& state) {
  int& index = state.data.memory.editedIndex;
  if (index < 0 || index >= kTemplateCount) index = 0;
  return state.data.templates[index];
}

std::u16string CodeText(int number) { return U(LookUpText(TextTable::Code, number)); }

std::u16string ControlText(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(control, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  return std::u16string(text.begin(), text.end());
}

void SetControlText(HWND dialog, int id, const std::u16string& text) { SetDlgItemTextW(dialog, id, W(text)); }

bool Ticked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void Tick(HWND dialog, int id, bool ticked) { CheckDlgButton(dialog, id, ticked ? BST_CHECKED : BST_UNCHECKED); }

bool Ask(HWND dialog, int message) { return ShowMessage(dialog, message, 1) == IDYES; }

// ---- The column list ----

void AddRow(EditorState& state, int row) {
  const auto cells = ColumnRow(Edited(state).columns[row], state.names);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = const_cast<wchar_t*>(W(cells[0]));
  const int inserted = ListView_InsertItem(state.list, &item);
  for (int column = 1; column < kColumnListColumns; ++column) {
    ListView_SetItemText(state.list, inserted, column, const_cast<wchar_t*>(W(cells[column])));
  }
}

// Each column as wide as its header and cells need, the widest cut when
// all do not fit the list.
void FitColumns(const EditorState& state) {
  std::vector<int> needed;
  std::vector<int> least;
  for (int i = 0; i < kColumnListColumns; ++i) {
    HWND header = ListView_GetHeader(state.list);
    wchar_t text[64] = L"";
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    Header_GetItem(header, i, &item);
    const int margin = ScaleToDpi(kCellMargin);
    int width = ListView_GetStringWidth(state.list, text) + margin;
    least.push_back(width);
    const int rows = ListView_GetItemCount(state.list);
    for (int row = 0; row < rows; ++row) {
      wchar_t cell[300] = L"";
      ListView_GetItemText(state.list, row, i, cell, 300);
      width = std::max(width, ListView_GetStringWidth(state.list, cell) + margin);
    }
    needed.push_back(width);
  }
  RECT client{};
  GetClientRect(state.list, &client);
  const std::vector<int> widths = FitColumnWidths(needed, least, client.right);
  for (int i = 0; i < kColumnListColumns; ++i) ListView_SetColumnWidth(state.list, i, widths[static_cast<std::size_t>(i)]);
}

void FillList(EditorState& state) {
  ListView_DeleteAllItems(state.list);
  const int shown = ShownColumnCount(Edited(state));
  for (int row = 0; row < shown; ++row) AddRow(state, row);
  FitColumns(state);
}

int RowCount(const EditorState& state) { return ListView_GetItemCount(state.list); }

int SelectedRow(const EditorState& state) { return ListView_GetNextItem(state.list, -1, LVNI_SELECTED); }

void MarkRow(const EditorState& state, int row) {
  const UINT marks = LVIS_SELECTED | LVIS_FOCUSED | LVIS_DROPHILITED;
  ListView_SetItemState(state.list, row, marks, marks);
  ListView_EnsureVisible(state.list, row, FALSE);
}

// A cell whose text its column cuts shows the whole text as a tip while the
// mouse rests on it: the list's tooltip is given the text of the cell under
// the mouse whenever the mouse enters another cell (no text, no tip).
std::wstring CutCellText(HWND list, int row, int column) {
  wchar_t text[300] = L"";
  ListView_GetItemText(list, row, column, text, 300);
  RECT cell{};
  ListView_GetSubItemRect(list, row, column, LVIR_LABEL, &cell);
  const bool cut = ListView_GetStringWidth(list, text) + ScaleToDpi(kCellMargin) > cell.right - cell.left;
  return cut ? text : L"";
}

LRESULT CALLBACK ColumnListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  auto* tip = reinterpret_cast<CellTip*>(data);
  if (message == WM_MOUSEMOVE && tip->tip) {
    LVHITTESTINFO hit{};
    hit.pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ListView_SubItemHitTest(list, &hit);
    if (hit.iItem != tip->row || hit.iSubItem != tip->column) {
      tip->row = hit.iItem;
      tip->column = hit.iSubItem;
      std::wstring text = hit.iItem >= 0 ? CutCellText(list, hit.iItem, hit.iSubItem) : L"";
      TTTOOLINFOW tool{};
      tool.cbSize = sizeof tool;
      tool.hwnd = GetParent(list);
      tool.uId = reinterpret_cast<UINT_PTR>(list);
      tool.lpszText = text.data();
      SendMessageW(tip->tip, TTM_POP, 0, 0);
      SendMessageW(tip->tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
  } else if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(list, ColumnListProc, 1);
  }
  return DefSubclassProc(list, message, wParam, lParam);
}

void AddCellTips(HWND dialog, HWND list, CellTip* tip) {
  tip->tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0,
                             0, 0, dialog, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (tip->tip) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(list);
    tool.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(tip->tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tip->tip, TTM_SETMAXTIPWIDTH, 0, ScaleToDpi(600));
  }
  SetWindowSubclass(list, ColumnListProc, 1, reinterpret_cast<DWORD_PTR>(tip));
}

HWND CreateColumnList(HWND dialog, CellTip* tip) {
  RECT room = kColumnListUnits;
  MapDialogRect(dialog, &room);
  HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0,
                              room.right, room.bottom, dialog,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDL_TEMPLATE_COLUMNS)),
                              GetModuleHandleW(nullptr), nullptr);
  if (!list) return nullptr;
  ListView_SetExtendedListViewStyle(list, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  for (int i = 0; i < kColumnListColumns; ++i) {
    const std::u16string header = CodeText(kFirstHeaderText + i);
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = kHeaderWidths[i];
    column.pszText = const_cast<wchar_t*>(W(header));
    column.iSubItem = i;
    ListView_InsertColumn(list, i, &column);
  }
  // The list is first in the tab order, before the fields below it.
  SetWindowPos(list, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  AddCellTips(dialog, list, tip);
  return list;
}

// ---- The fields ----

ColumnFields ReadFields(HWND dialog) {
  ColumnFields fields;
  fields.inUse = Ticked(dialog, IDX_COLUMN_IN_USE);
  fields.itemText = ControlText(dialog, IDE_COLUMN_ITEM_TEXT);
  fields.outputMode = ControlText(dialog, IDC_COLUMN_OUTPUT_MODE);
  fields.displayMode = ControlText(dialog, IDC_COLUMN_DISPLAY_MODE);
  fields.editMode = ControlText(dialog, IDC_COLUMN_EDIT_MODE);
  fields.width = ControlText(dialog, IDE_COLUMN_WIDTH);
  for (int s = 0; s < static_cast<int>(TemplateColumn::kSelectTextCount); ++s) {
    fields.selectText[static_cast<std::size_t>(s)] = ControlText(dialog, IDE_COLUMN_SELECT_TEXT_0 + s);
  }
  fields.initialValue = ControlText(dialog, IDE_COLUMN_INITIAL_VALUE);
  fields.command = ControlText(dialog, IDE_COLUMN_COMMAND);
  return fields;
}

void ShowFields(HWND dialog, const ColumnFields& fields) {
  Tick(dialog, IDX_COLUMN_IN_USE, fields.inUse);
  SetControlText(dialog, IDE_COLUMN_ITEM_TEXT, fields.itemText);
  SetControlText(dialog, IDC_COLUMN_OUTPUT_MODE, fields.outputMode);
  SetControlText(dialog, IDC_COLUMN_DISPLAY_MODE, fields.displayMode);
  SetControlText(dialog, IDC_COLUMN_EDIT_MODE, fields.editMode);
  SetControlText(dialog, IDE_COLUMN_WIDTH, fields.width);
  for (int s = 0; s < static_cast<int>(TemplateColumn::kSelectTextCount); ++s) {
    SetControlText(dialog, IDE_COLUMN_SELECT_TEXT_0 + s, fields.selectText[static_cast<std::size_t>(s)]);
  }
  SetControlText(dialog, IDE_COLUMN_INITIAL_VALUE, fields.initialValue);
  SetControlText(dialog, IDE_COLUMN_COMMAND, fields.command);
}

// The edited template's in-use flag, number and title.
void ShowTemplate(HWND dialog) {
  EditorState& state = State(dialog);
  const ScriptTemplate& tmpl = Edited(state);
  Tick(dialog, IDX_TEMPLATE_IN_USE, tmpl.inUse != 0);
  SetControlText(dialog, IDT_TEMPLATE_NUMBER, u"No" + DecimalText(state.data.memory.editedIndex));
  SetControlText(dialog, IDE_TEMPLATE_TITLE, tmpl.title);
}

// Takes the title controls into the template; false (after saying why) when
// an in-use template has no title.
bool StoreTitleFields(HWND dialog) {
  const int refusal = StoreTitle(Edited(State(dialog)), Ticked(dialog, IDX_TEMPLATE_IN_USE),
                                 ControlText(dialog, IDE_TEMPLATE_TITLE));
  if (refusal == 0) return true;
  ShowMessage(dialog, refusal);
  SetFocus(GetDlgItem(dialog, IDE_TEMPLATE_TITLE));
  return false;
}

void SetTexts(HWND dialog) {
  SetCatalogText(dialog, TextTable::Dialog, 58);
  const struct {
    int id, text;
  } texts[] = {
      {IDB_COLUMN_NEW, 59},          {IDB_COLUMN_READ, 60},        {IDB_COLUMN_REWRITE, 61},
      {IDB_COLUMN_DELETE, 62},       {IDB_COLUMNS_COPY, 63},       {IDB_COLUMNS_PASTE, 64},
      {IDB_COLUMNS_CLEAR, 65},       {IDB_TEMPLATE_IMPORT, 66},    {IDB_TEMPLATE_EXPORT, 67},
      {IDX_COLUMN_IN_USE, 68},       {IDX_TEMPLATE_IN_USE, 68},    {IDT_COLUMN_ITEM_TEXT, 69},
      {IDT_COLUMN_OUTPUT_MODE, 70},  {IDT_COLUMN_WIDTH, 71},       {IDT_COLUMN_EDIT_MODE, 72},
      {IDT_COLUMN_SELECT_TEXT, 73},  {IDT_COLUMN_INITIAL_VALUE, 74}, {IDT_TEMPLATE_TITLE, 75},
      {IDT_COLUMN_COMMAND, 76},      {IDT_COLUMN_DISPLAY_MODE, 77}, {IDB_EDITOR_HELP, 2},
      {IDB_EDITOR_CLOSE, 3},
  };
  for (const auto& t : texts) SetCatalogItemText(dialog, t.id, TextTable::Dialog, t.text);
}

void FillChoices(HWND dialog, int comboId, int firstText, int count, std::vector<std::u16string>& names) {
  HWND combo = GetDlgItem(dialog, comboId);
  ComboBox_ResetContent(combo);
  names.clear();
  for (int i = 0; i < count; ++i) {
    names.push_back(CodeText(firstText + i));
    ComboBox_AddString(combo, W(names.back()));
  }
  // The names are longer than the field: the drop-down shows them whole.
  FitDroppedWidth(combo);
}

BOOL OnInitDialog(HWND dialog, HWND, LPARAM param) {
  SetWindowLongPtrW(dialog, DWLP_USER, param);
  EditorState& state = State(dialog);
  CenterOnOwner(dialog);
  SetTexts(dialog);
  state.list = CreateColumnList(dialog, &state.cellTip);
  FillChoices(dialog, IDC_COLUMN_OUTPUT_MODE, kFirstOutputModeText, kOutputModeCount, state.names.output);
  FillChoices(dialog, IDC_COLUMN_DISPLAY_MODE, kFirstDisplayModeText, kDisplayModeCount, state.names.display);
  FillChoices(dialog, IDC_COLUMN_EDIT_MODE, kFirstEditModeText, kEditModeCount, state.names.edit);
  ShowTemplate(dialog);
  FillList(state);
  return TRUE;
}

// ---- Commands ----

void OnReadColumn(HWND dialog, EditorState& state) {
  const int row = SelectedRow(state);
  if (row < 0) {
    ShowMessage(dialog, kMessageNoRowSelected);
    return;
  }
  ShowFields(dialog, FieldsFromColumn(Edited(state).columns[row], state.names));
}

void OnNewColumn(HWND dialog, EditorState& state) {
  const int rows = RowCount(state);
  const int refusal = AddColumn(Edited(state), rows, ColumnFromFields(ReadFields(dialog)));
  if (refusal != 0) {
    ShowMessage(dialog, refusal);
    return;
  }
  AddRow(state, rows);
}

void OnRewriteColumn(HWND dialog, EditorState& state) {
  const int row = SelectedRow(state);
  if (row < 0) {
    ShowMessage(dialog, kMessageNoRowSelected);
    return;
  }
  Edited(state).columns[row] = ColumnFromFields(ReadFields(dialog));
  ListView_DeleteItem(state.list, row);
  AddRow(state, row);
}

void OnDeleteColumn(HWND dialog, EditorState& state) {
  const int row = SelectedRow(state);
  if (row < 0) {
    ShowMessage(dialog, kMessageNoRowSelected);
    return;
  }
  DeleteColumn(Edited(state), row, RowCount(state));
  ListView_DeleteItem(state.list, row);
}

void OnMoveColumn(HWND dialog, EditorState& state, int step) {
  const int row = SelectedRow(state);
  if (row < 0) {
    ShowMessage(dialog, kMessageNoRowSelected);
    return;
  }
  const int moved = MoveColumn(Edited(state), row, RowCount(state), step);
  // The title fields keep what is typed there and not yet stored.
  FillList(state);
  MarkRow(state, moved);
}

void OnStepTemplate(HWND dialog, EditorState& state, int step) {
  if (!StoreTitleFields(dialog)) return;
  state.data.memory.editedIndex = StepTemplate(state.data.memory.editedIndex, step);
  ShowTemplate(dialog);
  FillList(state);
}

void OnPaste(HWND dialog, EditorState& state) {
  if (!Ask(dialog, kAskPaste) || Ask(dialog, kAskPasteAgain)) return;
  Edited(state).columns = state.data.memory.clipboard;
  FillList(state);
}

void OnClear(HWND dialog, EditorState& state) {
  if (!Ask(dialog, kAskClear) || Ask(dialog, kAskClearAgain)) return;
  ClearColumns(Edited(state));
  FillList(state);
}

void OnImport(HWND dialog, EditorState& state) {
  if (!Ask(dialog, kAskImport) || Ask(dialog, kAskImportAgain)) return;
  std::u16string path;
  const TransferOutcome outcome = ImportTemplate(dialog, state.data.workingDirectory, Edited(state), path);
  if (outcome == TransferOutcome::DialogFailed) return;
  if (outcome != TransferOutcome::Done) {
    ShowMessage(dialog, kImportFailed);
    return;
  }
  state.data.memory.lastTemplateFile = path;
  FillList(state);
  Tick(dialog, IDX_TEMPLATE_IN_USE, true);
  SetControlText(dialog, IDE_TEMPLATE_TITLE, TitleFromPath(path));
}

void OnExport(HWND dialog, EditorState& state) {
  if (!Ask(dialog, kAskExport) || !Ask(dialog, kAskExportAgain)) return;
  std::u16string path;
  std::u16string error;
  const TransferOutcome outcome = ExportTemplate(dialog, state.data.workingDirectory, Edited(state), path, error);
  if (!path.empty()) state.data.memory.lastTemplateFile = path;
  if (outcome == TransferOutcome::Cancelled) ShowMessage(dialog, kExportFailed);
  if (outcome == TransferOutcome::FileFailed) ShowMessageWithDetail(dialog, kExportFailed, error);
  if (outcome == TransferOutcome::Refused) ShowMessageWithDetail(dialog, kExportRefused, path);
}

void OnCloseButton(HWND dialog) {
  if (StoreTitleFields(dialog)) EndDialog(dialog, IDB_EDITOR_CLOSE);
}

// Enter and Esc reach here as IDOK and IDCANCEL, which do nothing.
void OnCommand(HWND dialog, int id, HWND, UINT) {
  EditorState& state = State(dialog);
  switch (id) {
    case IDB_COLUMN_READ: OnReadColumn(dialog, state); break;
    case IDB_COLUMN_NEW: OnNewColumn(dialog, state); break;
    case IDB_COLUMN_REWRITE: OnRewriteColumn(dialog, state); break;
    case IDB_COLUMN_DELETE: OnDeleteColumn(dialog, state); break;
    case IDB_COLUMN_UP: OnMoveColumn(dialog, state, -1); break;
    case IDB_COLUMN_DOWN: OnMoveColumn(dialog, state, +1); break;
    case IDB_TEMPLATE_PREVIOUS: OnStepTemplate(dialog, state, -1); break;
    case IDB_TEMPLATE_NEXT: OnStepTemplate(dialog, state, +1); break;
    case IDB_COLUMNS_COPY: state.data.memory.clipboard = Edited(state).columns; break;
    case IDB_COLUMNS_PASTE: OnPaste(dialog, state); break;
    case IDB_COLUMNS_CLEAR: OnClear(dialog, state); break;
    case IDB_TEMPLATE_IMPORT: OnImport(dialog, state); break;
    case IDB_TEMPLATE_EXPORT: OnExport(dialog, state); break;
    case IDB_EDITOR_HELP: OpenHelpPage(dialog, HelpTopic::TemplateEditor); break;
    case IDB_EDITOR_CLOSE: OnCloseButton(dialog); return;
    default: return;
  }
  if (IsWindow(dialog)) FitColumns(state);
}

// The close box leaves without taking the title.
void OnClose(HWND dialog) { EndDialog(dialog, IDCANCEL); }

constexpr DLGPROC TemplateEditorProc = StandardDialogProc<OnInitDialog, OnCommand, OnClose>;

}  // namespace

void RunTemplateEditorDialog(HWND owner, TemplateEditorData& data) {
  EditorState state{data, {}, nullptr, {}};
  ShowDialogInLanguage(owner, IDD_TEMPLATE_EDITOR, TemplateEditorProc,
                  reinterpret_cast<LPARAM>(&state));
}

}  // namespace tovrel
