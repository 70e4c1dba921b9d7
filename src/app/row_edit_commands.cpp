#include "app/row_edit_commands.h"

#include "app/app_context.h"
#include "drawing_list/edit_dialog.h"
#include "drawing_list/list_view_row_store_win32.h"
#include "win32/window_text.h"

namespace tovrel {

namespace {

void Say(HWND window, int message) {
  if (message != 0) ShowMessage(window, message);
}

}  // namespace

void EditRowsCommand(HWND window, HWND list, EditMode mode, RowBuffer& buffer, HFONT font) {
  AppContext& app = App();
  ScriptTemplate& activeTemplate = app.templates[static_cast<std::size_t>(app.ActiveTemplateIndex())];
  const EditDialogRunner runDialog = [&](RowBuffer& edited) {
    EditDialogData data{mode, activeTemplate, edited, app.printers, app.settings.autocad_file, font};
    return RunEditDialog(window, data);
  };
  ListViewRowStore store(list);
  switch (mode) {
    case EditMode::OneLine:
      Say(window, EditSelectedRows(store, activeTemplate, buffer, runDialog));
      break;
    case EditMode::OneColumn:
      EditEveryRow(store, activeTemplate, buffer, runDialog);
      break;
    case EditMode::InitialValues:
      if (EditInitialValues(activeTemplate, buffer, runDialog)) app.templatesChanged = true;
      break;
  }
}

void CopyRowCommand(HWND window, HWND list, RowBuffer& buffer) {
  ListViewRowStore store(list);
  Say(window, CopySelectedRow(store, App().ActiveTemplate(), buffer));
}

void PasteRowCommand(HWND window, HWND list, const RowBuffer& buffer) {
  ListViewRowStore store(list);
  Say(window, PasteIntoSelectedRows(store, App().ActiveTemplate(), buffer));
}

void MoveRowCommand(HWND window, HWND list, int direction) {
  ListViewRowStore store(list);
  Say(window, MoveSelectedRow(store, App().ActiveTemplate(), direction));
}

}  // namespace tovrel
