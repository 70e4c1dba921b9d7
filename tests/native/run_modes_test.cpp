// The AutoCAD command line and the per-row runs, driven as the window drives
// them, with AutoCAD replaced by a record of the rows it was started for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/run_modes.h"
#include "storage/text_codec.h"

using namespace tovrel;

namespace {

constexpr std::u16string_view kEnd = u"C:\\Tool\\endfile.dwg";

// One line per row: the file name, written whole.
ScriptTemplate NameTemplate() {
  ScriptTemplate tmpl;
  tmpl.columns[0].inUse = tmpl.columns[0].displayMode = 1;
  tmpl.columns[0].outputMode = 4;
  return tmpl;
}

MemoryRowStore Rows(int count, const std::vector<int>& selected = {}) {
  MemoryRowStore rows(1);
  for (int row = 0; row < count; ++row) rows.InsertRow(row, u"r" + ToU16(std::to_string(row)), 0, row);
  for (const int row : selected) rows.SetMarks(row, true);
  return rows;
}

// Checks that the sink holds the one-row script of `row`.
void ExpectScriptOf(const MemoryRowStore& rows, int row, const MemoryScriptSink& sink) {
  ASSERT_EQ(sink.bytes.substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(Utf16LeBytesToText(std::string_view(sink.bytes).substr(2)),
            rows.CellText(row, 0, 260) + u"\r\nopen \"C:\\Tool\\endfile.dwg\"\r\nquit\r\n");
}

// The one-pass run as the window runs it; answers the rows AutoCAD was started for.
std::vector<int> RunPerRowOnce(MemoryRowStore& rows, MemoryScriptSink& sink, int* message) {
  std::vector<int> started;
  *message = 0;
  PerRowRun run(rows);
  const ScriptTemplate tmpl = NameTemplate();
  while (const auto row = run.NextRow(rows)) {
    const ScriptWriteResult result =
        WriteRowScript(rows, *row, tmpl, FindScriptColumns(tmpl), kEnd, run.UsesSelection(), sink);
    if (!result.ok) {
      *message = result.messageNumber;
      break;
    }
    EXPECT_FALSE(rows.IsSelected(*row)) << "marks cleared before AutoCAD runs";
    ExpectScriptOf(rows, *row, sink);
    started.push_back(*row);
  }
  return started;
}

struct Tick {
  StepAnswer answer;
  int message;
  int row;
  bool operator==(const Tick&) const = default;
};
constexpr Tick Written(int row) { return Tick{StepAnswer::Written, 0, row}; }
constexpr Tick kPassed{StepAnswer::PassedOver, 0, -1};
constexpr Tick kEnded{StepAnswer::End, 0, -1};

// One tick of the timer: the step, then the advance. `more` says whether the timer is armed again.
Tick TimerTick(MemoryRowStore& rows, TimerRun& run, MemoryScriptSink& sink, bool* more) {
  const TimerStepResult step = RunTimerStep(rows, run, NameTemplate(), kEnd, sink);
  if (step.answer == StepAnswer::Written) {
    EXPECT_EQ(step.row, run.currentRow);
    ExpectScriptOf(rows, step.row, sink);
  }
  *more = step.answer != StepAnswer::End && AdvanceTimerRun(run);
  return Tick{step.answer, step.messageNumber, step.row};
}

// Ticks until the timer is no longer armed.
std::vector<Tick> TicksToEnd(MemoryRowStore& rows, TimerRun& run, MemoryScriptSink& sink, bool more = true) {
  std::vector<Tick> ticks;
  while (more) ticks.push_back(TimerTick(rows, run, sink, &more));
  return ticks;
}

}  // namespace

TEST(RunModesTest, CommandLineLongerThan259IsRefused) {
  EXPECT_EQ(AutocadCommandLine(u"C:\\My Files\\plot.scr"), u" /b \"C:\\My Files\\plot.scr\"");
  const std::u16string longest(253, u'p');
  ASSERT_TRUE(AutocadCommandLine(longest).has_value());
  EXPECT_EQ(AutocadCommandLine(longest)->size(), 259u);
  EXPECT_FALSE(AutocadCommandLine(longest + u"p").has_value());
}

TEST(RunModesTest, OnePassRunsSelectedRowsOrElseEveryRow) {
  MemoryRowStore rows = Rows(5, {4, 2});
  MemoryScriptSink sink;
  int message = -1;
  EXPECT_EQ(RunPerRowOnce(rows, sink, &message), (std::vector<int>{2, 4}));
  EXPECT_EQ(message, 0);
  EXPECT_EQ(rows.SelectedCount(), 0);

  rows.SetFocusOnly(3, true);
  sink.openCount = 0;
  EXPECT_EQ(RunPerRowOnce(rows, sink, &message), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(sink.openCount, 5);
  EXPECT_TRUE(rows.IsFocused(3));

  EXPECT_TRUE(PerRowRun(Rows(0)).Empty());
}

TEST(RunModesTest, OnePassEndsAtAFileThatCannotBeCreated) {
  MemoryRowStore rows = Rows(5, {1, 3});
  MemoryScriptSink sink;
  sink.failOpen = true;
  int message = 0;
  EXPECT_TRUE(RunPerRowOnce(rows, sink, &message).empty());
  EXPECT_EQ(message, kMessageScriptCannotCreate);
  EXPECT_EQ(rows.SelectedCount(), 2) << "the row that failed keeps its selection";
  PerRowRun run(rows);  // a caller going on after failures still comes to an end
  EXPECT_EQ(run.NextRow(rows), 1);
  EXPECT_EQ(run.NextRow(rows), 3);
  EXPECT_FALSE(run.NextRow(rows));
}

TEST(RunModesTest, TimerRunsSelectedRowsInOrderOrElseEveryRow) {
  const struct {
    int rowCount;
    std::vector<int> selected;
    std::vector<Tick> ticks;
  } cases[] = {
      {5, {}, {Written(0), Written(1), Written(2), Written(3), Written(4)}},
      {5, {3}, {kPassed, kPassed, kPassed, Written(3), kEnded}},
      {6, {1, 2, 4}, {kPassed, Written(1), Written(2), kPassed, Written(4), kEnded}},
  };
  for (const auto& c : cases) {
    MemoryRowStore rows = Rows(c.rowCount, c.selected);
    MemoryScriptSink sink;
    TimerRun run = StartTimerRun(rows);
    EXPECT_EQ(TicksToEnd(rows, run, sink), c.ticks) << c.selected.size() << " selected";
    EXPECT_EQ(rows.SelectedCount(), 0);
    EXPECT_EQ(sink.openCount, c.selected.size() ? static_cast<int>(c.selected.size()) : c.rowCount)
        << "no script for rows passed over";
  }
}

TEST(RunModesTest, TimerFollowsSelectionAndDeletionBetweenTicks) {
  MemoryRowStore rows = Rows(5);
  MemoryScriptSink sink;
  TimerRun run = StartTimerRun(rows);
  bool more = false;
  EXPECT_EQ(TimerTick(rows, run, sink, &more), Written(0));
  rows.SetMarks(3, true);  // the user selects a row during the pause
  // Started without a selection: once row 3 has run, the rest runs too.
  EXPECT_EQ(TicksToEnd(rows, run, sink, more), (std::vector<Tick>{kPassed, kPassed, Written(3), Written(4)}));

  rows = Rows(5);
  run = StartTimerRun(rows);
  sink.openCount = 0;
  EXPECT_EQ(TimerTick(rows, run, sink, &more), Written(0));
  rows.DeleteRow(4);
  rows.DeleteRow(0);  // rows now r1 r2 r3 at 0..2
  // Still counting to five: rows 1 and 2 exist (now r2, r3), 3 and 4 do not.
  EXPECT_EQ(TicksToEnd(rows, run, sink, more), (std::vector<Tick>{Written(1), Written(2), kPassed, kPassed}));
  EXPECT_EQ(sink.openCount, 3);

  // Every row deleted, or none there from the start: the next tick ends the run with message 20.
  rows = Rows(3);
  run = StartTimerRun(rows);
  EXPECT_EQ(TimerTick(rows, run, sink, &more), Written(0));
  rows.DeleteAllRows();
  EXPECT_EQ(TimerTick(rows, run, sink, &more), (Tick{StepAnswer::End, kMessageListEmpty, -1}));
  EXPECT_FALSE(more);
  run = StartTimerRun(rows);
  EXPECT_EQ(TimerTick(rows, run, sink, &more), (Tick{StepAnswer::End, kMessageListEmpty, -1}));
  EXPECT_FALSE(more);
}

TEST(RunModesTest, TimerPassesOverRowsWhoseScriptFails) {
  MemoryRowStore rows = Rows(3, {0, 2});
  MemoryScriptSink sink;
  TimerRun run = StartTimerRun(rows);
  bool more = false;
  sink.failOpen = true;
  EXPECT_EQ(TimerTick(rows, run, sink, &more),
            (Tick{StepAnswer::PassedOver, kMessageScriptCannotCreate, -1}));
  EXPECT_TRUE(more) << "the run goes on with the next row";
  EXPECT_TRUE(rows.IsSelected(0)) << "a row whose script failed keeps its selection";
  sink.failOpen = false;
  // Row 0 is still the first selected row, so the later ticks pass over.
  EXPECT_EQ(TicksToEnd(rows, run, sink, more), (std::vector<Tick>{kPassed, kPassed}));
}
