// The edit dialog: one edit field or drop-down per editable column of the
// active template, over the RowBuffer.
#pragma once

#include <windows.h>

#include <string>

#include "drawing_list/row_editing.h"
#include "printers/printer_catalog.h"
#include "storage/script_template.h"

namespace tovrel {

// What the dialog shows and edits, handed over by its opener.
struct EditDialogData {
  EditMode mode = EditMode::OneLine;
  const ScriptTemplate& activeTemplate;
  RowBuffer& buffer;           // the fields start from it; OK collects into it
  PrinterCatalog& printers;    // printer names, and the papers of each
  std::u16string autocadFile;  // the plot styles lie beside it
  HFONT font = nullptr;        // the main window's user-interface font
};

// Runs the dialog modally. True when the user pressed OK: the fields' texts
// are then in the buffer. Cancel and the close box leave the buffer alone.
bool RunEditDialog(HWND owner, EditDialogData& data);

}  // namespace tovrel
