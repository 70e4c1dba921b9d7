#include "script/autocad_process_win32.h"

#include <string>
#include <vector>

#include "script/run_modes.h"
#include "win32/progress_window.h"
#include "win32/window_text.h"

namespace tovrel {

namespace {

// Between two looks at the clock and the Stop buttons.
constexpr DWORD kPollMilliseconds = 100;

void Pump(ProgressWindow* progress) {
  if (progress) {
    progress->Pump();
    return;
  }
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace

AutocadOutcome RunAutocadAndWait(const AppSettings& settings, std::uint64_t timeoutMs, ProgressWindow* progress) {
  AutocadOutcome outcome;
  const std::optional<std::u16string> line = AutocadCommandLine(settings.temp_file);
  if (!line) return outcome;
  std::vector<wchar_t> commandLine(line->begin(), line->end());
  commandLine.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  // The executable is passed as the program, so a path with blanks needs no quotes.
  if (!CreateProcessW(W(settings.autocad_file), commandLine.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS,
                      nullptr, nullptr, &startup, &process)) {
    return outcome;
  }
  CloseHandle(process.hThread);
  const ULONGLONG started = GetTickCount64();
  outcome.kind = AutocadOutcome::Kind::Ended;
  for (;;) {
    const DWORD woke =
        MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, kPollMilliseconds, QS_ALLINPUT);
    if (woke == WAIT_OBJECT_0) break;
    Pump(progress);
    const bool stopNow = progress && progress->StopNow();
    const bool late = timeoutMs != 0 && GetTickCount64() - started >= timeoutMs;
    if (stopNow || late) {
      if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;  // it ended meanwhile
      TerminateProcess(process.hProcess, 1);
      WaitForSingleObject(process.hProcess, 10000);
      outcome.kind = stopNow ? AutocadOutcome::Kind::StoppedNow : AutocadOutcome::Kind::TimedOut;
      break;
    }
  }
  GetExitCodeProcess(process.hProcess, &outcome.exitCode);
  CloseHandle(process.hProcess);
  return outcome;
}

}  // namespace tovrel
