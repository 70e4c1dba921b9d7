// The cost of a one-pass per-drawing run beyond AutoCAD itself: 50 drawings
// run through the program's window on the stand-in (no plot delay), against
// the stand-in started directly 50 times on one drawing's script in the same
// run. Prints
//   run-overhead-50 ms_per_row=<n> baseline_ms_per_row=<n>
// where ms_per_row leaves out the 500 ms pause the run makes between two
// drawings.
#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app_harness.h"
#include "bench_lists.h"

using namespace tovrel::test;
using tovrel::bench::Touch;

namespace {

constexpr int kRows = 50;
constexpr double kPauseMs = 500;

double Ms(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

// Starts the stand-in on a script and waits for its end; false when it
// could not start or did not end within a minute.
bool RunStandIn(const std::wstring& acad, const std::wstring& script) {
  std::wstring commandLine = L" /b \"" + script + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(acad.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return false;
  }
  const bool ended = WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return ended;
}

}  // namespace

int main() {
  Workspace ws;
  const std::wstring drawings = ws.Path(L"drawings");
  CreateDirectoryW(drawings.c_str(), nullptr);
  std::wstring kept = L"[listliew]\r\nmax_cont=" + std::to_wstring(kRows) + L"\r\n";
  for (int row = 0; row < kRows; ++row) {
    wchar_t name[32];
    swprintf(name, 32, L"D-%03d.dwg", row);
    Touch(drawings + L"\\" + name);
    const std::wstring r = std::to_wstring(row);
    kept += r + L",0=" + name + L"\r\n" + r + L",1=" + drawings + L"\r\n" + r + L",4=Model\r\n" + r +
            L",5=DWG To PDF.pc3\r\n" + r + L",6=ISO A3 (420.00 x 297.00 MM)\r\n" + r + L",8=L Landscape\r\n" + r +
            L",10=E Extents\r\n" + r + L",12=monochrome.ctb\r\n";
  }
  ws.WriteUtf16(L"listview.ini", kept);
  Touch(ws.Path(L"endfile.dwg"));
  const std::wstring acad = ws.Path(L"acad.exe");
  CopyFileW((DistDir() + L"\\acad_standin.exe").c_str(), acad.c_str(), FALSE);
  SetEnvironmentVariableW(L"TOVREL_STANDIN_JOURNAL", ws.Path(L"journal.jsonl").c_str());
  ws.WriteUtf16(L"Tovrel.ini", L"[setting]\r\nautocad_file=" + acad + L"\r\ntemp_file=" + ws.Path(L"atcprint.scr") +
                                   L"\r\nend_file_dwg=" + ws.Path(L"endfile.dwg") + L"\r\nautocad_type=1\r\n");

  std::string error;
  double perRow = 0;
  {
    RunningApp app(ws);
    HWND list = app.Child(300);
    if (static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) != kRows) error = "list-not-loaded";
    const auto start = std::chrono::steady_clock::now();
    app.PostCommand(37846);
    HWND summary = nullptr;
    for (int wait = 0; wait < 12 && !summary; ++wait) summary = WaitForDialog(CatalogText(L"meg", L"No.77:meg-jb"));
    const double total = Ms(start);
    if (!summary) {
      error = "run-did-not-end";
    } else {
      if (MessageBoxText(summary).find(std::to_wstring(kRows) + L" / 0 / ") == std::wstring::npos) error = "not-all-plotted";
      PressButton(summary, IDOK);
    }
    perRow = total / kRows - kPauseMs * (kRows - 1) / kRows;
    app.Exit();
  }

  // The same script, the stand-in started directly.
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kRows; ++i) {
    if (!RunStandIn(acad, ws.Path(L"atcprint.scr"))) error = "stand-in-did-not-run";
  }
  const double baseline = Ms(start) / kRows;
  std::printf("run-overhead-50 ms_per_row=%.0f baseline_ms_per_row=%.0f%s%s\n", perRow, baseline,
              error.empty() ? "" : " error=", error.c_str());
  std::fflush(stdout);
  return error.empty() ? 0 : 1;
}
