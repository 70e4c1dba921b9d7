// The program's own folder browser: a list of drives and subfolders that the
// user walks by double-clicking, selecting several folders whose drawings
// are then added. The browser walks the remembered folder of the settings
// itself, so the next command (and the status bar) start where it ended.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "drawing_list/row_store.h"
#include "storage/file_system.h"
#include "storage/script_template.h"

namespace tovrel {

// Which drawings a load adds: the radio buttons of the browser.
enum class BrowserKindMode { Dwg = 0, Dxf = 1, Both = 2 };

// The image indexes of the browser's rows.
inline constexpr int kBrowserImageDot = 0;     // "." and ".."
inline constexpr int kBrowserImageFolder = 1;
int BrowserImageOfDrive(DriveKind kind);       // 2 fixed, 3 CD-ROM, 4 removable, 5 network, 6 RAM disk

struct BrowserRow {
  std::u16string name;      // a drive root ("d:\"), ".", ".." or a folder name
  std::u16string dateText;  // the last-write time; empty for a drive
  int image = kBrowserImageFolder;

  bool IsDrive() const;
};

// "C:\", "d:\": a drive root, the only form of a folder that ends with a
// backslash.
bool IsDriveRoot(std::u16string_view folder);

// The remembered folder as the browser walks it: "C:" and "C" become "C:\",
// a trailing backslash after a folder name is dropped, an empty text is
// "c:\".
std::u16string NormalizeBrowserFolder(std::u16string_view folder);

// "\\server\share": the top of a network path.
bool IsShareRoot(std::u16string_view folder);

// A folder that names its drive ("C:\...") or its server and share
// ("\\server\share..."); only such a folder is ever remembered.
bool HasDriveOrServer(std::u16string_view folder);

// The drive root that lists the drives: C: when there is one, else the
// first drive there is.
std::u16string DriveListFolder(const FileSystem& files);

// The folder one level up; a drive root and a share root stay where they are.
std::u16string ParentFolder(std::u16string_view folder);

// The rows of a folder: in a drive root first the other drives (in letter
// order), then the folders the file system lists, in its order, "." and ".."
// among them. Files and hidden system folders are not listed. False when the
// folder cannot be listed (the drive rows are still given).
bool ListBrowserFolder(const FileSystem& files, std::u16string_view folder, std::vector<BrowserRow>& rows);

class FolderBrowser {
public:
  // `rememberedFolder` is changed by every step the user takes.
  FolderBrowser(const FileSystem& files, std::u16string& rememberedFolder);

  // Lists the remembered folder; when it cannot be listed (deleted, or a
  // drive that is gone), the nearest folder above it that can, and above a
  // share that cannot be reached, or for a folder without its drive, the
  // drive list.
  void Open();

  enum class Step { Moved, Unreadable, Nothing };
  // A double click on a row: a drive goes to its root, a folder into it,
  // "." and ".." one level up. A folder that cannot be listed is not
  // entered: the browser stays where it was (Unreadable).
  Step Enter(int row);
  // One level up; from a share root to the drive list; nothing in a drive root.
  Step Up();

  const std::vector<BrowserRow>& Rows() const { return rows_; }
  const std::u16string& Folder() const { return folder_; }

  // The folder whose drawings a selected row stands for: "." the current
  // folder, ".." its parent, a drive its root, a folder name the folder in
  // the current one. Written as list rows write folders: without a trailing
  // backslash ("C:" for a drive root).
  std::u16string LoadPath(int row) const;

private:
  Step MoveTo(std::u16string target);

  const FileSystem& files_;
  std::u16string& folder_;
  std::vector<BrowserRow> rows_;
};

// Appends the drawings of each folder in turn (not of its subfolders), from
// `firstRow` on; in mode Both a folder's DWG files come before its DXF
// files. Answers the next free row index, `firstRow` when nothing was added.
int LoadBrowserFolders(const FileSystem& files, RowStore& store, const ScriptTemplate& activeTemplate,
                       const std::vector<std::u16string>& folders, BrowserKindMode mode, int firstRow);

}  // namespace tovrel
