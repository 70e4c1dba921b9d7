// Files and folders dropped on the drawing list: drawings are added as
// picked files are, folders as folder trees of both kinds (DWG first, then
// DXF, subfolders included); anything else is named back to the user.
#pragma once

#include <string>
#include <vector>

#include "drawing_list/add_drawings.h"
#include "drawing_list/row_store.h"
#include "storage/file_system.h"
#include "storage/script_template.h"

namespace tovrel {

struct DroppedItems {
  std::vector<PickedFiles> drawings;  // one entry per folder, in drop order
  std::vector<std::u16string> folders;
  std::vector<std::u16string> ignored;  // neither a drawing nor a folder (or gone)
};

// Sorts the dropped paths: a ".dwg" or ".dxf" file (any case) is a drawing,
// a folder is a folder; the rest is ignored.
DroppedItems SortDroppedPaths(const FileSystem& files, const std::vector<std::u16string>& paths);

// Appends the rows of the dropped items; answers how many were added.
int AddDroppedItems(const FileSystem& files, RowStore& store, const ScriptTemplate& activeTemplate,
                    const DroppedItems& items);

}  // namespace tovrel
