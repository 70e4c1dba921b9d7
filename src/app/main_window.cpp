#include "app/main_window.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <string>

#include "app/app_context.h"
#include "app/app_files_win32.h"
#include "app/command_line_win32.h"
#include "app/command_table.h"
#include "app/info_windows.h"
#include "app/list_notifications.h"
#include "app/old_templates_win32.h"
#include "app/row_edit_commands.h"
#include "app/run_commands.h"
#include "dialog_ids.h"
#include "drawing_list/add_drawings_window.h"
#include "drawing_list/file_name_rules_dialog.h"
#include "drawing_list/folder_browser_dialog.h"
#include "drawing_list/list_file_win32.h"
#include "drawing_list/list_view_row_store_win32.h"
#include "drawing_list/list_view_window.h"
#include "printers/environment_dialog.h"
#include "printers/printer_catalog_win32.h"
#include "printers/printer_list_dialog.h"
#include "script/preflight_win32.h"
#include "script/script_runner_win32.h"
#include "script/script_writer.h"
#include "script/template_selection_dialog.h"
#include "storage/file_system_win32.h"
#include "resource_ids.h"
#include "ui_text/language_dialog.h"
#include "win32/callback_guard.h"
#include "win32/dialog_font.h"
#include "win32/dialog_helpers.h"
#include "win32/dpi.h"
#include "win32/help_pages_win32.h"
#include "win32/wait_window.h"
#include "win32/window_text.h"

namespace tovrel {

namespace {

// The maker's home page (the help pages ship beside the program).
constexpr wchar_t kHomePage[] = L"https://velmora.example/";

// Posted at the end of WM_CREATE when the text catalog could not be read.
constexpr UINT kSayCatalogMissing = WM_APP + 1;
// Posted at the end of WM_CREATE: offers to go on with a run that did not finish.
constexpr UINT kOfferResume = WM_APP + 2;
// Posted at the end of WM_CREATE: starts the run the command line asks for.
constexpr UINT kStartLaunchedRun = WM_APP + 3;
// Posted when a settings or template file was there but could not be read.
constexpr UINT kSayFilesUnread = WM_APP + 4;
constexpr int kMessageFilesUnread = 99;
constexpr int kMessageRunGoing = 75;

struct MainWindowState {
  HWND window = nullptr;
  HWND toolbar = nullptr;
  HWND list = nullptr;
  HWND status = nullptr;
  HMENU menu = nullptr;
  HWND currentModeless = nullptr;  // the last wait or About window opened
  HFONT uiFont = nullptr;
  ListInteraction listInteraction;  // the in-place editor, the sort order
  RowBuffer rowBuffer;             // the edit dialog's working copy and the copy/paste clipboard
  RunState runs;                   // runs of AutoCAD and what the last one left
  // Set once WM_CREATE has run to its end: only a list that was loaded whole
  // is ever saved over "listview.ini".
  bool created = false;
  // The template editor's edited template and column clipboard.
  TemplateEditorMemory templateEditor;
  LaunchRequest launch;            // what the command line asked for
};

MainWindowState g_state;

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

void SetLanguageMenu(HWND window) {
  const std::int32_t language = App().settings.moji_type;
  if (language >= 0 && language < 4) {
    g_state.menu = LoadMenuW(Instance(), MAKEINTRESOURCEW(IDM_MENU_JAPANESE + language));
  }
  SetMenu(window, g_state.menu);
}

HWND CreateToolbar(HWND window) {
  HWND toolbar = CreateToolbarEx(window,
                                 WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_ALTDRAG |
                                     TBSTYLE_TOOLTIPS | CCS_ADJUSTABLE,
                                 kToolbarId, 0, nullptr, 0, nullptr, 0, 0, 0, 0, 0, sizeof(TBBUTTON));
  if (!toolbar) return nullptr;
  SendMessageW(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(32, 32));
  TBADDBITMAP bitmap{Instance(), IDB_TOOLBAR};
  const int base = static_cast<int>(
      SendMessageW(toolbar, TB_ADDBITMAP, kToolbarButtonCount, reinterpret_cast<LPARAM>(&bitmap)));
  TBBUTTON buttons[kToolbarButtonCount]{};
  for (int i = 0; i < kToolbarButtonCount; ++i) {
    buttons[i].iBitmap = base + (kToolbarOrder[i] - kFirstToolbarId);
    buttons[i].idCommand = kToolbarOrder[i];
    buttons[i].fsState = TBSTATE_ENABLED;
    buttons[i].fsStyle = TBSTYLE_BUTTON;
  }
  SendMessageW(toolbar, TB_ADDBUTTONSW, kToolbarButtonCount, reinterpret_cast<LPARAM>(buttons));
  SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
  return toolbar;
}

HWND CreateStatusBar(HWND window) {
  HWND status = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | SBARS_TOOLTIPS | CCS_BOTTOM,
                                0, 0, 0, 0, window,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBarId)), Instance(),
                                nullptr);
  int rightEdges[4] = {ScaleToDpi(450), ScaleToDpi(600), ScaleToDpi(800), -1};
  SendMessageW(status, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(rightEdges));
  return status;
}

void RefreshStatus() {
  if (!g_state.status) return;
  const AppContext& app = App();
  SendMessageW(g_state.status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(W(app.settings.file_folder)));
  SetStatusPaneText(g_state.status, 1, W(app.ActiveTemplate().title));
  SendMessageW(g_state.status, SB_SETTEXTW, 2, reinterpret_cast<LPARAM>(L"\"Velmora\""));
}

// Fills the printer catalog before a command that needs it.
void FillPrinters(HWND owner) { FillPrinterCatalog(owner, App().printers, App().settings); }

AddDrawingsContext AddContext() {
  AppContext& app = App();
  return AddDrawingsContext{app.settings, app.ActiveTemplate(), app.text};
}

bool SaveKeptList(HWND owner);

std::u16string KeptListPath() { return PathInWorkingDirectory(App(), kKeptListFileName); }

// Writes the list to "listview.ini"; a failure is shown, never silent.
bool SaveKeptList(HWND owner) {
  if (!g_state.list || !g_state.created) return true;
  EnterWorkingDirectory(App());
  const ListViewRowStore store(g_state.list);
  std::u16string error;
  if (SaveListFile(KeptListPath(), store, &error)) return true;
  ShowMessageWithDetail(owner, 51, error);
  return false;
}

void SaveSettingsOrSay(HWND owner) {
  std::u16string error;
  if (!SaveSettingsFile(App(), &error)) ShowMessageWithDetail(owner, 50, error);
}

// Edited initial values are kept in the template file; a failed write is shown.
void SaveChangedTemplatesOrSay(HWND owner) {
  std::u16string error;
  if (!SaveChangedTemplates(App(), &error)) ShowMessageWithDetail(owner, 53, error);
}

// Said once at start, in the two languages built into the program, when the
// text catalog cannot be read: the menus still work, every other text falls
// back to the built-in one.
void SayCatalogMissing(HWND owner) {
  const std::u16string path = PathInWorkingDirectory(App(), kCatalogFileName);
  std::u16string text =
      u"The text catalog could not be read. Dialogs and messages show their built-in texts.\r\n"
      u"\u30c6\u30ad\u30b9\u30c8\u30ab\u30bf\u30ed\u30b0\u3092\u8aad\u307f\u8fbc\u3081\u307e\u305b\u3093"
      u"\u3002\r\n\r\n";
  text += path;
  if (MessagesGoToLog()) {
    WriteToMessageLog(text);
    return;
  }
  MessageBoxW(owner, W(text), L"Tovrel", MB_OK | MB_ICONWARNING);
}

BOOL OnCreate(HWND window, LPCREATESTRUCTW create) {
  MainWindowState fresh;
  std::swap(g_state, fresh);
  if (create->lpCreateParams) g_state.launch = *static_cast<const LaunchRequest*>(create->lpCreateParams);
  g_state.window = window;
  g_state.currentModeless = OpenWaitWindow(window, IDD_STARTUP_WAIT);
  HWND startupWait = g_state.currentModeless;
  AppContext& app = App();
  const bool catalogRead = LoadCatalogFile(app);
  InitCommonControls();
  app.unreadFiles.clear();
  LoadSettingsFile(app);
  if (g_state.launch.templateNumber > 0) app.settings.autocad_type = static_cast<std::int8_t>(g_state.launch.templateNumber - 1);
  LoadTemplateFile(app);
  g_state.toolbar = CreateToolbar(window);
  g_state.list = CreateDrawingList(window, app.ActiveTemplate());
  g_state.uiFont = CreateUiFont(app.settings.moji_type, ScaleToDpi(12));
  g_state.status = CreateStatusBar(window);
  // The start-up fill shows its messages now; the flag stays clear so that
  // the first command that needs printers reads them again.
  FillPrinters(window);
  app.printers.catalogLoaded = false;
  g_state.listInteraction.cellEditor.Attach(window, g_state.list, kDropDownCommitTimer, app.printers);
  if (g_state.list) {
    const ListRedrawPause pause(g_state.list);
    ListViewRowStore store(g_state.list);
    // The list the command line names, else the kept one (none yet at the first start).
    LoadListFile(g_state.launch.list.empty() ? KeptListPath() : g_state.launch.list, store);
  }
  SetLanguageMenu(window);
  CloseWaitWindow(startupWait);
  // Said once the window is on the screen, not over an empty desktop.
  if (!catalogRead) PostMessageW(window, kSayCatalogMissing, 0, 0);
  if (!app.unreadFiles.empty()) PostMessageW(window, kSayFilesUnread, 0, 0);
  PostMessageW(window, g_state.launch.action == LaunchAction::Run ? kStartLaunchedRun : kOfferResume, 0, 0);
  DragAcceptFiles(window, TRUE);
  g_state.created = true;
  return TRUE;
}

// Windows ends the session without sending WM_DESTROY: the list and the
// settings are written now, as an orderly exit would write them.
void OnEndSession(HWND window, BOOL ending) {
  if (!ending) return;
  EndRunForSession(g_state.list, g_state.runs);
  g_state.listInteraction.cellEditor.Close();
  SaveKeptList(window);
  SaveSettingsOrSay(window);
  SaveChangedTemplatesOrSay(window);
}

void OnDestroy(HWND window) {
  EndRunForSession(g_state.list, g_state.runs);
  // A cell under edit is given its text before the list is saved.
  g_state.listInteraction.cellEditor.Close();
  KillTimer(window, kDropDownCommitTimer);
  g_state.currentModeless = OpenWaitWindow(window, IDD_SHUTDOWN_WAIT);
  std::u16string error;
  bool saved = true;
  if (g_state.list && g_state.created) {
    EnterWorkingDirectory(App());
    const ListViewRowStore store(g_state.list);
    saved = SaveListFile(KeptListPath(), store, &error);
  }
  CloseWaitWindow(g_state.currentModeless);
  // The list is the user's work of the day: a failed save is never silent.
  if (!saved) ShowMessageWithDetail(nullptr, 51, error);
  g_state.currentModeless = nullptr;
  if (g_state.uiFont) DeleteObject(g_state.uiFont);
  g_state.uiFont = nullptr;
  PostQuitMessage(0);
}

int ChildHeight(HWND child, int designFallback) {
  RECT r{};
  if (!child || !GetWindowRect(child, &r) || r.bottom <= r.top) return ScaleToDpi(designFallback);
  return r.bottom - r.top;
}

void OnSize(HWND window, UINT state, int width, int height) {
  const WPARAM wParam = state;
  const LPARAM lParam = MAKELPARAM(width, height);
  if (g_state.toolbar) SendMessageW(g_state.toolbar, WM_SIZE, wParam, lParam);
  if (g_state.status) SendMessageW(g_state.status, WM_SIZE, wParam, lParam);
  if (g_state.list) {
    // Between the toolbar and the status bar, whatever their heights at this DPI.
    const int top = ChildHeight(g_state.toolbar, 40);
    const int bottom = ChildHeight(g_state.status, 20);
    MoveWindow(g_state.list, 0, top, width, height - top - bottom, TRUE);
    SendMessageW(g_state.list, LVM_ARRANGE, LVA_ALIGNLEFT, 0);
  }
  InvalidateRect(window, nullptr, FALSE);
  UpdateWindow(window);
}

void OnPaint(HWND window) {
  PAINTSTRUCT paint;
  BeginPaint(window, &paint);
  RefreshStatus();
  EndPaint(window, &paint);
}

LRESULT OnNotify(HWND window, int, NMHDR* header) {
  if (header->idFrom == kDrawingListId && header->hwndFrom == g_state.list) {
    // The rows of a run stay as they are until it ends.
    const bool changesRows = header->code == NM_CLICK || header->code == NM_RCLICK || header->code == LVN_COLUMNCLICK;
    if (changesRows && RunGoing(g_state.runs)) {
      ShowMessage(window, kMessageRunGoing);
      return 0;
    }
    return OnListNotify(window, g_state.list, header, g_state.listInteraction, g_state.uiFont);
  }
  if (header->code == TTN_GETDISPINFOW) {
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    const int number = TooltipTextNumber(static_cast<int>(header->idFrom));
    if (number >= 0) {
      info->lpszText = const_cast<wchar_t*>(LookUpText(TextTable::Code, number));
      info->hinst = nullptr;
    }
  }
  return 0;
}

void ChangeLanguage(HWND window) {
  if (RowCount(g_state.list) > 0) {
    ShowMessage(window, 16);
    return;
  }
  std::int32_t language = App().settings.moji_type;
  // A closed dialog, or the language already in use, changes nothing.
  if (!RunLanguageDialog(window, language) || language == App().settings.moji_type) return;
  // Template changes of this run go to this language's file first; if they
  // cannot be written, the language stays so that they are not lost.
  std::u16string error;
  if (!SaveChangedTemplates(App(), &error)) {
    ShowMessageWithDetail(window, 53, error);
    return;
  }
  App().settings.moji_type = language;
  if (g_state.uiFont) DeleteObject(g_state.uiFont);
  g_state.uiFont = CreateUiFont(language, ScaleToDpi(12));
  g_state.currentModeless = OpenWaitWindow(window, IDD_STARTUP_WAIT);
  LoadTemplateFile(App());
  CloseWaitWindow(g_state.currentModeless);
  g_state.currentModeless = nullptr;
  if (!App().unreadFiles.empty()) PostMessageW(window, kSayFilesUnread, 0, 0);
  RefreshStatus();
  RebuildColumns(g_state.list, App().ActiveTemplate());
  SetMenu(window, nullptr);
  if (g_state.menu) DestroyMenu(g_state.menu);
  g_state.menu = nullptr;
  SetLanguageMenu(window);
}

// Writes the templates after the template editor has closed, under the wait window.
void SaveEditedTemplates(HWND owner) {
  NoteTemplatesChanged(App());
  HWND wait = OpenWaitWindow(owner, IDD_STARTUP_WAIT);
  std::u16string error;
  const bool saved = SaveTemplateFile(App(), &error);
  CloseWaitWindow(wait);
  if (!saved) ShowMessageWithDetail(owner, 53, error);
}

void SelectTemplate(HWND window) {
  if (RowCount(g_state.list) > 0) {
    ShowMessage(window, 16);
    return;
  }
  AppContext& app = App();
  TemplateSelectionData data{app.templates,        app.ActiveTemplateIndex(), app.settings.moji_type,
                             g_state.templateEditor, app.workingDirectory,      SaveEditedTemplates};
  if (RunTemplateSelectionDialog(window, data)) {
    app.settings.autocad_type = static_cast<std::int8_t>(data.activeTemplate);
  }
  RefreshStatus();
  RebuildColumns(g_state.list, app.ActiveTemplate());
}

void OpenPage(HWND window, const wchar_t* address) {
  ShellExecuteW(window, L"open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

void OnCommand(HWND window, int id, HWND control, UINT code) {
  if (HandleCellEditorCommand(id, control, code, g_state.listInteraction)) return;
  const Command command = CommandForId(id);
  if (RefusedDuringRun(window, command, g_state.runs)) return;
  // Row positions change under a command: a cell under edit is finished first.
  if (command != Command::None) g_state.listInteraction.cellEditor.Close();
  if (NeedsPrintersFirst(command) && !App().printers.catalogLoaded) FillPrinters(window);
  // A run that is killed from outside must not cost the list.
  if (StartsAutocad(command)) SaveKeptList(window);
  HWND list = g_state.list;
  if (HandleRunCommand(window, list, command, g_state.runs)) return;
  switch (command) {
    case Command::AddDwgFolder:
    case Command::AddDxfFolder:
      AddFolderCommand(window, list, command == Command::AddDwgFolder ? DrawingKind::Dwg : DrawingKind::Dxf,
                       AddContext());
      break;
    case Command::AddDwgTree:
    case Command::AddDxfTree:
      AddFolderTreeCommand(window, list, command == Command::AddDwgTree ? DrawingKind::Dwg : DrawingKind::Dxf,
                           AddContext());
      break;
    case Command::AddDwgFiles:
    case Command::AddDxfFiles:
      AddPickedFilesCommand(window, list, command == Command::AddDwgFiles ? DrawingKind::Dwg : DrawingKind::Dxf,
                            AddContext());
      break;
    case Command::FolderBrowser: {
      const Win32FileSystem files;
      FolderBrowserCommand(window, list, files, AddContext());
      RefreshStatus();  // the remembered folder follows the walk
      break;
    }
    case Command::Environment: {
      const Win32FileSystem files;
      // A changed prohibited list or paper filter shows from the next fill on,
      // which the next command that needs printers makes.
      if (RunEnvironmentDialog(window, App().settings, files, App().workingDirectory)) {
        App().printers.catalogLoaded = false;
      }
      RefreshStatus();
      InvalidateRect(window, nullptr, TRUE);
      UpdateWindow(window);
      break;
    }
    case Command::SearchDrives:
      SearchDrivesCommand(window, list, AddContext());
      break;
    case Command::SearchInList:
      SearchInListCommand(window, list);
      break;
    case Command::SelectAll:
      SelectAllCommand(list);
      break;
    case Command::DeselectAll:
      DeselectAllCommand(list);
      break;
    case Command::DeleteSelectedMenu:
    case Command::DeleteSelectedToolbar:
      DeleteSelectedCommand(window, list, command == Command::DeleteSelectedToolbar);
      break;
    case Command::DeleteAll:
      DeleteAllCommand(list);
      break;
    case Command::EditOneRow:
      EditRowsCommand(window, list, EditMode::OneLine, g_state.rowBuffer, g_state.uiFont);
      break;
    case Command::EditOneColumn:
      EditRowsCommand(window, list, EditMode::OneColumn, g_state.rowBuffer, g_state.uiFont);
      break;
    case Command::InitialValues:
      EditRowsCommand(window, list, EditMode::InitialValues, g_state.rowBuffer, g_state.uiFont);
      break;
    case Command::CopyRow:
      CopyRowCommand(window, list, g_state.rowBuffer);
      break;
    case Command::PasteRow:
      PasteRowCommand(window, list, g_state.rowBuffer);
      break;
    case Command::MoveRowDown:
    case Command::MoveRowUp:
      MoveRowCommand(window, list, command == Command::MoveRowDown ? +1 : -1);
      break;
    case Command::SaveListAs:
      SaveListAsCommand(window, list, App().workingDirectory);
      break;
    case Command::LoadListFrom:
      LoadListFromCommand(window, list, App().workingDirectory);
      break;
    case Command::SaveScriptAll:
    case Command::SaveScriptSelected:
      if (SaveScriptAs(window, list, command == Command::SaveScriptAll ? kScopeAllRows : kScopeSelectedRows,
                       RunContext())) {
        ShowMessage(window, 15);
      }
      break;
    case Command::ApplyFileNameRules:
      ConvertListByFileNames(list, App().settings.file_set, App().text, App().settings.moji_type);
      break;
    case Command::FileNameRulesDialog:
      RunFileNameRulesDialog(window, App().settings.file_set, App().printers);
      break;
    case Command::ShowScript:
      ShowScript(window, App().settings);
      break;
    case Command::Exit:
      DestroyWindow(window);
      break;
    case Command::About:
      g_state.currentModeless = OpenAboutWindow(window);
      break;
    case Command::Version:
      RunVersionDialog(window);
      break;
    case Command::Language:
      ChangeLanguage(window);
      break;
    case Command::TemplateSelection:
      SelectTemplate(window);
      break;
    case Command::ConvertOldFiles:
      // New columns would sit over rows made for the old ones.
      if (RowCount(list) > 0) {
        ShowMessage(window, 16);
      } else if (ConvertOldFilesCommand(window, App())) {
        RefreshStatus();
        RebuildColumns(list, App().ActiveTemplate());
      }
      break;
    case Command::PrinterListing:
      RunPrinterListDialog(window, App().printers, App().settings);
      InvalidateRect(window, nullptr, TRUE);
      UpdateWindow(window);
      break;
    case Command::Help:
      OpenHelpPage(window, HelpTopic::Contents);
      break;
    case Command::HomePage:
      OpenPage(window, kHomePage);
      break;
    default:
      break;  // features still to come do nothing
  }
}

void OnDropFiles(HWND window, HDROP drop) {
  if (RunGoing(g_state.runs)) {
    DragFinish(drop);
    ShowMessage(window, kMessageRunGoing);
    return;
  }
  AddDroppedCommand(window, g_state.list, drop, AddContext());
}

void OnTimer(HWND window, UINT id) {
  if (HandleRunTimer(window, g_state.list, id, g_state.runs)) return;
  if (id == kLaneTimer) OnLaneTick(window, g_state.list, g_state.runs);
  if (id == kDropDownCommitTimer) OnCellCommitTimer(g_state.listInteraction);
}

LRESULT MainWindowProcUnguarded(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return HANDLE_WM_CREATE(window, wParam, lParam, OnCreate);
    HANDLE_MSG(window, WM_ENDSESSION, OnEndSession);
    HANDLE_MSG(window, WM_SIZE, OnSize);
    HANDLE_MSG(window, WM_PAINT, OnPaint);
    HANDLE_MSG(window, WM_NOTIFY, OnNotify);
    HANDLE_MSG(window, WM_COMMAND, OnCommand);
    HANDLE_MSG(window, WM_TIMER, OnTimer);
    HANDLE_MSG(window, WM_DROPFILES, OnDropFiles);
    case WM_ACTIVATE:
    case WM_QUERYNEWPALETTE:
      return 0;
    case kSayCatalogMissing:
      SayCatalogMissing(window);
      return 0;
    case kSayFilesUnread: {
      std::u16string files;
      for (const std::u16string& path : App().unreadFiles) files += (files.empty() ? u"" : u"\r\n") + path;
      ShowMessageWithDetail(window, kMessageFilesUnread, files);
      return 0;
    }
    case kOfferResume:
      OfferResume(window, g_state.list, g_state.runs, SaveKeptList);
      return 0;
    case kStartLaunchedRun:
      StartLaunchedRun(window, g_state.runs, g_state.launch.mode, g_state.launch.exitAtEnd);
      return 0;
    case kLaneWorkerStarted:
    case kLaneWorkerEnded:
      OnLaneMessage(window, g_state.list, g_state.runs, message, wParam, lParam);
      return 0;
    case WM_CLOSE:
      // The progress window stops a run; closing waits for its end.
      if (RunGoing(g_state.runs)) {
        ShowMessage(window, kMessageRunGoing);
        return 0;
      }
      return DefWindowProcW(window, message, wParam, lParam);
    case WM_QUERYENDSESSION:
      FlushRunForSessionEnd(g_state.runs);
      return TRUE;
    default:
      if (IsInstanceQuery(message)) return AnswerInstanceQuery(lParam, App().workingDirectory);
      if (HandleRunMessage(window, g_state.list, message, wParam, lParam, g_state.runs)) return 0;
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    GuardCallback<int>(window, 0, [&] {
      OnDestroy(window);
      return 0;
    });
    // Whatever went wrong in it, the message loop ends.
    PostQuitMessage(0);
    return 0;
  }
  // A failed WM_CREATE answers -1: the window is not made, and nothing
  // half-loaded is ever saved.
  const LRESULT onError = message == WM_CREATE ? -1 : 0;
  return GuardCallback<LRESULT>(window, onError, [&] { return MainWindowProcUnguarded(window, message, wParam, lParam); });
}

bool RegisterMainWindowClass(HINSTANCE instance, const wchar_t* className) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TOVREL));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = className;
  wc.hIconSm = LoadIconW(instance, MAKEINTRESOURCEW(IDI_SMALL));
  // A second run in the same process (the tests) finds the class registered.
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

HWND MainWindowHandle() { return g_state.window; }

int RunTovrel(HINSTANCE instance, int showCommand, const wchar_t* commandLine) {
  // Paths on the command line are taken against the folder it starts in,
  // before the working folder may become the current one.
  const LaunchRequest launch = ReadLaunchRequest(commandLine);
  wchar_t title[100] = L"";
  wchar_t className[100] = L"";
  LoadStringW(instance, IDS_APP_TITLE, title, 100);
  LoadStringW(instance, IDS_WINDOW_CLASS, className, 100);
  if (!RegisterMainWindowClass(instance, className)) return 0;
  // The program's files lie in the folder it starts in; that folder is taken
  // now, once, and never again from the current directory.
  AppContext& app = App();
  app.workingDirectory = FindWorkingFolder();
  InstallScreenCatalog(&app.text, &app.settings.moji_type);
  RouteUnattendedMessages(app, launch);
  if (const std::optional<int> exitCode = LaunchBeforeWindow(app, launch)) return *exitCode;
  // A second Tovrel on the same folder would take the first one's script,
  // list and unfinished run: it brings the first to the front instead.
  const InstanceLock folderLock(app.workingDirectory);
  if (!folderLock.Held()) {
    BringOtherInstanceToFront(className, app.workingDirectory);
    return kExitAnotherInstance;
  }
  // The shell's folder dialog needs COM on this thread.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  HWND window = CreateWindowExW(0, className, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                CW_USEDEFAULT, 0, nullptr, nullptr, instance, const_cast<LaunchRequest*>(&launch));
  if (!window) {
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
  }
  ShowWindow(window, showCommand);
  UpdateWindow(window);

  HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    // The accelerators are the main window's, whichever of its children
    // (the list, the toolbar) has the focus.
    if (!TranslateAcceleratorW(window, accelerators, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  g_state.window = nullptr;

  // The settings are written once, at the end; a failure is shown, never lost in silence.
  SaveSettingsOrSay(nullptr);
  SaveChangedTemplatesOrSay(nullptr);
  if (SUCCEEDED(com)) CoUninitialize();
  return g_state.runs.launched.exitCode;
}

}  // namespace tovrel
