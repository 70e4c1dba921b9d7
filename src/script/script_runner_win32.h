// Writing scripts from the drawing list and running AutoCAD on them: the
// whole-list run, the per-row runs, saving a script and showing it.
#pragma once

#include <windows.h>

#include "script/run_modes.h"
#include "storage/app_settings.h"
#include "storage/script_template.h"

namespace tovrel {

// What the runs read: the AutoCAD program, the script file, the end drawing
// and the active template.
struct ScriptRunContext {
  const AppSettings& settings;
  const ScriptTemplate& activeTemplate;
  const std::u16string& workingFolder;  // where "save script as" starts
};

// Writes the script of a scope into a file; shows the message of a failure.
bool WriteScriptFile(HWND owner, HWND list, int scope, const std::u16string& path, const ScriptRunContext& context);

// Starts AutoCAD on the script file and waits for its end: 0, or 1 when it
// could not be started (message shown).
int RunAutocad(HWND owner, const AppSettings& settings);

// Menu 37832 / 37830 / toolbar 336: the script of a scope into the script
// file, then AutoCAD on it.
void RunWholeList(HWND owner, HWND list, int scope, const ScriptRunContext& context);

// Menus 37852 / 37853: the script of a scope into a file the user names.
bool SaveScriptAs(HWND owner, HWND list, int scope, const ScriptRunContext& context);

// Menu 37846: AutoCAD once per row, one after the other.
void RunPerRowOnce(HWND owner, HWND list, const ScriptRunContext& context);

// Menu 37851 and the ticks of timer 2: one row per tick.
void StartTimerRun(HWND window, HWND list, TimerRun& run, UINT_PTR timerId);
void OnTimerRunTick(HWND window, HWND list, TimerRun& run, UINT_PTR timerId, const ScriptRunContext& context);

// Menu 37835: the script file in the Notepad of the system folder.
void ShowScript(HWND owner, const AppSettings& settings);

}  // namespace tovrel
