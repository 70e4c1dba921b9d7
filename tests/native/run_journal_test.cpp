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
  notStarted.reason = FailReason::CouldNotStart;
  RunRecord noOutput = Record(6, u"=C:\\d\\g.dwg", RowResult::Failed);
  noOutput.reason = FailReason::NoOutputFile;
  RunRecord plottedFile = Record(7, u"C:\\d\\h.dwg", RowResult::Plotted);
  plottedFile.output = u"C:\\d\\h-Model.pdf";
  const std::vector<RunRecord> records = {
      Record(0, u"C:\\図面\\a.dwg", RowResult::Plotted), Record(1, u"C:\\d\\b.dwg", RowResult::Failed, 3),
      Record(2, u"C:\\d\\c.dwg", RowResult::TimedOut), notStarted,
      Record(4, u"C:\\d\\e.dwg", RowResult::Stopped), Record(5, u"C:\\d\\f.dwg", RowResult::DrawingMissing),
      noOutput, plottedFile};
  // Written as a run writes it, a line as each drawing ends: every prefix
  // is a whole journal, and the whole is the journal of all records.
  std::string csv = JournalHead();
  for (const RunRecord& r : records) {
    csv += JournalLine(RunMode::PerRowOnce, u"Model, \"A\" sizes", r);
    EXPECT_EQ(NotPlottedInJournal(csv).size(), static_cast<std::size_t>(std::min(r.row, 6)));
  }
  EXPECT_EQ(csv, JournalCsv(RunMode::PerRowOnce, u"Model, \"A\" sizes", records));
  // Read back after a restart: the drawings not plotted, the formula guard
  // taken off; a line cut short by a kill is not read.
  const std::vector<std::u16string> again = NotPlottedInJournal(csv + "one run per drawing,x,9,C:\\d\\cut.dwg,p");
  ASSERT_EQ(again.size(), 6u);
  EXPECT_EQ(again[0], u"C:\\d\\b.dwg");
  EXPECT_EQ(again[5], u"=C:\\d\\g.dwg");
  ASSERT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
  const std::u16string text = Utf8ToUtf16(csv.substr(3));
  EXPECT_EQ(text.substr(0, text.find(u"\r\n")),
            u"mode,template,row,drawing,printer,paper,start,end,seconds,result,output");
  EXPECT_NE(text.find(u"one run per drawing,\"Model, \"\"A\"\" sizes\",1,C:\\図面\\a.dwg,\"Office, 2nd floor\","
                      u"ISO A1,2026-12-06 18:00:05,2026-12-06 18:01:07,62.0,plotted,\r\n"),
            std::u16string::npos);
  for (const char16_t* result : {u",failed (exit code 3),\r\n", u",timed out,\r\n", u",failed (not started),\r\n",
                                 u",stopped,\r\n", u",drawing missing,\r\n", u",failed: no output file,\r\n",
                                 u",plotted,C:\\d\\h-Model.pdf\r\n"}) {
    EXPECT_NE(text.find(result), std::u16string::npos) << Utf16ToUtf8(result);
  }
  EXPECT_EQ(std::count(text.begin(), text.end(), u'\n'), 9);

  const RunSummary summary = Summarise(records, 125);
  EXPECT_EQ(summary.plotted, 2);
  EXPECT_EQ(summary.notPlotted, 6);
  for (const RunRecord& r : records) EXPECT_EQ(NeedsAnotherRun(r.result), r.result != RowResult::Plotted);
}

TEST(RunJournal, FieldsAreSafeForASpreadsheetAndTimesReadAsUsersCountThem) {
  EXPECT_EQ(CsvField(u"plain"), u"plain");
  EXPECT_EQ(CsvField(u"a,b"), u"\"a,b\"");
  EXPECT_EQ(CsvField(u"line\r\nbreak"), u"\"line\r\nbreak\"");
  EXPECT_EQ(CsvField(u"=HYPERLINK(\"x\")"), u"\"'=HYPERLINK(\"\"x\"\")\"");  // never a formula
  EXPECT_EQ(CsvField(u"-A1-"), u"'-A1-");
  EXPECT_EQ(JournalFileName(ClockTime{2026, 1, 2, 3, 4, 5}), u"run-20260102-030405.csv");
  EXPECT_EQ(JournalFileName(ClockTime{2026, 1, 2, 3, 4, 5}, 2), u"run-20260102-030405-2.csv");
  EXPECT_EQ(DurationText(7), u"0:07");
  EXPECT_EQ(DurationText(725), u"12:05");
  EXPECT_EQ(DurationText(3723), u"1:02:03");
  EXPECT_EQ(EstimateSecondsLeft(60, 0, 10), -1);  // nothing done: no estimate yet
  EXPECT_EQ(EstimateSecondsLeft(60, 3, 10), 140);
  EXPECT_EQ(EstimateSecondsLeft(60, 10, 10), 0);
}

TEST(RunResume, EveryDrawingNotPlottedIsOfferedFromTheHeadAndTheAppendOnlyRecord) {
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
  run.rows = {0, 1, 2, 3, 4, 7};
  run.drawings = {u"C:\\p\\a.dwg", u"C:\\p\\b.dwg", u"C:\\p\\c.dwg", u"C:\\p\\x.dwg", u"C:\\p\\e.dwg", u"C:\\p\\h.dwg"};
  run.journal = u"run-20261206-180000.csv";
  IniDocument head;
  SaveUnfinishedRun(run, head);
  std::optional<UnfinishedRun> read = LoadUnfinishedRun(IniDocument::Parse(head.ToText()));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->mode, RunMode::PerRowTimer);
  EXPECT_EQ(read->templateIndex, 2);
  EXPECT_EQ(read->rows, run.rows);
  EXPECT_EQ(read->drawings, run.drawings);
  EXPECT_EQ(read->journal, run.journal);
  // Drawing 1 failed, drawing 2 plotted; a line of another run's drawing and
  // a last line cut short by a kill are passed over.
  const std::string record = ResumeRecordLine(0, false, u"C:\\p\\a.dwg") + ResumeRecordLine(1, true, u"C:\\p\\b.dwg") +
                             ResumeRecordLine(2, true, u"C:\\p\\other.dwg") + "4\tp\tC:\\p\\e.d";
  ApplyResumeRecord(*read, record);
  // Row 3 now holds another drawing and row 7 is gone: neither is plotted.
  EXPECT_EQ(RowsToResume(*read, rows, columns), (std::vector<int>{0, 2, 4}));

  // An empty or damaged head: nothing to offer, and never a huge run.
  EXPECT_FALSE(LoadUnfinishedRun(IniDocument::Parse(u"")));
  const std::optional<UnfinishedRun> damaged =
      LoadUnfinishedRun(IniDocument::Parse(u"[unfinished_run]\r\nmode=1\r\ncount=2000000000\r\nr0=4\r\n"));
  ASSERT_TRUE(damaged);
  EXPECT_EQ(damaged->rows, std::vector<int>{4});
  EXPECT_FALSE(LoadUnfinishedRun(IniDocument::Parse(u"[unfinished_run]\r\nmode=7\r\ncount=1\r\nr0=4\r\n")));
}
