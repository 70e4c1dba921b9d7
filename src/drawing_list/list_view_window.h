// The drawing list's control: a report list view whose columns come from the
// active template. The rows live in the control itself.
#pragma once

#include <windows.h>

#include "storage/script_template.h"

namespace tovrel {

inline constexpr int kDrawingListId = 300;

HWND CreateDrawingList(HWND parent, const ScriptTemplate& activeTemplate);

// Deletes every column and inserts those of the template; rows are untouched.
void RebuildColumns(HWND list, const ScriptTemplate& activeTemplate);

int RowCount(HWND list);

}  // namespace tovrel
