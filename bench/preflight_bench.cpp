// The check before a run on 10,000 rows of the shipped Model template, read
// from a real list view, with the drawings looked up on disk. Prints
//   preflight-10000 ms=<n> rows=<n> listed=<n>
#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "app_harness.h"
#include "drawing_list/list_view_row_store_win32.h"
#include "drawing_list/list_view_window.h"
#include "drawing_list/row_insertion.h"
#include "script/preflight.h"
#include "script/script_writer.h"
#include "storage/ansi_code_page_win32.h"
#include "storage/file_system_win32.h"
#include "storage/ini_file.h"
#include "storage/script_template.h"

using namespace tovrel::test;

namespace {

constexpr int kRows = 10000;

std::wstring DrawingName(int i) {
  wchar_t name[64];
  swprintf(name, 64, L"P-%05d-A%d.dwg", (i * 7919) % kRows, i % 5);
  return name;
}

void Touch(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

}  // namespace

int main() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);  // the list view class
  Workspace ws;  // holds the shipped templates
  const std::wstring folder = ws.Path(L"drawings");
  CreateDirectoryW(folder.c_str(), nullptr);
  for (int i = 0; i < kRows; ++i) Touch(folder + L"\\" + DrawingName(i));
  const std::wstring templateFileName = ws.Path(L"tovrl_set_e.ini");
  const tovrel::IniFile templateFile(std::u16string(templateFileName.begin(), templateFileName.end()),
                                     tovrel::SystemAnsiCodePage());
  auto templates = std::make_unique<tovrel::TemplateSet>();
  tovrel::LoadTemplates(templateFile.Doc(), *templates);
  const tovrel::ScriptTemplate& model = (*templates)[1];
  HWND parent = CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 900, 600, nullptr, nullptr,
                                nullptr, nullptr);
  HWND list = tovrel::CreateDrawingList(parent, model);
  {
    const tovrel::ListRedrawPause pause(list);
    tovrel::ListViewRowStore store(list);
    for (int row = 0; row < kRows; ++row) {
      const std::wstring name = DrawingName(row);
      tovrel::InsertDrawingRow(store, model, std::u16string(name.begin(), name.end()),
                               std::u16string(folder.begin(), folder.end()), u"2026/12/06 10:15", 1, row);
    }
  }
  const tovrel::ListViewRowStore store(list);
  if (store.RowCount() != kRows) {
    std::fprintf(stderr, "the list holds %d rows (template \"%ls\", list %p)\n", store.RowCount(),
                 reinterpret_cast<const wchar_t*>(model.title.c_str()), static_cast<void*>(list));
  }
  const tovrel::Win32FileSystem files;
  tovrel::PreflightSources sources;
  sources.files = &files;
  const auto start = std::chrono::steady_clock::now();
  const tovrel::PreflightReport report =
      tovrel::CheckRows(store, tovrel::RowsOfScope(store, tovrel::kScopeAllRows), model, sources);
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  std::printf("preflight-10000 ms=%.0f rows=%d listed=%zu\n", ms, report.rowsChecked, report.Rows().size());
  std::fflush(stdout);
  DestroyWindow(parent);
  return 0;
}
