#include "drawing_list/edit_dialog.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "dialog_ids.h"
#include "drawing_list/file_name_rules_model.h"
#include "printers/printer_catalog_win32.h"
#include "storage/file_system_win32.h"
#include "win32/dialog_font.h"
#include "win32/callback_guard.h"
#include "win32/dialog_helpers.h"
#include "win32/dpi.h"
#include "win32/help_pages_win32.h"
#include "win32/window_text.h"

namespace tovrel {

namespace {

// A printer change refreshes the paper choices half a second later, so that
// typing a name does not read the catalog at every key.
constexpr UINT_PTR kPrinterTimer = 1;
constexpr UINT kPrinterTimerMs = 500;
constexpr int kPrinterTextSize = 256;

struct EditDialogState {
  EditDialogData* data = nullptr;
  std::vector<EditControlPlace> places;
  std::vector<HWND> controls;   // one per place
  HWND printerCombo = nullptr;  // the last printer drop-down made
  HWND paperCombo = nullptr;    // the last paper drop-down made
  bool timerArmed = false;
  std::u16string lastPrinterSeen;
};

EditDialogState& State(HWND dialog) {
  return *reinterpret_cast<EditDialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

std::u16string TextOfWindow(HWND window, int size) {
  std::vector<wchar_t> buffer(static_cast<std::size_t>(size), L'\0');
  const int n = GetWindowTextW(window, buffer.data(), size);
  return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()),
                        static_cast<std::size_t>(std::max(n, 0)));
}

void SetText(HWND window, const std::u16string& text) {
  SetWindowTextW(window, W(text));
}

void FillCombo(HWND combo, const std::vector<std::u16string>& choices) {
  for (const std::u16string& choice : choices) ComboBox_AddString(combo, W(choice));
}

// The caption of the mode; the initial values name the template they belong to.
void SetModeTitle(HWND dialog, EditMode mode, const std::u16string& templateTitle) {
  SetCatalogText(dialog, TextTable::Dialog, 30);
  const int number = mode == EditMode::OneLine ? 36 : mode == EditMode::OneColumn ? 37 : 38;
  std::wstring title = LookUpText(TextTable::Code, number);
  if (title.empty()) return;
  if (mode == EditMode::InitialValues) {
    const std::size_t at = title.find(L"%s");
    if (at != std::wstring::npos) title.replace(at, 2, W(templateTitle));
  }
  SetWindowTextW(dialog, title.c_str());
}

HWND CreateControl(HWND dialog, const EditControlPlace& place, HFONT font) {
  const bool field = place.editMode == kEditText;
  // The controls scroll their text sideways: a value wider than its field is
  // read back whole, never cut to what the field shows.
  const DWORD style = field
                          ? WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL
                          : WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
  // The layout is in pixels of the 96-dpi design.
  HWND control = CreateWindowExW(
      0, field ? WC_EDITW : WC_COMBOBOXW, L"", style, ScaleToDpi(place.x), ScaleToDpi(place.y),
      ScaleToDpi(place.width), ScaleToDpi(field ? kEditFieldHeight : kEditComboDropHeight), dialog,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.controlId)), GetModuleHandleW(nullptr), nullptr);
  if (control && font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (control) SendMessageW(control, field ? EM_LIMITTEXT : CB_LIMITTEXT, RowBuffer::kTextSize - 1, 0);
  return control;
}

void FillChoices(HWND dialog, EditDialogState& state, const EditControlPlace& place, HWND combo,
                 const std::u16string& text, std::u16string& currentPrinter, bool& printerSeen) {
  EditDialogData& data = *state.data;
  const TemplateColumn& column = data.activeTemplate.columns[static_cast<std::size_t>(place.templateColumn)];
  switch (place.editMode) {
    case kEditPrinter:
      AddPrinterNamesToCombo(dialog, combo, data.printers);
      currentPrinter = text;
      printerSeen = true;
      state.printerCombo = combo;
      break;
    case kEditPaper:
      FillCombo(combo, printerSeen ? PapersOfPrinter(data.printers, currentPrinter)
                                   : PaperNamesOf(data.printers, 0));
      state.paperCombo = combo;
      break;
    default: {
      const Win32FileSystem files;
      FillCombo(combo, ChoicesForColumn(column, data.printers, currentPrinter,
                                        [&] { return ListPlotStyles(files, data.autocadFile); }));
      break;
    }
  }
}

// Sizes the dialog to its controls: the buttons stand one gap below the
// lowest row of fields and one gap above the dialog's lower edge, centred;
// the dialog grows wider when a row of fields needs it.
void FitToControls(HWND dialog, const EditDialogState& state) {
  constexpr int kGap = 10;  // design pixels
  int right = 0;
  int bottom = 0;
  for (const EditControlPlace& place : state.places) {
    right = std::max(right, ScaleToDpi(place.x + place.width + 5));
    bottom = std::max(bottom, ScaleToDpi(place.y + kEditFieldHeight));
  }
  const int top = bottom + ScaleToDpi(kGap);
  RECT client{};
  GetClientRect(dialog, &client);
  const int width = std::max(right, static_cast<int>(client.right));
  RECT row{};  // the three buttons together
  for (int id : {IDB_DIALOG_OK, IDB_EDIT_CANCEL, IDB_EDIT_HELP}) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    UnionRect(&row, &row, &r);
  }
  const int dx = (width - (row.right - row.left)) / 2 - row.left;
  const int dy = top - row.top;
  for (int id : {IDB_DIALOG_OK, IDB_EDIT_CANCEL, IDB_EDIT_HELP}) {
    HWND button = GetDlgItem(dialog, id);
    RECT r{};
    GetWindowRect(button, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(button, nullptr, r.left + dx, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  }
  RECT frame{0, 0, width, top + (row.bottom - row.top) + ScaleToDpi(kGap)};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)));
  SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER);
}

// Lays the controls out again with each drop-down as wide as its longest
// choice, and shows every text from its start.
void WidenToChoices(EditDialogState& state) {
  std::vector<int> needed(state.data->activeTemplate.columns.size(), 0);
  for (std::size_t i = 0; i < state.places.size(); ++i) {
    if (state.places[i].editMode != kEditText && state.controls[i]) {
      needed[static_cast<std::size_t>(state.places[i].templateColumn)] =
          UnscaleFromDpi(WidestChoiceWidth(state.controls[i]));
    }
  }
  state.places = LayOutEditControls(state.data->activeTemplate,
                                    [&](int column) { return needed[static_cast<std::size_t>(column)]; });
  for (std::size_t i = 0; i < state.places.size() && i < state.controls.size(); ++i) {
    const EditControlPlace& place = state.places[i];
    HWND control = state.controls[i];
    if (!control) continue;
    const bool field = place.editMode == kEditText;
    SetWindowPos(control, nullptr, ScaleToDpi(place.x), ScaleToDpi(place.y), ScaleToDpi(place.width),
                 ScaleToDpi(field ? kEditFieldHeight : kEditComboDropHeight), SWP_NOZORDER | SWP_NOACTIVATE);
    if (!field) FitDroppedWidth(control);
    ShowTextFromStart(control);
  }
}

BOOL OnInitDialog(HWND dialog, HWND, LPARAM lParam) {
  auto* state = reinterpret_cast<EditDialogState*>(lParam);
  SetWindowLongPtrW(dialog, DWLP_USER, lParam);
  EditDialogData& data = *state->data;
  SetCatalogItemText(dialog, IDB_DIALOG_OK, TextTable::Dialog, 0);
  SetCatalogItemText(dialog, IDB_EDIT_CANCEL, TextTable::Dialog, 1);
  SetCatalogItemText(dialog, IDB_EDIT_HELP, TextTable::Dialog, 2);

  state->places = LayOutEditControls(data.activeTemplate);
  std::u16string currentPrinter;
  bool printerSeen = false;
  for (const EditControlPlace& place : state->places) {
    HWND control = CreateControl(dialog, place, data.font);
    state->controls.push_back(control);
    const std::u16string& text = data.buffer.Slot(place.listColumn);
    if (control && place.editMode != kEditText) {
      FillChoices(dialog, *state, place, control, text, currentPrinter, printerSeen);
    }
    SetText(control, text);
  }
  WidenToChoices(*state);
  SetModeTitle(dialog, data.mode, data.activeTemplate.title);
  state->timerArmed = false;
  // The refresh compares with the printer the dialog opened with: choosing
  // it again changes nothing, any other printer brings its papers.
  if (state->printerCombo) state->lastPrinterSeen = TextOfWindow(state->printerCombo, kPrinterTextSize);
  FitToControls(dialog, *state);
  CenterOnOwner(dialog);
  // The focus starts in the first field, so that Enter never applies
  // unchanged values before the user has seen them.
  for (HWND control : state->controls) {
    if (!control) continue;
    SetFocus(control);
    if (GetDlgCtrlID(control) >= kEditFieldIdBase && GetDlgCtrlID(control) < kEditComboIdBase) {
      Edit_SetSel(control, 0, -1);
    }
    return FALSE;
  }
  return TRUE;
}

void OnPaint(HWND dialog) {
  const EditDialogState& state = State(dialog);
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(dialog, &paint);
  HGDIOBJ oldFont = state.data->font ? SelectObject(dc, state.data->font) : nullptr;
  SetBkMode(dc, TRANSPARENT);
  for (const EditControlPlace& place : state.places) {
    const std::u16string& label =
        state.data->activeTemplate.columns[static_cast<std::size_t>(place.templateColumn)].itemText;
    TextOutW(dc, ScaleToDpi(place.x), ScaleToDpi(place.LabelY()), W(label), static_cast<int>(label.size()));
  }
  if (oldFont) SelectObject(dc, oldFont);
  EndPaint(dialog, &paint);
}

// Half a second after the printer drop-down changed: the papers of the
// printer now named, the first of them chosen. A name the catalog does not
// hold (AutoCAD's own device configurations, such as "DWG To PDF.pc3") is
// kept as typed and offers no papers; the paper stays as it is.
void RefreshPapers(HWND dialog) {
  EditDialogState& state = State(dialog);
  KillTimer(dialog, kPrinterTimer);
  state.timerArmed = false;
  if (!state.printerCombo) return;
  const std::u16string printer = TextOfWindow(state.printerCombo, kPrinterTextSize);
  if (printer == state.lastPrinterSeen) return;
  state.lastPrinterSeen = printer;
  if (!state.paperCombo) return;
  const std::vector<std::u16string> papers = PapersOfPrinter(state.data->printers, printer);
  const std::u16string paper = TextOfWindow(state.paperCombo, static_cast<int>(RowBuffer::kTextSize));
  ComboBox_ResetContent(state.paperCombo);
  FillCombo(state.paperCombo, papers);
  SetText(state.paperCombo, papers.empty() ? paper : papers.front());
}

void OnTimer(HWND dialog, UINT id) {
  if (id == kPrinterTimer) RefreshPapers(dialog);
}

void OnCommand(HWND dialog, int id, HWND control, UINT) {
  EditDialogState& state = State(dialog);
  if (control && control == state.printerCombo) {
    if (!state.timerArmed) state.timerArmed = SetTimer(dialog, kPrinterTimer, kPrinterTimerMs, nullptr) != 0;
    return;
  }
  switch (id) {
    case IDOK:  // Enter in a field
    case IDB_DIALOG_OK:
      // A printer chosen just before OK still brings its papers, as the
      // timer would have: no row is given a paper of the printer before.
      if (state.timerArmed) RefreshPapers(dialog);
      CollectEditTexts(state.data->activeTemplate, state.data->buffer, [&](int templateColumn) {
        for (std::size_t i = 0; i < state.places.size(); ++i) {
          if (state.places[i].templateColumn == templateColumn) {
            return TextOfWindow(state.controls[i], static_cast<int>(RowBuffer::kTextSize));
          }
        }
        return std::u16string();
      });
      EndDialog(dialog, IDB_DIALOG_OK);
      break;
    case IDB_EDIT_CANCEL:
    case IDCANCEL:
      EndDialog(dialog, IDCANCEL);
      break;
    case IDB_EDIT_HELP:
      OpenHelpPage(dialog, HelpTopic::Editing);
      break;
    default:
      break;
  }
}

void OnClose(HWND dialog) {
  EndDialog(dialog, IDCANCEL);
}

void OnDestroy(HWND dialog) {
  KillTimer(dialog, kPrinterTimer);
}

INT_PTR OnOtherMessage(HWND dialog, UINT message, WPARAM wParam, [[maybe_unused]] LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      HANDLE_WM_PAINT(dialog, wParam, lParam, OnPaint);
      return TRUE;
    case WM_TIMER:
      HANDLE_WM_TIMER(dialog, wParam, lParam, OnTimer);
      return TRUE;
    case WM_DESTROY:
      HANDLE_WM_DESTROY(dialog, wParam, lParam, OnDestroy);
      return TRUE;
    default:
      return FALSE;
  }
}

constexpr DLGPROC EditDialogProc = StandardDialogProc<OnInitDialog, OnCommand, OnClose, OnOtherMessage>;

}  // namespace

bool RunEditDialog(HWND owner, EditDialogData& data) {
  EditDialogState state;
  state.data = &data;
  const INT_PTR answer = ShowDialogInLanguage(owner, IDD_EDIT_ROWS, EditDialogProc, reinterpret_cast<LPARAM>(&state));
  return answer == IDB_DIALOG_OK;
}

}  // namespace tovrel
