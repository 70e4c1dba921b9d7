// The parallel lane: several drawings at once, each in its own AutoCAD Core
// Console ("accoreconsole.exe /i <drawing> /s <script> /l <language>"),
// which opens the drawing given with /i, runs the script and ends with it.
//
// A run's rows are split first: a row whose plots all go to a file (PDF,
// DWF, raster and plot-file configurations, as the prompt model classes
// devices) goes to the lane; a row with a Windows printer or a printing
// plotter, or without a plot, runs afterwards in full AutoCAD, one drawing
// at a time. Each lane row gets its own script: its lines without the line
// that opens the drawing and without the closing lines, and its own output
// file: when two rows of the run would write one file, the later one is
// given "<name>-<row number><extension>" instead, so that two workers never
// write one file at once (the check lists both rows).
//
// The workers are scheduled by LaneScheduler, told what happened and
// answering through the LaneProcesses seam: at most N at a time, each ended
// when it runs past its time while the others go on, "stop after the
// current drawings" and "stop now" (every worker ended).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "drawing_list/row_store.h"
#include "storage/script_template.h"

namespace tovrel {

inline constexpr int kMaxParallelWorkers = 16;

// The workers of a run: `setting` (0: one per core), at most 16, never more
// than there are drawings, at least 1.
int LaneWorkerCount(int setting, int cores, int drawings);

// One row of the lane.
struct LaneRow {
  int row = 0;                  // list row, 0-based
  std::u16string drawing;       // the drawing's path, given with /i
  std::u16string output;        // the file its plot writes, as the lane's script names it
  std::vector<std::u16string> scriptLines;  // without the opening and the closing lines
  bool outputShared = false;    // another row of the run would write the same file
};

struct LanePlan {
  std::vector<LaneRow> lane;
  std::vector<int> printerRows;  // rows for full AutoCAD, in run order
  // Pairs of rows (earlier, later) whose answers would write one file.
  std::vector<std::pair<int, int>> sharedOutputs;
};

// Splits the rows of a run (in run order) and writes each lane row's script
// lines and output name.
LanePlan PlanLane(const RowStore& rows, const std::vector<int>& runRows, const ScriptTemplate& tmpl);

// The whole script of one lane row: byte-order mark and UTF-16LE lines.
std::string LaneScriptBytes(const LaneRow& row);

// The command line of one worker: the program in quotes, then
// ` /i "<drawing>" /s "<script>" /l <language>`.
std::u16string CoreConsoleCommandLine(std::u16string_view program, std::u16string_view drawing,
                                      std::u16string_view script, int language);

// The Core Console beside an AutoCAD program: "accoreconsole.exe" in the
// folder of "acad.exe"; nothing for AutoCAD LT ("aclt.exe"), which has none.
std::optional<std::u16string> CoreConsoleBeside(std::u16string_view autocadFile);

// What the scheduler asks of the processes. A worker that is ended is still
// reported through LaneScheduler::Ended when its process has gone.
class LaneProcesses {
public:
  virtual ~LaneProcesses() = default;
  // Starts `worker` on lane item `item`; false when it cannot be started.
  virtual bool Start(int worker, int item) = 0;
  virtual void Terminate(int worker) = 0;
};

enum class LaneItemState { Waiting, Running, Ended, CouldNotStart, TimedOut, Stopped };

struct LaneItem {
  LaneItemState state = LaneItemState::Waiting;
  std::uint32_t exitCode = 0;
  std::uint64_t startMs = 0, endMs = 0;
};

class LaneScheduler {
public:
  // `timeoutMs` 0: no limit.
  LaneScheduler(LaneProcesses& processes, int items, int workers, std::uint64_t timeoutMs);

  // Starts the first workers.
  void Begin(std::uint64_t nowMs);
  // A worker's process has ended: its item is done (the answer), and the
  // worker takes the next item unless the run is stopping.
  std::optional<int> Ended(int worker, std::uint32_t exitCode, std::uint64_t nowMs);
  // A worker whose process turned out not to start (it starts off the
  // window's thread): its item could not start, and the run ends as at
  // a refused start.
  std::optional<int> NotStarted(int worker, std::uint64_t nowMs);
  // Ends the workers that ran past their time.
  void Tick(std::uint64_t nowMs);
  // No further drawings start; the current ones finish.
  void StopAfterCurrent() { stopping_ = true; }
  // Every worker is ended now.
  void StopNow();

  bool Finished() const { return running_ == 0 && (stopping_ || next_ >= Items()); }
  bool Stopping() const { return stopping_; }
  int Items() const { return static_cast<int>(items_.size()); }
  int Done() const { return done_; }
  int Workers() const { return static_cast<int>(workers_.size()); }
  // The item a worker runs, or -1.
  int Current(int worker) const { return workers_[static_cast<std::size_t>(worker)]; }
  const LaneItem& Item(int item) const { return items_[static_cast<std::size_t>(item)]; }
  // Items that could not start: the program is missing; the run ends.
  bool StartFailed() const { return startFailed_; }

private:
  void Fill(std::uint64_t nowMs);

  LaneProcesses& processes_;
  std::vector<LaneItem> items_;
  std::vector<int> workers_;
  std::uint64_t timeoutMs_;
  int next_ = 0;
  int running_ = 0;
  int done_ = 0;
  bool stopping_ = false;
  bool startFailed_ = false;
};

}  // namespace tovrel
