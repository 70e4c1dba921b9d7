#include "script/script_run_win32.h"

#include "drawing_list/row_store.h"
#include "drawing_list/list_view_row_store_win32.h"
#include "script/output_check_win32.h"
#include "script/plot_output.h"
#include "script/run_journal_file_win32.h"
#include "script/run_modes.h"
#include "script/run_resume_file_win32.h"
#include "storage/decimal_text.h"
#include "storage/file_io.h"
#include "win32/keep_awake.h"
#include "win32/progress_window.h"
#include "win32/window_text.h"

namespace tovrel {

namespace {

constexpr int kTextModePerRow = 98;  // dialog texts
constexpr int kTextModeTimer = 99;
constexpr int kTextModeWholeList = 96;  // code texts
constexpr int kTextDrawingOfCount = 97;
constexpr int kTextTimes = 98;
// The list columns of the printer and the paper, whatever the template.
// How long an AutoCAD that was told to end may take to go.
constexpr UINT kEndCheckMilliseconds = 15000;

ClockTime Now() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return ClockTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

double SecondsSince(ULONGLONG tick) { return static_cast<double>(GetTickCount64() - tick) / 1000.0; }

// A catalog text with %1 and %2 replaced.
std::u16string Filled(TextTable table, int number, const std::u16string& first, const std::u16string& second) {
  std::u16string text = U(LookUpText(table, number));
  for (const auto& [mark, value] : {std::pair{u"%1", first}, std::pair{u"%2", second}}) {
    const std::size_t at = text.find(mark);
    if (at != std::u16string::npos) text.replace(at, 2, value);
  }
  return text;
}

std::u16string ModeLine(RunMode mode) {
  switch (mode) {
    case RunMode::WholeList:
      return U(LookUpText(TextTable::Code, kTextModeWholeList));
    case RunMode::PerRowOnce:
      return U(LookUpText(TextTable::Dialog, kTextModePerRow));
    case RunMode::PerRowTimer:
    case RunMode::Parallel:  // the lane has its own progress lines
      break;
  }
  return U(LookUpText(TextTable::Dialog, kTextModeTimer));
}

std::u16string JoinOutputs(const std::vector<std::u16string>& files) {
  std::u16string text;
  for (const std::u16string& file : files) text += (text.empty() ? u"" : u"; ") + file;
  return text;
}

}  // namespace

ScriptRun::ScriptRun(HWND window, HWND list, const ScriptRunContext& context, RunRequest request)
    : window_(window),
      list_(list),
      settings_(context.settings),
      template_(context.activeTemplate),
      templateIndex_(context.templateIndex),
      runsFolder_(context.workingFolder + u"\\" + kRunsFolderName),
      request_(std::move(request)),
      machine_(SplitIntoBatches(static_cast<int>(request_.rows.size()),
                                request_.mode == RunMode::WholeList ? request_.batchSize : 1),
               static_cast<int>(request_.rows.size()), context.perDrawingTimeoutMs, kRunPauseMilliseconds) {
  const ListViewRowStore store(list_);
  const ScriptColumns columns = FindScriptColumns(template_);
  started_ = Now();
  for (const int row : request_.rows) {
    RunRecord record;
    record.row = row;
    record.drawing = RowDrawingPath(store, row, columns);
    record.printer = store.CellText(row, kPrinterColumn, 260);
    record.paper = store.CellText(row, kPaperColumn, 260);
    record.start = record.end = started_;
    records_.push_back(std::move(record));
  }
  outputs_.resize(records_.size());
}

ScriptRun::~ScriptRun() {
  KillTimer(window_, kRunPauseTimer);
  KillTimer(window_, kRunClockTimer);
  KillTimer(window_, kRunEndCheckTimer);
}

void ScriptRun::Start() {
  startTick_ = GetTickCount64();
  job_ = std::make_unique<RunJob>();
  awake_ = std::make_unique<KeepAwake>();
  journal_ = std::make_unique<RunJournalFile>(runsFolder_, started_, request_.mode, template_.title);
  if (journal_->Path().empty()) {
    journalFailed_ = true;
    journalError_ = journal_->Error();
  }
  UnfinishedRun state;
  state.mode = request_.mode;
  state.templateIndex = templateIndex_;
  state.rows = request_.rows;
  for (const RunRecord& record : records_) state.drawings.push_back(record.drawing);
  state.journal = journal_->Path();
  resume_ = std::make_unique<ResumeRecordFile>(runsFolder_, state);
  // Said while the run goes on: the box holds nothing up.
  if (!resume_->Written()) PostMessageW(window_, kRunNotice, kMessageResumeNotWritten, 0);
  const bool severalStarts = machine_.UnitCount() > 1;
  progress_ = std::make_unique<ProgressWindow>(
      window_, severalStarts ? ProgressWindow::Stops::AfterThisAndNow : ProgressWindow::Stops::NowOnly);
  progress_->PostStopsTo(window_, kRunStop);
  SetTimer(window_, kRunClockTimer, 1000, nullptr);
  Do(machine_.Begin());
}

void ScriptRun::Do(RunMachine::Step step) {
  while (step.what == RunMachine::Do::StartUnit) step = StartUnit(step.unit);
  WriteFinished();
  switch (step.what) {
    case RunMachine::Do::EndProcess:
      EndProcess();
      break;
    case RunMachine::Do::Pause:
      SetTimer(window_, kRunPauseTimer, static_cast<UINT>(machine_.PauseMs()), nullptr);
      break;
    case RunMachine::Do::Finish:
      Finish();
      break;
    default:
      break;
  }
}

RunMachine::Step ScriptRun::StartUnit(int unit) {
  unitTick_ = GetTickCount64();
  ListViewRowStore store(list_);
  const ScriptColumns columns = FindScriptColumns(template_);
  std::vector<int> rows;
  std::vector<int> items;
  for (const int item : machine_.Unit(unit)) {
    RunRecord& record = records_[static_cast<std::size_t>(item)];
    record.start = record.end = Now();
    // A line too long is refused rather than cut (a cut path would open
    // another drawing): said with its row and drawing.
    std::string lines;
    if (!AppendRowLines(store, record.row, template_, columns, lines)) {
      std::u16string detail(1, u'#');
      detail.append(DecimalText(record.row + 1)).append(u"  ").append(record.drawing);
      messagesAfter_.push_back({kMessageScriptLineTooLong, std::move(detail)});
      if (request_.mode == RunMode::PerRowTimer) return machine_.ScriptFailedPassOver();
      return machine_.StartFailed(FailReason::ScriptNotWritten);
    }
    // AutoCAD would not open it, and every later answer would go astray.
    if (!FileExists(record.drawing)) {
      if (request_.clearMarks) store.SetMarks(record.row, false);
      machine_.LeaveOut(item, RowResult::DrawingMissing);
      continue;
    }
    outputs_[static_cast<std::size_t>(item)] = RowOutputFiles(RowScriptLines(store, record.row, template_, columns));
    record.output = JoinOutputs(outputs_[static_cast<std::size_t>(item)]);
    rows.push_back(record.row);
    items.push_back(item);
  }
  if (rows.empty()) return machine_.UnitSkipped();
  done_ = items.front();
  ShowFigures();

  ScriptFileSink sink(settings_.temp_file);
  const ScriptWriteResult written =
      WriteRowsScript(store, rows, template_, columns, settings_.end_file_dwg, request_.clearMarks, sink);
  if (!written.ok) {
    messagesAfter_.push_back({written.messageNumber, {}});
    // The timer-driven run passes over a row it cannot write; the others end.
    if (request_.mode == RunMode::PerRowTimer) return machine_.ScriptFailedPassOver();
    return machine_.StartFailed(FailReason::ScriptNotWritten);
  }
  const std::optional<std::u16string> line = AutocadCommandLine(settings_.temp_file);
  unitFileTime_ = FileTimeNow();
  if (!line ||
      !process_.BeginStart(settings_.autocad_file, *line, *job_, window_, kRunProcessStarted, ++startCount_)) {
    messagesAfter_.push_back({kMessageAutocadCannotStart, {}});
    return machine_.StartFailed(FailReason::CouldNotStart);
  }
  return RunMachine::Step{};  // on with kRunProcessStarted
}

void ScriptRun::OnProcessStarted(WPARAM start, bool ok) {
  if (over_ || start != startCount_ || !process_.Starting()) return;
  if (!ok || !process_.TakeStarted(kRunProcessEnded)) {
    messagesAfter_.push_back({kMessageAutocadCannotStart, {}});
    Do(machine_.StartFailed(FailReason::CouldNotStart));
    return;
  }
  machine_.Started(AwakeMilliseconds());
  // Stop now, asked while AutoCAD was still coming up.
  if (machine_.Ending()) EndProcess();
}

void ScriptRun::OnProcessEnded(WPARAM start) {
  if (over_ || start != startCount_ || !process_.Ended()) return;
  KillTimer(window_, kRunEndCheckTimer);
  const std::uint32_t code = process_.Finish();
  const RunMachine::Step step = machine_.ProcessEnded(code);
  Do(step);
}

bool ScriptRun::OnTimer(UINT_PTR id) {
  if (id == kRunClockTimer) {
    ShowFigures();
    if (!over_) Do(machine_.Tick(AwakeMilliseconds()));
    return true;
  }
  if (id == kRunPauseTimer) {
    KillTimer(window_, kRunPauseTimer);
    if (!over_) Do(machine_.PauseEnded());
    return true;
  }
  if (id == kRunEndCheckTimer) {
    KillTimer(window_, kRunEndCheckTimer);
    // Told to end, AutoCAD is still there: no second one is started beside it.
    if (!over_ && process_.Running() && !process_.Ended()) {
      messagesAfter_.push_back({kMessageAutocadNotEnded, {}});
      Do(machine_.EndFailed());
    }
    return true;
  }
  return false;
}

void ScriptRun::OnStop(bool now) {
  if (!over_) Do(now ? machine_.StopNow() : machine_.StopAfterThis());
}

void ScriptRun::EndProcess() {
  process_.End();
  SetTimer(window_, kRunEndCheckTimer, kEndCheckMilliseconds, nullptr);
}

void ScriptRun::Abort() {
  if (over_) return;
  machine_.Abort();
  process_.End();
  Finish();
}

void ScriptRun::Flush() {
  if (resume_) resume_->Flush();
}

void ScriptRun::WriteFinished() {
  for (const int item : machine_.TakeFinished()) {
    RunRecord& record = records_[static_cast<std::size_t>(item)];
    const ItemOutcome& outcome = machine_.Outcome(item);
    record.result = outcome.result;
    record.exitCode = outcome.exitCode;
    record.reason = outcome.reason;
    if (outcome.result == RowResult::Plotted || outcome.result == RowResult::Failed ||
        outcome.result == RowResult::TimedOut || outcome.result == RowResult::Stopped) {
      record.end = Now();
      record.seconds = SecondsSince(unitTick_);
    }
    if (record.result == RowResult::Plotted) {
      for (const std::u16string& file : outputs_[static_cast<std::size_t>(item)]) {
        if (OutputWritten(file, unitFileTime_)) continue;
        record.result = RowResult::Failed;
        record.reason = FailReason::NoOutputFile;
        break;
      }
    }
    if (record.result != RowResult::Plotted) record.output.clear();
    if (!journalFailed_ && !journal_->Append(record)) {
      journalFailed_ = true;
      journalError_ = journal_->Path();
    }
    if (resume_) resume_->Note(item, record.result == RowResult::Plotted);
  }
}

void ScriptRun::ShowFigures() {
  if (!progress_) return;
  const int total = static_cast<int>(records_.size());
  const double elapsed = SecondsSince(startTick_);
  const double left = EstimateSecondsLeft(elapsed, done_, total);
  const int current = machine_.CurrentUnit() >= 0 ? machine_.Unit(machine_.CurrentUnit()).back() : 0;
  const std::u16string drawing =
      request_.mode == RunMode::WholeList || records_.empty() ? u"" : records_[static_cast<std::size_t>(current)].drawing;
  progress_->SetLines(ModeLine(request_.mode),
                      Filled(TextTable::Code, kTextDrawingOfCount, DecimalText(current + 1), DecimalText(total)), drawing,
                      Filled(TextTable::Code, kTextTimes, DurationText(elapsed), left < 0 ? u"?" : DurationText(left)));
}

void ScriptRun::Finish() {
  WriteFinished();
  over_ = true;
  KillTimer(window_, kRunPauseTimer);
  KillTimer(window_, kRunClockTimer);
  // The end check stays armed only when AutoCAD does not go; the job ends it.
  if (resume_) resume_->Remove();
  progress_.reset();
  awake_.reset();
  if (journalFailed_) messagesAfter_.push_back({kMessageJournalNotWritten, journalError_});
}

RunReport ScriptRun::Report() const {
  RunReport report;
  report.ran = true;
  report.mode = request_.mode;
  report.records = records_;
  report.journalPath = journalFailed_ ? std::u16string() : journal_ ? journal_->Path() : std::u16string();
  report.seconds = SecondsSince(startTick_);
  return report;
}

}  // namespace tovrel
