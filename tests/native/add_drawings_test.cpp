// Adding drawings to the list: one folder, a folder tree, the files picked in
// the open-file dialog; and the search dialog's history.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "drawing_list/add_drawings.h"
#include "drawing_list/dropped_items.h"
#include "drawing_list/row_insertion.h"
#include "fake_file_system.h"

using namespace tovrel;
using namespace std::string_view_literals;
using tovrel::test::FakeFileSystem;

namespace {

using Texts = std::vector<std::u16string>;

const std::uint64_t kMarch7 = FakeFileSystem::FileTime(2009, 3, 7, 9, 5);

Texts Cells(const RowStore& store, int row) {
  Texts cells;
  for (int column = 0; column < store.ColumnCount(); ++column) cells.push_back(store.CellText(row, column, 260));
  return cells;
}

Texts Column(const RowStore& store, int column) {
  Texts texts;
  for (int row = 0; row < store.RowCount(); ++row) texts.push_back(store.CellText(row, column, 260));
  return texts;
}

std::u16string Number(int i) { return ToU16(std::to_string(i)); }

class AddDrawingsTest : public ::testing::Test {
protected:
  AddDrawingsTest() {
    for (std::size_t slot = 0; slot < 4; ++slot) {  // name, folder, date, a value
      tmpl.columns[slot].inUse = 1;
      tmpl.columns[slot].displayMode = static_cast<int>(slot) + 1;
    }
    tmpl.columns[3].initialValue = u"A3";
  }
  int Scan(std::u16string_view folder, DrawingKind kind = DrawingKind::Dwg) {
    return ScanFolder(files, store, tmpl, folder, kind, store.RowCount());
  }
  int AddTree(std::u16string_view root, DrawingKind kind = DrawingKind::Dwg) {
    return AddFolderTree(files, store, tmpl, root, kind, store.RowCount());
  }
  Texts Collect(std::u16string_view root) { return CollectFolderTree(files, root); }

  ScriptTemplate tmpl;
  MemoryRowStore store{4};
  FakeFileSystem files;
};

TEST_F(AddDrawingsTest, ScanAddsEachDrawingOfTheKindInListingOrder) {
  files.AddFile(u"C:\\plans\\second.dwg", kMarch7);
  files.AddFile(u"C:\\plans\\First.DWG", FakeFileSystem::FileTime(2024, 12, 31, 23, 59));
  files.AddFile(u"C:\\plans\\site.dxf", FakeFileSystem::FileTime(2000, 1, 1, 0, 0));
  files.AddFile(u"C:\\plans\\notes.txt");

  EXPECT_EQ(Scan(u"C:\\plans"), 2);
  ASSERT_EQ(store.RowCount(), 2);
  EXPECT_EQ(Cells(store, 0), (Texts{u"second.dwg", u"C:\\plans", u"2009/03/07 09:05", u"A3"}));
  EXPECT_EQ(Cells(store, 1), (Texts{u"First.DWG", u"C:\\plans", u"2024/12/31 23:59", u"A3"}));
  EXPECT_EQ(store.Image(0), kImageDwg);

  EXPECT_EQ(Scan(u"C:\\plans", DrawingKind::Dxf), 3);  // appended after the rows already there
  EXPECT_EQ(Cells(store, 2), (Texts{u"site.dxf", u"C:\\plans", u"2000/01/01 00:00", u"A3"}));
  EXPECT_EQ(store.Image(2), kImageDxf);
  EXPECT_EQ(store.ItemData(2), 2);
  EXPECT_EQ(files.ListedPatterns().back(), u"C:\\plans\\*.dxf");

  EXPECT_EQ(Scan(u"C:\\plans"), 5);  // the same folder again: listed twice
  EXPECT_EQ(Column(store, 0), (Texts{u"second.dwg", u"First.DWG", u"site.dxf", u"second.dwg", u"First.DWG"}));
}

TEST_F(AddDrawingsTest, ScanSkipsAFolderNamedLikeADrawingAndAnswersZeroForNothing) {
  files.AddFolder(u"C:\\plans\\old.dwg");
  files.AddFile(u"C:\\plans\\old.dwg\\inside.dwg");
  files.AddFile(u"C:\\plans\\real.dwg", kMarch7);
  EXPECT_EQ(Scan(u"C:\\plans"), 1);
  EXPECT_EQ(Column(store, 0), Texts{u"real.dwg"});

  files.AddFolder(u"C:\\only\\x.dwg");
  files.AddFolder(u"C:\\empty");
  files.AddFile(u"C:\\dxfonly\\a.dxf");
  files.AddFile(u"C:\\locked\\a.dwg");
  files.DenyListing(u"C:\\locked");
  for (const char16_t* folder : {u"C:\\only", u"C:\\empty", u"C:\\dxfonly", u"C:\\missing", u"C:\\locked"}) {
    EXPECT_EQ(Scan(folder), 0) << Utf16ToUtf8(folder);
  }
  EXPECT_EQ(store.RowCount(), 1);
}

TEST(DateTextTest, SafeAtTheExtremes) {
  EXPECT_EQ(FormatDateText(LocalTime{30827, 12, 31, 23, 59}), u"30827/12/31 23:59");
  EXPECT_EQ(FormatDateText(LocalTime{INT_MIN, 0, 0, 0, 0}), u"-2147483648/00/00 00:00");
}

TEST_F(AddDrawingsTest, TreeWalksBreadthFirstAndFoldersWithoutDrawingsLeaveNoGap) {
  files.AddFile(u"C:\\p\\a\\a1\\deep\\5.dwg");
  files.AddFile(u"C:\\p\\a\\a1\\3.dwg");
  files.AddFile(u"C:\\p\\b\\b1\\4.dwg");
  files.AddFile(u"C:\\p\\b\\site.dxf");
  files.AddFile(u"C:\\p\\a\\2.dwg");
  files.AddFile(u"C:\\p\\1.dwg");
  EXPECT_EQ(Collect(u"C:\\p"),
            (Texts{u"C:\\p", u"C:\\p\\a", u"C:\\p\\b", u"C:\\p\\a\\a1", u"C:\\p\\b\\b1", u"C:\\p\\a\\a1\\deep"}));
  EXPECT_EQ(AddTree(u"C:\\p"), 5);
  EXPECT_EQ(Column(store, 0), (Texts{u"1.dwg", u"2.dwg", u"3.dwg", u"4.dwg", u"5.dwg"}));
  EXPECT_EQ(Column(store, 1), (Texts{u"C:\\p", u"C:\\p\\a", u"C:\\p\\a\\a1", u"C:\\p\\b\\b1", u"C:\\p\\a\\a1\\deep"}));
  EXPECT_EQ(AddTree(u"C:\\missing"), 5);
  EXPECT_EQ(AddTree(u"C:\\p", DrawingKind::Dxf), 6);
  EXPECT_EQ(store.Image(5), kImageDxf);
}

TEST_F(AddDrawingsTest, TreeWalksEveryLevelAndEveryFolderWhateverItsAttributes) {
  // 40 levels deep and 40 side by side: nothing is cut off.
  std::u16string path = u"C:\\chain";
  files.AddFile(path + u"\\0.dwg");
  for (int depth = 1; depth <= 40; ++depth) {
    path += u"\\f" + Number(depth);
    files.AddFile(path + u"\\" + Number(depth) + u".dwg");
  }
  EXPECT_EQ(Collect(u"C:\\chain").size(), 41u);
  EXPECT_EQ(AddTree(u"C:\\chain"), 41);
  EXPECT_EQ(store.CellText(40, 0, 260), u"40.dwg");
  for (int i = 0; i < 40; ++i) files.AddFile(u"C:\\wide\\s" + Number(i) + u"\\x.dwg");
  EXPECT_EQ(Collect(u"C:\\wide").size(), 41u);

  // Folders unpacked from an archive, read-only, hidden or not content
  // indexed are folders like any other; a reparse point is not followed.
  constexpr std::uint32_t kNotContentIndexed = 0x2000;
  files.AddFile(u"C:\\p\\top.dwg");
  for (const std::uint32_t attribute :
       {kAttributeArchive, kAttributeReadOnly, kAttributeHidden, kAttributeSystem, kNotContentIndexed}) {
    const std::u16string folder = u"C:\\p\\marked" + Number(static_cast<int>(attribute));
    files.AddFolder(folder, kAttributeDirectory | attribute);
    files.AddFile(folder + u"\\below\\deep.dwg");
  }
  files.AddFolder(u"C:\\p\\link", kAttributeDirectory | kAttributeReparsePoint);
  files.AddFile(u"C:\\p\\link\\loop.dwg");
  EXPECT_EQ(Collect(u"C:\\p").size(), 11u);  // the root, five marked folders and their "below"
  const int before = store.RowCount();
  EXPECT_EQ(AddTree(u"C:\\p"), before + 6);
  EXPECT_EQ(Column(store, 0).back(), u"deep.dwg");
}

// --- Open-file dialog ---------------------------------------------------------

// The dialog's result buffer: `text` followed by the NULs it was cleared with.
std::u16string ResultBuffer(std::u16string_view text) {
  std::u16string buffer(1040, u'\0');
  return buffer.replace(0, text.size(), text);
}

TEST(OpenFileResultTest, ReadsOneOrSeveralFilesAndTheFolder) {
  const struct {
    std::u16string_view text;
    std::size_t offset;
    bool padded;
    std::u16string_view folder;
    Texts names;
  } cases[] = {
      {u"C:\\dwg\\plans\\a.dwg", 13, true, u"C:\\dwg\\plans", {u"a.dwg"}},
      {u"C:\\dwg\0a.dwg\0B.DXF\0図面 1.dwg\0\0"sv, 7, true, u"C:\\dwg", {u"a.dwg", u"B.DXF", u"図面 1.dwg"}},
      {u"C:\\a.dwg", 3, true, u"C:", {u"a.dwg"}},  // a drive root loses its backslash
      {u"D:\\\0a.dwg\0b.dwg\0"sv, 4, true, u"D:", {u"a.dwg", u"b.dwg"}},
      {u"C:\\dwg\0a.dwg\0b.dwg"sv, 7, false, u"C:\\dwg", {u"a.dwg", u"b.dwg"}},  // no closing NUL
      {u"C:\\dwg\\a.dwg", 7, false, u"C:\\dwg", {u"a.dwg"}},
      {u"C:\\d\\a.dwg\0old.dwg\0"sv, 5, true, u"C:\\d", {u"a.dwg"}},  // leftovers are no names
      {u"C:\\dwg\0"sv, 7, true, u"C:\\dwg", {}},
      {u"\\\0a.dwg"sv, 2, true, u"\\", {u"a.dwg"}},
  };
  for (const auto& c : cases) {
    const auto picked = ParseOpenFileResult(c.padded ? ResultBuffer(c.text) : std::u16string(c.text), c.offset);
    ASSERT_TRUE(picked) << Utf16ToUtf8(c.text);
    EXPECT_EQ(picked->folder, c.folder);
    EXPECT_EQ(picked->names, c.names);
  }
  // Offsets of 260 or more, 0, or outside the buffer give nothing.
  const std::u16string x255 = u"C:\\" + std::u16string(255, u'x');
  EXPECT_TRUE(ParseOpenFileResult(ResultBuffer(x255 + u"\\a.dwg"), 259));
  EXPECT_FALSE(ParseOpenFileResult(ResultBuffer(x255 + u"x\\a.dwg"), 260));
  EXPECT_FALSE(ParseOpenFileResult(ResultBuffer(u"C:\\a.dwg"), 0));
  EXPECT_FALSE(ParseOpenFileResult(u"", 3));
  EXPECT_FALSE(ParseOpenFileResult(u"C:\\a.dwg", 8));
}

TEST(OpenFileResultTest, OnlyWgOrWGMakesADwgRow) {
  for (const char16_t* name : {u"a.dwg", u"A.DWG", u"a.Dwg", u"wg"}) EXPECT_EQ(ImageIndexForPickedName(name), kImageDwg);
  for (const char16_t* name : {u"a.dWg", u"a.dwG", u"a.dxf", u"g", u""}) EXPECT_EQ(ImageIndexForPickedName(name), kImageDxf);
}

TEST_F(AddDrawingsTest, PickedFilesAreAddedAsFoundAndTheMissingNamed) {
  files.AddFile(u"C:\\dwg\\Plan.DWG", FakeFileSystem::FileTime(2011, 11, 5, 8, 0));
  files.AddFile(u"C:\\dwg\\site.dxf", FakeFileSystem::FileTime(2012, 1, 2, 3, 4));
  files.AddFile(u"C:\\root.dwg", kMarch7);
  store.InsertRow(0, u"earlier.dwg", kImageDwg, 0);

  Texts notFound;
  const PickedFiles picked{u"C:\\dwg", {u"plan.dwg", u"gone.dwg", u"site.dxf", u"also gone.dxf"}};
  EXPECT_EQ(AddPickedFiles(files, store, tmpl, picked, notFound), 2);
  EXPECT_EQ(notFound, (Texts{u"gone.dwg", u"also gone.dxf"}));
  ASSERT_EQ(store.RowCount(), 3);
  // The name as the file system spells it, not as it was typed.
  EXPECT_EQ(Cells(store, 1), (Texts{u"Plan.DWG", u"C:\\dwg", u"2011/11/05 08:00", u"A3"}));
  EXPECT_EQ(Cells(store, 2), (Texts{u"site.dxf", u"C:\\dwg", u"2012/01/02 03:04", u"A3"}));
  EXPECT_EQ(store.Image(1), kImageDwg);
  EXPECT_EQ(store.Image(2), kImageDxf);

  const auto root = ParseOpenFileResult(ResultBuffer(u"C:\\root.dwg"), 3);
  ASSERT_TRUE(root);
  EXPECT_EQ(AddPickedFiles(files, store, tmpl, *root, notFound), 1);
  EXPECT_EQ(Cells(store, 3), (Texts{u"root.dwg", u"C:", u"2009/03/07 09:05", u"A3"}));
  EXPECT_EQ(notFound.size(), 2u);
}

// --- Search history -------------------------------------------------------------

// "e00", "e01", ...: no entry begins another.
std::u16string Entry(int i) { return u"e" + Number(i / 10) + Number(i % 10); }

TEST(SearchHistoryTest, NewestFirstCutTo127WithoutEmptyTextsOrTextsThatBeginAnEntry) {
  SearchHistory history;
  EXPECT_TRUE(history.Shown().empty());
  history.Remember(u"floor plan.dwg");
  history.Remember(u"");                // never remembered
  history.Remember(u"floor");           // begins an entry: counts as equal
  history.Remember(u"floor plan.dwg");  // equal
  EXPECT_EQ(history.Shown(), Texts{u"floor plan.dwg"});
  history.Remember(u"floor plan.dwg 2");  // longer than the entry: new
  history.Remember(u"Floor");             // case counts
  EXPECT_EQ(history.Shown(), (Texts{u"Floor", u"floor plan.dwg 2", u"floor plan.dwg"}));

  SearchHistory cut;  // a slot holds 127 characters
  const std::u16string longText = std::u16string(120, u'a') + u"0123456789abcdef";
  cut.Remember(longText);
  cut.Remember(longText);
  EXPECT_EQ(cut.Shown(), Texts{longText.substr(0, 127)});
}

TEST(SearchHistoryTest, TenAreComparedElevenShownAndTheTwelfthFallsOut) {
  SearchHistory history;
  for (int i = 0; i <= 10; ++i) history.Remember(Entry(i));
  ASSERT_EQ(history.Shown().size(), 11u);
  EXPECT_EQ(history.Shown().back(), Entry(0));

  history.Remember(Entry(1));  // in slot 9: compared, not added
  EXPECT_EQ(history.Shown().front(), Entry(10));
  history.Remember(Entry(0));  // in slot 10: shown but not compared, so added again
  Texts shown = history.Shown();
  ASSERT_EQ(shown.size(), 11u);
  EXPECT_EQ(shown.front(), Entry(0));
  EXPECT_EQ(shown.back(), Entry(1));

  history.Remember(Entry(11));
  history.Remember(Entry(12));
  shown = history.Shown();
  ASSERT_EQ(shown.size(), 11u);
  EXPECT_EQ(shown.back(), Entry(3));
}

}  // namespace

// --- Dropped on the list -------------------------------------------------------

TEST_F(AddDrawingsTest, DroppedDrawingsAndFoldersAreAddedAndTheRestIsNamed) {
  files.AddFile(u"C:\\a\\one.DWG");
  files.AddFile(u"C:\\a\\two.dxf");
  files.AddFile(u"C:\\a\\notes.txt");
  files.AddFile(u"C:\\tree\\top.dxf");
  files.AddFile(u"C:\\tree\\top.dwg");
  files.AddFile(u"C:\\tree\\sub\\deep.dwg");
  const DroppedItems items = SortDroppedPaths(
      files, {u"C:\\a\\one.DWG", u"C:\\tree\\", u"C:\\a\\notes.txt", u"C:\\a\\two.dxf", u"C:\\gone.dwg"});
  ASSERT_EQ(items.drawings.size(), 1u);  // both drawings of C:\a, in drop order
  EXPECT_EQ(items.drawings[0].folder, u"C:\\a");
  EXPECT_EQ(items.drawings[0].names, (Texts{u"one.DWG", u"two.dxf"}));
  EXPECT_EQ(items.folders, Texts{u"C:\\tree"});
  EXPECT_EQ(items.ignored, (Texts{u"C:\\a\\notes.txt", u"C:\\gone.dwg"}));

  EXPECT_EQ(AddDroppedItems(files, store, tmpl, items), 5);
  // The folder's DWG drawings of the whole tree first, then its DXF drawings.
  EXPECT_EQ(Column(store, 0), (Texts{u"one.DWG", u"two.dxf", u"top.dwg", u"deep.dwg", u"top.dxf"}));
  EXPECT_EQ(Column(store, 1), (Texts{u"C:\\a", u"C:\\a", u"C:\\tree", u"C:\\tree\\sub", u"C:\\tree"}));
  EXPECT_EQ(store.Image(1), kImageDxf);
}
