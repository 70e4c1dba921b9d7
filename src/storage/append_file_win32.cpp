#include "storage/append_file_win32.h"

#include <utility>

namespace tovrel {

AppendFile::AppendFile(const std::u16string& path, Open how) {
  // Others may read it while it grows (a spreadsheet, a backup).
  handle_ = CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                        how == Open::CreateNew ? CREATE_NEW : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) openError_ = GetLastError();
}

AppendFile::~AppendFile() {
  if (IsOpen()) CloseHandle(handle_);
}

AppendFile::AppendFile(AppendFile&& other) noexcept
    : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)), openError_(other.openError_) {}

AppendFile& AppendFile::operator=(AppendFile&& other) noexcept {
  if (this != &other) {
    if (IsOpen()) CloseHandle(handle_);
    handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
    openError_ = other.openError_;
  }
  return *this;
}

bool AppendFile::Append(std::string_view bytes) {
  if (!IsOpen()) return false;
  DWORD written = 0;
  const bool ok = WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  return FlushFileBuffers(handle_) && ok;
}

void AppendFile::Flush() {
  if (IsOpen()) FlushFileBuffers(handle_);
}

}  // namespace tovrel
