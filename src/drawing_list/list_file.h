// List files: the cell texts of the drawing list in an INI file, kept in
// "listview.ini" between runs and saved or loaded under a chosen name.
//
// Section "listliew" holds "max_cont" (the row count) and one key "<row>,<column>"
// per cell. Files keep at least list columns 0..31 of every row (as older
// lists do) and every further column a template shows, up to 50. The file
// records neither the template nor the column headers: loading puts texts
// into list columns by position.
#pragma once

#include <string>
#include <string_view>

#include "drawing_list/row_store.h"

namespace tovrel {

class IniDocument;

inline constexpr char16_t kListSection[] = u"listliew";
inline constexpr int kListFileColumns = 32;     // written for every row, whatever the list shows
inline constexpr int kListFileMaxColumns = 50;  // a template shows at most 50 columns

// Writes "max_cont" and the cells of each row, each at most 511 characters:
// 32 columns, or as many as the list has when it has more (up to 50); a
// column the store does not have is written empty. The section is not
// cleared first: cell keys of rows beyond "max_cont" that an earlier, longer
// list left stay in the file and are never read.
void SaveList(const RowStore& store, IniDocument& file);

// Appends the rows of the file: "max_cont" of them (none when it is missing,
// 0 or negative), but never more than the file holds: loading stops at the
// first row of which the file has no cell key, so a damaged or hand-edited
// count cannot make millions of empty rows. Each cell is read with at most 259
// characters; a missing key is empty. Column 0 inserts the row, with item
// data its row index and image 1 when the text ends in "dwg", "DWG" or
// "Dwg", else 0. The further columns the store has (up to 50) get their
// texts.
void LoadList(const IniDocument& file, RowStore& store);

// The name the save command writes to: the chosen path as it is when its
// file name has an extension, else with ".ini" appended.
std::u16string WithIniExtension(std::u16string_view chosenPath);

}  // namespace tovrel
