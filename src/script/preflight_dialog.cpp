#include "script/preflight_dialog.h"

#include <commctrl.h>
#include <windowsx.h>

#include <string>

#include "dialog_ids.h"
#include "win32/dialog_font.h"
#include "win32/callback_guard.h"
#include "win32/dialog_helpers.h"
#include "win32/window_text.h"

namespace tovrel {

namespace {

struct PreflightDialogData {
  const PreflightReport& report;
  PreflightChoice choice = PreflightChoice::Cancel;
};

PreflightDialogData& Data(HWND dialog) {
  return *reinterpret_cast<PreflightDialogData*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

// The columns: their header texts and their share of the list's width.
struct Column {
  TextTable table;
  int number;
  int share;   // in 1/100 of the width
};
constexpr Column kColumns[] = {
    {TextTable::Dialog, 93, 6},  {TextTable::Dialog, 94, 15}, {TextTable::Code, 82, 12},
    {TextTable::Code, 83, 27},   {TextTable::Code, 84, 19},   {TextTable::Code, 94, 21},
};

void AddColumns(HWND list) {
  RECT client{};
  GetClientRect(list, &client);
  const int width = client.right - GetSystemMetrics(SM_CXVSCROLL);
  for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
    const Column& c = kColumns[i];
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.cx = width * c.share / 100;
    column.pszText = const_cast<wchar_t*>(LookUpText(c.table, c.number));
    column.iSubItem = i;
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
}

void SetCell(HWND list, int item, int column, const std::u16string& text) {
  LVITEMW cell{};
  cell.iSubItem = column;
  cell.pszText = const_cast<wchar_t*>(W(text));
  SendMessageW(list, LVM_SETITEMTEXTW, item, reinterpret_cast<LPARAM>(&cell));
}

void FillList(HWND list, const PreflightReport& report) {
  int item = 0;
  for (const PreflightFinding& f : report.findings) {
    const std::wstring row = f.row >= 0 ? std::to_wstring(f.row + 1) : std::wstring();
    LVITEMW line{};
    line.mask = LVIF_TEXT;
    line.iItem = item;
    line.pszText = const_cast<wchar_t*>(row.c_str());
    item = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&line)));
    SetCell(list, item, 1, f.drawing);
    SetCell(list, item, 2, f.column);
    SetCell(list, item, 3, f.prompt);
    SetCell(list, item, 4, f.answer);
    SetCell(list, item, 5, FindingReason(f, U(LookUpText(TextTable::Code, ProblemTextNumber(f.problem)))));
    ++item;
  }
}

BOOL OnInitDialog(HWND dialog, HWND, LPARAM data) {
  SetWindowLongPtrW(dialog, DWLP_USER, data);
  CenterOnOwner(dialog);
  SetCatalogText(dialog, TextTable::Dialog, 89);
  SetCatalogItemText(dialog, IDT_PREFLIGHT_INTRO, TextTable::Dialog, 92);
  SetCatalogItemText(dialog, IDB_PREFLIGHT_SELECT, TextTable::Dialog, 91);
  SetCatalogItemText(dialog, IDB_PREFLIGHT_RUN, TextTable::Dialog, 90);
  SetCatalogItemText(dialog, IDCANCEL, TextTable::Dialog, 1);
  HWND list = GetDlgItem(dialog, IDL_PREFLIGHT_ROWS);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_INFOTIP);
  AddColumns(list);
  FillList(list, Data(dialog).report);
  // A cell AutoCAD would evaluate is never run from here (setting allow_lisp_cells).
  EnableWindow(GetDlgItem(dialog, IDB_PREFLIGHT_RUN), !Data(dialog).report.Unsafe());
  return TRUE;  // Cancel, the default button, has the focus
}

void OnCommand(HWND dialog, int id, HWND, UINT) {
  switch (id) {
    case IDB_PREFLIGHT_RUN: Data(dialog).choice = PreflightChoice::Run; break;
    case IDB_PREFLIGHT_SELECT: Data(dialog).choice = PreflightChoice::SelectRows; break;
    case IDCANCEL: Data(dialog).choice = PreflightChoice::Cancel; break;
    default: return;
  }
  EndDialog(dialog, id);
}

INT_PTR PreflightDialogProcUnguarded(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return HANDLE_WM_INITDIALOG(dialog, wParam, lParam, OnInitDialog);
    case WM_COMMAND:
      HANDLE_WM_COMMAND(dialog, wParam, lParam, OnCommand);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK PreflightDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return GuardCallback<INT_PTR>(dialog, FALSE,
                                [&] { return PreflightDialogProcUnguarded(dialog, message, wParam, lParam); });
}

}  // namespace

PreflightChoice RunPreflightDialog(HWND owner, const PreflightReport& report) {
  PreflightDialogData data{report};
  const INT_PTR result = ShowDialogInLanguage(owner, IDD_PREFLIGHT, PreflightDialogProc, reinterpret_cast<LPARAM>(&data));
  return result <= 0 ? PreflightChoice::Cancel : data.choice;
}

}  // namespace tovrel
