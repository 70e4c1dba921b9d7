#include "drawing_list/add_drawings.h"

#include <algorithm>

#include "drawing_list/row_insertion.h"

namespace tovrel {

namespace {

// The open-file dialog's directory part is a path of at most 259 characters;
// an offset of 260 or more cannot be one.
constexpr std::size_t kMaxDirectoryOffset = 260;

std::u16string DateTextOf(const FileSystem& files, const DirEntry& entry) {
  return FormatDateText(files.ToLocalTime(entry.lastWriteTime));
}

std::u16string Join(std::u16string_view folder, std::u16string_view name) {
  std::u16string path;
  path.reserve(folder.size() + 1 + name.size());
  path.append(folder);
  path += u'\\';
  path.append(name);
  return path;
}

// Folders unpacked from an archive carry the archive bit, many others "not
// content indexed": only the directory bit tells a folder. A reparse point
// is not followed, so that a junction back up the tree cannot loop.
bool IsWalkedFolder(const DirEntry& entry) {
  if ((entry.attributes & kAttributeDirectory) == 0) return false;
  if ((entry.attributes & kAttributeReparsePoint) != 0) return false;
  return !entry.name.empty() && entry.name != u"." && entry.name != u"..";
}

}  // namespace

std::u16string_view DrawingPattern(DrawingKind kind) {
  return kind == DrawingKind::Dwg ? u"*.dwg" : u"*.dxf";
}

int DrawingImage(DrawingKind kind) { return kind == DrawingKind::Dwg ? kImageDwg : kImageDxf; }

int ScanFolder(const FileSystem& files, RowStore& store, const ScriptTemplate& activeTemplate,
               std::u16string_view folder, DrawingKind kind, int firstRow) {
  std::vector<DirEntry> entries;
  if (!files.List(Join(folder, DrawingPattern(kind)), entries)) return 0;
  const int image = DrawingImage(kind);
  int row = firstRow;
  for (const DirEntry& entry : entries) {
    // Deliberate rule: a folder is never a drawing, even when its name
    // matches the pattern (a folder called "x.dwg"). The file system's
    // wildcard match alone would let it through, and AutoCAD could not
    // open such a row.
    if ((entry.attributes & kAttributeDirectory) != 0) continue;
    InsertDrawingRow(store, activeTemplate, entry.name, folder, DateTextOf(files, entry), image, row);
    ++row;
  }
  return row == firstRow ? 0 : row;
}

std::vector<std::u16string> CollectFolderTree(const FileSystem& files, std::u16string_view root) {
  // The work list in discovery order; each folder is listed once, in turn.
  std::vector<std::u16string> work{std::u16string(root)};
  std::vector<DirEntry> entries;
  for (std::size_t next = 0; next < work.size(); ++next) {
    const std::u16string current = work[next];
    entries.clear();
    files.List(Join(current, u"*"), entries);  // an unreadable folder simply has no subfolders
    for (const DirEntry& entry : entries) {
      if (IsWalkedFolder(entry)) work.push_back(Join(current, entry.name));
    }
  }
  return work;
}

int AddFolderTree(const FileSystem& files, RowStore& store, const ScriptTemplate& activeTemplate,
                  std::u16string_view root, DrawingKind kind, int firstRow) {
  int nextRow = firstRow;
  for (const std::u16string& folder : CollectFolderTree(files, root)) {
    const int after = ScanFolder(files, store, activeTemplate, folder, kind, nextRow);
    if (after != 0) nextRow = after;
  }
  return nextRow;
}

std::optional<PickedFiles> ParseOpenFileResult(std::u16string_view buffer, std::size_t fileOffset) {
  // Offset 0 would leave no directory part: the dialog never answers so.
  if (fileOffset == 0 || fileOffset >= kMaxDirectoryOffset || fileOffset >= buffer.size()) {
    return std::nullopt;
  }
  PickedFiles picked;
  std::u16string_view directory = buffer.substr(0, fileOffset);
  directory = directory.substr(0, directory.find(u'\0'));
  if (directory.size() > 1 && directory.back() == u'\\') directory.remove_suffix(1);
  picked.folder.assign(directory);

  // One file: "dir\name", the offset just after the backslash. Several:
  // "dir\0name1\0name2\0\0", the offset just after the first NUL. A name
  // not ended by a NUL before the buffer ends runs to the buffer's end.
  const bool several = buffer[fileOffset - 1] == u'\0';
  std::size_t start = fileOffset;
  while (start < buffer.size()) {
    const std::size_t end = std::min(buffer.find(u'\0', start), buffer.size());
    if (end == start) break;
    picked.names.emplace_back(buffer.substr(start, end - start));
    if (!several) break;
    start = end + 1;
  }
  return picked;
}

int ImageIndexForPickedName(std::u16string_view name) {
  if (name.size() < 2) return kImageDxf;
  const std::u16string_view last = name.substr(name.size() - 2);
  return (last == u"wg" || last == u"WG") ? kImageDwg : kImageDxf;
}

int AddPickedFiles(const FileSystem& files, RowStore& store, const ScriptTemplate& activeTemplate,
                   const PickedFiles& picked, std::vector<std::u16string>& notFound) {
  int nextRow = store.RowCount();
  int added = 0;
  for (const std::u16string& name : picked.names) {
    DirEntry entry;
    if (!files.Find(Join(picked.folder, name), entry)) {
      notFound.push_back(name);
      continue;
    }
    InsertDrawingRow(store, activeTemplate, entry.name, picked.folder, DateTextOf(files, entry),
                     ImageIndexForPickedName(name), nextRow);
    ++nextRow;
    ++added;
  }
  return added;
}

void SearchHistory::Remember(std::u16string_view typed) {
  // The text is compared as it would be stored, cut to a slot: a long text
  // typed twice is then not remembered twice. An empty text is never
  // remembered (every slot "begins with" it), so no empty slot ends the
  // shown list early.
  const std::u16string_view kept = typed.substr(0, std::min(typed.size(), kSlotSize - 1));
  if (kept.empty()) return;
  for (std::size_t slot = 0; slot < kComparedSlots; ++slot) {
    if (std::u16string_view(slots_[slot]).starts_with(kept)) return;
  }
  std::move_backward(slots_.begin(), slots_.end() - 1, slots_.end());
  slots_[0].assign(kept);
}

std::vector<std::u16string> SearchHistory::Shown() const {
  std::vector<std::u16string> shown;
  for (std::size_t slot = 0; slot < kShownSlots && !slots_[slot].empty(); ++slot) {
    shown.push_back(slots_[slot]);
  }
  return shown;
}

}  // namespace tovrel
