#include "drawing_list/cell_editor_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "drawing_list/list_columns.h"
#include "drawing_list/list_view_row_store_win32.h"
#include "drawing_list/row_editing.h"
#include "storage/file_system_win32.h"
#include "win32/dpi.h"
#include "win32/dialog_helpers.h"
#include "win32/window_text.h"

namespace tovrel {

namespace {

constexpr UINT kCommitDelayMs = 200;
constexpr int kFieldHeight = 16;
constexpr int kDropDownHeight = 80;

// The whole text of the editor, however long.
std::u16string TextOfWindow(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return std::u16string(text.begin(), text.end());
}

// Enter commits the editor and Esc cancels it; the keys reach the field, or
// the edit field inside the drop-down.
// The subclass id tells the field (kInField) from the drop-down's own edit.
constexpr UINT_PTR kInField = 1;
constexpr UINT_PTR kInDropDown = 2;

LRESULT CALLBACK EditorKeys(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR where,
                            DWORD_PTR editor) {
  const bool enter = wParam == VK_RETURN;
  const bool escape = wParam == VK_ESCAPE;
  if (message == WM_KEYDOWN && (enter || escape)) {
    // Esc while the drop-down's list is open only closes the list.
    HWND combo = GetParent(window);
    const bool listOpen = where == kInDropDown && SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0;
    if (escape && listOpen) return DefSubclassProc(window, message, wParam, lParam);
    if (listOpen) SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    reinterpret_cast<CellEditor*>(editor)->Finish(enter);
    return 0;
  }
  // The characters of the two keys would only beep.
  if (message == WM_CHAR && (wParam == L'\r' || wParam == 0x1b)) return 0;
  return DefSubclassProc(window, message, wParam, lParam);
}

// The cell's rectangle in the main window's client area.
RECT CellRect(HWND list, HWND main, int row, int column) {
  RECT bounds{};
  bounds.left = LVIR_BOUNDS;
  SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds));
  int x = bounds.left;
  for (int j = 0; j < column; ++j) x += static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, j, 0));
  RECT cell{x, bounds.top, x + static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0)),
            bounds.bottom};
  MapWindowPoints(list, main, reinterpret_cast<POINT*>(&cell), 2);
  return cell;
}

HWND CreateEditor(HWND main, int id, const RECT& cell, bool field, HFONT font) {
  const DWORD style = field ? WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL
                            : WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
  const int height =
      field ? std::max<int>(ScaleToDpi(kFieldHeight), cell.bottom - cell.top) : ScaleToDpi(kDropDownHeight);
  HWND editor = CreateWindowExW(
      0, field ? WC_EDITW : WC_COMBOBOXW, L"", style, cell.left, cell.top, cell.right - cell.left, height,
      main, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (editor && font) SendMessageW(editor, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return editor;
}

}  // namespace

void CellEditor::Attach(HWND mainWindow, HWND list, UINT_PTR commitTimer, const PrinterCatalog& printers) {
  main_ = mainWindow;
  list_ = list;
  timer_ = commitTimer;
  printers_ = &printers;
  kind_ = Kind::None;
}

void CellEditor::Open(int column, const ScriptTemplate& activeTemplate, const PrinterCatalog& printers,
                      const std::u16string& autocadFile, HFONT font) {
  Close();
  const std::vector<int> slots = DisplayedSlots(activeTemplate);
  if (column < 0 || column >= static_cast<int>(slots.size())) return;
  const TemplateColumn& templateColumn =
      activeTemplate.columns[static_cast<std::size_t>(slots[static_cast<std::size_t>(column)])];
  if (templateColumn.editMode <= 0) return;
  ListViewRowStore store(list_);
  const int row = store.NextSelected(0);
  if (row < 0 || column >= store.ColumnCount()) return;

  edit_.Begin(store, row, column);
  const int rows = store.RowCount();
  for (int r = 0; r < rows; ++r) store.SetMarks(r, false);

  const RECT cell = CellRect(list_, main_, row, column);
  const bool field = templateColumn.editMode == kEditText;
  HWND editor = CreateEditor(main_, field ? kCellEditFieldId : kCellComboId, cell, field, font);
  if (!editor) {
    edit_.Cancel(store);
    return;
  }
  if (!field) {
    const Win32FileSystem files;
    const std::u16string rowPrinter = store.CellText(row, kPrinterColumn, RowBuffer::kTextSize);
    for (const std::u16string& choice : ChoicesForColumn(
             templateColumn, printers, rowPrinter, [&] { return ListPlotStyles(files, autocadFile); })) {
      ComboBox_AddString(editor, W(choice));
    }
  }
  // Typing stops at 127 characters, but a longer text already in the cell
  // is shown and kept whole.
  const std::size_t limit = std::max(RowBuffer::kTextSize - 1, edit_.Previous().size());
  SendMessageW(editor, field ? EM_LIMITTEXT : CB_LIMITTEXT, limit, 0);
  SetWindowTextW(editor, W(edit_.Previous()));
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  HWND keys = field ? editor : (GetComboBoxInfo(editor, &info) ? info.hwndItem : nullptr);
  if (keys) {
    SetWindowSubclass(keys, EditorKeys, field ? kInField : kInDropDown, reinterpret_cast<DWORD_PTR>(this));
  }
  // The editor stands above the list, which keeps its place.
  SetWindowPos(list_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(editor, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  editor_ = editor;
  kind_ = field ? Kind::Field : Kind::DropDown;
  if (!field) {
    // A choice wider than the cell widens the editor over the cells beside
    // it while it is open, so that no choice shows cut.
    RECT box{};
    GetWindowRect(editor, &box);
    const int widest = WidestChoiceWidth(editor);
    if (widest > box.right - box.left) {
      SetWindowPos(editor, nullptr, 0, 0, widest, box.bottom - box.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    FitDroppedWidth(editor);
  }
  SetFocus(editor);
  ShowTextFromStart(editor);
}

void CellEditor::OnEditorKillFocus(HWND editor) {
  if (kind_ == Kind::None || editor != editor_) return;
  // The editor is still inside its own focus handling now.
  End(true, true);
}

void CellEditor::OnDropDownChoice(HWND combo) {
  if (kind_ != Kind::DropDown || combo != editor_) return;
  SetTimer(main_, timer_, kCommitDelayMs, nullptr);
}

void CellEditor::OnCommitTimer() {
  KillTimer(main_, timer_);
  if (kind_ == Kind::DropDown) End(true, false);
}

void CellEditor::CancelDropDown() {
  if (kind_ == Kind::DropDown) End(false, false);
}

void CellEditor::Close() {
  if (kind_ != Kind::None) End(true, false);
}

void CellEditor::Finish(bool commit) {
  if (kind_ == Kind::None) return;
  // The keys come from inside the editor's own procedure.
  End(commit, true);
  SetFocus(list_);
}

void CellEditor::End(bool commit, bool deferDestroy) {
  HWND editor = editor_;
  const std::u16string text = TextOfWindow(editor);
  editor_ = nullptr;
  kind_ = Kind::None;
  KillTimer(main_, timer_);
  if (deferDestroy) {
    ShowWindow(editor, SW_HIDE);
    PostMessageW(editor, WM_CLOSE, 0, 0);
  } else {
    DestroyWindow(editor);
  }
  ListViewRowStore store(list_);
  if (commit) {
    edit_.Commit(store, text, *printers_);
  } else {
    edit_.Cancel(store);
  }
}

}  // namespace tovrel
