// Adding drawings to the list: the drawings of one folder, of a folder tree,
// and the files picked in the open-file dialog; the history of the search
// dialog. The dialogs themselves and the messages stay in the window layer;
// these functions take what the user chose and answer with rows and numbers.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/file_system.h"
#include "drawing_list/row_store.h"
#include "storage/script_template.h"

namespace tovrel {

enum class DrawingKind { Dwg, Dxf };

// "*.dwg" or "*.dxf".
std::u16string_view DrawingPattern(DrawingKind kind);
// The image index of a row of the kind: 1 DWG, 0 DXF.
int DrawingImage(DrawingKind kind);

// Appends one row per drawing of the kind in `folder`, starting at row
// `firstRow`, in the order the file system lists them. Answers the row index
// after the last row added, or 0 when nothing was added (folder unreadable,
// or no drawing in it). A folder whose name matches the pattern is not a
// drawing and is left out. Nothing checks whether a drawing is already
// listed: scanning a folder twice lists its drawings twice.
int ScanFolder(const FileSystem& files, RowStore& store, const ScriptTemplate& activeTemplate,
               std::u16string_view folder, DrawingKind kind, int firstRow);

// The folders of the whole tree below `root` whose drawings are added, in
// order: breadth-first in discovery order, the root first. Every entry with
// the directory bit is a folder, whatever other attributes it carries
// (archive, not content indexed, read-only ...), except "." and "..", and
// reparse points (junctions and links), which could lead back into the tree.
std::vector<std::u16string> CollectFolderTree(const FileSystem& files, std::u16string_view root);

// Scans every folder of CollectFolderTree(root) from `firstRow` on. Answers
// the next free row index (`firstRow` when nothing was added).
int AddFolderTree(const FileSystem& files, RowStore& store, const ScriptTemplate& activeTemplate,
                  std::u16string_view root, DrawingKind kind, int firstRow);

// What the open-file dialog answered.
struct PickedFiles {
  std::u16string folder;              // without a trailing backslash ("C:" for a drive root)
  std::vector<std::u16string> names;  // in the order of the dialog
};

// Reads the open-file dialog's result buffer (the whole buffer, NULs
// included) with the offset of the first file name. Nothing when the offset
// is 0, 260 or more, or not inside the buffer. Handles both forms the dialog
// writes: "dir\name" for one file, "dir\0name1\0name2\0\0" for several.
// The folder is the directory part without its trailing backslash.
std::optional<PickedFiles> ParseOpenFileResult(std::u16string_view buffer, std::size_t fileOffset);

// 1 (DWG) when the name ends in "wg" or "WG", else 0.
int ImageIndexForPickedName(std::u16string_view name);

// Appends one row per picked file that can be found again, at the row count
// on. Names not found are appended to `notFound` (the window shows message 3
// for each). Answers the number of rows added.
int AddPickedFiles(const FileSystem& files, RowStore& store, const ScriptTemplate& activeTemplate,
                   const PickedFiles& picked, std::vector<std::u16string>& notFound);

// The texts typed into the search dialog, newest first, for the run of the
// program. Twelve slots; the dialog shows the first eleven.
class SearchHistory {
public:
  static constexpr std::size_t kSlotCount = 12;
  static constexpr std::size_t kSlotSize = 128;  // a slot holds 127 characters
  static constexpr std::size_t kComparedSlots = 10;
  static constexpr std::size_t kShownSlots = 11;

  // Stores `typed` in slot 0, moving the others down, unless one of the
  // first ten slots already begins with it.
  void Remember(std::u16string_view typed);
  // Slots 0 to 10 up to the first empty one.
  std::vector<std::u16string> Shown() const;

private:
  std::array<std::u16string, kSlotCount> slots_;
};

}  // namespace tovrel
