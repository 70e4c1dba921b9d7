// The platform half of the file-system seam: Win32 calls on Windows, POSIX
// calls elsewhere (the native test build).
#include "storage/file_io.h"

#include <algorithm>

#include "storage/text_codec.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tovrel {

namespace {

std::u16string TempPathFor(const std::u16string& path, unsigned attempt) {
  std::u16string tmp = path;
  tmp += u".tmp";
  tmp += static_cast<char16_t>(u'0' + attempt % 10);
  tmp += u'~';
  return tmp;
}

void SetError(std::u16string* error, std::u16string_view what, const std::u16string& path,
              unsigned long code) {
  if (!error) return;
  *error = std::u16string(what) + u" \"" + path + u"\" (" + ToU16(std::to_string(code)) + u")";
}

}  // namespace

#ifdef _WIN32

namespace {
const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

struct Handle {
  HANDLE h;
  explicit Handle(HANDLE handle) : h(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  bool Close() {
    const bool ok = CloseHandle(h) != 0;
    h = INVALID_HANDLE_VALUE;
    return ok;
  }
};
}  // namespace

FileContents ReadWholeFile(const std::u16string& path) {
  FileContents result;
  Handle file(CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.h == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    result.status = (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
                        ? ReadStatus::NotFound
                        : ReadStatus::Failed;
    return result;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.h, &size) || size.QuadPart > 0x7fffffff) {
    result.status = ReadStatus::Failed;
    return result;
  }
  result.bytes.resize(static_cast<std::size_t>(size.QuadPart));
  std::size_t done = 0;
  while (done < result.bytes.size()) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(result.bytes.size() - done, 1u << 24));
    if (!ReadFile(file.h, result.bytes.data() + done, want, &got, nullptr)) {
      result.status = ReadStatus::Failed;
      result.bytes.clear();
      return result;
    }
    if (got == 0) break;
    done += got;
  }
  result.bytes.resize(done);
  result.status = ReadStatus::Ok;
  return result;
}

bool WriteFileAtomically(const std::u16string& path, std::string_view bytes, std::u16string* error) {
  std::u16string tmp;
  HANDLE raw = INVALID_HANDLE_VALUE;
  for (unsigned attempt = 0; attempt < 10 && raw == INVALID_HANDLE_VALUE; ++attempt) {
    tmp = TempPathFor(path, attempt);
    raw = CreateFileW(W(tmp), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (raw == INVALID_HANDLE_VALUE) {
    SetError(error, u"Cannot create", tmp, GetLastError());
    return false;
  }
  Handle file(raw);
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD wrote = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
    if (!WriteFile(file.h, bytes.data() + done, want, &wrote, nullptr) || wrote == 0) {
      SetError(error, u"Cannot write", tmp, GetLastError());
      file.Close();
      DeleteFileW(W(tmp));
      return false;
    }
    done += wrote;
  }
  if (!FlushFileBuffers(file.h) || !file.Close()) {
    SetError(error, u"Cannot flush", tmp, GetLastError());
    DeleteFileW(W(tmp));
    return false;
  }
  if (!MoveFileExW(W(tmp), W(path), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    SetError(error, u"Cannot replace", path, GetLastError());
    DeleteFileW(W(tmp));
    return false;
  }
  return true;
}

bool AppendToFile(const std::u16string& path, std::string_view bytes) {
  Handle file(CreateFileW(W(path), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                          nullptr));
  if (file.h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file.h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0 &&
                  written == bytes.size();
  return file.Close() && ok;
}

bool FileExists(const std::u16string& path) {
  const DWORD attributes = GetFileAttributesW(W(path));
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

#else  // POSIX

namespace {
std::string NativePath(const std::u16string& path) { return Utf16ToUtf8(path); }

struct Fd {
  int fd;
  explicit Fd(int f) : fd(f) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
  bool Close() {
    const int rc = ::close(fd);
    fd = -1;
    return rc == 0;
  }
};
}  // namespace

FileContents ReadWholeFile(const std::u16string& path) {
  FileContents result;
  Fd file(::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC));
  if (file.fd < 0) {
    result.status = (errno == ENOENT || errno == ENOTDIR) ? ReadStatus::NotFound : ReadStatus::Failed;
    return result;
  }
  struct stat st {};
  if (::fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    result.status = ReadStatus::Failed;
    return result;
  }
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = ::read(file.fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      result.status = ReadStatus::Failed;
      result.bytes.clear();
      return result;
    }
    if (got == 0) break;
    result.bytes.append(buffer, static_cast<std::size_t>(got));
  }
  result.status = ReadStatus::Ok;
  return result;
}

bool WriteFileAtomically(const std::u16string& path, std::string_view bytes, std::u16string* error) {
  std::u16string tmp;
  int raw = -1;
  for (unsigned attempt = 0; attempt < 10 && raw < 0; ++attempt) {
    tmp = TempPathFor(path, attempt);
    raw = ::open(NativePath(tmp).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  }
  if (raw < 0) {
    SetError(error, u"Cannot create", tmp, static_cast<unsigned long>(errno));
    return false;
  }
  Fd file(raw);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t wrote = ::write(file.fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) {
      SetError(error, u"Cannot write", tmp, static_cast<unsigned long>(errno));
      file.Close();
      ::unlink(NativePath(tmp).c_str());
      return false;
    }
    done += static_cast<std::size_t>(wrote);
  }
  if (::fsync(file.fd) != 0 || !file.Close()) {
    SetError(error, u"Cannot flush", tmp, static_cast<unsigned long>(errno));
    ::unlink(NativePath(tmp).c_str());
    return false;
  }
  if (::rename(NativePath(tmp).c_str(), NativePath(path).c_str()) != 0) {
    SetError(error, u"Cannot replace", path, static_cast<unsigned long>(errno));
    ::unlink(NativePath(tmp).c_str());
    return false;
  }
  return true;
}

bool AppendToFile(const std::u16string& path, std::string_view bytes) {
  Fd file(::open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
  if (file.fd < 0) return false;
  const bool ok = ::write(file.fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  return file.Close() && ok;
}

bool FileExists(const std::u16string& path) {
  struct stat st {};
  return ::stat(NativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

#endif

}  // namespace tovrel
