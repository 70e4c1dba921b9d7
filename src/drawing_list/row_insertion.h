// How one drawing becomes one row: the cells that the active template's
// display modes ask for.
#pragma once

#include <string>

#include "drawing_list/row_store.h"
#include "storage/script_template.h"

namespace tovrel {

// Image index of a row: 1 for a DWG drawing, 0 for a DXF drawing.
inline constexpr int kImageDxf = 0;
inline constexpr int kImageDwg = 1;

// Inserts a row at `rowIndex` (callers pass the row count, so rows are
// appended). Walks the template's slots in order and stops at the first slot
// not in use; each slot with a display mode gives the next list column its
// text: 1 the file name, 2 the folder, 3 the date text, 4 the slot's initial
// value (127 characters at most); any other non-zero mode (only a hand-edited
// template file holds one) gives an empty cell. Item data is the row index.
// A template without a displayed slot before its first slot not in use
// inserts nothing.
void InsertDrawingRow(RowStore& store, const ScriptTemplate& activeTemplate,
                      std::u16string_view fileName, std::u16string_view folder,
                      std::u16string_view dateText, int image, int rowIndex);

}  // namespace tovrel
