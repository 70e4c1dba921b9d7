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

std::u16string_view ListingCell(const PrinterCatalog& catalog, int printer, int column) {
  if (printer < 0 || printer >= static_cast<int>(kCatalogEntryCount) || column < 0 ||
      column >= kListingColumnCount) {
    return {};
  }
  const PrinterEntry& entry = catalog.entries[static_cast<std::size_t>(printer)];
  if (column == 0) return entry.name.View();
  return entry.paperNames[static_cast<std::size_t>(column - 1)].View();
}

}  // namespace tovrel
