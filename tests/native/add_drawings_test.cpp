// Adding the drawings of one folder and of a folder tree, as the rows the
// user sees appear in the list.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "drawing_list/add_drawings.h"
#include "drawing_list/list_columns.h"
#include "drawing_list/row_insertion.h"
#include "fake_file_system.h"

using namespace tovrel;
using tovrel::test::FakeFileSystem;

namespace {

// File name, folder, date and a value column, as a plotting template has.
ScriptTemplate ListTemplate() {
  ScriptTemplate tmpl;
  tmpl.inUse = 1;
  const int modes[] = {1, 2, 3, 4};
  for (int slot = 0; slot < 4; ++slot) {
    tmpl.columns[static_cast<std::size_t>(slot)].inUse = 1;
    tmpl.columns[static_cast<std::size_t>(slot)].displayMode = modes[slot];
  }
  tmpl.columns[3].initialValue = u"A3";
  return tmpl;
}

struct Row {
  std::vector<std::u16string> cells;
  int image;
  std::intptr_t itemData;
};

Row RowAt(const RowStore& store, int row) {
  Row result{{}, store.Image(row), store.ItemData(row)};
  for (int column = 0; column < store.ColumnCount(); ++column) result.cells.push_back(store.CellText(row, column, 260));
  return result;
}

std::vector<std::u16string> Column(const RowStore& store, int column) {
  std::vector<std::u16string> texts;
  for (int row = 0; row < store.RowCount(); ++row) texts.push_back(store.CellText(row, column, 260));
  return texts;
}

const std::uint64_t kMarch7 = FakeFileSystem::FileTime(2009, 3, 7, 9, 5);

class FolderScanTest : public ::testing::Test {
protected:
  ScriptTemplate tmpl = ListTemplate();
  MemoryRowStore store{static_cast<int>(DisplayedSlots(tmpl).size())};
  FakeFileSystem files;

  int Scan(std::u16string_view folder, DrawingKind kind) {
    return ScanFolder(files, store, tmpl, folder, kind, store.RowCount());
  }
};

TEST_F(FolderScanTest, AddsEachDrawingOfTheKindInTheOrderTheFolderListsThem) {
  files.AddFile(u"C:\\plans\\second.dwg", kMarch7);
  files.AddFile(u"C:\\plans\\First.DWG", FakeFileSystem::FileTime(2024, 12, 31, 23, 59));
  files.AddFile(u"C:\\plans\\site.dxf", FakeFileSystem::FileTime(2000, 1, 1, 0, 0));
  files.AddFile(u"C:\\plans\\notes.txt");

  EXPECT_EQ(Scan(u"C:\\plans", DrawingKind::Dwg), 2);
  ASSERT_EQ(store.RowCount(), 2);
  const Row first = RowAt(store, 0);
  EXPECT_EQ(first.cells, (std::vector<std::u16string>{u"second.dwg", u"C:\\plans", u"2009/03/07 09:05", u"A3"}));
  EXPECT_EQ(first.image, kImageDwg);
  const Row second = RowAt(store, 1);
  EXPECT_EQ(second.cells, (std::vector<std::u16string>{u"First.DWG", u"C:\\plans", u"2024/12/31 23:59", u"A3"}));
  EXPECT_EQ(second.itemData, 1);

  // The DXF drawings go after the rows already in the list.
  EXPECT_EQ(Scan(u"C:\\plans", DrawingKind::Dxf), 3);
  const Row dxf = RowAt(store, 2);
  EXPECT_EQ(dxf.cells[0], u"site.dxf");
  EXPECT_EQ(dxf.cells[2], u"2000/01/01 00:00");
  EXPECT_EQ(dxf.image, kImageDxf);
  EXPECT_EQ(dxf.itemData, 2);
  EXPECT_EQ(files.ListedPatterns().back(), u"C:\\plans\\*.dxf");
}

TEST_F(FolderScanTest, AddingTheSameFolderTwiceListsEveryDrawingTwice) {
  files.AddFile(u"C:\\plans\\a.dwg", kMarch7);
  files.AddFile(u"C:\\plans\\b.dwg", kMarch7);
  EXPECT_EQ(Scan(u"C:\\plans", DrawingKind::Dwg), 2);
  EXPECT_EQ(Scan(u"C:\\plans", DrawingKind::Dwg), 4);
  EXPECT_EQ(Column(store, 0), (std::vector<std::u16string>{u"a.dwg", u"b.dwg", u"a.dwg", u"b.dwg"}));
}

TEST_F(FolderScanTest, AFolderNamedLikeADrawingIsNoDrawing) {
  files.AddFolder(u"C:\\plans\\old.dwg");
  files.AddFile(u"C:\\plans\\old.dwg\\inside.dwg");
  files.AddFile(u"C:\\plans\\real.dwg", kMarch7);
  EXPECT_EQ(Scan(u"C:\\plans", DrawingKind::Dwg), 1);
  EXPECT_EQ(Column(store, 0), std::vector<std::u16string>{u"real.dwg"});

  // Only such a folder: nothing added, so the window says no drawing was found.
  files.AddFolder(u"C:\\only\\x.dwg");
  EXPECT_EQ(Scan(u"C:\\only", DrawingKind::Dwg), 0);
  EXPECT_EQ(store.RowCount(), 1);
}

TEST_F(FolderScanTest, NothingToAddAnswersZero) {
  files.AddFolder(u"C:\\empty");
  files.AddFile(u"C:\\dxfonly\\a.dxf");
  files.AddFile(u"C:\\locked\\a.dwg");
  files.DenyListing(u"C:\\locked");
  store.InsertRow(0, u"earlier.dwg", kImageDwg, 0);

  for (const char16_t* folder : {u"C:\\empty", u"C:\\dxfonly", u"C:\\missing", u"C:\\locked"}) {
    EXPECT_EQ(Scan(folder, DrawingKind::Dwg), 0) << Utf16ToUtf8(folder);
  }
  EXPECT_EQ(store.RowCount(), 1);
}

TEST(DateTextTest, ReadsYearMonthDayHourMinuteZeroPadded) {
  EXPECT_EQ(FormatDateText(LocalTime{2009, 3, 7, 9, 5}), u"2009/03/07 09:05");
  EXPECT_EQ(FormatDateText(LocalTime{1601, 1, 1, 0, 0}), u"1601/01/01 00:00");
  EXPECT_EQ(FormatDateText(LocalTime{30827, 12, 31, 23, 59}), u"30827/12/31 23:59");
  EXPECT_EQ(FormatDateText(LocalTime{INT_MAX, 1, 2, 3, 4}), u"2147483647/01/02 03:04");
  EXPECT_EQ(FormatDateText(LocalTime{INT_MIN, 0, 0, 0, 0}), u"-2147483648/00/00 00:00");
  EXPECT_EQ(FormatDateText(LocalTime{}), u"0000/00/00 00:00");
}

TEST(DateTextTest, FakeFileTimesSplitIntoCalendarDates) {
  FakeFileSystem files;
  EXPECT_EQ(FormatDateText(files.ToLocalTime(0)), u"1601/01/01 00:00");
  EXPECT_EQ(FormatDateText(files.ToLocalTime(FakeFileSystem::FileTime(2024, 2, 29, 12, 30))), u"2024/02/29 12:30");
  EXPECT_EQ(FormatDateText(files.ToLocalTime(FakeFileSystem::FileTime(1970, 1, 1))), u"1970/01/01 00:00");
  // The last representable file time lies past the year 9999.
  EXPECT_EQ(FormatDateText(files.ToLocalTime(UINT64_MAX)).size(), 17u);
}

// --- Folder trees ----------------------------------------------------------

class FolderTreeTest : public FolderScanTest {
protected:
  std::vector<std::u16string> Collect(std::u16string_view root) { return CollectFolderTree(files, root); }
  int AddTree(std::u16string_view root, DrawingKind kind = DrawingKind::Dwg) {
    return AddFolderTree(files, store, tmpl, root, kind, store.RowCount());
  }
};

TEST_F(FolderTreeTest, WalksBreadthFirstInTheOrderFoldersAreFound) {
  files.AddFile(u"C:\\p\\a\\a1\\deep\\6.dwg");
  files.AddFile(u"C:\\p\\a\\a1\\4.dwg");
  files.AddFile(u"C:\\p\\b\\b1\\5.dwg");
  files.AddFile(u"C:\\p\\b\\3.dwg");
  files.AddFile(u"C:\\p\\a\\2.dwg");
  files.AddFile(u"C:\\p\\1.dwg");
  files.AddFile(u"C:\\p\\a\\a1\\skip.dxf");

  EXPECT_EQ(Collect(u"C:\\p"), (std::vector<std::u16string>{u"C:\\p", u"C:\\p\\a", u"C:\\p\\b", u"C:\\p\\a\\a1",
                                                            u"C:\\p\\b\\b1", u"C:\\p\\a\\a1\\deep"}));
  EXPECT_EQ(AddTree(u"C:\\p"), 6);
  EXPECT_EQ(Column(store, 0), (std::vector<std::u16string>{u"1.dwg", u"2.dwg", u"3.dwg", u"4.dwg", u"5.dwg", u"6.dwg"}));
  EXPECT_EQ(Column(store, 1), (std::vector<std::u16string>{u"C:\\p", u"C:\\p\\a", u"C:\\p\\b", u"C:\\p\\a\\a1",
                                                           u"C:\\p\\b\\b1", u"C:\\p\\a\\a1\\deep"}));
  for (int row = 0; row < store.RowCount(); ++row) EXPECT_EQ(store.ItemData(row), row);
}

TEST_F(FolderTreeTest, CollectsAtMost32FoldersAndScansOnlyThoseItListed) {
  // A chain of 40 folders: listing folder 30 finds the 32nd, and the walk
  // ends there. Folder 31 was found but never listed, so it is not scanned.
  std::u16string path = u"C:\\chain";
  files.AddFile(path + u"\\0.dwg");
  for (int depth = 1; depth <= 40; ++depth) {
    path += u"\\f" + ToU16(std::to_string(depth));
    files.AddFile(path + u"\\" + ToU16(std::to_string(depth)) + u".dwg");
  }
  const std::vector<std::u16string> chain = Collect(u"C:\\chain");
  ASSERT_EQ(chain.size(), 31u);
  EXPECT_EQ(chain.back(), u"C:\\chain\\f1\\f2\\f3\\f4\\f5\\f6\\f7\\f8\\f9\\f10\\f11\\f12\\f13\\f14\\f15\\f16\\f17"
                          u"\\f18\\f19\\f20\\f21\\f22\\f23\\f24\\f25\\f26\\f27\\f28\\f29\\f30");
  EXPECT_EQ(AddTree(u"C:\\chain"), 31);
  EXPECT_EQ(store.CellText(30, 0, 260), u"30.dwg");

  // 40 folders side by side: the enumeration stops at the 32nd folder held,
  // and only the chosen folder itself was listed.
  for (int i = 0; i < 40; ++i) files.AddFile(u"C:\\wide\\s" + ToU16(std::to_string(i)) + u"\\x.dwg");
  files.AddFile(u"C:\\wide\\top.dwg");
  const std::size_t listedBefore = files.ListedPatterns().size();
  EXPECT_EQ(Collect(u"C:\\wide"), std::vector<std::u16string>{u"C:\\wide"});
  EXPECT_EQ(files.ListedPatterns().size(), listedBefore + 1);
}

TEST_F(FolderTreeTest, AFullWorkListEndsTheWalkMidLevel) {
  // 3 folders of 13 each: root, a, b, c are listed; c's listing stops after
  // c1 and c2, so the grandchildren are collected but none is scanned.
  for (const char16_t* top : {u"a", u"b", u"c"}) {
    const std::u16string folder = u"C:\\r\\" + std::u16string(top);
    files.AddFile(folder + u"\\" + top + u".dwg");
    for (int i = 1; i <= 13; ++i) files.AddFile(folder + u"\\" + top + ToU16(std::to_string(i)) + u"\\in.dwg");
  }
  EXPECT_EQ(Collect(u"C:\\r"), (std::vector<std::u16string>{u"C:\\r", u"C:\\r\\a", u"C:\\r\\b", u"C:\\r\\c"}));
  EXPECT_EQ(AddTree(u"C:\\r"), 3);
  EXPECT_EQ(Column(store, 0), (std::vector<std::u16string>{u"a.dwg", u"b.dwg", u"c.dwg"}));
}

TEST_F(FolderTreeTest, SkipsFoldersWithAnyAttributeBesideDirectoryWithTheirSubtrees) {
  files.AddFile(u"C:\\p\\top.dwg");
  files.AddFolder(u"C:\\p\\hidden", kAttributeDirectory | kAttributeHidden);
  files.AddFile(u"C:\\p\\hidden\\h.dwg");
  files.AddFile(u"C:\\p\\hidden\\below\\hb.dwg");
  files.AddFolder(u"C:\\p\\readonly", kAttributeDirectory | kAttributeReadOnly);
  files.AddFile(u"C:\\p\\readonly\\ro.dwg");
  files.AddFolder(u"C:\\p\\archived", kAttributeDirectory | kAttributeArchive);
  files.AddFile(u"C:\\p\\archived\\ar.dwg");
  files.AddFolder(u"C:\\p\\system", kAttributeDirectory | kAttributeSystem);
  files.AddFile(u"C:\\p\\system\\sys.dwg");
  files.AddFile(u"C:\\p\\.git\\dot.dwg");
  files.AddFile(u"C:\\p\\plain\\ok.dwg");
  files.AddFile(u"C:\\p\\file-not-folder.dwg");

  EXPECT_EQ(Collect(u"C:\\p"), (std::vector<std::u16string>{u"C:\\p", u"C:\\p\\plain"}));
  EXPECT_EQ(AddTree(u"C:\\p"), 3);
  EXPECT_EQ(Column(store, 0), (std::vector<std::u16string>{u"top.dwg", u"file-not-folder.dwg", u"ok.dwg"}));
}

TEST_F(FolderTreeTest, FindingNothingAddsNothingAndKeepsTheNextRow) {
  store.InsertRow(0, u"earlier.dwg", kImageDwg, 0);
  files.AddFile(u"C:\\p\\empty\\notes.txt");
  files.AddFile(u"C:\\p\\locked\\x.dwg");
  files.DenyListing(u"C:\\p\\locked");
  EXPECT_EQ(AddTree(u"C:\\p"), 1);
  EXPECT_EQ(AddTree(u"C:\\missing"), 1);
  EXPECT_EQ(store.RowCount(), 1);

  // Folders without drawings between folders with drawings leave no gaps.
  files.AddFile(u"C:\\q\\a\\1.dxf");
  files.AddFile(u"C:\\q\\b\\none.txt");
  files.AddFile(u"C:\\q\\c\\2.dxf");
  EXPECT_EQ(AddTree(u"C:\\q", DrawingKind::Dxf), 3);
  EXPECT_EQ(Column(store, 0), (std::vector<std::u16string>{u"earlier.dwg", u"1.dxf", u"2.dxf"}));
  EXPECT_EQ(store.Image(2), kImageDxf);
}

}  // namespace
