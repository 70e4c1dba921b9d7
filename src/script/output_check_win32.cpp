#include "script/output_check_win32.h"

namespace tovrel {

namespace {

ULONGLONG Ticks(const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

// File systems keep write times to 2 seconds at worst (FAT).
constexpr ULONGLONG kTimeGrain = 2ull * 10000000ull;

}  // namespace

bool OutputWritten(const std::u16string& path, const FILETIME& since) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(reinterpret_cast<const wchar_t*>(path.c_str()), GetFileExInfoStandard, &data)) return false;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  if (data.nFileSizeHigh == 0 && data.nFileSizeLow == 0) return false;
  return Ticks(data.ftLastWriteTime) + kTimeGrain >= Ticks(since);
}

FILETIME FileTimeNow() {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  return now;
}

}  // namespace tovrel
