// List files: what a saved list gives back when it is loaded again.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "drawing_list/row_insertion.h"
#include "storage/decimal_text.h"
#include "storage/ini_document.h"
#include "storage/list_file.h"

using namespace tovrel;

namespace {

MemoryRowStore Rows(int columns, int count, std::u16string_view stem = u"r") {
  MemoryRowStore store(columns);
  for (int row = 0; row < count; ++row) {
    store.InsertRow(row, std::u16string(stem) + std::u16string(1, static_cast<char16_t>(u'0' + row)) + u".dwg",
                    kImageDwg, row);
  }
  return store;
}

// Saves into a document and reads the file back from its text, as a save
// at exit and a load at the next start do.
IniDocument SaveAndReread(const RowStore& store, IniDocument file = IniDocument()) {
  SaveList(store, file);
  return IniDocument::Parse(file.ToText());
}

}  // namespace

TEST(ListFile, RoundTripKeepsTextsByColumnPosition) {
  MemoryRowStore saved(12);
  saved.InsertRow(0, u"図面-A1.dwg", kImageDwg, 0);
  saved.InsertRow(1, u"plan.DXF", kImageDxf, 1);
  saved.InsertRow(2, u"x", kImageDwg, 2);
  saved.SetCellText(0, 1, u"c:\\図面");
  saved.SetCellText(0, 5, u"HP LaserJet");
  saved.SetCellText(1, 11, u"last column");

  const IniDocument file = SaveAndReread(saved);
  EXPECT_EQ(file.GetString(kListSection, u"max_cont", u"", 16), u"3");
  MemoryRowStore loaded(12);
  LoadList(file, loaded);
  ASSERT_EQ(loaded.RowCount(), 3);
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 12; ++column) {
      EXPECT_EQ(loaded.CellText(row, column, 260), saved.CellText(row, column, 260)) << row << "," << column;
    }
    EXPECT_EQ(loaded.ItemData(row), row);
  }
  EXPECT_EQ(loaded.Image(0), kImageDwg);
  EXPECT_EQ(loaded.Image(1), kImageDxf);

  // Loaded under a template with fewer columns, texts land by position and
  // the columns it lacks are dropped.
  MemoryRowStore narrow(2);
  LoadList(file, narrow);
  EXPECT_EQ(narrow.CellText(0, 1, 260), u"c:\\図面");
  EXPECT_EQ(narrow.CellText(0, 5, 260), u"");
}

TEST(ListFile, EveryRowHasThirtyTwoKeysWhateverTheColumnCount) {
  const IniDocument few = SaveAndReread(Rows(3, 1));
  EXPECT_TRUE(few.HasKey(kListSection, u"0,31"));  // written empty
  EXPECT_FALSE(few.HasKey(kListSection, u"0,32"));

  MemoryRowStore wide = Rows(40, 1);
  wide.SetCellText(0, 31, u"kept");
  wide.SetCellText(0, 35, u"lost");
  const IniDocument file = SaveAndReread(wide);
  EXPECT_FALSE(file.HasKey(kListSection, u"0,35"));
  MemoryRowStore loaded(40);
  LoadList(file, loaded);
  EXPECT_EQ(loaded.CellText(0, 31, 260), u"kept");
  EXPECT_EQ(loaded.CellText(0, 35, 260), u"");

  const IniDocument empty = SaveAndReread(MemoryRowStore(5));
  EXPECT_EQ(empty.GetString(kListSection, u"max_cont", u"", 16), u"0");
  EXPECT_FALSE(empty.HasKey(kListSection, u"0,0"));
}

TEST(ListFile, AShorterListSavedOverALongerOneLeavesStaleKeysThatAreNotRead) {
  IniDocument file = SaveAndReread(Rows(4, 10, u"old"));
  file = SaveAndReread(Rows(4, 3, u"new"), std::move(file));
  EXPECT_EQ(file.GetString(kListSection, u"max_cont", u"", 16), u"3");
  for (int row = 3; row <= 9; ++row) {
    EXPECT_TRUE(file.HasKey(kListSection, DecimalText(row) + u",0"));
  }
  MemoryRowStore loaded(4);
  LoadList(file, loaded);
  ASSERT_EQ(loaded.RowCount(), 3);
  EXPECT_EQ(loaded.CellText(2, 0, 260), u"new2.dwg");
}

TEST(ListFile, LongCellsAreSavedWholeAndLoadedCut) {
  MemoryRowStore saved = Rows(2, 1);
  saved.SetCellText(0, 1, std::u16string(300, u'p'));
  saved.SetCellText(0, 0, std::u16string(600, u'n'));
  const IniDocument file = SaveAndReread(saved);
  EXPECT_EQ(file.GetString(kListSection, u"0,1", u"", 1000).size(), 300u);
  EXPECT_EQ(file.GetString(kListSection, u"0,0", u"", 1000).size(), 511u);
  MemoryRowStore loaded(2);
  LoadList(file, loaded);
  EXPECT_EQ(loaded.CellText(0, 1, 1000), std::u16string(259, u'p'));
  EXPECT_EQ(loaded.CellText(0, 0, 1000), std::u16string(259, u'n'));
}

TEST(ListFile, FilesWithoutRowsLoadNothing) {
  const char16_t* const files[] = {
      u"",                                          // missing or empty file
      u"[listliew]\r\n0,0=a.dwg\r\n",               // no max_cont
      u"[listliew]\r\nmax_cont=0\r\n0,0=a.dwg\r\n",
      u"[listliew]\r\nmax_cont=-3\r\n0,0=a.dwg\r\n",
      u"[other]\r\nmax_cont=2\r\n",
  };
  for (const char16_t* text : files) {
    MemoryRowStore store(3);
    LoadList(IniDocument::Parse(text), store);
    EXPECT_EQ(store.RowCount(), 0);
  }

  // Missing cell keys read as empty texts; the rows are still there.
  MemoryRowStore store(3);
  LoadList(IniDocument::Parse(u"[listliew]\r\nmax_cont=2\r\n1,2=only\r\n"), store);
  ASSERT_EQ(store.RowCount(), 2);
  EXPECT_EQ(store.CellText(0, 0, 260), u"");
  EXPECT_EQ(store.CellText(1, 2, 260), u"only");
}

TEST(ListFile, ImageComesFromTheExactEndingOfTheName) {
  const struct {
    const char16_t* name;
    int image;
  } cases[] = {{u"a.dwg", kImageDwg}, {u"a.DWG", kImageDwg}, {u"a.Dwg", kImageDwg},
               {u"a.dWg", kImageDxf}, {u"a.DWg", kImageDxf}, {u"a.dxf", kImageDxf},
               {u"a.Dxf", kImageDxf}, {u"dwg", kImageDwg},   {u"wg", kImageDxf},
               {u"", kImageDxf},      {u"notes.txt", kImageDxf}};
  std::u16string text = u"[listliew]\r\nmax_cont=11\r\n";
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    text += DecimalText(static_cast<std::int32_t>(row)) + u",0=" + cases[row].name + u"\r\n";
  }
  MemoryRowStore store(1);
  LoadList(IniDocument::Parse(text), store);
  ASSERT_EQ(store.RowCount(), 11);
  for (int row = 0; row < 11; ++row) {
    EXPECT_EQ(store.Image(row), cases[row].image) << row;
  }
}

TEST(ListFile, LoadingAppendsAfterExistingRows) {
  MemoryRowStore store = Rows(2, 2, u"kept");
  LoadList(SaveAndReread(Rows(2, 1, u"file")), store);
  ASSERT_EQ(store.RowCount(), 3);
  EXPECT_EQ(store.CellText(0, 0, 260), u"kept0.dwg");
  EXPECT_EQ(store.CellText(2, 0, 260), u"file0.dwg");
  EXPECT_EQ(store.ItemData(2), 2);
}

TEST(ListFile, SaveCommandGivesTheChosenNameTheIniExtension) {
  EXPECT_EQ(WithIniExtension(u"a"), u"a.ini");
  EXPECT_EQ(WithIniExtension(u"a.ini"), u"a.ini");
  EXPECT_EQ(WithIniExtension(u"a.txt"), u"a.ini");
  EXPECT_EQ(WithIniExtension(u"x.tar.gz"), u"x.ini");  // from the first dot of the name
  EXPECT_EQ(WithIniExtension(u"c:\\my.folder\\list"), u"c:\\my.folder\\list.ini");
  EXPECT_EQ(WithIniExtension(u"c:\\my.folder\\list.v2.lst"), u"c:\\my.folder\\list.ini");
  EXPECT_EQ(WithIniExtension(u"c:\\lists\\"), u"c:\\lists\\.ini");
  EXPECT_EQ(WithIniExtension(u"C:\\図面\\一覧.ini"), u"C:\\図面\\一覧.ini");
}
