// List files on disk: "listview.ini" kept between runs, and lists saved and
// loaded under names the user chooses.
#pragma once

#include <windows.h>

#include <string>

#include "drawing_list/row_store.h"

namespace tovrel {

inline constexpr char16_t kKeptListFileName[] = u"listview.ini";

// Appends the rows of the list file at `path`. False, with the reason, when
// the file does not exist or cannot be read; the rows are then as they were.
bool LoadListFile(const std::u16string& path, RowStore& store, std::u16string* error = nullptr);
bool SaveListFile(const std::u16string& path, const RowStore& store, std::u16string* error);

// The save and load commands with their file dialogs; the dialogs start in
// the program's working folder.
void SaveListAsCommand(HWND owner, HWND list, const std::u16string& workingFolder);
void LoadListFromCommand(HWND owner, HWND list, const std::u16string& workingFolder);

}  // namespace tovrel
