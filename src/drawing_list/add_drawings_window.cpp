#include "drawing_list/add_drawings_window.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "dialog_ids.h"
#include "storage/drive_search.h"
#include "drawing_list/dropped_items.h"
#include "drawing_list/file_name_rules.h"
#include "storage/file_system_win32.h"
#include "drawing_list/list_view_row_store_win32.h"
#include "drawing_list/row_insertion.h"
#include "drawing_list/row_selection.h"
#include "win32/dialog_font.h"
#include "win32/callback_guard.h"
#include "win32/dialog_helpers.h"
#include "win32/file_dialog.h"
#include "win32/progress_window.h"
#include "win32/wait_window.h"
#include "win32/window_text.h"

namespace tovrel {

namespace {

constexpr int kMessageDropIgnored = 58;

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

int PreselectFolderUnguarded(HWND dialog, UINT message, LPARAM, LPARAM folder) {
  if (message == BFFM_INITIALIZED) SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, folder);
  return 0;
}

int CALLBACK PreselectFolder(HWND dialog, UINT message, LPARAM arg2, LPARAM folder) {
  return GuardCallback<int>(dialog, 0,
                            [&] { return PreselectFolderUnguarded(dialog, message, arg2, folder); });
}

// The shell's folder dialog, starting at the remembered folder. An empty
// result means the user cancelled: the command then ends.
std::u16string ChooseFolder(HWND owner, DrawingKind kind, const std::u16string& remembered) {
  std::wstring prompt = LookUpText(TextTable::Code, kind == DrawingKind::Dwg ? 6 : 7);
  BROWSEINFOW info{};
  // Owned, so that the list cannot change under the dialog: the new rows are
  // placed after it closes.
  info.hwndOwner = owner;
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

void Remember(AppSettings& settings, const std::u16string& folder) {
  if (!folder.empty()) settings.file_folder = folder.substr(0, 259);
}

// The folder as rows show it: without a trailing backslash, so that a drive
// root reads "C:" as it does for files picked in the open-file dialog.
std::u16string RowFolder(std::u16string folder) {
  if (folder.size() > 1 && folder.back() == u'\\') folder.pop_back();
  return folder;
}

// Search dialog 8: the search text and its history.
BOOL Search_OnInitDialog(HWND dialog, HWND, LPARAM) {
  CenterOnOwner(dialog);
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

void Search_OnClose(HWND dialog) {
  EndDialog(dialog, IDCANCEL);
}

constexpr DLGPROC SearchDialogProc =
    StandardDialogProc<Search_OnInitDialog, Search_OnCommand, Search_OnClose>;

// True when the user searched; false when the dialog was closed.
bool RunSearchDialog(HWND owner) {
  return ShowDialogInLanguage(owner, IDD_SEARCH, SearchDialogProc,
                         0) == IDOK;
}

}  // namespace

void ApplyRulesAfterAdding(HWND list, int firstRow, const AddDrawingsContext& context) {
  if (context.settings.file_set.chg_on == 0) return;
  const ListRedrawPause pause(list);
  ListViewRowStore store(list);
  ApplyFileNameRules(store, context.settings.file_set, context.text, context.settings.moji_type, firstRow);
}

void AddFolderCommand(HWND owner, HWND list, DrawingKind kind, const AddDrawingsContext& context) {
  const std::u16string folder = ChooseFolder(owner, kind, context.settings.file_folder);
  if (folder.empty()) return;
  Remember(context.settings, folder);
  ListViewRowStore store(list);
  const int firstRow = store.RowCount();
  int next = 0;
  {
    const ListRedrawPause pause(list);
    next = ScanFolder(Files(), store, context.activeTemplate, RowFolder(folder), kind, firstRow);
  }
  if (next == 0) ShowMessage(owner, 2);
  ApplyRulesAfterAdding(list, firstRow, context);
}

void AddFolderTreeCommand(HWND owner, HWND list, DrawingKind kind, const AddDrawingsContext& context) {
  const std::u16string folder = ChooseFolder(owner, kind, context.settings.file_folder);
  if (folder.empty()) return;
  Remember(context.settings, folder);
  ListViewRowStore store(list);
  const int firstRow = store.RowCount();
  HWND wait = OpenWaitWindow(owner, IDD_DRIVE_SEARCH_WAIT);
  {
    const ListRedrawPause pause(list);
    AddFolderTree(Files(), store, context.activeTemplate, RowFolder(folder), kind, firstRow);
  }
  CloseWaitWindow(wait);
  ApplyRulesAfterAdding(list, firstRow, context);
}

void AddPickedFilesCommand(HWND owner, HWND list, DrawingKind kind, const AddDrawingsContext& context) {
  const bool dwg = kind == DrawingKind::Dwg;
  FileDialogOptions options;
  options.owner = owner;
  options.title = LookUpText(TextTable::Code, 8);
  options.filter = dwg ? L"DwgFile(*.dwg)\0*.dwg\0DxfFile(*.dxf)\0*.dxf\0"
                       : L"DxfFile(*.dxf)\0*.dxf\0DwgFile(*.dwg)\0*.dwg\0";
  options.initialFolder = context.settings.file_folder;
  options.initialName = dwg ? u"*.dwg" : u"*.dxf";
  options.multiSelect = true;
  options.mustExist = true;
  const FileDialogResult chosen = AskOpenFile(options);
  if (!chosen.Chosen()) {
    ReportFileDialogFailure(owner, chosen);
    return;
  }
  const std::optional<PickedFiles> picked = ParseOpenFileResult(chosen.buffer, chosen.fileOffset);
  if (!picked) return;
  ListViewRowStore store(list);
  const int firstRow = store.RowCount();
  std::vector<std::u16string> notFound;
  {
    const ListRedrawPause pause(list);
    AddPickedFiles(Files(), store, context.activeTemplate, *picked, notFound);
  }
  for (std::size_t i = 0; i < notFound.size(); ++i) ShowMessage(owner, 3);
  Remember(context.settings, picked->folder);
  ApplyRulesAfterAdding(list, firstRow, context);
}

void SearchDrivesCommand(HWND owner, HWND list, const AddDrawingsContext& context) {
  Search().text.clear();
  if (!RunSearchDialog(owner) || Search().text.empty()) return;
  // The window repaints while the drives are walked, takes no commands, and
  // the progress window's Stop ends the search.
  std::optional<std::u16string> found;
  bool stopped = false;
  EnableWindow(owner, FALSE);
  {
    ProgressWindow progress(owner, ProgressWindow::Stops::NowOnly);
    progress.SetCaption(U(LookUpText(TextTable::Dialog, 31)));
    progress.SetLines(U(LookUpText(TextTable::Code, 99)), Search().text, u"", u"");
    found = SearchFixedDrivesForEach(Files(), {Search().text},
                                     [&progress] { return progress.PumpAndAskStop(); })[0];
    stopped = progress.StopNow();
  }
  EnableWindow(owner, TRUE);
  SetActiveWindow(owner);
  if (stopped) return;
  if (!found) {
    ShowMessage(owner, 5);
    return;
  }
  // The hit is added as a picked file of its folder would be.
  const std::size_t slash = found->rfind(u'\\');
  PickedFiles hit;
  hit.folder = slash == std::u16string::npos ? std::u16string() : found->substr(0, slash);
  hit.names.push_back(slash == std::u16string::npos ? *found : found->substr(slash + 1));
  ListViewRowStore store(list);
  std::vector<std::u16string> notFound;
  AddPickedFiles(Files(), store, context.activeTemplate, hit, notFound);
  if (!notFound.empty()) ShowMessage(owner, 3);
}

void AddDroppedCommand(HWND owner, HWND list, HDROP drop, const AddDrawingsContext& context) {
  std::vector<std::u16string> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::vector<wchar_t> path(length + 1, L'\0');
    DragQueryFileW(drop, i, path.data(), length + 1);
    paths.push_back(U(path.data()));
  }
  DragFinish(drop);
  const DroppedItems items = SortDroppedPaths(Files(), paths);
  ListViewRowStore store(list);
  const int firstRow = store.RowCount();
  if (!items.drawings.empty() || !items.folders.empty()) {
    HWND wait = items.folders.empty() ? nullptr : OpenWaitWindow(owner, IDD_DRIVE_SEARCH_WAIT);
    {
      const ListRedrawPause pause(list);
      AddDroppedItems(Files(), store, context.activeTemplate, items);
    }
    CloseWaitWindow(wait);
    ApplyRulesAfterAdding(list, firstRow, context);
  }
  if (!items.ignored.empty()) {
    // One message names everything that was left out.
    std::u16string names;
    for (const std::u16string& path : items.ignored) names += (names.empty() ? u"" : u"\r\n") + path;
    ShowMessageWithDetail(owner, kMessageDropIgnored, names);
  }
}

void SearchInListCommand(HWND owner, HWND list) {
  if (!RunSearchDialog(owner)) return;  // closed: nothing is selected
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

void DeleteAllCommand(HWND list) {
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
}

}  // namespace tovrel
