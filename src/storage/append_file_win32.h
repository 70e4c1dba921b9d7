// A file that grows by whole lines: each Append is written and flushed to
// the disk before it returns, so a reader, a crash or a killed process
// finds every line that was appended. The run journal and the record of an
// unfinished run are kept this way.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tovrel {

class AppendFile {
public:
  enum class Open { CreateNew, Replace };
  AppendFile() = default;
  AppendFile(const std::u16string& path, Open how);
  ~AppendFile();
  AppendFile(AppendFile&& other) noexcept;
  AppendFile& operator=(AppendFile&& other) noexcept;
  AppendFile(const AppendFile&) = delete;
  AppendFile& operator=(const AppendFile&) = delete;

  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
  // The error of the open that failed (ERROR_FILE_EXISTS for CreateNew).
  DWORD OpenError() const { return openError_; }
  // Writes all of `bytes` and flushes; false when they could not be written.
  bool Append(std::string_view bytes);
  void Flush();

private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  DWORD openError_ = 0;
};

}  // namespace tovrel
