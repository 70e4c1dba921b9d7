#include "storage/drive_search.h"

#include <utility>
#include <vector>

#include "storage/text_codec.h"

namespace tovrel {

namespace {

// "\" + the name as typed, with '/' read as '\' and leading separators
// dropped; empty when no name is left.
std::u16string MatchSuffix(std::u16string_view name) {
  std::u16string suffix(1, u'\\');
  for (char16_t c : name) {
    if (c == u'/') c = u'\\';
    if (c == u'\\' && suffix.size() == 1) continue;
    suffix += c;
  }
  return suffix.size() == 1 ? std::u16string() : suffix;
}

bool EndsWithIgnoreCase(std::u16string_view path, std::u16string_view suffix) {
  return path.size() >= suffix.size() && EqualsIgnoreCase(path.substr(path.size() - suffix.size()), suffix);
}

bool IsDotEntry(const std::u16string& name) { return name == u"." || name == u".."; }

// The walk of one drive. Folders waiting to be walked are kept on an
// explicit stack, so a deep tree costs heap, not call stack.
std::optional<std::u16string> SearchTree(const FileSystem& files, std::u16string root,
                                         std::u16string_view suffix) {
  std::vector<std::u16string> pending;
  pending.push_back(std::move(root));
  std::vector<DirEntry> entries;
  std::vector<std::u16string> subfolders;
  while (!pending.empty()) {
    const std::u16string folder = std::move(pending.back());
    pending.pop_back();
    entries.clear();
    if (!files.List(folder + u"\\*", entries)) continue;  // unreadable or empty
    subfolders.clear();
    for (const DirEntry& entry : entries) {
      if (entry.name.empty() || IsDotEntry(entry.name)) continue;
      std::u16string path = folder + u'\\' + entry.name;
      if ((entry.attributes & kAttributeDirectory) == 0) {
        if (EndsWithIgnoreCase(path, suffix)) return path;
      } else if ((entry.attributes & kAttributeReparsePoint) == 0) {
        subfolders.push_back(std::move(path));
      }
    }
    // Pushed last first, so the first subfolder listed is walked first.
    for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it) pending.push_back(std::move(*it));
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::u16string> SearchFixedDrives(const FileSystem& files, std::u16string_view name) {
  const std::u16string suffix = MatchSuffix(name);
  if (suffix.empty()) return std::nullopt;
  for (char16_t letter = u'C'; letter <= u'Z'; ++letter) {
    if (!files.IsFixedDrive(letter)) continue;
    // The root is walked as "C:", so paths below it read "C:\dwg\x.dwg".
    std::optional<std::u16string> found = SearchTree(files, std::u16string{letter, u':'}, suffix);
    if (found) return found;
  }
  return std::nullopt;
}

}  // namespace tovrel
