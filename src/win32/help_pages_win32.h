// Opens a help page of the current screen language in the user's browser:
// help\<language>\<page>.html in the folder Tovrel.exe lies in, English when
// the language's page is missing (help_pages.h decides which file).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "win32/help_pages.h"

namespace tovrel {

// Asks the shell to open the page with its "open" verb, shown normally.
void OpenHelpPage(HWND owner, HelpTopic topic);

// For tests: the folder the pages are looked for in (instead of the
// program's own) and what opens the chosen file (instead of ShellExecuteW).
// An empty folder and an empty function restore the program's own.
using HelpPageShell = std::function<void(HWND owner, const std::wstring& path)>;
void ReplaceHelpPageShell(const std::wstring& programFolder, HelpPageShell shell);

}  // namespace tovrel
