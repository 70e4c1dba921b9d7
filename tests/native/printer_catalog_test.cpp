// The printer catalog over a spooler in memory: the 30-printer and 63-paper
// limits, markers, prohibited printers, the A/B filter, lookups, the listing.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "fake_file_system.h"
#include "printers/plot_devices.h"
#include "printers/printer_catalog.h"
#include "printers/printer_listing.h"
#include "storage/app_settings.h"

using namespace tovrel;

namespace {

using Names = std::vector<std::u16string>;
using Messages = std::vector<int>;

std::u16string U16(const std::string& s) { return std::u16string(s.begin(), s.end()); }
std::u16string Port(std::size_t i) { return u"PORT" + U16(std::to_string(i % 10)); }

Names Numbered(int count, const std::u16string& prefix = u"Paper ") {
  Names papers;
  for (int i = 0; i < count; ++i) papers.push_back(prefix + U16(std::to_string(i)));
  return papers;
}

struct FakePrinter {
  std::u16string name;
  Names papers;
  int first = INT_MIN, second = INT_MIN;  // the count and buffer queries' answers; the paper count if INT_MIN
};

class FakeSpooler final : public Spooler {
public:
  std::vector<FakePrinter> printers;
  bool failEnumeration = false;
  Names paperQueries;

  FakePrinter& Add(std::u16string name, Names papers = {u"A4"}) {
    return printers.emplace_back(FakePrinter{std::move(name), std::move(papers)});
  }
  bool EnumeratePrinters(std::vector<SpoolerPrinter>& out) override {
    out.clear();
    for (std::size_t i = 0; i < printers.size() && !failEnumeration; ++i) out.push_back({printers[i].name, Port(i)});
    return !failEnumeration;
  }
  int PaperNameCount(std::u16string_view printer, std::u16string_view port) override {
    paperQueries.emplace_back(printer);
    const FakePrinter& p = Find(printer, port);
    return p.first != INT_MIN ? p.first : static_cast<int>(p.papers.size());
  }
  int PaperNames(std::u16string_view printer, std::u16string_view port, char16_t* buffer, std::size_t units) override {
    const FakePrinter& p = Find(printer, port);
    for (std::size_t i = 0; i < p.papers.size() && p.papers.size() * kDriverPaperNameUnits <= units; ++i) {
      const std::size_t n = std::min(p.papers[i].size(), kDriverPaperNameUnits);  // as Win32: only what fits
      p.papers[i].copy(buffer + i * kDriverPaperNameUnits, n);
      if (n < kDriverPaperNameUnits) buffer[i * kDriverPaperNameUnits + n] = u'\0';
    }
    return p.second != INT_MIN ? p.second : static_cast<int>(p.papers.size());
  }

private:
  const FakePrinter& Find(std::u16string_view name, std::u16string_view port) const {
    for (std::size_t i = 0; i < printers.size(); ++i) {
      if (printers[i].name == name && Port(i) == port) return printers[i];
    }
    ADD_FAILURE() << "papers asked for an unknown printer or with the wrong port";
    static const FakePrinter none;
    return none;
  }
};

class Catalog : public ::testing::Test {
protected:
  std::unique_ptr<PrinterCatalog> catalog_ = std::make_unique<PrinterCatalog>();  // ~290 KB
  FakeSpooler spooler_;
  AppSettings settings_;
  Messages messages_;
  Names combo_;

  void Fill() { FillCatalog(*catalog_, spooler_, settings_, [this](int m) { messages_.push_back(m); }); }
  void FillCombo() {
    AddPrinterNames(*catalog_, spooler_, [this](std::u16string_view n) { combo_.emplace_back(n); },
                    [this](int m) { messages_.push_back(m); });
  }
  std::u16string Name(int i) const { return catalog_->entries[static_cast<std::size_t>(i)].name.Str(); }
  std::u16string Paper(int i, int k) const {
    return catalog_->entries[static_cast<std::size_t>(i)].paperNames[static_cast<std::size_t>(k)].Str();
  }
  Names PapersOf(int i) const {
    Names out;
    for (int k = 0; k < static_cast<int>(kPaperSlotCount) && !Paper(i, k).empty(); ++k) out.push_back(Paper(i, k));
    return out;
  }
};

TEST_F(Catalog, KeepsSpoolerOrderDuplicatePapersAndCutsOverlongNames) {
  spooler_.Add(u"Zeta", {u"Letter", u"A4", u"A4", std::u16string(64, u'w')});
  spooler_.Add(std::u16string(127, u'n'));
  spooler_.Add(std::u16string(128, u'x'), {u"A3", u"A2"});  // name left empty, papers still read
  spooler_.Add(u"After", {u"B5"});
  Fill();
  ASSERT_EQ(catalog_->printerCount, 4);
  EXPECT_EQ(Name(0), u"Zeta");
  EXPECT_EQ(PapersOf(0), (Names{u"Letter", u"A4", u"A4", std::u16string(63, u'w')}));
  EXPECT_EQ(Name(1), std::u16string(127, u'n'));
  EXPECT_TRUE(Name(2).empty());
  EXPECT_EQ(PapersOf(2), (Names{u"A3", u"A2"}));
  EXPECT_EQ(Name(3), u"After");
  EXPECT_TRUE(messages_.empty());
}

TEST_F(Catalog, ThirtyOnePrintersFillThirtyEntriesButAllReachTheCombo) {
  for (int i = 0; i < 31; ++i) spooler_.Add(u"P" + U16(std::to_string(i)));
  Fill();
  EXPECT_EQ(catalog_->printerCount, 30);
  EXPECT_EQ(Name(29), u"P29");
  EXPECT_TRUE(Name(30).empty());
  EXPECT_EQ(spooler_.paperQueries.size(), 30u);  // the 31st driver is never asked

  catalog_->printerCount = 3;
  catalog_->catalogLoaded = false;
  FillCombo();
  ASSERT_EQ(combo_.size(), 31u);
  EXPECT_EQ(combo_[30], u"P30");
  EXPECT_EQ(catalog_->printerCount, 30);
  EXPECT_FALSE(catalog_->catalogLoaded);
  EXPECT_EQ(Name(0), u"P0");  // entries untouched
  EXPECT_TRUE(messages_.empty());
}

TEST_F(Catalog, NoPrintersFillQuietlyAndAFailedEnumerationShows28AndLeavesNoEmptyPrinters) {
  Fill();
  EXPECT_EQ(catalog_->printerCount, 0);
  EXPECT_TRUE(catalog_->catalogLoaded);
  EXPECT_TRUE(messages_.empty());
  spooler_.Add(u"Old");
  Fill();
  catalog_->catalogLoaded = false;
  spooler_.failEnumeration = true;
  Fill();
  EXPECT_EQ(catalog_->printerCount, 0);  // no list of one empty printer
  EXPECT_FALSE(catalog_->catalogLoaded);
  EXPECT_TRUE(Name(0).empty());
  EXPECT_TRUE(Paper(0, 0).empty());
  spooler_.failEnumeration = false;
  Fill();
  spooler_.failEnumeration = true;
  FillCombo();
  EXPECT_EQ(messages_, (Messages{28, 28}));
  EXPECT_EQ(catalog_->printerCount, 0);
  EXPECT_TRUE(combo_.empty());
}

TEST_F(Catalog, SixtyThreeOrMorePapersKeepTheFirstSixtyThreeWithOneMessageEach) {
  spooler_.Add(u"Plotter", Numbered(70));
  spooler_.Add(u"Full", Numbered(63));
  spooler_.Add(u"Nearly", Numbered(62));
  Fill();
  EXPECT_EQ(messages_, (Messages{25, 25}));
  const Names kept = PapersOf(0);
  ASSERT_EQ(kept.size(), 63u);
  EXPECT_EQ(kept.back(), u"Paper 62");
  EXPECT_EQ(PapersOf(1).size(), 63u);
  EXPECT_EQ(PapersOf(2).size(), 62u);
}

TEST_F(Catalog, ProhibitedNamesAreExactAndCaseSensitiveWithMessagesInSpoolerOrder) {
  settings_.prohibition_print[0] = u"hp laser";
  settings_.prohibition_print[15] = u"Third";
  for (const char16_t* name : {u"HP Laser", u"hp laser 2", u"hp laser", u"", u"Third"}) spooler_.Add(name);
  spooler_.printers[1].papers = Numbered(65);
  Fill();
  ASSERT_EQ(catalog_->printerCount, 5);
  EXPECT_EQ(PapersOf(0), Names{u"A4"});
  EXPECT_EQ(Name(2), u"hp laser");
  EXPECT_EQ(PapersOf(2), Names{kProhibitionMarker});
  EXPECT_EQ(PapersOf(3), Names{u"A4"});  // empty slots prohibit nothing, not even an empty name
  EXPECT_EQ(PapersOf(4), Names{kProhibitionMarker});
  EXPECT_EQ(messages_, (Messages{25, 27, 27}));
  EXPECT_EQ(spooler_.paperQueries, (Names{u"HP Laser", u"hp laser 2", u""}));  // prohibited drivers not asked

  messages_.clear();
  settings_.prohibition_plmode = 1;  // silenced
  Fill();
  EXPECT_EQ(messages_, Messages{25});
  EXPECT_EQ(Paper(2, 0), kProhibitionMarker);
}

TEST(AbPaperCode, FindsAnAOrBSizeCodeAnywhereInTheName) {
  const auto show = [](std::u16string_view s) { return std::string(s.begin(), s.end()); };
  for (std::u16string_view yes : {u"A4", u"a4 small", u"JIS B5", u"ISO A10", u"b0", u"RA2", u"AA4"}) {
    EXPECT_TRUE(HasAbPaperCode(yes)) << show(yes);
  }
  for (std::u16string_view no : {u"Letter", u"", u"A", u"4A", u"C4", u"A-4", u"Ａ４", u"Super A"}) {
    EXPECT_FALSE(HasAbPaperCode(no)) << show(no);
  }
  EXPECT_FALSE(HasAbPaperCode(std::u16string_view(u"xA4", 2)));  // only the view's own characters
}

TEST_F(Catalog, TheAbFilterPacksPassingNamesAndCountsOnlyThemTowardTheLimit) {
  settings_.print_paper_ab = 1;
  spooler_.Add(u"Mixed", {u"Letter", u"A4", u"Legal", u"a4 small", u"JIS B5", u"Tabloid", u"ISO A10"});
  spooler_.Add(u"American", {u"Letter", u"Legal", u"Tabloid"});
  Names big = Numbered(40);
  for (const auto& p : Numbered(63, u"A4 #")) big.push_back(p);
  spooler_.Add(u"Big", big);
  Fill();
  EXPECT_EQ(PapersOf(0), (Names{u"A4", u"a4 small", u"JIS B5", u"ISO A10"}));
  EXPECT_EQ(PapersOf(1), Names{kNoPaperMarker});  // all filtered out
  EXPECT_EQ(PapersOf(2).size(), 63u);
  EXPECT_EQ(Paper(2, 0), u"A4 #0");
  EXPECT_EQ(messages_, Messages{25});
}

TEST_F(Catalog, DriverFaultsShowAMarkerOrAMessage) {
  spooler_.Add(u"Empty", {});
  FakePrinter& broken = spooler_.Add(u"Broken", {});
  broken.first = broken.second = -1;
  spooler_.Add(u"Grew", {u"A4", u"A3", u"A2"}).first = 2;
  spooler_.Add(u"Liar").first = INT_MAX;
  spooler_.Add(u"Next", {u"A3"});
  Fill();
  EXPECT_EQ(PapersOf(0), Names{kNoPaperMarker});
  EXPECT_EQ(PapersOf(1), Names{kNoPaperMarker});
  EXPECT_EQ(PapersOf(2), (Names{u"A4", u"A3"}));  // the first count is used
  EXPECT_EQ(PapersOf(3), Names{kCannotSearchMarker});
  EXPECT_EQ(PapersOf(4), Names{u"A3"});
  EXPECT_EQ(messages_, (Messages{24, 23}));
}

TEST_F(Catalog, FindPrinterByNameWantsTheWholeNameAndTakesTheLastEqualEntry) {
  for (const char16_t* name : {u"Plotter", u"Plotter 2", u"Copier", u"Copier"}) spooler_.Add(name);
  Fill();
  EXPECT_EQ(FindPrinterByName(*catalog_, u"Plotter"), 0);
  EXPECT_EQ(FindPrinterByName(*catalog_, u"Plotter 2"), 1);
  EXPECT_EQ(FindPrinterByName(*catalog_, u"Copier"), 3);
  EXPECT_EQ(FindPrinterByName(*catalog_, u"plotter"), -1);
  EXPECT_EQ(FindPrinterByName(*catalog_, u"Plot"), -1);
  catalog_->printerCount = 2;  // only valid entries are searched
  EXPECT_EQ(FindPrinterByName(*catalog_, u"Copier"), -1);
}

TEST(Listing, HasSixtyFourColumnsWithHeadersCutToNineteen) {
  const auto columns = ListingColumns(std::u16string(25, u'p'), u"A very long paper text");
  ASSERT_EQ(columns.size(), 64u);
  EXPECT_EQ(columns[0].header, std::u16string(19, u'p'));
  EXPECT_EQ(columns[12].header, u"A very long paper t");
}

TEST_F(Catalog, ConfigurationsFollowThePrintersWithTheDefaultPrintersPapersAndTheUsersOwnPc3Files) {
  spooler_.Add(u"Office Laser", Numbered(70));
  spooler_.Add(u"Copier", {u"A3", u"A4"});
  Fill();
  test::FakeFileSystem files;
  for (const char16_t* name : {u"Site Plotter.pc3", u"dwg to pdf.pc3", u"notes.txt"}) {
    files.AddFile(u"C:\\Plotters\\" + std::u16string(name));  // the built-in one is offered once
  }
  FillPlotters(*catalog_, files, u"C:\\Plotters", u"Office Laser");
  const Names devices = CatalogDeviceNames(*catalog_);
  ASSERT_EQ(devices.size(), 2u + 9u + 2u);
  EXPECT_EQ(devices[2], u"DWG To PDF.pc3");
  EXPECT_EQ(devices[11], u"Default Windows System Printer.pc3");
  EXPECT_EQ(devices[12], u"Site Plotter.pc3");
  EXPECT_EQ(CatalogPapersOf(*catalog_, kDefaultSystemPrinter)->size(), 63u);  // the default printer's
  EXPECT_EQ(CatalogPapersOf(*catalog_, u"DWG To PDF.pc3")->size(), 92u);
  EXPECT_EQ(CatalogPapersOf(*catalog_, u"Site Plotter.pc3"), Names{});
  EXPECT_EQ(CatalogPapersOf(*catalog_, u"Missing.pc3"), std::nullopt);
  // The listing shows them as a second group; the driver's list stays whole.
  ASSERT_EQ(ListingRowCount(*catalog_), 13);
  EXPECT_EQ(ListingCell(*catalog_, 2, 63), u"ISO full bleed 2A0 (1189.00 x 1682.00 MM)");
  EXPECT_EQ(ListingCell(*catalog_, 12, 1), u"paper not checked");
  EXPECT_EQ(ListingCell(*catalog_, 13, 0), u"");
  EXPECT_EQ(catalog_->driverPapers[0], Numbered(70));
  // Without a default printer its configuration's papers are not known.
  FillPlotters(*catalog_, files, u"", u"");
  EXPECT_FALSE(FindPlotter(*catalog_, kDefaultSystemPrinter)->papersKnown);
}

}  // namespace
