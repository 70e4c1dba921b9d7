#include "script/template_transfer_win32.h"

#include "storage/ansi_code_page_win32.h"
#include "storage/ini_file.h"
#include "storage/text_catalog.h"
#include "win32/file_dialog.h"
#include "win32/window_text.h"

namespace tovrel {

namespace {

constexpr wchar_t kTemplateFilter[] = L"DatFile(*.dat)\0*.dat\0ALLFile(*.*)\0*.*\0";
constexpr int kImportTitleText = 28;
constexpr int kExportTitleText = 29;

FileDialogOptions TemplateFileOptions(HWND owner, const std::u16string& workingDirectory, int titleText) {
  FileDialogOptions options;
  options.owner = owner;
  options.title = LookUpText(TextTable::Code, titleText);
  options.filter = kTemplateFilter;
  options.initialFolder = workingDirectory;
  options.initialName = u"*.dat";
  return options;
}

// The outcome of a file dialog that did not give a file.
TransferOutcome NotChosen(HWND owner, const FileDialogResult& result) {
  if (result.outcome == FileDialogOutcome::Failed) {
    ReportFileDialogFailure(owner, result);
    return TransferOutcome::DialogFailed;
  }
  return TransferOutcome::Cancelled;
}

}  // namespace

TransferOutcome ImportTemplate(HWND owner, const std::u16string& workingDirectory, ScriptTemplate& tmpl,
                               std::u16string& chosenPath) {
  const FileDialogResult result = AskOpenFile(TemplateFileOptions(owner, workingDirectory, kImportTitleText));
  if (!result.Chosen()) return NotChosen(owner, result);
  const IniFile file(result.Path(), SystemAnsiCodePage());
  if (file.LoadStatus() != ReadStatus::Ok) return TransferOutcome::FileFailed;
  if (!ReadSingleTemplate(file.Doc(), tmpl)) return TransferOutcome::FileFailed;
  chosenPath = result.Path();
  return TransferOutcome::Done;
}

TransferOutcome ExportTemplate(HWND owner, const std::u16string& workingDirectory, const ScriptTemplate& tmpl,
                               std::u16string& chosenPath, std::u16string& error) {
  const FileDialogResult result = AskSaveFile(TemplateFileOptions(owner, workingDirectory, kExportTitleText));
  if (!result.Chosen()) return NotChosen(owner, result);
  chosenPath = result.Path();
  IniFile file(chosenPath, SystemAnsiCodePage());
  if (file.LoadStatus() == ReadStatus::Failed) {
    // Writing over a file that could not be read would lose its other sections.
    error = chosenPath;
    return TransferOutcome::FileFailed;
  }
  if (!WriteSingleTemplate(tmpl, file.Doc())) return TransferOutcome::Refused;
  return file.Save(&error) ? TransferOutcome::Done : TransferOutcome::FileFailed;
}

}  // namespace tovrel
