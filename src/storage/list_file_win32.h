// List files on disk: "listview.ini" kept between runs, and lists saved and
// loaded under names the user chooses.
#pragma once

#include <windows.h>

#include <string>

#include "drawing_list/row_store.h"

namespace tovrel {

inline constexpr char16_t kKeptListFileName[] = u"listview.ini";

// A name without a folder lies in the working directory; a full path is
// used as it is.
void LoadListFile(const std::u16string& name, RowStore& store);
bool SaveListFile(const std::u16string& name, const RowStore& store, std::u16string* error);

// The save and load commands with their file dialogs.
void SaveListAsCommand(HWND owner, HWND list);
void LoadListFromCommand(HWND owner, HWND list);

}  // namespace tovrel
