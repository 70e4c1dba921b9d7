// The check before a run on the program's list: the rows of a run walked
// through AutoCAD's prompts with the drawings on disk and the printers of
// the spooler; its window when it finds something.
#pragma once

#include <windows.h>

#include "drawing_list/row_store.h"
#include "printers/printer_catalog.h"
#include "script/preflight.h"
#include "storage/app_settings.h"
#include "storage/script_template.h"

namespace tovrel {

struct PreflightContext {
  const ScriptTemplate& activeTemplate;
  PrinterCatalog& printers;  // filled from the spooler when a row names a Windows printer
  const AppSettings& settings;
  bool lane = false;  // the run goes through the parallel lane
};

// The check of the rows a run of `scope` takes from `store`, with the
// drawings on disk and the printers of the spooler.
PreflightReport CheckList(HWND owner, const RowStore& store, int scope, const PreflightContext& context);

// Called before every run starts, with the scope of that run (kScopeAllRows,
// kScopeSelectedRows, kScopeSelectedOrAll): true when the run may start. A
// clean list answers true at once with nothing shown; otherwise the window
// lists what was found and answers true only for "Run anyway". "Select these
// rows" selects the listed rows and answers false.
bool PreflightAllowsRun(HWND owner, HWND list, int scope, const PreflightContext& context);

// The check's own menu command, on the rows "All start" would take from the
// toolbar (the selected ones when any is, else all): message 70 when every
// row would plot as planned, message 20 for an empty list, otherwise the
// window; its "Run anyway" answers true (the caller then runs those rows).
bool PreflightCommand(HWND owner, HWND list, const PreflightContext& context);

}  // namespace tovrel
