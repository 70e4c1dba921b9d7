// The commands that fill and thin out the drawing list: folders, folder
// trees, picked files, the drive search, selection and deletion.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include "drawing_list/add_drawings.h"
#include "storage/app_settings.h"
#include "storage/script_template.h"
#include "storage/text_catalog.h"

namespace tovrel {

// What the add commands read and change beyond the list itself.
struct AddDrawingsContext {
  AppSettings& settings;                 // the remembered folder and the file-name rules
  const ScriptTemplate& activeTemplate;  // the initial values of new rows
  const UiText& text;                    // the file-name rules read code texts 0 to 4
};

void AddFolderCommand(HWND owner, HWND list, DrawingKind kind, const AddDrawingsContext& context);
// Shows wait window 7 while the tree is walked.
void AddFolderTreeCommand(HWND owner, HWND list, DrawingKind kind, const AddDrawingsContext& context);
void AddPickedFilesCommand(HWND owner, HWND list, DrawingKind kind, const AddDrawingsContext& context);
// Searches the fixed drives behind the progress window, whose Stop ends it.
void SearchDrivesCommand(HWND owner, HWND list, const AddDrawingsContext& context);
// Files and folders dropped on the window (WM_DROPFILES); releases `drop`.
void AddDroppedCommand(HWND owner, HWND list, HDROP drop, const AddDrawingsContext& context);
void SearchInListCommand(HWND owner, HWND list);
void SelectAllCommand(HWND list);
void DeselectAllCommand(HWND list);
void DeleteSelectedCommand(HWND owner, HWND list, bool toolbarForm);
void DeleteAllCommand(HWND list);

// The file-name rules on the rows from `firstRow` on, when they are switched
// on for adding; every command that adds drawings ends with it.
void ApplyRulesAfterAdding(HWND list, int firstRow, const AddDrawingsContext& context);

}  // namespace tovrel
