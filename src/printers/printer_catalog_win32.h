// The program's printer catalog filled from the Windows spooler, with the
// catalog's messages shown over the window that asked for the fill.
#pragma once

#include <windows.h>

namespace tovrel {

// ResetCatalog and FillCatalog on the process's catalog with the current
// settings; messages 23 to 25, 27 and 28 appear as boxes owned by `owner`.
void FillPrinterCatalog(HWND owner);

// Appends the name of every printer the spooler offers to a combo box
// (CB_ADDSTRING) and sets the catalog's printer count; message 28 over
// `owner` when the spooler cannot be asked.
void AddPrinterNamesToCombo(HWND owner, HWND combo);

}  // namespace tovrel
