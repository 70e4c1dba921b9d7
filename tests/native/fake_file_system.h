// An in-memory FileSystem. Paths ignore case; List takes "folder\*",
// "folder\*.*" or "folder\*.ext" and gives "." and ".." (except in a drive root), then the
// entries in the order added; it fails when the folder is missing, denied or
// nothing matches. Find fails for a drive root. Times are packed dates.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "storage/file_system.h"
#include "storage/text_codec.h"

namespace tovrel::test {

class FakeFileSystem final : public FileSystem {
public:
  void AddFolder(std::u16string_view path, std::uint32_t attributes = kAttributeDirectory) {
    Put(path, attributes | kAttributeDirectory, 0);
  }
  void AddFile(std::u16string_view path, std::uint64_t time = 0, std::uint32_t attributes = kAttributeArchive) {
    Put(path, attributes, time);
  }
  void DenyListing(std::u16string_view folder) { denied_.push_back(Key(Split(folder))); }
  void SetFixedDrives(std::u16string_view letters) { fixedDrives_ = FoldCase(letters); }
  // Drives of other kinds; a letter set here answers this kind only.
  void SetDriveKind(char16_t letter, DriveKind kind) { driveKinds_[FoldCase(letter)] = kind; }
  // Every pattern List was asked for, in order.
  const std::vector<std::u16string>& ListedPatterns() const { return listed_; }

  static std::uint64_t FileTime(int year, int month, int day, int hour, int minute) {
    return (((static_cast<std::uint64_t>(year) * 100 + month) * 100 + day) * 100 + hour) * 100 + minute;
  }
  LocalTime ToLocalTime(std::uint64_t time) const override {
    const auto at = [time](std::uint64_t unit) { return static_cast<int>(time / unit % 100); };
    return LocalTime{static_cast<int>(time / 100'000'000), at(1'000'000), at(10'000), at(100), at(1)};
  }

  bool List(const std::u16string& pattern, std::vector<DirEntry>& entries) const override {
    listed_.push_back(pattern);
    const std::size_t slash = pattern.rfind(u'\\');
    if (slash == std::u16string::npos) return false;
    const std::vector<std::u16string> parts = Split(std::u16string_view(pattern).substr(0, slash));
    const std::u16string key = Key(parts);
    const auto folder = nodes_.find(key);
    if (folder == nodes_.end() || (folder->second.attributes & kAttributeDirectory) == 0 ||
        std::find(denied_.begin(), denied_.end(), key) != denied_.end()) {
      return false;
    }
    std::u16string_view ending = std::u16string_view(pattern).substr(slash + 2);  // after '*'
    if (ending == u".*") ending = {};  // "*.*" matches every name, with a dot or without
    const auto add = [&](const std::u16string& name, std::uint32_t attributes, std::uint64_t time) {
      const std::u16string_view tail = std::u16string_view(name).substr(name.size() - std::min(name.size(), ending.size()));
      if (EqualsIgnoreCase(tail, ending)) entries.push_back(DirEntry{name, attributes, time});
    };
    const std::size_t before = entries.size();
    if (parts.size() > 1) {
      add(u".", kAttributeDirectory, 0);
      add(u"..", kAttributeDirectory, 0);
    }
    for (const std::u16string& childKey : folder->second.children) {
      const Node& child = nodes_.at(childKey);
      add(child.name, child.attributes, child.lastWriteTime);
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

  bool IsFixedDrive(char16_t letter) const override {
    return KindOfDrive(letter) == DriveKind::Fixed;
  }

  DriveKind KindOfDrive(char16_t letter) const override {
    const auto set = driveKinds_.find(FoldCase(letter));
    if (set != driveKinds_.end()) return set->second;
    return fixedDrives_.find(FoldCase(letter)) != std::u16string::npos ? DriveKind::Fixed : DriveKind::None;
  }

private:
  struct Node {
    std::u16string name;  // as added: the case the file system reports
    std::uint32_t attributes = kAttributeDirectory;
    std::uint64_t lastWriteTime = 0;
    std::vector<std::u16string> children;  // keys, in the order added
  };

  static std::vector<std::u16string> Split(std::u16string_view path) {
    std::vector<std::u16string> parts;
    for (std::size_t start = 0; start <= path.size();) {
      const std::size_t end = std::min(path.find(u'\\', start), path.size());
      if (end > start) parts.emplace_back(path.substr(start, end - start));
      start = end + 1;
    }
    return parts;
  }

  static std::u16string Key(const std::vector<std::u16string>& parts, std::size_t count = SIZE_MAX) {
    std::u16string key;
    for (std::size_t i = 0; i < parts.size() && i < count; ++i) key += (i > 0 ? u"\\" : u"") + FoldCase(parts[i]);
    return key;
  }

  void Put(std::u16string_view path, std::uint32_t attributes, std::uint64_t lastWriteTime) {
    const std::vector<std::u16string> parts = Split(path);
    for (std::size_t depth = 1; depth <= parts.size(); ++depth) {
      const std::u16string key = Key(parts, depth);
      auto [it, added] = nodes_.try_emplace(key, Node{parts[depth - 1], kAttributeDirectory, 0, {}});
      if (depth == parts.size()) it->second = Node{parts[depth - 1], attributes, lastWriteTime, it->second.children};
      if (added && depth > 1) nodes_.at(Key(parts, depth - 1)).children.push_back(key);
    }
  }

  std::map<std::u16string, Node> nodes_;
  std::vector<std::u16string> denied_;
  std::u16string fixedDrives_;
  std::map<char16_t, DriveKind> driveKinds_;
  mutable std::vector<std::u16string> listed_;
};

}  // namespace tovrel::test
