// The journal of a run on disk: "runs\run-YYYYMMDD-hhmmss.csv", created new
// (a second run started in the same second, by this program or another,
// gets "-2", "-3", ... and never shares a file), its head written at once
// and one line appended and flushed as each drawing ends.
#pragma once

#include <string>

#include "script/run_journal.h"
#include "storage/append_file_win32.h"

namespace tovrel {

class RunJournalFile {
public:
  // Creates the journal in `runsFolder`; Path() is empty when it cannot.
  RunJournalFile(const std::u16string& runsFolder, const ClockTime& started, RunMode mode,
                 std::u16string templateTitle);
  const std::u16string& Path() const { return path_; }
  const std::u16string& Error() const { return error_; }
  // False when the line could not be written (said once by the caller).
  bool Append(const RunRecord& record);

private:
  AppendFile file_;
  std::u16string path_;
  std::u16string error_;
  RunMode mode_;
  std::u16string title_;
};

}  // namespace tovrel
