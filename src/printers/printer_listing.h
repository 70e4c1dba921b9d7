// The table shown by the printer and paper listing: one row per printer of
// the catalog, its name and its 63 paper slots side by side.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "printers/printer_catalog.h"

namespace tovrel {

inline constexpr int kListingColumnCount = 1 + kMaxCatalogPapers;
inline constexpr std::size_t kListingHeaderSize = 20;  // 19 characters and the terminator

struct ListingColumn {
  std::u16string header;
  int width = 0;  // pixels
};

// Column 0 is headed by `printerText` (180 pixels); column k = 1 to 63 by
// `paperText` followed by k (130 pixels). Headers are cut to 19 characters.
std::array<ListingColumn, kListingColumnCount> ListingColumns(std::u16string_view printerText,
                                                              std::u16string_view paperText);

// The listing's rows: the printers, then AutoCAD's plotter configurations
// as a second group.
int ListingRowCount(const PrinterCatalog& catalog);

// The text of a listing cell: the device's name in column 0, its paper
// column - 1 in the others (a printer's empty slots included; the first 63
// papers of a configuration, "paper not checked" in column 1 for one whose
// papers are not known).
std::u16string_view ListingCell(const PrinterCatalog& catalog, int row, int column);

}  // namespace tovrel
