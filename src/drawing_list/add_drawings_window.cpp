#include "drawing_list/add_drawings_window.h"
#include "app/callback_guard.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "app/app_context.h"
#include "app/info_windows.h"
#include "dialog_ids.h"
#include "drawing_list/drive_search.h"
#include "drawing_list/file_name_rules.h"
#include "drawing_list/file_system_win32.h"
#include "drawing_list/list_view_row_store_win32.h"
#include "drawing_list/row_insertion.h"
#include "drawing_list/row_selection.h"
#include "ui_text/ui_text_win32.h"

namespace tovrel {

namespace {

// The search text shared by the list search and the drive search, and the
// history of the search dialog; both live for the program's run.
struct SearchState {
  std::u16string text;
  SearchHistory history;
};

SearchState& Search() {
  static SearchState state;
  return state;
}

const Win32FileSystem& Files() {
  static const Win32FileSystem files;
  return files;
}

std::u16string U(const wchar_t* s) { return reinterpret_cast<const char16_t*>(s); }

void ApplyRulesFrom(HWND list, RowStore& store, int firstRow) {
  const AppContext& app = App();
  if (app.settings.file_set.chg_on != 0) {
    const ListRedrawPause pause(list);
    ApplyFileNameRules(store, app.settings.file_set, app.text, app.settings.moji_type, firstRow);
  }
}

int PreselectFolderUnguarded(HWND dialog, UINT message, LPARAM, LPARAM folder) {
  if (message == BFFM_INITIALIZED) SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, folder);
  return 0;
}

int CALLBACK PreselectFolder(HWND dialog, UINT message, LPARAM arg2, LPARAM folder) {
  return GuardCallback<int>(dialog, 0, [&] { return PreselectFolderUnguarded(dialog, message, arg2, folder); });
}

// The shell's folder dialog, starting at the remembered folder. An empty
// result means the user cancelled: the command then ends.
std::u16string ChooseFolder(DrawingKind kind) {
  std::wstring prompt = LookUpText(TextTable::Code, kind == DrawingKind::Dwg ? 6 : 7);
  const std::u16string& remembered = App().settings.file_folder;
  BROWSEINFOW info{};
  info.hwndOwner = nullptr;  // the main window stays usable
  info.lpszTitle = prompt.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  info.lpfn = PreselectFolder;
  info.lParam = reinterpret_cast<LPARAM>(W(remembered));
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
  if (!chosen) return {};
  wchar_t path[MAX_PATH] = L"";
  const bool ok = SHGetPathFromIDListW(chosen, path) != FALSE;
  CoTaskMemFree(chosen);
  return ok ? U(path) : std::u16string();
}

void Remember(const std::u16string& folder) {
  if (!folder.empty()) App().settings.file_folder = folder.substr(0, 259);
}

// The folder as rows show it: without a trailing backslash, so that a drive
// root reads "C:" as it does for files picked in the open-file dialog.
std::u16string RowFolder(std::u16string folder) {
  if (folder.size() > 1 && folder.back() == u'\\') folder.pop_back();
  return folder;
}

// Search dialog 8: the search text and its history.
BOOL Search_OnInitDialog(HWND dialog, HWND, LPARAM) {
  SetCatalogText(dialog, TextTable::Dialog, 35);
  SetCatalogItemText(dialog, IDB_DIALOG_OK, TextTable::Dialog, 36);
  HWND combo = GetDlgItem(dialog, IDC_SEARCH_TEXT);
  ComboBox_ResetContent(combo);
  const std::vector<std::u16string> shown = Search().history.Shown();
  for (const std::u16string& entry : shown) ComboBox_AddString(combo, W(entry));
  if (!shown.empty()) SetWindowTextW(combo, W(shown.front()));
  return TRUE;
}

void Search_OnCommand(HWND dialog, int id, HWND, UINT) {
  if (id == IDB_DIALOG_OK) {
    wchar_t typed[256] = L"";
    GetDlgItemTextW(dialog, IDC_SEARCH_TEXT, typed, 256);
    Search().text = U(typed);
    Search().history.Remember(Search().text);
    EndDialog(dialog, IDOK);
  } else if (id == IDCANCEL) {
    EndDialog(dialog, IDCANCEL);  // Esc, like the close box: the text stays
  }
}

INT_PTR SearchDialogProcUnguarded(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return HANDLE_WM_INITDIALOG(dialog, wParam, lParam, Search_OnInitDialog);
    case WM_COMMAND:
      HANDLE_WM_COMMAND(dialog, wParam, lParam, Search_OnCommand);
      return TRUE;
    case WM_CLOSE:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK SearchDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return GuardCallback<INT_PTR>(dialog, FALSE, [&] { return SearchDialogProcUnguarded(dialog, message, wParam, lParam); });
}

void RunSearchDialog(HWND owner) {
  DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SEARCH), owner, SearchDialogProc, 0);
}

}  // namespace

void AddFolderCommand(HWND owner, HWND list, DrawingKind kind) {
  ListViewRowStore store(list);
  const int firstRow = store.RowCount();
  const std::u16string folder = ChooseFolder(kind);
  if (folder.empty()) return;
  Remember(folder);
  int next = 0;
  {
    const ListRedrawPause pause(list);
    next = ScanFolder(Files(), store, App().ActiveTemplate(), RowFolder(folder), kind, firstRow);
  }
  if (next == 0) ShowMessage(owner, 2);
  ApplyRulesFrom(list, store, firstRow);
}

void AddFolderTreeCommand(HWND, HWND list, DrawingKind kind) {
  ListViewRowStore store(list);
  const int firstRow = store.RowCount();
  const std::u16string folder = ChooseFolder(kind);
  if (folder.empty()) return;
  Remember(folder);
  {
    const ListRedrawPause pause(list);
    AddFolderTree(Files(), store, App().ActiveTemplate(), RowFolder(folder), kind, firstRow);
  }
  ApplyRulesFrom(list, store, firstRow);
}

void AddPickedFilesCommand(HWND owner, HWND list, DrawingKind kind) {
  ListViewRowStore store(list);
  const int firstRow = store.RowCount();
  const bool dwg = kind == DrawingKind::Dwg;
  static const wchar_t kDwgFirst[] = L"DwgFile(*.dwg)\0*.dwg\0DxfFile(*.dxf)\0*.dxf\0";
  static const wchar_t kDxfFirst[] = L"DxfFile(*.dxf)\0*.dxf\0DwgFile(*.dwg)\0*.dwg\0";
  std::vector<wchar_t> result(1040, L'\0');
  std::u16string start = App().settings.file_folder;
  if (!start.empty() && start.back() != u'\\') start += u'\\';
  start += dwg ? u"*.dwg" : u"*.dxf";
  start.resize(std::min<std::size_t>(start.size(), result.size() - 1));
  std::copy(start.begin(), start.end(), result.begin());
  const std::wstring title = LookUpText(TextTable::Code, 8);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = dwg ? kDwgFirst : kDxfFirst;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = result.data();
  ofn.nMaxFile = static_cast<DWORD>(result.size());
  ofn.lpstrTitle = title.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT;
  if (!GetOpenFileNameW(&ofn)) return;
  const std::optional<PickedFiles> picked = ParseOpenFileResult(
      std::u16string_view(reinterpret_cast<const char16_t*>(result.data()), result.size()), ofn.nFileOffset);
  if (!picked) return;
  std::vector<std::u16string> notFound;
  {
    const ListRedrawPause pause(list);
    AddPickedFiles(Files(), store, App().ActiveTemplate(), *picked, notFound);
  }
  for (std::size_t i = 0; i < notFound.size(); ++i) ShowMessage(owner, 3);
  Remember(picked->folder);
  ApplyRulesFrom(list, store, firstRow);
}

void SearchDrivesCommand(HWND owner, HWND list, HWND& waitSlot) {
  Search().text.clear();
  RunSearchDialog(owner);
  if (Search().text.empty()) return;
  HWND wait = OpenWaitWindow(owner, IDD_DRIVE_SEARCH_WAIT);
  waitSlot = wait;
  const std::optional<std::u16string> found = SearchFixedDrives(Files(), Search().text);
  if (!found) {
    ShowMessage(owner, 5);
    CloseWaitWindow(wait);
    return;
  }
  // The hit is added as a picked file of its folder would be.
  const std::size_t slash = found->rfind(u'\\');
  PickedFiles hit;
  hit.folder = slash == std::u16string::npos ? std::u16string() : found->substr(0, slash);
  hit.names.push_back(slash == std::u16string::npos ? *found : found->substr(slash + 1));
  ListViewRowStore store(list);
  std::vector<std::u16string> notFound;
  AddPickedFiles(Files(), store, App().ActiveTemplate(), hit, notFound);
  if (!notFound.empty()) ShowMessage(owner, 3);
  CloseWaitWindow(wait);
}

void SearchInListCommand(HWND owner, HWND list) {
  RunSearchDialog(owner);
  const ListRedrawPause pause(list);
  ListViewRowStore store(list);
  SelectRowsContaining(store, Search().text);
}

void SelectAllCommand(HWND list) {
  const ListRedrawPause pause(list);
  ListViewRowStore store(list);
  SelectAllRows(store);
}

void DeselectAllCommand(HWND list) {
  const ListRedrawPause pause(list);
  ListViewRowStore store(list);
  DeselectAllRows(store);
}

void DeleteSelectedCommand(HWND owner, HWND list, bool toolbarForm) {
  int message = 0;
  {
    const ListRedrawPause pause(list);
    ListViewRowStore store(list);
    message = DeleteSelectedRows(store, toolbarForm);
  }
  if (message != 0) ShowMessage(owner, message);
}

void DeleteAllCommand(HWND list) { SendMessageW(list, LVM_DELETEALLITEMS, 0, 0); }

}  // namespace tovrel
