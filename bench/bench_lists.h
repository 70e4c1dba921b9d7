// What the list benchmarks share: 10,000 drawing names, empty drawing files,
// and a real list view filled with rows of the shipped Model template.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app_harness.h"
#include "drawing_list/list_view_row_store_win32.h"
#include "drawing_list/list_view_window.h"
#include "drawing_list/row_insertion.h"
#include "storage/ansi_code_page_win32.h"
#include "storage/ini_file.h"
#include "storage/script_template.h"

namespace tovrel::bench {

inline constexpr int kRows = 10000;

inline std::wstring DrawingName(int i) {
  wchar_t name[64];
  swprintf(name, 64, L"P-%05d-A%d.dwg", (i * 7919) % kRows, i % 5);
  return name;
}

inline void Touch(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

// The shipped English templates of a workspace; template 1 is the Model one.
inline std::unique_ptr<TemplateSet> ShippedTemplates(const test::Workspace& ws) {
  const std::wstring path = ws.Path(L"tovrl_set_e.ini");
  const IniFile file(std::u16string(path.begin(), path.end()), SystemAnsiCodePage());
  auto templates = std::make_unique<TemplateSet>();  // too big for the stack
  LoadTemplates(file.Doc(), *templates);
  return templates;
}

// A list view in a window of its own, holding kRows rows of `model` whose
// drawings lie in `folder`.
struct FilledList {
  HWND parent = nullptr;
  HWND list = nullptr;
  FilledList(const ScriptTemplate& model, const std::wstring& folder) {
    parent = CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 900, 600, nullptr, nullptr, nullptr,
                             nullptr);
    list = CreateDrawingList(parent, model);
    const ListRedrawPause pause(list);
    ListViewRowStore store(list);
    for (int row = 0; row < kRows; ++row) {
      const std::wstring name = DrawingName(row);
      InsertDrawingRow(store, model, std::u16string(name.begin(), name.end()),
                       std::u16string(folder.begin(), folder.end()), u"2026/12/06 10:15", 1, row);
    }
  }
  ~FilledList() { DestroyWindow(parent); }
  FilledList(const FilledList&) = delete;
  FilledList& operator=(const FilledList&) = delete;
};

}  // namespace tovrel::bench
