// Start-up of Tovrel.exe with the shipped data files, from process start
// until its main window is on the screen and waits for input, next to an
// empty window program started and measured the same way in the same run:
//
//   startup_bench TOVREL_EXE EMPTY_WINDOW_EXE
//   -> startup ms=<median> baseline_ms=<median>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app_harness.h"

using namespace tovrel::test;

namespace {

constexpr int kRounds = 5;

// Milliseconds from CreateProcess until the program's top-level window is
// shown and the program waits for input; -1 when it never got there.
double TimeOneStart(const std::wstring& exe, const std::wstring& folder) {
  std::wstring commandLine = L"\"" + exe + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const auto start = std::chrono::steady_clock::now();
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &process)) {
    return -1;
  }
  HWND window = nullptr;
  bool ready = false;
  const ULONGLONG giveUp = GetTickCount64() + 60000;
  while (GetTickCount64() < giveUp) {
    WaitForInputIdle(process.hProcess, 100);
    window = WaitForWindowOfProcess(process.dwProcessId, L"", 0);
    if (window && WaitForInputIdle(process.hProcess, 0) == 0) {
      ready = true;
      break;
    }
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;  // ended without a window
  }
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  if (window) PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return ready ? ms : -1;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: startup_bench TOVREL_EXE EMPTY_WINDOW_EXE\n");
    return 2;
  }
  std::vector<double> tovrel, baseline;
  for (int round = 0; round < kRounds; ++round) {
    const Workspace ws;  // the shipped data files, nothing kept from a run before
    tovrel.push_back(TimeOneStart(argv[1], ws.Dir()));
    baseline.push_back(TimeOneStart(argv[2], ws.Dir()));
  }
  const bool failed = std::count(tovrel.begin(), tovrel.end(), -1.0) + std::count(baseline.begin(), baseline.end(), -1.0) > 0;
  std::printf("startup ms=%.0f baseline_ms=%.0f%s\n", Median(tovrel), Median(baseline),
              failed ? " error=a-window-never-appeared" : "");
  std::fflush(stdout);
  return failed ? 1 : 0;
}
