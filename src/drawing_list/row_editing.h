// Changing the values of rows: the RowBuffer, the three uses of the edit
// dialog (the selected rows, one column of every row, the template's initial
// values), copy and paste of one row, moving a row, and the choices that
// the edit dialog and the in-place editor offer.
//
// List column j is the j-th template column in use with a display mode
// (DisplayedSlots); slot j of the RowBuffer belongs to list column j. The
// walks over the template stop at the first column not in use.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "drawing_list/row_store.h"
#include "printers/printer_catalog.h"
#include "storage/file_system.h"
#include "storage/script_template.h"

namespace tovrel {

// Messages of the editing commands.
inline constexpr int kMessageMoveWithoutRow = 8;
inline constexpr int kMessageEditWithoutRow = 9;
inline constexpr int kMessageCopyWithoutRow = 10;
inline constexpr int kMessagePasteWithoutRow = 11;
inline constexpr int kMessageNothingToPaste = 12;

// The dialog edits never write the file name, folder and date columns 0 to
// 2; a printer chosen in kPrinterColumn brings its first paper into
// kPaperColumn (row_store.h).
inline constexpr int kFirstEditedColumn = 3;
// The slot that must hold something for a paste: list column 4.
inline constexpr int kPasteCheckSlot = 4;

// Edit modes of a template column.
inline constexpr int kEditNone = 0;
inline constexpr int kEditText = 1;
inline constexpr int kEditChoices = 2;
inline constexpr int kEditPrinter = 3;
inline constexpr int kEditPaper = 4;
inline constexpr int kEditPlotStyle = 5;

// 50 texts of at most 127 characters: the working copy of the edit dialog
// and the clipboard of copy and paste.
class RowBuffer {
 public:
  static constexpr int kSlotCount = 50;
  static constexpr std::size_t kTextSize = 128;

  void Clear();
  // Slots outside 0..49 read empty and take nothing.
  const std::u16string& Slot(int slot) const;
  void SetSlot(int slot, std::u16string_view text);  // cut at 127 characters

  bool operator==(const RowBuffer&) const = default;

 private:
  std::array<std::u16string, kSlotCount> slots_;
};

// What the edit dialog is opened for.
enum class EditMode { OneLine = 0, OneColumn = 1, InitialValues = 2 };

// Shows the edit dialog over the buffer: true when the user pressed OK, and
// then the controls' texts have been collected into the buffer.
using EditDialogRunner = std::function<bool(RowBuffer& buffer)>;

// One-line edit of the selected rows. The first selected row's values fill
// the buffer, the dialog edits them, and on OK every selected row gets the
// buffer's slots from list column 3 on and is deselected. Cancel changes no
// row and leaves the buffer (the paste clipboard) as it was. Answers kMessageEditWithoutRow when no row is selected, else 0.
int EditSelectedRows(RowStore& store, const ScriptTemplate& activeTemplate, RowBuffer& buffer,
                     const EditDialogRunner& runDialog);

// One-column edit of every row: the dialog starts empty, each field filled
// on OK is written into its column (from list column 3 on) of every row, and
// every row ends deselected. The buffer is the same afterwards as before.
void EditEveryRow(RowStore& store, const ScriptTemplate& activeTemplate, RowBuffer& buffer,
                  const EditDialogRunner& runDialog);

// Edit of the template's initial values (the columns whose display mode is
// 4). Rows already in the list do not change. True when an initial value
// changed.
bool EditInitialValues(ScriptTemplate& activeTemplate, RowBuffer& buffer, const EditDialogRunner& runDialog);

// OK of the edit dialog: the text of each column's control (templateColumn,
// read by `controlText`, cut at 127) into the column's slot, for the columns
// in use with a display mode and an edit mode.
void CollectEditTexts(const ScriptTemplate& activeTemplate, RowBuffer& buffer,
                      const std::function<std::u16string(int templateColumn)>& controlText);

// Copies the first selected row's list columns into the buffer and
// deselects the selected rows. kMessageCopyWithoutRow when none is selected.
int CopySelectedRow(RowStore& store, const ScriptTemplate& activeTemplate, RowBuffer& buffer);

// Pastes the buffer into the editable columns of every selected row and
// deselects them. kMessagePasteWithoutRow when none is selected,
// kMessageNothingToPaste while slot 4 is empty (nothing copied yet).
int PasteIntoSelectedRows(RowStore& store, const ScriptTemplate& activeTemplate, const RowBuffer& buffer);

// Moves the first selected row one place down (+1) or up (-1), keeping every
// cell; a row at the end it moves towards stays where it is. The moved row
// ends selected. kMessageMoveWithoutRow when no row is selected.
int MoveSelectedRow(RowStore& store, const ScriptTemplate& activeTemplate, int direction);

// The names in the "Plot Styles" folder beside the AutoCAD executable, in
// the file system's order: no name of two characters or fewer ("." and
// ".."), no shortcut (a name ending in "nk" or "NK"), at most 100, each cut
// at 255 characters. Empty when the folder is missing or the path has no
// folder.
std::vector<std::u16string> ListPlotStyles(const FileSystem& files, std::u16string_view autocadFile);

// The paper names of a catalog entry, from slot 0 up to the first empty one;
// none for an entry outside the catalog.
std::vector<std::u16string> PaperNamesOf(const PrinterCatalog& catalog, int entry);

// The paper that goes with a newly chosen printer or plotter configuration:
// its first paper name (or the marker that stands there). Nothing for a name
// the catalog does not hold, or a configuration whose papers are not known:
// its paper stays as it is.
std::optional<std::u16string> FirstPaperOf(const PrinterCatalog& catalog, std::u16string_view printer);

// The choices of a combo box for a column's edit mode: 2 its select texts up
// to the first empty one, 3 the catalog's printer and configuration names,
// 4 the papers of `rowPrinter` (none for a device the catalog does not hold
// or whose papers are not known), 5 the plot styles; none for other modes.
std::vector<std::u16string> ChoicesForColumn(const TemplateColumn& column, const PrinterCatalog& catalog,
                                             std::u16string_view rowPrinter,
                                             const std::function<std::vector<std::u16string>()>& plotStyles);

// Where the edit dialog puts the control of one column, in pixels of its
// client area; the column's header text is drawn 16 pixels above it.
struct EditControlPlace {
  int templateColumn = 0;
  int listColumn = 0;
  int editMode = 0;
  int x = 0, y = 0, width = 0;
  int controlId = 0;  // 500 + column for an edit field, 2500 + column for a combo box
  int LabelY() const { return y - 16; }
};

inline constexpr int kEditFieldIdBase = 500;
inline constexpr int kEditComboIdBase = 2500;
inline constexpr int kEditFieldHeight = 18;
inline constexpr int kEditComboDropHeight = 160;

// The controls of the edit dialog, in template order: from (5, 30), an edit
// field `width` wide advancing by width + 2, a combo box width + 10 wide
// advancing by width + 12, a new line 50 pixels lower at x 5 when x passes 700.
// A combo box whose longest choice needs more (`neededWidth` of the template
// column, in the same pixels; none when empty) is made that wide, and the
// controls after it move along.
std::vector<EditControlPlace> LayOutEditControls(const ScriptTemplate& activeTemplate,
                                                 const std::function<int(int templateColumn)>& neededWidth = {});

}  // namespace tovrel
