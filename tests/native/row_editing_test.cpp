// Editing rows: the edit dialog's three uses, copy, paste and move, the
// plot-style list, the printer and paper choices and the dialog's layout.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "drawing_list/list_columns.h"
#include "drawing_list/cell_edit.h"
#include "drawing_list/row_editing.h"
#include "drawing_list/row_insertion.h"
#include "fake_file_system.h"

using namespace tovrel;

namespace {

using Texts = std::vector<std::u16string>;

TemplateColumn& Use(ScriptTemplate& tmpl, int slot, int displayMode, int editMode,
                    std::u16string initial = u"") {
  TemplateColumn& column = tmpl.columns[static_cast<std::size_t>(slot)];
  column.inUse = 1;
  column.displayMode = displayMode;
  column.editMode = editMode;
  column.width = 100;
  column.initialValue = std::move(initial);
  return column;
}

// File name, folder, date, then printer-like value columns 3 to 7; a hidden
// column in use after them (no list column), and an uneditable value column.
ScriptTemplate PlotTemplate() {
  ScriptTemplate tmpl;
  tmpl.inUse = 1;
  Use(tmpl, 0, 1, 0);
  Use(tmpl, 1, 2, 0);
  Use(tmpl, 2, 3, 0);
  Use(tmpl, 3, 4, 1, u"1");
  Use(tmpl, 4, 4, 2, u"Model");
  Use(tmpl, 5, 4, 3, u"Tovrel_PDF");
  Use(tmpl, 6, 4, 4, u"A3");
  Use(tmpl, 7, 4, 0, u"fixed");
  return tmpl;
}

MemoryRowStore RowsOf(const ScriptTemplate& tmpl, int count) {
  MemoryRowStore store(static_cast<int>(DisplayedSlots(tmpl).size()));
  for (int row = 0; row < count; ++row) {
    const std::u16string n(1, static_cast<char16_t>(u'0' + row));
    InsertDrawingRow(store, tmpl, u"d" + n + u".dwg", u"c:\\plans", u"2009/03/07 09:0" + n, kImageDwg, row);
    for (int column = 3; column < store.ColumnCount(); ++column)
      store.SetCellText(row, column,
                        u"r" + n + u"c" + std::u16string(1, static_cast<char16_t>(u'0' + column)));
  }
  return store;
}

Texts Row(const RowStore& store, int row) {
  Texts texts;
  for (int column = 0; column < store.ColumnCount(); ++column)
    texts.push_back(store.CellText(row, column, 300));
  return texts;
}

std::vector<int> Selected(const RowStore& store) {
  std::vector<int> rows;
  for (int row = store.NextSelected(0); row >= 0; row = store.NextSelected(row + 1)) rows.push_back(row);
  return rows;
}

// A dialog that the user fills and closes with OK or Cancel; it remembers
// what it was opened with.
struct FakeDialog {
  using Typed = std::vector<std::pair<int, std::u16string>>;  // slot, text
  explicit FakeDialog(bool pressOk = true, Typed texts = {}) : ok(pressOk), typed(std::move(texts)) {}

  bool ok;
  Typed typed;
  int openings = 0;
  RowBuffer shown;

  EditDialogRunner Runner() {
    return [this](RowBuffer& buffer) {
      ++openings;
      shown = buffer;
      if (!ok) return false;
      for (const auto& [slot, text] : typed) buffer.SetSlot(slot, text);
      return true;
    };
  }
};

TEST(EditSelectedRows, OkWritesTheDialogsValuesIntoEverySelectedRowFromColumnThreeOn) {
  const ScriptTemplate tmpl = PlotTemplate();
  MemoryRowStore store = RowsOf(tmpl, 4);
  for (int row : {0, 2, 3}) store.SetMarks(row, true);
  const Texts untouched = Row(store, 1);
  RowBuffer buffer;
  FakeDialog dialog{true, {{0, u"x.dwg"}, {3, u"2"}, {5, u"Tovrel_Plotter"}, {6, u"A1"}}};

  EXPECT_EQ(EditSelectedRows(store, tmpl, buffer, dialog.Runner()), 0);
  EXPECT_EQ(dialog.shown.Slot(0), u"d0.dwg");  // the dialog starts from the first selected row
  EXPECT_EQ(dialog.shown.Slot(5), u"r0c5");
  for (int row : {0, 2, 3}) {
    SCOPED_TRACE(row);
    const std::u16string n(1, static_cast<char16_t>(u'0' + row));
    EXPECT_EQ(Row(store, row), (Texts{u"d" + n + u".dwg", u"c:\\plans", u"2009/03/07 09:0" + n, u"2", u"r0c4",
                                      u"Tovrel_Plotter", u"A1", u"r0c7"}));
  }
  EXPECT_EQ(Row(store, 1), untouched);
  EXPECT_TRUE(Selected(store).empty());
  EXPECT_EQ(buffer.Slot(6), u"A1");  // the buffer keeps the edited values for a paste
}

TEST(EditSelectedRows, CancelChangesNoRowNoMarkAndNotThePasteBuffer) {
  const ScriptTemplate tmpl = PlotTemplate();
  MemoryRowStore store = RowsOf(tmpl, 4);
  store.SetMarks(3, true);
  RowBuffer buffer;
  ASSERT_EQ(CopySelectedRow(store, tmpl, buffer), 0);  // row A
  for (int row : {0, 1, 2}) store.SetMarks(row, true);
  const Texts before[] = {Row(store, 0), Row(store, 1), Row(store, 2)};
  FakeDialog dialog{false};
  EXPECT_EQ(EditSelectedRows(store, tmpl, buffer, dialog.Runner()), 0);
  EXPECT_EQ(dialog.shown.Slot(5), u"r0c5");
  for (int row = 0; row < 3; ++row) EXPECT_EQ(Row(store, row), before[row]) << row;
  EXPECT_EQ(Selected(store), (std::vector<int>{0, 1, 2}));
  // A paste now still pastes row A.
  ASSERT_EQ(PasteIntoSelectedRows(store, tmpl, buffer), 0);
  EXPECT_EQ(Row(store, 1)[5], u"r3c5");
}

TEST(EditSelectedRows, WithoutASelectedRowTheDialogDoesNotOpen) {
  const ScriptTemplate tmpl = PlotTemplate();
  MemoryRowStore store = RowsOf(tmpl, 2);
  RowBuffer buffer;
  FakeDialog dialog;
  EXPECT_EQ(EditSelectedRows(store, tmpl, buffer, dialog.Runner()), kMessageEditWithoutRow);
  EXPECT_EQ(dialog.openings, 0);
}

TEST(EditEveryRow, OnlyTheFilledFieldChangesEveryRowAndTheBufferIsKept) {
  const ScriptTemplate tmpl = PlotTemplate();
  MemoryRowStore store = RowsOf(tmpl, 3);
  store.SetMarks(1, true);
  RowBuffer buffer;
  ASSERT_EQ(CopySelectedRow(store, tmpl, buffer), 0);
  const RowBuffer copied = buffer;
  store.SetMarks(2, true);

  FakeDialog dialog{true, {{6, u"A0"}}};
  EditEveryRow(store, tmpl, buffer, dialog.Runner());
  EXPECT_EQ(dialog.shown, RowBuffer{});  // the dialog starts empty
  for (int row = 0; row < 3; ++row) {
    const std::u16string n(1, static_cast<char16_t>(u'0' + row));
    EXPECT_EQ(Row(store, row),
              (Texts{u"d" + n + u".dwg", u"c:\\plans", u"2009/03/07 09:0" + n, u"r" + n + u"c3",
                     u"r" + n + u"c4", u"r" + n + u"c5", u"A0", u"r" + n + u"c7"}));
  }
  EXPECT_TRUE(Selected(store).empty());
  EXPECT_EQ(buffer, copied);

  // A later paste still pastes the row copied before.
  store.SetMarks(0, true);
  ASSERT_EQ(PasteIntoSelectedRows(store, tmpl, buffer), 0);
  EXPECT_EQ(Row(store, 0), (Texts{u"d0.dwg", u"c:\\plans", u"2009/03/07 09:00", u"r1c3", u"r1c4", u"r1c5",
                                  u"r1c6", u"r0c7"}));

  // Cancel writes nothing.
  const Texts before = Row(store, 2);
  FakeDialog cancelled{false, {{3, u"9"}}};
  EditEveryRow(store, tmpl, buffer, cancelled.Runner());
  EXPECT_EQ(Row(store, 2), before);
  EXPECT_EQ(buffer, copied);
}

TEST(EditInitialValues, NewValuesReachRowsAddedLaterNotRowsAlreadyThere) {
  ScriptTemplate tmpl = PlotTemplate();
  MemoryRowStore store = RowsOf(tmpl, 1);
  const Texts existing = Row(store, 0);
  RowBuffer buffer;
  FakeDialog dialog{true, {{5, u"Tovrel_Plotter"}, {6, u"A1"}}};
  EXPECT_TRUE(EditInitialValues(tmpl, buffer, dialog.Runner()));
  EXPECT_EQ(dialog.shown.Slot(4), u"Model");  // the dialog shows the current initial values
  EXPECT_EQ(dialog.shown.Slot(7), u"fixed");
  EXPECT_EQ(Row(store, 0), existing);

  InsertDrawingRow(store, tmpl, u"new.dwg", u"c:\\new", u"2026/01/01 00:00", kImageDwg, 1);
  EXPECT_EQ(Row(store, 1), (Texts{u"new.dwg", u"c:\\new", u"2026/01/01 00:00", u"1", u"Model",
                                  u"Tovrel_Plotter", u"A1", u"fixed"}));

  // Cancel, or OK with nothing changed, changes no template value.
  const ScriptTemplate before = tmpl;
  FakeDialog cancelled{false, {{3, u"7"}}};
  EXPECT_FALSE(EditInitialValues(tmpl, buffer, cancelled.Runner()));
  FakeDialog unchanged{true, {}};
  EXPECT_FALSE(EditInitialValues(tmpl, buffer, unchanged.Runner()));
  EXPECT_EQ(tmpl, before);
  buffer.SetSlot(4, u"copied");  // the paste buffer is left as it is
  EXPECT_FALSE(EditInitialValues(tmpl, buffer, cancelled.Runner()));
  EXPECT_EQ(buffer.Slot(4), u"copied");
}

TEST(CollectEditTexts, TakesTheControlsOfEditableColumnsCutAt127) {
  const ScriptTemplate tmpl = PlotTemplate();
  RowBuffer buffer;
  buffer.SetSlot(0, u"kept");
  buffer.SetSlot(7, u"kept too");
  std::vector<int> asked;
  CollectEditTexts(tmpl, buffer, [&](int column) {
    asked.push_back(column);
    return column == 3 ? std::u16string(200, u'w')
                       : u"t" + std::u16string(1, static_cast<char16_t>(u'0' + column));
  });
  EXPECT_EQ(asked, (std::vector<int>{3, 4, 5, 6}));
  EXPECT_EQ(buffer.Slot(3), std::u16string(127, u'w'));
  EXPECT_EQ(buffer.Slot(6), u"t6");
  EXPECT_EQ(buffer.Slot(0), u"kept");
  EXPECT_EQ(buffer.Slot(7), u"kept too");
}

TEST(CopyAndPaste, TheMessagesOfAMissingRowOrAnEmptyBuffer) {
  const ScriptTemplate tmpl = PlotTemplate();
  MemoryRowStore store = RowsOf(tmpl, 2);
  RowBuffer buffer;
  EXPECT_EQ(CopySelectedRow(store, tmpl, buffer), kMessageCopyWithoutRow);
  EXPECT_EQ(PasteIntoSelectedRows(store, tmpl, buffer), kMessagePasteWithoutRow);
  store.SetMarks(1, true);
  const Texts before = Row(store, 1);
  EXPECT_EQ(PasteIntoSelectedRows(store, tmpl, buffer), kMessageNothingToPaste);  // right after start
  EXPECT_EQ(Row(store, 1), before);
  EXPECT_EQ(Selected(store), std::vector<int>{1});
}

TEST(CopyAndPaste, OnlyEditableColumnsArePastedIntoEverySelectedRow) {
  const ScriptTemplate tmpl = PlotTemplate();
  MemoryRowStore store = RowsOf(tmpl, 4);
  store.SetMarks(0, true);
  store.SetMarks(2, true);
  RowBuffer buffer;
  ASSERT_EQ(CopySelectedRow(store, tmpl, buffer), 0);
  EXPECT_TRUE(Selected(store).empty());
  EXPECT_EQ(buffer.Slot(0), u"d0.dwg");
  store.SetMarks(1, true);
  store.SetMarks(3, true);
  ASSERT_EQ(PasteIntoSelectedRows(store, tmpl, buffer), 0);
  for (int row : {1, 3}) {
    const std::u16string n(1, static_cast<char16_t>(u'0' + row));
    EXPECT_EQ(Row(store, row), (Texts{u"d" + n + u".dwg", u"c:\\plans", u"2009/03/07 09:0" + n, u"r0c3",
                                      u"r0c4", u"r0c5", u"r0c6", u"r" + n + u"c7"}));
  }
  EXPECT_EQ(Row(store, 2)[3], u"r2c3");
  EXPECT_TRUE(Selected(store).empty());
}

TEST(MoveSelectedRow, RowsAtTheEndsStayInPlaceAndStaySelected) {
  const ScriptTemplate tmpl = PlotTemplate();
  struct Case {
    int row, direction, expectedPosition;
  };
  for (const Case& c : {Case{0, -1, 0}, Case{2, +1, 2}, Case{0, +1, 1}, Case{2, -1, 1}, Case{1, +1, 2}}) {
    SCOPED_TRACE(testing::Message() << "row " << c.row << " direction " << c.direction);
    MemoryRowStore store = RowsOf(tmpl, 3);
    store.SetMarks(c.row, true);
    const Texts moved = Row(store, c.row);
    ASSERT_EQ(MoveSelectedRow(store, tmpl, c.direction), 0);
    ASSERT_EQ(store.RowCount(), 3);
    EXPECT_EQ(Row(store, c.expectedPosition), moved);
    EXPECT_EQ(Selected(store), std::vector<int>{c.expectedPosition});
    EXPECT_TRUE(store.IsFocused(c.expectedPosition));
    EXPECT_EQ(store.ItemData(c.expectedPosition), c.expectedPosition);
  }
  MemoryRowStore store = RowsOf(tmpl, 2);
  EXPECT_EQ(MoveSelectedRow(store, tmpl, +1), kMessageMoveWithoutRow);
}

TEST(MoveSelectedRow, KeepsEveryCellOfAFortyColumnTemplateAndTheDrawingKind) {
  ScriptTemplate tmpl;
  Use(tmpl, 0, 1, 0);
  for (int slot = 1; slot < 40; ++slot)
    Use(tmpl, slot, 4, 1, u"v" + std::u16string(1, static_cast<char16_t>(u'0' + slot % 10)));
  MemoryRowStore store = RowsOf(tmpl, 3);
  store.SetCellText(1, 0, u"plan.DWG");
  store.SetCellText(1, 39, std::u16string(259, u'z'));
  store.SetMarks(1, true);
  const Texts moved = Row(store, 1);
  ASSERT_EQ(moved.size(), 40u);
  ASSERT_EQ(MoveSelectedRow(store, tmpl, -1), 0);
  EXPECT_EQ(Row(store, 0), moved);
  EXPECT_EQ(store.Image(0), kImageDwg);

  // The picture follows the file name's ending: "wg" and "WG" are DWG, "Wg" and a DXF are not.
  for (const auto& [name, image] : {std::pair{u"a.dxf", kImageDxf}, std::pair{u"a.Dwg", kImageDwg},
                                    std::pair{u"a.dWG", kImageDwg}, std::pair{u"a.DWg", kImageDxf}}) {
    store.SetCellText(0, 0, name);
    store.SetMarks(0, true);
    ASSERT_EQ(MoveSelectedRow(store, tmpl, -1), 0);
    EXPECT_EQ(store.Image(0), image) << std::u16string_view(name).size();
  }
}

TEST(MoveSelectedRow, KeepsTheCellsOfColumnsAfterAColumnNotInUse) {
  ScriptTemplate tmpl = PlotTemplate();
  tmpl.columns[8].inUse = 0;
  Use(tmpl, 9, 4, 1, u"after the gap");
  MemoryRowStore store(static_cast<int>(DisplayedSlots(tmpl).size()));
  store.InsertRow(0, u"a.dwg", kImageDwg, 0);
  store.InsertRow(1, u"b.dwg", kImageDwg, 1);
  store.SetCellText(1, 8, u"kept");
  store.SetMarks(1, true);
  ASSERT_EQ(MoveSelectedRow(store, tmpl, -1), 0);
  EXPECT_EQ(store.CellText(0, 0, 260), u"b.dwg");
  EXPECT_EQ(store.CellText(0, 8, 260), u"kept");
}

TEST(ListPlotStyles, SkipsShortNamesAndShortcutsAndStopsAtOneHundred) {
  test::FakeFileSystem files;
  const std::u16string folder = u"C:\\Program Files\\AutoCAD 2024\\Plot Styles";
  files.AddFolder(folder);
  for (const char16_t* name : {u"acad.ctb", u"ab", u"Grayscale.ctb", u"monochrome.stb", u"Link.lnk",
                               u"LINK.LNK", u"Mixed.lnK", u"Archive", u"ab.nk"}) {
    files.AddFile(folder + u"\\" + name);
  }
  files.AddFile(folder + u"\\" + std::u16string(300, u'p'));
  const std::vector<std::u16string> expected = {u"acad.ctb",  u"Grayscale.ctb", u"monochrome.stb",
                                                u"Mixed.lnK", u"Archive",       std::u16string(255, u'p')};
  EXPECT_EQ(ListPlotStyles(files, u"C:\\Program Files\\AutoCAD 2024\\acad.exe"), expected);
  EXPECT_EQ(files.ListedPatterns().back(), folder + u"\\*.*");

  test::FakeFileSystem many;
  for (int i = 0; i < 130; ++i)
    many.AddFile(u"D:\\acad\\Plot Styles\\style" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) +
                 std::u16string(static_cast<std::size_t>(i / 26 + 1), u'x'));
  const std::vector<std::u16string> styles = ListPlotStyles(many, u"D:\\acad\\acad.exe");
  ASSERT_EQ(styles.size(), 100u);
  EXPECT_EQ(styles[0], u"styleAx");
  EXPECT_EQ(styles[99], u"styleVxxxx");

  EXPECT_TRUE(ListPlotStyles(files, u"D:\\missing\\acad.exe").empty());
  EXPECT_TRUE(ListPlotStyles(files, u"acad.exe").empty());
}

std::unique_ptr<PrinterCatalog> TwoPrinters() {
  auto catalog = std::make_unique<PrinterCatalog>();
  catalog->printerCount = 2;
  catalog->entries[0].name.Assign(u"Tovrel_PDF");
  catalog->entries[0].paperNames[0].Assign(u"A4");
  catalog->entries[0].paperNames[1].Assign(u"A3");
  catalog->entries[1].name.Assign(u"Tovrel_Prohibited");
  catalog->entries[1].paperNames[0].Assign(kProhibitionMarker);
  return catalog;
}

TEST(PrinterChoices, APrinterTheCatalogDoesNotHoldKeepsItsPaper) {
  const auto catalog = TwoPrinters();
  EXPECT_EQ(FirstPaperOf(*catalog, u"Tovrel_PDF"), u"A4");
  EXPECT_EQ(FirstPaperOf(*catalog, u"Tovrel_Prohibited"), u"Prohibition");
  EXPECT_EQ(FirstPaperOf(*catalog, u"DWG To PDF.pc3"), std::nullopt);
  EXPECT_EQ(FirstPaperOf(*catalog, u"tovrel_pdf"), std::nullopt);  // names are case-sensitive
  EXPECT_EQ(FirstPaperOf(PrinterCatalog{}, u""), std::nullopt);
  // An entry whose name was too long to keep does not answer to an empty name.
  catalog->entries[1].name.Clear();
  EXPECT_EQ(FirstPaperOf(*catalog, u""), std::nullopt);
}

TEST(InPlaceEdit, CancelKeepsALongCellWholeAndTheSamePrinterKeepsItsPaper) {
  const ScriptTemplate tmpl = PlotTemplate();
  MemoryRowStore store = RowsOf(tmpl, 2);
  const auto catalog = TwoPrinters();
  const std::u16string longCell(200, u'w');
  store.SetCellText(0, 7, longCell);
  CellEdit edit;
  edit.Begin(store, 0, 7);
  EXPECT_EQ(store.CellText(0, 7, 300), u"");  // empty while it is edited
  edit.Cancel(store);
  EXPECT_EQ(store.CellText(0, 7, 300), longCell);
  // The printer chosen again keeps the row's paper (r1c6); another one brings its first.
  store.SetCellText(1, kPrinterColumn, u"Tovrel_PDF");
  edit.Begin(store, 1, kPrinterColumn);
  edit.Commit(store, u"Tovrel_PDF", *catalog);
  EXPECT_EQ(Row(store, 1)[6], u"r1c6");
  edit.Begin(store, 1, kPrinterColumn);
  edit.Commit(store, u"Tovrel_Prohibited", *catalog);
  EXPECT_EQ(Row(store, 1)[6], u"Prohibition");
}

TEST(PrinterChoices, EachEditModeOffersItsChoices) {
  const auto catalog = TwoPrinters();
  TemplateColumn column;
  column.selectText = {u"Model", u"Layout1", u"", u"hidden", u""};
  const auto styles = [] { return Texts{u"acad.ctb"}; };
  const struct {
    int editMode;
    std::u16string rowPrinter;
    Texts expected;
  } cases[] = {{0, u"Tovrel_PDF", {}},
               {1, u"Tovrel_PDF", {}},
               {2, u"Tovrel_PDF", {u"Model", u"Layout1"}},
               {3, u"Tovrel_PDF", {u"Tovrel_PDF", u"Tovrel_Prohibited"}},
               {4, u"Tovrel_PDF", {u"A4", u"A3"}},
               {4, u"Tovrel_Prohibited", {u"Prohibition"}},
               {4, u"DWG To PDF.pc3", {}},  // no other printer's papers under its name
               {5, u"Tovrel_PDF", {u"acad.ctb"}},
               {9, u"Tovrel_PDF", {}}};
  for (const auto& c : cases) {
    column.editMode = c.editMode;
    EXPECT_EQ(ChoicesForColumn(column, *catalog, c.rowPrinter, styles), c.expected) << c.editMode;
  }
}

TEST(EditDialogLayout, FiveComboColumnsOfWidth200WrapAfterTheFourth) {
  ScriptTemplate tmpl;
  for (int slot = 0; slot < 5; ++slot) Use(tmpl, slot, 4, 2).width = 200;
  const std::vector<EditControlPlace> places = LayOutEditControls(tmpl);
  ASSERT_EQ(places.size(), 5u);
  const int expected[5][3] = {{5, 30, 0}, {217, 30, 0}, {429, 30, 0}, {641, 30, 0}, {5, 80, 64}};
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(places[i].x, expected[i][0]) << i;
    EXPECT_EQ(places[i].y, expected[i][1]) << i;
    EXPECT_EQ(places[i].width, 210) << i;
    EXPECT_EQ(places[i].controlId, 2500 + static_cast<int>(i));
  }
  EXPECT_EQ(places[4].LabelY(), 64);
  EXPECT_EQ(places[0].LabelY(), 14);
  // A choice wider than its column widens the second drop-down; the others
  // move along, none narrows.
  const std::vector<EditControlPlace> wide = LayOutEditControls(tmpl, [](int c) { return c == 1 ? 260 : 150; });
  EXPECT_EQ(wide[1].width, 260);
  EXPECT_EQ(wide[2].x, 217 + 262);
  EXPECT_EQ(wide[3].x, 479 + 212);
  EXPECT_EQ(wide[4].y, 80);
  EXPECT_EQ(wide[0].width, 210);
}

TEST(EditDialogLayout, FieldsAdvanceByTheirWidthAndColumnsWithoutEditModeHaveNoControl) {
  ScriptTemplate tmpl = PlotTemplate();
  Use(tmpl, 8, 0, 1);  // in use, no list column: no control, not counted
  Use(tmpl, 9, 4, 1).width = 500;
  const std::vector<EditControlPlace> places = LayOutEditControls(tmpl);
  struct Expected {
    int column, listColumn, x, y, width, id;
  };
  const Expected expected[] = {{3, 3, 5, 30, 100, 503},
                               {4, 4, 107, 30, 110, 2504},
                               {5, 5, 219, 30, 110, 2505},
                               {6, 6, 331, 30, 110, 2506},
                               {9, 8, 443, 30, 500, 509}};
  ASSERT_EQ(places.size(), std::size(expected));
  for (std::size_t i = 0; i < places.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(places[i].templateColumn, expected[i].column);
    EXPECT_EQ(places[i].listColumn, expected[i].listColumn);
    EXPECT_EQ(places[i].x, expected[i].x);
    EXPECT_EQ(places[i].y, expected[i].y);
    EXPECT_EQ(places[i].width, expected[i].width);
    EXPECT_EQ(places[i].controlId, expected[i].id);
  }
}

}  // namespace
