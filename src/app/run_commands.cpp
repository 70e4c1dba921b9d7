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
constexpr int kMessageRunDidNotStart = 95;
// The menu commands of the modes a command line asks for.
constexpr int kMenuRunAll = 37832, kMenuRunSelected = 37830, kMenuRunPerRowOnce = 37846;

// The end of a run the command line started: the single hook where a
// launched run learns it is over.
void EndLaunchedRun(HWND window, const RunReport& report, RunState& state) {
  if (!state.launched.waiting) return;
  state.launched.waiting = false;
  state.launched.exitCode = report.ran ? RunExitCode(report.records) : kExitCouldNotStart;
  // Said to the log only: someone at the screen has seen why.
  if (!report.ran && MessagesGoToLog()) ShowMessage(window, kMessageRunDidNotStart);
  if (state.launched.exitAtEnd) PostMessageW(window, WM_CLOSE, 0, 0);
}

// What a run leaves behind: the rows to run again, and one summary.
void AfterRun(HWND window, const RunReport& report, RunState& state) {
  EndLaunchedRun(window, report, state);
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

bool RunGoing(const RunState& state) { return state.running || state.timerRun.active; }

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

void StartLaunchedRun(HWND window, RunState& state, LaunchMode mode, bool exitAtEnd) {
  state.launched = LaunchedRun{true, exitAtEnd, kExitAllPlotted};
  const int command = mode == LaunchMode::All        ? kMenuRunAll
                      : mode == LaunchMode::Selected ? kMenuRunSelected
                                                     : kMenuRunPerRowOnce;
  SendMessageW(window, WM_COMMAND, command, 0);
  // A run still going reports its end through AfterRun; one that never
  // started has nothing more to say.
  if (!RunGoing(state)) EndLaunchedRun(window, RunReport{}, state);
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
