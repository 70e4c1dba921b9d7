// List files (what a saved list gives back when loaded again), and the
// conversion that fills cells from marks in the file names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drawing_list/file_name_rules.h"
#include "drawing_list/row_insertion.h"
#include "storage/decimal_text.h"
#include "storage/ini_document.h"
#include "drawing_list/list_file.h"

using namespace tovrel;

namespace {

using Texts = std::vector<std::u16string>;

MemoryRowStore Rows(int columns, int count, std::u16string_view stem = u"r") {
  MemoryRowStore store(columns);
  for (int row = 0; row < count; ++row) store.InsertRow(row, std::u16string(stem) + DecimalText(row) + u".dwg", 1, row);
  return store;
}

// Saves into a document and reads the file back from its text, as a save at
// exit and a load at the next start do.
IniDocument SaveAndReread(const RowStore& store, IniDocument file = IniDocument()) {
  SaveList(store, file);
  return IniDocument::Parse(file.ToText());
}

Texts Column(const RowStore& store, int column) {
  Texts texts;
  for (int row = 0; row < store.RowCount(); ++row) texts.push_back(store.CellText(row, column, 260));
  return texts;
}

std::u16string RowCountOf(const IniDocument& file) { return file.GetString(kListSection, u"max_cont", u"", 16); }

TEST(ListFile, RoundTripKeepsTextsByColumnPosition) {
  MemoryRowStore saved(12);
  saved.InsertRow(0, u"図面-A1.dwg", kImageDwg, 0);
  saved.InsertRow(1, u"plan.DXF", kImageDxf, 1);
  saved.SetCellText(0, 1, u"c:\\図面");
  saved.SetCellText(0, 5, u"HP LaserJet");
  saved.SetCellText(1, 11, u"last column");
  const IniDocument file = SaveAndReread(saved);
  EXPECT_EQ(RowCountOf(file), u"2");
  MemoryRowStore loaded = Rows(12, 1, u"kept");  // loading appends
  LoadList(file, loaded);
  ASSERT_EQ(loaded.RowCount(), 3);
  for (int row = 0; row < 2; ++row) {
    for (int column = 0; column < 12; ++column) {
      EXPECT_EQ(loaded.CellText(row + 1, column, 260), saved.CellText(row, column, 260)) << row << "," << column;
    }
  }
  EXPECT_EQ(loaded.ItemData(2), 2);
  EXPECT_EQ(loaded.Image(1), kImageDwg);
  EXPECT_EQ(loaded.Image(2), kImageDxf);

  MemoryRowStore narrow(2);  // a template with fewer columns: texts land by position
  LoadList(file, narrow);
  EXPECT_EQ(narrow.CellText(0, 1, 260), u"c:\\図面");
  EXPECT_EQ(narrow.CellText(0, 5, 260), u"");
}

TEST(ListFile, RowsKeepEveryColumnOfTheListAndLongCellsAreLoadedCutTo259) {
  const IniDocument few = SaveAndReread(Rows(3, 1));
  EXPECT_TRUE(few.HasKey(kListSection, u"0,31"));  // written empty, as older lists are
  EXPECT_FALSE(few.HasKey(kListSection, u"0,32"));

  MemoryRowStore wide = Rows(50, 1);
  wide.SetCellText(0, 0, std::u16string(600, u'n'));
  wide.SetCellText(0, 1, std::u16string(300, u'p'));
  wide.SetCellText(0, 31, u"kept");
  wide.SetCellText(0, 35, u"kept too");
  wide.SetCellText(0, 49, u"last");
  const IniDocument file = SaveAndReread(wide);
  EXPECT_FALSE(file.HasKey(kListSection, u"0,50"));
  EXPECT_EQ(file.GetString(kListSection, u"0,0", u"", 1000).size(), 511u);
  EXPECT_EQ(file.GetString(kListSection, u"0,1", u"", 1000).size(), 300u);  // saved whole
  MemoryRowStore loaded(50);
  LoadList(file, loaded);
  EXPECT_EQ(loaded.CellText(0, 0, 1000), std::u16string(259, u'n'));
  EXPECT_EQ(loaded.CellText(0, 1, 1000), std::u16string(259, u'p'));
  EXPECT_EQ(loaded.CellText(0, 31, 260), u"kept");
  EXPECT_EQ(loaded.CellText(0, 35, 260), u"kept too");
  EXPECT_EQ(loaded.CellText(0, 49, 260), u"last");
}

TEST(ListFile, AShorterListSavedOverALongerOneLeavesStaleRowsThatAreNotRead) {
  IniDocument file = SaveAndReread(Rows(4, 10, u"old"));
  file = SaveAndReread(Rows(4, 3, u"new"), std::move(file));
  EXPECT_EQ(RowCountOf(file), u"3");
  EXPECT_TRUE(file.HasKey(kListSection, u"9,0"));
  MemoryRowStore loaded(4);
  LoadList(file, loaded);
  EXPECT_EQ(loaded.RowCount(), 3);
  EXPECT_EQ(RowCountOf(SaveAndReread(MemoryRowStore(5))), u"0");
}

TEST(ListFile, MissingFilesAndRowCountsLoadNothing) {
  for (const char16_t* text : {u"", u"[listliew]\r\n0,0=a.dwg\r\n", u"[listliew]\r\nmax_cont=0\r\n0,0=a.dwg\r\n",
                               u"[listliew]\r\nmax_cont=-3\r\n0,0=a.dwg\r\n", u"[other]\r\nmax_cont=2\r\n"}) {
    MemoryRowStore store(3);
    LoadList(IniDocument::Parse(text), store);
    EXPECT_EQ(store.RowCount(), 0);
  }
  MemoryRowStore store(3);  // missing cell keys read as empty texts
  LoadList(IniDocument::Parse(u"[listliew]\r\nmax_cont=3\r\n0,0=a.dwg\r\n1,2=only\r\n"), store);
  ASSERT_EQ(store.RowCount(), 2);  // row 2 has no key at all: the file ends there
  EXPECT_EQ(store.CellText(1, 2, 260), u"only");
}

TEST(ListFile, AHugeRowCountStopsAtTheRowsTheFileHolds) {
  MemoryRowStore store(3);
  LoadList(IniDocument::Parse(u"[listliew]\r\nmax_cont=2000000000\r\n0,0=a.dwg\r\n1,0=b.dwg\r\n"), store);
  EXPECT_EQ(store.RowCount(), 2);
}

TEST(ListFile, ImageComesFromTheExactEndingOfTheName) {
  const std::pair<const char16_t*, int> cases[] = {
      {u"a.dwg", kImageDwg}, {u"a.DWG", kImageDwg}, {u"a.Dwg", kImageDwg}, {u"dwg", kImageDwg},
      {u"a.dWg", kImageDxf}, {u"a.DWg", kImageDxf}, {u"a.dxf", kImageDxf}, {u"wg", kImageDxf},
      {u"", kImageDxf},      {u"notes.txt", kImageDxf}};
  std::u16string text = u"[listliew]\r\nmax_cont=10\r\n";
  for (int row = 0; row < 10; ++row) text += DecimalText(row) + u",0=" + cases[row].first + u"\r\n";
  MemoryRowStore store(1);
  LoadList(IniDocument::Parse(text), store);
  ASSERT_EQ(store.RowCount(), 10);
  for (int row = 0; row < 10; ++row) EXPECT_EQ(store.Image(row), cases[row].second) << row;
}

TEST(ListFile, SaveCommandGivesOnlyANameWithoutExtensionTheIniExtension) {
  EXPECT_EQ(WithIniExtension(u"a"), u"a.ini");
  EXPECT_EQ(WithIniExtension(u"site.v2.ini"), u"site.v2.ini");  // never "site.ini"
  EXPECT_EQ(WithIniExtension(u"x.tar.gz"), u"x.tar.gz");
  EXPECT_EQ(WithIniExtension(u"c:\\my.folder\\list"), u"c:\\my.folder\\list.ini");
  EXPECT_EQ(WithIniExtension(u"list."), u"list.ini");
  EXPECT_EQ(WithIniExtension(u"C:\\図面\\一覧.ini"), u"C:\\図面\\一覧.ini");
}

// --- Conversion by file name ---------------------------------------------------

constexpr std::int32_t kEnglish = 1;

UiText Catalog() {
  UiText text;
  text.Load(IniDocument::Parse(u"[code]\r\nNo.0:code-e=Portrait\r\nNo.1:code-e=Landscape\r\nNo.2:code-e=Limits\r\n"
                               u"No.3:code-e=Extents\r\nNo.1:code-j=横\r\n"));
  return text;
}

MemoryRowStore Files(std::initializer_list<std::u16string_view> names, int columns = 11) {
  MemoryRowStore store(columns);
  for (const auto name : names) store.InsertRow(store.RowCount(), name, 1, store.RowCount());
  return store;
}

FileNameRules PaperRules() {
  FileNameRules rules;
  rules.ps = 1;
  rules.fp_ps[0] = {u"A3", u"Plotter", u"ISO A3"};
  rules.fp_ps[1] = {u"", u"Never", u"Never"};  // an empty search matches nothing
  rules.fp_ps[2] = {u"-3", u"Laser", u"A3 Laser"};
  rules.fp_ps[3] = {u"A1", u"Big", u"ISO A1"};
  return rules;
}

TEST(FileNameRules, TheLastMatchingPaperRuleWinsWithinThe127FirstCharacters) {
  MemoryRowStore store = Files({u"A3-3.dwg", u"A3.dwg", u"a3-plan.dwg", u"A1-A3.dwg", std::u16string(126, u'x') + u"A3",
                                std::u16string(125, u'x') + u"A3"});
  store.SetCellText(2, 5, u"unchanged");
  ApplyFileNameRules(store, PaperRules(), Catalog(), kEnglish, 0);
  EXPECT_EQ(Column(store, 5), (Texts{u"Laser", u"Plotter", u"unchanged", u"Big", u"", u"Plotter"}));
  EXPECT_EQ(store.CellText(0, 6, 260), u"A3 Laser");
  EXPECT_EQ(store.CellText(1, 6, 260), u"ISO A3");
}

TEST(FileNameRules, OrientationAndPlotAreaWriteTheCodeTextsLandscapeOverPortrait) {
  FileNameRules rules;
  rules.ds = 1;
  rules.search_d1 = u"V";
  rules.search_d2 = u"H";
  rules.ss = 1;
  rules.search_s1 = u"_L";
  rules.search_s2 = u"_E";
  rules.search_s3 = u"";
  MemoryRowStore store = Files({u"V-H_E_L.dwg", u"V_L.dwg", u"plain.dwg"});
  ApplyFileNameRules(store, rules, Catalog(), kEnglish, 0);
  EXPECT_EQ(Column(store, 8), (Texts{u"Landscape", u"Portrait", u""}));
  EXPECT_EQ(Column(store, 10), (Texts{u"Extents", u"Limits", u""}));  // empty s3 never matches

  MemoryRowStore japanese = Files({u"H.dwg"});
  ApplyFileNameRules(japanese, rules, Catalog(), 0, 0);
  EXPECT_EQ(japanese.CellText(0, 8, 260), u"横");
}

TEST(FileNameRules, AGroupWorksOnlyWhenItsFlagIsOne) {
  FileNameRules rules = PaperRules();
  rules.ps = 2;  // ticked in the dialog, but not a confirmed 1
  rules.search_d1 = u"A";
  rules.ss = 3;
  rules.search_s1 = u"A";
  MemoryRowStore store = Files({u"A3.dwg"});
  ApplyFileNameRules(store, rules, Catalog(), kEnglish, 0);
  for (int column : {5, 6, 8, 10}) EXPECT_EQ(store.CellText(0, column, 260), u"") << column;
}

TEST(FileNameRules, OnlyRowsFromFirstRowAndColumnsTheListHasAreWritten) {
  FileNameRules rules = PaperRules();
  rules.ds = 1;
  rules.search_d1 = u"A";
  MemoryRowStore store = Files({u"A3-old.dwg", u"A3-new.dwg"}, 7);  // no orientation column
  ApplyFileNameRules(store, rules, Catalog(), kEnglish, 1);
  EXPECT_EQ(Column(store, 5), (Texts{u"", u"Plotter"}));
  store.SetColumnCount(11);
  EXPECT_EQ(store.CellText(1, 8, 260), u"");
  ApplyFileNameRules(store, rules, Catalog(), kEnglish, 2);  // past the last row: nothing happens
}

}  // namespace
