#include "win32/dpi.h"

#include <windows.h>

namespace tovrel {

int SystemDpi() {
  static const int dpi = [] {
    HDC screen = GetDC(nullptr);
    const int value = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return value > 0 ? value : 96;
  }();
  return dpi;
}

int ScaleToDpi(int designPixels) { return MulDiv(designPixels, SystemDpi(), 96); }

int UnscaleFromDpi(int screenPixels) { return MulDiv(screenPixels, 96, SystemDpi()); }

}  // namespace tovrel
