#include "drawing_list/file_name_rules_dialog.h"

#include <windowsx.h>

#include <string>
#include <vector>

#include "dialog_ids.h"
#include "drawing_list/file_name_rules.h"
#include "drawing_list/file_name_rules_model.h"
#include "drawing_list/list_view_row_store_win32.h"
#include "win32/dialog_font.h"
#include "win32/callback_guard.h"
#include "win32/dialog_helpers.h"
#include "win32/window_text.h"

namespace tovrel {

namespace {

constexpr std::size_t kRuleCount = FileNameRules::kPaperRuleCount;

// What the dialog edits, handed over at its opening.
struct RulesDialogData {
  FileNameRules& rules;
  const PrinterCatalog& catalog;
  PrinterPaperWatch watch;
};

RulesDialogData& Data(HWND dialog) {
  return *reinterpret_cast<RulesDialogData*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

struct CatalogLabel {
  int id;
  int text;  // dialog text number
};

// The plot-area heading and the display label carry their own words (53 and
// 56), not the orientation heading's and the search heading's.
constexpr CatalogLabel kLabels[] = {
    {IDT_RULES_PAPER_SEARCH, 48},
    {IDT_RULES_PRINTER, 49},
    {IDT_RULES_PAPER, 47},
    {IDT_RULES_ORIENTATION_SEARCH, 48},
    {IDT_RULES_ORIENTATION, 50},
    {IDT_RULES_PORTRAIT, 51},
    {IDT_RULES_LANDSCAPE, 52},
    {IDT_RULES_PLOT_AREA_SEARCH, 48},
    {IDT_RULES_PLOT_AREA, 53},
    {IDT_RULES_LIMITS, 54},
    {IDT_RULES_EXTENTS, 55},
    {IDT_RULES_DISPLAY, 56},
    {IDB_DIALOG_OK, 0},
    {IDX_RULES_PAPER_ON, 47},
    {IDX_RULES_ORIENTATION_ON, 50},
    {IDX_RULES_PLOT_AREA_ON, 53},
    {IDX_RULES_CONVERT_WHEN_ADDING, 57},
};

struct CheckField {
  int id;
  bool FileNameRulesFields::*field;
};
constexpr CheckField kChecks[] = {
    {IDX_RULES_PAPER_ON, &FileNameRulesFields::paperRulesOn},
    {IDX_RULES_ORIENTATION_ON, &FileNameRulesFields::orientationOn},
    {IDX_RULES_PLOT_AREA_ON, &FileNameRulesFields::plotAreaOn},
    {IDX_RULES_CONVERT_WHEN_ADDING, &FileNameRulesFields::convertWhenAdding},
};

struct SearchField {
  int id;
  std::u16string FileNameRulesFields::*field;
};
constexpr SearchField kSearches[] = {
    {IDE_RULES_PORTRAIT, &FileNameRulesFields::portrait},
    {IDE_RULES_LANDSCAPE, &FileNameRulesFields::landscape},
    {IDE_RULES_LIMITS, &FileNameRulesFields::limits},
    {IDE_RULES_EXTENTS, &FileNameRulesFields::extents},
    {IDE_RULES_DISPLAY, &FileNameRulesFields::display},
};

int SearchId(std::size_t rule) {
  return IDE_RULES_SEARCH_1 + static_cast<int>(rule);
}
int PrinterId(std::size_t rule) {
  return IDC_RULES_PRINTER_1 + static_cast<int>(rule);
}
int PaperId(std::size_t rule) {
  return IDC_RULES_PAPER_1 + static_cast<int>(rule);
}

// What the user typed can be longer than a field: the whole text is read and
// cut when stored.
std::u16string ControlText(HWND control) {
  const int length = GetWindowTextLengthW(control);
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
  GetWindowTextW(control, buffer.data(), static_cast<int>(buffer.size()));
  return U(buffer.data());
}

std::u16string ItemText(HWND dialog, int id) {
  return ControlText(GetDlgItem(dialog, id));
}

void FillCombo(HWND combo, const std::vector<std::u16string>& names) {
  ComboBox_ResetContent(combo);
  for (const std::u16string& name : names) ComboBox_AddString(combo, W(name));
  FitDroppedWidth(combo);
}

void ShowPaperChoices(HWND dialog, std::size_t rule, const PaperChoices& choices) {
  HWND combo = GetDlgItem(dialog, PaperId(rule));
  const std::u16string paper = choices.paper ? *choices.paper : ControlText(combo);
  FillCombo(combo, choices.names);
  SetWindowTextW(combo, W(paper));
}

// Every rule whose printer text has changed since it was last seen gets the
// papers of its new printer.
void RefreshPapers(HWND dialog) {
  RulesDialogData& data = Data(dialog);
  for (std::size_t rule = 0; rule < kRuleCount; ++rule) {
    if (const auto choices = data.watch.Check(rule, ItemText(dialog, PrinterId(rule)), data.catalog)) {
      ShowPaperChoices(dialog, rule, *choices);
    }
  }
}

void ShowFields(HWND dialog, const FileNameRulesFields& fields, const PrinterCatalog& catalog) {
  for (const CheckField& check : kChecks)
    Button_SetCheck(GetDlgItem(dialog, check.id), fields.*check.field ? BST_CHECKED : BST_UNCHECKED);
  const std::vector<std::u16string> printers = CatalogPrinterNames(catalog);
  for (std::size_t rule = 0; rule < kRuleCount; ++rule) {
    const PaperRuleFields& field = fields.paperRules[rule];
    HWND search = GetDlgItem(dialog, SearchId(rule));
    Edit_LimitText(search, FileNamePaperRule::kSearchSize - 1);
    SetWindowTextW(search, W(field.search));
    HWND printer = GetDlgItem(dialog, PrinterId(rule));
    ComboBox_LimitText(printer, FileNamePaperRule::kPrinterSize - 1);
    FillCombo(printer, printers);
    SetWindowTextW(printer, W(field.printer));
    HWND paper = GetDlgItem(dialog, PaperId(rule));
    ComboBox_LimitText(paper, FileNamePaperRule::kPaperSize - 1);
    FillCombo(paper, PapersOfPrinter(catalog, field.printer));
    SetWindowTextW(paper, W(field.paper));
    ShowTextFromStart(printer);
    ShowTextFromStart(paper);
  }
  for (const SearchField& search : kSearches) {
    HWND edit = GetDlgItem(dialog, search.id);
    Edit_LimitText(edit, FileNameRules::kSearchSize - 1);
    SetWindowTextW(edit, W(fields.*search.field));
  }
}

FileNameRulesFields ReadFields(HWND dialog) {
  FileNameRulesFields fields;
  for (const CheckField& check : kChecks)
    fields.*check.field = IsDlgButtonChecked(dialog, check.id) == BST_CHECKED;
  for (std::size_t rule = 0; rule < kRuleCount; ++rule) {
    fields.paperRules[rule] = {ItemText(dialog, SearchId(rule)), ItemText(dialog, PrinterId(rule)),
                               ItemText(dialog, PaperId(rule))};
  }
  for (const SearchField& search : kSearches) fields.*search.field = ItemText(dialog, search.id);
  return fields;
}

void StopTimer(HWND dialog) {
  KillTimer(dialog, PrinterPaperWatch::kTimerId);
  Data(dialog).watch.TimerStopped();
}

// A printer chosen just before the dialog closes still gets its papers, as
// the timer would have given them, so that no rule is stored with a paper of
// the printer it had before.
void StoreAndClose(HWND dialog) {
  StopTimer(dialog);
  RefreshPapers(dialog);
  StoreFields(ReadFields(dialog), Data(dialog).rules);
  EndDialog(dialog, IDB_DIALOG_OK);
}

BOOL OnInitDialog(HWND dialog, HWND, LPARAM data) {
  SetWindowLongPtrW(dialog, DWLP_USER, data);
  CenterOnOwner(dialog);
  SetCatalogText(dialog, TextTable::Dialog, 46);
  for (const CatalogLabel& label : kLabels)
    SetCatalogItemText(dialog, label.id, TextTable::Dialog, label.text);
  const RulesDialogData& state = Data(dialog);
  ShowFields(dialog, FieldsFromRules(state.rules), state.catalog);
  return TRUE;
}

void OnCommand(HWND dialog, int id, HWND, UINT) {
  if (GetWindowLongPtrW(dialog, DWLP_USER) == 0) return;  // a control speaking before the dialog is set up
  if (id >= IDC_RULES_PRINTER_1 && id < IDC_RULES_PRINTER_1 + static_cast<int>(kRuleCount)) {
    if (Data(dialog).watch.Notified())
      SetTimer(dialog, PrinterPaperWatch::kTimerId, PrinterPaperWatch::kDelayMs, nullptr);
    return;
  }
  // Esc does what the close box does.
  if (id == IDB_DIALOG_OK || id == IDCANCEL) StoreAndClose(dialog);
}

void OnTimer(HWND dialog, UINT id) {
  if (id != PrinterPaperWatch::kTimerId) return;
  StopTimer(dialog);
  RefreshPapers(dialog);
}

void OnClose(HWND dialog) {
  StoreAndClose(dialog);
}

INT_PTR FileNameRulesDialogProcUnguarded(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return HANDLE_WM_INITDIALOG(dialog, wParam, lParam, OnInitDialog);
    case WM_COMMAND:
      HANDLE_WM_COMMAND(dialog, wParam, lParam, OnCommand);
      return TRUE;
    case WM_TIMER:
      HANDLE_WM_TIMER(dialog, wParam, lParam, OnTimer);
      return TRUE;
    case WM_CLOSE:
      HANDLE_WM_CLOSE(dialog, wParam, lParam, OnClose);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK FileNameRulesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return GuardCallback<INT_PTR>(
      dialog, FALSE, [&] { return FileNameRulesDialogProcUnguarded(dialog, message, wParam, lParam); });
}

std::array<std::u16string, kRuleCount> Printers(const FileNameRules& rules) {
  std::array<std::u16string, kRuleCount> printers;
  for (std::size_t rule = 0; rule < kRuleCount; ++rule) printers[rule] = rules.fp_ps[rule].printer;
  return printers;
}

}  // namespace

void RunFileNameRulesDialog(HWND owner, FileNameRules& rules, const PrinterCatalog& catalog) {
  RulesDialogData data{rules, catalog, PrinterPaperWatch(Printers(rules))};
  ShowDialogInLanguage(owner, IDD_FILE_NAME_RULES, FileNameRulesDialogProc, reinterpret_cast<LPARAM>(&data));
}

void ConvertListByFileNames(HWND list, const FileNameRules& rules, const UiText& text,
                            std::int32_t language) {
  const ListRedrawPause pause(list);
  ListViewRowStore store(list);
  ApplyFileNameRules(store, rules, text, language, 0);
}

}  // namespace tovrel
