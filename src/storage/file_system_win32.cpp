#include "storage/file_system_win32.h"

#include <windows.h>

namespace tovrel {

namespace {

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

DirEntry ToEntry(const WIN32_FIND_DATAW& found) {
  DirEntry entry;
  entry.name = reinterpret_cast<const char16_t*>(found.cFileName);
  entry.attributes = found.dwFileAttributes;
  entry.lastWriteTime = (static_cast<std::uint64_t>(found.ftLastWriteTime.dwHighDateTime) << 32) |
                        found.ftLastWriteTime.dwLowDateTime;
  return entry;
}

class FindHandle {
public:
  FindHandle(const std::u16string& pattern, WIN32_FIND_DATAW& found)
      : handle_(FindFirstFileW(W(pattern), &found)) {}
  ~FindHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool Next(WIN32_FIND_DATAW& found) { return FindNextFileW(handle_, &found) != 0; }

private:
  HANDLE handle_;
};

}  // namespace

bool Win32FileSystem::List(const std::u16string& pattern, std::vector<DirEntry>& entries) const {
  WIN32_FIND_DATAW found;
  FindHandle find(pattern, found);
  if (!find.Valid()) return false;
  do {
    entries.push_back(ToEntry(found));
  } while (find.Next(found));
  return true;
}

bool Win32FileSystem::Find(const std::u16string& path, DirEntry& entry) const {
  WIN32_FIND_DATAW found;
  FindHandle find(path, found);
  if (!find.Valid()) return false;
  entry = ToEntry(found);
  return true;
}

LocalTime Win32FileSystem::ToLocalTime(std::uint64_t fileTime) const {
  FILETIME utc{static_cast<DWORD>(fileTime & 0xFFFFFFFFu), static_cast<DWORD>(fileTime >> 32)};
  FILETIME local{};
  SYSTEMTIME time{};
  FileTimeToLocalFileTime(&utc, &local);
  FileTimeToSystemTime(&local, &time);
  return LocalTime{time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute};
}

bool Win32FileSystem::IsFixedDrive(char16_t letter) const {
  const wchar_t root[] = {static_cast<wchar_t>(letter), L':', L'\\', L'\0'};
  return GetDriveTypeW(root) == DRIVE_FIXED;
}

DriveKind Win32FileSystem::KindOfDrive(char16_t letter) const {
  const wchar_t root[] = {static_cast<wchar_t>(letter), L':', L'\\', L'\0'};
  switch (GetDriveTypeW(root)) {
    case DRIVE_FIXED:
      return DriveKind::Fixed;
    case DRIVE_REMOVABLE:
      return DriveKind::Removable;
    case DRIVE_REMOTE:
      return DriveKind::Remote;
    case DRIVE_CDROM:
      return DriveKind::CdRom;
    case DRIVE_RAMDISK:
      return DriveKind::RamDisk;
    default:
      return DriveKind::None;
  }
}

}  // namespace tovrel
