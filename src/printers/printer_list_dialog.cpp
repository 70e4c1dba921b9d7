#include "printers/printer_list_dialog.h"
#include "win32/dialog_font.h"
#include "win32/callback_guard.h"

#include <commctrl.h>
#include <windowsx.h>

#include <string>

#include "dialog_ids.h"
#include "printers/printer_catalog_win32.h"
#include "printers/printer_listing.h"
#include "win32/dialog_helpers.h"
#include "win32/window_text.h"

namespace tovrel {

namespace {

// The listing's size in pixels: what the dialog's 510 x 165 units come to
// with its design font at 96 dpi. The listing takes the dialog's client area
// instead whenever there is one, since other fonts (Wine substitutes one) and
// other resolutions make the dialog larger or smaller, and a fixed size then
// leaves an empty band or cuts off the scroll bar.
constexpr int kListingWidth = 890;
constexpr int kListingHeight = 242;

// What the listing shows, handed over at its opening.
struct PrinterListData {
  PrinterCatalog& catalog;
  const AppSettings& settings;
};

PrinterListData& Data(HWND dialog) {
  return *reinterpret_cast<PrinterListData*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

std::u16string CodeText(int number) {
  return reinterpret_cast<const char16_t*>(LookUpText(TextTable::Code, number));
}

const wchar_t* Wide(std::u16string_view text, std::wstring& storage) {
  storage.assign(text.begin(), text.end());
  return storage.c_str();
}

HWND CreateListing(HWND dialog) {
  RECT client{};
  GetClientRect(dialog, &client);
  const int width = client.right > 0 ? client.right : kListingWidth;
  const int height = client.bottom > 0 ? client.bottom : kListingHeight;
  HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0,
                              width, height, dialog,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDL_PRINTER_LIST)),
                              GetModuleHandleW(nullptr), nullptr);
  if (!list) return nullptr;
  const DWORD extended = ListView_GetExtendedListViewStyle(list);
  ListView_SetExtendedListViewStyle(list, extended | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  const std::u16string printerText = CodeText(34);
  const std::u16string paperText = CodeText(35);
  const auto columns = ListingColumns(printerText, paperText);
  std::wstring header;
  for (int i = 0; i < kListingColumnCount; ++i) {
    const ListingColumn& column = columns[static_cast<std::size_t>(i)];
    LVCOLUMNW lvc{};
    lvc.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    lvc.fmt = LVCFMT_LEFT;
    lvc.cx = column.width;
    lvc.pszText = const_cast<wchar_t*>(Wide(column.header, header));
    lvc.iSubItem = i;
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&lvc));
  }
  return list;
}

// The line over the empty list takes the list's colours, not a dialog's.
LRESULT CALLBACK EmptyListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_CTLCOLORSTATIC) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(list, EmptyListProc, 1);
  return DefSubclassProc(list, message, wParam, lParam);
}

// Where the rows would be, a line that says the spooler lists no printer.
void ShowNoPrinters(HWND list) {
  if (GetDlgItem(list, IDT_PRINTER_LIST_EMPTY)) return;
  SetWindowSubclass(list, EmptyListProc, 1, 0);
  HWND header = ListView_GetHeader(list);
  RECT top{};
  if (header) GetWindowRect(header, &top);
  RECT client{};
  GetClientRect(list, &client);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0));
  HDC dc = GetDC(list);
  TEXTMETRICW metrics{};
  HGDIOBJ old = SelectObject(dc, font);
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(list, dc);
  const int margin = metrics.tmAveCharWidth;
  HWND line = CreateWindowExW(0, WC_STATICW, LookUpText(TextTable::Code, 95), WS_CHILD | WS_VISIBLE | SS_NOPREFIX,
                              margin, static_cast<int>(top.bottom - top.top) + margin / 2,
                              client.right - 2 * margin, metrics.tmHeight + metrics.tmExternalLeading, list,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDT_PRINTER_LIST_EMPTY)),
                              GetModuleHandleW(nullptr), nullptr);
  if (line) SendMessageW(line, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

// Refreshes the catalog (its messages appear over this dialog) and shows it.
void FillListing(HWND dialog, HWND list) {
  PrinterListData& data = Data(dialog);
  FillPrinterCatalog(dialog, data.catalog, data.settings);
  if (!list) return;
  ListView_DeleteAllItems(list);
  const PrinterCatalog& catalog = data.catalog;
  if (catalog.printerCount == 0) ShowNoPrinters(list);
  std::wstring text;
  const int rows = ListingRowCount(catalog);
  for (int row = 0; row < rows; ++row) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = row;
    item.iImage = 0;
    item.lParam = row;
    item.pszText = const_cast<wchar_t*>(Wide(ListingCell(catalog, row, 0), text));
    const int inserted = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    for (int column = 1; column < kListingColumnCount; ++column) {
      LVITEMW cell{};
      cell.iSubItem = column;
      cell.pszText = const_cast<wchar_t*>(Wide(ListingCell(catalog, row, column), text));
      SendMessageW(list, LVM_SETITEMTEXTW, inserted, reinterpret_cast<LPARAM>(&cell));
    }
  }
}

BOOL OnInitDialog(HWND dialog, HWND, LPARAM data) {
  SetWindowLongPtrW(dialog, DWLP_USER, data);
  CenterOnOwner(dialog);
  SetCatalogText(dialog, TextTable::Dialog, 29);
  FillListing(dialog, CreateListing(dialog));
  return TRUE;  // the system sets the focus
}

void OnPaint(HWND dialog) {
  PAINTSTRUCT paint;
  BeginPaint(dialog, &paint);
  EndPaint(dialog, &paint);
}

void OnClose(HWND dialog) { EndDialog(dialog, 1); }

// Esc closes the listing as the close box does.
void OnCommand(HWND dialog, int id, HWND, UINT) {
  if (id == IDCANCEL) EndDialog(dialog, 1);
}

INT_PTR PrinterListDialogProcUnguarded(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return HANDLE_WM_INITDIALOG(dialog, wParam, lParam, OnInitDialog);
    case WM_PAINT:
      HANDLE_WM_PAINT(dialog, wParam, lParam, OnPaint);
      return TRUE;
    case WM_CLOSE:
      HANDLE_WM_CLOSE(dialog, wParam, lParam, OnClose);
      return TRUE;
    case WM_COMMAND:
      HANDLE_WM_COMMAND(dialog, wParam, lParam, OnCommand);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK PrinterListDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return GuardCallback<INT_PTR>(dialog, FALSE, [&] { return PrinterListDialogProcUnguarded(dialog, message, wParam, lParam); });
}

}  // namespace

void RunPrinterListDialog(HWND owner, PrinterCatalog& catalog, const AppSettings& settings) {
  PrinterListData data{catalog, settings};
  ShowDialogInLanguage(owner, IDD_PRINTER_LIST, PrinterListDialogProc,
                  reinterpret_cast<LPARAM>(&data));
}

}  // namespace tovrel
