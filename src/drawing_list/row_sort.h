// Sorting the drawing list by a click on a column header.
#pragma once

#include <array>
#include <string_view>

#include "drawing_list/row_store.h"
#include "storage/script_template.h"

namespace tovrel {

inline constexpr int kSortAscending = 1, kSortDescending = 2;

// The direction each list column was last sorted in: 1 ascending, 2
// descending, 0 never. Kept per column number for the life of the window, so
// a column rebuild does not reset it.
struct SortDirections {
  std::array<int, kColumnCount> direction{kSortAscending};  // column 0 starts ascending
};

// The order of two cell texts of list column `column`: <0, 0 or >0 for
// ascending order when `direction` is 1, the reverse otherwise.
// Column 3 compares the texts as integers, read as _wtoi reads them (leading
// blanks, an optional sign, decimal digits; no digits is 0; values beyond
// the int range are held at its ends). Other columns compare code unit by
// code unit with only ASCII A-Z folded to lower case, and answer the
// difference of the first two characters that differ.
int CompareCellTexts(std::u16string_view a, std::u16string_view b, int column, int direction);

// A click on the header of list column `column` (0..49): reverses the
// column's direction (the first click on column 0 sorts descending, on any
// other column ascending) and sorts the rows by the column's texts, each
// read once with at most 259 characters. False when the column number is
// out of range (nothing changes) or the store refused to sort (the
// direction stays reversed, as the click happened).
bool SortByColumn(RowStore& store, int column, SortDirections& directions);

}  // namespace tovrel
