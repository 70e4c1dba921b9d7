// Looking for one drawing on every fixed drive, by name.
#pragma once

#include <optional>
#include <string>
#include <string_view>

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

}  // namespace tovrel
