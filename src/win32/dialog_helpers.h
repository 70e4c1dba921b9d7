// Small helpers every dialog of the program shares.
#pragma once

#include <windows.h>

namespace tovrel {

// Centres a dialog on its owner (on the screen's work area when it has none),
// kept inside the work area of the owner's monitor.
void CenterOnOwner(HWND dialog);

}  // namespace tovrel
