// The decisions of a run over a fake clock and fake processes: which start
// comes next, time-outs, Stop, and the result every row ends with.
#include <gtest/gtest.h>

#include "script/run_machine.h"

using namespace tovrel;
using Do = RunMachine::Do;

namespace {

std::vector<RowResult> Results(RunMachine& run, int items) {
  std::vector<RowResult> results;
  for (int i = 0; i < items; ++i) results.push_back(run.Outcome(i).final ? run.Outcome(i).result : RowResult::Stopped);
  return results;
}

}  // namespace

TEST(RunMachine, BatchesOfNRowsAndAWholeListInOne) {
  EXPECT_EQ(SplitIntoBatches(5, 2), (std::vector<std::vector<int>>{{0, 1}, {2, 3}, {4}}));
  EXPECT_EQ(SplitIntoBatches(3, 0), (std::vector<std::vector<int>>{{0, 1, 2}}));
  EXPECT_TRUE(SplitIntoBatches(0, 2).empty());
  // A batch may take its rows times the per-drawing limit.
  RunMachine run(SplitIntoBatches(5, 2), 5, 1000, 500);
  ASSERT_EQ(run.Begin().what, Do::StartUnit);
  EXPECT_EQ(run.Tick(999999).what, Do::Nothing);  // AutoCAD still coming up: its time has not begun
  run.Started(10);
  EXPECT_EQ(run.Tick(10 + 1999).what, Do::Nothing);
  EXPECT_EQ(run.Tick(10 + 2000).what, Do::EndProcess);
  EXPECT_EQ(run.ProcessEnded(1).what, Do::Pause);  // the batch timed out; the next one starts after the pause
  EXPECT_EQ(run.TakeFinished(), (std::vector<int>{0, 1}));
  EXPECT_EQ(run.PauseEnded().unit, 1);
}

TEST(RunMachine, EachDrawingEndsWithItsOwnResultAndTheRunGoesOn) {
  RunMachine run(SplitIntoBatches(4, 1), 4, 60000, 500);
  EXPECT_EQ(run.Begin().unit, 0);
  run.Started(0);
  EXPECT_EQ(run.ProcessEnded(0).what, Do::Pause);
  EXPECT_EQ(run.TakeFinished(), std::vector<int>{0});  // journaled as it ends
  EXPECT_EQ(run.PauseEnded().unit, 1);
  run.Started(1000);
  EXPECT_EQ(run.ProcessEnded(3).what, Do::Pause);
  EXPECT_EQ(run.PauseEnded().unit, 2);
  run.Started(5000);
  // A hung drawing: ended at its time, timed out, and the next one runs.
  EXPECT_EQ(run.Tick(64999).what, Do::Nothing);
  EXPECT_EQ(run.Tick(65000).what, Do::EndProcess);
  EXPECT_EQ(run.Tick(70000).what, Do::Nothing);  // asked once
  EXPECT_EQ(run.ProcessEnded(1).what, Do::Pause);
  EXPECT_EQ(run.PauseEnded().unit, 3);
  run.Started(70500);
  EXPECT_EQ(run.ProcessEnded(0).what, Do::Finish);
  EXPECT_EQ(Results(run, 4),
            (std::vector<RowResult>{RowResult::Plotted, RowResult::Failed, RowResult::TimedOut, RowResult::Plotted}));
  EXPECT_EQ(run.Outcome(1).exitCode, 3u);
}

TEST(RunMachine, EveryWayOutLeavesTheRowsNotStartedJournaled) {
  {  // Stop after this drawing, asked while AutoCAD runs and while the run pauses
    RunMachine run(SplitIntoBatches(3, 1), 3, 0, 500);
    run.Begin();
    EXPECT_EQ(run.StopAfterThis().what, Do::Nothing);
    EXPECT_EQ(run.ProcessEnded(0).what, Do::Finish);
    EXPECT_EQ(Results(run, 3), (std::vector<RowResult>{RowResult::Plotted, RowResult::NotStarted, RowResult::NotStarted}));
    RunMachine paused(SplitIntoBatches(2, 1), 2, 0, 500);
    paused.Begin();
    paused.ProcessEnded(0);
    EXPECT_EQ(paused.StopAfterThis().what, Do::Finish);
    EXPECT_EQ(paused.Outcome(1).result, RowResult::NotStarted);
  }
  {  // Stop now ends AutoCAD; a time-out under way becomes the stop
    RunMachine run(SplitIntoBatches(3, 1), 3, 1000, 500);
    run.Begin();
    run.Started(0);
    EXPECT_EQ(run.Tick(1000).what, Do::EndProcess);
    EXPECT_EQ(run.StopNow().what, Do::Nothing);
    EXPECT_EQ(run.ProcessEnded(1).what, Do::Finish);
    EXPECT_EQ(Results(run, 3), (std::vector<RowResult>{RowResult::Stopped, RowResult::NotStarted, RowResult::NotStarted}));
  }
  {  // AutoCAD cannot start: no other start is tried, the reason stays with the row
    RunMachine run(SplitIntoBatches(3, 1), 3, 0, 500);
    run.Begin();
    EXPECT_EQ(run.StartFailed(FailReason::CouldNotStart).what, Do::Finish);
    EXPECT_EQ(run.Outcome(0).reason, FailReason::CouldNotStart);
    EXPECT_EQ(run.TakeFinished().size(), 3u);
  }
  {  // AutoCAD told to end does not go: the run stops instead of starting another
    RunMachine run(SplitIntoBatches(2, 1), 2, 1000, 500);
    run.Begin();
    run.Started(0);
    run.Tick(5000);
    EXPECT_EQ(run.EndFailed().what, Do::Finish);
    EXPECT_EQ(run.Outcome(0).reason, FailReason::NotEnded);
    EXPECT_EQ(run.Outcome(1).result, RowResult::NotStarted);
    EXPECT_EQ(run.ProcessEnded(0).what, Do::Nothing);  // a late end changes nothing
  }
  {  // the timer-driven run passes over a row whose script cannot be written
    RunMachine run(SplitIntoBatches(2, 1), 2, 0, 500);
    run.Begin();
    EXPECT_EQ(run.ScriptFailedPassOver().unit, 1);
    EXPECT_EQ(run.Outcome(0).reason, FailReason::ScriptNotWritten);
  }
}
