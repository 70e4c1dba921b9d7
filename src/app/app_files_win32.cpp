#include "app/app_files_win32.h"

#include <windows.h>

#include <shlobj.h>

#include "app/app_context.h"
#include "app/working_folder.h"
#include "win32/program_folder.h"
#include "win32/window_text.h"
#include "storage/ansi_code_page_win32.h"
#include "storage/ini_file.h"

namespace tovrel {

std::u16string CurrentDirectory() {
  wchar_t buffer[MAX_PATH] = L"";
  const DWORD n = GetCurrentDirectoryW(MAX_PATH, buffer);
  if (n == 0 || n >= MAX_PATH) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(buffer), n);
}

namespace {

std::u16string RoamingAppData() {
  PWSTR folder = nullptr;
  std::u16string result;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &folder))) {
    result = reinterpret_cast<const char16_t*>(folder);
  }
  CoTaskMemFree(folder);
  return result;
}

constexpr int kMessageWriteOverUnread = 98;

// A file that could not be read at start is written only when the user
// says so; the answer holds for the rest of the run.
bool MayWriteOver(AppContext& app, const std::u16string& path) {
  if (!app.WasUnread(path)) return true;
  if (AskMessageWithDetail(nullptr, kMessageWriteOverUnread, path) != IDYES) return false;
  app.NoteRead(path, ReadStatus::Ok);
  return true;
}

}  // namespace

std::u16string FindWorkingFolder() {
  const std::u16string program = ProgramFolder();
  const bool marker = GetFileAttributesW(W(program + u"\\" + kInstalledMarkerFileName)) != INVALID_FILE_ATTRIBUTES;
  const WorkingFolderChoice choice = ChooseWorkingFolder(marker, CurrentDirectory(), marker ? RoamingAppData() : u"");
  if (choice.installed) {
    CreateDirectoryW(W(choice.folder), nullptr);
    for (const std::u16string& name : ShippedDataFiles()) {
      // The user's own copy is never overwritten.
      CopyFileW(W(program + u"\\" + name), W(choice.folder + u"\\" + name), TRUE);
    }
    // AutoCAD and the script paths written relative to it see the same folder.
    SetCurrentDirectoryW(W(choice.folder));
  }
  return choice.folder;
}

void EnterWorkingDirectory(const AppContext& app) {
  if (!app.workingDirectory.empty()) {
    SetCurrentDirectoryW(reinterpret_cast<const wchar_t*>(app.workingDirectory.c_str()));
  }
}

std::u16string PathInWorkingDirectory(const AppContext& app, std::u16string_view name) {
  std::u16string path = app.workingDirectory;
  path += u'\\';
  path += name;
  return path;
}

bool LoadCatalogFile(AppContext& app) {
  const IniFile catalog(PathInWorkingDirectory(app, kCatalogFileName), SystemAnsiCodePage());
  app.text.Load(catalog.Doc());
  return catalog.LoadStatus() == ReadStatus::Ok;
}

void LoadSettingsFile(AppContext& app) {
  const std::u16string path = SettingsPath(app.workingDirectory);
  const IniFile file(path, SystemAnsiCodePage());
  app.NoteRead(path, file.LoadStatus());
  LoadSettings(file.Doc(), app.workingDirectory, app.settings);
}

bool SaveSettingsFile(AppContext& app, std::u16string* error) {
  EnterWorkingDirectory(app);
  const std::u16string path = SettingsPath(app.workingDirectory);
  if (!MayWriteOver(app, path)) return true;
  IniFile file(path, SystemAnsiCodePage());
  SaveSettings(app.settings, file.Doc());
  return file.Save(error);
}

void LoadTemplateFile(AppContext& app) {
  const std::u16string name = TemplateFileName(app.settings.moji_type);
  if (name.empty()) return;  // no template file for an unknown language
  const std::u16string path = PathInWorkingDirectory(app, name);
  const IniFile file(path, SystemAnsiCodePage());
  app.NoteRead(path, file.LoadStatus());
  LoadTemplates(file.Doc(), app.templates);
  app.templatesChanged = false;
}

bool SaveTemplateFile(AppContext& app, std::u16string* error) {
  EnterWorkingDirectory(app);
  const std::u16string name = TemplateFileName(app.settings.moji_type);
  if (name.empty()) return true;
  const std::u16string path = PathInWorkingDirectory(app, name);
  if (!MayWriteOver(app, path)) return true;
  IniFile file(path, SystemAnsiCodePage());
  SaveTemplates(app.templates, file.Doc());
  if (!file.Save(error)) return false;
  app.templatesChanged = false;
  return true;
}

void NoteTemplatesChanged(AppContext& app) { app.templatesChanged = true; }

bool SaveChangedTemplates(AppContext& app, std::u16string* error) {
  return !app.templatesChanged || SaveTemplateFile(app, error);
}

}  // namespace tovrel
