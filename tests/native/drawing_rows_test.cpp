// New rows of the drawing list and the selection commands, on the in-memory
// row store.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drawing_list/list_columns.h"
#include "drawing_list/row_insertion.h"
#include "drawing_list/row_selection.h"

using namespace tovrel;

namespace {

void UseSlot(ScriptTemplate& tmpl, int slot, int displayMode, std::u16string initialValue = u"") {
  TemplateColumn& column = tmpl.columns[static_cast<std::size_t>(slot)];
  column.inUse = 1;
  column.displayMode = displayMode;
  column.initialValue = std::move(initialValue);
}

// A store with the columns the list view would create for the template.
MemoryRowStore StoreFor(const ScriptTemplate& tmpl) {
  return MemoryRowStore(static_cast<int>(DisplayedSlots(tmpl).size()));
}

std::vector<std::u16string> RowTexts(const RowStore& store, int row) {
  std::vector<std::u16string> texts;
  for (int column = 0; column < store.ColumnCount(); ++column) texts.push_back(store.CellText(row, column, 260));
  return texts;
}

void Insert(RowStore& store, const ScriptTemplate& tmpl, std::u16string_view name, int image = kImageDwg) {
  InsertDrawingRow(store, tmpl, name, u"c:\\plans", u"2009/03/07 09:05", image, store.RowCount());
}

MemoryRowStore NamedRows(std::initializer_list<std::u16string_view> names) {
  MemoryRowStore store(2);
  int row = 0;
  for (const auto name : names) {
    store.InsertRow(row, name, 0, row);
    ++row;
  }
  return store;
}

std::vector<std::u16string> Names(const RowStore& store) {
  std::vector<std::u16string> names;
  for (int row = 0; row < store.RowCount(); ++row) names.push_back(store.CellText(row, 0, 260));
  return names;
}

std::vector<int> Selected(const RowStore& store) {
  std::vector<int> rows;
  for (int row = store.NextSelected(0); row >= 0; row = store.NextSelected(row + 1)) rows.push_back(row);
  return rows;
}

}  // namespace

TEST(RowInsertion, EachDisplayedSlotFillsTheNextColumnByItsMode) {
  ScriptTemplate tmpl;
  UseSlot(tmpl, 0, 1);
  UseSlot(tmpl, 1, 2);
  UseSlot(tmpl, 2, 0, u"not shown");  // in use, but no list column
  UseSlot(tmpl, 3, 3);
  UseSlot(tmpl, 4, 4, u"HP LaserJet");
  UseSlot(tmpl, 5, 4, std::u16string(200, u'v'));
  MemoryRowStore store = StoreFor(tmpl);
  Insert(store, tmpl, u"a.dwg");
  Insert(store, tmpl, u"b.dxf", kImageDxf);

  ASSERT_EQ(store.RowCount(), 2);
  EXPECT_EQ(RowTexts(store, 0), (std::vector<std::u16string>{u"a.dwg", u"c:\\plans", u"2009/03/07 09:05",
                                                             u"HP LaserJet", std::u16string(127, u'v')}));
  EXPECT_EQ(store.CellText(1, 0, 260), u"b.dxf");
  EXPECT_EQ(store.ItemData(0), 0);
  EXPECT_EQ(store.ItemData(1), 1);
  EXPECT_EQ(store.Image(0), kImageDwg);
  EXPECT_EQ(store.Image(1), kImageDxf);
}

TEST(RowInsertion, ASlotNotInUseEndsTheCellsOfNewRows) {
  // Slot 2 is not in use: slot 3 still has a list column, but new rows leave it empty.
  ScriptTemplate gap;
  UseSlot(gap, 0, 1);
  UseSlot(gap, 1, 4, u"A3");
  UseSlot(gap, 3, 4, u"after the gap");
  MemoryRowStore store = StoreFor(gap);
  ASSERT_EQ(store.ColumnCount(), 3);
  Insert(store, gap, u"a.dwg");
  EXPECT_EQ(RowTexts(store, 0), (std::vector<std::u16string>{u"a.dwg", u"A3", u""}));

  // With the gap in slot 0 the list has columns, but no row is inserted at all.
  ScriptTemplate gapFirst;
  UseSlot(gapFirst, 1, 1);
  MemoryRowStore first = StoreFor(gapFirst);
  ASSERT_EQ(first.ColumnCount(), 1);
  Insert(first, gapFirst, u"a.dwg");
  EXPECT_EQ(first.RowCount(), 0);

  // Slots in use but none displayed: no column and no row.
  ScriptTemplate hidden;
  UseSlot(hidden, 0, 0, u"x");
  UseSlot(hidden, 1, 0, u"y");
  MemoryRowStore none = StoreFor(hidden);
  Insert(none, hidden, u"a.dwg");
  EXPECT_EQ(none.ColumnCount(), 0);
  EXPECT_EQ(none.RowCount(), 0);
}

TEST(RowInsertion, AnUnknownDisplayModeGivesAnEmptyCellAndKeepsLaterColumnsInPlace) {
  ScriptTemplate tmpl;
  UseSlot(tmpl, 0, 7, u"ignored");
  UseSlot(tmpl, 1, -1);
  UseSlot(tmpl, 2, 1);
  MemoryRowStore store = StoreFor(tmpl);
  Insert(store, tmpl, u"a.dwg");
  ASSERT_EQ(store.RowCount(), 1);
  EXPECT_EQ(RowTexts(store, 0), (std::vector<std::u16string>{u"", u"", u"a.dwg"}));
}

TEST(MemoryRowStore, CellsBeyondTheColumnsDoNotExistAndReadsAreCutToTheBuffer) {
  MemoryRowStore store(2);
  store.InsertRow(0, u"second", 0, 0);
  store.InsertRow(0, u"first", 1, 7);  // inserting shifts the rows below
  store.SetCellText(0, 1, u"abcdef");
  store.SetCellText(0, 2, u"lost");
  EXPECT_EQ(Names(store), (std::vector<std::u16string>{u"first", u"second"}));
  EXPECT_EQ(store.CellText(0, 1, 4), u"abc");
  EXPECT_EQ(store.CellText(0, 1, 1), u"");
  EXPECT_EQ(store.CellText(0, 2, 260), u"");
  EXPECT_EQ(store.ItemData(0), 7);
  EXPECT_EQ(store.CellText(5, 0, 260), u"");  // no such row
}

TEST(RowSelection, SelectAndDeselectAllSetAndClearAllMarks) {
  MemoryRowStore store = NamedRows({u"a", u"b", u"c"});
  SelectAllRows(store);
  EXPECT_EQ(Selected(store), (std::vector<int>{0, 1, 2}));
  EXPECT_TRUE(store.IsFocused(1));

  store.SetMarks(0, false);
  store.SetFocusOnly(0, true);  // focused by a click, not selected
  DeselectAllRows(store);
  EXPECT_EQ(store.SelectedCount(), 0);
  EXPECT_FALSE(store.IsFocused(2));
  EXPECT_TRUE(store.IsFocused(0));  // only selected rows are deselected
  EXPECT_EQ(FirstSelectedRow(store), -1);
}

TEST(RowSelection, SearchSelectsRowsWhoseFileNameHoldsTheText) {
  MemoryRowStore store = NamedRows({u"A3-plan.dwg", u"a3-plan.dwg", u"detail.dxf", u"A3.dwg"});
  store.SetCellText(2, 1, u"A3");  // other columns are not searched
  store.SetMarks(2, true);
  SelectRowsContaining(store, u"A3");
  EXPECT_EQ(Selected(store), (std::vector<int>{0, 2, 3}));  // case-sensitive; row 2 stays selected
  EXPECT_EQ(FirstSelectedRow(store), 0);

  DeselectAllRows(store);
  SelectRowsContaining(store, u"");
  EXPECT_EQ(store.SelectedCount(), 4);

  // Only the first 259 characters of a name are searched.
  MemoryRowStore longName = NamedRows({std::u16string(259, u'x') + u"A3"});
  SelectRowsContaining(longName, u"A3");
  EXPECT_EQ(longName.SelectedCount(), 0);
}

TEST(RowSelection, DeleteSelectedRowsByForm) {
  MemoryRowStore store = NamedRows({u"r0", u"r1", u"r2", u"r3", u"r4", u"r5"});
  // Nothing selected: the menu form only answers the message, the toolbar form empties the list.
  EXPECT_EQ(DeleteSelectedRows(store, false), kMessageNothingSelected);
  EXPECT_EQ(store.RowCount(), 6);

  store.SetMarks(1, true);
  store.SetMarks(2, true);
  store.SetMarks(4, true);
  store.SetFocusOnly(5, true);  // focus alone does not make a row selected
  EXPECT_EQ(DeleteSelectedRows(store, false), 0);
  EXPECT_EQ(Names(store), (std::vector<std::u16string>{u"r0", u"r3", u"r5"}));

  store.SetMarks(0, true);
  EXPECT_EQ(DeleteSelectedRows(store, true), 0);
  EXPECT_EQ(Names(store), (std::vector<std::u16string>{u"r3", u"r5"}));

  EXPECT_EQ(DeleteSelectedRows(store, true), 0);
  EXPECT_EQ(store.RowCount(), 0);
}

TEST(RowSelection, AClickLeavesEveryRowWithAllMarksOrNone) {
  MemoryRowStore store = NamedRows({u"a", u"b", u"c"});
  store.SetMarks(0, true);
  store.SetFocusOnly(0, false);  // selected but not focused
  store.SetFocusOnly(1, true);   // focused but not selected
  NormaliseMarksAfterClick(store);
  EXPECT_TRUE(store.IsSelected(0) && store.IsFocused(0));
  EXPECT_TRUE(store.IsSelected(1) && store.IsFocused(1));
  EXPECT_FALSE(store.IsSelected(2) || store.IsFocused(2));
}
