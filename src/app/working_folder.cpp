#include "app/working_folder.h"

#include "storage/text_catalog.h"

namespace tovrel {

std::vector<std::u16string> ShippedDataFiles() {
  return {kCatalogFileName, u"tovrl_set_j.ini", u"tovrl_set_e.ini", u"tovrl_set_k.ini", u"tovrl_set_c.ini"};
}

WorkingFolderChoice ChooseWorkingFolder(bool programFolderHasMarker, std::u16string_view currentFolder,
                                        std::u16string_view appDataFolder) {
  if (!programFolderHasMarker || appDataFolder.empty()) return {std::u16string(currentFolder), false};
  std::u16string folder(appDataFolder);
  if (folder.back() != u'\\') folder += u'\\';
  folder += kUserFolderName;
  return {folder, true};
}

}  // namespace tovrel
