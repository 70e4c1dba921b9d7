#include "printers/printer_catalog_win32.h"

#include <string>

#include "app/app_context.h"
#include "printers/printer_catalog.h"
#include "printers/spooler_win32.h"
#include "ui_text/ui_text_win32.h"

namespace tovrel {

void FillPrinterCatalog(HWND owner) {
  AppContext& app = App();
  Win32Spooler spooler;
  ResetCatalog(app.printers);
  FillCatalog(app.printers, spooler, app.settings, [owner](int message) { ShowMessage(owner, message); });
}

void AddPrinterNamesToCombo(HWND owner, HWND combo) {
  AppContext& app = App();
  Win32Spooler spooler;
  AddPrinterNames(
      app.printers, spooler,
      [combo](std::u16string_view name) {
        const std::wstring text(name.begin(), name.end());
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
      },
      [owner](int message) { ShowMessage(owner, message); });
}

}  // namespace tovrel
