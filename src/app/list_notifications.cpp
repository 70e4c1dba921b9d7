#include "app/list_notifications.h"

#include <commctrl.h>

#include "app/app_context.h"
#include "drawing_list/list_view_row_store_win32.h"
#include "drawing_list/row_selection.h"
#include "printers/printer_catalog_win32.h"
#include "win32/window_text.h"

namespace tovrel {

LRESULT OnListNotify(HWND window, HWND list, NMHDR* header, ListInteraction& state, HFONT font) {
  ListViewRowStore store(list);
  switch (header->code) {
    case NM_CLICK:
      // A click while a drop-down is open cancels it, also when a choice is
      // waiting for its commit: the cell keeps its text.
      state.cellEditor.CancelDropDown();
      NormaliseMarksAfterClick(store);
      return 0;
    case NM_RCLICK:
      // A right-click first closes an editor still open, so that no
      // drop-down is left behind on the window.
      state.cellEditor.Close();
      // Until the catalog is loaded a right-click only loads it; the user
      // right-clicks again to edit.
      if (App().printers.catalogLoaded) {
        state.editedColumn = reinterpret_cast<NMITEMACTIVATE*>(header)->iSubItem;
        if (store.SelectedCount() > 0) {
          const AppContext& app = App();
          state.cellEditor.Open(state.editedColumn, app.ActiveTemplate(), app.printers,
                                app.settings.autocad_file, font);
        }
      } else {
        ShowMessage(window, 14);
        FillPrinterCatalog(window, App().printers, App().settings);
      }
      return 0;
    case LVN_COLUMNCLICK: {
      state.cellEditor.Close();
      const int column = reinterpret_cast<NMLISTVIEW*>(header)->iSubItem;
      if (!SortByColumn(store, column, state.sortDirections)) ShowMessage(window, 13);
      return 0;
    }
    default:
      return DefWindowProcW(window, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
  }
}

bool HandleCellEditorCommand(int id, HWND control, UINT code, ListInteraction& state) {
  if (id == kCellEditFieldId) {
    if (code == EN_KILLFOCUS) state.cellEditor.OnEditorKillFocus(control);
    return true;
  }
  if (id == kCellComboId) {
    if (code == CBN_SELCHANGE) state.cellEditor.OnDropDownChoice(control);
    if (code == CBN_KILLFOCUS) state.cellEditor.OnEditorKillFocus(control);
    return true;
  }
  return false;
}

void OnCellCommitTimer(ListInteraction& state) { state.cellEditor.OnCommitTimer(); }

}  // namespace tovrel
