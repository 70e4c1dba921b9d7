// The parallel lane: which rows go to the Core Console, each one's script
// and output, and the workers scheduled over a fake process seam.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "script/parallel_lane.h"
#include "storage/text_codec.h"

using namespace tovrel;

namespace {

// The plot columns of a model template: hidden ones write their command,
// shown ones a cell (layout, device, paper).
ScriptTemplate Template() {
  const struct {
    int displayMode, outputMode;
    const char16_t* command;
  } columns[] = {{1, 1, u"_.OPEN"}, {2, 0, u""},    {0, 2, u"_-PLOT"}, {0, 2, u"_Y"},      {4, 4, u""},
                 {4, 4, u""},       {4, 4, u""},    {0, 2, u"_M"},     {0, 2, u"_L"},      {0, 2, u"_N"},
                 {0, 2, u"_E"},     {0, 2, u"_Fit"}, {0, 2, u"_Center"}, {0, 2, u"_Y"},     {0, 2, u"."},
                 {0, 2, u"_Y"},     {0, 2, u"_A"},  {0, 2, u""},       {0, 2, u"_N"},      {0, 2, u"_Y"}};
  ScriptTemplate tmpl;
  std::size_t slot = 0;
  for (const auto& c : columns) {
    TemplateColumn& column = tmpl.columns[slot++];
    column.inUse = 1;
    column.displayMode = c.displayMode;
    column.outputMode = c.outputMode;
    column.command = c.command;
  }
  return tmpl;
}

constexpr const char16_t* kPdf = u"DWG To PDF.pc3";
constexpr const char16_t* kA1 = u"ISO A1 (841.00 x 594.00 MM)";

class Lane : public ::testing::Test {
protected:
  void Add(const char16_t* name, const char16_t* device, const char16_t* paper = kA1) {
    const int row = rows_.RowCount();
    rows_.InsertRow(row, name, 0, row);
    rows_.SetCellText(row, 1, u"C:\\DWG");
    rows_.SetCellText(row, 2, u"Model");
    rows_.SetCellText(row, 3, device);
    rows_.SetCellText(row, 4, paper);
  }
  LanePlan Plan() {
    std::vector<int> all;
    for (int row = 0; row < rows_.RowCount(); ++row) all.push_back(row);
    return PlanLane(rows_, all, Template());
  }
  MemoryRowStore rows_{5};
};

TEST_F(Lane, FileDevicesGoToTheLaneWithoutOpeningAndClosingLinesAndOwnOutputs) {
  Add(u"A-101.dwg", kPdf);
  Add(u"A-102.dwg", u"Office Laser", u"A4");
  Add(u"A-103.dwg", u"PublishToWeb PNG.pc3", u"VGA (640.00 x 480.00 Pixels)");
  Add(u"A-101.dwg", kPdf, u"ISO A0 (841.00 x 1189.00 MM)");  // the same drawing again: the same default file
  const LanePlan plan = Plan();
  EXPECT_EQ(plan.printerRows, (std::vector<int>{1}));
  ASSERT_EQ(plan.lane.size(), 3u);
  const LaneRow& first = plan.lane[0];
  EXPECT_EQ(first.drawing, u"C:\\DWG\\A-101.dwg");
  EXPECT_EQ(first.scriptLines.front(), u"_-PLOT");
  EXPECT_EQ(first.scriptLines.size(), 18u);  // the row's 19 lines less the opening one
  EXPECT_EQ(first.scriptLines[15], u"C:\\DWG\\A-101-Model.pdf");  // Enter at the file name made explicit
  for (const std::u16string& line : first.scriptLines) EXPECT_EQ(line.find(u"OPEN"), std::u16string::npos);
  EXPECT_EQ(plan.sharedOutputs, (std::vector<std::pair<int, int>>{{0, 3}}));
  EXPECT_TRUE(plan.lane[0].outputShared);
  EXPECT_EQ(plan.lane[2].output, u"C:\\DWG\\A-101-Model-4.pdf");
  EXPECT_EQ(plan.lane[2].scriptLines[15], plan.lane[2].output);

  const std::string bytes = LaneScriptBytes(first);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  const std::u16string text = Utf16LeBytesToText(bytes.substr(2));
  EXPECT_EQ(text.substr(text.size() - 8), u"_N\r\n_Y\r\n");  // no open of the end drawing, no quit
  EXPECT_EQ(CoreConsoleCommandLine(u"C:\\AC\\accoreconsole.exe", first.drawing, u"C:\\t\\1.scr", 1),
            u"\"C:\\AC\\accoreconsole.exe\" /i \"C:\\DWG\\A-101.dwg\" /s \"C:\\t\\1.scr\" /l en-US");
  EXPECT_EQ(CoreConsoleBeside(u"C:\\Program Files\\AutoCAD 2024\\ACAD.EXE"),
            u"C:\\Program Files\\AutoCAD 2024\\accoreconsole.exe");
  EXPECT_EQ(CoreConsoleBeside(u"C:\\Program Files\\AutoCAD LT 2024\\aclt.exe"), std::nullopt);
  EXPECT_EQ(LaneWorkerCount(0, 2, 100), 2);
  EXPECT_EQ(LaneWorkerCount(40, 2, 100), 16);
  EXPECT_EQ(LaneWorkerCount(4, 2, 3), 3);
}

// Processes that start when asked and end when the test says so.
struct FakeProcesses : LaneProcesses {
  bool Start(int worker, int item) override {
    if (failStart) return false;
    started.push_back({worker, item});
    running.insert(worker);
    return true;
  }
  void Terminate(int worker) override { terminated.push_back(worker); }
  std::vector<std::pair<int, int>> started;
  std::set<int> running;
  std::vector<int> terminated;
  bool failStart = false;
};

TEST(LaneScheduler, RunsNAtATimeEndsAHungWorkerAtItsTimeAndStops) {
  FakeProcesses processes;
  LaneScheduler lane(processes, 5, 2, 1000);
  lane.Begin(0);
  EXPECT_EQ(processes.started, (std::vector<std::pair<int, int>>{{0, 0}, {1, 1}}));
  // Item 0 hangs; worker 1 goes through items 1, 2 and 3 meanwhile.
  EXPECT_EQ(lane.Ended(1, 0, 300), 1);
  EXPECT_EQ(lane.Current(1), 2);
  EXPECT_EQ(lane.Ended(1, 0, 600), 2);
  lane.Tick(999);
  EXPECT_TRUE(processes.terminated.empty());
  lane.Tick(1000);
  EXPECT_EQ(processes.terminated, (std::vector<int>{0}));
  EXPECT_EQ(lane.Ended(0, 1, 1010), 0);
  EXPECT_EQ(lane.Item(0).state, LaneItemState::TimedOut);
  EXPECT_EQ(lane.Current(0), 4);
  EXPECT_EQ(lane.Item(1).state, LaneItemState::Ended);
  // Stop after the current drawings: nothing more starts.
  lane.StopAfterCurrent();
  lane.Ended(1, 0, 1100);
  EXPECT_FALSE(lane.Finished());
  lane.Ended(0, 0, 1200);
  EXPECT_TRUE(lane.Finished());
  EXPECT_EQ(lane.Done(), 5);
  EXPECT_EQ(processes.started.size(), 5u);

  // Stop now ends every worker; a program that cannot start ends the run.
  FakeProcesses second;
  LaneScheduler stopped(second, 6, 3, 0);
  stopped.Begin(0);
  stopped.Tick(1u << 30);  // no limit
  stopped.StopNow();
  EXPECT_EQ(second.terminated, (std::vector<int>{0, 1, 2}));
  for (int w = 0; w < 3; ++w) stopped.Ended(w, 1, 50);
  EXPECT_TRUE(stopped.Finished());
  EXPECT_EQ(stopped.Item(1).state, LaneItemState::Stopped);
  EXPECT_EQ(stopped.Item(3).state, LaneItemState::Waiting);

  // A start that fails once off the window's thread ends the run the same way.
  FakeProcesses late;
  LaneScheduler lateRun(late, 4, 2, 0);
  lateRun.Begin(0);
  EXPECT_EQ(lateRun.NotStarted(1, 5), 1);
  EXPECT_EQ(lateRun.Item(1).state, LaneItemState::CouldNotStart);
  EXPECT_FALSE(lateRun.Finished());
  lateRun.Ended(0, 0, 9);
  EXPECT_TRUE(lateRun.Finished());
  EXPECT_EQ(late.started.size(), 2u);

  FakeProcesses missing;
  missing.failStart = true;
  LaneScheduler failed(missing, 4, 2, 0);
  failed.Begin(0);
  EXPECT_TRUE(failed.StartFailed());
  EXPECT_TRUE(failed.Finished());
  EXPECT_EQ(failed.Item(0).state, LaneItemState::CouldNotStart);
}

}  // namespace
