#include "script/script_runner_win32.h"

#include <algorithm>
#include <string>
#include <vector>

#include "drawing_list/list_view_row_store_win32.h"
#include "script/script_file.h"
#include "script/script_writer.h"
#include "win32/file_dialog.h"
#include "win32/window_text.h"

namespace tovrel {

namespace {

// The command line must hold the whole script path: a cut path would run
// another script.
bool ScriptPathFits(HWND owner, const AppSettings& settings) {
  if (AutocadCommandLine(settings.temp_file)) return true;
  ShowMessage(owner, kMessageScriptPathTooLong);
  return false;
}

void PauseBetweenDrawings() { Sleep(kRunPauseMilliseconds); }

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
    const std::wstring number = std::to_wstring(result.failedRow + 1);
    detail = u"#" + std::u16string(number.begin(), number.end()) + u"  " +
             RowDrawingPath(rows, result.failedRow, FindScriptColumns(tmpl));
  }
  ShowMessageWithDetail(owner, kMessageScriptLineTooLong, detail);
}

// The Notepad of the system folder, never one found by the search path (the
// current folder would come first there).
std::u16string SystemNotepad() {
  wchar_t folder[MAX_PATH] = L"";
  const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  return U(folder) + u"\\notepad.exe";
}

}  // namespace

bool WriteScriptFile(HWND owner, HWND list, int scope, const std::u16string& path, const ScriptRunContext& context) {
  ListViewRowStore store(list);
  ScriptFileSink sink(path);
  const ScriptWriteResult result =
      WriteScript(store, context.activeTemplate, context.settings.end_file_dwg, scope, sink);
  if (!result.ok) ShowWriteFailure(owner, store, result, context.activeTemplate);
  return result.ok;
}

int RunAutocad(HWND owner, const AppSettings& settings) {
  const std::optional<std::u16string> line = AutocadCommandLine(settings.temp_file);
  if (!line) {
    ShowMessage(owner, kMessageScriptPathTooLong);
    return 1;
  }
  std::vector<wchar_t> commandLine(line->begin(), line->end());
  commandLine.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  // The executable is passed as the program, so a path with blanks needs no quotes.
  if (!CreateProcessW(W(settings.autocad_file), commandLine.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS,
                      nullptr, nullptr, &startup, &process)) {
    ShowMessage(owner, kMessageAutocadCannotStart);
    return 1;
  }
  CloseHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hProcess);
  return 0;
}

void RunWholeList(HWND owner, HWND list, int scope, const ScriptRunContext& context) {
  if (!ScriptPathFits(owner, context.settings)) return;
  if (WriteScriptFile(owner, list, scope, context.settings.temp_file, context)) RunAutocad(owner, context.settings);
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

void RunPerRowOnce(HWND owner, HWND list, const ScriptRunContext& context) {
  ListViewRowStore store(list);
  PerRowRun run(store);
  if (run.Empty()) {
    ShowMessage(owner, kMessageListEmpty);
    return;
  }
  if (!ScriptPathFits(owner, context.settings)) return;
  const ScriptTemplate& tmpl = context.activeTemplate;
  const ScriptColumns columns = FindScriptColumns(tmpl);
  while (const std::optional<int> row = run.NextRow(store)) {
    ScriptFileSink sink(context.settings.temp_file);
    const ScriptWriteResult written =
        WriteRowScript(store, *row, tmpl, columns, context.settings.end_file_dwg, run.UsesSelection(), sink);
    if (!written.ok) {
      ShowWriteFailure(owner, store, written, tmpl);
      return;
    }
    if (RunAutocad(owner, context.settings) != 0) return;
    PauseBetweenDrawings();
  }
}

void StartTimerRun(HWND window, HWND list, TimerRun& run, UINT_PTR timerId) {
  const ListViewRowStore store(list);
  run = tovrel::StartTimerRun(store);
  SetTimer(window, timerId, kRunPauseMilliseconds, nullptr);
}

void OnTimerRunTick(HWND window, HWND list, TimerRun& run, UINT_PTR timerId, const ScriptRunContext& context) {
  KillTimer(window, timerId);
  if (!ScriptPathFits(window, context.settings)) return;
  ListViewRowStore store(list);
  ScriptFileSink sink(context.settings.temp_file);
  const TimerStepResult step =
      RunTimerStep(store, run, context.activeTemplate, context.settings.end_file_dwg, sink);
  if (step.messageNumber != 0) ShowMessage(window, step.messageNumber);
  if (step.answer == StepAnswer::End) return;
  if (step.answer == StepAnswer::Written && RunAutocad(window, context.settings) != 0) return;
  if (AdvanceTimerRun(run)) SetTimer(window, timerId, kRunPauseMilliseconds, nullptr);
}

void ShowScript(HWND owner, const AppSettings& settings) {
  const std::u16string notepad = SystemNotepad();
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
