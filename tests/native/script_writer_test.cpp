// The AutoCAD script written from the rows of the drawing list.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "script/script_writer.h"
#include "storage/text_codec.h"

using namespace tovrel;

namespace {

using Lines = std::vector<std::u16string>;
constexpr std::u16string_view kEnd = u"C:\\Tool\\endfile.dwg";

void SetColumn(ScriptTemplate& tmpl, int slot, int displayMode, int outputMode,
               std::u16string command = u"") {
  TemplateColumn& column = tmpl.columns[static_cast<std::size_t>(slot)];
  column.inUse = 1;
  column.displayMode = displayMode;
  column.outputMode = outputMode;
  column.command = std::move(command);
}

// ASCII text as UTF-16LE bytes.
std::string AsciiLe(std::string_view ascii) {
  std::string bytes;
  for (const char c : ascii) bytes += {c, '\0'};
  return bytes;
}

// The lines of a script, after checking its byte-order mark and CR LF line ends.
Lines LinesOf(const std::string& bytes) {
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  std::u16string text = Utf16LeBytesToText(std::string_view(bytes).substr(std::min<size_t>(2, bytes.size())));
  Lines lines;
  for (std::size_t end; (end = text.find(u"\r\n")) != std::u16string::npos; text.erase(0, end + 2)) {
    lines.push_back(text.substr(0, end));
  }
  EXPECT_EQ(text, u"") << "last line without CR LF";
  return lines;
}

// File name (open), folder, a value written whole, a value written as its first letter.
ScriptTemplate ExampleTemplate() {
  ScriptTemplate tmpl;
  SetColumn(tmpl, 0, 1, 1, u"open");
  SetColumn(tmpl, 1, 2, 0);
  SetColumn(tmpl, 2, 4, 4);
  SetColumn(tmpl, 3, 4, 3);
  return tmpl;
}

void AddExampleRow(MemoryRowStore& rows, std::u16string_view name, std::u16string_view folder,
                   std::u16string_view value = u"Yes", std::u16string_view orientation = u"L") {
  const int row = rows.RowCount();
  rows.InsertRow(row, name, 1, row);
  rows.SetCellText(row, 1, folder);
  rows.SetCellText(row, 2, value);
  rows.SetCellText(row, 3, orientation);
}

// Five rows d0..d4 whose only written line is their file name.
MemoryRowStore FiveRows() {
  MemoryRowStore rows(1);
  for (int row = 0; row < 5; ++row) rows.InsertRow(row, u"d" + ToU16(std::to_string(row)), 0, row);
  return rows;
}

ScriptTemplate NameOnlyTemplate() {
  ScriptTemplate tmpl;
  SetColumn(tmpl, 0, 1, 4);
  return tmpl;
}

}  // namespace

TEST(ScriptWriterTest, WorkedExampleByteForByte) {
  MemoryRowStore rows(4);
  AddExampleRow(rows, u"A-101.dwg", u"C:\\DWG", u"Yes", u"Landscape");
  AddExampleRow(rows, u"A-102.dwg", u"C:\\DWG", u"No", u"Portrait");
  MemoryScriptSink sink;
  const ScriptWriteResult result = WriteScript(rows, ExampleTemplate(), kEnd, kScopeAllRows, sink);
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(result.messageNumber, 0);
  EXPECT_EQ(sink.bytes, "\xFF\xFE" + AsciiLe("open \"C:\\DWG\\A-101.dwg\"\r\nYes\r\nL\r\n"
                                             "open \"C:\\DWG\\A-102.dwg\"\r\nNo\r\nP\r\n"
                                             "open \"C:\\Tool\\endfile.dwg\"\r\nquit\r\n"));
  EXPECT_EQ(result.bytesWritten, sink.bytes.size());
  EXPECT_FALSE(sink.open);
}

TEST(ScriptWriterTest, EveryOutputMode) {
  ScriptTemplate tmpl;
  SetColumn(tmpl, 0, 1, 1, u"_open");  // list column 0: file name
  SetColumn(tmpl, 1, 2, 0);            // 1: folder
  SetColumn(tmpl, 2, 4, 4);            // 2: empty cell, whole
  SetColumn(tmpl, 3, 4, 3);            // 3: empty cell, first character
  SetColumn(tmpl, 4, 4, 4);            // 4: a long cell, cut to 127 characters
  SetColumn(tmpl, 5, 4, 3);            // 5: first character of a surrogate pair
  SetColumn(tmpl, 6, 0, 2, u"-plot");  // no list column: command alone
  SetColumn(tmpl, 7, 0, 3);            // no list column: empty line
  SetColumn(tmpl, 8, 0, 4);            // no list column: empty line
  SetColumn(tmpl, 9, 4, 5);            // 6..8: modes above 4 or below 0 write nothing
  SetColumn(tmpl, 10, 4, 99);
  SetColumn(tmpl, 11, 4, -1);
  SetColumn(tmpl, 12, 3, 2);           // 9: empty command gives an empty line
  SetColumn(tmpl, 13, 4, 1);           // 10: empty command: blank, then the path
  SetColumn(tmpl, 14, 4, 4);           // 11: a cell written as it stands
  SetColumn(tmpl, 15, 4, 2, u"0123456789ABCDEFGH");  // command cut to 15

  MemoryRowStore rows(12);
  rows.InsertRow(0, u"a.dwg", 0, 0);
  rows.SetCellText(0, 1, u"D:\\x");
  rows.SetCellText(0, 4, std::u16string(200, u'z'));
  rows.SetCellText(0, 5, u"\U0001F600x");
  for (int column = 6; column <= 10; ++column) rows.SetCellText(0, column, u"never");
  rows.SetCellText(0, 11, u"say \"hi\"; 100%");
  MemoryScriptSink sink;
  ASSERT_TRUE(WriteScript(rows, tmpl, u"e.dwg", kScopeAllRows, sink).ok);
  EXPECT_EQ(LinesOf(sink.bytes),
            (Lines{u"_open \"D:\\x\\a.dwg\"", u"", u"", std::u16string(127, u'z'), u"\U0001F600", u"-plot",
                   u"", u"", u"", u" \"D:\\x\\a.dwg\"", u"say \"hi\"; 100%", u"0123456789ABCDE",
                   u"open \"e.dwg\"", u"quit"}));
}

TEST(ScriptWriterTest, DrawingPathFromFileNameAndFolderColumns) {
  ScriptTemplate tmpl;
  SetColumn(tmpl, 0, 4, 0);  // list column 0
  SetColumn(tmpl, 1, 0, 0);  // no list column
  SetColumn(tmpl, 2, 1, 0);  // 1: file name, replaced by the later one
  SetColumn(tmpl, 3, 2, 0);  // 2: folder, replaced by the later one
  SetColumn(tmpl, 4, 1, 1, u"open");  // 3: the file-name column
  SetColumn(tmpl, 5, 2, 0);           // 4: the folder column
  SetColumn(tmpl, 7, 1, 0);  // after the first column not in use: ignored
  MemoryRowStore rows(6);
  rows.InsertRow(0, u"zero", 0, 0);
  for (int c = 1; c < 6; ++c) rows.SetCellText(0, c, u"c" + ToU16(std::to_string(c)));
  EXPECT_EQ(RowDrawingPath(rows, 0, FindScriptColumns(tmpl)), u"c4\\c3");
  // No file-name column: list column 0 is the name. No folder column: the name alone.
  EXPECT_EQ(RowDrawingPath(rows, 0, ScriptColumns{-1, 4}), u"c4\\zero");
  EXPECT_EQ(RowDrawingPath(rows, 0, ScriptColumns{3, -1}), u"c3");
  // A drive root gets no second backslash; a one-character folder is not a folder end.
  EXPECT_EQ(DrawingPath(u"C:\\", u"a.dwg"), u"C:\\a.dwg");
  EXPECT_EQ(DrawingPath(u"\\", u"a.dwg"), u"\\\\a.dwg");
  EXPECT_EQ(DrawingPath(u"", u"a.dwg"), u"\\a.dwg");
}

TEST(ScriptWriterTest, FirstColumnNotInUseWritesOnlyTheClosingLines) {
  ScriptTemplate tmpl;
  SetColumn(tmpl, 1, 1, 1, u"open");
  SetColumn(tmpl, 2, 0, 2, u"zoom");
  MemoryRowStore rows = FiveRows();
  MemoryScriptSink sink;
  ASSERT_TRUE(WriteScript(rows, tmpl, kEnd, kScopeAllRows, sink).ok);
  EXPECT_EQ(sink.bytes, "\xFF\xFE" + AsciiLe("open \"C:\\Tool\\endfile.dwg\"\r\nquit\r\n"));
}

TEST(ScriptWriterTest, ScopesWithAndWithoutSelection) {
  const ScriptTemplate tmpl = NameOnlyTemplate();
  MemoryRowStore rows = FiveRows();
  for (const int row : {3, 0, 4}) rows.SetMarks(row, true);
  rows.SetFocusOnly(1, true);
  MemoryScriptSink sink;
  // Selected-or-all with a selection: those rows, marks cleared, focus alone untouched.
  ASSERT_TRUE(WriteScript(rows, tmpl, kEnd, kScopeSelectedOrAll, sink).ok);
  EXPECT_EQ(LinesOf(sink.bytes), (Lines{u"d0", u"d3", u"d4", u"open \"C:\\Tool\\endfile.dwg\"", u"quit"}));
  EXPECT_EQ(rows.SelectedCount(), 0);
  EXPECT_TRUE(rows.IsFocused(1));
  // Selected-or-all without a selection: every row.
  ASSERT_TRUE(WriteScript(rows, tmpl, kEnd, kScopeSelectedOrAll, sink).ok);
  EXPECT_EQ(LinesOf(sink.bytes).size(), 7u);

  rows.SetMarks(2, true);
  ASSERT_TRUE(WriteScript(rows, tmpl, kEnd, kScopeAllRows, sink).ok);
  EXPECT_EQ(LinesOf(sink.bytes).size(), 7u);
  EXPECT_TRUE(rows.IsSelected(2) && rows.SelectedCount() == 1) << "all rows keeps the selection";
  ASSERT_TRUE(WriteScript(rows, tmpl, kEnd, kScopeSelectedRows, sink).ok);
  EXPECT_EQ(LinesOf(sink.bytes), (Lines{u"d2", u"open \"C:\\Tool\\endfile.dwg\"", u"quit"}));
  EXPECT_EQ(rows.SelectedCount(), 0);
}

TEST(ScriptWriterTest, ScriptFileEmptiedOnRefusalAndUncreatableFileIsMessage19) {
  const auto dir = std::filesystem::temp_directory_path() /
                   ("tovrel_script_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  std::filesystem::create_directories(dir);
  const auto file = dir / "atcprint.scr";
  const auto read = [&] {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  };
  MemoryRowStore rows = FiveRows(), empty(1);
  ScriptFileSink sink(ToU16(file.string()));
  // No selected row, or no row: the message, and an empty file rather than the old script.
  using Case = std::tuple<MemoryRowStore*, int, int>;
  for (const auto& [store, scope, message] : {Case{&rows, kScopeSelectedRows, kMessageScriptNoSelection},
                                              Case{&empty, kScopeAllRows, kMessageListEmpty}}) {
    std::ofstream(file, std::ios::binary) << "old script";
    const ScriptWriteResult result = WriteScript(*store, NameOnlyTemplate(), kEnd, scope, sink);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.messageNumber, message);
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(read(), "");
  }
  ASSERT_TRUE(WriteScript(rows, ExampleTemplate(), kEnd, kScopeAllRows, sink).ok);
  EXPECT_EQ(LinesOf(read()).size(), 5u * 3u + 2u);

  rows.SetMarks(1, true);
  ScriptFileSink nowhere(ToU16((dir / "no such folder" / "atcprint.scr").string()));
  const ScriptWriteResult result = WriteScript(rows, NameOnlyTemplate(), kEnd, kScopeSelectedRows, nowhere);
  EXPECT_EQ(result.messageNumber, kMessageScriptCannotCreate);
  EXPECT_EQ(rows.SelectedCount(), 1);
  std::filesystem::remove_all(dir);
}

TEST(ScriptWriterTest, OpenWriteOrCloseErrorIsMessage19AndKeepsTheSelection) {
  MemoryRowStore rows = FiveRows();
  rows.SetMarks(2, true);
  for (const int failure : {0, 1, 2}) {
    MemoryScriptSink sink;
    sink.failOpen = failure == 0;
    sink.failWrite = failure == 1;
    sink.failClose = failure == 2;
    const ScriptWriteResult result = WriteScript(rows, NameOnlyTemplate(), kEnd, kScopeSelectedRows, sink);
    EXPECT_FALSE(result.ok) << failure;
    EXPECT_EQ(result.messageNumber, kMessageScriptCannotCreate) << failure;
    EXPECT_FALSE(sink.open) << failure;
    EXPECT_TRUE(rows.IsSelected(2) && rows.SelectedCount() == 1) << failure;
  }
}

TEST(ScriptWriterTest, LineLongerThan509IsRefused) {
  // "open" + " \"" + path + "\"": a path of 502 characters makes 509.
  const ScriptTemplate tmpl = ExampleTemplate();
  MemoryRowStore rows(4);
  AddExampleRow(rows, u"short.dwg", u"C:\\DWG");
  AddExampleRow(rows, std::u16string(251, u'n'), std::u16string(250, u'f'));
  MemoryScriptSink sink;
  ScriptWriteResult result = WriteScript(rows, tmpl, kEnd, kScopeAllRows, sink);
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(LinesOf(sink.bytes)[3].size(), 509u);

  rows.SetCellText(1, 0, std::u16string(252, u'n'));
  rows.SetMarks(0, true);
  rows.SetMarks(1, true);
  result = WriteScript(rows, tmpl, kEnd, kScopeSelectedRows, sink);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.messageNumber, kMessageScriptLineTooLong);
  EXPECT_EQ(result.failedRow, 1);
  EXPECT_TRUE(sink.exists);
  EXPECT_EQ(sink.bytes, "") << "nothing is written, not even the rows before";
  EXPECT_EQ(rows.SelectedCount(), 2);
  // The longest cells the list holds, 259 + 1 + 259 characters of path: refused, not cut.
  rows.SetCellText(1, 0, std::u16string(259, u'n'));
  rows.SetCellText(1, 1, std::u16string(259, u'f'));
  EXPECT_EQ(WriteScript(rows, tmpl, kEnd, kScopeAllRows, sink).failedRow, 1);

  // An end drawing too long for its line.
  rows.DeleteRow(1);
  result = WriteScript(rows, tmpl, std::u16string(503, u'e'), kScopeAllRows, sink);
  EXPECT_EQ(result.messageNumber, kMessageScriptLineTooLong);
  EXPECT_EQ(result.failedRow, -1);
  EXPECT_TRUE(WriteScript(rows, tmpl, std::u16string(502, u'e'), kScopeAllRows, sink).ok);
}

TEST(ScriptWriterTest, ScrExtension) {
  EXPECT_EQ(WithScrExtension(u"plot"), u"plot.scr");
  EXPECT_EQ(WithScrExtension(u"plot.scr"), u"plot.scr");
  EXPECT_EQ(WithScrExtension(u"plot.old.txt"), u"plot.old.txt");  // an extension is kept
  EXPECT_EQ(WithScrExtension(u"C:\\my.folder\\plot"), u"C:\\my.folder\\plot.scr");
  EXPECT_EQ(WithScrExtension(u"C:/a.b/plot"), u"C:/a.b/plot.scr");
  EXPECT_EQ(WithScrExtension(u"plot."), u"plot.scr");
}

// A cut to a field never leaves the first half of a surrogate pair in the
// script: a pair that does not fit whole is left out.
TEST(ScriptWriterTest, CutsLeaveOutAPairThatDoesNotFitWhole) {
  const std::u16string emoji = u"\U0001F600";
  struct Case {
    std::u16string value;    // a cell of output mode 4: 127 characters
    std::u16string command;  // a command word: 15 characters
    std::u16string name;     // the file-name cell: 259 characters
    Lines lines;
  };
  const std::u16string v126(126, u'v'), c14(14, u'c'), n258(258, u'n');
  const Case cases[] = {
      {v126 + emoji + u"x", c14 + emoji, n258 + emoji,
       {v126, c14, u"open \"" + n258 + u"\""}},
      {v126.substr(1) + emoji + u"x", c14.substr(1) + emoji, n258.substr(1) + emoji,
       {v126.substr(1) + emoji, c14.substr(1) + emoji, u"open \"" + n258.substr(1) + emoji + u"\""}},
      {v126 + u"xy", c14 + u"xy", n258 + u"xy", {v126 + u"x", c14 + u"x", u"open \"" + n258 + u"x\""}},
  };
  for (const Case& c : cases) {
    ScriptTemplate tmpl;
    SetColumn(tmpl, 0, 4, 4);
    SetColumn(tmpl, 1, 0, 2, c.command);
    SetColumn(tmpl, 2, 1, 1, u"open");
    MemoryRowStore rows(2);
    rows.InsertRow(0, c.value, 0, 0);
    rows.SetCellText(0, 1, c.name);
    MemoryScriptSink sink;
    ASSERT_TRUE(WriteScript(rows, tmpl, u"e.dwg", kScopeAllRows, sink).ok);
    Lines expected = c.lines;
    expected.insert(expected.end(), {u"open \"e.dwg\"", u"quit"});
    EXPECT_EQ(LinesOf(sink.bytes), expected) << c.value.size();
  }
}

// A blank in a script line is Enter: a blank the user cannot see at the end
// of a keyword cell would answer one more prompt and shift all that follow.
TEST(ScriptWriterTest, KeywordCellsAreTrimmedAndNamesKeepTheirText) {
  ScriptTemplate tmpl;
  SetColumn(tmpl, 0, 1, 1, u"_.OPEN");
  SetColumn(tmpl, 1, 2, 0);
  const struct {
    int outputMode;
    int editMode;
    const char16_t* cell;
    const char16_t* line;
  } cases[] = {
      {4, 2, u"_Fit ", u"_Fit"},                 // a choice written whole
      {4, 2, u" 1:1\u3000", u"1:1"},             // an ideographic blank too
      {3, 2, u" L Landscape", u"L"},             // first character after the blanks
      {3, 0, u"  E", u"E"},                      // first character, whatever the edit mode
      {4, 3, u"Plotter A ", u"Plotter A "},      // a printer name as it stands
      {4, 4, u" A4", u" A4"},                    // a paper name as it stands
      {4, 1, u"Layout1 ", u"Layout1 "},          // free text: a name
      {4, 5, u"mono.ctb ", u"mono.ctb "},        // plot style
  };
  MemoryRowStore rows(2 + static_cast<int>(std::size(cases)));
  rows.InsertRow(0, u"a.dwg", 0, 0);
  rows.SetCellText(0, 1, u"C:\\d");
  Lines expected = {u"_.OPEN \"C:\\d\\a.dwg\""};
  int slot = 2;
  for (const auto& c : cases) {
    SetColumn(tmpl, slot, 4, c.outputMode);
    tmpl.columns[static_cast<std::size_t>(slot)].editMode = c.editMode;
    rows.SetCellText(0, slot, c.cell);
    expected.push_back(c.line);
    ++slot;
  }
  expected.push_back(u"open \"e.dwg\"");
  expected.push_back(u"quit");
  MemoryScriptSink sink;
  ASSERT_TRUE(WriteScript(rows, tmpl, u"e.dwg", kScopeAllRows, sink).ok);
  EXPECT_EQ(LinesOf(sink.bytes), expected);
  // The check before a run sees the same lines, each with its column.
  const std::vector<ScriptLine> lines = RowScriptLines(rows, 0, tmpl, FindScriptColumns(tmpl));
  ASSERT_EQ(lines.size(), expected.size() - 2);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].text, expected[i]) << i;
    EXPECT_EQ(lines[i].templateColumn, i == 0 ? 0 : static_cast<int>(i) + 1) << i;
  }
}
