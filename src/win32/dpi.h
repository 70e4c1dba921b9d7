// The program declares itself DPI-aware (its manifest): Windows then draws
// nothing blurred for it, and every size the program lays out in pixels is
// scaled here from the 96-dpi design to the screen's resolution.
#pragma once

namespace tovrel {

// The system's dots per inch (96 at 100 %, 144 at 150 %, 192 at 200 %).
int SystemDpi();

// A length of the 96-dpi design in pixels of this screen.
int ScaleToDpi(int designPixels);
// The other way: a length on this screen in design pixels (for values the
// program keeps, such as a column width the user dragged).
int UnscaleFromDpi(int screenPixels);

}  // namespace tovrel
