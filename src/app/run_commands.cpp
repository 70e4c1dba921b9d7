#include "app/run_commands.h"

#include <algorithm>

#include "app/app_context.h"
#include "app/main_window.h"
#include "drawing_list/list_view_row_store_win32.h"
#include "script/preflight_win32.h"
#include "script/run_resume_file_win32.h"
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
constexpr int kMenuRunAll = 37832, kMenuRunSelected = 37830, kMenuRunPerRowOnce = 37846, kMenuRunParallel = 37863;

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

std::u16string RunsFolder() { return App().workingDirectory + u"\\" + kRunsFolderName; }

// What a run leaves behind: the rows to run again, the messages it kept
// for its end, and one summary. The run is gone by then (its files closed,
// the list given back), so nothing of it waits on the boxes.
void KeepRunAgain(const RunReport& report, RunState& state) {
  state.lastRunNotPlotted.clear();
  state.lastRunKnown = true;
  for (const RunRecord& record : report.records) {
    if (NeedsAnotherRun(record.result)) state.lastRunNotPlotted.push_back(record.drawing);
  }
}

void SettleRun(HWND window, HWND list, RunState& state) {
  if (!state.run || !state.run->Over()) return;
  const RunReport report = state.run->Report();
  const std::vector<ScriptRun::Message> messages = state.run->MessagesAfter();
  state.run.reset();
  EnableWindow(list, TRUE);
  EndLaunchedRun(window, report, state);
  KeepRunAgain(report, state);
  std::vector<int> said;
  for (const ScriptRun::Message& message : messages) {
    if (std::find(said.begin(), said.end(), message.number) != said.end()) continue;
    said.push_back(message.number);
    if (message.detail.empty()) {
      ShowMessage(window, message.number);
    } else {
      ShowMessageWithDetail(window, message.number, message.detail);
    }
  }
  ShowRunSummary(window, report);
}

// Every step of a run goes through here: whatever it throws, the run is
// ended and the list unlocked before the error is reported.
template <typename Step>
void Guarded(HWND window, HWND list, RunState& state, Step&& step) {
  try {
    step();
  } catch (...) {
    if (state.run) state.run->Abort();
    state.run.reset();
    EnableWindow(list, TRUE);
    throw;
  }
  SettleRun(window, list, state);
}

void StartRun(HWND window, HWND list, RunState& state, RunRequest request) {
  if (request.rows.empty()) {
    ShowMessage(window, kMessageListEmpty);
    return;
  }
  // The command line must hold the whole script path: a cut path would run
  // another script.
  if (!AutocadCommandLine(App().settings.temp_file)) {
    ShowMessage(window, kMessageScriptPathTooLong);
    return;
  }
  request.batchSize = std::max(0, App().settings.run_batch_size);
  EnableWindow(list, FALSE);
  Guarded(window, list, state, [&] {
    state.run = std::make_unique<ScriptRun>(window, list, RunContext(), std::move(request));
    state.run->Start();
  });
}

// The rows a run of `scope` takes, in list order, and whether they are the selection.
RunRequest RequestFor(HWND list, RunMode mode, int scope) {
  const ListViewRowStore store(list);
  RunRequest request;
  request.mode = mode;
  const bool selected = scope == kScopeSelectedRows || (scope == kScopeSelectedOrAll && store.NextSelected(0) >= 0);
  request.clearMarks = selected;
  for (int row = selected ? store.NextSelected(0) : 0; row >= 0 && row < store.RowCount();
       row = selected ? store.NextSelected(row + 1) : row + 1) {
    request.rows.push_back(row);
  }
  return request;
}

void SelectRowsToRunAgain(HWND window, HWND list, RunState& state) {
  // After a restart the newest journal tells them.
  if (!state.lastRunKnown) {
    state.lastRunNotPlotted = NotPlottedInLastRun(App().workingDirectory);
    state.lastRunKnown = true;
  }
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

PreflightContext CheckContext(bool lane = false) {
  AppContext& app = App();
  return PreflightContext{app.ActiveTemplate(), app.printers, app.settings, lane};
}

// The check before a run, on the rows a run of `scope` takes: true when
// the run may start.
bool CheckedBeforeRun(HWND window, HWND list, int scope, bool lane = false) {
  return PreflightAllowsRun(window, list, scope, CheckContext(lane));
}

}  // namespace

ScriptRunContext RunContext() {
  const AppContext& app = App();
  return ScriptRunContext{app.settings, app.ActiveTemplate(), app.ActiveTemplateIndex(), app.workingDirectory,
                          PerDrawingTimeoutMs(app.settings)};
}

bool RunGoing(const RunState& state) { return state.run != nullptr || state.lane.Active(); }

bool RefusedDuringRun(HWND window, Command command, RunState& state) {
  if (!RunGoing(state) || AllowedDuringRun(command)) return false;
  if (command == Command::RunPerRowTimer && state.run && state.run->Mode() == RunMode::PerRowTimer) {
    // Carried by the run's own message, as the progress window's Stop is.
    if (ShowMessage(window, kMessageStopTimerRun, 1) == IDYES) PostMessageW(window, kRunStop, 0, 0);
    return true;
  }
  ShowMessage(window, kMessageRunGoing);
  return true;
}

bool HandleRunCommand(HWND window, HWND list, Command command, RunState& state) {
  auto wholeList = [&](int scope) {
    if (CheckedBeforeRun(window, list, scope)) StartRun(window, list, state, RequestFor(list, RunMode::WholeList, scope));
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
    case Command::RunPerRowTimer:
      if (CheckedBeforeRun(window, list, kScopeSelectedOrAll)) {
        StartRun(window, list, state,
                 RequestFor(list, command == Command::RunPerRowOnce ? RunMode::PerRowOnce : RunMode::PerRowTimer,
                            kScopeSelectedOrAll));
      }
      return true;
    case Command::CheckBeforeRun:
      if (PreflightCommand(window, list, CheckContext())) {
        StartRun(window, list, state, RequestFor(list, RunMode::WholeList, kScopeSelectedOrAll));
      }
      return true;
    case Command::SelectRowsToRunAgain:
      SelectRowsToRunAgain(window, list, state);
      return true;
    case Command::RunParallel:
      if (CheckedBeforeRun(window, list, kScopeSelectedOrAll, true)) StartParallelRun(window, list, state);
      return true;
    default:
      return false;
  }
}

bool HandleRunMessage(HWND window, HWND list, UINT message, WPARAM wParam, LPARAM lParam, RunState& state) {
  if (message == kRunNotice) {
    ShowMessage(window, static_cast<int>(wParam));
    return true;
  }
  if (message != kRunProcessEnded && message != kRunStop && message != kRunProcessStarted) return false;
  if (!state.run) return true;  // a message of a run that has ended
  Guarded(window, list, state, [&] {
    if (message == kRunProcessStarted) {
      state.run->OnProcessStarted(wParam, lParam != 0);
    } else if (message == kRunProcessEnded) {
      state.run->OnProcessEnded(wParam);
    } else {
      state.run->OnStop(wParam != 0);
    }
  });
  return true;
}

bool HandleRunTimer(HWND window, HWND list, UINT_PTR id, RunState& state) {
  if (id != kRunPauseTimer && id != kRunClockTimer && id != kRunEndCheckTimer) return false;
  if (!state.run) {
    KillTimer(window, id);
    return true;
  }
  Guarded(window, list, state, [&] { state.run->OnTimer(id); });
  return true;
}

void FlushRunForSessionEnd(RunState& state) {
  if (state.run) state.run->Flush();
}

void EndRunForSession(HWND list, RunState& state) {
  state.lane.End();
  if (!state.run) return;
  state.run->Abort();
  state.run.reset();
  EnableWindow(list, TRUE);
}

void StartLaunchedRun(HWND window, RunState& state, LaunchMode mode, bool exitAtEnd) {
  state.launched = LaunchedRun{true, exitAtEnd, kExitAllPlotted};
  const int command = mode == LaunchMode::All        ? kMenuRunAll
                      : mode == LaunchMode::Selected ? kMenuRunSelected
                      : mode == LaunchMode::Parallel ? kMenuRunParallel
                                                     : kMenuRunPerRowOnce;
  SendMessageW(window, WM_COMMAND, command, 0);
  // A run still going reports its end through SettleRun; one that never
  // started has nothing more to say.
  if (!RunGoing(state)) EndLaunchedRun(window, RunReport{}, state);
}

bool StartParallelRun(HWND window, HWND list, RunState& state, const std::vector<int>* rows) {
  if (!StartParallelLane(window, list, state.lane, RunContext(), rows)) return false;
  EnableWindow(list, FALSE);
  return true;
}

void OnLaneMessage(HWND window, HWND list, RunState& state, UINT message, WPARAM wParam, LPARAM lParam) {
  RunReport report;
  const bool ended = message == kLaneWorkerStarted ? OnLaneWorkerStarted(state.lane, wParam, lParam, report)
                                                   : OnLaneWorkerEnded(state.lane, wParam, RunContext(), report);
  if (!ended) return;
  EnableWindow(list, TRUE);
  EndLaunchedRun(window, report, state);
  KeepRunAgain(report, state);
  ShowRunSummary(window, report);
}

void OnLaneTick(HWND window, HWND list, RunState& state) {
  RunReport report;
  if (!OnLaneTimer(state.lane, RunContext(), report)) return;
  EnableWindow(list, TRUE);
  EndLaunchedRun(window, report, state);
  KeepRunAgain(report, state);
  ShowRunSummary(window, report);
}

void OfferResume(HWND window, HWND list, RunState& state, bool (*saveList)(HWND)) {
  const StoredUnfinishedRun stored = ReadUnfinishedRun(RunsFolder());
  if (stored.status == StoredUnfinishedRun::Status::Unreadable) {
    // Another program holds it for a moment: it stays for the next start.
    ShowMessage(window, kMessageResumeUnreadable);
    return;
  }
  if (stored.status == StoredUnfinishedRun::Status::None) return;
  const ListViewRowStore store(list);
  const std::vector<int> rows = RowsToResume(stored.run, store, FindScriptColumns(App().ActiveTemplate()));
  if (rows.empty() || ShowMessage(window, kMessageResumeRun, 1) != IDYES) {
    RemoveUnfinishedRun(RunsFolder());
    return;
  }
  saveList(window);
  // The rows to go on with become the selection, and are checked as any run's.
  {
    const ListRedrawPause pause(list);
    ListViewRowStore marks(list);
    for (int row = 0; row < marks.RowCount(); ++row) marks.SetMarks(row, false);
    for (const int row : rows) marks.SetMarks(row, true);
  }
  if (!CheckedBeforeRun(window, list, kScopeSelectedRows)) return;
  RunRequest request;
  request.mode = stored.run.mode;
  request.rows = rows;
  request.clearMarks = true;
  StartRun(window, list, state, std::move(request));
}

}  // namespace tovrel
