// The main window's commands that run AutoCAD: the check before a run, the
// three run modes, the run's messages and timers, the rows to run again and
// the offer to go on with a run that did not finish.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/command_table.h"
#include "script/parallel_lane_win32.h"
#include "script/script_run_win32.h"

namespace tovrel {

// A run the command line started: its end sets the program's exit code and,
// with /exit, closes the main window.
struct LaunchedRun {
  bool waiting = false;    // started, its end not yet seen
  bool exitAtEnd = false;
  int exitCode = kExitAllPlotted;
};

struct RunState {
  std::unique_ptr<ScriptRun> run;  // the run going, driven by the window's messages
  ParallelLaneSession lane;        // the parallel lane, driven by its own messages and timer
  std::vector<std::u16string> lastRunNotPlotted;  // drawings to run again, from the last run
  LaunchedRun launched;
  bool lastRunKnown = false;       // false: they come from the newest journal on disk
};

// The context of every run: the settings, the active template, the working folder.
ScriptRunContext RunContext();

bool RunGoing(const RunState& state);

// The refusal of a command while a run is going (message 75); choosing the
// timer-driven run again asks whether to stop it. True when the command
// must not go on.
bool RefusedDuringRun(HWND window, Command command, RunState& state);

// RunAll, RunSelected, RunToolbar, RunPerRowOnce, RunPerRowTimer,
// CheckBeforeRun and SelectRowsToRunAgain; false for any other command.
bool HandleRunCommand(HWND window, HWND list, Command command, RunState& state);

// kRunProcessStarted, kRunProcessEnded, kRunStop, kRunNotice; false for any other message.
bool HandleRunMessage(HWND window, HWND list, UINT message, WPARAM wParam, LPARAM lParam, RunState& state);
// The run's timers; false for any other.
bool HandleRunTimer(HWND window, HWND list, UINT_PTR id, RunState& state);

// Starts the run of a mode through the menu command of that mode, as the
// user would choose it; a run the command refuses before AutoCAD starts
// (the check's findings, an empty list) ends with code 2 at once.
void StartLaunchedRun(HWND window, RunState& state, LaunchMode mode, bool exitAtEnd);

// "Plot in parallel": the lane over the selected rows, or all rows (or
// exactly `rows`), after the check before a run. The list stays locked
// until the lane has ended. False when it did not start.
bool StartParallelRun(HWND window, HWND list, RunState& state, const std::vector<int>* rows = nullptr);
// The lane's worker-started and worker-ended messages, and its timer.
void OnLaneMessage(HWND window, HWND list, RunState& state, UINT message, WPARAM wParam, LPARAM lParam);
void OnLaneTick(HWND window, HWND list, RunState& state);

// The session ends: the journal and the resume record are on the disk
// before the answer; at the end itself the run is ended and journaled.
void FlushRunForSessionEnd(RunState& state);
void EndRunForSession(HWND list, RunState& state);

// Offers to go on with the drawings an unfinished run did not plot;
// `saveList` writes the kept list first.
void OfferResume(HWND window, HWND list, RunState& state, bool (*saveList)(HWND));

}  // namespace tovrel
