// The script file: Win32 calls on Windows, POSIX calls elsewhere (the native
// test build).
#include "script/script_file.h"

#include <algorithm>
#include <utility>

#include "storage/text_codec.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tovrel {

#ifdef _WIN32

ScriptFileSink::ScriptFileSink(std::u16string path)
    : path_(std::move(path)), handle_(INVALID_HANDLE_VALUE) {}

bool ScriptFileSink::Open() {
  Close();
  handle_ = CreateFileW(reinterpret_cast<const wchar_t*>(path_.c_str()), GENERIC_WRITE, 0, nullptr,
                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  return handle_ != INVALID_HANDLE_VALUE;
}

bool ScriptFileSink::Write(std::string_view bytes) {
  if (handle_ == INVALID_HANDLE_VALUE) return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD wrote = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
    if (!WriteFile(handle_, bytes.data() + done, want, &wrote, nullptr) || wrote == 0) return false;
    done += wrote;
  }
  return true;
}

bool ScriptFileSink::Close() {
  if (handle_ == INVALID_HANDLE_VALUE) return true;
  // A network redirector may report a failed write only when the cached
  // data goes out, so flushing is part of knowing the script is complete.
  const bool flushed = FlushFileBuffers(handle_) != 0;
  const bool closed = CloseHandle(handle_) != 0;
  handle_ = INVALID_HANDLE_VALUE;
  return flushed && closed;
}

#else  // POSIX

ScriptFileSink::ScriptFileSink(std::u16string path) : path_(std::move(path)) {}

bool ScriptFileSink::Open() {
  Close();
  fd_ = ::open(Utf16ToUtf8(path_).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  return fd_ >= 0;
}

bool ScriptFileSink::Write(std::string_view bytes) {
  if (fd_ < 0) return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t wrote = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<std::size_t>(wrote);
  }
  return true;
}

bool ScriptFileSink::Close() {
  if (fd_ < 0) return true;
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  return closed;
}

#endif

ScriptFileSink::~ScriptFileSink() { Close(); }

bool MemoryScriptSink::Open() {
  ++openCount;
  if (failOpen) return false;
  bytes.clear();
  exists = true;
  open = true;
  return true;
}

bool MemoryScriptSink::Write(std::string_view data) {
  if (!open) return false;
  if (failWrite) {
    bytes.append(data.substr(0, data.size() / 2));
    return false;
  }
  bytes.append(data);
  return true;
}

bool MemoryScriptSink::Close() {
  if (!open) return true;
  open = false;
  return !failClose;
}

}  // namespace tovrel
