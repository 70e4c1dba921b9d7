// Writing scripts from the drawing list, saving and showing them, and what
// every run shares: its context, its report and the summary it ends with
// (the run itself is script_run_win32.h).
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "script/run_journal.h"
#include "script/run_modes.h"
#include "storage/app_settings.h"
#include "storage/script_template.h"

namespace tovrel {

inline constexpr int kMessageJournalNotWritten = 81;

// What the runs read: the AutoCAD program, the script file, the end drawing
// and the active template; where the program's files lie; how long one
// drawing may take (0: no limit).
struct ScriptRunContext {
  const AppSettings& settings;
  const ScriptTemplate& activeTemplate;
  int templateIndex;
  const std::u16string& workingFolder;
  std::uint64_t perDrawingTimeoutMs;
};

// The per-drawing limit of the settings ("run_timeout", minutes), in milliseconds.
std::uint64_t PerDrawingTimeoutMs(const AppSettings& settings);

// What a run did.
struct RunReport {
  bool ran = false;                // false: refused before AutoCAD was started (message shown)
  RunMode mode = RunMode::WholeList;
  std::vector<RunRecord> records;
  std::u16string journalPath;      // empty when the journal could not be written
  double seconds = 0;
};

// Writes the script of a scope into a file; shows the message of a failure.
bool WriteScriptFile(HWND owner, HWND list, int scope, const std::u16string& path, const ScriptRunContext& context);

// Menus 37852 / 37853: the script of a scope into a file the user names.
bool SaveScriptAs(HWND owner, HWND list, int scope, const ScriptRunContext& context);

// The drawings the newest journal of the "runs" folder did not plot.
std::vector<std::u16string> NotPlottedInLastRun(const std::u16string& workingFolder);

// The summary of a run, one message with the journal's name.
void ShowRunSummary(HWND owner, const RunReport& report);

// Menu 37835: the script file in the Notepad of the system folder.
void ShowScript(HWND owner, const AppSettings& settings);

}  // namespace tovrel
