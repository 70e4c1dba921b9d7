// Conversion by file name on the screen: dialog 12, where the rules are set,
// and the command that converts the whole list by them.
#pragma once

#include <windows.h>

#include <cstdint>

#include "printers/printer_catalog.h"
#include "storage/app_settings.h"
#include "storage/text_catalog.h"

namespace tovrel {

// Runs dialog 12 modally over `owner`. OK, the close box and Esc all store
// the dialog into `rules`; the printer choices come from `catalog` as it
// stands (it is not filled again). Nothing is applied to the list.
void RunFileNameRulesDialog(HWND owner, FileNameRules& rules, const PrinterCatalog& catalog);

// Converts every row of the list by the rules, whether or not they are
// switched on for adding, with the list's redraw paused.
void ConvertListByFileNames(HWND list, const FileNameRules& rules, const UiText& text, std::int32_t language);

}  // namespace tovrel
