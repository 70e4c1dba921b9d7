#include "script/script_runner_win32.h"

#include <string>
#include <vector>

#include "drawing_list/list_view_row_store_win32.h"
#include "script/script_file.h"
#include "script/script_writer.h"
#include "storage/decimal_text.h"
#include "storage/file_io.h"
#include "win32/file_dialog.h"
#include "win32/window_text.h"

namespace tovrel {

namespace {

constexpr int kMessageRunSummary = 77;

// Message 52 names the row and the drawing whose line is too long.
void ShowWriteFailure(HWND owner, const RowStore& rows, const ScriptWriteResult& result,
                      const ScriptTemplate& tmpl) {
  if (result.messageNumber == 0) return;
  if (result.messageNumber != kMessageScriptLineTooLong) {
    ShowMessage(owner, result.messageNumber);
    return;
  }
  std::u16string detail;
  if (result.failedRow >= 0) {
    detail = u"#" + DecimalText(result.failedRow + 1) + u"  " +
             RowDrawingPath(rows, result.failedRow, FindScriptColumns(tmpl));
  }
  ShowMessageWithDetail(owner, kMessageScriptLineTooLong, detail);
}

}  // namespace

std::uint64_t PerDrawingTimeoutMs(const AppSettings& settings) {
  return settings.run_timeout <= 0 ? 0 : static_cast<std::uint64_t>(settings.run_timeout) * 60000u;
}

bool WriteScriptFile(HWND owner, HWND list, int scope, const std::u16string& path, const ScriptRunContext& context) {
  ListViewRowStore store(list);
  ScriptFileSink sink(path);
  const ScriptWriteResult result =
      WriteScript(store, context.activeTemplate, context.settings.end_file_dwg, scope, sink);
  if (!result.ok) ShowWriteFailure(owner, store, result, context.activeTemplate);
  return result.ok;
}

bool SaveScriptAs(HWND owner, HWND list, int scope, const ScriptRunContext& context) {
  FileDialogOptions options;
  options.owner = owner;
  options.title = LookUpText(TextTable::Code, 30);
  options.filter = L"ScrFile(*.scr)\0*.scr\0AllFile(*.*)\0*.*\0";
  options.initialFolder = context.workingFolder;
  options.initialName = u"*.scr";
  const FileDialogResult chosen = AskSaveFile(options);
  if (!chosen.Chosen()) {
    ReportFileDialogFailure(owner, chosen);
    return false;
  }
  return WriteScriptFile(owner, list, scope, WithScrExtension(chosen.Path()), context);
}

// The newest journal in the "runs" folder: by its last write, then its name.
std::vector<std::u16string> NotPlottedInLastRun(const std::u16string& workingFolder) {
  const std::u16string folder = workingFolder + u"\\" + kRunsFolderName + u"\\";
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(W(folder + u"run-*.csv"), &found);
  if (search == INVALID_HANDLE_VALUE) return {};
  std::u16string newest;
  FILETIME newestTime{};
  do {
    const LONG order = CompareFileTime(&found.ftLastWriteTime, &newestTime);
    if (newest.empty() || order > 0 || (order == 0 && U(found.cFileName) > newest)) {
      newest = U(found.cFileName);
      newestTime = found.ftLastWriteTime;
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
  const FileContents contents = ReadWholeFile(folder + newest);
  return contents.status == ReadStatus::Ok ? NotPlottedInJournal(contents.bytes) : std::vector<std::u16string>();
}

void ShowRunSummary(HWND owner, const RunReport& report) {
  if (!report.ran) return;
  const RunSummary summary = Summarise(report.records, report.seconds);
  std::u16string detail = DecimalText(summary.plotted) + u" / " + DecimalText(summary.notPlotted) + u" / " +
                          DurationText(summary.seconds);
  if (!report.journalPath.empty()) detail += u"\r\n" + report.journalPath;
  ShowMessageWithDetail(owner, kMessageRunSummary, detail);
}

void ShowScript(HWND owner, const AppSettings& settings) {
  wchar_t folder[MAX_PATH] = L"";
  const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
  // The Notepad of the system folder, never one found by the search path
  // (the current folder would come first there).
  const std::u16string notepad = n == 0 || n >= MAX_PATH ? std::u16string() : U(folder) + u"\\notepad.exe";
  // Notepad gets the script path as its one argument, as it stands.
  std::u16string line = u"\"" + notepad + u"\" " + settings.temp_file;
  std::vector<wchar_t> commandLine(line.begin(), line.end());
  commandLine.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (notepad.empty() || !CreateProcessW(W(notepad), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                         nullptr, &startup, &process)) {
    ShowMessage(owner, kMessageNotepadCannotStart);
    return;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

}  // namespace tovrel
