// What a run writes for each drawing as it ends - its journal line and its
// line of the resume record, both flushed - on a run of 10,000 rows, timed
// at drawing 100 and at drawing 10,000 (each the mean of the ten drawings up
// to it). The cost must not grow with the drawings done. Prints
//   run-bookkeeping-10000 first_ms=<n> last_ms=<n>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "script/run_journal_file_win32.h"
#include "script/run_resume_file_win32.h"

using namespace tovrel;

namespace {

constexpr int kRows = 10000;

std::u16string U(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }

}  // namespace

int wmain() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"tovrel-bookkeeping-" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::u16string runs = U(folder) + u"\\runs";

  UnfinishedRun state;
  state.mode = RunMode::PerRowOnce;
  for (int row = 0; row < kRows; ++row) {
    state.rows.push_back(row);
    state.drawings.push_back(u"C:\\Projects\\Tower B\\Level " + U(std::to_wstring(row / 100)) + u"\\A-" +
                             U(std::to_wstring(row)) + u".dwg");
  }
  RunJournalFile journal(runs, ClockTime{2026, 12, 7, 4, 0, 0}, state.mode, u"Model - plot to printer");
  ResumeRecordFile resume(runs, state);
  std::string error;
  if (journal.Path().empty()) error = "journal-not-created";
  if (!resume.Written()) error = "resume-not-written";

  double first = 0, last = 0;
  for (int i = 0; i < kRows && error.empty(); ++i) {
    RunRecord record;
    record.row = i;
    record.drawing = state.drawings[static_cast<std::size_t>(i)];
    record.printer = u"DWG To PDF.pc3";
    record.paper = u"ISO full bleed A1 (841.00 x 594.00 MM)";
    record.result = RowResult::Plotted;
    record.seconds = 12.5;
    const auto start = std::chrono::steady_clock::now();
    if (!journal.Append(record)) error = "journal-line-not-written";
    resume.Note(i, true);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (i >= 90 && i < 100) first += ms / 10;
    if (i >= kRows - 10) last += ms / 10;
  }
  const StoredUnfinishedRun stored = ReadUnfinishedRun(runs);
  if (error.empty() && (stored.status != StoredUnfinishedRun::Status::Found || !stored.run.plotted.back())) {
    error = "record-not-read-back";
  }
  resume.Remove();
  DeleteFileW(reinterpret_cast<const wchar_t*>(journal.Path().c_str()));
  RemoveDirectoryW((folder + L"\\runs").c_str());
  RemoveDirectoryW(folder.c_str());
  std::printf("run-bookkeeping-10000 first_ms=%.3f last_ms=%.3f%s%s\n", first, last, error.empty() ? "" : " error=",
              error.c_str());
  return error.empty() ? 0 : 1;
}
