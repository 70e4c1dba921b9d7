#include "drawing_list/dropped_items.h"

#include "storage/text_codec.h"

namespace tovrel {

namespace {

bool IsDrawingName(std::u16string_view name) {
  if (name.size() < 5) return false;
  const std::u16string_view ending = name.substr(name.size() - 4);
  return EqualsIgnoreCase(ending, u".dwg") || EqualsIgnoreCase(ending, u".dxf");
}

}  // namespace

DroppedItems SortDroppedPaths(const FileSystem& files, const std::vector<std::u16string>& paths) {
  DroppedItems items;
  for (std::u16string path : paths) {
    while (path.size() > 3 && (path.back() == u'\\' || path.back() == u'/')) path.pop_back();
    DirEntry entry;
    const bool found = files.Find(path, entry);
    if (found && (entry.attributes & kAttributeDirectory) != 0) {
      items.folders.push_back(path);
      continue;
    }
    const std::size_t slash = path.find_last_of(u"\\/");
    if (!found || slash == std::u16string::npos || !IsDrawingName(path)) {
      items.ignored.push_back(path);
      continue;
    }
    std::u16string folder = path.substr(0, slash);
    if (items.drawings.empty() || items.drawings.back().folder != folder) {
      items.drawings.push_back(PickedFiles{std::move(folder), {}});
    }
    items.drawings.back().names.push_back(path.substr(slash + 1));
  }
  return items;
}

int AddDroppedItems(const FileSystem& files, RowStore& store, const ScriptTemplate& activeTemplate,
                    const DroppedItems& items) {
  const int before = store.RowCount();
  std::vector<std::u16string> notFound;
  for (const PickedFiles& picked : items.drawings) AddPickedFiles(files, store, activeTemplate, picked, notFound);
  for (const std::u16string& folder : items.folders) {
    for (const DrawingKind kind : {DrawingKind::Dwg, DrawingKind::Dxf}) {
      AddFolderTree(files, store, activeTemplate, folder, kind, store.RowCount());
    }
  }
  return store.RowCount() - before;
}

}  // namespace tovrel
