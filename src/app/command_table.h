// Every command id the menus, the toolbar and the accelerators send, and the
// operation it starts. Toolbar buttons carry their own ids (330 to 346) but
// mostly start the same operation as a menu item.
#pragma once

namespace tovrel {

enum class Command {
  None,
  AddDwgFiles, AddDxfFiles, AddDwgFolder, AddDxfFolder, AddDwgTree, AddDxfTree, FolderBrowser,
  DeleteSelectedMenu, DeleteSelectedToolbar, DeleteAll, Exit,
  SearchInList, SelectAll, DeselectAll, SearchDrives,
  EditOneRow, CopyRow, PasteRow, EditOneColumn, MoveRowDown, MoveRowUp,
  ApplyFileNameRules, FileNameRulesDialog,
  RunAll, RunSelected, RunToolbar, RunPerRowOnce, RunPerRowTimer, CheckBeforeRun,
  SaveListAs, LoadListFrom, SaveScriptAll, SaveScriptSelected,
  InitialValues, PrinterListing, TemplateSelection, Environment, ShowScript, ConvertOldFiles,
  Language, Help, HomePage, About, Version,
  SelectRowsToRunAgain, RunParallel,
};

// The operation of a command id; Command::None for ids the program does not own.
Command CommandForId(int id);

// Commands that need the printer catalog filled before they start.
bool NeedsPrintersFirst(Command command);

// Commands that start AutoCAD; the list is written to "listview.ini" before
// each of them, so that a run killed from outside costs nothing.
bool StartsAutocad(Command command);

// Commands that neither change the rows nor start AutoCAD: they stay
// available while a run is going (the others are refused with a message).
bool AllowedDuringRun(Command command);

inline constexpr int kFirstToolbarId = 330;
inline constexpr int kToolbarButtonCount = 18;
inline constexpr int kParallelToolbarId = 347;
// The buttons' ids from left to right: the lane's beside the run's.
inline constexpr int kToolbarOrder[kToolbarButtonCount] = {330, 331, 332, 333, 334, 335, 336, 347, 337,
                                                           338, 339, 340, 341, 342, 343, 344, 345, 346};

// The code text that names a toolbar button in its tooltip; -1 for other ids.
int TooltipTextNumber(int id);

}  // namespace tovrel
