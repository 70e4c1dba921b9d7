#include "drawing_list/folder_browser_dialog.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dialog_ids.h"
#include "drawing_list/folder_browser.h"
#include "drawing_list/list_view_row_store_win32.h"
#include "win32/callback_guard.h"
#include "win32/dialog_font.h"
#include "win32/dialog_helpers.h"
#include "win32/dpi.h"
#include "win32/window_text.h"

namespace tovrel {

namespace {

constexpr int kMessageNothingAdded = 22;
constexpr int kMessageNothingSelected = 49;
constexpr int kMessageCannotOpen = 62;

// Column widths of the browser list in pixels: the name, the date.
constexpr int kNameWidth = 200;
constexpr int kDateWidth = 120;
// The list begins this many dialog units from the top, under the folder line.
constexpr int kListTop = 32;
// Sent by Enter in the list: no control has this id.
constexpr int kOpenFocusedRow = 4001;

// The kind buttons' choice lives for the program's run.
BrowserKindMode& RememberedKindMode() {
  static BrowserKindMode mode = BrowserKindMode::Dwg;
  return mode;
}

// What the browser works on, handed over at its opening.
struct FolderBrowserData {
  const FileSystem& files;
  HWND drawingList;
  const AddDrawingsContext& context;
  FolderBrowser browser;
  int firstAddedRow = -1;  // set by a load that added rows
};

FolderBrowserData& Data(HWND dialog) {
  return *reinterpret_cast<FolderBrowserData*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

HWND BrowserList(HWND dialog) { return GetDlgItem(dialog, IDL_FOLDER_BROWSER); }

// A column of its design width at this resolution, wider when its title needs it.
void AddColumn(HWND list, int index, int width, int titleText) {
  std::wstring title = LookUpText(TextTable::Code, titleText);
  LVCOLUMNW column{};
  column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  column.fmt = LVCFMT_LEFT;
  column.cx = std::max(ScaleToDpi(width), ListView_GetStringWidth(list, title.c_str()) + ScaleToDpi(16));
  column.pszText = title.data();
  column.iSubItem = index;
  SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

// The list fills the dialog under its top controls, whatever size the
// dialog's font gives it.
HWND CreateBrowserList(HWND dialog) {
  RECT top{0, kListTop, 0, 0};
  MapDialogRect(dialog, &top);
  RECT client{};
  GetClientRect(dialog, &client);
  HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS, 0, top.top,
                              client.right, client.bottom - top.top, dialog,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDL_FOLDER_BROWSER)),
                              GetModuleHandleW(nullptr), nullptr);
  if (!list) return nullptr;
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
  AddColumn(list, 0, kNameWidth, 32);
  AddColumn(list, 1, kDateWidth, 33);
  return list;
}

void ShowRows(HWND dialog) {
  const FolderBrowser& browser = Data(dialog).browser;
  SetDlgItemTextW(dialog, IDT_BROWSER_FOLDER, W(browser.Folder()));
  HWND list = BrowserList(dialog);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(list);
  const std::vector<BrowserRow>& rows = browser.Rows();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    std::wstring name(rows[i].name.begin(), rows[i].name.end());
    std::wstring date(rows[i].dateText.begin(), rows[i].dateText.end());
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = static_cast<int>(i);
    item.iImage = rows[i].image;
    item.pszText = name.data();
    const int row = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    LVITEMW cell{};
    cell.iSubItem = 1;
    cell.pszText = date.data();
    SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&cell));
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

BOOL OnInitDialog(HWND dialog, HWND, LPARAM data) {
  SetWindowLongPtrW(dialog, DWLP_USER, data);
  CenterOnOwner(dialog);
  SetCatalogText(dialog, TextTable::Dialog, 37);
  SetCatalogItemText(dialog, IDT_BROWSER_KIND_LABEL, TextTable::Dialog, 38);
  SetCatalogItemText(dialog, IDB_DIALOG_OK, TextTable::Dialog, 39);
  SendEnterAsCommand(CreateBrowserList(dialog), kOpenFocusedRow);
  CheckRadioButton(dialog, IDX_KIND_DWG, IDX_KIND_BOTH, IDX_KIND_DWG + static_cast<int>(RememberedKindMode()));
  Data(dialog).browser.Open();
  ShowRows(dialog);
  return TRUE;
}

// The selected rows from the top, each deselected as it is taken.
std::vector<std::u16string> TakeSelectedFolders(HWND dialog) {
  HWND list = BrowserList(dialog);
  const FolderBrowser& browser = Data(dialog).browser;
  std::vector<std::u16string> folders;
  for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row >= 0;
       row = ListView_GetNextItem(list, row, LVNI_SELECTED)) {
    folders.push_back(browser.LoadPath(row));
    ListView_SetItemState(list, row, 0, LVIS_SELECTED | LVIS_FOCUSED | LVIS_DROPHILITED);
  }
  return folders;
}

void Load(HWND dialog) {
  const std::vector<std::u16string> folders = TakeSelectedFolders(dialog);
  if (folders.empty()) {
    ShowMessage(dialog, kMessageNothingSelected);
    return;
  }
  FolderBrowserData& state = Data(dialog);
  ListViewRowStore store(state.drawingList);
  // Counted now, when the rows are added, not when the dialog opened.
  const int firstRow = store.RowCount();
  int next = firstRow;
  {
    const ListRedrawPause pause(state.drawingList);
    next = LoadBrowserFolders(state.files, store, state.context.activeTemplate, folders, RememberedKindMode(),
                              firstRow);
  }
  if (next == firstRow) {
    ShowMessage(dialog, kMessageNothingAdded);
    return;
  }
  state.firstAddedRow = firstRow;
  EndDialog(dialog, 1);
}

void ShowStep(HWND dialog, FolderBrowser::Step step) {
  switch (step) {
    case FolderBrowser::Step::Moved:
      ShowRows(dialog);
      break;
    case FolderBrowser::Step::Unreadable:
      ShowMessage(dialog, kMessageCannotOpen);
      break;
    case FolderBrowser::Step::Nothing:
      break;
  }
}

void OnCommand(HWND dialog, int id, HWND, UINT) {
  switch (id) {
    case IDX_KIND_DWG:
    case IDX_KIND_DXF:
    case IDX_KIND_BOTH:
      RememberedKindMode() = static_cast<BrowserKindMode>(id - IDX_KIND_DWG);
      break;
    case kOpenFocusedRow:  // Enter in the list
      ShowStep(dialog,
               Data(dialog).browser.Enter(ListView_GetNextItem(BrowserList(dialog), -1, LVNI_FOCUSED)));
      break;
    case IDB_DIALOG_OK:
      Load(dialog);
      break;
    case IDCANCEL:  // Esc, as the close box
      EndDialog(dialog, 1);
      break;
    default:
      break;
  }
}

// A double click on a row walks there; on the empty part of the list it
// does nothing. Backspace goes one level up.
LRESULT OnNotify(HWND dialog, int id, NMHDR* header) {
  if (id != IDL_FOLDER_BROWSER) return 0;
  if (header->code == NM_DBLCLK) {
    ShowStep(dialog, Data(dialog).browser.Enter(reinterpret_cast<const NMITEMACTIVATE*>(header)->iItem));
  } else if (header->code == LVN_KEYDOWN && reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey == VK_BACK) {
    ShowStep(dialog, Data(dialog).browser.Up());
  }
  return 0;
}

void OnClose(HWND dialog) { EndDialog(dialog, 1); }

// The list's own handling of its notifications goes on.
INT_PTR OnOtherMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY) HANDLE_WM_NOTIFY(dialog, wParam, lParam, OnNotify);
  return FALSE;
}

constexpr DLGPROC FolderBrowserProc = StandardDialogProc<OnInitDialog, OnCommand, OnClose, OnOtherMessage>;

}  // namespace

void FolderBrowserCommand(HWND owner, HWND list, const FileSystem& files, const AddDrawingsContext& context) {
  FolderBrowserData data{files, list, context, FolderBrowser(files, context.settings.file_folder)};
  ShowDialogInLanguage(owner, IDD_FOLDER_BROWSER, FolderBrowserProc,
                  reinterpret_cast<LPARAM>(&data));
  if (data.firstAddedRow >= 0) ApplyRulesAfterAdding(list, data.firstAddedRow, context);
}

}  // namespace tovrel
