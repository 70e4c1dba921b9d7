// Looking for one drawing on every fixed drive, by name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/file_system.h"

namespace tovrel {

// Searches the fixed drives C: to Z:, in letter order, for a file called
// `name`; the name may begin with folders ("sub\x.dwg"), and then the file
// must lie in folders of those names. Names compare without regard to case,
// in any script. Each drive is walked depth-first from its root; within a
// folder its files are checked first, then its subfolders are walked in the
// order the file system lists them. The first file found ends the search
// and its full path ("C:\dwg\x.dwg") is the answer; nothing when no fixed
// drive holds it. Folders are never matched, and folders that are reparse
// points (junctions, links) are not entered, so no loop is walked twice.
std::optional<std::u16string> SearchFixedDrives(const FileSystem& files, std::u16string_view name);

// Asked before each folder of a long search; true stops it (the user
// cancelled). Once true it must stay true.
using SearchCancelled = std::function<bool()>;

// One walk for several names: for each name, the path a search for that
// name alone would answer, or nothing. The walk ends as soon as the first
// `required` names have all been found (all names when `required` is past
// the end), so a search for three files costs one walk, not three; a name
// after those is only looked for as long as the walk goes on. When
// `cancelled` answers true the walk stops and the names not found by then
// have nothing.
std::vector<std::optional<std::u16string>> SearchFixedDrivesForEach(const FileSystem& files,
                                                                    const std::vector<std::u16string>& names,
                                                                    const SearchCancelled& cancelled = {},
                                                                    std::size_t required = SIZE_MAX);

}  // namespace tovrel
