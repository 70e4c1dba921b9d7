// The AutoCAD script written from the rows of the drawing list.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "script/script_writer.h"
#include "storage/text_codec.h"

using namespace tovrel;

namespace {

void SetColumn(ScriptTemplate& tmpl, int slot, int displayMode, int outputMode,
               std::u16string command = u"") {
  TemplateColumn& column = tmpl.columns[static_cast<std::size_t>(slot)];
  column.inUse = 1;
  column.displayMode = displayMode;
  column.outputMode = outputMode;
  column.command = std::move(command);
}

// Bytes of ASCII text as UTF-16LE, spelled out: every character, then a zero.
std::string AsciiLe(std::string_view ascii) {
  std::string bytes;
  for (const char c : ascii) {
    bytes += c;
    bytes += '\0';
  }
  return bytes;
}

// The lines of a script, after checking its byte-order mark and line ends.
std::vector<std::u16string> Lines(const std::string& bytes) {
  EXPECT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  const std::u16string text = Utf16LeBytesToText(std::string_view(bytes).substr(2));
  std::vector<std::u16string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find(u"\r\n", start);
    EXPECT_NE(end, std::u16string::npos) << "last line without CR LF";
    if (end == std::u16string::npos) break;
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// The worked example's template: file name (open), folder, a value written
// whole, a value written as its first letter, then a column not in use.
ScriptTemplate ExampleTemplate() {
  ScriptTemplate tmpl;
  SetColumn(tmpl, 0, 1, 1, u"open");
  SetColumn(tmpl, 1, 2, 0);
  SetColumn(tmpl, 2, 4, 4);
  SetColumn(tmpl, 3, 4, 3);
  return tmpl;
}

void AddExampleRow(MemoryRowStore& rows, std::u16string_view name, std::u16string_view folder,
                   std::u16string_view value, std::u16string_view orientation) {
  const int row = rows.RowCount();
  rows.InsertRow(row, name, 1, row);
  rows.SetCellText(row, 1, folder);
  rows.SetCellText(row, 2, value);
  rows.SetCellText(row, 3, orientation);
}

constexpr std::u16string_view kEnd = u"C:\\Tool\\endfile.dwg";

// Five rows whose only written line is their file name.
MemoryRowStore FiveRows() {
  MemoryRowStore rows(1);
  for (int row = 0; row < 5; ++row) {
    const char16_t name[] = {u'd', static_cast<char16_t>(u'0' + row), 0};
    rows.InsertRow(row, name, 0, row);
  }
  return rows;
}

ScriptTemplate NameOnlyTemplate() {
  ScriptTemplate tmpl;
  SetColumn(tmpl, 0, 1, 4);
  return tmpl;
}

std::vector<int> SelectedRows(const RowStore& rows) {
  std::vector<int> selected;
  for (int row = rows.NextSelected(0); row >= 0; row = rows.NextSelected(row + 1)) selected.push_back(row);
  return selected;
}

class ScriptFileTest : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("tovrel_script_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::u16string PathOf(const std::string& name) const { return ToU16((dir_ / name).string()); }
  static std::string Read(const std::u16string& path) {
    std::ifstream in(Utf16ToUtf8(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static void Put(const std::u16string& path, const std::string& bytes) {
    std::ofstream(Utf16ToUtf8(path), std::ios::binary) << bytes;
  }

  std::filesystem::path dir_;
};

}  // namespace

TEST(ScriptWriterTest, WorkedExampleByteForByte) {
  MemoryRowStore rows(4);
  AddExampleRow(rows, u"A-101.dwg", u"C:\\DWG", u"Yes", u"Landscape");
  MemoryScriptSink sink;
  const ScriptWriteResult result = WriteScript(rows, ExampleTemplate(), kEnd, kScopeAllRows, sink);
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(result.messageNumber, 0);

  const std::string row = AsciiLe("open \"C:\\DWG\\A-101.dwg\"\r\nYes\r\nL\r\n");
  const std::string closing = AsciiLe("open \"C:\\Tool\\endfile.dwg\"\r\nquit\r\n");
  EXPECT_EQ(sink.bytes, "\xFF\xFE" + row + closing);
  EXPECT_EQ(result.bytesWritten, sink.bytes.size());
  EXPECT_EQ(sink.bytes.substr(0, 6), std::string("\xFF\xFEo\0p\0", 6));
  EXPECT_FALSE(sink.open);

  AddExampleRow(rows, u"A-102.dwg", u"C:\\DWG", u"No", u"Portrait");
  ASSERT_TRUE(WriteScript(rows, ExampleTemplate(), kEnd, kScopeAllRows, sink).ok);
  EXPECT_EQ(sink.bytes, "\xFF\xFE" + row + AsciiLe("open \"C:\\DWG\\A-102.dwg\"\r\nNo\r\nP\r\n") + closing);
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
  SetColumn(tmpl, 9, 4, 5);            // 6: writes nothing
  SetColumn(tmpl, 10, 4, 99);          // 7: writes nothing
  SetColumn(tmpl, 11, 4, -1);          // 8: writes nothing
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

  const std::vector<std::u16string> expected = {
      u"_open \"D:\\x\\a.dwg\"", u"", u"", std::u16string(127, u'z'), u"\U0001F600", u"-plot", u"", u"",
      u"", u" \"D:\\x\\a.dwg\"", u"say \"hi\"; 100%", u"0123456789ABCDE", u"open \"e.dwg\"", u"quit"};
  EXPECT_EQ(Lines(sink.bytes), expected);
}

TEST(ScriptWriterTest, DrawingPathSeparator) {
  EXPECT_EQ(DrawingPath(u"C:\\DWG", u"a.dwg"), u"C:\\DWG\\a.dwg");
  EXPECT_EQ(DrawingPath(u"C:\\", u"a.dwg"), u"C:\\a.dwg");
  EXPECT_EQ(DrawingPath(u"C:\\DWG\\", u"a.dwg"), u"C:\\DWG\\a.dwg");
  EXPECT_EQ(DrawingPath(u"\\", u"a.dwg"), u"\\\\a.dwg");  // one character: not a folder end
  EXPECT_EQ(DrawingPath(u"", u"a.dwg"), u"\\a.dwg");
  EXPECT_EQ(DrawingPath(u"C:\\DWG", u""), u"C:\\DWG\\");

  // The same rule inside a script: a drive root gets no second backslash.
  MemoryRowStore rows(4);
  AddExampleRow(rows, u"root.dwg", u"C:\\", u"Yes", u"L");
  MemoryScriptSink sink;
  ASSERT_TRUE(WriteScript(rows, ExampleTemplate(), kEnd, kScopeAllRows, sink).ok);
  EXPECT_EQ(Lines(sink.bytes).front(), u"open \"C:\\root.dwg\"");
}

TEST(ScriptWriterTest, FileNameAndFolderColumns) {
  ScriptTemplate tmpl;
  SetColumn(tmpl, 0, 4, 0);  // list column 0
  SetColumn(tmpl, 1, 0, 0);  // no list column
  SetColumn(tmpl, 2, 1, 0);  // 1: file name, replaced by the later one
  SetColumn(tmpl, 3, 2, 0);  // 2: folder, replaced by the later one
  SetColumn(tmpl, 4, 1, 1, u"open");  // 3: the file-name column
  SetColumn(tmpl, 5, 2, 0);           // 4: the folder column
  SetColumn(tmpl, 7, 1, 0);  // after the first column not in use: ignored
  ScriptColumns columns = FindScriptColumns(tmpl);
  EXPECT_EQ(columns.fileNameColumn, 3);
  EXPECT_EQ(columns.folderColumn, 4);

  MemoryRowStore rows(6);
  rows.InsertRow(0, u"zero", 0, 0);
  for (int column = 1; column < 6; ++column) {
    const char16_t text[] = {u'c', static_cast<char16_t>(u'0' + column), 0};
    rows.SetCellText(0, column, text);
  }
  EXPECT_EQ(RowDrawingPath(rows, 0, columns), u"c4\\c3");

  // No file-name column: list column 0 is the name. No folder column: the
  // name alone, without a separator.
  EXPECT_EQ(RowDrawingPath(rows, 0, ScriptColumns{-1, 4}), u"c4\\zero");
  EXPECT_EQ(RowDrawingPath(rows, 0, ScriptColumns{3, -1}), u"c3");
  EXPECT_EQ(RowDrawingPath(rows, 0, ScriptColumns{}), u"zero");

  ScriptTemplate bare;
  SetColumn(bare, 0, 4, 1, u"open");
  EXPECT_EQ(FindScriptColumns(bare).fileNameColumn, -1);
  EXPECT_EQ(FindScriptColumns(bare).folderColumn, -1);
  MemoryScriptSink sink;
  ASSERT_TRUE(WriteScript(rows, bare, u"e.dwg", kScopeAllRows, sink).ok);
  EXPECT_EQ(Lines(sink.bytes), (std::vector<std::u16string>{u"open \"zero\"", u"open \"e.dwg\"", u"quit"}));
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

TEST(ScriptWriterTest, ScopeSelectedOrAll) {
  const ScriptTemplate tmpl = NameOnlyTemplate();
  MemoryRowStore rows = FiveRows();
  rows.SetMarks(3, true);
  rows.SetMarks(0, true);
  rows.SetMarks(4, true);
  rows.SetFocusOnly(1, true);
  MemoryScriptSink sink;
  ASSERT_TRUE(WriteScript(rows, tmpl, kEnd, kScopeSelectedOrAll, sink).ok);
  EXPECT_EQ(Lines(sink.bytes), (std::vector<std::u16string>{u"d0", u"d3", u"d4", u"open \"C:\\Tool\\endfile.dwg\"", u"quit"}));
  EXPECT_EQ(rows.SelectedCount(), 0);
  EXPECT_TRUE(rows.IsFocused(1)) << "a row only focused is not touched";

  ASSERT_TRUE(WriteScript(rows, tmpl, kEnd, kScopeSelectedOrAll, sink).ok);
  EXPECT_EQ(Lines(sink.bytes).size(), 7u);
  EXPECT_EQ(rows.SelectedCount(), 0);
  EXPECT_TRUE(rows.IsFocused(1));

  rows.SetMarks(2, true);
  ASSERT_TRUE(WriteScript(rows, tmpl, kEnd, kScopeAllRows, sink).ok);
  EXPECT_EQ(Lines(sink.bytes).size(), 7u);
  EXPECT_EQ(SelectedRows(rows), std::vector<int>{2}) << "scope 0 keeps the selection";
  ASSERT_TRUE(WriteScript(rows, tmpl, kEnd, kScopeSelectedRows, sink).ok);
  EXPECT_EQ(Lines(sink.bytes).front(), u"d2");
  EXPECT_EQ(Lines(sink.bytes).size(), 3u);
  EXPECT_EQ(rows.SelectedCount(), 0);
}

TEST_F(ScriptFileTest, EmptyListAndMissingSelectionLeaveAnEmptyFile) {
  const std::u16string path = PathOf("atcprint.scr");
  MemoryRowStore rows = FiveRows();
  Put(path, "old script");
  ScriptFileSink sink(path);
  ScriptWriteResult result = WriteScript(rows, NameOnlyTemplate(), kEnd, kScopeSelectedRows, sink);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.messageNumber, kMessageScriptNoSelection);
  EXPECT_TRUE(std::filesystem::exists(Utf16ToUtf8(path)));
  EXPECT_EQ(Read(path), "");

  MemoryRowStore empty(1);
  Put(path, "old script");
  result = WriteScript(empty, NameOnlyTemplate(), kEnd, kScopeAllRows, sink);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.messageNumber, kMessageListEmpty);
  EXPECT_EQ(Read(path), "");

  ASSERT_TRUE(WriteScript(rows, ExampleTemplate(), kEnd, kScopeAllRows, sink).ok);
  EXPECT_EQ(Lines(Read(path)).size(), 5u * 3u + 2u);
}

TEST_F(ScriptFileTest, FileThatCannotBeCreated) {
  MemoryRowStore rows = FiveRows();
  rows.SetMarks(1, true);
  ScriptFileSink sink(PathOf("no such folder/atcprint.scr"));
  const ScriptWriteResult result = WriteScript(rows, NameOnlyTemplate(), kEnd, kScopeSelectedRows, sink);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.messageNumber, kMessageScriptCannotCreate);
  EXPECT_EQ(rows.SelectedCount(), 1);
}

TEST(ScriptWriterTest, WriteErrorsAreNeverSuccess) {
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
    EXPECT_EQ(SelectedRows(rows), std::vector<int>{2}) << "selection kept after failure " << failure;
  }
}

TEST(ScriptWriterTest, LineLongerThan509IsRefused) {
  // "open" + " \"" + path + "\"": a path of 502 characters makes 509.
  ScriptTemplate tmpl = ExampleTemplate();
  MemoryRowStore rows(4);
  AddExampleRow(rows, u"short.dwg", u"C:\\DWG", u"Yes", u"L");
  AddExampleRow(rows, std::u16string(251, u'n'), std::u16string(250, u'f'), u"Yes", u"L");
  rows.SetMarks(0, true);
  rows.SetMarks(1, true);
  MemoryScriptSink sink;
  ScriptWriteResult result = WriteScript(rows, tmpl, kEnd, kScopeSelectedRows, sink);
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(Lines(sink.bytes)[3].size(), 509u);

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

  // The longest cells the list holds: 259 + 1 + 259 characters of path.
  rows.SetCellText(1, 0, std::u16string(259, u'n'));
  rows.SetCellText(1, 1, std::u16string(259, u'f'));
  result = WriteScript(rows, tmpl, kEnd, kScopeAllRows, sink);
  EXPECT_EQ(result.messageNumber, kMessageScriptLineTooLong);
  EXPECT_EQ(result.failedRow, 1);

  // An end drawing too long for its line.
  rows.DeleteRow(1);
  result = WriteScript(rows, tmpl, std::u16string(503, u'e'), kScopeAllRows, sink);
  EXPECT_EQ(result.messageNumber, kMessageScriptLineTooLong);
  EXPECT_EQ(result.failedRow, -1);
  EXPECT_TRUE(WriteScript(rows, tmpl, std::u16string(502, u'e'), kScopeAllRows, sink).ok);
}

TEST(ScriptWriterTest, RowScript) {
  MemoryRowStore rows(4);
  AddExampleRow(rows, u"A-101.dwg", u"C:\\DWG", u"Yes", u"Landscape");
  AddExampleRow(rows, u"A-102.dwg", u"C:\\DWG\\", u"No", u"Portrait");
  rows.SetMarks(1, true);
  const ScriptTemplate tmpl = ExampleTemplate();
  MemoryScriptSink sink;
  ScriptWriteResult result = WriteRowScript(rows, 1, tmpl, FindScriptColumns(tmpl), kEnd, true, sink);
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(sink.bytes, "\xFF\xFE" + AsciiLe("open \"C:\\DWG\\A-102.dwg\"\r\nNo\r\nP\r\n"
                                             "open \"C:\\Tool\\endfile.dwg\"\r\nquit\r\n"));
  EXPECT_FALSE(rows.IsSelected(1));

  rows.SetMarks(0, true);
  sink.failWrite = true;
  result = WriteRowScript(rows, 0, tmpl, FindScriptColumns(tmpl), kEnd, true, sink);
  EXPECT_EQ(result.messageNumber, kMessageScriptCannotCreate);
  EXPECT_TRUE(rows.IsSelected(0));
}

TEST(ScriptWriterTest, ScrExtension) {
  EXPECT_EQ(WithScrExtension(u"plot"), u"plot.scr");
  EXPECT_EQ(WithScrExtension(u"plot.txt"), u"plot.scr");
  EXPECT_EQ(WithScrExtension(u"plot.scr"), u"plot.scr");
  EXPECT_EQ(WithScrExtension(u"plot.old.txt"), u"plot.scr");
  EXPECT_EQ(WithScrExtension(u"C:\\my.folder\\plot"), u"C:\\my.folder\\plot.scr");
  EXPECT_EQ(WithScrExtension(u"C:\\my.folder\\plot.old.txt"), u"C:\\my.folder\\plot.scr");
  EXPECT_EQ(WithScrExtension(u"C:/a.b/plot"), u"C:/a.b/plot.scr");
  EXPECT_EQ(WithScrExtension(u"plot."), u"plot.scr");
}

// Not a pass/fail test: prints how long 10,000 rows of a plot template take.
TEST_F(ScriptFileTest, TimingOf10000Rows) {
  ScriptTemplate tmpl;
  const struct {
    int display, output;
    const char16_t* command;
    const char16_t* value;
  } columns[] = {
      {1, 1, u"_open", u""}, {2, 0, u"", u""}, {3, 0, u"", u""}, {0, 2, u"-plot", u""},
      {4, 4, u"", u"Yes"}, {4, 4, u"", u"Model"}, {4, 4, u"", u"DWG To PDF.pc3"},
      {4, 4, u"", u"ISO full bleed A3 (420.00 x 297.00 MM)"}, {4, 4, u"", u"Millimeters"},
      {4, 3, u"", u"Landscape"}, {4, 4, u"", u"No"}, {4, 4, u"", u"Extents"},
      {4, 4, u"", u"Fit"}, {4, 4, u"", u"Center"}, {4, 4, u"", u"monochrome.ctb"}};
  int slot = 0;
  for (const auto& column : columns) {
    SetColumn(tmpl, slot, column.display, column.output, column.command);
    tmpl.columns[static_cast<std::size_t>(slot++)].initialValue = column.value;
  }
  MemoryRowStore rows(14);
  for (int row = 0; row < 10000; ++row) {
    std::u16string name = u"A-";
    name += ToU16(std::to_string(1000 + row));
    name += u".dwg";
    rows.InsertRow(row, name, 1, row);
    rows.SetCellText(row, 1, u"C:\\Projects\\Tower B\\Drawings\\Plans");
    rows.SetCellText(row, 2, u"2024/05/17 14:03");
    for (int column = 3; column < 14; ++column) {
      rows.SetCellText(row, column, columns[column + 1].value);
    }
  }

  const auto start = std::chrono::steady_clock::now();
  MemoryScriptSink memory;
  ASSERT_TRUE(WriteScript(rows, tmpl, kEnd, kScopeAllRows, memory).ok);
  const auto built = std::chrono::steady_clock::now();
  ScriptFileSink file(PathOf("atcprint.scr"));
  ASSERT_TRUE(WriteScript(rows, tmpl, kEnd, kScopeAllRows, file).ok);
  const auto stored = std::chrono::steady_clock::now();
  EXPECT_EQ(Lines(memory.bytes).size(), 10000u * 13u + 2u);
  EXPECT_EQ(Read(PathOf("atcprint.scr")), memory.bytes);
  using ms = std::chrono::duration<double, std::milli>;
  std::printf("script-10000 in memory ms=%.1f, to a file ms=%.1f, bytes=%zu\n",
              ms(built - start).count(), ms(stored - built).count(), memory.bytes.size());
}
