// Whether the texts of a window fit the controls that show them: every
// visible static text, button, check box, radio button, group box and header
// item, measured in the control's own font against the room the control
// gives its text.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tovrel::gallery {

struct Misfit {
  int controlId;
  std::wstring text;
  int needs;  // pixels the text takes (for a wrapped text: its height)
  int has;    // pixels the control gives it
  bool tall;  // a wrapped text measured by its height
};

// The texts of `window` and of every window inside it that do not fit; the
// count of texts measured is added to `measured`.
std::vector<Misfit> MisfitsOf(HWND window, int& measured);

}  // namespace tovrel::gallery
