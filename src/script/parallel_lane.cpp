#include "script/parallel_lane.h"

#include <algorithm>
#include <unordered_map>

#include "script/plot_output.h"
#include "script/plot_prompts.h"
#include "script/script_walk.h"
#include "script/script_writer.h"
#include "storage/decimal_text.h"
#include "storage/text_codec.h"

namespace tovrel {
namespace {

// True for the line of a column that opens the row's drawing: output mode 1
// with the OPEN command ("open", "_.OPEN", any case).
bool IsOpeningLine(const ScriptTemplate& tmpl, int column) {
  if (column < 0) return false;
  const TemplateColumn& c = tmpl.columns[static_cast<std::size_t>(column)];
  if (c.outputMode != 1) return false;
  std::u16string_view word = c.command;
  while (!word.empty() && (word.front() == u'_' || word.front() == u'.')) word.remove_prefix(1);
  return FoldAscii(word) == u"open";
}

// Walks a row's lines: which devices its plots use, and where each plot's
// file name is answered.
class RowRoute : private ScriptWalkEvents {
public:
  explicit RowRoute(std::u16string drawing) : walker_(*this), drawing_(std::move(drawing)) {}

  void Run(const std::vector<ScriptLine>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      line_ = i;
      walker_.FeedLine(lines[i].text);
    }
  }

  bool FitsLane() const { return plots_ > 0 && printerPlots_ == 0 && fileLine_ != kNone; }
  std::size_t FileLine() const { return fileLine_; }
  const std::u16string& FileAnswer() const { return fileAnswer_; }
  const std::u16string& Output() const { return output_; }

private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  bool OpenDrawing(std::u16string_view) override { return true; }
  void Refused(std::u16string_view, std::u16string_view, std::u16string_view) override {}
  void Accepted(PlotStep step, std::u16string_view answer) override {
    if (step != PlotStep::FileName) return;
    fileLine_ = plots_ == 0 ? line_ : kNone;  // one plot per lane drawing
    fileAnswer_.assign(answer);
  }
  void PlotEnded(const PlotPrompts& plot) override {
    if (plot.Device() == DeviceClass::Printer) ++printerPlots_;
    if (plots_++ > 0) {
      fileLine_ = kNone;
      return;
    }
    output_ = PlotOutputPath(drawing_, plot);
  }

  ScriptWalker walker_;
  std::u16string drawing_;
  std::size_t line_ = 0;
  std::size_t fileLine_ = kNone;
  std::u16string fileAnswer_;
  std::u16string output_;
  int plots_ = 0;
  int printerPlots_ = 0;
};

// "C:\DWG\A-Model.pdf", row 7 -> "C:\DWG\A-Model-7.pdf".
std::u16string NumberedOutput(std::u16string_view output, int row) {
  const std::size_t slash = output.find_last_of(u"\\/");
  const std::size_t dot = output.find_last_of(u'.');
  const bool hasExtension = dot != output.npos && (slash == output.npos || dot > slash);
  const std::size_t at = hasExtension ? dot : output.size();
  return std::u16string(output.substr(0, at)) + u"-" + DecimalText(row + 1) + std::u16string(output.substr(at));
}

}  // namespace

int LaneWorkerCount(int setting, int cores, int drawings) {
  int workers = setting > 0 ? setting : cores;
  workers = std::clamp(workers, 1, kMaxParallelWorkers);
  return std::max(1, std::min(workers, drawings));
}

LanePlan PlanLane(const RowStore& rows, const std::vector<int>& runRows, const ScriptTemplate& tmpl) {
  LanePlan plan;
  const ScriptColumns columns = FindScriptColumns(tmpl);
  std::unordered_map<std::u16string, int> writers;  // folded output -> first row writing it
  for (const int row : runRows) {
    const std::vector<ScriptLine> lines = RowScriptLines(rows, row, tmpl, columns);
    LaneRow laneRow;
    laneRow.row = row;
    laneRow.drawing = RowDrawingPath(rows, row, columns);
    RowRoute route(laneRow.drawing);
    route.Run(lines);
    if (!route.FitsLane()) {
      plan.printerRows.push_back(row);
      continue;
    }
    laneRow.output = route.Output();
    const auto [first, added] = writers.emplace(FoldAscii(laneRow.output), row);
    if (!added) {
      plan.sharedOutputs.emplace_back(first->second, row);
      laneRow.outputShared = true;
      laneRow.output = NumberedOutput(laneRow.output, row);
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (IsOpeningLine(tmpl, lines[i].templateColumn)) continue;
      std::u16string text = lines[i].text;
      // The file name answer takes the rest of its line: the lane names the
      // output itself, so that it is the one checked and no other row's.
      if (i == route.FileLine()) text = text.substr(0, text.size() - route.FileAnswer().size()) + laneRow.output;
      laneRow.scriptLines.push_back(std::move(text));
    }
    plan.lane.push_back(std::move(laneRow));
  }
  for (LaneRow& laneRow : plan.lane) {
    for (const auto& [first, later] : plan.sharedOutputs) {
      if (laneRow.row == first) laneRow.outputShared = true;
    }
  }
  return plan;
}

std::string LaneScriptBytes(const LaneRow& row) {
  std::u16string text;
  for (const std::u16string& line : row.scriptLines) text += line + u"\r\n";
  std::string bytes("\xFF\xFE");
  AppendUtf16Le(bytes, text);
  return bytes;
}

std::u16string CoreConsoleCommandLine(std::u16string_view program, std::u16string_view drawing,
                                      std::u16string_view script, int language) {
  static constexpr std::u16string_view kLanguages[] = {u"ja-JP", u"en-US", u"ko-KR", u"zh-CN"};
  const std::u16string_view tag = language >= 0 && language < 4 ? kLanguages[language] : kLanguages[1];
  return u"\"" + std::u16string(program) + u"\" /i \"" + std::u16string(drawing) + u"\" /s \"" +
         std::u16string(script) + u"\" /l " + std::u16string(tag);
}

std::optional<std::u16string> CoreConsoleBeside(std::u16string_view autocadFile) {
  const std::size_t slash = autocadFile.find_last_of(u"\\/");
  const std::u16string_view name = slash == autocadFile.npos ? autocadFile : autocadFile.substr(slash + 1);
  if (FoldAscii(name) != u"acad.exe") return std::nullopt;
  return std::u16string(autocadFile.substr(0, slash + 1)) + u"accoreconsole.exe";
}

LaneScheduler::LaneScheduler(LaneProcesses& processes, int items, int workers, std::uint64_t timeoutMs)
    : processes_(processes), items_(static_cast<std::size_t>(std::max(items, 0))),
      workers_(static_cast<std::size_t>(std::max(workers, 1)), -1), timeoutMs_(timeoutMs) {}

void LaneScheduler::Begin(std::uint64_t nowMs) { Fill(nowMs); }

void LaneScheduler::Fill(std::uint64_t nowMs) {
  for (std::size_t w = 0; w < workers_.size() && !stopping_ && next_ < Items(); ++w) {
    if (workers_[w] >= 0) continue;
    const int item = next_++;
    LaneItem& it = items_[static_cast<std::size_t>(item)];
    it.startMs = it.endMs = nowMs;
    if (!processes_.Start(static_cast<int>(w), item)) {
      // The program is not there: every other drawing would fail alike.
      it.state = LaneItemState::CouldNotStart;
      ++done_;
      startFailed_ = stopping_ = true;
      return;
    }
    it.state = LaneItemState::Running;
    workers_[w] = item;
    ++running_;
  }
}

std::optional<int> LaneScheduler::Ended(int worker, std::uint32_t exitCode, std::uint64_t nowMs) {
  if (worker < 0 || worker >= Workers()) return std::nullopt;
  const int item = workers_[static_cast<std::size_t>(worker)];
  if (item < 0) return std::nullopt;
  workers_[static_cast<std::size_t>(worker)] = -1;
  --running_;
  ++done_;
  LaneItem& it = items_[static_cast<std::size_t>(item)];
  it.endMs = nowMs;
  it.exitCode = exitCode;
  if (it.state == LaneItemState::Running) it.state = LaneItemState::Ended;
  Fill(nowMs);
  return item;
}

std::optional<int> LaneScheduler::NotStarted(int worker, std::uint64_t nowMs) {
  if (worker < 0 || worker >= Workers()) return std::nullopt;
  const int item = workers_[static_cast<std::size_t>(worker)];
  if (item < 0) return std::nullopt;
  workers_[static_cast<std::size_t>(worker)] = -1;
  --running_;
  ++done_;
  LaneItem& it = items_[static_cast<std::size_t>(item)];
  it.state = LaneItemState::CouldNotStart;
  it.endMs = nowMs;
  startFailed_ = stopping_ = true;
  return item;
}

void LaneScheduler::Tick(std::uint64_t nowMs) {
  if (timeoutMs_ == 0) return;
  for (std::size_t w = 0; w < workers_.size(); ++w) {
    const int item = workers_[w];
    if (item < 0) continue;
    LaneItem& it = items_[static_cast<std::size_t>(item)];
    if (it.state == LaneItemState::Running && nowMs - it.startMs >= timeoutMs_) {
      it.state = LaneItemState::TimedOut;
      processes_.Terminate(static_cast<int>(w));
    }
  }
}

void LaneScheduler::StopNow() {
  stopping_ = true;
  for (std::size_t w = 0; w < workers_.size(); ++w) {
    const int item = workers_[w];
    if (item < 0) continue;
    LaneItem& it = items_[static_cast<std::size_t>(item)];
    if (it.state != LaneItemState::Running) continue;
    it.state = LaneItemState::Stopped;
    processes_.Terminate(static_cast<int>(w));
  }
}

}  // namespace tovrel
