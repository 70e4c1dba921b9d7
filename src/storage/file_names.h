// File names chosen in the save dialogs.
#pragma once

#include <string>
#include <string_view>

namespace tovrel {

// Gives a chosen path the extension `extension` (with its dot) when its file
// name has none: "site.v2.ini" and "plot.txt" stay as chosen, "list" becomes
// "list.ini". Only the part after the last '\' or '/' is looked at, so a dot
// in a folder name is never taken for an extension; a name ending in a dot
// has none yet.
inline std::u16string WithExtension(std::u16string_view chosenPath, std::u16string_view extension) {
  const std::size_t slash = chosenPath.find_last_of(u"\\/");
  const std::size_t nameStart = slash == std::u16string_view::npos ? 0 : slash + 1;
  const std::size_t dot = chosenPath.rfind(u'.');
  std::u16string result(chosenPath);
  if (dot != std::u16string_view::npos && dot >= nameStart && dot + 1 < chosenPath.size()) return result;
  if (!result.empty() && result.back() == u'.') result.pop_back();
  result += extension;
  return result;
}

}  // namespace tovrel
