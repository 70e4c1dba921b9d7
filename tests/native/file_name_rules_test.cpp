// Conversion by file name: which cells the marks in a file name fill.
#include <gtest/gtest.h>

#include <string>

#include "drawing_list/file_name_rules.h"
#include "storage/ini_document.h"

using namespace tovrel;

namespace {

constexpr std::int32_t kEnglish = 1;

UiText Catalog() {
  UiText text;
  text.Load(IniDocument::Parse(
      u"[code]\r\nNo.0:code-e=Portrait\r\nNo.1:code-e=Landscape\r\nNo.2:code-e=Limits\r\n"
      u"No.3:code-e=Extents\r\nNo.4:code-e=Display\r\nNo.1:code-j=横\r\n"));
  return text;
}

MemoryRowStore Files(std::initializer_list<std::u16string_view> names, int columns = 11) {
  MemoryRowStore store(columns);
  int row = 0;
  for (const auto name : names) {
    store.InsertRow(row, name, 1, row);
    ++row;
  }
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

}  // namespace

TEST(FileNameRules, TheLastMatchingPaperRuleWins) {
  MemoryRowStore store = Files({u"A3-3.dwg", u"A3.dwg", u"a3-plan.dwg", u"A1-A3.dwg"});
  store.SetCellText(2, 5, u"unchanged");
  ApplyFileNameRules(store, PaperRules(), Catalog(), kEnglish, 0);
  EXPECT_EQ(store.CellText(0, 5, 260), u"Laser");
  EXPECT_EQ(store.CellText(0, 6, 260), u"A3 Laser");
  EXPECT_EQ(store.CellText(1, 5, 260), u"Plotter");
  EXPECT_EQ(store.CellText(1, 6, 260), u"ISO A3");
  EXPECT_EQ(store.CellText(2, 5, 260), u"unchanged");  // case-sensitive: no match
  EXPECT_EQ(store.CellText(3, 5, 260), u"Big");
}

TEST(FileNameRules, OrientationAndPlotAreaWriteTheCodeTextsOfTheLanguage) {
  FileNameRules rules;
  rules.ds = 1;
  rules.search_d1 = u"V";
  rules.search_d2 = u"H";
  rules.ss = 1;
  rules.search_s1 = u"_L";
  rules.search_s2 = u"_E";
  rules.search_s3 = u"";
  MemoryRowStore store = Files({u"V-H_E_L.dwg", u"V_L.dwg", u"plain.dwg"});
  const UiText text = Catalog();
  ApplyFileNameRules(store, rules, text, kEnglish, 0);
  EXPECT_EQ(store.CellText(0, 8, 260), u"Landscape");  // both marks: landscape wins
  EXPECT_EQ(store.CellText(0, 10, 260), u"Extents");   // s2 is tested after s1
  EXPECT_EQ(store.CellText(1, 8, 260), u"Portrait");
  EXPECT_EQ(store.CellText(1, 10, 260), u"Limits");
  EXPECT_EQ(store.CellText(2, 8, 260), u"");
  EXPECT_EQ(store.CellText(2, 10, 260), u"");  // empty s3 never matches

  MemoryRowStore japanese = Files({u"H.dwg"});
  ApplyFileNameRules(japanese, rules, text, 0, 0);
  EXPECT_EQ(japanese.CellText(0, 8, 260), u"横");
}

TEST(FileNameRules, AGroupWorksOnlyWhenItsFlagIsOne) {
  FileNameRules rules = PaperRules();
  rules.ps = 2;  // ticked in the dialog, but not a confirmed 1
  rules.ds = 0;
  rules.search_d1 = u"A";
  rules.ss = 3;
  rules.search_s1 = u"A";
  MemoryRowStore store = Files({u"A3.dwg"});
  ApplyFileNameRules(store, rules, Catalog(), kEnglish, 0);
  for (int column : {5, 6, 8, 10}) EXPECT_EQ(store.CellText(0, column, 260), u"") << column;
}

TEST(FileNameRules, OnlyRowsFromTheFirstRowAreConverted) {
  MemoryRowStore store = Files({u"A3-old.dwg", u"A3-old2.dwg", u"A3-new.dwg"});
  ApplyFileNameRules(store, PaperRules(), Catalog(), kEnglish, 2);
  EXPECT_EQ(store.CellText(0, 5, 260), u"");
  EXPECT_EQ(store.CellText(1, 5, 260), u"");
  EXPECT_EQ(store.CellText(2, 5, 260), u"Plotter");
  ApplyFileNameRules(store, PaperRules(), Catalog(), kEnglish, 3);  // no rows: nothing happens
}

TEST(FileNameRules, OnlyTheFirst127CharactersOfTheNameAreSearched) {
  MemoryRowStore store = Files({std::u16string(126, u'x') + u"A3", std::u16string(125, u'x') + u"A3"});
  ApplyFileNameRules(store, PaperRules(), Catalog(), kEnglish, 0);
  EXPECT_EQ(store.CellText(0, 5, 260), u"");
  EXPECT_EQ(store.CellText(1, 5, 260), u"Plotter");
}

TEST(FileNameRules, ColumnsTheListLacksAreNotWritten) {
  FileNameRules rules = PaperRules();
  rules.ds = 1;
  rules.search_d1 = u"A";
  MemoryRowStore store = Files({u"A3.dwg"}, 7);  // printer and paper, no orientation column
  ApplyFileNameRules(store, rules, Catalog(), kEnglish, 0);
  EXPECT_EQ(store.CellText(0, 5, 260), u"Plotter");
  EXPECT_EQ(store.CellText(0, 6, 260), u"ISO A3");
  store.SetColumnCount(11);
  EXPECT_EQ(store.CellText(0, 8, 260), u"");
}
