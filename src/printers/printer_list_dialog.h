// Dialog 5: every printer of the catalog with all of its paper names side by
// side. Opening it always refreshes the catalog from the spooler.
#pragma once

#include <windows.h>

#include "printers/printer_catalog.h"
#include "storage/app_settings.h"

namespace tovrel {

// Runs the listing modally over `owner`; returns when the user closes it.
void RunPrinterListDialog(HWND owner, PrinterCatalog& catalog, const AppSettings& settings);

}  // namespace tovrel
