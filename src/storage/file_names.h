// File names chosen in the save dialogs.
#pragma once

#include <string>
#include <string_view>

namespace tovrel {

// Gives a chosen path the extension `extension` (with its dot): the old
// extension begins at the first '.' of the file name, that is after the
// last '\' or '/', so a dot in a folder name is never taken for one. A name
// without a dot gets the extension appended.
inline std::u16string WithExtension(std::u16string_view chosenPath, std::u16string_view extension) {
  const std::size_t slash = chosenPath.find_last_of(u"\\/");
  const std::size_t nameStart = slash == std::u16string_view::npos ? 0 : slash + 1;
  const std::size_t dot = chosenPath.find(u'.', nameStart);
  std::u16string result(chosenPath.substr(0, dot));  // npos: the whole path
  result += extension;
  return result;
}

}  // namespace tovrel
