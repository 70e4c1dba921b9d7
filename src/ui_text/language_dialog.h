// The language dialog (14): the four languages, each named in its own script.
#pragma once

#include <windows.h>

#include <cstdint>

namespace tovrel {

// Shows the languages with `language` chosen. True when the user pressed OK,
// with the chosen language in `language`; false when the dialog was closed
// (the language stays).
bool RunLanguageDialog(HWND owner, std::int32_t& language);

}  // namespace tovrel
