// The parallel lane against the one-pass per-drawing run: 100 rows to
// "DWG To PDF.pc3" on the stand-in, each plot costing 300 ms of CPU
// (TOVREL_STANDIN_WORK_MS), both runs through the program's window in one
// program. Prints
//   parallel-100 workers=<n> ms=<lane> sequential_ms=<per-drawing> speedup=<x>
//     sequential_work_ms=<per-drawing less its pauses> work_speedup=<x>
// The per-drawing run pauses 500 ms between two drawings; work_speedup
// leaves those pauses out. The argument is parallel_workers (0: one per core).
#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app_harness.h"
#include "bench_lists.h"

using namespace tovrel::test;
using tovrel::bench::Touch;

namespace {

constexpr int kRows = 100;
constexpr double kPauseMs = 500;

// Runs one command on the kept list and waits for its summary; the
// milliseconds it took, or a negative number with `error` set.
double TimedRun(const Workspace& ws, int command, std::string& error) {
  RunningApp app(ws);
  if (static_cast<int>(SendMessageW(app.Child(300), LVM_GETITEMCOUNT, 0, 0)) != kRows) error = "list-not-loaded";
  const auto start = std::chrono::steady_clock::now();
  app.PostCommand(command);
  HWND summary = nullptr;
  for (int wait = 0; wait < 60 && !summary; ++wait) summary = WaitForDialog(CatalogText(L"meg", L"No.77:meg-jb"));
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  if (!summary) {
    error = "run-did-not-end";
  } else {
    if (MessageBoxText(summary).find(std::to_wstring(kRows) + L" / 0 / ") == std::wstring::npos) error = "not-all-plotted";
    PressButton(summary, IDOK);
  }
  app.Exit();
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string name = argc > 1 ? argv[1] : "parallel-100";
  const int workersSetting = argc > 2 ? std::atoi(argv[2]) : 0;
  Workspace ws;
  const std::wstring drawings = ws.Path(L"drawings");
  CreateDirectoryW(drawings.c_str(), nullptr);
  std::wstring kept = L"[listliew]\r\nmax_cont=" + std::to_wstring(kRows) + L"\r\n";
  for (int row = 0; row < kRows; ++row) {
    wchar_t file[32];
    swprintf(file, 32, L"D-%03d.dwg", row);
    Touch(drawings + L"\\" + file);
    const std::wstring r = std::to_wstring(row);
    kept += r + L",0=" + file + L"\r\n" + r + L",1=" + drawings + L"\r\n" + r + L",4=Model\r\n" + r +
            L",5=DWG To PDF.pc3\r\n" + r + L",6=ISO A3 (420.00 x 297.00 MM)\r\n" + r + L",8=L Landscape\r\n" + r +
            L",10=E Extents\r\n" + r + L",12=monochrome.ctb\r\n";
  }
  ws.WriteUtf16(L"listview.ini", kept);
  Touch(ws.Path(L"endfile.dwg"));
  for (const wchar_t* program : {L"acad.exe", L"accoreconsole.exe"}) {
    CopyFileW((DistDir() + L"\\acad_standin.exe").c_str(), ws.Path(program).c_str(), FALSE);
  }
  SetEnvironmentVariableW(L"TOVREL_STANDIN_JOURNAL", ws.Path(L"journal.jsonl").c_str());
  SetEnvironmentVariableW(L"TOVREL_STANDIN_WORK_MS", L"300");
  ws.WriteUtf16(L"Tovrel.ini", L"[setting]\r\nautocad_file=" + ws.Path(L"acad.exe") + L"\r\ntemp_file=" +
                                   ws.Path(L"atcprint.scr") + L"\r\nend_file_dwg=" + ws.Path(L"endfile.dwg") +
                                   L"\r\nautocad_type=1\r\nparallel_workers=" + std::to_wstring(workersSetting) +
                                   L"\r\n");
  SYSTEM_INFO system{};
  GetSystemInfo(&system);
  const int workers = workersSetting > 0 ? workersSetting : static_cast<int>(system.dwNumberOfProcessors);

  std::string error;
  const double sequential = TimedRun(ws, 37846, error);
  const double lane = TimedRun(ws, 37863, error);
  const double work = sequential - kPauseMs * (kRows - 1);
  std::printf("%s workers=%d ms=%.0f sequential_ms=%.0f speedup=%.2f sequential_work_ms=%.0f work_speedup=%.2f%s%s\n",
              name.c_str(), workers, lane, sequential, sequential / lane, work, work / lane,
              error.empty() ? "" : " error=", error.c_str());
  std::fflush(stdout);
  return error.empty() ? 0 : 1;
}
