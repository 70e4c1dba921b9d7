// The program's printer catalog filled from the Windows spooler, with the
// catalog's messages shown over the window that asked for the fill.
#pragma once

#include <windows.h>

#include "printers/printer_catalog.h"
#include "storage/app_settings.h"

namespace tovrel {

// ResetCatalog and FillCatalog with the current settings, then FillPlotters
// from the plotter folder of the settings and the default printer; messages
// 23 to 25, 27 and 28 appear as boxes owned by `owner`.
void FillPrinterCatalog(HWND owner, PrinterCatalog& catalog, const AppSettings& settings);

// Appends the name of every printer the spooler offers to a combo box
// (CB_ADDSTRING), then the catalog's plotter configurations, and sets the
// catalog's printer count; message 28 over
// `owner` when the spooler cannot be asked.
void AddPrinterNamesToCombo(HWND owner, HWND combo, PrinterCatalog& catalog);

}  // namespace tovrel
