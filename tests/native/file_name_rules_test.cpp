// The rules dialog's model: what it shows and stores, and the papers each
// rule's printer offers when the printer changes.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "drawing_list/file_name_rules.h"
#include "drawing_list/file_name_rules_model.h"
#include "storage/ini_document.h"

using namespace tovrel;

namespace {

using Names = std::vector<std::u16string>;

std::u16string U16(const std::string& s) {
  return std::u16string(s.begin(), s.end());
}

// A catalog as the spooler fill leaves it.
std::unique_ptr<PrinterCatalog> Catalog(const std::vector<std::pair<std::u16string, Names>>& printers) {
  auto catalog = std::make_unique<PrinterCatalog>();
  for (const auto& [name, papers] : printers) {
    PrinterEntry& entry = catalog->entries[static_cast<std::size_t>(catalog->printerCount++)];
    entry.name.Assign(name);
    for (std::size_t i = 0; i < papers.size() && i < kPaperSlotCount; ++i)
      entry.paperNames[i].Assign(papers[i]);
  }
  return catalog;
}

Names Numbered(int count) {
  Names papers;
  for (int i = 0; i < count; ++i) papers.push_back(u"Paper " + U16(std::to_string(i)));
  return papers;
}

UiText Words() {
  UiText text;
  text.Load(IniDocument::Parse(u"[code]\r\nNo.1:code-e=Landscape\r\n"));
  return text;
}

TEST(RulesDialogFields, AGroupOfTwoIsShownTickedAndConvertsOnlyOnceTheDialogStoresIt) {
  FileNameRules rules;
  rules.ps = 2;
  rules.fp_ps[1] = {u"A3", u"Plotter", u"ISO A3"};
  rules.ds = 2;
  rules.search_d2 = u"H";
  rules.chg_on = 7;
  const FileNameRulesFields fields = FieldsFromRules(rules);
  EXPECT_TRUE(fields.paperRulesOn);
  EXPECT_TRUE(fields.orientationOn);
  EXPECT_FALSE(fields.plotAreaOn);
  EXPECT_TRUE(fields.convertWhenAdding);
  EXPECT_EQ(fields.paperRules[1], (PaperRuleFields{u"A3", u"Plotter", u"ISO A3"}));

  MemoryRowStore store(11);
  store.InsertRow(0, u"A3_H.dwg", 1, 0);
  ApplyFileNameRules(store, rules, Words(), 1, 0);
  EXPECT_EQ(store.CellText(0, 5, 128), u"");  // 2 is not yet "on"
  EXPECT_EQ(store.CellText(0, 8, 128), u"");

  StoreFields(fields, rules);  // OK or the close box
  EXPECT_EQ(rules.ps, 1);
  EXPECT_EQ(rules.ds, 1);
  EXPECT_EQ(rules.ss, 0);
  EXPECT_EQ(rules.chg_on, 1);
  ApplyFileNameRules(store, rules, Words(), 1, 0);
  EXPECT_EQ(store.CellText(0, 5, 128), u"Plotter");
  EXPECT_EQ(store.CellText(0, 6, 128), u"ISO A3");
  EXPECT_EQ(store.CellText(0, 8, 128), u"Landscape");
}

TEST(RulesDialogFields, StoringCutsEveryTextToItsFieldAndKeepsSurrogatePairsWhole) {
  FileNameRulesFields fields;
  fields.paperRules[3] = {u"_A1_L(LIM)", std::u16string(130, u'p'), std::u16string(70, u'q')};
  fields.portrait = u"123456789";
  fields.display = u"123456\U0001F5CE";  // the pair would straddle the 7-character limit
  fields.limits = u"\u56F3\u9762\u7BC4\u56F2";
  FileNameRules rules;
  rules.ps = rules.ds = rules.ss = rules.chg_on = 1;
  StoreFields(fields, rules);
  EXPECT_EQ(rules.fp_ps[3].search, u"_A1_L(L");
  EXPECT_EQ(rules.fp_ps[3].printer, std::u16string(127, u'p'));
  EXPECT_EQ(rules.fp_ps[3].paper, std::u16string(63, u'q'));
  EXPECT_EQ(rules.search_d1, u"1234567");
  EXPECT_EQ(rules.search_s3, u"123456");
  EXPECT_EQ(rules.search_s1, u"\u56F3\u9762\u7BC4\u56F2");
  EXPECT_EQ(rules.ps + rules.ds + rules.ss + rules.chg_on, 0);  // unticked boxes store 0
  EXPECT_EQ(FieldsFromRules(rules).paperRules[3].search, u"_A1_L(L");
}

TEST(RulesDialogPapers, ARulesPrinterOffersItsOwnPapersOnlyAndAnUnknownPrinterNone) {
  Names sixtyFive = Numbered(65);
  const auto catalog = Catalog({{u"Tovrel_PDF", {u"A4", u"A3", u"B4 (JIS)"}},
                                {u"Plotter", Numbered(10)},
                                {u"Plotter", sixtyFive},  // the last equal name wins
                                {u"Empty", {}}});
  const struct {
    std::u16string printer;
    Names papers;
  } cases[] = {
      {u"Tovrel_PDF", {u"A4", u"A3", u"B4 (JIS)"}},  // a first paper of two characters lists them all
      {u"Plotter", Names(sixtyFive.begin(), sixtyFive.begin() + 63)},
      {u"tovrel_pdf", {}},  // names are case-sensitive
      {u"DWG To PDF.pc3", {}},
      {u"Empty", {}},
      {u"", {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PapersOfPrinter(*catalog, c.printer), c.papers)
        << std::string(c.printer.begin(), c.printer.end());
  EXPECT_EQ(CatalogPrinterNames(*catalog), (Names{u"Tovrel_PDF", u"Plotter", u"Plotter", u"Empty"}));
}

TEST(RulesDialogPapers, APrinterChangeRefillsItsPapersOnceAndAnUnknownPrinterKeepsThePaperAsTyped) {
  const auto catalog = Catalog({{u"Tovrel_PDF", {u"A4", u"A3"}}, {u"Tovrel_Plotter", {u"A1", u"A0"}}});
  PrinterPaperWatch watch({u"Tovrel_PDF", u"", u"", u""});

  EXPECT_TRUE(watch.Notified());  // the first notification starts the timer
  EXPECT_FALSE(watch.Notified());
  EXPECT_TRUE(watch.TimerPending());
  watch.TimerStopped();
  EXPECT_TRUE(watch.Notified());
  watch.TimerStopped();

  EXPECT_FALSE(watch.Check(0, u"Tovrel_PDF", *catalog));  // unchanged: the papers stay
  auto choices = watch.Check(0, u"Tovrel_Plotter", *catalog);
  ASSERT_TRUE(choices);
  EXPECT_EQ(choices->names, (Names{u"A1", u"A0"}));
  EXPECT_EQ(choices->paper, u"A1");
  EXPECT_FALSE(watch.Check(0, u"Tovrel_Plotter", *catalog));  // seen: a paper typed since is kept

  choices = watch.Check(0, u"DWG To PDF.pc3", *catalog);
  ASSERT_TRUE(choices);
  EXPECT_TRUE(choices->names.empty());
  EXPECT_FALSE(choices->paper);  // as typed
  EXPECT_FALSE(watch.Check(0, u"DWG To PDF.pc3", *catalog));

  // Each rule has its own last printer; a text past 127 characters counts as cut.
  choices = watch.Check(1, u"Tovrel_PDF", *catalog);
  ASSERT_TRUE(choices);
  EXPECT_EQ(choices->paper, u"A4");
  const std::u16string longName(200, u'x');
  EXPECT_TRUE(watch.Check(2, longName, *catalog));
  EXPECT_FALSE(watch.Check(2, longName.substr(0, 127), *catalog));
  EXPECT_FALSE(watch.Check(4, u"Tovrel_PDF", *catalog));  // no such rule
}

}  // namespace
