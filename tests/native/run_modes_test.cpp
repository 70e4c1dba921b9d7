// The AutoCAD command line and the stepping of the per-row runs, driven the
// way the window drives them, with AutoCAD replaced by a record of the rows
// it was started for.
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
  tmpl.columns[0].inUse = 1;
  tmpl.columns[0].displayMode = 1;
  tmpl.columns[0].outputMode = 4;
  return tmpl;
}

MemoryRowStore Rows(int count) {
  MemoryRowStore rows(1);
  for (int row = 0; row < count; ++row) {
    std::u16string name = u"r";
    name += ToU16(std::to_string(row));
    rows.InsertRow(row, name, 0, row);
  }
  return rows;
}

// The script's text without its byte-order mark.
std::u16string ScriptText(const MemoryScriptSink& sink) {
  EXPECT_EQ(sink.bytes.substr(0, 2), "\xFF\xFE");
  return Utf16LeBytesToText(std::string_view(sink.bytes).substr(2));
}

std::u16string ScriptOf(std::u16string_view name) {
  return std::u16string(name) + u"\r\nopen \"C:\\Tool\\endfile.dwg\"\r\nquit\r\n";
}

// The one-pass run as the window runs it; answers the rows AutoCAD was
// started for.
std::vector<int> RunPerRowOnce(MemoryRowStore& rows, const ScriptTemplate& tmpl, MemoryScriptSink& sink,
                               int* message) {
  std::vector<int> started;
  *message = 0;
  PerRowRun run(rows);
  if (run.Empty()) {
    *message = kMessageListEmpty;
    return started;
  }
  const ScriptColumns columns = FindScriptColumns(tmpl);
  while (const auto row = run.NextRow(rows)) {
    const ScriptWriteResult result = WriteRowScript(rows, *row, tmpl, columns, kEnd, run.UsesSelection(), sink);
    if (!result.ok) {
      *message = result.messageNumber;
      break;
    }
    EXPECT_FALSE(rows.IsSelected(*row)) << "marks cleared before AutoCAD runs";
    EXPECT_EQ(ScriptText(sink), ScriptOf(rows.CellText(*row, 0, 260)));
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

// One tick of timer 2: the step, then the advance. `more` says whether the
// timer is armed again.
Tick TimerTick(MemoryRowStore& rows, TimerRun& run, const ScriptTemplate& tmpl, MemoryScriptSink& sink,
               bool* more) {
  const TimerStepResult step = RunTimerStep(rows, run, tmpl, kEnd, sink);
  if (step.answer == StepAnswer::Written) {
    EXPECT_EQ(step.row, run.currentRow);
    EXPECT_EQ(ScriptText(sink), ScriptOf(rows.CellText(step.row, 0, 260)));
  }
  *more = step.answer != StepAnswer::End && AdvanceTimerRun(run);
  return Tick{step.answer, step.messageNumber, step.row};
}

std::vector<Tick> RunTimer(MemoryRowStore& rows, const ScriptTemplate& tmpl, MemoryScriptSink& sink) {
  std::vector<Tick> ticks;
  TimerRun run = StartTimerRun(rows);
  for (bool more = true; more;) ticks.push_back(TimerTick(rows, run, tmpl, sink, &more));
  return ticks;
}

constexpr Tick Written(int row) { return Tick{StepAnswer::Written, 0, row}; }
constexpr Tick kPassed{StepAnswer::PassedOver, 0, -1};
constexpr Tick kEnded{StepAnswer::End, 0, -1};

}  // namespace

TEST(RunModesTest, CommandLine) {
  EXPECT_EQ(AutocadCommandLine(u"C:\\Tovrel\\atcprint.scr"), u" /b \"C:\\Tovrel\\atcprint.scr\"");
  EXPECT_EQ(AutocadCommandLine(u"C:\\My Files\\plot.scr"), u" /b \"C:\\My Files\\plot.scr\"");
  const std::u16string longest(253, u'p');
  ASSERT_TRUE(AutocadCommandLine(longest).has_value());
  EXPECT_EQ(AutocadCommandLine(longest)->size(), 259u);
  EXPECT_FALSE(AutocadCommandLine(longest + u"p").has_value());
}

TEST(RunModesTest, OnePassWithSelectedRows) {
  MemoryRowStore rows = Rows(5);
  rows.SetMarks(4, true);
  rows.SetMarks(2, true);
  MemoryScriptSink sink;
  int message = -1;
  EXPECT_EQ(RunPerRowOnce(rows, NameTemplate(), sink, &message), (std::vector<int>{2, 4}));
  EXPECT_EQ(message, 0);
  EXPECT_EQ(rows.SelectedCount(), 0);
}

TEST(RunModesTest, OnePassWithoutSelection) {
  MemoryRowStore rows = Rows(5);
  rows.SetFocusOnly(3, true);
  MemoryScriptSink sink;
  int message = -1;
  EXPECT_EQ(RunPerRowOnce(rows, NameTemplate(), sink, &message), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(sink.openCount, 5);
  EXPECT_TRUE(rows.IsFocused(3));

  MemoryRowStore empty = Rows(0);
  EXPECT_TRUE(RunPerRowOnce(empty, NameTemplate(), sink, &message).empty());
  EXPECT_EQ(message, kMessageListEmpty);
}

TEST(RunModesTest, OnePassEndsAtAFileThatCannotBeCreated) {
  MemoryRowStore rows = Rows(5);
  rows.SetMarks(1, true);
  rows.SetMarks(3, true);
  MemoryScriptSink sink;
  sink.failOpen = true;
  int message = 0;
  EXPECT_TRUE(RunPerRowOnce(rows, NameTemplate(), sink, &message).empty());
  EXPECT_EQ(message, kMessageScriptCannotCreate);
  EXPECT_EQ(rows.SelectedCount(), 2) << "the row that failed keeps its selection";

  // A caller that goes on after failures still comes to an end.
  PerRowRun run(rows);
  std::vector<int> taken;
  while (const auto row = run.NextRow(rows)) taken.push_back(*row);
  EXPECT_EQ(taken, (std::vector<int>{1, 3}));
}

TEST(RunModesTest, TimerWithoutSelectionRunsEveryRow) {
  MemoryRowStore rows = Rows(5);
  MemoryScriptSink sink;
  EXPECT_EQ(RunTimer(rows, NameTemplate(), sink),
            (std::vector<Tick>{Written(0), Written(1), Written(2), Written(3), Written(4)}));
}

TEST(RunModesTest, TimerWithOneSelectedRowPassesOverTheRowsBefore) {
  MemoryRowStore rows = Rows(5);
  rows.SetMarks(3, true);
  MemoryScriptSink sink;
  EXPECT_EQ(RunTimer(rows, NameTemplate(), sink),
            (std::vector<Tick>{kPassed, kPassed, kPassed, Written(3), kEnded}));
  EXPECT_EQ(rows.SelectedCount(), 0);
  EXPECT_EQ(sink.openCount, 1) << "no script for rows passed over";
}

TEST(RunModesTest, TimerWithSelectedRowsRunsThemInOrder) {
  MemoryRowStore rows = Rows(6);
  rows.SetMarks(1, true);
  rows.SetMarks(2, true);
  rows.SetMarks(4, true);
  MemoryScriptSink sink;
  EXPECT_EQ(RunTimer(rows, NameTemplate(), sink),
            (std::vector<Tick>{kPassed, Written(1), Written(2), kPassed, Written(4), kEnded}));
}

TEST(RunModesTest, TimerSeesSelectionChangesBetweenTicks) {
  MemoryRowStore rows = Rows(5);
  MemoryScriptSink sink;
  const ScriptTemplate tmpl = NameTemplate();
  TimerRun run = StartTimerRun(rows);
  bool more = false;
  EXPECT_EQ(TimerTick(rows, run, tmpl, sink, &more), Written(0));
  rows.SetMarks(3, true);  // the user selects a row during the pause
  std::vector<Tick> ticks;
  while (more) ticks.push_back(TimerTick(rows, run, tmpl, sink, &more));
  // Started without a selection: once row 3 has run, the rest runs too.
  EXPECT_EQ(ticks, (std::vector<Tick>{kPassed, kPassed, Written(3), Written(4)}));
}

TEST(RunModesTest, TimerWithRowsDeletedDuringTheRun) {
  MemoryRowStore rows = Rows(5);
  MemoryScriptSink sink;
  const ScriptTemplate tmpl = NameTemplate();
  TimerRun run = StartTimerRun(rows);
  bool more = false;
  EXPECT_EQ(TimerTick(rows, run, tmpl, sink, &more), Written(0));
  rows.DeleteRow(4);
  rows.DeleteRow(0);  // rows now r1 r2 r3 at 0..2
  std::vector<Tick> ticks;
  while (more) ticks.push_back(TimerTick(rows, run, tmpl, sink, &more));
  // Still counting to five: rows 1 and 2 exist (now r2, r3), 3 and 4 do not.
  EXPECT_EQ(ticks, (std::vector<Tick>{Written(1), Written(2), kPassed, kPassed}));
  EXPECT_EQ(sink.openCount, 3);

  // Every row deleted: the next tick ends the run with message 20.
  rows = Rows(3);
  run = StartTimerRun(rows);
  EXPECT_EQ(TimerTick(rows, run, tmpl, sink, &more), Written(0));
  rows.DeleteAllRows();
  EXPECT_EQ(TimerTick(rows, run, tmpl, sink, &more), (Tick{StepAnswer::End, kMessageListEmpty, -1}));
  EXPECT_FALSE(more);
}

TEST(RunModesTest, TimerOnAnEmptyListEndsAtItsFirstTick) {
  MemoryRowStore rows = Rows(0);
  MemoryScriptSink sink;
  TimerRun run = StartTimerRun(rows);
  EXPECT_EQ(run.rowCount, 0);
  bool more = true;
  EXPECT_EQ(TimerTick(rows, run, NameTemplate(), sink, &more), (Tick{StepAnswer::End, kMessageListEmpty, -1}));
  EXPECT_FALSE(more);
  EXPECT_EQ(sink.openCount, 0);
}

TEST(RunModesTest, TimerPassesOverRowsWhoseScriptFails) {
  MemoryRowStore rows = Rows(3);
  rows.SetMarks(0, true);
  rows.SetMarks(2, true);
  MemoryScriptSink sink;
  const ScriptTemplate tmpl = NameTemplate();
  TimerRun run = StartTimerRun(rows);
  bool more = false;
  sink.failOpen = true;
  EXPECT_EQ(TimerTick(rows, run, tmpl, sink, &more), (Tick{StepAnswer::PassedOver, kMessageScriptCannotCreate, -1}));
  EXPECT_TRUE(more) << "the run goes on with the next row";
  EXPECT_TRUE(rows.IsSelected(0)) << "a row whose script failed keeps its selection";
  sink.failOpen = false;
  // Row 0 is still the first selected row, so the later ticks pass over.
  EXPECT_EQ(TimerTick(rows, run, tmpl, sink, &more), kPassed);
  EXPECT_EQ(TimerTick(rows, run, tmpl, sink, &more), kPassed);
  EXPECT_FALSE(more);
}

TEST(RunModesTest, TimerRefusesALineTooLong) {
  ScriptTemplate tmpl;
  tmpl.columns[0].inUse = 1;
  tmpl.columns[0].displayMode = 1;
  tmpl.columns[0].outputMode = 1;
  tmpl.columns[0].command = u"open";
  tmpl.columns[1].inUse = 1;
  tmpl.columns[1].displayMode = 2;
  MemoryRowStore rows(2);
  for (int row = 0; row < 2; ++row) {
    rows.InsertRow(row, std::u16string(259, u'n'), 0, row);
    rows.SetCellText(row, 1, row == 0 ? std::u16string(259, u'f') : std::u16string(u"C:\\"));
  }
  MemoryScriptSink sink;
  TimerRun run = StartTimerRun(rows);
  const TimerStepResult refused = RunTimerStep(rows, run, tmpl, kEnd, sink);
  EXPECT_EQ(refused.answer, StepAnswer::PassedOver);
  EXPECT_EQ(refused.messageNumber, kMessageScriptLineTooLong);
  EXPECT_TRUE(sink.exists);
  EXPECT_EQ(sink.bytes, "") << "no cut path is written";
  ASSERT_TRUE(AdvanceTimerRun(run));
  EXPECT_EQ(RunTimerStep(rows, run, tmpl, kEnd, sink).answer, StepAnswer::Written);
  EXPECT_FALSE(AdvanceTimerRun(run));
}
