#include "script/script_runner_win32.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "app/app_context.h"
#include "app/app_files_win32.h"
#include "drawing_list/list_view_row_store_win32.h"
#include "ui_text/ui_text_win32.h"

namespace tovrel {

namespace {

const std::u16string& ScriptPath() { return App().settings.temp_file; }
const std::u16string& EndDrawing() { return App().settings.end_file_dwg; }

// The command line must hold the whole script path: a cut path would run
// another script.
bool ScriptPathFits(HWND owner) {
  if (AutocadCommandLine(ScriptPath())) return true;
  ShowMessage(owner, kMessageScriptPathTooLong);
  return false;
}

void PauseBetweenDrawings() { Sleep(kRunPauseMilliseconds); }

}  // namespace

bool WriteScriptFile(HWND owner, HWND list, int scope, const std::u16string& path) {
  ListViewRowStore store(list);
  ScriptFileSink sink(path);
  const ScriptWriteResult result = WriteScript(store, App().ActiveTemplate(), EndDrawing(), scope, sink);
  if (!result.ok && result.messageNumber != 0) ShowMessage(owner, result.messageNumber);
  return result.ok;
}

int RunAutocad(HWND owner) {
  const std::optional<std::u16string> line = AutocadCommandLine(ScriptPath());
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
  if (!CreateProcessW(W(App().settings.autocad_file), commandLine.data(), nullptr, nullptr, FALSE,
                      NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &process)) {
    ShowMessage(owner, kMessageAutocadCannotStart);
    return 1;
  }
  CloseHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hProcess);
  return 0;
}

void RunWholeList(HWND owner, HWND list, int scope) {
  if (!ScriptPathFits(owner)) return;
  if (WriteScriptFile(owner, list, scope, ScriptPath())) RunAutocad(owner);
}

bool SaveScriptAs(HWND owner, HWND list, int scope) {
  AppContext& app = App();
  app.workingDirectory = CurrentDirectory();
  std::u16string start = app.workingDirectory + u"\\*.scr";
  std::vector<wchar_t> file(260, L'\0');
  std::copy_n(start.begin(), std::min<std::size_t>(start.size(), file.size() - 1), file.begin());
  const std::wstring title = LookUpText(TextTable::Code, 30);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = L"ScrFile(*.scr)\0*.scr\0AllFile(*.*)\0*.*\0";
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrTitle = title.c_str();
  // The working directory stays where the program's own files are.
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameW(&ofn)) return false;
  const std::u16string chosen = reinterpret_cast<const char16_t*>(file.data());
  return WriteScriptFile(owner, list, scope, WithScrExtension(chosen));
}

void RunPerRowOnce(HWND owner, HWND list) {
  ListViewRowStore store(list);
  PerRowRun run(store);
  if (run.Empty()) {
    ShowMessage(owner, kMessageListEmpty);
    return;
  }
  if (!ScriptPathFits(owner)) return;
  const ScriptTemplate& tmpl = App().ActiveTemplate();
  const ScriptColumns columns = FindScriptColumns(tmpl);
  while (const std::optional<int> row = run.NextRow(store)) {
    ScriptFileSink sink(ScriptPath());
    const ScriptWriteResult written =
        WriteRowScript(store, *row, tmpl, columns, EndDrawing(), run.UsesSelection(), sink);
    if (!written.ok) {
      ShowMessage(owner, written.messageNumber);
      return;
    }
    if (RunAutocad(owner) != 0) return;
    PauseBetweenDrawings();
  }
}

void StartTimerRun(HWND window, HWND list, TimerRun& run, UINT_PTR timerId) {
  const ListViewRowStore store(list);
  run = tovrel::StartTimerRun(store);
  SetTimer(window, timerId, kRunPauseMilliseconds, nullptr);
}

void OnTimerRunTick(HWND window, HWND list, TimerRun& run, UINT_PTR timerId) {
  KillTimer(window, timerId);
  if (!ScriptPathFits(window)) return;
  ListViewRowStore store(list);
  ScriptFileSink sink(ScriptPath());
  const TimerStepResult step = RunTimerStep(store, run, App().ActiveTemplate(), EndDrawing(), sink);
  if (step.messageNumber != 0) ShowMessage(window, step.messageNumber);
  if (step.answer == StepAnswer::End) return;
  if (step.answer == StepAnswer::Written && RunAutocad(window) != 0) return;
  if (AdvanceTimerRun(run)) SetTimer(window, timerId, kRunPauseMilliseconds, nullptr);
}

void ShowScript(HWND owner) {
  // Notepad gets the script path as its one argument, as it stands.
  std::u16string line = u"notepad.exe " + ScriptPath();
  std::vector<wchar_t> commandLine(line.begin(), line.end());
  commandLine.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    ShowMessage(owner, kMessageNotepadCannotStart);
    return;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

}  // namespace tovrel
