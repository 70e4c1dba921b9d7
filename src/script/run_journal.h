// What a run did, drawing by drawing: the run journal, one CSV file per run
// in the "runs" folder beside the program's files, UTF-8 with a byte-order
// mark so that a spreadsheet opens it as it is. Also the figures the
// progress window and the summary show.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tovrel {

inline constexpr char16_t kRunsFolderName[] = u"runs";

enum class RunMode { WholeList, PerRowOnce, PerRowTimer, Parallel };
enum class RowResult { Plotted, Failed, TimedOut, Stopped, DrawingMissing, NotStarted };
// Why a row failed or was not started, beyond its exit code.
enum class FailReason { None, CouldNotStart, ScriptNotWritten, NoOutputFile, NotEnded };

// A calendar time as the journal writes it.
struct ClockTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

struct RunRecord {
  int row = 0;                  // 0-based; the journal shows it 1-based, as the user counts
  std::u16string drawing;       // the drawing's path
  std::u16string printer, paper;
  ClockTime start, end;
  double seconds = 0;
  RowResult result = RowResult::NotStarted;
  std::uint32_t exitCode = 0;   // with Failed: AutoCAD's exit code (0 when it could not start)
  FailReason reason = FailReason::None;
  std::u16string output;        // the plot files the row's device writes, "; " between them
};

// Whether a row of this result is one the user will want to run again.
bool NeedsAnotherRun(RowResult result);

// "plotted", "failed (exit code 3)", "failed (not started)", "failed (script
// not written)", "failed: no output file", "failed (AutoCAD did not end)",
// "timed out", "stopped", "drawing missing", "not started".
std::u16string ResultText(const RunRecord& record);
std::u16string_view ModeText(RunMode mode);

// "run-20261206-180000.csv"; with `attempt` above 1 "run-20261206-180000-2.csv"
// (two runs started in one second never share a journal).
std::u16string JournalFileName(const ClockTime& started, int attempt = 1);
// "2026-12-06 18:00:00".
std::u16string ClockText(const ClockTime& time);
// "0:07", "12:05", "1:02:03".
std::u16string DurationText(double seconds);

// One field of a CSV line: quoted when it holds a comma, a quote or a line
// break, with quotes doubled. A field a spreadsheet would take for a
// formula (=, +, -, @ first) gets a leading apostrophe.
std::u16string CsvField(std::u16string_view text);

// The whole journal: byte-order mark, header line, one line per record,
// CRLF line ends, UTF-8. A run writes the head when it starts and one line
// as each drawing ends, so the file is a whole CSV at every moment.
std::string JournalHead();
std::string JournalLine(RunMode mode, std::u16string_view templateTitle, const RunRecord& record);
std::string JournalCsv(RunMode mode, std::u16string_view templateTitle, const std::vector<RunRecord>& records);

// The drawings a journal names with any result but "plotted", in order,
// each once. Lines cut short (a run killed while writing) are passed over.
std::vector<std::u16string> NotPlottedInJournal(std::string_view csv);

struct RunSummary {
  int plotted = 0;
  int notPlotted = 0;  // failed, timed out, stopped, missing, never started
  double seconds = 0;
};
RunSummary Summarise(const std::vector<RunRecord>& records, double seconds);

// Seconds still to go: the mean time of the drawings done, times the ones
// left; negative when nothing is done yet (no estimate).
double EstimateSecondsLeft(double elapsedSeconds, int done, int total);

}  // namespace tovrel
