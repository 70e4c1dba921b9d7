#include "app/run_commands.h"

#include <algorithm>

#include "app/app_context.h"
#include "app/main_window.h"
#include "drawing_list/list_view_row_store_win32.h"
#include "script/preflight_win32.h"
#include "script/script_writer.h"
#include "win32/window_text.h"

namespace tovrel {

namespace {

constexpr int kMessageRunGoing = 75;
constexpr int kMessageStopTimerRun = 78;
constexpr int kMessageResumeRun = 79;
constexpr int kMessageNothingFailed = 80;

// What a run leaves behind: the rows to run again, and one summary.
void AfterRun(HWND window, const RunReport& report, RunState& state) {
  if (!report.ran) return;
  state.lastRunNotPlotted.clear();
  for (const RunRecord& record : report.records) {
    if (NeedsAnotherRun(record.result)) state.lastRunNotPlotted.push_back(record.drawing);
  }
  ShowRunSummary(window, report);
}

// Runs AutoCAD through `run` with the list locked: the rows cannot change
// while the window answers during the wait.
template <typename Run>
void RunLocked(HWND window, HWND list, RunState& state, Run&& run) {
  state.running = true;
  EnableWindow(list, FALSE);
  const RunReport report = run();
  EnableWindow(list, TRUE);
  state.running = false;
  AfterRun(window, report, state);
}

void SelectRowsToRunAgain(HWND window, HWND list, const RunState& state) {
  if (state.lastRunNotPlotted.empty()) {
    ShowMessage(window, kMessageNothingFailed);
    return;
  }
  const ListRedrawPause pause(list);
  ListViewRowStore store(list);
  const ScriptColumns columns = FindScriptColumns(App().ActiveTemplate());
  for (int row = 0; row < store.RowCount(); ++row) {
    const std::u16string drawing = RowDrawingPath(store, row, columns);
    store.SetMarks(row, std::find(state.lastRunNotPlotted.begin(), state.lastRunNotPlotted.end(), drawing) !=
                            state.lastRunNotPlotted.end());
  }
}

PreflightContext CheckContext() {
  AppContext& app = App();
  return PreflightContext{app.ActiveTemplate(), app.printers, app.settings};
}

// The check before a run, on the rows a run of `scope` takes: true when
// the run may start.
bool CheckedBeforeRun(HWND window, HWND list, int scope) {
  return PreflightAllowsRun(window, list, scope, CheckContext());
}

}  // namespace

ScriptRunContext RunContext() {
  const AppContext& app = App();
  return ScriptRunContext{app.settings, app.ActiveTemplate(), app.ActiveTemplateIndex(), app.workingDirectory,
                          PerDrawingTimeoutMs(app.settings)};
}

bool RunGoing(const RunState& state) { return state.running || state.timerRun.active || state.lane.Active(); }

bool RefusedDuringRun(HWND window, Command command, RunState& state) {
  if (!RunGoing(state) || AllowedDuringRun(command)) return false;
  if (command == Command::RunPerRowTimer && !state.running) {
    if (ShowMessage(window, kMessageStopTimerRun, 1) == IDYES) {
      AfterRun(window, StopTimerRun(window, state.timerRun, kPerRowRunTimer, RunContext()), state);
    }
    return true;
  }
  ShowMessage(window, kMessageRunGoing);
  return true;
}

bool HandleRunCommand(HWND window, HWND list, Command command, RunState& state) {
  auto wholeList = [&](int scope) {
    if (!CheckedBeforeRun(window, list, scope)) return;
    RunLocked(window, list, state, [&] { return RunWholeList(window, list, scope, RunContext()); });
  };
  switch (command) {
    case Command::RunAll:
      wholeList(kScopeAllRows);
      return true;
    case Command::RunSelected:
      wholeList(kScopeSelectedRows);
      return true;
    case Command::RunToolbar:
      wholeList(kScopeSelectedOrAll);
      return true;
    case Command::RunPerRowOnce:
      if (CheckedBeforeRun(window, list, kScopeSelectedOrAll)) {
        RunLocked(window, list, state, [&] { return RunPerRowOnce(window, list, RunContext()); });
      }
      return true;
    case Command::RunPerRowTimer:
      if (CheckedBeforeRun(window, list, kScopeSelectedOrAll)) {
        StartTimerRun(window, list, state.timerRun, kPerRowRunTimer, RunContext());
      }
      return true;
    case Command::CheckBeforeRun:
      if (PreflightCommand(window, list, CheckContext())) {
        RunLocked(window, list, state, [&] { return RunWholeList(window, list, kScopeSelectedOrAll, RunContext()); });
      }
      return true;
    case Command::SelectRowsToRunAgain:
      SelectRowsToRunAgain(window, list, state);
      return true;
    case Command::RunParallel:
      if (CheckedBeforeRun(window, list, kScopeSelectedOrAll)) StartParallelRun(window, list, state);
      return true;
    default:
      return false;
  }
}

void OnRunTimer(HWND window, HWND list, RunState& state) {
  RunReport report;
  state.running = true;
  EnableWindow(list, FALSE);
  const bool ended = OnTimerRunTick(window, list, state.timerRun, kPerRowRunTimer, RunContext(), report);
  EnableWindow(list, TRUE);
  state.running = false;
  if (ended) AfterRun(window, report, state);
}

bool StartParallelRun(HWND window, HWND list, RunState& state, const std::vector<int>* rows) {
  if (!StartParallelLane(window, list, state.lane, RunContext(), rows)) return false;
  EnableWindow(list, FALSE);
  return true;
}

void OnLaneMessage(HWND window, HWND list, RunState& state, WPARAM wParam, LPARAM lParam) {
  RunReport report;
  if (!OnLaneWorkerEnded(state.lane, wParam, lParam, RunContext(), report)) return;
  EnableWindow(list, TRUE);
  AfterRun(window, report, state);
}

void OnLaneTick(HWND window, HWND list, RunState& state) {
  RunReport report;
  if (!OnLaneTimer(state.lane, RunContext(), report)) return;
  EnableWindow(list, TRUE);
  AfterRun(window, report, state);
}

void OfferResume(HWND window, HWND list, RunState& state, bool (*saveList)(HWND)) {
  const std::vector<int> rows = UnfinishedRows(list, RunContext());
  if (rows.empty() || ShowMessage(window, kMessageResumeRun, 1) != IDYES) {
    ForgetUnfinishedRun(RunContext());
    return;
  }
  saveList(window);
  RunLocked(window, list, state, [&] { return RunPerRowOnce(window, list, RunContext(), &rows); });
}

}  // namespace tovrel
