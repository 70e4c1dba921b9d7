#include "drawing_list/list_view_window.h"

#include <commctrl.h>

#include <string>

#include "drawing_list/list_columns.h"
#include "win32/dpi.h"

namespace tovrel {

namespace {

void InsertColumns(HWND list, const ScriptTemplate& tmpl) {
  int j = 0;
  for (int slot : DisplayedSlots(tmpl)) {
    const TemplateColumn& column = tmpl.columns[slot];
    std::wstring header(column.itemText.begin(), column.itemText.end());
    if (header.size() > 15) header.resize(15);
    LVCOLUMNW lvc{};
    lvc.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    lvc.fmt = LVCFMT_LEFT;
    lvc.cx = ScaleToDpi(column.width);  // template widths are 96-dpi pixels
    lvc.pszText = header.data();
    lvc.cchTextMax = 120;
    lvc.iSubItem = j;
    SendMessageW(list, LVM_INSERTCOLUMNW, j, reinterpret_cast<LPARAM>(&lvc));
    ++j;
  }
}

}  // namespace

HWND CreateDrawingList(HWND parent, const ScriptTemplate& activeTemplate) {
  // The list clips its siblings: the in-place editor stands over it.
  HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | LVS_REPORT,
                              0, 40, 100, 100, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kDrawingListId)),
                              GetModuleHandleW(nullptr), nullptr);
  if (!list) return nullptr;
  const DWORD extended = static_cast<DWORD>(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               extended | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  // Room for the DWG and DXF pictures; the list shows none.
  HIMAGELIST images = ImageList_Create(12, 12, ILC_MASK, 2, 0);
  SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
  InsertColumns(list, activeTemplate);
  return list;
}

void RebuildColumns(HWND list, const ScriptTemplate& activeTemplate) {
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  const int count = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  for (int i = count; i >= 0; --i) SendMessageW(list, LVM_DELETECOLUMN, i, 0);
  InsertColumns(list, activeTemplate);
}

int RowCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

}  // namespace tovrel
