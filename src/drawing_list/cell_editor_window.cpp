#include "drawing_list/cell_editor_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <optional>
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

std::u16string TextOfWindow(HWND window) {
  wchar_t buffer[RowBuffer::kTextSize] = L"";
  const int n = GetWindowTextW(window, buffer, static_cast<int>(RowBuffer::kTextSize));
  return std::u16string(reinterpret_cast<const char16_t*>(buffer), n > 0 ? static_cast<std::size_t>(n) : 0);
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
  if (editor) SendMessageW(editor, field ? EM_LIMITTEXT : CB_LIMITTEXT, RowBuffer::kTextSize - 1, 0);
  return editor;
}

}  // namespace

void CellEditor::Attach(HWND mainWindow, HWND list, UINT_PTR commitTimer) {
  main_ = mainWindow;
  list_ = list;
  timer_ = commitTimer;
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

  row_ = row;
  column_ = column;
  previous_ = store.CellText(row, column, RowBuffer::kTextSize);
  store.SetCellText(row, column, u"");
  const int rows = store.RowCount();
  for (int r = 0; r < rows; ++r) store.SetMarks(r, false);

  const RECT cell = CellRect(list_, main_, row, column);
  const bool field = templateColumn.editMode == kEditText;
  HWND editor = CreateEditor(main_, field ? kCellEditFieldId : kCellComboId, cell, field, font);
  if (!editor) {
    store.SetCellText(row, column, previous_);
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
  SetWindowTextW(editor, W(previous_));
  // The editor stands above the list, which keeps its place.
  SetWindowPos(list_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(editor, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  if (field) {
    field_ = editor;
    kind_ = Kind::Field;
  } else {
    combo_ = editor;
    kind_ = Kind::DropDown;
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

void CellEditor::OnFieldKillFocus(HWND field) {
  if (kind_ != Kind::Field || field != field_) return;
  const std::u16string text = TextOfWindow(field);
  // The field goes after this notification has returned to it: it is still
  // inside its own focus handling now.
  field_ = nullptr;
  kind_ = Kind::None;
  ShowWindow(field, SW_HIDE);
  PostMessageW(field, WM_CLOSE, 0, 0);
  WriteCell(text);
}

void CellEditor::OnDropDownChoice(HWND combo) {
  if (kind_ == Kind::DropDown && combo == combo_) SetTimer(main_, timer_, kCommitDelayMs, nullptr);
}

void CellEditor::OnCommitTimer(const PrinterCatalog& printers) {
  KillTimer(main_, timer_);
  if (kind_ != Kind::DropDown) return;
  const std::u16string text = TextOfWindow(combo_);
  DestroyDropDown();
  WriteCell(text);
  if (column_ != kPrinterColumn) return;
  ListViewRowStore store(list_);
  if (row_ >= store.RowCount()) return;
  const std::optional<std::u16string> paper =
      FirstPaperOf(printers, store.CellText(row_, kPrinterColumn, RowBuffer::kTextSize));
  if (paper) store.SetCellText(row_, kPaperColumn, *paper);
}

void CellEditor::CancelDropDown() {
  if (kind_ != Kind::DropDown) return;
  KillTimer(main_, timer_);
  DestroyDropDown();
  WriteCell(previous_);
}

void CellEditor::Close() {
  if (kind_ == Kind::DropDown) {
    CancelDropDown();
  } else if (kind_ == Kind::Field) {
    const std::u16string text = TextOfWindow(field_);
    HWND field = field_;
    field_ = nullptr;
    kind_ = Kind::None;
    DestroyWindow(field);
    WriteCell(text);
  }
}

void CellEditor::WriteCell(const std::u16string& text) const {
  ListViewRowStore store(list_);
  if (row_ < store.RowCount()) store.SetCellText(row_, column_, text);
}

void CellEditor::DestroyDropDown() {
  HWND combo = combo_;
  combo_ = nullptr;
  kind_ = Kind::None;
  if (combo) DestroyWindow(combo);
}

}  // namespace tovrel
