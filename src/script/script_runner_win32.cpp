#include "script/script_runner_win32.h"

#include <algorithm>
#include <string>
#include <vector>

#include "drawing_list/list_view_row_store_win32.h"
#include "script/autocad_process_win32.h"
#include "script/run_resume.h"
#include "script/script_file.h"
#include "script/script_writer.h"
#include "storage/ansi_code_page_win32.h"
#include "storage/decimal_text.h"
#include "storage/file_io.h"
#include "storage/ini_file.h"
#include "win32/file_dialog.h"
#include "win32/progress_window.h"
#include "win32/window_text.h"

namespace tovrel {

namespace {

constexpr int kMessageRunSummary = 77;
constexpr int kMessageJournalNotWritten = 81;
constexpr int kTextModePerRow = 98;      // dialog texts
constexpr int kTextModeTimer = 99;
constexpr int kTextModeWholeList = 96;   // code texts
constexpr int kTextDrawingOfCount = 97;
constexpr int kTextTimes = 98;

// The command line must hold the whole script path: a cut path would run
// another script.
bool ScriptPathFits(HWND owner, const AppSettings& settings) {
  if (AutocadCommandLine(settings.temp_file)) return true;
  ShowMessage(owner, kMessageScriptPathTooLong);
  return false;
}

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

std::u16string TimesLine(double elapsed, int done, int total) {
  const double left = EstimateSecondsLeft(elapsed, done, total);
  return Filled(TextTable::Code, kTextTimes, DurationText(elapsed), left < 0 ? u"?" : DurationText(left));
}

void ShowProgress(ProgressWindow& progress, const std::u16string& mode, int index, int total,
                  const std::u16string& drawing, ULONGLONG startTick) {
  progress.SetLines(mode, Filled(TextTable::Code, kTextDrawingOfCount, DecimalText(index + 1), DecimalText(total)), drawing,
                    TimesLine(SecondsSince(startTick), index, total));
}

// Message 52 names the row and the drawing whose line is too long.
void ShowWriteFailure(HWND owner, const RowStore& rows, const ScriptWriteResult& result,
                      const ScriptTemplate& tmpl) {
  if (result.messageNumber == 0) return;
  if (result.messageNumber != kMessageScriptLineTooLong) {
    ShowMessage(owner, result.messageNumber);
    return;
  }
  std::u16string detail;
  if (result.failedRow >= 0) {
    detail = u"#" + DecimalText(result.failedRow + 1) + u"  " +
             RowDrawingPath(rows, result.failedRow, FindScriptColumns(tmpl));
  }
  ShowMessageWithDetail(owner, kMessageScriptLineTooLong, detail);
}

RunRecord StartRecord(const RowStore& rows, int row, const ScriptColumns& columns) {
  RunRecord record;
  record.row = row;
  record.drawing = RowDrawingPath(rows, row, columns);
  record.printer = rows.CellText(row, kPrinterColumn, 260);
  record.paper = rows.CellText(row, kPaperColumn, 260);
  record.start = Now();
  record.end = record.start;
  return record;
}

void Finish(RunRecord& record, const AutocadOutcome& outcome, ULONGLONG startTick) {
  record.end = Now();
  record.seconds = SecondsSince(startTick);
  record.exitCode = outcome.exitCode;
  switch (outcome.kind) {
    case AutocadOutcome::Kind::Ended:
      record.result = outcome.exitCode == 0 ? RowResult::Plotted : RowResult::Failed;
      break;
    case AutocadOutcome::Kind::CouldNotStart:
      record.result = RowResult::Failed;
      record.couldNotStart = true;
      break;
    case AutocadOutcome::Kind::TimedOut:
      record.result = RowResult::TimedOut;
      break;
    case AutocadOutcome::Kind::StoppedNow:
      record.result = RowResult::Stopped;
      break;
  }
}

std::u16string RunsFolder(const ScriptRunContext& context) {
  return context.workingFolder + u"\\" + kRunsFolderName;
}

// Writes the journal into the "runs" folder; its path, or empty (said).
std::u16string WriteJournal(HWND owner, const ScriptRunContext& context, RunMode mode, const ClockTime& started,
                            const std::vector<RunRecord>& records) {
  const std::u16string folder = RunsFolder(context);
  CreateDirectoryW(W(folder), nullptr);
  const std::u16string path = folder + u"\\" + JournalFileName(started);
  std::u16string error;
  if (WriteFileAtomically(path, JournalCsv(mode, context.activeTemplate.title, records), &error)) return path;
  ShowMessageWithDetail(owner, kMessageJournalNotWritten, error);
  return {};
}

}  // namespace

// The state of a per-drawing run, kept on disk so that the next start can
// go on where a run that did not finish stopped. The file stays when the
// program ends in the middle of the run; the run's own end removes it.
class UnfinishedRunFile {
public:
  UnfinishedRunFile(const std::u16string& runsFolder, UnfinishedRun run)
      : path_(runsFolder + u"\\" + kUnfinishedRunFileName), run_(std::move(run)) {
    CreateDirectoryW(W(runsFolder), nullptr);
    Write();
  }
  UnfinishedRunFile(const UnfinishedRunFile&) = delete;
  UnfinishedRunFile& operator=(const UnfinishedRunFile&) = delete;

  void Done(int count) {
    run_.done = count;
    Write();
  }
  void Remove() { DeleteFileW(W(path_)); }

private:
  void Write() {
    IniFile file(path_, SystemAnsiCodePage());
    SaveUnfinishedRun(run_, file.Doc());
    file.Save();
  }
  std::u16string path_;
  UnfinishedRun run_;
};

namespace {

UnfinishedRun StateOf(RunMode mode, const ScriptRunContext& context, const RowStore& store,
                      const std::vector<int>& order, const ClockTime& started) {
  const ScriptColumns columns = FindScriptColumns(context.activeTemplate);
  UnfinishedRun state;
  state.mode = mode;
  state.templateIndex = context.templateIndex;
  state.rows = order;
  for (const int row : order) state.drawings.push_back(RowDrawingPath(store, row, columns));
  state.journal = JournalFileName(started);
  return state;
}

}  // namespace

std::uint64_t PerDrawingTimeoutMs(const AppSettings& settings) {
  return settings.run_timeout <= 0 ? 0 : static_cast<std::uint64_t>(settings.run_timeout) * 60000u;
}

bool WriteScriptFile(HWND owner, HWND list, int scope, const std::u16string& path, const ScriptRunContext& context) {
  ListViewRowStore store(list);
  ScriptFileSink sink(path);
  const ScriptWriteResult result =
      WriteScript(store, context.activeTemplate, context.settings.end_file_dwg, scope, sink);
  if (!result.ok) ShowWriteFailure(owner, store, result, context.activeTemplate);
  return result.ok;
}

RunReport RunWholeList(HWND owner, HWND list, int scope, const ScriptRunContext& context) {
  RunReport report;
  report.mode = RunMode::WholeList;
  if (!ScriptPathFits(owner, context.settings)) return report;
  ListViewRowStore store(list);
  // The rows the script covers, taken before writing it clears their marks.
  const bool selected = scope == kScopeSelectedRows || (scope == kScopeSelectedOrAll && store.NextSelected(0) >= 0);
  const ScriptColumns columns = FindScriptColumns(context.activeTemplate);
  std::vector<RunRecord> records;
  for (int row = selected ? store.NextSelected(0) : 0; row >= 0 && row < store.RowCount();
       row = selected ? store.NextSelected(row + 1) : row + 1) {
    records.push_back(StartRecord(store, row, columns));
  }
  if (!WriteScriptFile(owner, list, scope, context.settings.temp_file, context)) return report;

  const ClockTime started = Now();
  const ULONGLONG startTick = GetTickCount64();
  ProgressWindow progress(owner, ProgressWindow::Stops::NowOnly);
  progress.SetLines(U(LookUpText(TextTable::Code, kTextModeWholeList)),
                    Filled(TextTable::Code, kTextDrawingOfCount, DecimalText(static_cast<int>(records.size())),
                           DecimalText(static_cast<int>(records.size()))),
                    u"", u"");
  const std::uint64_t limit = context.perDrawingTimeoutMs * std::max<std::uint64_t>(records.size(), 1);
  const AutocadOutcome outcome = RunAutocadAndWait(context.settings, limit, &progress);
  if (outcome.kind == AutocadOutcome::Kind::CouldNotStart) ShowMessage(owner, kMessageAutocadCannotStart);
  for (RunRecord& record : records) {
    record.start = started;
    Finish(record, outcome, startTick);
    if (!FileExists(record.drawing)) record.result = RowResult::DrawingMissing;
  }
  report.ran = true;
  report.seconds = SecondsSince(startTick);
  report.records = std::move(records);
  report.journalPath = WriteJournal(owner, context, report.mode, started, report.records);
  return report;
}

bool SaveScriptAs(HWND owner, HWND list, int scope, const ScriptRunContext& context) {
  FileDialogOptions options;
  options.owner = owner;
  options.title = LookUpText(TextTable::Code, 30);
  options.filter = L"ScrFile(*.scr)\0*.scr\0AllFile(*.*)\0*.*\0";
  options.initialFolder = context.workingFolder;
  options.initialName = u"*.scr";
  const FileDialogResult chosen = AskSaveFile(options);
  if (!chosen.Chosen()) {
    ReportFileDialogFailure(owner, chosen);
    return false;
  }
  return WriteScriptFile(owner, list, scope, WithScrExtension(chosen.Path()), context);
}

RunReport RunPerRowOnce(HWND owner, HWND list, const ScriptRunContext& context, const std::vector<int>* rows) {
  RunReport report;
  report.mode = RunMode::PerRowOnce;
  ListViewRowStore store(list);
  // The rows are taken once, at the start: the selected rows from the top,
  // else every row (or the rows of a run to resume).
  std::vector<int> order;
  bool usesSelection = false;
  if (rows) {
    order = *rows;
  } else {
    PerRowRun run(store);
    usesSelection = run.UsesSelection();
    while (const std::optional<int> row = run.NextRow(store)) order.push_back(*row);
  }
  if (order.empty()) {
    ShowMessage(owner, kMessageListEmpty);
    return report;
  }
  if (!ScriptPathFits(owner, context.settings)) return report;
  const ScriptTemplate& tmpl = context.activeTemplate;
  const ScriptColumns columns = FindScriptColumns(tmpl);

  const ClockTime started = Now();
  const ULONGLONG startTick = GetTickCount64();
  UnfinishedRunFile unfinished(RunsFolder(context), StateOf(RunMode::PerRowOnce, context, store, order, started));
  ProgressWindow progress(owner, ProgressWindow::Stops::AfterThisAndNow);
  const std::u16string mode = U(LookUpText(TextTable::Dialog, kTextModePerRow));
  const int total = static_cast<int>(order.size());

  report.ran = true;
  for (int i = 0; i < total && !progress.StopAfterThis() && !progress.StopNow(); ++i) {
    const int row = order[static_cast<std::size_t>(i)];
    RunRecord record = StartRecord(store, row, columns);
    ShowProgress(progress, mode, i, total, record.drawing, startTick);
    const ULONGLONG rowTick = GetTickCount64();
    if (!FileExists(record.drawing)) {
      // AutoCAD would not open it, and every later answer would go astray.
      if (usesSelection) store.SetMarks(row, false);
      record.result = RowResult::DrawingMissing;
      report.records.push_back(record);
      unfinished.Done(i + 1);
      continue;
    }
    ScriptFileSink sink(context.settings.temp_file);
    const ScriptWriteResult written =
        WriteRowScript(store, row, tmpl, columns, context.settings.end_file_dwg, usesSelection, sink);
    if (!written.ok) {
      ShowWriteFailure(owner, store, written, tmpl);
      break;
    }
    const AutocadOutcome outcome = RunAutocadAndWait(context.settings, context.perDrawingTimeoutMs, &progress);
    Finish(record, outcome, rowTick);
    report.records.push_back(record);
    unfinished.Done(i + 1);
    if (outcome.kind == AutocadOutcome::Kind::CouldNotStart) {
      ShowMessage(owner, kMessageAutocadCannotStart);
      break;
    }
    if (i + 1 < total) progress.PumpFor(kRunPauseMilliseconds);
  }
  unfinished.Remove();
  report.seconds = SecondsSince(startTick);
  report.journalPath = WriteJournal(owner, context, report.mode, started, report.records);
  return report;
}

TimerRunSession::TimerRunSession() = default;
TimerRunSession::~TimerRunSession() = default;
TimerRunSession::TimerRunSession(TimerRunSession&&) noexcept = default;
TimerRunSession& TimerRunSession::operator=(TimerRunSession&&) noexcept = default;

void StartTimerRun(HWND window, HWND list, TimerRunSession& session, UINT_PTR timerId,
                   const ScriptRunContext& context) {
  const ListViewRowStore store(list);
  session.run = tovrel::StartTimerRun(store);
  std::vector<int> order;
  for (int row = 0; row < session.run.rowCount; ++row) {
    if (!session.run.startedWithSelection || store.IsSelected(row)) order.push_back(row);
  }
  session.records.clear();
  session.active = true;
  session.started = Now();
  session.startTick = GetTickCount64();
  session.unfinished = std::make_unique<UnfinishedRunFile>(
      RunsFolder(context), StateOf(RunMode::PerRowTimer, context, store, order, session.started));
  session.progress = std::make_unique<ProgressWindow>(window, ProgressWindow::Stops::AfterThisAndNow);
  session.progress->SetLines(U(LookUpText(TextTable::Dialog, kTextModeTimer)), u"", u"", u"");
  SetTimer(window, timerId, kRunPauseMilliseconds, nullptr);
}

RunReport StopTimerRun(HWND window, TimerRunSession& session, UINT_PTR timerId, const ScriptRunContext& context) {
  KillTimer(window, timerId);
  RunReport report;
  report.mode = RunMode::PerRowTimer;
  if (!session.active) return report;
  session.active = false;
  session.progress.reset();
  if (session.unfinished) session.unfinished->Remove();
  session.unfinished.reset();
  report.ran = true;
  report.seconds = SecondsSince(session.startTick);
  report.records = std::move(session.records);
  session.records.clear();
  report.journalPath = WriteJournal(window, context, report.mode, session.started, report.records);
  return report;
}

bool OnTimerRunTick(HWND window, HWND list, TimerRunSession& session, UINT_PTR timerId,
                    const ScriptRunContext& context, RunReport& report) {
  KillTimer(window, timerId);
  auto end = [&] {
    report = StopTimerRun(window, session, timerId, context);
    return true;
  };
  if (!session.active) return false;
  if (!session.progress || session.progress->StopAfterThis() || session.progress->StopNow()) return end();
  if (!ScriptPathFits(window, context.settings)) return end();
  ListViewRowStore store(list);
  const ScriptColumns columns = FindScriptColumns(context.activeTemplate);
  const int row = session.run.currentRow;
  RunRecord record;
  if (row >= 0 && row < store.RowCount()) record = StartRecord(store, row, columns);
  ShowProgress(*session.progress, U(LookUpText(TextTable::Dialog, kTextModeTimer)), row, session.run.rowCount,
               record.drawing, session.startTick);
  ScriptFileSink sink(context.settings.temp_file);
  const TimerStepResult step =
      RunTimerStep(store, session.run, context.activeTemplate, context.settings.end_file_dwg, sink);
  if (step.messageNumber != 0) ShowMessage(window, step.messageNumber);
  if (step.answer == StepAnswer::End) return end();
  if (step.answer == StepAnswer::Written) {
    const ULONGLONG rowTick = GetTickCount64();
    const AutocadOutcome outcome =
        RunAutocadAndWait(context.settings, context.perDrawingTimeoutMs, session.progress.get());
    Finish(record, outcome, rowTick);
    session.records.push_back(record);
    session.unfinished->Done(static_cast<int>(session.records.size()));
    if (outcome.kind == AutocadOutcome::Kind::CouldNotStart) {
      ShowMessage(window, kMessageAutocadCannotStart);
      return end();
    }
    if (session.progress->StopNow()) return end();
  }
  if (!AdvanceTimerRun(session.run)) return end();
  SetTimer(window, timerId, kRunPauseMilliseconds, nullptr);
  return false;
}

std::vector<int> UnfinishedRows(HWND list, const ScriptRunContext& context) {
  const IniFile file(RunsFolder(context) + u"\\" + kUnfinishedRunFileName, SystemAnsiCodePage());
  const std::optional<UnfinishedRun> run = LoadUnfinishedRun(file.Doc());
  if (!run) return {};
  const ListViewRowStore store(list);
  return RowsToResume(*run, store, FindScriptColumns(context.activeTemplate));
}

void ForgetUnfinishedRun(const ScriptRunContext& context) {
  DeleteFileW(W(RunsFolder(context) + u"\\" + kUnfinishedRunFileName));
}

void ShowRunSummary(HWND owner, const RunReport& report) {
  if (!report.ran) return;
  const RunSummary summary = Summarise(report.records, report.seconds);
  std::u16string detail = DecimalText(summary.plotted) + u" / " + DecimalText(summary.notPlotted) + u" / " +
                          DurationText(summary.seconds);
  if (!report.journalPath.empty()) detail += u"\r\n" + report.journalPath;
  ShowMessageWithDetail(owner, kMessageRunSummary, detail);
}

void ShowScript(HWND owner, const AppSettings& settings) {
  wchar_t folder[MAX_PATH] = L"";
  const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
  // The Notepad of the system folder, never one found by the search path
  // (the current folder would come first there).
  const std::u16string notepad = n == 0 || n >= MAX_PATH ? std::u16string() : U(folder) + u"\\notepad.exe";
  // Notepad gets the script path as its one argument, as it stands.
  std::u16string line = u"\"" + notepad + u"\" " + settings.temp_file;
  std::vector<wchar_t> commandLine(line.begin(), line.end());
  commandLine.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (notepad.empty() || !CreateProcessW(W(notepad), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                         nullptr, &startup, &process)) {
    ShowMessage(owner, kMessageNotepadCannotStart);
    return;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

}  // namespace tovrel
