#include "ui_text/language_dialog.h"

#include <windowsx.h>

#include "dialog_ids.h"
#include "storage/text_catalog.h"
#include "win32/callback_guard.h"
#include "win32/dialog_helpers.h"

namespace tovrel {

namespace {

// Each language in its own script, so that a user who cannot read the
// current one still finds theirs ("日本語", "English", "한국어", "中文"); the
// entry's index is the language number.
const wchar_t* const kLanguageNames[kLanguageCount] = {L"\u65E5\u672C\u8A9E", L"English",
                                                         L"\uD55C\uAD6D\uC5B4", L"\u4E2D\u6587"};

BOOL OnInitDialog(HWND dialog, HWND, LPARAM data) {
  SetWindowLongPtrW(dialog, DWLP_USER, data);
  CenterOnOwner(dialog);
  HWND combo = GetDlgItem(dialog, IDC_LANGUAGE);
  ComboBox_ResetContent(combo);
  for (const wchar_t* name : kLanguageNames) ComboBox_AddString(combo, name);
  const std::int32_t language = *reinterpret_cast<const std::int32_t*>(data);
  ComboBox_SetCurSel(combo, language >= 0 && language < kLanguageCount ? language : 0);
  return TRUE;
}

void OnCommand(HWND dialog, int id, HWND, UINT) {
  if (id == IDCANCEL) {  // Esc closes like the close box: the language stays
    EndDialog(dialog, IDCANCEL);
    return;
  }
  if (id != IDB_DIALOG_OK) return;
  const int chosen = ComboBox_GetCurSel(GetDlgItem(dialog, IDC_LANGUAGE));
  if (chosen < 0 || chosen >= kLanguageCount) return;  // nothing chosen: the dialog stays open
  *reinterpret_cast<std::int32_t*>(GetWindowLongPtrW(dialog, DWLP_USER)) = chosen;
  EndDialog(dialog, IDB_DIALOG_OK);
}

void OnClose(HWND dialog) { EndDialog(dialog, IDCANCEL); }

constexpr DLGPROC LanguageDialogProc = StandardDialogProc<OnInitDialog, OnCommand, OnClose>;

}  // namespace

bool RunLanguageDialog(HWND owner, std::int32_t& language) {
  std::int32_t chosen = language;
  const INT_PTR answer = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_LANGUAGE), owner,
                                         LanguageDialogProc, reinterpret_cast<LPARAM>(&chosen));
  if (answer != IDB_DIALOG_OK) return false;
  language = chosen;
  return true;
}

}  // namespace tovrel
