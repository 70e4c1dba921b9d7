#include "script/run_resume_file_win32.h"

#include "storage/ansi_code_page_win32.h"
#include "storage/file_io.h"
#include "storage/ini_file.h"

namespace tovrel {

namespace {

const wchar_t* Wide(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

}  // namespace

ResumeRecordFile::ResumeRecordFile(const std::u16string& runsFolder, const UnfinishedRun& run)
    : head_(runsFolder + u"\\" + kUnfinishedRunFileName),
      recordPath_(runsFolder + u"\\" + kUnfinishedRecordFileName),
      drawings_(run.drawings) {
  CreateDirectoryW(Wide(runsFolder), nullptr);
  // The record first: a head beside an old record would take its lines.
  record_ = AppendFile(recordPath_, AppendFile::Open::Replace);
  IniFile file(head_, SystemAnsiCodePage());
  SaveUnfinishedRun(run, file.Doc());
  written_ = record_.IsOpen() && file.Save();
}

void ResumeRecordFile::Note(int index, bool plotted) {
  if (index < 0 || static_cast<std::size_t>(index) >= drawings_.size()) return;
  record_.Append(ResumeRecordLine(index, plotted, drawings_[static_cast<std::size_t>(index)]));
}

void ResumeRecordFile::Remove() {
  record_ = AppendFile();
  DeleteFileW(Wide(head_));
  DeleteFileW(Wide(recordPath_));
}

StoredUnfinishedRun ReadUnfinishedRun(const std::u16string& runsFolder) {
  StoredUnfinishedRun stored;
  const IniFile head(runsFolder + u"\\" + kUnfinishedRunFileName, SystemAnsiCodePage());
  if (head.LoadStatus() == ReadStatus::NotFound) return stored;
  const FileContents record = ReadWholeFile(runsFolder + u"\\" + kUnfinishedRecordFileName);
  if (head.LoadStatus() == ReadStatus::Failed || record.status == ReadStatus::Failed) {
    stored.status = StoredUnfinishedRun::Status::Unreadable;
    return stored;
  }
  std::optional<UnfinishedRun> run = LoadUnfinishedRun(head.Doc());
  if (!run) return stored;
  ApplyResumeRecord(*run, record.bytes);
  stored.status = StoredUnfinishedRun::Status::Found;
  stored.run = std::move(*run);
  return stored;
}

void RemoveUnfinishedRun(const std::u16string& runsFolder) {
  DeleteFileW(Wide(runsFolder + u"\\" + kUnfinishedRunFileName));
  DeleteFileW(Wide(runsFolder + u"\\" + kUnfinishedRecordFileName));
}

}  // namespace tovrel
