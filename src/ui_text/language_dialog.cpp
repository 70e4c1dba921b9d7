#include "ui_text/language_dialog.h"
#include "app/callback_guard.h"

#include <windowsx.h>

#include "app/app_context.h"
#include "dialog_ids.h"

namespace tovrel {

namespace {

const wchar_t* const kLanguageNames[] = {L"Japanese", L"English", L"Korean", L"Chinese"};

BOOL OnInitDialog(HWND dialog, HWND, LPARAM) {
  HWND combo = GetDlgItem(dialog, IDC_LANGUAGE);
  ComboBox_ResetContent(combo);
  for (const wchar_t* name : kLanguageNames) ComboBox_AddString(combo, name);
  const int language = App().settings.moji_type;
  if (language >= 0 && language < 4) SetWindowTextW(combo, kLanguageNames[language]);
  return TRUE;
}

// Only the exact names of the other three languages choose them; anything
// else typed or chosen means Japanese.
void OnCommand(HWND dialog, int id, HWND, UINT) {
  if (id == IDCANCEL) {  // Esc closes like the close box: the language stays
    EndDialog(dialog, IDCANCEL);
    return;
  }
  if (id != IDB_DIALOG_OK) return;
  wchar_t chosen[31] = L"";
  GetDlgItemTextW(dialog, IDC_LANGUAGE, chosen, 31);
  std::int32_t language = 0;
  for (int i = 1; i < 4; ++i) {
    if (wcscmp(chosen, kLanguageNames[i]) == 0) language = i;
  }
  App().settings.moji_type = language;
  EndDialog(dialog, IDB_DIALOG_OK);
}

void OnClose(HWND dialog) { EndDialog(dialog, IDCANCEL); }

INT_PTR LanguageDialogProcUnguarded(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return HANDLE_WM_INITDIALOG(dialog, wParam, lParam, OnInitDialog);
    case WM_COMMAND:
      HANDLE_WM_COMMAND(dialog, wParam, lParam, OnCommand);
      return TRUE;
    case WM_CLOSE:
      HANDLE_WM_CLOSE(dialog, wParam, lParam, OnClose);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK LanguageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return GuardCallback<INT_PTR>(dialog, FALSE, [&] { return LanguageDialogProcUnguarded(dialog, message, wParam, lParam); });
}

}  // namespace

void RunLanguageDialog(HWND owner) {
  DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_LANGUAGE), owner,
                  LanguageDialogProc, 0);
}

}  // namespace tovrel
