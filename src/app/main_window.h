// The program's single top-level window: menu, and (later) toolbar, drawing
// list and status bar; its procedure routes every command.
#pragma once

#include <windows.h>

namespace tovrel {

// Registers the window class; false when the platform refuses it.
bool RegisterMainWindowClass(HINSTANCE instance, const wchar_t* className);

// Creates and shows the main window; nullptr when it cannot be created.
HWND CreateMainWindow(HINSTANCE instance, const wchar_t* className, const wchar_t* title,
                      int showCommand);

}  // namespace tovrel
