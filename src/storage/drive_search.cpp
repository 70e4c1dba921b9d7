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

// What a walk looks for and what it has found so far.
struct Hunt {
  std::vector<std::u16string> suffixes;  // empty: a name that matches nothing
  std::vector<std::optional<std::u16string>> found;
  std::size_t required = 0;              // the first names the walk goes on for
  std::size_t missing = 0;               // required names with a suffix and no hit yet

  // Takes the path as the hit of every name still missing that it ends with.
  void Check(const std::u16string& path) {
    for (std::size_t i = 0; i < suffixes.size(); ++i) {
      if (found[i] || suffixes[i].empty() || !EndsWithIgnoreCase(path, suffixes[i])) continue;
      found[i] = path;
      if (i < required) --missing;
    }
  }
};

// The walk of one drive. Folders waiting to be walked are kept on an
// explicit stack, so a deep tree costs heap, not call stack. False when the
// search was cancelled.
bool SearchTree(const FileSystem& files, std::u16string root, Hunt& hunt, const SearchCancelled& cancelled) {
  std::vector<std::u16string> pending;
  pending.push_back(std::move(root));
  std::vector<DirEntry> entries;
  std::vector<std::u16string> subfolders;
  while (!pending.empty() && hunt.missing > 0) {
    if (cancelled && cancelled()) return false;
    const std::u16string folder = std::move(pending.back());
    pending.pop_back();
    entries.clear();
    if (!files.List(folder + u"\\*", entries)) continue;  // unreadable or empty
    subfolders.clear();
    for (const DirEntry& entry : entries) {
      if (entry.name.empty() || IsDotEntry(entry.name)) continue;
      std::u16string path = folder + u'\\' + entry.name;
      if ((entry.attributes & kAttributeDirectory) == 0) {
        hunt.Check(path);
        if (hunt.missing == 0) return true;
      } else if ((entry.attributes & kAttributeReparsePoint) == 0) {
        subfolders.push_back(std::move(path));
      }
    }
    // Pushed last first, so the first subfolder listed is walked first.
    for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it) pending.push_back(std::move(*it));
  }
  return true;
}

}  // namespace

std::optional<std::u16string> SearchFixedDrives(const FileSystem& files, std::u16string_view name) {
  return SearchFixedDrivesForEach(files, {std::u16string(name)}).front();
}

std::vector<std::optional<std::u16string>> SearchFixedDrivesForEach(const FileSystem& files,
                                                                    const std::vector<std::u16string>& names,
                                                                    const SearchCancelled& cancelled,
                                                                    std::size_t required) {
  Hunt hunt;
  hunt.required = required;
  for (const std::u16string& name : names) {
    hunt.suffixes.push_back(MatchSuffix(name));
    if (!hunt.suffixes.back().empty() && hunt.suffixes.size() <= required) ++hunt.missing;
  }
  hunt.found.resize(names.size());
  for (char16_t letter = u'C'; letter <= u'Z' && hunt.missing > 0; ++letter) {
    if (!files.IsFixedDrive(letter)) continue;
    // The root is walked as "C:", so paths below it read "C:\dwg\x.dwg".
    if (!SearchTree(files, std::u16string{letter, u':'}, hunt, cancelled)) break;
  }
  return std::move(hunt.found);
}

}  // namespace tovrel
