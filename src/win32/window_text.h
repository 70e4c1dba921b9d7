// Catalog texts on the screen: the shared text buffer, numbered message
// boxes and dialog labels. The program installs its catalog and the current
// language once at start; every window below the application reads its texts
// through these functions.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "storage/text_catalog.h"

namespace tovrel {

// The catalog and the language the screen texts come from; both must outlive
// every window. Until installed, every lookup is empty.
void InstallScreenCatalog(const UiText* catalog, const std::int32_t* language);
// The language the screen texts are shown in (0 when none is installed).
std::int32_t ScreenLanguage();

// Unattended: from now on nobody waits at the screen. Every numbered
// message is written as one line to the log file at `logPath` (UTF-8 with a
// byte-order mark, made with its folder at the first line) instead of being
// shown, and a question is answered with the answer that changes nothing.
// `goAhead` answers the windows that ask whether to go ahead despite a
// warning (the check before a run).
void SendMessagesToLog(const std::u16string& logPath, bool goAhead);
bool MessagesGoToLog();
bool UnattendedGoesAhead();
// Adds lines to that log (a failure to write it cannot be told anyone: the
// line is lost). Line breaks inside `text` make further lines.
void WriteToMessageLog(const std::u16string& text);

// Looks text n of a table up in the current language into the shared
// 260-character buffer and returns it; the next lookup overwrites it.
const wchar_t* LookUpText(TextTable table, int number);

// Message n of the current language: kind 0 shows OK and returns 0, kind 1
// shows Yes/No and returns IDYES or IDNO; other kinds show nothing. A message
// shown without an owner (after the main window has gone) comes to the front.
// Unattended, the message goes to the log and a question is answered No
// (Yes for the questions whose No goes ahead).
int ShowMessage(HWND owner, int number, int kind = 0);

// Message n with a detail line under its body (used for failures whose cause
// the user needs, such as the reason a file could not be written, or the row
// a script line belongs to, the usage of the command line).
void ShowMessageWithDetail(HWND owner, int number, const std::u16string& detail, UINT icon = MB_ICONWARNING);
// The same asked with Yes and No: IDYES or IDNO (unattended: the answer that
// changes nothing, in the log).
int AskMessageWithDetail(HWND owner, int number, const std::u16string& detail);

// Sets a window's or a dialog control's text from the catalog. An empty
// catalog text (a missing catalog file) keeps the text the window has from
// its resource, so that nothing goes blank.
void SetCatalogText(HWND window, TextTable table, int number);
void SetCatalogItemText(HWND dialog, int controlId, TextTable table, int number);

inline const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
inline std::u16string U(const wchar_t* s) { return reinterpret_cast<const char16_t*>(s); }

}  // namespace tovrel
