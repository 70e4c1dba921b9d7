// The in-place editor: after a right-click, an edit field or a drop-down
// standing exactly over one cell of the drawing list, as a child of the main
// window. The main window routes its notifications here.
#pragma once

#include <windows.h>

#include <string>

#include "drawing_list/cell_edit.h"
#include "printers/printer_catalog.h"
#include "storage/script_template.h"

namespace tovrel {

inline constexpr int kCellEditFieldId = 951;
inline constexpr int kCellComboId = 952;

class CellEditor {
 public:
  enum class Kind { None = 0, Field = 1, DropDown = 2 };

  // The windows the editor works in, the main window's timer that commits a
  // drop-down choice 200 ms after it was made, and the catalog that gives a
  // newly chosen printer its paper.
  void Attach(HWND mainWindow, HWND list, UINT_PTR commitTimer, const PrinterCatalog& printers);

  // Opens the editor over list column `column` of the first selected row,
  // by the edit mode of that column's template column: none for mode 0 or a
  // column the template does not show, or when no row is selected. The cell
  // reads empty while it is edited; every row is deselected.
  void Open(int column, const ScriptTemplate& activeTemplate, const PrinterCatalog& printers,
            const std::u16string& autocadFile, HFONT font);

  // The field or the drop-down lost the focus: its text goes into the cell.
  void OnEditorKillFocus(HWND editor);
  // A choice was made in the drop-down: it is committed by the timer.
  void OnDropDownChoice(HWND combo);
  // The commit timer: the drop-down's text goes into the cell; a printer
  // newly chosen in the printer column also brings its first paper into
  // the paper column, unless the catalog does not know the printer.
  void OnCommitTimer();
  // A left click in the list: an open drop-down is closed and the cell gets
  // back its text; a choice not yet committed is dropped.
  void CancelDropDown();
  // Before anything else changes the rows (another editor, a command, a
  // sort, the end of the program): the field or drop-down commits what it
  // shows, also a choice still waiting for its timer.
  void Close();
  // Enter (commit) or Esc (cancel) in the field or the drop-down.
  void Finish(bool commit);

  Kind CurrentKind() const { return kind_; }

 private:
  // Ends the open editor: its window goes once its own message handling
  // is over; the cell gets the text (commit) or its old text back.
  void End(bool commit, bool deferDestroy);

  HWND main_ = nullptr;
  HWND list_ = nullptr;
  UINT_PTR timer_ = 0;
  const PrinterCatalog* printers_ = nullptr;
  Kind kind_ = Kind::None;
  CellEdit edit_;
  HWND editor_ = nullptr;       // the field or the drop-down
};

}  // namespace tovrel
