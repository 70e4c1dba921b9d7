#include "drawing_list/list_file_win32.h"

#include "drawing_list/list_file.h"
#include "drawing_list/list_view_row_store_win32.h"
#include "storage/ansi_code_page_win32.h"
#include "storage/ini_file.h"
#include "win32/file_dialog.h"
#include "win32/window_text.h"

namespace tovrel {

namespace {

constexpr int kMessageListNotSaved = 51;
constexpr int kMessageListNotLoaded = 57;
constexpr wchar_t kListFilter[] = L"IniFile(*.ini)\0*.ini\0AllFile(*.*)\0*.*\0";

FileDialogOptions ListDialogOptions(HWND owner, int titleNumber, const std::u16string& workingFolder) {
  FileDialogOptions options;
  options.owner = owner;
  options.title = LookUpText(TextTable::Code, titleNumber);
  options.filter = kListFilter;
  options.initialFolder = workingFolder;
  options.initialName = u"*.ini";
  return options;
}

}  // namespace

bool LoadListFile(const std::u16string& path, RowStore& store, std::u16string* error) {
  const IniFile file(path, SystemAnsiCodePage());
  if (file.LoadStatus() != ReadStatus::Ok) {
    if (error) *error = path;
    return false;
  }
  LoadList(file.Doc(), store);
  return true;
}

bool SaveListFile(const std::u16string& path, const RowStore& store, std::u16string* error) {
  IniFile file(path, SystemAnsiCodePage());
  SaveList(store, file.Doc());
  return file.Save(error);
}

void SaveListAsCommand(HWND owner, HWND list, const std::u16string& workingFolder) {
  const FileDialogResult chosen = AskSaveFile(ListDialogOptions(owner, 30, workingFolder));
  if (!chosen.Chosen()) {
    ReportFileDialogFailure(owner, chosen);
    return;
  }
  const ListViewRowStore store(list);
  std::u16string error;
  if (!SaveListFile(WithIniExtension(chosen.Path()), store, &error)) {
    ShowMessageWithDetail(owner, kMessageListNotSaved, error);
  }
}

void LoadListFromCommand(HWND owner, HWND list, const std::u16string& workingFolder) {
  FileDialogOptions options = ListDialogOptions(owner, 31, workingFolder);
  options.mustExist = true;
  const FileDialogResult chosen = AskOpenFile(options);
  if (!chosen.Chosen()) {
    ReportFileDialogFailure(owner, chosen);
    return;
  }
  // The file is read before a single row goes: a file that cannot be read
  // leaves the list as it was.
  const IniFile file(chosen.Path(), SystemAnsiCodePage());
  if (file.LoadStatus() != ReadStatus::Ok) {
    ShowMessageWithDetail(owner, kMessageListNotLoaded, chosen.Path());
    return;
  }
  const ListRedrawPause pause(list);
  ListViewRowStore store(list);
  store.DeleteAllRows();
  LoadList(file.Doc(), store);
}

}  // namespace tovrel
