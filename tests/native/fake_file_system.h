// An in-memory FileSystem for tests of the core.
//
// Drives, folders and files, each with attributes and a last-write time.
// It answers as the Windows find functions do where the core can tell:
// - paths compare without regard to case, and "\\" runs collapse, so
//   "c:\DWG\\" names the folder "C:\dwg";
// - List's pattern is a folder and a mask with '*' and '?' ("*.dwg", "*"),
//   matched without regard to case; "*.*" matches every name;
// - a folder other than a drive root lists "." and ".." first, then its
//   entries in the order they were added (as a FAT volume does);
// - List fails when the folder is missing, is a file, is denied, or nothing
//   matches; Find fails for a missing path and for a drive root.
// Local time is UTC. Adding a path creates the folders above it.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "drawing_list/file_system.h"
#include "storage/text_codec.h"

namespace tovrel::test {

class FakeFileSystem final : public FileSystem {
public:
  // Adds (or changes) a folder; `attributes` should hold the directory bit.
  void AddFolder(std::u16string_view path, std::uint32_t attributes = kAttributeDirectory,
                 std::uint64_t lastWriteTime = 0) {
    Put(path, attributes | kAttributeDirectory, lastWriteTime);
  }
  // Adds (or changes) a file.
  void AddFile(std::u16string_view path, std::uint64_t lastWriteTime = 0,
               std::uint32_t attributes = kAttributeArchive) {
    Put(path, attributes, lastWriteTime);
  }
  // A folder that exists but cannot be listed (access denied).
  void DenyListing(std::u16string_view folder) { denied_.push_back(Key(Split(folder))); }
  // The letters of the fixed drives, for example u"CE"; none by default.
  void SetFixedDrives(std::u16string_view letters) { fixedDrives_ = FoldCase(letters); }

  // Every pattern List was asked for, in order.
  const std::vector<std::u16string>& ListedPatterns() const { return listed_; }

  // A file time from a UTC date and time.
  static std::uint64_t FileTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    const std::int64_t days = DaysFromCivil(year, month, day) + kDays1601To1970;
    const std::int64_t seconds = ((days * 24 + hour) * 60 + minute) * 60 + second;
    return static_cast<std::uint64_t>(seconds) * kTicksPerSecond;
  }

  bool List(const std::u16string& pattern, std::vector<DirEntry>& entries) const override {
    listed_.push_back(pattern);
    const std::size_t slash = pattern.rfind(u'\\');
    if (slash == std::u16string::npos) return false;
    const std::vector<std::u16string> parts = Split(std::u16string_view(pattern).substr(0, slash));
    const std::u16string_view mask = std::u16string_view(pattern).substr(slash + 1);
    const std::u16string key = Key(parts);
    const auto folder = nodes_.find(key);
    if (parts.empty() || folder == nodes_.end() || !IsFolder(folder->second)) return false;
    for (const std::u16string& denied : denied_) {
      if (denied == key) return false;
    }
    const std::size_t before = entries.size();
    if (parts.size() > 1) {
      for (const char16_t* dots : {u".", u".."}) {
        if (Matches(mask, dots)) entries.push_back(DirEntry{dots, kAttributeDirectory, folder->second.lastWriteTime});
      }
    }
    for (const std::u16string& childKey : folder->second.children) {
      const Node& child = nodes_.at(childKey);
      if (Matches(mask, child.name)) entries.push_back(DirEntry{child.name, child.attributes, child.lastWriteTime});
    }
    return entries.size() > before;
  }

  bool Find(const std::u16string& path, DirEntry& entry) const override {
    const std::vector<std::u16string> parts = Split(path);
    const auto found = nodes_.find(Key(parts));
    if (parts.size() < 2 || found == nodes_.end()) return false;
    entry = DirEntry{found->second.name, found->second.attributes, found->second.lastWriteTime};
    return true;
  }

  LocalTime ToLocalTime(std::uint64_t fileTime) const override {
    const std::uint64_t seconds = fileTime / kTicksPerSecond;
    const std::int64_t days = static_cast<std::int64_t>(seconds / 86400) - kDays1601To1970;
    const int secondOfDay = static_cast<int>(seconds % 86400);
    LocalTime time = CivilFromDays(days);
    time.hour = secondOfDay / 3600;
    time.minute = secondOfDay / 60 % 60;
    return time;
  }

  bool IsFixedDrive(char16_t letter) const override {
    return fixedDrives_.find(FoldCase(letter)) != std::u16string::npos;
  }

private:
  struct Node {
    std::u16string name;  // as added: the case the file system reports
    std::uint32_t attributes = 0;
    std::uint64_t lastWriteTime = 0;
    std::vector<std::u16string> children;  // keys, in the order added
  };

  static constexpr std::uint64_t kTicksPerSecond = 10'000'000;
  static constexpr std::int64_t kDays1601To1970 = 134'774;

  static bool IsFolder(const Node& node) { return (node.attributes & kAttributeDirectory) != 0; }

  // The parts of a path between backslashes; empty parts are dropped.
  static std::vector<std::u16string> Split(std::u16string_view path) {
    std::vector<std::u16string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
      std::size_t end = path.find(u'\\', start);
      if (end == std::u16string_view::npos) end = path.size();
      if (end > start) parts.emplace_back(path.substr(start, end - start));
      start = end + 1;
    }
    return parts;
  }

  static std::u16string Key(const std::vector<std::u16string>& parts, std::size_t count = SIZE_MAX) {
    std::u16string key;
    for (std::size_t i = 0; i < parts.size() && i < count; ++i) {
      if (i > 0) key += u'\\';
      key += FoldCase(parts[i]);
    }
    return key;
  }

  void Put(std::u16string_view path, std::uint32_t attributes, std::uint64_t lastWriteTime) {
    const std::vector<std::u16string> parts = Split(path);
    for (std::size_t depth = 1; depth <= parts.size(); ++depth) {
      const std::u16string key = Key(parts, depth);
      auto [it, added] = nodes_.try_emplace(key);
      Node& node = it->second;
      if (depth == parts.size()) {
        node.name = parts[depth - 1];
        node.attributes = attributes;
        node.lastWriteTime = lastWriteTime;
      } else if (added) {
        node.name = parts[depth - 1];
        node.attributes = kAttributeDirectory;
      }
      if (added && depth > 1) nodes_.at(Key(parts, depth - 1)).children.push_back(key);
    }
  }

  // Wildcard match: '*' any run of characters, '?' one character.
  static bool Matches(std::u16string_view mask, std::u16string_view name) {
    if (mask == u"*.*") return true;
    std::size_t m = 0, n = 0, starAt = std::u16string_view::npos, resumeAt = 0;
    while (n < name.size()) {
      if (m < mask.size() && mask[m] == u'*') {
        starAt = m++;
        resumeAt = n;
      } else if (m < mask.size() && (mask[m] == u'?' || FoldCase(mask[m]) == FoldCase(name[n]))) {
        ++m;
        ++n;
      } else if (starAt != std::u16string_view::npos) {
        m = starAt + 1;
        n = ++resumeAt;
      } else {
        return false;
      }
    }
    while (m < mask.size() && mask[m] == u'*') ++m;
    return m == mask.size();
  }

  // Days since 1970-01-01 of a proleptic Gregorian date, and back.
  static std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t dayOfYear = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
  }
  static LocalTime CivilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t dayOfEra = z - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t mp = (5 * dayOfYear + 2) / 153;
    LocalTime time;
    time.day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    time.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    time.year = static_cast<int>(yearOfEra + era * 400 + (time.month <= 2 ? 1 : 0));
    return time;
  }

  std::map<std::u16string, Node> nodes_;
  std::vector<std::u16string> denied_;
  std::u16string fixedDrives_;
  mutable std::vector<std::u16string> listed_;
};

}  // namespace tovrel::test
