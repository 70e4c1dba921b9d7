// The printer catalog over a spooler in memory: limits of 30 printers and 63
// papers, the marker texts, the prohibited printers, the A/B paper filter,
// the catalog's messages and the lookups by name; and the listing's table.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "printers/printer_catalog.h"
#include "printers/printer_listing.h"
#include "storage/app_settings.h"

using namespace tovrel;

namespace {

struct FakePrinter {
  std::u16string name;
  std::vector<std::u16string> papers;
  int firstCount = INT_MIN;   // what the count query answers; the number of papers when INT_MIN
  int secondCount = INT_MIN;  // what the query with the buffer answers; likewise
};

class FakeSpooler final : public Spooler {
public:
  std::vector<FakePrinter> printers;
  bool failEnumeration = false;
  std::vector<std::u16string> paperQueries;  // printer names, in the order asked

  FakePrinter& Add(std::u16string name, std::vector<std::u16string> papers = {u"A4"}) {
    printers.push_back({std::move(name), std::move(papers)});
    return printers.back();
  }

  bool EnumeratePrinters(std::vector<SpoolerPrinter>& out) override {
    out.clear();
    if (failEnumeration) return false;
    for (std::size_t i = 0; i < printers.size(); ++i) {
      out.push_back({printers[i].name, u"PORT" + std::u16string(1, static_cast<char16_t>(u'0' + i % 10))});
    }
    return true;
  }

  int PaperNameCount(std::u16string_view printer, std::u16string_view port) override {
    const FakePrinter& p = Find(printer, port);
    paperQueries.emplace_back(printer);
    return p.firstCount != INT_MIN ? p.firstCount : static_cast<int>(p.papers.size());
  }

  int PaperNames(std::u16string_view printer, std::u16string_view port, char16_t* buffer,
                 std::size_t capacity) override {
    const FakePrinter& p = Find(printer, port);
    const int answer = p.secondCount != INT_MIN ? p.secondCount : static_cast<int>(p.papers.size());
    // As the Win32 spooler does: nothing is written that would not fit.
    if (p.papers.size() * kDriverPaperNameUnits > capacity) return answer;
    for (std::size_t i = 0; i < p.papers.size(); ++i) {
      char16_t* cell = buffer + i * kDriverPaperNameUnits;
      const std::size_t n = std::min(p.papers[i].size(), kDriverPaperNameUnits);
      p.papers[i].copy(cell, n);
      if (n < kDriverPaperNameUnits) cell[n] = u'\0';
    }
    return answer;
  }

private:
  const FakePrinter& Find(std::u16string_view name, std::u16string_view port) const {
    for (std::size_t i = 0; i < printers.size(); ++i) {
      const std::u16string expectedPort = u"PORT" + std::u16string(1, static_cast<char16_t>(u'0' + i % 10));
      if (printers[i].name == name && expectedPort == port) return printers[i];
    }
    ADD_FAILURE() << "papers asked for an unknown printer or with the wrong port";
    static const FakePrinter none;
    return none;
  }
};

std::vector<std::u16string> Papers(std::initializer_list<const char16_t*> names) {
  return std::vector<std::u16string>(names.begin(), names.end());
}

std::vector<std::u16string> NumberedPapers(int count) {
  std::vector<std::u16string> papers;
  for (int i = 0; i < count; ++i) {
    const std::string digits = std::to_string(i);
    papers.push_back(u"Paper " + std::u16string(digits.begin(), digits.end()));
  }
  return papers;
}

class Catalog : public ::testing::Test {
protected:
  // The catalog is a fixed table of some 290 KB: it lives on the heap here,
  // as it lives in static storage in the program.
  std::unique_ptr<PrinterCatalog> catalog_ = std::make_unique<PrinterCatalog>();
  FakeSpooler spooler_;
  AppSettings settings_;
  std::vector<int> messages_;

  void Fill() {
    FillCatalog(*catalog_, spooler_, settings_, [this](int message) { messages_.push_back(message); });
  }
  std::u16string Name(int i) const { return catalog_->entries[static_cast<std::size_t>(i)].name.Str(); }
  std::u16string Paper(int i, int k) const {
    return catalog_->entries[static_cast<std::size_t>(i)].paperNames[static_cast<std::size_t>(k)].Str();
  }
  // The paper slots of one printer up to the first empty one.
  std::vector<std::u16string> PapersOf(int i) const {
    std::vector<std::u16string> out;
    for (int k = 0; k < static_cast<int>(kPaperSlotCount) && !Paper(i, k).empty(); ++k) out.push_back(Paper(i, k));
    return out;
  }
};

TEST_F(Catalog, NoPrintersGivesAnEmptyLoadedCatalogWithoutMessages) {
  Fill();
  EXPECT_EQ(catalog_->printerCount, 0);
  EXPECT_TRUE(catalog_->catalogLoaded);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(Catalog, KeepsPrintersAndPapersInSpoolerAndDriverOrder) {
  spooler_.Add(u"Zeta", Papers({u"Letter", u"A4", u"A4", u"Legal"}));
  spooler_.Add(u"Alpha", Papers({u"A3"}));
  Fill();
  ASSERT_EQ(catalog_->printerCount, 2);
  EXPECT_EQ(Name(0), u"Zeta");
  EXPECT_EQ(Name(1), u"Alpha");
  // Not sorted, duplicates kept.
  EXPECT_EQ(PapersOf(0), Papers({u"Letter", u"A4", u"A4", u"Legal"}));
  EXPECT_EQ(PapersOf(1), Papers({u"A3"}));
  EXPECT_TRUE(messages_.empty());
  EXPECT_TRUE(catalog_->catalogLoaded);
}

TEST_F(Catalog, ThirtyOnePrintersFillThirtyEntriesButAllReachTheCombo) {
  for (int i = 0; i < 31; ++i) spooler_.Add(u"P" + std::u16string(1, static_cast<char16_t>(u'A' + i)));
  Fill();
  EXPECT_EQ(catalog_->printerCount, 30);
  EXPECT_EQ(Name(29), u"P" + std::u16string(1, static_cast<char16_t>(u'A' + 29)));
  EXPECT_TRUE(Name(30).empty());
  EXPECT_TRUE(Name(31).empty());
  EXPECT_TRUE(Paper(30, 0).empty());
  EXPECT_EQ(spooler_.paperQueries.size(), 30u);  // the 31st driver is never asked

  std::vector<std::u16string> combo;
  catalog_->printerCount = 3;
  AddPrinterNames(
      *catalog_, spooler_, [&](std::u16string_view name) { combo.emplace_back(name); },
      [this](int message) { messages_.push_back(message); });
  ASSERT_EQ(combo.size(), 31u);
  EXPECT_EQ(combo[30], u"P" + std::u16string(1, static_cast<char16_t>(u'A' + 30)));
  EXPECT_EQ(catalog_->printerCount, 30);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(Catalog, ComboListingSetsTheCountOnlyAndReportsAFailedEnumeration) {
  spooler_.Add(u"One");
  spooler_.Add(u"Two");
  std::vector<std::u16string> combo;
  const auto add = [&](std::u16string_view name) { combo.emplace_back(name); };
  const auto notify = [this](int message) { messages_.push_back(message); };
  AddPrinterNames(*catalog_, spooler_, add, notify);
  EXPECT_EQ(combo, Papers({u"One", u"Two"}));
  EXPECT_EQ(catalog_->printerCount, 2);
  EXPECT_FALSE(catalog_->catalogLoaded);
  EXPECT_TRUE(Name(0).empty());  // entries untouched

  combo.clear();
  spooler_.failEnumeration = true;
  AddPrinterNames(*catalog_, spooler_, add, notify);
  EXPECT_TRUE(combo.empty());
  EXPECT_EQ(messages_, std::vector<int>{28});
  EXPECT_EQ(catalog_->printerCount, 2);
}

TEST_F(Catalog, AnOverlongPrinterNameLeavesTheNameEmptyButFillsThePapers) {
  const std::u16string longest(127, u'n');
  const std::u16string tooLong(128, u'x');
  spooler_.Add(longest, Papers({u"A4"}));
  spooler_.Add(tooLong, Papers({u"A3", u"A2"}));
  spooler_.Add(u"After", Papers({u"B5"}));
  Fill();
  ASSERT_EQ(catalog_->printerCount, 3);
  EXPECT_EQ(Name(0), longest);
  EXPECT_TRUE(Name(1).empty());
  EXPECT_EQ(PapersOf(1), Papers({u"A3", u"A2"}));  // asked with the full name
  EXPECT_EQ(Name(2), u"After");
  EXPECT_TRUE(messages_.empty());
}

TEST_F(Catalog, SeventyPapersKeepTheFirstSixtyThreeAfterOneMessage) {
  spooler_.Add(u"Plotter", NumberedPapers(70));
  Fill();
  EXPECT_EQ(messages_, std::vector<int>{25});
  const std::vector<std::u16string> kept = PapersOf(0);
  ASSERT_EQ(kept.size(), 63u);
  EXPECT_EQ(kept.front(), u"Paper 0");
  EXPECT_EQ(kept.back(), u"Paper 62");
  EXPECT_TRUE(Paper(0, 63).empty());
}

TEST_F(Catalog, ExactlySixtyThreePapersAlsoShowTheMessageButSixtyTwoDoNot) {
  spooler_.Add(u"Full", NumberedPapers(63));
  spooler_.Add(u"Nearly", NumberedPapers(62));
  Fill();
  EXPECT_EQ(messages_, std::vector<int>{25});
  EXPECT_EQ(PapersOf(0).size(), 63u);
  EXPECT_EQ(PapersOf(1).size(), 62u);
}

TEST_F(Catalog, PaperNamesAreCutToSixtyThreeCharacters) {
  spooler_.Add(u"Wide", {std::u16string(64, u'w'), std::u16string(63, u'v'), u"A4"});
  Fill();
  EXPECT_EQ(PapersOf(0), (std::vector<std::u16string>{std::u16string(63, u'w'), std::u16string(63, u'v'), u"A4"}));
}

TEST_F(Catalog, ProhibitedNamesAreComparedWholeAndCaseSensitively) {
  settings_.prohibition_print[7] = u"hp laser";
  spooler_.Add(u"HP Laser", Papers({u"A4"}));
  spooler_.Add(u"hp laser 2", Papers({u"A3"}));
  spooler_.Add(u"hp laser", Papers({u"A2"}));
  spooler_.Add(u"", Papers({u"B4"}));  // the empty slots prohibit nothing, not even an empty name
  Fill();
  ASSERT_EQ(catalog_->printerCount, 4);
  EXPECT_EQ(PapersOf(0), Papers({u"A4"}));
  EXPECT_EQ(PapersOf(1), Papers({u"A3"}));
  EXPECT_EQ(PapersOf(2), Papers({kProhibitionMarker}));
  EXPECT_EQ(Name(2), u"hp laser");
  EXPECT_EQ(PapersOf(3), Papers({u"B4"}));
  EXPECT_EQ(messages_, std::vector<int>{27});
  // A prohibited printer's driver is not asked for papers.
  EXPECT_EQ(spooler_.paperQueries, Papers({u"HP Laser", u"hp laser 2", u""}));
}

TEST_F(Catalog, EachProhibitedPrinterHasItsMessageInSpoolerOrderUnlessSilenced) {
  settings_.prohibition_print[0] = u"First";
  settings_.prohibition_print[15] = u"Third";
  spooler_.Add(u"First");
  spooler_.Add(u"Second", NumberedPapers(65));
  spooler_.Add(u"Third");
  Fill();
  EXPECT_EQ(messages_, (std::vector<int>{27, 25, 27}));

  messages_.clear();
  settings_.prohibition_plmode = 1;
  Fill();
  EXPECT_EQ(messages_, std::vector<int>{25});
  EXPECT_EQ(Paper(0, 0), kProhibitionMarker);
  EXPECT_EQ(Paper(2, 0), kProhibitionMarker);
}

TEST(AbPaperCode, FindsAnAOrBSizeCodeAnywhereInTheName) {
  for (const char16_t* name : {u"A4", u"a4 small", u"JIS B5", u"ISO A10", u"b0", u"RA2", u"B5 (JIS)", u"AA4"}) {
    EXPECT_TRUE(HasAbPaperCode(name)) << std::string(name, name + std::char_traits<char16_t>::length(name));
  }
  for (const char16_t* name : {u"Letter", u"Legal", u"Tabloid", u"", u"A", u"4A", u"C4", u"A-4", u"Ａ４", u"Super A"}) {
    EXPECT_FALSE(HasAbPaperCode(name));
  }
  // Only the name's own characters count, not what follows its end.
  EXPECT_FALSE(HasAbPaperCode(std::u16string_view(u"xA4", 2)));
}

TEST_F(Catalog, TheAbFilterPacksThePassingNamesFromSlotZero) {
  settings_.print_paper_ab = 1;
  spooler_.Add(u"Mixed", Papers({u"Letter", u"A4", u"Legal", u"a4 small", u"JIS B5", u"Tabloid", u"ISO A10"}));
  spooler_.Add(u"American", Papers({u"Letter", u"Legal", u"Tabloid"}));
  Fill();
  EXPECT_EQ(PapersOf(0), Papers({u"A4", u"a4 small", u"JIS B5", u"ISO A10"}));
  EXPECT_EQ(PapersOf(1), Papers({kNoPaperMarker}));
  EXPECT_TRUE(messages_.empty());
}

TEST_F(Catalog, TheLimitCountsOnlyNamesThatPassTheFilter) {
  settings_.print_paper_ab = 1;
  std::vector<std::u16string> papers = NumberedPapers(40);
  for (int i = 0; i < 63; ++i) papers.push_back(u"A4 #" + std::u16string(1, static_cast<char16_t>(u'0' + i % 10)));
  spooler_.Add(u"Big", papers);
  Fill();
  EXPECT_EQ(messages_, std::vector<int>{25});
  EXPECT_EQ(PapersOf(0).size(), 63u);
  EXPECT_EQ(Paper(0, 0), u"A4 #0");
}

TEST_F(Catalog, ADriverWithoutPapersShowsNoKind) {
  spooler_.Add(u"Empty", {});
  FakePrinter& broken = spooler_.Add(u"Broken", {});
  broken.firstCount = -1;  // the driver's error, answered to both queries
  broken.secondCount = -1;
  Fill();
  EXPECT_EQ(PapersOf(0), Papers({kNoPaperMarker}));
  EXPECT_EQ(PapersOf(1), Papers({kNoPaperMarker}));
  EXPECT_TRUE(messages_.empty());
}

TEST_F(Catalog, DifferingPaperCountsShowAMessageAndTheFirstCountIsUsed) {
  FakePrinter& grew = spooler_.Add(u"Grew", Papers({u"A4", u"A3", u"A2"}));
  grew.firstCount = 2;
  Fill();
  EXPECT_EQ(messages_, std::vector<int>{24});
  EXPECT_EQ(PapersOf(0), Papers({u"A4", u"A3"}));
}

TEST_F(Catalog, AnUnaffordablePaperBufferShowsCannotSearch) {
  spooler_.Add(u"Liar", Papers({u"A4"})).firstCount = INT_MAX;
  spooler_.Add(u"Next", Papers({u"A3"}));
  Fill();
  EXPECT_EQ(PapersOf(0), Papers({kCannotSearchMarker}));
  EXPECT_EQ(PapersOf(1), Papers({u"A3"}));
  EXPECT_EQ(messages_, std::vector<int>{23});
  EXPECT_TRUE(catalog_->catalogLoaded);
}

TEST_F(Catalog, AFailedEnumerationEmptiesTheEntriesButKeepsCountAndFlag) {
  spooler_.Add(u"Old", Papers({u"A4"}));
  Fill();
  catalog_->catalogLoaded = false;
  spooler_.failEnumeration = true;
  Fill();
  EXPECT_EQ(messages_, std::vector<int>{28});
  EXPECT_EQ(catalog_->printerCount, 1);
  EXPECT_FALSE(catalog_->catalogLoaded);
  EXPECT_TRUE(Name(0).empty());
  EXPECT_TRUE(Paper(0, 0).empty());
}

TEST_F(Catalog, ARefillForgetsPrintersAndPapersThatAreGone) {
  spooler_.Add(u"One", NumberedPapers(5));
  spooler_.Add(u"Two", NumberedPapers(5));
  Fill();
  spooler_.printers.pop_back();
  spooler_.printers[0].papers = Papers({u"A4"});
  Fill();
  EXPECT_EQ(catalog_->printerCount, 1);
  EXPECT_EQ(PapersOf(0), Papers({u"A4"}));
  EXPECT_TRUE(Name(1).empty());
  EXPECT_TRUE(Paper(1, 0).empty());

  ResetCatalog(*catalog_);
  EXPECT_TRUE(Name(0).empty());
  EXPECT_TRUE(Paper(0, 0).empty());
  EXPECT_EQ(catalog_->printerCount, 1);
  EXPECT_TRUE(catalog_->catalogLoaded);
}

TEST_F(Catalog, FindPrinterByNameWantsTheWholeNameAndTakesTheLastEqualEntry) {
  spooler_.Add(u"Plotter");
  spooler_.Add(u"Plotter 2");
  spooler_.Add(u"Copier");
  spooler_.Add(u"Copier");
  Fill();
  EXPECT_EQ(FindPrinterByName(*catalog_, u"Plotter"), 0);
  EXPECT_EQ(FindPrinterByName(*catalog_, u"Plotter 2"), 1);
  EXPECT_EQ(FindPrinterByName(*catalog_, u"Copier"), 3);
  EXPECT_EQ(FindPrinterByName(*catalog_, u"plotter"), -1);
  EXPECT_EQ(FindPrinterByName(*catalog_, u"Plot"), -1);
  // Only valid entries are searched.
  catalog_->printerCount = 2;
  EXPECT_EQ(FindPrinterByName(*catalog_, u"Copier"), -1);
}

TEST(Listing, HasAPrinterColumnAndSixtyThreeNumberedPaperColumns) {
  const auto columns = ListingColumns(u"Printer", u"Paper #");
  ASSERT_EQ(columns.size(), 64u);
  EXPECT_EQ(columns[0].header, u"Printer");
  EXPECT_EQ(columns[0].width, 180);
  EXPECT_EQ(columns[1].header, u"Paper #1");
  EXPECT_EQ(columns[63].header, u"Paper #63");
  EXPECT_EQ(columns[63].width, 130);

  const auto cut = ListingColumns(std::u16string(25, u'p'), u"A very long paper text");
  EXPECT_EQ(cut[0].header, std::u16string(19, u'p'));
  EXPECT_EQ(cut[12].header, u"A very long paper t");
}

TEST_F(Catalog, ListingCellsShowTheNameAndEveryPaperSlot) {
  settings_.prohibition_print[0] = u"Banned";
  spooler_.Add(u"Banned");
  spooler_.Add(u"Open", NumberedPapers(64));
  Fill();
  EXPECT_EQ(ListingCell(*catalog_, 0, 0), u"Banned");
  EXPECT_EQ(ListingCell(*catalog_, 0, 1), kProhibitionMarker);
  EXPECT_TRUE(ListingCell(*catalog_, 0, 2).empty());
  EXPECT_EQ(ListingCell(*catalog_, 1, 1), u"Paper 0");
  EXPECT_EQ(ListingCell(*catalog_, 1, 63), u"Paper 62");
  EXPECT_TRUE(ListingCell(*catalog_, 1, 64).empty());
}

}  // namespace
