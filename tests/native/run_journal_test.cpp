// The run journal (what a night's run did, opened in a spreadsheet as it is)
// and the state of an unfinished run offered again at the next start.
#include <gtest/gtest.h>

#include "drawing_list/row_store.h"
#include "script/run_journal.h"
#include "script/run_resume.h"
#include "storage/ini_document.h"
#include "storage/text_codec.h"

using namespace tovrel;

namespace {

RunRecord Record(int row, std::u16string drawing, RowResult result, std::uint32_t exitCode = 0) {
  RunRecord r;
  r.row = row;
  r.drawing = std::move(drawing);
  r.printer = u"Office, 2nd floor";
  r.paper = u"ISO A1";
  r.start = ClockTime{2026, 12, 6, 18, 0, 5};
  r.end = ClockTime{2026, 12, 6, 18, 1, 7};
  r.seconds = 62.04;
  r.result = result;
  r.exitCode = exitCode;
  return r;
}

}  // namespace

TEST(RunJournal, OneLinePerDrawingInUtf8WithAByteOrderMarkAndEveryResultSpelledOut) {
  RunRecord notStarted = Record(3, u"C:\\d\\d.dwg", RowResult::Failed);
  notStarted.couldNotStart = true;
  const std::vector<RunRecord> records = {
      Record(0, u"C:\\図面\\a.dwg", RowResult::Plotted), Record(1, u"C:\\d\\b.dwg", RowResult::Failed, 3),
      Record(2, u"C:\\d\\c.dwg", RowResult::TimedOut), notStarted,
      Record(4, u"C:\\d\\e.dwg", RowResult::Stopped), Record(5, u"C:\\d\\f.dwg", RowResult::DrawingMissing)};
  const std::string csv = JournalCsv(RunMode::PerRowOnce, u"Model, \"A\" sizes", records);
  ASSERT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
  const std::u16string text = Utf8ToUtf16(csv.substr(3));
  EXPECT_EQ(text.substr(0, text.find(u"\r\n")), u"mode,template,row,drawing,printer,paper,start,end,seconds,result");
  EXPECT_NE(text.find(u"one run per drawing,\"Model, \"\"A\"\" sizes\",1,C:\\図面\\a.dwg,\"Office, 2nd floor\","
                      u"ISO A1,2026-12-06 18:00:05,2026-12-06 18:01:07,62.0,plotted\r\n"),
            std::u16string::npos);
  for (const char16_t* result : {u",failed (exit code 3)\r\n", u",timed out\r\n", u",failed (not started)\r\n",
                                 u",stopped\r\n", u",drawing missing\r\n"}) {
    EXPECT_NE(text.find(result), std::u16string::npos) << Utf16ToUtf8(result);
  }
  EXPECT_EQ(std::count(text.begin(), text.end(), u'\n'), 7);

  const RunSummary summary = Summarise(records, 125);
  EXPECT_EQ(summary.plotted, 1);
  EXPECT_EQ(summary.notPlotted, 5);
  for (const RunRecord& r : records) EXPECT_EQ(NeedsAnotherRun(r.result), r.result != RowResult::Plotted);
}

TEST(RunJournal, FieldsAreSafeForASpreadsheetAndTimesReadAsUsersCountThem) {
  EXPECT_EQ(CsvField(u"plain"), u"plain");
  EXPECT_EQ(CsvField(u"a,b"), u"\"a,b\"");
  EXPECT_EQ(CsvField(u"line\r\nbreak"), u"\"line\r\nbreak\"");
  EXPECT_EQ(CsvField(u"=HYPERLINK(\"x\")"), u"\"'=HYPERLINK(\"\"x\"\")\"");  // never a formula
  EXPECT_EQ(CsvField(u"-A1-"), u"'-A1-");
  EXPECT_EQ(JournalFileName(ClockTime{2026, 1, 2, 3, 4, 5}), u"run-20260102-030405.csv");
  EXPECT_EQ(DurationText(7), u"0:07");
  EXPECT_EQ(DurationText(725), u"12:05");
  EXPECT_EQ(DurationText(3723), u"1:02:03");
  EXPECT_EQ(EstimateSecondsLeft(60, 0, 10), -1);  // nothing done: no estimate yet
  EXPECT_EQ(EstimateSecondsLeft(60, 3, 10), 140);
  EXPECT_EQ(EstimateSecondsLeft(60, 10, 10), 0);
}

TEST(RunResume, AnUnfinishedRunGoesOnWithTheRowsNotDoneThatStillHoldTheirDrawings) {
  MemoryRowStore rows(2);
  for (const char16_t* name : {u"a.dwg", u"b.dwg", u"c.dwg", u"d.dwg", u"e.dwg"}) {
    rows.InsertRow(rows.RowCount(), name, 1, rows.RowCount());
    rows.SetCellText(rows.RowCount() - 1, 1, u"C:\\p");
  }
  ScriptColumns columns;
  columns.fileNameColumn = 0;
  columns.folderColumn = 1;
  UnfinishedRun run;
  run.mode = RunMode::PerRowTimer;
  run.templateIndex = 2;
  run.rows = {0, 2, 3, 4, 7};
  run.drawings = {u"C:\\p\\a.dwg", u"C:\\p\\c.dwg", u"C:\\p\\d.dwg", u"C:\\p\\x.dwg", u"C:\\p\\h.dwg"};
  run.done = 1;
  run.journal = u"run-20261206-180000.csv";
  IniDocument file;
  SaveUnfinishedRun(run, file);
  const std::optional<UnfinishedRun> read = LoadUnfinishedRun(IniDocument::Parse(file.ToText()));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->mode, RunMode::PerRowTimer);
  EXPECT_EQ(read->templateIndex, 2);
  EXPECT_EQ(read->rows, run.rows);
  EXPECT_EQ(read->drawings, run.drawings);
  EXPECT_EQ(read->journal, run.journal);
  // Row 4 now holds another drawing and row 7 is gone: neither is plotted.
  EXPECT_EQ(RowsToResume(*read, rows, columns), (std::vector<int>{2, 3}));

  // A finished run, an empty or damaged file: nothing to offer.
  run.done = 5;
  IniDocument finished;
  SaveUnfinishedRun(run, finished);
  EXPECT_FALSE(LoadUnfinishedRun(finished));
  EXPECT_FALSE(LoadUnfinishedRun(IniDocument::Parse(u"")));
  const std::optional<UnfinishedRun> damaged =
      LoadUnfinishedRun(IniDocument::Parse(u"[unfinished_run]\r\nmode=1\r\ncount=2000000000\r\ndone=0\r\nr0=4\r\n"));
  ASSERT_TRUE(damaged);
  EXPECT_EQ(damaged->rows, std::vector<int>{4});
  EXPECT_FALSE(LoadUnfinishedRun(IniDocument::Parse(u"[unfinished_run]\r\nmode=0\r\ncount=1\r\nr0=4\r\n")));
}
