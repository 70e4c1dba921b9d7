// The state of a running run on disk, for the next start to go on with it
// (run_resume.h): the head written once when the run starts, one record
// line appended and flushed per drawing, both removed when the run ends.
// A state that cannot be read at the next start (another program holds it
// for a moment) is kept, never deleted.
#pragma once

#include <optional>
#include <string>

#include "script/run_resume.h"
#include "storage/append_file_win32.h"

namespace tovrel {

class ResumeRecordFile {
public:
  // Writes the head and starts an empty record; Written() is false when
  // either cannot be written (the run goes on without).
  ResumeRecordFile(const std::u16string& runsFolder, const UnfinishedRun& run);
  bool Written() const { return written_; }
  void Note(int index, bool plotted);
  void Flush() { record_.Flush(); }
  void Remove();

private:
  std::u16string head_, recordPath_;
  std::vector<std::u16string> drawings_;
  AppendFile record_;
  bool written_ = false;
};

struct StoredUnfinishedRun {
  enum class Status { None, Unreadable, Found };
  Status status = Status::None;
  UnfinishedRun run;
};
StoredUnfinishedRun ReadUnfinishedRun(const std::u16string& runsFolder);
void RemoveUnfinishedRun(const std::u16string& runsFolder);

}  // namespace tovrel
