// Conversion by file name: marks in a drawing's file name (list column 0)
// fill the printer and paper, orientation and plot-area columns of its row.
#pragma once

#include <cstdint>

#include "drawing_list/row_store.h"
#include "storage/app_settings.h"
#include "storage/text_catalog.h"

namespace tovrel {

// The fixed list columns the rules write, whatever the template puts there.
// (the printer and paper columns are those of row_store.h).
inline constexpr int kOrientationColumn = 8, kPlotAreaColumn = 10;

// Applies the rules to rows firstRow..last. Each group works only when its
// flag is exactly 1. A search text matches when it is not empty and occurs
// in the file name (first 127 characters, case-sensitive); every match
// writes, so the last matching rule of a group wins (landscape over
// portrait). The orientation and plot-area words are code texts 0..4 of
// `language`. Rows without a match keep their cells; a column the store does
// not have is not written.
void ApplyFileNameRules(RowStore& store, const FileNameRules& rules, const UiText& text,
                        std::int32_t language, int firstRow);

}  // namespace tovrel
