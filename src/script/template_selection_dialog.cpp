#include "script/template_selection_dialog.h"

#include <windowsx.h>

#include "dialog_ids.h"
#include "script/template_editor_dialog.h"
#include "win32/dialog_font.h"
#include "win32/callback_guard.h"
#include "win32/dialog_helpers.h"
#include "win32/help_pages_win32.h"
#include "win32/window_text.h"

namespace tovrel {

namespace {

constexpr int kTitleLength = 259;  // what the title field is read with

constexpr int kMessageCloseUnchanged = 36;
constexpr INT_PTR kChosen = 1;
constexpr INT_PTR kUnchanged = 2;

TemplateSelectionData& Data(HWND dialog) {
  return *reinterpret_cast<TemplateSelectionData*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

// The opening steps, repeated after the editor: texts, the list of titles
// and the active template's title in the field.
void ShowTitles(HWND dialog) {
  const TemplateSelectionData& data = Data(dialog);
  SetCatalogText(dialog, TextTable::Dialog, 26);
  SetCatalogItemText(dialog, IDT_LINE_1, TextTable::Dialog, 27);
  SetCatalogItemText(dialog, IDB_DIALOG_OK, TextTable::Dialog, 0);
  SetCatalogItemText(dialog, IDB_TEMPLATE_CANCEL, TextTable::Dialog, 1);
  SetCatalogItemText(dialog, IDB_TEMPLATE_HELP, TextTable::Dialog, 2);
  SetCatalogItemText(dialog, IDB_TEMPLATE_DETAILS, TextTable::Dialog, 28);
  HWND combo = GetDlgItem(dialog, IDC_TEMPLATE_TITLE);
  ComboBox_ResetContent(combo);
  for (const std::u16string& title : ListedTitles(data.templates, data.language)) {
    ComboBox_AddString(combo, W(title));
  }
  const int active = data.activeTemplate;
  const int shown = active >= 0 && active < kTemplateCount ? active : 1;
  SetWindowTextW(combo, W(data.templates[shown].title));
}

BOOL OnInitDialog(HWND dialog, HWND, LPARAM data) {
  SetWindowLongPtrW(dialog, DWLP_USER, data);
  CenterOnOwner(dialog);
  SendDlgItemMessageW(dialog, IDC_TEMPLATE_TITLE, CB_LIMITTEXT, kTitleLength, 0);
  ShowTitles(dialog);
  return TRUE;
}

void OnOk(HWND dialog) {
  wchar_t text[kTitleLength + 1] = L"";
  GetDlgItemTextW(dialog, IDC_TEMPLATE_TITLE, text, kTitleLength + 1);
  TemplateSelectionData& data = Data(dialog);
  const TitleChoice choice = ChooseByTitle(data.templates, U(text));
  if (choice.templateIndex < 0) {
    ShowMessage(dialog, choice.message);
    return;
  }
  data.activeTemplate = choice.templateIndex;
  EndDialog(dialog, kChosen);
}

void OnDetails(HWND dialog) {
  TemplateSelectionData& data = Data(dialog);
  TemplateEditorData editor{data.templates, data.editor, data.workingDirectory};
  RunTemplateEditorDialog(dialog, editor);
  if (data.saveTemplates) data.saveTemplates(dialog);
  // The main window may have been closed meanwhile, taking this dialog with it.
  if (IsWindow(dialog)) ShowTitles(dialog);
}

// Enter and Esc reach here as IDOK and IDCANCEL, which do nothing.
void OnCommand(HWND dialog, int id, HWND, UINT) {
  switch (id) {
    case IDB_DIALOG_OK:
      OnOk(dialog);
      break;
    case IDB_TEMPLATE_CANCEL:
      if (ShowMessage(dialog, kMessageCloseUnchanged, 1) == IDYES) EndDialog(dialog, kUnchanged);
      break;
    case IDB_TEMPLATE_HELP:
      OpenHelpPage(dialog, HelpTopic::TemplateSelection);
      break;
    case IDB_TEMPLATE_DETAILS:
      OnDetails(dialog);
      break;
    default:
      break;
  }
}

void OnClose(HWND dialog) { EndDialog(dialog, kUnchanged); }

constexpr DLGPROC TemplateSelectionProc = StandardDialogProc<OnInitDialog, OnCommand, OnClose>;

}  // namespace

bool RunTemplateSelectionDialog(HWND owner, TemplateSelectionData& data) {
  return ShowDialogInLanguage(owner, IDD_TEMPLATE_SELECTION, TemplateSelectionProc, reinterpret_cast<LPARAM>(&data)) == kChosen;
}

}  // namespace tovrel
