// The check before a run on 10,000 rows of the shipped Model template, read
// from a real list view, with the drawings looked up on disk. Prints
//   preflight-10000 ms=<n> rows=<n> listed=<n>
#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>

#include "bench_lists.h"
#include "script/preflight.h"
#include "script/script_writer.h"
#include "storage/file_system_win32.h"

using namespace tovrel::bench;

int main() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);  // the list view class
  tovrel::test::Workspace ws;  // holds the shipped templates
  const std::wstring folder = ws.Path(L"drawings");
  CreateDirectoryW(folder.c_str(), nullptr);
  for (int i = 0; i < kRows; ++i) Touch(folder + L"\\" + DrawingName(i));
  const auto templates = ShippedTemplates(ws);
  const tovrel::ScriptTemplate& model = (*templates)[1];
  const FilledList filled(model, folder);
  const tovrel::ListViewRowStore store(filled.list);
  const tovrel::Win32FileSystem files;
  tovrel::PreflightSources sources;
  sources.files = &files;
  const auto start = std::chrono::steady_clock::now();
  const tovrel::PreflightReport report =
      tovrel::CheckRows(store, tovrel::RowsOfScope(store, tovrel::kScopeAllRows), model, sources);
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  // A check of fewer rows, or one that lists rows of a clean list, measured something else.
  const bool measured = report.rowsChecked == kRows && report.Rows().empty();
  std::printf("preflight-10000 ms=%.0f rows=%d listed=%zu%s\n", ms, report.rowsChecked, report.Rows().size(),
              measured ? "" : " error=not-a-clean-list-of-10000-rows");
  std::fflush(stdout);
  return measured ? 0 : 1;
}
