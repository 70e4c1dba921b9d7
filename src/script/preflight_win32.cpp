#include "script/preflight_win32.h"

#include "drawing_list/list_view_row_store_win32.h"
#include "printers/printer_catalog_win32.h"
#include "script/preflight.h"
#include "script/preflight_dialog.h"
#include "script/script_writer.h"
#include "storage/file_system_win32.h"
#include "win32/window_text.h"

namespace tovrel {

namespace {

std::string FileStart(const std::u16string& path) {
  const std::wstring wide(path.begin(), path.end());
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  char bytes[64];
  DWORD read = 0;
  const BOOL ok = ReadFile(file, bytes, sizeof bytes, &read, nullptr);
  CloseHandle(file);
  return ok ? std::string(bytes, read) : std::string();
}

}  // namespace

PreflightReport CheckList(HWND owner, const RowStore& store, int scope, const PreflightContext& context) {
  const Win32FileSystem files;
  PreflightSources sources;
  sources.files = &files;
  sources.endDrawing = context.settings.end_file_dwg;
  sources.fileStart = FileStart;
  sources.allowLispCells = context.settings.allow_lisp_cells != 0;
  sources.lane = context.lane;
  sources.printers = [&]() -> const PrinterCatalog* {
    if (!context.printers.catalogLoaded) FillPrinterCatalog(owner, context.printers, context.settings);
    return context.printers.catalogLoaded ? &context.printers : nullptr;
  };
  return CheckRows(store, RowsOfScope(store, scope), context.activeTemplate, sources);
}

namespace {

constexpr int kTextPreflightTitle = 89;  // dialog text

std::u16string ReasonText(PreflightProblem problem) { return U(LookUpText(TextTable::Code, ProblemTextNumber(problem))); }

// The window over a report that lists something; true for "Run anyway".
// Unattended, the findings go to the log and the answer is the one given
// for the whole run.
bool AskAboutFindings(HWND owner, HWND list, const PreflightReport& report) {
  if (MessagesGoToLog()) {
    WriteToMessageLog(U(LookUpText(TextTable::Dialog, kTextPreflightTitle)) + u"\r\n" + FindingsCsv(report, ReasonText));
    return UnattendedGoesAhead() && !report.Unsafe();
  }
  const PreflightChoice choice = RunPreflightDialog(owner, report);
  if (choice == PreflightChoice::SelectRows) {
    ListViewRowStore store(list);  // rows taken after the window has closed
    SelectListedRows(store, report);
    SetFocus(list);
  }
  return choice == PreflightChoice::Run && !report.Unsafe();
}

}  // namespace

bool PreflightAllowsRun(HWND owner, HWND list, int scope, const PreflightContext& context) {
  const ListViewRowStore store(list);
  const PreflightReport report = CheckList(owner, store, scope, context);
  if (report.Clean()) return true;
  return AskAboutFindings(owner, list, report);
}

bool PreflightCommand(HWND owner, HWND list, const PreflightContext& context) {
  const ListViewRowStore store(list);
  if (store.RowCount() == 0) {
    ShowMessage(owner, kMessageListEmpty);
    return false;
  }
  const PreflightReport report = CheckList(owner, store, kScopeSelectedOrAll, context);
  if (report.findings.empty()) {
    ShowMessage(owner, kMessagePreflightClean);
    return false;
  }
  return AskAboutFindings(owner, list, report);
}

}  // namespace tovrel
