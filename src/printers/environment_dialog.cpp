#include "printers/environment_dialog.h"

#include <cderr.h>
#include <windowsx.h>

#include <string>
#include <vector>

#include "dialog_ids.h"
#include "printers/environment_setup.h"
#include "win32/dialog_font.h"
#include "win32/callback_guard.h"
#include "win32/dialog_helpers.h"
#include "win32/file_dialog.h"
#include "win32/help_pages_win32.h"
#include "win32/progress_window.h"
#include "win32/window_text.h"

namespace tovrel {

namespace {


constexpr int kMessageAskSetup = 29;
constexpr int kMessageSetupDone = 33;
constexpr int kMessageListFull = 60;
constexpr int kMessageNoAutocad = 61;
constexpr int kTextPlottersFolder = 81;  // dialog text: label and file dialog title

// What the dialog edits, handed over at its opening.
struct EnvironmentData {
  AppSettings& settings;
  const FileSystem& files;
  const std::u16string& workingDirectory;
  std::vector<std::u16string> prohibited;  // the list box's items
};

EnvironmentData& Data(HWND dialog) {
  return *reinterpret_cast<EnvironmentData*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

std::u16string ItemText(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
  return std::u16string(text.begin(), text.end());
}

// A browse button: its edit, the field it stores into, its file dialog.
struct PathField {
  int editId;
  std::u16string AppSettings::*field;
  int titleText;              // code text
  const wchar_t* filter;
};

constexpr PathField kPathFields[] = {
    {IDE_AUTOCAD_FILE, &AppSettings::autocad_file, 39, L"AutoCad(*.exe)\0*.exe\0ALLFile(*.*)\0*.*\0"},
    {IDE_SCRIPT_FILE, &AppSettings::temp_file, 40, L"Temp(*.scr)\0*.scr\0ALLFile(*.*)\0*.*\0"},
    {IDE_END_FILE, &AppSettings::end_file_dwg, 41, L"EndFile(*.dwg)\0*.dwg\0ALLFile(*.*)\0*.*\0"},
    {IDE_CORECONSOLE_FILE, &AppSettings::coreconsole_file, 39,
     L"Core Console(accoreconsole.exe)\0accoreconsole.exe\0ALLFile(*.*)\0*.*\0"},
};
constexpr const PathField& kCoreConsoleField = kPathFields[3];

void FillProhibitedList(HWND dialog) {
  HWND list = GetDlgItem(dialog, IDL_PROHIBITED_PRINTERS);
  ListBox_ResetContent(list);
  for (const std::u16string& name : Data(dialog).prohibited) ListBox_AddString(list, W(name));
}

BOOL OnInitDialog(HWND dialog, HWND, LPARAM data) {
  SetWindowLongPtrW(dialog, DWLP_USER, data);
  CenterOnOwner(dialog);
  SetCatalogText(dialog, TextTable::Dialog, 15);
  for (int id = IDT_ENV_PROHIBITED_GROUP; id <= IDT_ENV_PRINTER_LABEL; ++id) {
    SetCatalogItemText(dialog, id, TextTable::Dialog, 16 + (id - IDT_ENV_PROHIBITED_GROUP));
  }
  const struct {
    int id;
    int text;
  } buttons[] = {{IDB_DIALOG_OK, 0},        {IDB_ENV_CANCEL, 1},       {IDB_ENV_HELP, 2},
                 {IDB_AUTOMATIC_SETUP, 23}, {IDB_REGISTER_PRINTER, 4}, {IDB_DELETE_PRINTER, 24},
                 {IDX_PAPER_AB, 25},        {IDT_ENV_TIMEOUT_LABEL, 84}, {IDT_ENV_PLOTTERS_LABEL, kTextPlottersFolder},
                 {IDT_ENV_CORECONSOLE_LABEL, 87}, {IDT_ENV_WORKERS_LABEL, 88},
                 {IDT_ENV_BATCH_LABEL, 86}};
  for (const auto& button : buttons) SetCatalogItemText(dialog, button.id, TextTable::Dialog, button.text);

  EnvironmentData& state = Data(dialog);
  for (const PathField& path : kPathFields) {
    SendDlgItemMessageW(dialog, path.editId, EM_LIMITTEXT, AppSettings::kPathSize - 1, 0);
    SetDlgItemTextW(dialog, path.editId, W(state.settings.*path.field));
  }
  SendDlgItemMessageW(dialog, IDE_PLOTTERS_FOLDER, EM_LIMITTEXT, AppSettings::kPathSize - 1, 0);
  SetDlgItemTextW(dialog, IDE_PLOTTERS_FOLDER, W(state.settings.plotters_folder));
  SendDlgItemMessageW(dialog, IDE_PRINTER_NAME, EM_LIMITTEXT, AppSettings::kProhibitedPrinterSize - 1, 0);
  // Enter in the name field registers the name; only OK closes the dialog.
  SendEnterAsCommand(GetDlgItem(dialog, IDE_PRINTER_NAME), IDB_REGISTER_PRINTER);
  state.prohibited = ProhibitedNamesOf(state.settings);
  FillProhibitedList(dialog);
  CheckDlgButton(dialog, IDX_PAPER_AB, state.settings.print_paper_ab != 0 ? BST_CHECKED : BST_UNCHECKED);
  SetDlgItemInt(dialog, IDE_RUN_TIMEOUT, static_cast<UINT>(state.settings.run_timeout), FALSE);
  SendDlgItemMessageW(dialog, IDE_RUN_TIMEOUT, EM_LIMITTEXT, 5, 0);
  SetDlgItemInt(dialog, IDE_PARALLEL_WORKERS, static_cast<UINT>(state.settings.parallel_workers), FALSE);
  SendDlgItemMessageW(dialog, IDE_PARALLEL_WORKERS, EM_LIMITTEXT, 2, 0);
  SetDlgItemInt(dialog, IDE_RUN_BATCH_SIZE, static_cast<UINT>(state.settings.run_batch_size), FALSE);
  SendDlgItemMessageW(dialog, IDE_RUN_BATCH_SIZE, EM_LIMITTEXT, 5, 0);
  CheckDlgButton(dialog, IDX_NO_PROHIBITED_NOTICE,
                 state.settings.prohibition_plmode != 0 ? BST_CHECKED : BST_UNCHECKED);
  return TRUE;
}

void StoreAndClose(HWND dialog) {
  EnvironmentData& state = Data(dialog);
  AppSettings& settings = state.settings;
  for (const PathField& path : kPathFields) settings.*path.field = SettingsPathText(ItemText(dialog, path.editId));
  settings.plotters_folder = SettingsPathText(ItemText(dialog, IDE_PLOTTERS_FOLDER));
  StoreProhibitedNames(state.prohibited, settings);
  settings.print_paper_ab = IsDlgButtonChecked(dialog, IDX_PAPER_AB) == BST_CHECKED ? 1 : 0;
  settings.prohibition_plmode = IsDlgButtonChecked(dialog, IDX_NO_PROHIBITED_NOTICE) == BST_CHECKED ? 1 : 0;
  settings.run_timeout = RunTimeoutFromText(ItemText(dialog, IDE_RUN_TIMEOUT));
  settings.parallel_workers = ParallelWorkersFromText(ItemText(dialog, IDE_PARALLEL_WORKERS));
  settings.run_batch_size = static_cast<std::int32_t>(GetDlgItemInt(dialog, IDE_RUN_BATCH_SIZE, nullptr, FALSE));
  // Kept all the same: the settings may be meant for another machine.
  if (!AutocadProgramExists(state.files, settings.autocad_file)) ShowMessage(dialog, kMessageNoAutocad);
  EndDialog(dialog, TRUE);
}

// The file dialog starts from the edit's text and puts its choice there;
// only OK stores it.
void Browse(HWND dialog, const PathField& path) {
  FileDialogOptions options;
  options.owner = dialog;
  options.title = LookUpText(TextTable::Code, path.titleText);
  options.filter = path.filter;
  options.initialName = SettingsPathText(ItemText(dialog, path.editId));
  FileDialogResult result = AskOpenFile(options);
  if (result.outcome == FileDialogOutcome::Failed && result.error == FNERR_INVALIDFILENAME) {
    options.initialName.clear();  // a typed text the dialog cannot start on
    result = AskOpenFile(options);
  }
  if (!result.Chosen()) {
    ReportFileDialogFailure(dialog, result);
    return;
  }
  SetDlgItemTextW(dialog, path.editId, W(SettingsPathText(result.Path())));
}

// The plotter folder is chosen by one of its configurations.
void BrowsePlotters(HWND dialog) {
  FileDialogOptions options;
  options.owner = dialog;
  options.title = LookUpText(TextTable::Dialog, kTextPlottersFolder);
  options.filter = L"AutoCAD(*.pc3)\0*.pc3\0";
  const std::u16string folder = ItemText(dialog, IDE_PLOTTERS_FOLDER);
  if (!folder.empty()) options.initialName = folder + u"\\*.pc3";
  const FileDialogResult result = AskOpenFile(options);
  if (!result.Chosen()) {
    ReportFileDialogFailure(dialog, result);
    return;
  }
  const std::u16string path = result.Path();
  const std::size_t slash = path.find_last_of(u"\\/");
  SetDlgItemTextW(dialog, IDE_PLOTTERS_FOLDER, W(SettingsPathText(slash == path.npos ? path : path.substr(0, slash))));
}

// Searches the fixed drives behind the progress window, whose Stop ends the
// search; the dialog takes no input meanwhile but repaints.
void AutomaticSetupCommand(HWND dialog) {
  if (ShowMessage(dialog, kMessageAskSetup, 1) != IDYES) return;
  EnvironmentData& state = Data(dialog);
  EnableWindow(dialog, FALSE);
  AutomaticSetup setup;
  {
    ProgressWindow progress(dialog, ProgressWindow::Stops::NowOnly);
    progress.SetCaption(U(LookUpText(TextTable::Dialog, 31)));
    progress.SetLines(U(LookUpText(TextTable::Code, 99)), u"aclt.exe, acad.exe, accoreconsole.exe, atcprint.scr, endfile.dwg", u"", u"");
    wchar_t appData[MAX_PATH] = L"";
    const DWORD length = GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH);
    setup = RunAutomaticSetup(state.files, state.workingDirectory, [&progress] { return progress.PumpAndAskStop(); },
                              length > 0 && length < MAX_PATH ? U(appData) : std::u16string());
  }
  EnableWindow(dialog, TRUE);
  SetActiveWindow(dialog);
  if (setup.cancelled) return;
  SetDlgItemTextW(dialog, IDE_AUTOCAD_FILE, W(SettingsPathText(setup.autocadFile)));
  SetDlgItemTextW(dialog, IDE_SCRIPT_FILE, W(SettingsPathText(setup.scriptFile)));
  SetDlgItemTextW(dialog, IDE_END_FILE, W(SettingsPathText(setup.endFile)));
  SetDlgItemTextW(dialog, IDE_CORECONSOLE_FILE, W(SettingsPathText(setup.coreConsoleFile)));
  if (!setup.plottersFolder.empty()) SetDlgItemTextW(dialog, IDE_PLOTTERS_FOLDER, W(SettingsPathText(setup.plottersFolder)));
  for (int message : setup.messages) ShowMessage(dialog, message);
  ShowMessage(dialog, kMessageSetupDone);
}

void RegisterCommand(HWND dialog) {
  EnvironmentData& state = Data(dialog);
  const std::u16string typed = ItemText(dialog, IDE_PRINTER_NAME);
  switch (RegisterProhibitedName(state.prohibited, typed)) {
    case RegisterResult::Added:
      ListBox_AddString(GetDlgItem(dialog, IDL_PROHIBITED_PRINTERS), W(state.prohibited.back()));
      break;
    case RegisterResult::Duplicate:  // shown where it is
      ListBox_SetCurSel(GetDlgItem(dialog, IDL_PROHIBITED_PRINTERS), FindProhibitedName(state.prohibited, typed));
      break;
    case RegisterResult::Full:
      ShowMessage(dialog, kMessageListFull);
      break;
    case RegisterResult::Empty:
      break;
  }
}

void DeleteCommand(HWND dialog) {
  HWND list = GetDlgItem(dialog, IDL_PROHIBITED_PRINTERS);
  const int selected = ListBox_GetCurSel(list);
  if (DeleteProhibitedName(Data(dialog).prohibited, selected)) ListBox_DeleteString(list, selected);
}

void OnCommand(HWND dialog, int id, HWND, UINT) {
  switch (id) {
    case IDB_DIALOG_OK:
      StoreAndClose(dialog);
      break;
    case IDB_ENV_CANCEL:
    case IDCANCEL:  // Esc
      EndDialog(dialog, FALSE);
      break;
    case IDB_ENV_HELP:
      OpenHelpPage(dialog, HelpTopic::Environment);
      break;
    case IDB_BROWSE_AUTOCAD:
    case IDB_BROWSE_SCRIPT:
    case IDB_BROWSE_END_FILE:
      Browse(dialog, kPathFields[id - IDB_BROWSE_AUTOCAD]);
      break;
    case IDB_BROWSE_CORECONSOLE:
      Browse(dialog, kCoreConsoleField);
      break;
    case IDB_BROWSE_PLOTTERS:
      BrowsePlotters(dialog);
      break;
    case IDB_AUTOMATIC_SETUP:
      AutomaticSetupCommand(dialog);
      break;
    case IDB_REGISTER_PRINTER:
      RegisterCommand(dialog);
      break;
    case IDB_DELETE_PRINTER:
      DeleteCommand(dialog);
      break;
    default:
      break;
  }
}

void OnClose(HWND dialog) { EndDialog(dialog, FALSE); }

constexpr DLGPROC EnvironmentDialogProc = StandardDialogProc<OnInitDialog, OnCommand, OnClose>;

}  // namespace

bool RunEnvironmentDialog(HWND owner, AppSettings& settings, const FileSystem& files,
                          const std::u16string& workingDirectory) {
  EnvironmentData data{settings, files, workingDirectory, {}};
  return ShowDialogInLanguage(owner, IDD_ENVIRONMENT, EnvironmentDialogProc, reinterpret_cast<LPARAM>(&data)) == TRUE;
}

}  // namespace tovrel
