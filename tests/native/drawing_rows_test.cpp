// Rows of the drawing list: new rows by display mode, the selection
// commands, and sorting by a click on a column header.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "drawing_list/list_columns.h"
#include "drawing_list/row_insertion.h"
#include "drawing_list/row_selection.h"
#include "drawing_list/row_sort.h"
#include "storage/text_codec.h"

using namespace tovrel;

namespace {

using Texts = std::vector<std::u16string>;

void UseSlot(ScriptTemplate& tmpl, int slot, int displayMode, std::u16string initialValue = u"") {
  TemplateColumn& column = tmpl.columns[static_cast<std::size_t>(slot)];
  column.inUse = 1;
  column.displayMode = displayMode;
  column.initialValue = std::move(initialValue);
}

// A store with the columns the list view would create, after one inserted row.
MemoryRowStore OneRow(const ScriptTemplate& tmpl) {
  MemoryRowStore store(static_cast<int>(DisplayedSlots(tmpl).size()));
  InsertDrawingRow(store, tmpl, u"a.dwg", u"c:\\plans", u"2009/03/07 09:05", kImageDxf, 0);
  return store;
}

Texts Row(const RowStore& store, int row) {
  Texts texts;
  for (int column = 0; column < store.ColumnCount(); ++column) texts.push_back(store.CellText(row, column, 260));
  return texts;
}

Texts Column(const RowStore& store, int column) {
  Texts texts;
  for (int row = 0; row < store.RowCount(); ++row) texts.push_back(store.CellText(row, column, 260));
  return texts;
}

// One row per text, named "r0", "r1", ...; the text in `column`.
MemoryRowStore Rows(const Texts& texts, int column = 0) {
  MemoryRowStore store(12);
  for (int row = 0; row < static_cast<int>(texts.size()); ++row) {
    store.InsertRow(row, u"r" + std::u16string(1, static_cast<char16_t>(u'0' + row)), 0, row);
    store.SetCellText(row, column, texts[static_cast<std::size_t>(row)]);
  }
  return store;
}

std::vector<int> Selected(const RowStore& store) {
  std::vector<int> rows;
  for (int row = store.NextSelected(0); row >= 0; row = store.NextSelected(row + 1)) rows.push_back(row);
  return rows;
}

TEST(RowInsertion, EachDisplayedSlotFillsTheNextColumnByItsMode) {
  ScriptTemplate tmpl;
  UseSlot(tmpl, 0, 1);
  UseSlot(tmpl, 1, 2);
  UseSlot(tmpl, 2, 0, u"not shown");  // in use, but no list column
  UseSlot(tmpl, 3, 3);
  UseSlot(tmpl, 4, 4, u"HP LaserJet");
  UseSlot(tmpl, 5, 4, std::u16string(200, u'v'));
  UseSlot(tmpl, 6, 7, u"unknown mode");
  UseSlot(tmpl, 7, 1);
  MemoryRowStore store = OneRow(tmpl);
  EXPECT_EQ(Row(store, 0), (Texts{u"a.dwg", u"c:\\plans", u"2009/03/07 09:05", u"HP LaserJet",
                                  std::u16string(127, u'v'), u"", u"a.dwg"}));
  EXPECT_EQ(store.Image(0), kImageDxf);
  EXPECT_EQ(store.ItemData(0), 0);
}

TEST(RowInsertion, AGapInTheSlotsEndsTheCellsAndNoDisplayedColumnAddsNoRow) {
  ScriptTemplate gap;  // slot 2 not in use: slot 3 has a column, but new rows leave it empty
  UseSlot(gap, 0, 1);
  UseSlot(gap, 1, 4, u"A3");
  UseSlot(gap, 3, 4, u"after the gap");
  EXPECT_EQ(Row(OneRow(gap), 0), (Texts{u"a.dwg", u"A3", u""}));

  ScriptTemplate gapFirst;  // the gap in slot 0: a column, but no row at all
  UseSlot(gapFirst, 1, 1);
  const MemoryRowStore first = OneRow(gapFirst);
  EXPECT_EQ(first.ColumnCount(), 1);
  EXPECT_EQ(first.RowCount(), 0);

  ScriptTemplate hidden;  // in use but none displayed: no column and no row
  UseSlot(hidden, 0, 0, u"x");
  const MemoryRowStore none = OneRow(hidden);
  EXPECT_EQ(none.ColumnCount(), 0);
  EXPECT_EQ(none.RowCount(), 0);
}

TEST(RowSelection, SelectAllDeselectAllAndClickNormalising) {
  MemoryRowStore store = Rows({u"a", u"b", u"c"});
  SelectAllRows(store);
  EXPECT_EQ(Selected(store), (std::vector<int>{0, 1, 2}));
  EXPECT_TRUE(store.IsFocused(1));
  store.SetMarks(0, false);
  store.SetFocusOnly(0, true);  // focused by a click, not selected
  DeselectAllRows(store);
  EXPECT_EQ(FirstSelectedRow(store), -1);
  EXPECT_FALSE(store.IsFocused(2));
  EXPECT_TRUE(store.IsFocused(0));  // only selected rows are deselected

  store.SetMarks(1, true);
  store.SetFocusOnly(1, false);
  NormaliseMarksAfterClick(store);  // every row ends with all marks or none
  EXPECT_TRUE(store.IsSelected(0) && store.IsFocused(0));
  EXPECT_TRUE(store.IsSelected(1) && store.IsFocused(1));
  EXPECT_FALSE(store.IsSelected(2) || store.IsFocused(2));
}

TEST(RowSelection, SearchSelectsRowsWhoseFileNameHoldsTheText) {
  MemoryRowStore store = Rows({u"A3-plan.dwg", u"a3-plan.dwg", u"detail.dxf", u"A3.dwg"});
  store.SetCellText(1, 1, u"A3");  // other columns are not searched
  store.SetMarks(2, true);
  SelectRowsContaining(store, u"A3");
  EXPECT_EQ(Selected(store), (std::vector<int>{0, 2, 3}));  // case-sensitive; row 2 stays selected
  EXPECT_EQ(FirstSelectedRow(store), 0);
  SelectRowsContaining(store, u"");
  EXPECT_EQ(store.SelectedCount(), 4);

  MemoryRowStore longName = Rows({std::u16string(259, u'x') + u"A3"});  // 259 characters searched
  SelectRowsContaining(longName, u"A3");
  EXPECT_EQ(longName.SelectedCount(), 0);
}

TEST(RowSelection, DeleteSelectedRowsByForm) {
  MemoryRowStore store = Rows({u"r0", u"r1", u"r2", u"r3", u"r4", u"r5"});
  EXPECT_EQ(DeleteSelectedRows(store, false), kMessageNothingSelected);  // menu form: a message only
  EXPECT_EQ(store.RowCount(), 6);
  for (int row : {1, 2, 4}) store.SetMarks(row, true);
  store.SetFocusOnly(5, true);  // focus alone does not select
  EXPECT_EQ(DeleteSelectedRows(store, false), 0);
  EXPECT_EQ(Column(store, 0), (Texts{u"r0", u"r3", u"r5"}));
  store.SetMarks(0, true);
  EXPECT_EQ(DeleteSelectedRows(store, true), 0);
  EXPECT_EQ(Column(store, 0), (Texts{u"r3", u"r5"}));
  EXPECT_EQ(DeleteSelectedRows(store, true), 0);  // toolbar form, nothing selected: empties the list
  EXPECT_EQ(store.RowCount(), 0);
}

TEST(CompareCellTexts, ColumnThreeComparesIntegersAsTheRuntimeReadsThem) {
  const auto compare = [](std::u16string_view a, std::u16string_view b) {
    return CompareCellTexts(a, b, 3, kSortAscending);
  };
  EXPECT_EQ(compare(u"1000", u"1"), 1);
  EXPECT_EQ(CompareCellTexts(u"10", u"9", 3, kSortDescending), -1);
  EXPECT_LT(compare(u"\t-5", u"3"), 0);
  EXPECT_GT(compare(u"2147483648", u"5"), 0);
  EXPECT_LT(compare(u"-99999999999", u"-5"), 0);
  const std::pair<const char16_t*, const char16_t*> equal[] = {
      {u"abc", u""}, {u"x12", u"0"}, {u"  +7 sheets", u"7"}, {u"- 5", u"0"}, {u"１２", u"0"},
      {u"99999999999999999999", u"2147483647"}, {u"-99999999999", u"-2147483648"}};  // held at the int ends
  for (const auto& [a, b] : equal) EXPECT_EQ(compare(a, b), 0) << Utf16ToUtf8(a);
}

TEST(CompareCellTexts, OtherColumnsFoldOnlyAsciiCapitals) {
  EXPECT_EQ(CompareCellTexts(u"abc", u"ABC", 0, kSortAscending), 0);
  EXPECT_EQ(CompareCellTexts(u"b", u"A", 1, kSortDescending), -1);
  EXPECT_LT(CompareCellTexts(u"[x", u"Ax", 0, kSortAscending), 0);  // '[' < 'a' once A is folded
  EXPECT_LT(CompareCellTexts(u"ab", u"abc", 0, kSortAscending), 0);
  EXPECT_LT(CompareCellTexts(u"10", u"9", 4, kSortAscending), 0);
  EXPECT_EQ(CompareCellTexts(u"ａ", u"Ａ", 0, kSortAscending), 0xFF41 - 0xFF21);
  EXPECT_NE(CompareCellTexts(u"é", u"É", 0, kSortAscending), 0);
}

TEST(SortByColumn, FirstClickOnTheNameSortsDescendingOthersAscendingThenToggles) {
  SortDirections directions;
  MemoryRowStore store = Rows({u"b", u"C", u"a"}, 2);
  store.SetCellText(0, 0, u"m.dwg");
  store.SetCellText(1, 0, u"Z.dwg");
  store.SetCellText(2, 0, u"a.dwg");
  ASSERT_TRUE(SortByColumn(store, 0, directions));
  EXPECT_EQ(Column(store, 0), (Texts{u"Z.dwg", u"m.dwg", u"a.dwg"}));
  ASSERT_TRUE(SortByColumn(store, 2, directions));
  EXPECT_EQ(Column(store, 2), (Texts{u"a", u"b", u"C"}));
  ASSERT_TRUE(SortByColumn(store, 2, directions));
  EXPECT_EQ(Column(store, 2), (Texts{u"C", u"b", u"a"}));
  ASSERT_TRUE(SortByColumn(store, 0, directions));  // column 0 remembers its direction
  EXPECT_EQ(Column(store, 0), (Texts{u"a.dwg", u"m.dwg", u"Z.dwg"}));

  store = Rows({u"10", u"none", u"9", u"", u"-1", u"2"}, 3);
  store.SetMarks(2, true);
  ASSERT_TRUE(SortByColumn(store, 3, directions));  // rows move whole; equal keys keep their order
  EXPECT_EQ(Column(store, 3), (Texts{u"-1", u"none", u"", u"2", u"9", u"10"}));
  EXPECT_EQ(store.CellText(4, 0, 260), u"r2");
  EXPECT_EQ(store.ItemData(4), 2);
  EXPECT_EQ(Selected(store), std::vector<int>{4});
  EXPECT_FALSE(SortByColumn(store, 50, directions));
  EXPECT_FALSE(SortByColumn(store, -1, directions));
}

TEST(SortByColumn, TenThousandRowsEndInOrderStablyWithNoRowLost) {
  std::mt19937 random(7);
  const char16_t letters[] = u"aAbBzZ09_図ｚ";
  Texts texts;
  MemoryRowStore store(4);
  for (int row = 0; row < 10000; ++row) {
    std::u16string text;
    for (int n = static_cast<int>(random() % 6); n >= 0; --n) text += letters[random() % 11];
    texts.push_back(text);
    store.InsertRow(row, u"n", 0, row);
    store.SetCellText(row, 1, text);
  }
  SortDirections directions;
  ASSERT_TRUE(SortByColumn(store, 1, directions));
  std::set<std::intptr_t> seen;
  for (int row = 0; row < 10000; ++row) {
    seen.insert(store.ItemData(row));
    ASSERT_EQ(store.CellText(row, 1, 260), texts[static_cast<std::size_t>(store.ItemData(row))]);
    if (row == 0) continue;
    const int order =
        CompareCellTexts(store.CellText(row - 1, 1, 260), store.CellText(row, 1, 260), 1, kSortAscending);
    ASSERT_LE(order, 0) << "rows " << row - 1 << " and " << row;
    if (order == 0) {
      ASSERT_LT(store.ItemData(row - 1), store.ItemData(row));  // stable
    }
  }
  EXPECT_EQ(seen.size(), 10000u);
}

}  // namespace
