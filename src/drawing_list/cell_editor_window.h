// The in-place editor: after a right-click, an edit field or a drop-down
// standing exactly over one cell of the drawing list, as a child of the main
// window. The main window routes its notifications here.
#pragma once

#include <windows.h>

#include <string>

#include "printers/printer_catalog.h"
#include "storage/script_template.h"

namespace tovrel {

inline constexpr int kCellEditFieldId = 951;
inline constexpr int kCellComboId = 952;

class CellEditor {
 public:
  enum class Kind { None = 0, Field = 1, DropDown = 2 };

  // The windows the editor works in, and the main window's timer that
  // commits a drop-down choice 200 ms after it was made.
  void Attach(HWND mainWindow, HWND list, UINT_PTR commitTimer);

  // Opens the editor over list column `column` of the first selected row,
  // by the edit mode of that column's template column: none for mode 0 or a
  // column the template does not show, or when no row is selected. The cell
  // reads empty while it is edited; every row is deselected.
  void Open(int column, const ScriptTemplate& activeTemplate, const PrinterCatalog& printers,
            const std::u16string& autocadFile, HFONT font);

  // The edit field lost the focus: its text goes into the cell.
  void OnFieldKillFocus(HWND field);
  // A choice was made in the drop-down: it is committed by the timer.
  void OnDropDownChoice(HWND combo);
  // The commit timer: the drop-down's text goes into the cell; a printer
  // chosen in the printer column also brings its first paper into the
  // paper column, unless the catalog does not know the printer.
  void OnCommitTimer(const PrinterCatalog& printers);
  // A left click in the list: an open drop-down is closed and the cell gets
  // back its text; a choice not yet committed is dropped.
  void CancelDropDown();
  // Before anything else changes the rows (another editor, a command, a
  // sort, the end of the program): an edit field commits, a drop-down is
  // cancelled.
  void Close();

  Kind CurrentKind() const { return kind_; }

 private:
  void WriteCell(const std::u16string& text) const;
  void DestroyDropDown();

  HWND main_ = nullptr;
  HWND list_ = nullptr;
  UINT_PTR timer_ = 0;
  Kind kind_ = Kind::None;
  int row_ = 0;
  int column_ = 0;
  std::u16string previous_;  // the cell's text before editing
  HWND field_ = nullptr;
  HWND combo_ = nullptr;
};

}  // namespace tovrel
