// Catalog texts on the screen: the shared text buffer, numbered message
// boxes and dialog labels.
#pragma once

#include <windows.h>

#include "ui_text/ui_text.h"

namespace tovrel {

// Looks text n of a table up in the current language into the shared
// 260-character buffer and returns it; the next lookup overwrites it.
const wchar_t* LookUpText(TextTable table, int number);

// Message n of the current language: kind 0 shows OK and returns 0, kind 1
// shows Yes/No and returns IDYES or IDNO; other kinds show nothing.
int ShowMessage(HWND owner, int number, int kind = 0);

// Message n with a detail line under its body (used for failures whose cause
// the user needs, such as the reason a file could not be written).
void ShowMessageWithDetail(HWND owner, int number, const std::u16string& detail);

// Sets a window's or a dialog control's text from the catalog.
void SetCatalogText(HWND window, TextTable table, int number);
void SetCatalogItemText(HWND dialog, int controlId, TextTable table, int number);

inline const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

}  // namespace tovrel
