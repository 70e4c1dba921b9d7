#include "storage/ini_file.h"

namespace tovrel {

IniFile::IniFile(std::u16string path, const AnsiCodePage& ansi) : path_(std::move(path)) {
  FileContents contents = ReadWholeFile(path_);
  loadStatus_ = contents.status;
  if (contents.status == ReadStatus::Ok) doc_ = IniDocument::FromBytes(contents.bytes, ansi);
}

bool IniFile::Save(std::u16string* error) {
  if (!doc_.IsModified()) return true;
  // A file that exists but could not be read is never replaced: its
  // contents are unknown here and would be lost.
  if (loadStatus_ == ReadStatus::Failed) {
    if (error) *error = u"Cannot read \"" + path_ + u"\"; it was left unchanged";
    return false;
  }
  if (!WriteFileAtomically(path_, doc_.ToUtf16LeBytes(), error)) return false;
  doc_.MarkSaved();
  loadStatus_ = ReadStatus::Ok;
  return true;
}

}  // namespace tovrel
