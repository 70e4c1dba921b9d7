#include "app/old_templates_win32.h"

#include "app/app_context.h"
#include "app/app_files_win32.h"
#include "storage/ansi_code_page_win32.h"
#include "storage/old_templates.h"
#include "win32/file_dialog.h"
#include "win32/window_text.h"

namespace tovrel {

namespace {

constexpr wchar_t kOldFileFilter[] = L"tovrl_set1(*.ini)\0*.ini\0ALLFile(*.*)\0*.*\0";
constexpr int kDialogTitleText = 27;
constexpr int kMessageNotConverted = 17;
constexpr int kMessageOldFileUnreadable = 18;
constexpr int kMessageTemplatesNotSaved = 53;

}  // namespace

bool ConvertOldFilesCommand(HWND owner, AppContext& app) {
  FileDialogOptions options;
  options.owner = owner;
  options.title = LookUpText(TextTable::Code, kDialogTitleText);
  options.filter = kOldFileFilter;
  options.initialFolder = app.workingDirectory;
  options.initialName = kOldTitleFileName;
  const FileDialogResult chosen = AskOpenFile(options);
  if (chosen.outcome == FileDialogOutcome::Failed) ReportFileDialogFailure(owner, chosen);
  if (!chosen.Chosen()) {
    ShowMessage(owner, kMessageNotConverted);
    return false;
  }
  const OldConversion result = ConvertOldTemplates(FolderOfPath(chosen.Path()), SystemAnsiCodePage(), app.templates);
  if (result != OldConversion::Converted) {
    ShowMessage(owner, kMessageOldFileUnreadable);
    ShowMessage(owner, kMessageNotConverted);
    return false;
  }
  NoteTemplatesChanged(app);
  std::u16string error;
  if (!SaveTemplateFile(app, &error)) ShowMessageWithDetail(owner, kMessageTemplatesNotSaved, error);
  return true;
}

}  // namespace tovrel
