// The order of the drawing list after a click on a column header.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "drawing_list/row_sort.h"

using namespace tovrel;

namespace {

// One row per text, the text in `column` and the row's number in column 0.
MemoryRowStore RowsWithTexts(int column, const std::vector<std::u16string>& texts) {
  MemoryRowStore store(12);
  for (int row = 0; row < static_cast<int>(texts.size()); ++row) {
    store.InsertRow(row, u"row" + std::u16string(1, static_cast<char16_t>(u'A' + row)), 0, row);
    store.SetCellText(row, column, texts[static_cast<std::size_t>(row)]);
  }
  return store;
}

std::vector<std::u16string> Column(const RowStore& store, int column) {
  std::vector<std::u16string> texts;
  for (int row = 0; row < store.RowCount(); ++row) texts.push_back(store.CellText(row, column, 260));
  return texts;
}

int Sign(int value) { return (value > 0) - (value < 0); }

// Counts cell reads, to show that a sort does not read cells per comparison
// (each read is a message round trip on the real list view).
class CountingStore final : public RowStore {
public:
  explicit CountingStore(MemoryRowStore& inner) : inner_(inner) {}
  int reads = 0;
  int RowCount() const override { return inner_.RowCount(); }
  int ColumnCount() const override { return inner_.ColumnCount(); }
  std::u16string CellText(int row, int column, std::size_t size) const override {
    ++const_cast<CountingStore*>(this)->reads;
    return inner_.CellText(row, column, size);
  }
  void SetCellText(int row, int column, std::u16string_view text) override { inner_.SetCellText(row, column, text); }
  void InsertRow(int index, std::u16string_view text, int image, std::intptr_t data) override {
    inner_.InsertRow(index, text, image, data);
  }
  void DeleteRow(int row) override { inner_.DeleteRow(row); }
  void DeleteAllRows() override { inner_.DeleteAllRows(); }
  int Image(int row) const override { return inner_.Image(row); }
  std::intptr_t ItemData(int row) const override { return inner_.ItemData(row); }
  bool IsSelected(int row) const override { return inner_.IsSelected(row); }
  bool IsFocused(int row) const override { return inner_.IsFocused(row); }
  void SetMarks(int row, bool on) override { inner_.SetMarks(row, on); }
  int NextSelected(int from) const override { return inner_.NextSelected(from); }
  int SelectedCount() const override { return inner_.SelectedCount(); }
  bool Sort(const std::function<int(int, int)>& compare) override { return refuse ? false : inner_.Sort(compare); }
  bool refuse = false;

private:
  MemoryRowStore& inner_;
};

}  // namespace

TEST(CompareCellTexts, ColumnThreeComparesIntegersAsTheRuntimeReadsThem) {
  EXPECT_GT(CompareCellTexts(u"10", u"9", 3, kSortAscending), 0);
  EXPECT_LT(CompareCellTexts(u"10", u"9", 3, kSortDescending), 0);
  EXPECT_EQ(CompareCellTexts(u"abc", u"", 3, kSortAscending), 0);  // no digits: both 0
  EXPECT_EQ(CompareCellTexts(u"x12", u"0", 3, kSortAscending), 0);
  EXPECT_EQ(CompareCellTexts(u"  +7 sheets", u"7", 3, kSortAscending), 0);
  EXPECT_LT(CompareCellTexts(u"\t-5", u"3", 3, kSortAscending), 0);
  EXPECT_EQ(CompareCellTexts(u"- 5", u"0", 3, kSortAscending), 0);  // sign must touch the digits
  EXPECT_EQ(CompareCellTexts(u"１２", u"0", 3, kSortAscending), 0);  // full-width digits are not digits
  // Values beyond the int range stay at its ends instead of wrapping.
  EXPECT_EQ(CompareCellTexts(u"99999999999999999999", u"2147483647", 3, kSortAscending), 0);
  EXPECT_GT(CompareCellTexts(u"2147483648", u"5", 3, kSortAscending), 0);
  EXPECT_EQ(CompareCellTexts(u"-99999999999", u"-2147483648", 3, kSortAscending), 0);
  EXPECT_LT(CompareCellTexts(u"-99999999999", u"-5", 3, kSortAscending), 0);
  // The results are exactly 1, 0 and -1 there.
  EXPECT_EQ(CompareCellTexts(u"1000", u"1", 3, kSortAscending), 1);
}

TEST(CompareCellTexts, OtherColumnsFoldOnlyAsciiCapitals) {
  EXPECT_EQ(CompareCellTexts(u"abc", u"ABC", 0, kSortAscending), 0);
  EXPECT_EQ(CompareCellTexts(u"b", u"A", 1, kSortAscending), 1);       // 'b' - 'a'
  EXPECT_EQ(CompareCellTexts(u"b", u"A", 1, kSortDescending), -1);
  EXPECT_LT(CompareCellTexts(u"[x", u"Ax", 0, kSortAscending), 0);    // '[' < 'a' once A is folded
  EXPECT_LT(CompareCellTexts(u"ab", u"abc", 0, kSortAscending), 0);   // a shorter text first
  EXPECT_LT(CompareCellTexts(u"10", u"9", 4, kSortAscending), 0);     // other columns are texts
  // Full-width letters and other scripts compare by code unit, unfolded.
  EXPECT_EQ(CompareCellTexts(u"ａ", u"Ａ", 0, kSortAscending), 0xFF41 - 0xFF21);
  EXPECT_NE(CompareCellTexts(u"é", u"É", 0, kSortAscending), 0);
  EXPECT_GT(CompareCellTexts(u"図面", u"zz", 0, kSortAscending), 0);
}

TEST(SortByColumn, FirstClickOnTheNameColumnSortsDescendingOthersAscending) {
  SortDirections directions;
  MemoryRowStore store = RowsWithTexts(2, {u"b", u"C", u"a"});
  store.SetCellText(0, 0, u"m.dwg");
  store.SetCellText(1, 0, u"Z.dwg");
  store.SetCellText(2, 0, u"a.dwg");

  ASSERT_TRUE(SortByColumn(store, 0, directions));
  EXPECT_EQ(Column(store, 0), (std::vector<std::u16string>{u"Z.dwg", u"m.dwg", u"a.dwg"}));
  ASSERT_TRUE(SortByColumn(store, 2, directions));
  EXPECT_EQ(Column(store, 2), (std::vector<std::u16string>{u"a", u"b", u"C"}));
  ASSERT_TRUE(SortByColumn(store, 2, directions));  // a second click reverses
  EXPECT_EQ(Column(store, 2), (std::vector<std::u16string>{u"C", u"b", u"a"}));
  ASSERT_TRUE(SortByColumn(store, 0, directions));  // column 0 remembers its direction
  EXPECT_EQ(Column(store, 0), (std::vector<std::u16string>{u"a.dwg", u"m.dwg", u"Z.dwg"}));
  EXPECT_EQ(directions.direction[0], kSortAscending);
  EXPECT_EQ(directions.direction[2], kSortDescending);
  EXPECT_EQ(directions.direction[1], 0);
}

TEST(SortByColumn, RowsMoveWholeAndEqualKeysKeepTheirOrder) {
  SortDirections directions;
  MemoryRowStore store = RowsWithTexts(3, {u"10", u"none", u"9", u"", u"-1", u"2"});
  store.SetMarks(2, true);
  ASSERT_TRUE(SortByColumn(store, 3, directions));
  EXPECT_EQ(Column(store, 3), (std::vector<std::u16string>{u"-1", u"none", u"", u"2", u"9", u"10"}));
  // Name, item data and marks travel with their row.
  EXPECT_EQ(store.CellText(4, 0, 260), u"rowC");
  EXPECT_EQ(store.ItemData(4), 2);
  EXPECT_TRUE(store.IsSelected(4));
  EXPECT_EQ(store.SelectedCount(), 1);
}

TEST(SortByColumn, RefusedOrImpossibleSorts) {
  SortDirections directions;
  MemoryRowStore inner = RowsWithTexts(1, {u"b", u"a"});
  CountingStore store(inner);
  store.refuse = true;
  EXPECT_FALSE(SortByColumn(store, 1, directions));
  EXPECT_EQ(directions.direction[1], kSortAscending);  // the click still counts
  EXPECT_EQ(Column(inner, 1), (std::vector<std::u16string>{u"b", u"a"}));

  EXPECT_FALSE(SortByColumn(inner, 50, directions));
  EXPECT_FALSE(SortByColumn(inner, -1, directions));

  MemoryRowStore empty(3);
  EXPECT_TRUE(SortByColumn(empty, 0, directions));
}

TEST(SortByColumn, TenThousandRowsReadEachCellOnce) {
  std::mt19937 random(7);
  std::vector<std::u16string> texts;
  for (int i = 0; i < 10000; ++i) {
    std::u16string text;
    for (int n = static_cast<int>(random() % 6); n >= 0; --n) {
      const char16_t letters[] = u"aAbBzZ09_図ｚ";
      text += letters[random() % 11];
    }
    texts.push_back(text);
  }
  MemoryRowStore inner(4);
  for (int row = 0; row < 10000; ++row) {
    inner.InsertRow(row, u"n", 0, row);
    inner.SetCellText(row, 1, texts[static_cast<std::size_t>(row)]);
  }
  CountingStore store(inner);
  SortDirections directions;
  ASSERT_TRUE(SortByColumn(store, 1, directions));
  EXPECT_EQ(store.reads, 10000);

  std::set<std::intptr_t> seen;
  for (int row = 0; row < 10000; ++row) {
    seen.insert(inner.ItemData(row));
    EXPECT_EQ(inner.CellText(row, 1, 260), texts[static_cast<std::size_t>(inner.ItemData(row))]);
    if (row == 0) continue;
    const int order = CompareCellTexts(inner.CellText(row - 1, 1, 260), inner.CellText(row, 1, 260), 1,
                                       kSortAscending);
    ASSERT_LE(order, 0) << "rows " << row - 1 << " and " << row;
    if (order == 0) {
      EXPECT_LT(inner.ItemData(row - 1), inner.ItemData(row));  // stable
    }
  }
  EXPECT_EQ(seen.size(), 10000u);
}

TEST(MemoryRowStore, SortKeepsEveryRowWhateverTheComparatorAnswers) {
  MemoryRowStore store(1);
  for (int row = 0; row < 500; ++row) store.InsertRow(row, u"r", 0, row);
  std::mt19937 random(1);
  ASSERT_TRUE(store.Sort([&random](int, int) { return static_cast<int>(random()) % 3 - 1; }));
  std::set<std::intptr_t> seen;
  for (int row = 0; row < store.RowCount(); ++row) seen.insert(store.ItemData(row));
  EXPECT_EQ(seen.size(), 500u);

  // Large results count by their sign only: sorting by descending pre-sort
  // position reverses the rows.
  std::vector<std::intptr_t> before;
  for (int row = 0; row < store.RowCount(); ++row) before.push_back(store.ItemData(row));
  ASSERT_TRUE(store.Sort([](int a, int b) { return Sign(b - a) * 65535; }));
  for (int row = 0; row < store.RowCount(); ++row) {
    EXPECT_EQ(store.ItemData(row), before[before.size() - 1 - static_cast<std::size_t>(row)]);
  }
}
