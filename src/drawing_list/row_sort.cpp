#include "drawing_list/row_sort.h"

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

namespace tovrel {

namespace {

constexpr int kNumericColumn = 3;
constexpr std::size_t kCellBufferSize = 260;

bool IsCrtBlank(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

int ReadInteger(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsCrtBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  std::int64_t value = 0;
  constexpr std::int64_t kLimit = std::int64_t{INT_MAX} + 1;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = value * 10 + (text[i] - u'0');
    if (value > kLimit) value = kLimit;  // saturate; the digits that follow change nothing
  }
  if (negative) return static_cast<int>(-value);  // -2^31 at most
  return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

char16_t FoldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

// As a C string comparison: the end of a text reads as a null character.
int CompareFolded(std::u16string_view a, std::u16string_view b) {
  for (std::size_t i = 0;; ++i) {
    const char16_t x = FoldAscii(i < a.size() ? a[i] : u'\0');
    const char16_t y = FoldAscii(i < b.size() ? b[i] : u'\0');
    if (x != y) return static_cast<int>(x) - static_cast<int>(y);
    if (x == u'\0') return 0;
  }
}

}  // namespace

int CompareCellTexts(std::u16string_view a, std::u16string_view b, int column, int direction) {
  int result;
  if (column == kNumericColumn) {
    const int x = ReadInteger(a), y = ReadInteger(b);
    result = x > y ? 1 : (x < y ? -1 : 0);
  } else {
    result = CompareFolded(a, b);
  }
  return direction == kSortAscending ? result : -result;
}

bool SortByColumn(RowStore& store, int column, SortDirections& directions) {
  if (column < 0 || column >= kColumnCount) return false;
  int& direction = directions.direction[static_cast<std::size_t>(column)];
  direction = direction == kSortAscending ? kSortDescending : kSortAscending;

  // The texts are read once: a list view answers a cell read with a message
  // round trip, far too slow to repeat in every comparison.
  const int count = store.RowCount();
  std::vector<std::u16string> texts;
  texts.reserve(static_cast<std::size_t>(count > 0 ? count : 0));
  for (int row = 0; row < count; ++row) texts.push_back(store.CellText(row, column, kCellBufferSize));

  const int sortDirection = direction;
  return store.Sort([&texts, column, sortDirection](int before, int after) {
    const auto valid = [&texts](int position) {
      return position >= 0 && static_cast<std::size_t>(position) < texts.size();
    };
    if (!valid(before) || !valid(after)) return 0;
    return CompareCellTexts(texts[static_cast<std::size_t>(before)],
                            texts[static_cast<std::size_t>(after)], column, sortDirection);
  });
}

}  // namespace tovrel
