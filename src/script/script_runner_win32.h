// Writing scripts from the drawing list and running AutoCAD on them: the
// whole-list run, the per-row runs, saving a script and showing it.
//
// Every run shows a progress window and waits for AutoCAD without freezing
// the main window; AutoCAD is ended when it runs past its time or the user
// stops it now. Each run leaves a journal in the "runs" folder and ends with
// one summary message.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "script/run_journal.h"
#include "script/run_modes.h"
#include "storage/app_settings.h"
#include "storage/script_template.h"

namespace tovrel {

class ProgressWindow;
class UnfinishedRunFile;

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

// Menu 37832 / 37830 / toolbar 336: the script of a scope into the script
// file, then AutoCAD on it, given rows times the per-drawing limit.
RunReport RunWholeList(HWND owner, HWND list, int scope, const ScriptRunContext& context);

// Menus 37852 / 37853: the script of a scope into a file the user names.
bool SaveScriptAs(HWND owner, HWND list, int scope, const ScriptRunContext& context);

// Menu 37846: AutoCAD once per row, one after the other: the selected rows,
// else every row; or, to resume an unfinished run, exactly `rows`.
RunReport RunPerRowOnce(HWND owner, HWND list, const ScriptRunContext& context, const std::vector<int>* rows = nullptr);

// Menu 37851 and the ticks of timer 2: one row per tick, with the progress
// window and the records kept between ticks.
struct TimerRunSession {
  TimerRun run;
  bool active = false;
  std::vector<RunRecord> records;
  std::unique_ptr<ProgressWindow> progress;
  std::unique_ptr<UnfinishedRunFile> unfinished;
  ClockTime started{};
  ULONGLONG startTick = 0;
  TimerRunSession();
  ~TimerRunSession();
  TimerRunSession(TimerRunSession&&) noexcept;
  TimerRunSession& operator=(TimerRunSession&&) noexcept;
};
void StartTimerRun(HWND window, HWND list, TimerRunSession& session, UINT_PTR timerId, const ScriptRunContext& context);
// One tick. True when the run ended with it; `report` then tells what it did.
bool OnTimerRunTick(HWND window, HWND list, TimerRunSession& session, UINT_PTR timerId,
                    const ScriptRunContext& context, RunReport& report);
// Ends a timer run between two ticks (the user chose to stop it).
RunReport StopTimerRun(HWND window, TimerRunSession& session, UINT_PTR timerId, const ScriptRunContext& context);

// The rows of an unfinished run kept in the "runs" folder that the list
// still holds, or nothing (the state file is then removed).
std::vector<int> UnfinishedRows(HWND list, const ScriptRunContext& context);
void ForgetUnfinishedRun(const ScriptRunContext& context);

// The summary of a run, one message with the journal's name.
void ShowRunSummary(HWND owner, const RunReport& report);

// Menu 37835: the script file in the Notepad of the system folder.
void ShowScript(HWND owner, const AppSettings& settings);

}  // namespace tovrel
