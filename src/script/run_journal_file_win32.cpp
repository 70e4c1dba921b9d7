#include "script/run_journal_file_win32.h"

#include "storage/decimal_text.h"

namespace tovrel {

RunJournalFile::RunJournalFile(const std::u16string& runsFolder, const ClockTime& started, RunMode mode,
                               std::u16string templateTitle)
    : mode_(mode), title_(std::move(templateTitle)) {
  CreateDirectoryW(reinterpret_cast<const wchar_t*>(runsFolder.c_str()), nullptr);
  for (int attempt = 1; attempt <= 100; ++attempt) {
    const std::u16string path = runsFolder + u"\\" + JournalFileName(started, attempt);
    AppendFile file(path, AppendFile::Open::CreateNew);
    if (file.IsOpen()) {
      if (file.Append(JournalHead())) {
        file_ = std::move(file);
        path_ = path;
        return;
      }
      error_ = path;
      return;
    }
    if (file.OpenError() != ERROR_FILE_EXISTS && file.OpenError() != ERROR_ALREADY_EXISTS) {
      error_ = path + u" (" + DecimalText(static_cast<int>(file.OpenError())) + u")";
      return;
    }
  }
  error_ = runsFolder;
}

bool RunJournalFile::Append(const RunRecord& record) {
  return file_.IsOpen() && file_.Append(JournalLine(mode_, title_, record));
}

}  // namespace tovrel
