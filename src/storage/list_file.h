// List files: the cell texts of the drawing list in an INI file, kept in
// "listview.ini" between runs and saved or loaded under a chosen name.
//
// Section "listliew" holds "max_cont" (the row count) and one key "<row>,<column>"
// per cell, for list columns 0..31 of every row. The file records neither the
// template nor the column headers: loading puts texts into list columns by
// position.
#pragma once

#include <string>
#include <string_view>

#include "drawing_list/row_store.h"

namespace tovrel {

class IniDocument;

inline constexpr char16_t kListSection[] = u"listliew";
inline constexpr int kListFileColumns = 32;

// Writes "max_cont" and 32 cells of each row, each at most 511 characters; a
// column the store does not have is written empty. The section is not
// cleared first: cell keys of rows beyond "max_cont" that an earlier, longer
// list left stay in the file and are never read.
void SaveList(const RowStore& store, IniDocument& file);

// Appends "max_cont" rows (none when it is missing, 0 or negative). Each
// cell is read with at most 259 characters; a missing key is empty. Column 0
// inserts the row, with item data its row index and image 1 when the text
// ends in "dwg", "DWG" or "Dwg", else 0 (a name ending in "dxf", "DXF" or
// "Dxf", in any other mixture of case, or shorter than three characters).
// Columns 1..31 set the texts of the row's further cells.
void LoadList(const IniDocument& file, RowStore& store);

// The name the save command writes to: the chosen path with ".ini" in place
// of its extension, or appended when the file name has none. The extension
// begins at the first '.' of the file name, the part after the last '\' or
// '/', so "x.tar.gz" becomes "x.ini" while a dot in a folder name
// ("c:\my.folder\list") is left alone.
std::u16string WithIniExtension(std::u16string_view chosenPath);

}  // namespace tovrel
