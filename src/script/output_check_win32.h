// Whether a plot really wrote its file: it exists, is not empty and was
// written since the drawing's AutoCAD started (an old file of an earlier
// run does not count).
#pragma once

#include <windows.h>

#include <string>

namespace tovrel {

bool OutputWritten(const std::u16string& path, const FILETIME& since);

// The system time now, as file times are kept.
FILETIME FileTimeNow();

}  // namespace tovrel
