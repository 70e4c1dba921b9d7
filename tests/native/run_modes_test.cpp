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
