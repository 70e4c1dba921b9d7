#include "drawing_list/folder_browser.h"

#include "drawing_list/add_drawings.h"
#include "storage/text_codec.h"

namespace tovrel {

namespace {

// The remembered folder is a 260-character field; a longer path could not
// be kept (nor listed by the file system's classic calls).
constexpr std::size_t kMaxFolder = 259;

bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

bool IsDotName(std::u16string_view name) { return name == u"." || name == u".."; }

std::u16string Join(std::u16string_view folder, std::u16string_view name) {
  std::u16string path(folder);
  if (path.empty() || path.back() != u'\\') path += u'\\';
  path.append(name);
  return path;
}

// Hidden system folders ("System Volume Information", the recycle bin, the
// old profile junctions) are refused to users anyway; every other folder is
// listed, whatever further attributes it carries.
bool IsListedFolder(const DirEntry& entry) {
  if ((entry.attributes & kAttributeDirectory) == 0 || entry.name.empty()) return false;
  if (IsDotName(entry.name)) return true;
  const std::uint32_t hiddenSystem = kAttributeHidden | kAttributeSystem;
  return (entry.attributes & hiddenSystem) != hiddenSystem;
}

// The folder as list rows show it: "C:" for a drive root.
std::u16string RowFolder(std::u16string folder) {
  if (folder.size() > 1 && folder.back() == u'\\') folder.pop_back();
  return folder;
}

}  // namespace

int BrowserImageOfDrive(DriveKind kind) {
  switch (kind) {
    case DriveKind::Fixed:
      return 2;
    case DriveKind::CdRom:
      return 3;
    case DriveKind::Removable:
      return 4;
    case DriveKind::Remote:
      return 5;
    case DriveKind::RamDisk:
      return 6;
    case DriveKind::None:
      break;
  }
  return kBrowserImageFolder;
}

bool BrowserRow::IsDrive() const { return IsDriveRoot(name); }

bool IsDriveRoot(std::u16string_view folder) {
  return folder.size() == 3 && IsAsciiLetter(folder[0]) && folder[1] == u':' && folder[2] == u'\\';
}

std::u16string NormalizeBrowserFolder(std::u16string_view folder) {
  if (folder.empty()) return u"c:\\";
  if (folder.size() == 1 && IsAsciiLetter(folder[0])) return std::u16string(folder) + u":\\";
  if (folder.size() == 2 && IsAsciiLetter(folder[0]) && folder[1] == u':') return std::u16string(folder) + u'\\';
  std::u16string normal(folder);
  while (normal.size() > 3 && normal.back() == u'\\') normal.pop_back();
  return normal;
}

bool IsShareRoot(std::u16string_view folder) {
  if (folder.size() < 5 || folder[0] != u'\\' || folder[1] != u'\\') return false;
  const std::size_t serverEnd = folder.find(u'\\', 2);
  return serverEnd != std::u16string_view::npos && serverEnd > 2 && serverEnd + 1 < folder.size() &&
         folder.find(u'\\', serverEnd + 1) == std::u16string_view::npos;
}

bool HasDriveOrServer(std::u16string_view folder) {
  if (folder.size() >= 3 && IsAsciiLetter(folder[0]) && folder[1] == u':' && folder[2] == u'\\') return true;
  if (folder.size() < 5 || folder[0] != u'\\' || folder[1] != u'\\') return false;
  const std::size_t serverEnd = folder.find(u'\\', 2);
  return serverEnd != std::u16string_view::npos && serverEnd > 2 && serverEnd + 1 < folder.size() &&
         folder[serverEnd + 1] != u'\\';
}

std::u16string DriveListFolder(const FileSystem& files) {
  if (files.KindOfDrive(u'C') != DriveKind::None) return u"c:\\";
  for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
    if (files.KindOfDrive(letter) == DriveKind::None) continue;
    return std::u16string{static_cast<char16_t>(letter - u'A' + u'a'), u':', u'\\'};
  }
  return u"c:\\";
}

std::u16string ParentFolder(std::u16string_view folder) {
  if (IsShareRoot(folder)) return std::u16string(folder);
  const std::size_t slash = folder.rfind(u'\\');
  if (slash == std::u16string_view::npos || slash == 0) return std::u16string(folder);
  std::u16string parent(folder.substr(0, slash));
  if (parent.size() == 2 && parent[1] == u':') parent += u'\\';
  return parent;
}

bool ListBrowserFolder(const FileSystem& files, std::u16string_view folder, std::vector<BrowserRow>& rows) {
  rows.clear();
  if (IsDriveRoot(folder)) {
    for (char16_t letter = u'a'; letter <= u'z'; ++letter) {
      const DriveKind kind = files.KindOfDrive(static_cast<char16_t>(letter - u'a' + u'A'));
      const std::u16string root{letter, u':', u'\\'};
      if (kind == DriveKind::None || EqualsIgnoreCase(root, folder)) continue;
      rows.push_back(BrowserRow{root, u"", BrowserImageOfDrive(kind)});
    }
  }
  std::vector<DirEntry> entries;
  if (!files.List(Join(folder, u"*"), entries)) return false;
  for (const DirEntry& entry : entries) {
    if (!IsListedFolder(entry)) continue;
    const int image = entry.name.front() == u'.' ? kBrowserImageDot : kBrowserImageFolder;
    rows.push_back(BrowserRow{entry.name, FormatDateText(files.ToLocalTime(entry.lastWriteTime)), image});
  }
  return true;
}

FolderBrowser::FolderBrowser(const FileSystem& files, std::u16string& rememberedFolder)
    : files_(files), folder_(rememberedFolder) {}

void FolderBrowser::Open() {
  std::u16string folder = NormalizeBrowserFolder(folder_);
  if (!HasDriveOrServer(folder)) folder = DriveListFolder(files_);
  while (!ListBrowserFolder(files_, folder, rows_)) {
    const std::u16string parent = ParentFolder(folder);
    if (parent != folder) {
      folder = parent;
    } else if (!IsDriveRoot(folder)) {
      // A share that cannot be reached: the drives are offered instead.
      folder = DriveListFolder(files_);
    } else {
      break;  // a drive root: its drive rows lead elsewhere
    }
  }
  folder_ = folder;
}

FolderBrowser::Step FolderBrowser::Up() {
  std::u16string target = ParentFolder(folder_);
  if (target == folder_) {
    if (IsDriveRoot(folder_)) return Step::Nothing;
    target = DriveListFolder(files_);  // above a share lie the drives
  }
  return MoveTo(std::move(target));
}

FolderBrowser::Step FolderBrowser::MoveTo(std::u16string target) {
  std::vector<BrowserRow> rows;
  if (target.size() > kMaxFolder || !ListBrowserFolder(files_, target, rows)) return Step::Unreadable;
  folder_ = std::move(target);
  rows_ = std::move(rows);
  return Step::Moved;
}

FolderBrowser::Step FolderBrowser::Enter(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return Step::Nothing;
  const BrowserRow& chosen = rows_[static_cast<std::size_t>(row)];
  if (chosen.IsDrive()) return MoveTo(chosen.name);
  if (IsDotName(chosen.name)) return Up();
  return MoveTo(Join(folder_, chosen.name));
}

std::u16string FolderBrowser::LoadPath(int row) const {
  if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return {};
  const BrowserRow& chosen = rows_[static_cast<std::size_t>(row)];
  if (chosen.IsDrive()) return RowFolder(chosen.name);
  if (chosen.name == u".") return RowFolder(folder_);
  if (chosen.name == u"..") return RowFolder(ParentFolder(folder_));
  return Join(folder_, chosen.name);
}

int LoadBrowserFolders(const FileSystem& files, RowStore& store, const ScriptTemplate& activeTemplate,
                       const std::vector<std::u16string>& folders, BrowserKindMode mode, int firstRow) {
  int next = firstRow;
  const auto scan = [&](std::u16string_view folder, DrawingKind kind) {
    const int after = ScanFolder(files, store, activeTemplate, folder, kind, next);
    if (after != 0) next = after;
  };
  for (const std::u16string& folder : folders) {
    if (mode != BrowserKindMode::Dxf) scan(folder, DrawingKind::Dwg);
    if (mode != BrowserKindMode::Dwg) scan(folder, DrawingKind::Dxf);
  }
  return next;
}

}  // namespace tovrel
