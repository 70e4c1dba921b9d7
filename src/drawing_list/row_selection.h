// Selecting, searching and deleting rows of the drawing list. Selecting a
// row sets its three marks (selected, focused, drop-highlighted) together;
// deselecting clears all three.
#pragma once

#include <string_view>

#include "drawing_list/row_store.h"

namespace tovrel {

// Message shown when the menu form of "delete selected rows" finds no
// selected row.
inline constexpr int kMessageNothingSelected = 4;

void SelectAllRows(RowStore& store);

// Deselects the selected rows, from the top. Rows that are only focused
// keep their focus.
void DeselectAllRows(RowStore& store);

// Selects every row whose list column 0 (read with at most 259 characters)
// contains `text`, case-sensitively; an empty text is contained in every
// row. Rows that do not match keep their marks.
void SelectRowsContaining(RowStore& store, std::u16string_view text);

// Deletes the selected rows. With no row selected, the toolbar form deletes
// all rows and the menu form deletes nothing. Answers the message number to
// show: kMessageNothingSelected for the menu form with nothing selected,
// else 0.
int DeleteSelectedRows(RowStore& store, bool toolbarForm);

// After a click in the list: a row that is focused or selected gets all
// three marks, every other row none, so the marks always agree.
void NormaliseMarksAfterClick(RowStore& store);

// The first selected row, or -1.
int FirstSelectedRow(const RowStore& store);

}  // namespace tovrel
