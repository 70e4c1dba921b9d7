#include "storage/list_file_win32.h"

#include <commdlg.h>

#include <vector>

#include "app/app_context.h"
#include "app/app_files_win32.h"
#include "drawing_list/list_view_row_store_win32.h"
#include "storage/ansi_code_page_win32.h"
#include "storage/ini_file.h"
#include "storage/list_file.h"
#include "ui_text/ui_text_win32.h"

namespace tovrel {

namespace {

std::u16string ResolveListPath(const std::u16string& name) {
  AppContext& app = App();
  if (name.find(u'\\') != std::u16string::npos || name.find(u':') != std::u16string::npos) return name;
  return PathInWorkingDirectory(app, name);
}

// The save-file dialog both list commands use; empty when cancelled.
std::u16string AskListFile(HWND owner, int titleNumber) {
  AppContext& app = App();
  app.workingDirectory = CurrentDirectory();
  std::vector<wchar_t> file(260, L'\0');
  const wchar_t start[] = L"*.ini";
  std::copy(std::begin(start), std::end(start), file.begin());
  const std::wstring title = LookUpText(TextTable::Code, titleNumber);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = L"IniFile(*.ini)\0*.ini\0AllFile(*.*)\0*.*\0";
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = W(app.workingDirectory);
  ofn.lpstrTitle = title.c_str();
  // The working directory must stay where the program's own files are.
  ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameW(&ofn)) return {};
  return reinterpret_cast<const char16_t*>(file.data());
}

}  // namespace

void LoadListFile(const std::u16string& name, RowStore& store) {
  App().workingDirectory = CurrentDirectory();
  const IniFile file(ResolveListPath(name), SystemAnsiCodePage());
  LoadList(file.Doc(), store);
}

bool SaveListFile(const std::u16string& name, const RowStore& store, std::u16string* error) {
  EnterWorkingDirectory(App());
  IniFile file(ResolveListPath(name), SystemAnsiCodePage());
  SaveList(store, file.Doc());
  return file.Save(error);
}

void SaveListAsCommand(HWND owner, HWND list) {
  const std::u16string chosen = AskListFile(owner, 30);
  if (chosen.empty()) return;
  ListViewRowStore store(list);
  std::u16string error;
  if (!SaveListFile(WithIniExtension(chosen), store, &error)) ShowMessageWithDetail(owner, 51, error);
}

void LoadListFromCommand(HWND owner, HWND list) {
  const std::u16string chosen = AskListFile(owner, 31);
  if (chosen.empty()) return;
  const ListRedrawPause pause(list);
  ListViewRowStore store(list);
  store.DeleteAllRows();
  LoadListFile(chosen, store);
}

}  // namespace tovrel
