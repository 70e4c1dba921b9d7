// One cell under the in-place editor, as the rows see it: the cell reads
// empty while it is edited, a commit writes the editor's text, a cancel
// gives the cell back its whole text.
#pragma once

#include <string>
#include <string_view>

#include "drawing_list/row_store.h"
#include "printers/printer_catalog.h"

namespace tovrel {

// The whole text of a cell, however long.
std::u16string WholeCellText(const RowStore& store, int row, int column);

class CellEdit {
 public:
  // Remembers the cell's whole text and empties the cell.
  void Begin(RowStore& store, int row, int column);
  // Writes `text` into the cell. A printer written into the printer column
  // that differs from the one the cell had brings its first paper into the
  // paper column (unless the catalog does not hold it); the same printer
  // chosen again keeps the paper.
  void Commit(RowStore& store, std::u16string_view text, const PrinterCatalog& printers) const;
  // The cell gets back its whole text.
  void Cancel(RowStore& store) const;

  const std::u16string& Previous() const { return previous_; }

 private:
  void Write(RowStore& store, std::u16string_view text) const;

  int row_ = 0;
  int column_ = 0;
  std::u16string previous_;
};

}  // namespace tovrel
