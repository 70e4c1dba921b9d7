#include "drawing_list/row_store.h"

#include <algorithm>
#include <utility>

namespace tovrel {

namespace {

// A bottom-up merge sort of positions. It only ever asks whether one element
// goes before another, so a comparator that is inconsistent (or answers with
// any integer, not just -1, 0, 1) still yields a permutation, never a fault.
// Equal elements keep their order.
void StableSortPositions(std::vector<int>& positions,
                         const std::function<int(int, int)>& compare) {
  const std::size_t count = positions.size();
  std::vector<int> buffer(count);
  for (std::size_t width = 1; width < count; width *= 2) {
    for (std::size_t left = 0; left < count; left += 2 * width) {
      const std::size_t middle = std::min(left + width, count);
      const std::size_t right = std::min(left + 2 * width, count);
      std::size_t a = left, b = middle, out = left;
      while (a < middle && b < right) {
        // Take from the right run only when it is strictly smaller.
        if (compare(positions[b], positions[a]) < 0) buffer[out++] = positions[b++];
        else buffer[out++] = positions[a++];
      }
      while (a < middle) buffer[out++] = positions[a++];
      while (b < right) buffer[out++] = positions[b++];
    }
    positions.swap(buffer);
  }
}

}  // namespace

std::u16string MemoryRowStore::CellText(int row, int column, std::size_t bufferSize) const {
  if (!Valid(row) || column < 0 || column >= columns_ || bufferSize == 0) return {};
  const auto& cells = rows_[static_cast<std::size_t>(row)].cells;
  if (static_cast<std::size_t>(column) >= cells.size()) return {};
  const std::u16string& text = cells[static_cast<std::size_t>(column)];
  return text.substr(0, std::min(text.size(), bufferSize - 1));
}

void MemoryRowStore::SetCellText(int row, int column, std::u16string_view text) {
  if (!Valid(row) || column < 0 || column >= columns_) return;
  auto& cells = rows_[static_cast<std::size_t>(row)].cells;
  if (static_cast<std::size_t>(column) >= cells.size()) cells.resize(static_cast<std::size_t>(column) + 1);
  cells[static_cast<std::size_t>(column)].assign(text);
}

void MemoryRowStore::InsertRow(int index, std::u16string_view text, int image, std::intptr_t itemData) {
  if (index < 0 || index > RowCount()) return;
  Row row;
  row.cells.emplace_back(text);
  row.image = image;
  row.itemData = itemData;
  rows_.insert(rows_.begin() + index, std::move(row));
}

void MemoryRowStore::DeleteRow(int row) {
  if (Valid(row)) rows_.erase(rows_.begin() + row);
}

int MemoryRowStore::Image(int row) const {
  return Valid(row) ? rows_[static_cast<std::size_t>(row)].image : 0;
}

std::intptr_t MemoryRowStore::ItemData(int row) const {
  return Valid(row) ? rows_[static_cast<std::size_t>(row)].itemData : 0;
}

bool MemoryRowStore::IsSelected(int row) const {
  return Valid(row) && rows_[static_cast<std::size_t>(row)].selected;
}

bool MemoryRowStore::IsFocused(int row) const {
  return Valid(row) && rows_[static_cast<std::size_t>(row)].focused;
}

void MemoryRowStore::SetMarks(int row, bool on) {
  if (!Valid(row)) return;
  Row& r = rows_[static_cast<std::size_t>(row)];
  r.selected = on;
  r.focused = on;
}

void MemoryRowStore::SetFocusOnly(int row, bool on) {
  if (Valid(row)) rows_[static_cast<std::size_t>(row)].focused = on;
}

int MemoryRowStore::NextSelected(int from) const {
  for (int row = std::max(from, 0); row < RowCount(); ++row) {
    if (rows_[static_cast<std::size_t>(row)].selected) return row;
  }
  return -1;
}

int MemoryRowStore::SelectedCount() const {
  return static_cast<int>(std::count_if(rows_.begin(), rows_.end(),
                                        [](const Row& row) { return row.selected; }));
}

bool MemoryRowStore::Sort(const std::function<int(int before, int after)>& compare) {
  std::vector<int> order(rows_.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  StableSortPositions(order, compare);
  std::vector<Row> sorted;
  sorted.reserve(rows_.size());
  for (const int position : order) sorted.push_back(std::move(rows_[static_cast<std::size_t>(position)]));
  rows_.swap(sorted);
  return true;
}

}  // namespace tovrel
