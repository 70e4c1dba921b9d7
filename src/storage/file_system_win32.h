// The FileSystem seam on the Win32 file functions.
#pragma once

#include "storage/file_system.h"

namespace tovrel {

class Win32FileSystem final : public FileSystem {
public:
  bool List(const std::u16string& pattern, std::vector<DirEntry>& entries) const override;
  bool Find(const std::u16string& path, DirEntry& entry) const override;
  LocalTime ToLocalTime(std::uint64_t fileTime) const override;
  bool IsFixedDrive(char16_t letter) const override;
  DriveKind KindOfDrive(char16_t letter) const override;
};

}  // namespace tovrel
