// The window of the check before a run: the rows AutoCAD would not plot as
// planned, one line per problem (row, drawing, column, what AutoCAD would
// ask, what the script would answer, the problem), with "Run anyway",
// "Cancel" and "Select these rows".
#pragma once

#include <windows.h>

#include "script/preflight.h"

namespace tovrel {

enum class PreflightChoice { Run, Cancel, SelectRows };

// Esc and the close box answer Cancel.
PreflightChoice RunPreflightDialog(HWND owner, const PreflightReport& report);

}  // namespace tovrel
