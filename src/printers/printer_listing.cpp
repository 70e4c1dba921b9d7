#include "printers/printer_listing.h"

namespace tovrel {

namespace {

std::u16string Cut(std::u16string text) {
  if (text.size() > kListingHeaderSize - 1) text.resize(kListingHeaderSize - 1);
  return text;
}

std::u16string Decimal(int value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

std::array<ListingColumn, kListingColumnCount> ListingColumns(std::u16string_view printerText,
                                                              std::u16string_view paperText) {
  std::array<ListingColumn, kListingColumnCount> columns;
  columns[0] = {Cut(std::u16string(printerText)), 180};
  for (int k = 1; k < kListingColumnCount; ++k) {
    columns[static_cast<std::size_t>(k)] = {Cut(std::u16string(paperText) + Decimal(k)), 130};
  }
  return columns;
}

int ListingRowCount(const PrinterCatalog& catalog) {
  return catalog.printerCount + static_cast<int>(catalog.plotters.size());
}

std::u16string_view ListingCell(const PrinterCatalog& catalog, int row, int column) {
  if (row < 0 || column < 0 || column >= kListingColumnCount) return {};
  if (row >= catalog.printerCount) {
    const auto plotter = static_cast<std::size_t>(row - catalog.printerCount);
    if (plotter >= catalog.plotters.size()) return {};
    const PlotterEntry& entry = catalog.plotters[plotter];
    if (column == 0) return entry.name;
    if (!entry.papersKnown) return column == 1 ? std::u16string_view(kPaperNotChecked) : std::u16string_view();
    const auto paper = static_cast<std::size_t>(column - 1);
    return paper < entry.papers.size() ? std::u16string_view(entry.papers[paper]) : std::u16string_view();
  }
  const int printer = row;
  if (printer >= static_cast<int>(kCatalogEntryCount)) return {};
  const PrinterEntry& entry = catalog.entries[static_cast<std::size_t>(printer)];
  if (column == 0) return entry.name.View();
  return entry.paperNames[static_cast<std::size_t>(column - 1)].View();
}

}  // namespace tovrel
