// Files picked in the open-file dialog, and the history of the search
// dialog.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drawing_list/add_drawings.h"
#include "drawing_list/row_insertion.h"
#include "fake_file_system.h"

using namespace tovrel;
using namespace std::string_view_literals;
using tovrel::test::FakeFileSystem;

namespace {

// The dialog's result buffer: `text` (NULs included) followed by the NULs
// the buffer was cleared with.
std::u16string ResultBuffer(std::u16string_view text) {
  std::u16string buffer(kOpenFileBufferSize, u'\0');
  buffer.replace(0, text.size(), text);
  return buffer;
}

using Names = std::vector<std::u16string>;

TEST(OpenFileResultTest, OneFileIsReadFromBehindTheDirectory) {
  const auto picked = ParseOpenFileResult(ResultBuffer(u"C:\\dwg\\plans\\a.dwg"), 13);
  ASSERT_TRUE(picked);
  EXPECT_EQ(picked->folder, u"C:\\dwg\\plans");
  EXPECT_EQ(picked->names, Names{u"a.dwg"});
}

TEST(OpenFileResultTest, SeveralFilesFollowTheDirectoryNulSeparated) {
  const auto picked = ParseOpenFileResult(ResultBuffer(u"C:\\dwg\0a.dwg\0B.DXF\0図面 1.dwg\0\0"sv), 7);
  ASSERT_TRUE(picked);
  EXPECT_EQ(picked->folder, u"C:\\dwg");
  EXPECT_EQ(picked->names, (Names{u"a.dwg", u"B.DXF", u"図面 1.dwg"}));
}

TEST(OpenFileResultTest, ADriveRootBecomesTheDriveWithoutBackslash) {
  const auto one = ParseOpenFileResult(ResultBuffer(u"C:\\a.dwg"), 3);
  ASSERT_TRUE(one);
  EXPECT_EQ(one->folder, u"C:");
  EXPECT_EQ(one->names, Names{u"a.dwg"});

  const auto many = ParseOpenFileResult(ResultBuffer(u"D:\\\0a.dwg\0b.dwg\0"sv), 4);
  ASSERT_TRUE(many);
  EXPECT_EQ(many->folder, u"D:");
  EXPECT_EQ(many->names, (Names{u"a.dwg", u"b.dwg"}));
}

TEST(OpenFileResultTest, AnOffsetOf260OrMoreGivesNothing) {
  const std::u16string longFolder = u"C:\\" + std::u16string(255, u'x') + u"\\";  // 259 characters
  EXPECT_TRUE(ParseOpenFileResult(ResultBuffer(longFolder + u"a.dwg"), 259));
  const std::u16string tooLong = u"C:\\" + std::u16string(256, u'x') + u"\\";
  EXPECT_FALSE(ParseOpenFileResult(ResultBuffer(tooLong + u"a.dwg"), 260));
  EXPECT_FALSE(ParseOpenFileResult(ResultBuffer(u"C:\\dwg\\a.dwg"), 1000));
}

TEST(OpenFileResultTest, MalformedBuffersAreReadWithinTheirBounds) {
  // Offsets outside the buffer, or no directory at all.
  EXPECT_FALSE(ParseOpenFileResult(u"", 0));
  EXPECT_FALSE(ParseOpenFileResult(u"", 3));
  EXPECT_FALSE(ParseOpenFileResult(u"C:\\a.dwg", 8));
  EXPECT_FALSE(ParseOpenFileResult(u"C:\\a.dwg", 200));
  EXPECT_FALSE(ParseOpenFileResult(ResultBuffer(u"C:\\a.dwg"), 0));

  // No NUL after the last name: it runs to the end of the buffer.
  auto picked = ParseOpenFileResult(u"C:\\dwg\0a.dwg\0b.dwg"sv, 7);
  ASSERT_TRUE(picked);
  EXPECT_EQ(picked->names, (Names{u"a.dwg", u"b.dwg"}));
  picked = ParseOpenFileResult(u"C:\\dwg\\a.dwg", 7);
  ASSERT_TRUE(picked);
  EXPECT_EQ(picked->names, Names{u"a.dwg"});

  // Text left behind a single name is not taken for more names.
  picked = ParseOpenFileResult(ResultBuffer(u"C:\\d\\a.dwg\0old.dwg\0"sv), 5);
  ASSERT_TRUE(picked);
  EXPECT_EQ(picked->names, Names{u"a.dwg"});

  // A directory with no names behind it.
  picked = ParseOpenFileResult(ResultBuffer(u"C:\\dwg\0"sv), 7);
  ASSERT_TRUE(picked);
  EXPECT_EQ(picked->folder, u"C:\\dwg");
  EXPECT_TRUE(picked->names.empty());

  // The directory part ends at its first NUL; a lone backslash stays.
  picked = ParseOpenFileResult(ResultBuffer(u"\\\0a.dwg"sv), 2);
  ASSERT_TRUE(picked);
  EXPECT_EQ(picked->folder, u"\\");
}

TEST(OpenFileResultTest, OnlyWgOrWGMakesADwgRow) {
  EXPECT_EQ(ImageIndexForPickedName(u"a.dwg"), kImageDwg);
  EXPECT_EQ(ImageIndexForPickedName(u"A.DWG"), kImageDwg);
  EXPECT_EQ(ImageIndexForPickedName(u"a.Dwg"), kImageDwg);
  EXPECT_EQ(ImageIndexForPickedName(u"wg"), kImageDwg);
  EXPECT_EQ(ImageIndexForPickedName(u"a.dWg"), kImageDxf);
  EXPECT_EQ(ImageIndexForPickedName(u"a.dwG"), kImageDxf);
  EXPECT_EQ(ImageIndexForPickedName(u"a.dxf"), kImageDxf);
  EXPECT_EQ(ImageIndexForPickedName(u"g"), kImageDxf);
  EXPECT_EQ(ImageIndexForPickedName(u""), kImageDxf);
}

// --- Adding the picked files -------------------------------------------------

ScriptTemplate NameFolderDate() {
  ScriptTemplate tmpl;
  for (int slot = 0; slot < 3; ++slot) {
    tmpl.columns[static_cast<std::size_t>(slot)].inUse = 1;
    tmpl.columns[static_cast<std::size_t>(slot)].displayMode = slot + 1;
  }
  return tmpl;
}

std::vector<std::u16string> Cells(const RowStore& store, int row) {
  return {store.CellText(row, 0, 260), store.CellText(row, 1, 260), store.CellText(row, 2, 260)};
}

TEST(AddPickedFilesTest, AddsTheFilesFoundAndNamesTheOnesThatAreGone) {
  FakeFileSystem files;
  files.AddFile(u"C:\\dwg\\Plan.DWG", FakeFileSystem::FileTime(2011, 11, 5, 8, 0));
  files.AddFile(u"C:\\dwg\\site.dxf", FakeFileSystem::FileTime(2012, 1, 2, 3, 4));
  const ScriptTemplate tmpl = NameFolderDate();
  MemoryRowStore store(3);
  store.InsertRow(0, u"earlier.dwg", kImageDwg, 0);

  const PickedFiles picked{u"C:\\dwg", {u"plan.dwg", u"gone.dwg", u"site.dxf", u"also gone.dxf"}};
  std::vector<std::u16string> notFound;
  EXPECT_EQ(AddPickedFiles(files, store, tmpl, picked, notFound), 2);
  EXPECT_EQ(notFound, (Names{u"gone.dwg", u"also gone.dxf"}));
  ASSERT_EQ(store.RowCount(), 3);
  // The name as the file system spells it, not as it was typed.
  EXPECT_EQ(Cells(store, 1), (Names{u"Plan.DWG", u"C:\\dwg", u"2011/11/05 08:00"}));
  EXPECT_EQ(store.Image(1), kImageDwg);
  EXPECT_EQ(store.ItemData(1), 1);
  EXPECT_EQ(Cells(store, 2), (Names{u"site.dxf", u"C:\\dwg", u"2012/01/02 03:04"}));
  EXPECT_EQ(store.Image(2), kImageDxf);
  EXPECT_EQ(store.ItemData(2), 2);
}

TEST(AddPickedFilesTest, AFileInADriveRootGetsTheFolderTextOfTheDrive) {
  FakeFileSystem files;
  files.AddFile(u"C:\\root.dwg");
  MemoryRowStore store(3);
  std::vector<std::u16string> notFound;
  const auto picked = ParseOpenFileResult(ResultBuffer(u"C:\\root.dwg"), 3);
  ASSERT_TRUE(picked);
  EXPECT_EQ(AddPickedFiles(files, store, NameFolderDate(), *picked, notFound), 1);
  EXPECT_TRUE(notFound.empty());
  EXPECT_EQ(Cells(store, 0), (Names{u"root.dwg", u"C:", u"1601/01/01 00:00"}));
}

// --- Search history ----------------------------------------------------------

// "e00", "e01", ...: no entry begins another.
std::u16string Entry(int i) {
  return {u'e', static_cast<char16_t>(u'0' + i / 10), static_cast<char16_t>(u'0' + i % 10)};
}

TEST(SearchHistoryTest, ShowsTheNewestFirstAndStopsAtTheFirstEmptySlot) {
  SearchHistory history;
  EXPECT_TRUE(history.Shown().empty());
  history.Remember(u"a.dwg");
  history.Remember(u"b.dwg");
  EXPECT_EQ(history.Shown(), (Names{u"b.dwg", u"a.dwg"}));

  // An empty text is never remembered.
  history.Remember(u"");
  EXPECT_EQ(history.Shown(), (Names{u"b.dwg", u"a.dwg"}));
}

TEST(SearchHistoryTest, ATextThatBeginsAKeptEntryIsNotKeptAgain) {
  SearchHistory history;
  history.Remember(u"floor plan.dwg");
  history.Remember(u"floor");           // the beginning of an entry: counts as equal
  history.Remember(u"floor plan.dwg");  // equal
  EXPECT_EQ(history.Shown(), Names{u"floor plan.dwg"});
  history.Remember(u"floor plan.dwg 2");  // longer than the entry: new
  history.Remember(u"Floor");             // case counts
  EXPECT_EQ(history.Shown(), (Names{u"Floor", u"floor plan.dwg 2", u"floor plan.dwg"}));
}

TEST(SearchHistoryTest, OnlyTheFirstTenAreComparedAndElevenAreShown) {
  SearchHistory history;
  for (int i = 0; i <= 10; ++i) history.Remember(Entry(i));
  Names shown = history.Shown();
  ASSERT_EQ(shown.size(), 11u);
  EXPECT_EQ(shown.front(), Entry(10));
  EXPECT_EQ(shown.back(), Entry(0));

  // Entry 1 is in slot 9 (compared), entry 0 in slot 10 (shown, not compared).
  history.Remember(Entry(1));
  EXPECT_EQ(history.Shown().front(), Entry(10));
  history.Remember(Entry(0));
  shown = history.Shown();
  EXPECT_EQ(shown.front(), Entry(0));
  EXPECT_EQ(shown.back(), Entry(1));
}

TEST(SearchHistoryTest, TheTwelfthEntryFallsOutOfView) {
  SearchHistory history;
  for (int i = 0; i < 12; ++i) history.Remember(Entry(i));
  Names shown = history.Shown();
  ASSERT_EQ(shown.size(), 11u);
  EXPECT_EQ(shown.front(), Entry(11));
  EXPECT_EQ(shown.back(), Entry(1));
  history.Remember(Entry(12));
  shown = history.Shown();
  ASSERT_EQ(shown.size(), 11u);
  EXPECT_EQ(shown.back(), Entry(2));
}

TEST(SearchHistoryTest, LongTextsAreCutTo127Characters) {
  SearchHistory history;
  const std::u16string longText = std::u16string(120, u'a') + u"0123456789abcdef";  // 136 characters
  history.Remember(longText);
  ASSERT_EQ(history.Shown().size(), 1u);
  EXPECT_EQ(history.Shown().front(), longText.substr(0, 127));
  // The same long text typed again is the same entry.
  history.Remember(longText);
  history.Remember(longText.substr(0, 130));
  EXPECT_EQ(history.Shown().size(), 1u);
}

}  // namespace
