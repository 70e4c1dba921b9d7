#include "drawing_list/list_view_row_store_win32.h"
#include "win32/callback_guard.h"

#include <commctrl.h>

#include <vector>

namespace tovrel {

namespace {

constexpr UINT kMarks = LVIS_SELECTED | LVIS_FOCUSED | LVIS_DROPHILITED;

std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

struct SortContext {
  const std::function<int(int, int)>* compare;
};

int CompareByPositionUnguarded(LPARAM a, LPARAM b, LPARAM context) {
  auto* sort = reinterpret_cast<SortContext*>(context);
  return (*sort->compare)(static_cast<int>(a), static_cast<int>(b));
}

int CALLBACK CompareByPosition(LPARAM a, LPARAM b, LPARAM context) {
  return GuardCallback<int>(nullptr, 0, [&] { return CompareByPositionUnguarded(a, b, context); });
}

int g_redrawPauses = 0;  // one window thread: a plain count suffices

}  // namespace

ListRedrawPause::ListRedrawPause(HWND list) : list_(list) {
  if (g_redrawPauses++ == 0) SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
}

ListRedrawPause::~ListRedrawPause() {
  if (--g_redrawPauses == 0) {
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
  }
}

int ListViewRowStore::RowCount() const {
  return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
}

int ListViewRowStore::ColumnCount() const {
  if (columns_ < 0) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0));
    columns_ = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  }
  return columns_;
}

std::u16string ListViewRowStore::CellText(int row, int column, std::size_t bufferSize) const {
  if (bufferSize == 0 || column < 0 || column >= ColumnCount()) return {};
  if (buffer_.size() < bufferSize) buffer_.resize(bufferSize);
  buffer_[0] = L'\0';
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buffer_.data();
  item.cchTextMax = static_cast<int>(bufferSize);
  const auto n = static_cast<std::size_t>(SendMessageW(list_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
  return std::u16string(reinterpret_cast<const char16_t*>(buffer_.data()), n < bufferSize ? n : bufferSize - 1);
}

void ListViewRowStore::SetCellText(int row, int column, std::u16string_view text) {
  if (column < 0 || column >= ColumnCount()) return;
  std::wstring value = Wide(text);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = value.data();
  SendMessageW(list_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

void ListViewRowStore::InsertRow(int index, std::u16string_view text, int image, std::intptr_t itemData) {
  std::wstring value = Wide(text);
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  item.iItem = index;
  item.pszText = value.data();
  item.iImage = image;
  item.lParam = itemData;
  SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void ListViewRowStore::DeleteRow(int row) { SendMessageW(list_, LVM_DELETEITEM, row, 0); }

void ListViewRowStore::DeleteAllRows() { SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0); }

int ListViewRowStore::Image(int row) const {
  LVITEMW item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  return item.iImage;
}

std::intptr_t ListViewRowStore::ItemData(int row) const {
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  return item.lParam;
}

bool ListViewRowStore::IsSelected(int row) const {
  return (SendMessageW(list_, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

bool ListViewRowStore::IsFocused(int row) const {
  return (SendMessageW(list_, LVM_GETITEMSTATE, row, LVIS_FOCUSED) & LVIS_FOCUSED) != 0;
}

void ListViewRowStore::SetMarks(int row, bool on) {
  LVITEMW item{};
  item.stateMask = kMarks;
  item.state = on ? kMarks : 0;
  SendMessageW(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

int ListViewRowStore::NextSelected(int from) const {
  return static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, from - 1, LVNI_SELECTED));
}

int ListViewRowStore::SelectedCount() const {
  return static_cast<int>(SendMessageW(list_, LVM_GETSELECTEDCOUNT, 0, 0));
}

// The list view compares rows by their item data. Item data of rows need
// not be unique (it is the row index at insertion), so for the sort each row
// carries its position instead, and its own item data is put back after.
bool ListViewRowStore::Sort(const std::function<int(int before, int after)>& compare) {
  const ListRedrawPause pause(list_);
  const int count = RowCount();
  std::vector<LPARAM> original(static_cast<std::size_t>(count));
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  for (int row = 0; row < count; ++row) {
    item.iItem = row;
    SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    original[static_cast<std::size_t>(row)] = item.lParam;
    item.lParam = row;
    SendMessageW(list_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
  SortContext context{&compare};
  const bool sorted = SendMessageW(list_, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&context),
                                   reinterpret_cast<LPARAM>(CompareByPosition)) != FALSE;
  for (int row = 0; row < count; ++row) {
    item.iItem = row;
    SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    item.lParam = original[static_cast<std::size_t>(item.lParam)];
    SendMessageW(list_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
  return sorted;
}

}  // namespace tovrel
