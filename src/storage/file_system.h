// The file-system seam of the drawing list: listing folders, finding one
// file, and the local time of a file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tovrel {

// Attribute bits as the file system reports them.
inline constexpr std::uint32_t kAttributeReadOnly = 0x1;
inline constexpr std::uint32_t kAttributeHidden = 0x2;
inline constexpr std::uint32_t kAttributeSystem = 0x4;
inline constexpr std::uint32_t kAttributeDirectory = 0x10;
inline constexpr std::uint32_t kAttributeArchive = 0x20;
inline constexpr std::uint32_t kAttributeReparsePoint = 0x400;

struct DirEntry {
  std::u16string name;               // as the file system reports it (cFileName)
  std::uint32_t attributes = 0;
  std::uint64_t lastWriteTime = 0;   // 100-ns ticks since 1601-01-01 UTC
};

// What kind of drive a letter stands for.
enum class DriveKind { None, Fixed, Removable, Remote, CdRom, RamDisk };

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
};

class FileSystem {
public:
  virtual ~FileSystem() = default;
  // Every entry matching a pattern such as "c:\dwg\*.dwg" (the file system's
  // own wildcard match), in the order it returns them; false when the
  // pattern's folder cannot be read or nothing matches.
  virtual bool List(const std::u16string& pattern, std::vector<DirEntry>& entries) const = 0;
  // The entry of one path; false when it does not exist.
  virtual bool Find(const std::u16string& path, DirEntry& entry) const = 0;
  // A file time as local time.
  virtual LocalTime ToLocalTime(std::uint64_t fileTime) const = 0;
  // Whether the drive of a letter ('C' to 'Z') is a fixed disk.
  virtual bool IsFixedDrive(char16_t letter) const = 0;
  // The kind of the drive of a letter ('A' to 'Z'); None when there is no
  // drive or its kind is unknown.
  virtual DriveKind KindOfDrive(char16_t letter) const {
    return IsFixedDrive(letter) ? DriveKind::Fixed : DriveKind::None;
  }
};

// "YYYY/MM/DD hh:mm", the date text of a list row.
std::u16string FormatDateText(const LocalTime& time);

}  // namespace tovrel
