// Where the program's own files lie. A portable copy keeps them in the
// folder it is started in, as it always has. An installed copy (the
// installer leaves the marker file "Tovrel.installed" beside the program)
// cannot write into Program Files: it keeps them in the user's application
// data folder, "<AppData>\Tovrel", and its first start copies the shipped
// catalog and default templates there, never over a file the user has.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tovrel {

inline constexpr char16_t kInstalledMarkerFileName[] = u"Tovrel.installed";
inline constexpr char16_t kUserFolderName[] = u"Tovrel";

// The data files that ship beside the program and are copied into the
// user's folder of an installed copy.
std::vector<std::u16string> ShippedDataFiles();

struct WorkingFolderChoice {
  std::u16string folder;
  bool installed = false;
};

// `programFolderHasMarker`: the marker lies beside the program.
WorkingFolderChoice ChooseWorkingFolder(bool programFolderHasMarker, std::u16string_view currentFolder,
                                        std::u16string_view appDataFolder);

}  // namespace tovrel
