// The main window's commands that run AutoCAD: the check before a run, the
// three run modes, the ticks of the timer-driven run, the rows to run again
// and the offer to go on with a run that did not finish.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/command_table.h"
#include "script/parallel_lane_win32.h"
#include "script/script_runner_win32.h"

namespace tovrel {

struct RunState {
  TimerRunSession timerRun;        // the timer-driven per-row run
  ParallelLaneSession lane;        // the parallel lane, driven by its messages and timer
  bool running = false;            // AutoCAD is being waited for (the window stays responsive)
  std::vector<std::u16string> lastRunNotPlotted;  // drawings to run again, from the last run
};

// The context of every run: the settings, the active template, the working folder.
ScriptRunContext RunContext();

// A run is going: AutoCAD is being waited for, or a timer-driven run is on.
bool RunGoing(const RunState& state);

// The refusal of a command while a run is going (message 75); choosing the
// timer-driven run again asks whether to stop it. True when the command
// must not go on.
bool RefusedDuringRun(HWND window, Command command, RunState& state);

// RunAll, RunSelected, RunToolbar, RunPerRowOnce, RunPerRowTimer,
// CheckBeforeRun and SelectRowsToRunAgain; false for any other command.
bool HandleRunCommand(HWND window, HWND list, Command command, RunState& state);

// A tick of timer 2.
void OnRunTimer(HWND window, HWND list, RunState& state);

// "Plot in parallel": the lane over the selected rows, or all rows (or
// exactly `rows`), after the check before a run. The list stays locked
// until the lane has ended. False when it did not start.
bool StartParallelRun(HWND window, HWND list, RunState& state, const std::vector<int>* rows = nullptr);
// The lane's worker-ended message and its timer.
void OnLaneMessage(HWND window, HWND list, RunState& state, WPARAM wParam, LPARAM lParam);
void OnLaneTick(HWND window, HWND list, RunState& state);

// Offers to go on with the drawings an unfinished run left; `saveList`
// writes the kept list first.
void OfferResume(HWND window, HWND list, RunState& state, bool (*saveList)(HWND));

}  // namespace tovrel
