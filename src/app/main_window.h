// The program's single top-level window: menu, toolbar, drawing list and
// status bar; its procedure routes every command.
#pragma once

#include <windows.h>

namespace tovrel {

inline constexpr int kToolbarId = 329;
inline constexpr int kStatusBarId = 1;
inline constexpr UINT_PTR kDropDownCommitTimer = 1;

// The whole life of the program: registers the class, creates the main
// window, runs the message loop and writes the settings at the end.
// Returns the exit code, or 0 when the window cannot be created.
int RunTovrel(HINSTANCE instance, int showCommand);

// The main window of this process, or nullptr while there is none.
HWND MainWindowHandle();

}  // namespace tovrel
