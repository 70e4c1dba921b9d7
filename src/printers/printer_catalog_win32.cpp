#include "printers/printer_catalog_win32.h"

#include <string>

#include "printers/printer_catalog.h"
#include "printers/spooler_win32.h"
#include "storage/file_system_win32.h"
#include "win32/window_text.h"

namespace tovrel {

void FillPrinterCatalog(HWND owner, PrinterCatalog& catalog, const AppSettings& settings) {
  Win32Spooler spooler;
  ResetCatalog(catalog);
  FillCatalog(catalog, spooler, settings, [owner](int message) { ShowMessage(owner, message); });
  if (!catalog.catalogLoaded) return;
  const Win32FileSystem files;
  FillPlotters(catalog, files, settings.plotters_folder, spooler.DefaultPrinter());
}

void AddPrinterNamesToCombo(HWND owner, HWND combo, PrinterCatalog& catalog) {
  Win32Spooler spooler;
  AddPrinterNames(
      catalog, spooler,
      [combo](std::u16string_view name) {
        const std::wstring text(name.begin(), name.end());
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
      },
      [owner](int message) { ShowMessage(owner, message); });
  // AutoCAD's configurations follow the Windows printers.
  for (const PlotterEntry& plotter : catalog.plotters) {
    const std::wstring text(plotter.name.begin(), plotter.name.end());
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
}

}  // namespace tovrel
