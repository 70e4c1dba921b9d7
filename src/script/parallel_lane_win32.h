// The parallel lane on Windows: the workers are processes in the run's job
// object (none outlives Tovrel), each waited for by a registered wait that
// posts kLaneWorkerEnded to the main window; a window timer ends workers
// past their time and looks at the progress window's Stop buttons. No
// thread of Tovrel's own waits, so the window answers throughout. The rows
// with Windows printers follow, one at a time, in full AutoCAD, driven the
// same way. Every drawing's journal line is written as it ends.
#pragma once

#include <windows.h>

#include <memory>

#include "script/script_runner_win32.h"

namespace tovrel {

inline constexpr UINT kLaneWorkerEnded = WM_APP + 24;    // wParam: the run's serial and the worker
inline constexpr UINT kLaneWorkerStarted = WM_APP + 25;  // the same; lParam 1 up, 0 could not start
inline constexpr UINT_PTR kLaneTimer = 24;

class ParallelLaneRun;

struct ParallelLaneSession {
  std::unique_ptr<ParallelLaneRun> run;
  bool Active() const { return run != nullptr; }
  // Ends every worker now, without a summary (the session ends).
  void End();
  ParallelLaneSession();
  ~ParallelLaneSession();  // ends every worker still running
  ParallelLaneSession(ParallelLaneSession&&) noexcept;
  ParallelLaneSession& operator=(ParallelLaneSession&&) noexcept;
};

// The Core Console the lane starts: `coreconsole_file`, or the one beside
// `autocad_file` when the setting is empty; empty when there is none.
std::u16string CoreConsoleProgram(const AppSettings& settings);

// Starts the lane over the selected rows, or all rows when none is
// selected (or exactly `rows`). False when it did not start (the message
// has been shown: no rows, no Core Console, the script path too long).
bool StartParallelLane(HWND window, HWND list, ParallelLaneSession& session, const ScriptRunContext& context,
                       const std::vector<int>* rows = nullptr);

// kLaneWorkerStarted, kLaneWorkerEnded and the ticks of kLaneTimer. True when the run has
// ended with it; `report` then tells what it did.
bool OnLaneWorkerStarted(ParallelLaneSession& session, WPARAM wParam, LPARAM lParam, RunReport& report);
bool OnLaneWorkerEnded(ParallelLaneSession& session, WPARAM wParam,
                       const ScriptRunContext& context, RunReport& report);
bool OnLaneTimer(ParallelLaneSession& session, const ScriptRunContext& context, RunReport& report);

}  // namespace tovrel
