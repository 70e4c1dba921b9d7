#include "script/parallel_lane_win32.h"

#include <algorithm>
#include <string>
#include <vector>

#include "drawing_list/row_store.h"
#include "drawing_list/list_view_row_store_win32.h"
#include "printers/environment_setup.h"
#include "script/autocad_process_win32.h"
#include "script/output_check_win32.h"
#include "script/parallel_lane.h"
#include "script/run_journal_file_win32.h"
#include "script/run_resume_file_win32.h"
#include "script/script_file.h"
#include "script/script_writer.h"
#include "storage/decimal_text.h"
#include "storage/file_io.h"
#include "win32/progress_window.h"
#include "win32/window_text.h"

namespace tovrel {

namespace {

constexpr UINT kTickMilliseconds = 250;
constexpr int kTextLaneSplit = 93;  // code texts
constexpr int kTextLaneDone = 80;
constexpr int kTextTimes = 98;
constexpr int kTextModePerRow = 98;  // dialog text

ClockTime Now() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return ClockTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

// A catalog text with %1, %2, %3 replaced.
std::u16string Filled(TextTable table, int number, std::initializer_list<std::u16string> values) {
  std::u16string text = U(LookUpText(table, number));
  char16_t mark[] = u"%1";
  for (const std::u16string& value : values) {
    const std::size_t at = text.find(mark);
    if (at != std::u16string::npos) text.replace(at, 2, value);
    ++mark[1];
  }
  return text;
}

std::u16string FileNameOf(const std::u16string& path) {
  const std::size_t slash = path.find_last_of(u"\\/");
  return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

// A worker's process and when its drawing started, for the output check.
struct Worker {
  AutocadProcess process;
  FILETIME started{};
};

constexpr WPARAM kWorkerBits = 5;  // the worker in the low bits of the message's cookie (at most 16)
unsigned g_serial = 0;  // tells a late message of an earlier run from this one's

}  // namespace

class ParallelLaneRun final : public LaneProcesses {
public:
  ParallelLaneRun(HWND window, HWND list, const ScriptRunContext& context, LanePlan plan, std::u16string console,
                  int workers)
      : window_(window), list_(list), context_(context), plan_(std::move(plan)), console_(std::move(console)),
        serial_(++g_serial), workers_(std::make_unique<Worker[]>(static_cast<std::size_t>(workers))),
        workerCount_(workers), laneWorkers_(workers) {
    started_ = Now();
    startTick_ = GetTickCount64();
  }
  ~ParallelLaneRun() override {
    KillTimer(window_, kLaneTimer);
    for (int w = 0; w < workerCount_; ++w) workers_[static_cast<std::size_t>(w)].process.End();
    // The job ends whatever is left when it goes.
  }
  ParallelLaneRun(const ParallelLaneRun&) = delete;
  ParallelLaneRun& operator=(const ParallelLaneRun&) = delete;

  // The journal and the state of an unfinished run, then the first workers.
  void Begin(const RowStore& rows, std::vector<LaneRow> missing) {
    const std::u16string folder = context_.workingFolder + u"\\" + kRunsFolderName;
    CreateDirectoryW(W(folder), nullptr);
    journal_ = std::make_unique<RunJournalFile>(folder, started_, RunMode::Parallel, context_.activeTemplate.title);
    // The state for the next start: a run broken off goes on one drawing
    // at a time in full AutoCAD with what it did not plot.
    const ScriptColumns columns = FindScriptColumns(context_.activeTemplate);
    UnfinishedRun state;
    state.mode = RunMode::PerRowOnce;
    state.templateIndex = context_.templateIndex;
    for (const LaneRow& r : missing) state.rows.push_back(r.row);
    for (const LaneRow& r : plan_.lane) state.rows.push_back(r.row);
    state.rows.insert(state.rows.end(), plan_.printerRows.begin(), plan_.printerRows.end());
    for (const int row : state.rows) state.drawings.push_back(RowDrawingPath(rows, row, columns));
    state.journal = FileNameOf(journal_->Path());
    resumeRows_ = state.rows;
    resume_ = std::make_unique<ResumeRecordFile>(folder, state);
    for (const LaneRow& r : missing) {
      RunRecord record = Record(rows, r.row, r.drawing);
      record.result = RowResult::DrawingMissing;
      Finish(std::move(record));
    }
    progress_ = std::make_unique<ProgressWindow>(window_, ProgressWindow::Stops::AfterThisAndNow);
    split_ = Filled(TextTable::Code, kTextLaneSplit,
                    {DecimalText(static_cast<int>(plan_.lane.size())), DecimalText(laneWorkers_),
                     DecimalText(static_cast<int>(plan_.printerRows.size()))});
    for (const LaneRow& r : plan_.lane) {
      laneRecords_.push_back(Record(rows, r.row, r.drawing));
      laneRecords_.back().output = r.output;
    }
    for (const int row : plan_.printerRows) printerRecords_.push_back(Record(rows, row, RowDrawingPath(rows, row, columns)));
    StartPhase();
    SetTimer(window_, kLaneTimer, kTickMilliseconds, nullptr);
  }

  unsigned Serial() const { return serial_; }

  // True when the whole run has ended.
  bool WorkerEnded(int worker) {
    if (worker < 0 || worker >= workerCount_) return false;
    Worker& w = workers_[static_cast<std::size_t>(worker)];
    if (!w.process.Running()) return false;
    const std::uint32_t code = w.process.Finish();
    const std::optional<int> item = scheduler_->Ended(worker, code, GetTickCount64());
    if (item) ItemEnded(*item, code, w.started);
    return Advance();
  }

  bool Tick() {
    if (progress_->StopNow() && !stoppedNow_) {
      stoppedNow_ = true;
      scheduler_->StopNow();
    } else if (progress_->StopAfterThis()) {
      scheduler_->StopAfterCurrent();
    }
    scheduler_->Tick(GetTickCount64());
    ShowProgress();
    return Advance();
  }

  RunReport Report() const {
    RunReport report;
    report.ran = true;
    report.mode = RunMode::Parallel;
    report.records = done_;
    report.seconds = static_cast<double>(GetTickCount64() - startTick_) / 1000.0;
    report.journalPath = journal_ && !journalFailed_ ? journal_->Path() : std::u16string();
    return report;
  }

  // LaneProcesses: a Core Console on a lane drawing, or full AutoCAD on a printer row.
  bool Start(int worker, int item) override {
    std::u16string program, commandLine;
    Worker& w = workers_[static_cast<std::size_t>(worker)];
    if (!printerPhase_) {
      const LaneRow& row = plan_.lane[static_cast<std::size_t>(item)];
      const std::u16string script = LaneScriptPath(row.row);
      if (!WriteFileAtomically(script, LaneScriptBytes(row), nullptr)) return false;
      program = console_;
      commandLine = CoreConsoleCommandLine(console_, row.drawing, script, context_.settings.moji_type);
    } else {
      ListViewRowStore rows(list_);
      ScriptFileSink sink(context_.settings.temp_file);
      const int row = plan_.printerRows[static_cast<std::size_t>(item)];
      if (!WriteRowScript(rows, row, context_.activeTemplate, FindScriptColumns(context_.activeTemplate),
                          context_.settings.end_file_dwg, false, sink)
               .ok) {
        return false;
      }
      program = context_.settings.autocad_file;
      commandLine = AutocadCommandLine(context_.settings.temp_file).value_or(u"");
    }
    RecordOf(item).start = Now();
    w.started = FileTimeNow();
    const WPARAM cookie = (static_cast<WPARAM>(serial_) << kWorkerBits) | static_cast<WPARAM>(worker);
    return w.process.BeginStart(program, commandLine, job_, window_, kLaneWorkerStarted, cookie);
  }

  // The worker's process is up, or could not start. True when the run has ended.
  bool WorkerStarted(int worker) {
    if (worker < 0 || worker >= workerCount_) return false;
    Worker& w = workers_[static_cast<std::size_t>(worker)];
    if (!w.process.Starting()) return false;
    if (!w.process.TakeStarted(kLaneWorkerEnded)) {
      const std::optional<int> item = scheduler_->NotStarted(worker, GetTickCount64());
      (void)item;
      return Advance();
    }
    // Stopped or out of time while it was coming up.
    const int item = scheduler_->Current(worker);
    if (item >= 0 && scheduler_->Item(item).state != LaneItemState::Running) w.process.End();
    return false;
  }

  // A process still coming up is ended as soon as it is (WorkerStarted).
  void Terminate(int worker) override { workers_[static_cast<std::size_t>(worker)].process.End(); }

private:
  RunRecord& RecordOf(int item) {
    return printerPhase_ ? printerRecords_[static_cast<std::size_t>(item)]
                         : laneRecords_[static_cast<std::size_t>(item)];
  }

  std::u16string LaneScriptPath(int row) const {
    std::u16string path = context_.settings.temp_file;
    const std::size_t slash = path.find_last_of(u"\\/");
    const std::size_t dot = path.find_last_of(u'.');
    if (dot != std::u16string::npos && (slash == std::u16string::npos || dot > slash)) path.resize(dot);
    return path + u"-lane-" + DecimalText(row + 1) + u".scr";
  }

  RunRecord Record(const RowStore& rows, int row, const std::u16string& drawing) const {
    RunRecord record;
    record.row = row;
    record.drawing = drawing;
    record.printer = rows.CellText(row, kPrinterColumn, 260);
    record.paper = rows.CellText(row, kPaperColumn, 260);
    record.start = record.end = Now();
    return record;
  }

  void StartPhase() {
    const bool printers = printerPhase_;
    const int items = static_cast<int>(printers ? plan_.printerRows.size() : plan_.lane.size());
    scheduler_ = std::make_unique<LaneScheduler>(*this, items, printers ? 1 : laneWorkers_,
                                                 context_.perDrawingTimeoutMs);
    scheduler_->Begin(GetTickCount64());
    ShowProgress();
  }

  void ItemEnded(int item, std::uint32_t code, const FILETIME& started) {
    RunRecord record = RecordOf(item);
    const LaneItem& it = scheduler_->Item(item);
    record.end = Now();
    record.seconds = static_cast<double>(it.endMs - it.startMs) / 1000.0;
    record.exitCode = code;
    switch (it.state) {
      case LaneItemState::TimedOut: record.result = RowResult::TimedOut; break;
      case LaneItemState::Stopped: record.result = RowResult::Stopped; break;
      default:
        record.result = code == 0 ? RowResult::Plotted : RowResult::Failed;
        if (!printerPhase_ && code == 0) {
          // The console ends with its script whatever happened in it: the
          // drawing counts as plotted only when its file was written.
          if (!OutputWritten(record.output, started)) {
            record.result = RowResult::Failed;
            record.reason = FailReason::NoOutputFile;
          }
        }
        break;
    }
    // A drawing's script goes once it has plotted; the others stay to be looked at.
    if (!printerPhase_ && record.result == RowResult::Plotted) DeleteFileW(W(LaneScriptPath(record.row)));
    Finish(std::move(record));
  }

  void Finish(RunRecord record) {
    const auto at = std::find(resumeRows_.begin(), resumeRows_.end(), record.row);
    if (resume_ && at != resumeRows_.end()) {
      resume_->Note(static_cast<int>(at - resumeRows_.begin()), record.result == RowResult::Plotted);
    }
    if (journal_ && !journal_->Append(record)) journalFailed_ = true;
    done_.push_back(std::move(record));
  }

  // On to the printer rows when the lane is through; true when all is done.
  bool Advance() {
    while (scheduler_->Finished()) {
      RecordStartFailure();
      if (!printerPhase_ && !scheduler_->Stopping() && !plan_.printerRows.empty()) {
        printerPhase_ = true;
        StartPhase();
        continue;
      }
      return Ended();
    }
    return false;
  }

  // A program that could not start ends the run; its drawing says so.
  void RecordStartFailure() {
    if (!scheduler_->StartFailed()) return;
    for (int item = 0; item < scheduler_->Items(); ++item) {
      if (scheduler_->Item(item).state != LaneItemState::CouldNotStart) continue;
      RunRecord record = RecordOf(item);
      record.result = RowResult::Failed;
      record.reason = FailReason::CouldNotStart;
      Finish(std::move(record));
    }
  }

  bool Ended() {
    KillTimer(window_, kLaneTimer);
    progress_.reset();
    if (resume_) resume_->Remove();
    return true;
  }

  void ShowProgress() {
    if (!progress_) return;
    const int total = static_cast<int>(plan_.lane.size() + plan_.printerRows.size());
    const int done = static_cast<int>(done_.size());
    std::u16string current;
    for (int w = 0; w < scheduler_->Workers(); ++w) {
      const int item = scheduler_->Current(w);
      if (item < 0) continue;
      if (!current.empty()) current += u"  |  ";
      current += FileNameOf(RecordOf(item).drawing);
    }
    const double elapsed = static_cast<double>(GetTickCount64() - startTick_) / 1000.0;
    const double left = EstimateSecondsLeft(elapsed, done, total);
    progress_->SetLines(printerPhase_ ? U(LookUpText(TextTable::Dialog, kTextModePerRow)) : split_,
                        Filled(TextTable::Code, kTextLaneDone, {DecimalText(done), DecimalText(total)}), current,
                        Filled(TextTable::Code, kTextTimes,
                               {DurationText(elapsed), left < 0 ? std::u16string(u"?") : DurationText(left)}));
  }

  HWND window_;
  HWND list_;
  const ScriptRunContext context_;
  LanePlan plan_;
  std::u16string console_;
  unsigned serial_;
  RunJob job_;
  std::unique_ptr<Worker[]> workers_;  // fixed in place: each one's wait knows its address
  int workerCount_;
  int laneWorkers_;
  bool printerPhase_ = false;
  bool stoppedNow_ = false;
  std::unique_ptr<LaneScheduler> scheduler_;
  std::unique_ptr<ProgressWindow> progress_;
  std::unique_ptr<RunJournalFile> journal_;
  std::unique_ptr<ResumeRecordFile> resume_;
  std::vector<int> resumeRows_;
  bool journalFailed_ = false;
  std::u16string split_;
  std::vector<RunRecord> laneRecords_, printerRecords_, done_;
  ClockTime started_{};
  ULONGLONG startTick_ = 0;
};

ParallelLaneSession::ParallelLaneSession() = default;
ParallelLaneSession::~ParallelLaneSession() = default;
void ParallelLaneSession::End() { run.reset(); }
ParallelLaneSession::ParallelLaneSession(ParallelLaneSession&&) noexcept = default;
ParallelLaneSession& ParallelLaneSession::operator=(ParallelLaneSession&&) noexcept = default;

std::u16string CoreConsoleProgram(const AppSettings& settings) {
  if (!settings.coreconsole_file.empty()) return FileExists(settings.coreconsole_file) ? settings.coreconsole_file : u"";
  const std::optional<std::u16string> beside = CoreConsoleBeside(settings.autocad_file);
  return beside && FileExists(*beside) ? *beside : u"";
}

bool StartParallelLane(HWND window, HWND list, ParallelLaneSession& session, const ScriptRunContext& context,
                       const std::vector<int>* rows) {
  ListViewRowStore store(list);
  std::vector<int> order;
  if (rows) {
    order = *rows;
  } else {
    for (int row = store.NextSelected(0); row >= 0; row = store.NextSelected(row + 1)) order.push_back(row);
    if (order.empty()) {
      for (int row = 0; row < store.RowCount(); ++row) order.push_back(row);
    }
  }
  if (order.empty()) {
    ShowMessage(window, kMessageListEmpty);
    return false;
  }
  const std::u16string console = CoreConsoleProgram(context.settings);
  if (console.empty()) {
    ShowMessage(window, kMessageNoCoreConsole);
    return false;
  }
  if (!AutocadCommandLine(context.settings.temp_file)) {
    ShowMessage(window, kMessageScriptPathTooLong);
    return false;
  }
  LanePlan plan = PlanLane(store, order, context.activeTemplate);
  // A drawing that is not there is not started: it is recorded at once.
  std::vector<LaneRow> missing;
  const auto gone = std::stable_partition(plan.lane.begin(), plan.lane.end(),
                                          [](const LaneRow& r) { return FileExists(r.drawing); });
  std::move(gone, plan.lane.end(), std::back_inserter(missing));
  plan.lane.erase(gone, plan.lane.end());
  SYSTEM_INFO system{};
  GetSystemInfo(&system);
  const int workers = LaneWorkerCount(context.settings.parallel_workers, static_cast<int>(system.dwNumberOfProcessors),
                                      static_cast<int>(plan.lane.size()));
  session.run = std::make_unique<ParallelLaneRun>(window, list, context, std::move(plan), console, workers);
  session.run->Begin(store, std::move(missing));
  return true;
}

bool OnLaneWorkerStarted(ParallelLaneSession& session, WPARAM wParam, LPARAM, RunReport& report) {
  if (!session.run || (wParam >> kWorkerBits) != session.run->Serial()) return false;
  if (!session.run->WorkerStarted(static_cast<int>(wParam & ((WPARAM{1} << kWorkerBits) - 1)))) return false;
  report = session.run->Report();
  session.run.reset();
  return true;
}

bool OnLaneWorkerEnded(ParallelLaneSession& session, WPARAM wParam,
                       const ScriptRunContext&, RunReport& report) {
  if (!session.run || (wParam >> kWorkerBits) != session.run->Serial()) return false;
  if (!session.run->WorkerEnded(static_cast<int>(wParam & ((WPARAM{1} << kWorkerBits) - 1)))) return false;
  report = session.run->Report();
  session.run.reset();
  return true;
}

bool OnLaneTimer(ParallelLaneSession& session, const ScriptRunContext&, RunReport& report) {
  if (!session.run) return false;
  if (!session.run->Tick()) return false;
  report = session.run->Report();
  session.run.reset();
  return true;
}

}  // namespace tovrel
