// The decisions of the template selection and the template editor: which
// titles are offered, which template a title means, how the editor's fields
// become a column, and the column operations.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "script/template_editing.h"

using namespace tovrel;

namespace {

std::unique_ptr<TemplateSet> WithTitles(std::initializer_list<std::pair<int, const char16_t*>> titles) {
  auto set = std::make_unique<TemplateSet>();
  for (const auto& [index, title] : titles) {
    (*set)[index].inUse = 1;
    (*set)[index].title = title;
  }
  return set;
}

const ModeNames kNames{{u"0 none", u"1 path", u"2 word", u"3 first", u"4 cell"},
                       {u"0 hidden", u"1 name", u"2 folder", u"3 date", u"4 value"},
                       {u"0 fixed", u"1 text", u"2 choices", u"3 printers", u"4 papers", u"5 styles"}};

TemplateColumn Named(const char16_t* item) {
  TemplateColumn c;
  c.inUse = 1;
  c.itemText = item;
  return c;
}

// A template whose first `n` columns are in use, named "c0", "c1", ...
ScriptTemplate Numbered(int n) {
  ScriptTemplate t;
  for (int i = 0; i < n; ++i) t.columns[i] = Named((u"c" + std::u16string(1, char16_t(u'0' + i % 10))).c_str());
  return t;
}

std::u16string Items(const ScriptTemplate& t, int n) {
  std::u16string out;
  for (int i = 0; i < n; ++i) out += (t.columns[i].inUse ? t.columns[i].itemText : u"-") + u" ";
  return out;
}

}  // namespace

TEST(TemplateSelection, JapaneseListsUpToTheFirstEmptyTitleOtherLanguagesAll) {
  const auto set = WithTitles({{0, u"A"}, {1, u"B"}, {2, u"C"}, {4, u"E"}});
  EXPECT_EQ(ListedTitles(*set, 0), (std::vector<std::u16string>{u"A", u"B", u"C"}));
  for (int language = 1; language < 4; ++language) {
    const auto titles = ListedTitles(*set, language);
    ASSERT_EQ(titles.size(), 20u);
    EXPECT_EQ(titles[3], u"");
    EXPECT_EQ(titles[4], u"E");
  }
}

TEST(TemplateSelection, ATypedTitleChoosesTheLowestEqualTemplate) {
  const auto set = WithTitles({{2, u"Plot"}, {5, u"Plot"}, {7, u"plot"}, {12, u"Hidden after a gap"}});
  const struct {
    const char16_t* typed;
    int index;
    int message;
  } cases[] = {
      {u"Plot", 2, 0},  {u"plot", 7, 0},  {u"Hidden after a gap", 12, 0},
      {u"", -1, 34},    {u"Plo", -1, 35}, {u"Plot ", -1, 35},
  };
  for (const auto& c : cases) {
    const TitleChoice choice = ChooseByTitle(*set, c.typed);
    EXPECT_EQ(choice.templateIndex, c.index) << std::string(c.typed, c.typed + std::char_traits<char16_t>::length(c.typed));
    EXPECT_EQ(choice.message, c.message);
  }
}

TEST(TemplateEditor, FieldsBecomeAColumnWithNumbersReadFromTheirStart) {
  ColumnFields fields;
  fields.inUse = true;
  fields.itemText = std::u16string(20, u'h');
  fields.outputMode = u"4 cell";
  fields.displayMode = u"  7 typed";  // outside the choices: stored as it is
  fields.editMode = u"no number";
  fields.width = u"120abc";
  fields.selectText = {u"A4", std::u16string(16, u's'), u"", u"", u"x"};
  fields.initialValue = std::u16string(130, u'f');
  fields.command = u"-PLOT";
  const TemplateColumn c = ColumnFromFields(fields);
  EXPECT_EQ(c.inUse, 1);
  EXPECT_EQ(c.itemText, std::u16string(15, u'h'));
  EXPECT_EQ(c.outputMode, 4);
  EXPECT_EQ(c.displayMode, 7);
  EXPECT_EQ(c.editMode, 0);
  EXPECT_EQ(c.width, 120);
  EXPECT_EQ(c.selectText[1], std::u16string(15, u's'));
  EXPECT_EQ(c.initialValue, std::u16string(127, u'f'));

  // Back into the controls and the list row: a mode outside the choices is "Error".
  const ColumnFields shown = FieldsFromColumn(c, kNames);
  EXPECT_EQ(shown.outputMode, u"4 cell");
  EXPECT_EQ(shown.displayMode, u"Error");
  EXPECT_EQ(shown.editMode, u"0 fixed");
  EXPECT_EQ(shown.width, u"120");
  const auto row = ColumnRow(c, kNames);
  EXPECT_EQ(row[0], u"ON");
  EXPECT_EQ(row[3], u"Error");
  EXPECT_EQ(row[5], u"120");
  EXPECT_EQ(row[12], u"-PLOT");
  TemplateColumn off = c;
  off.inUse = 0;
  off.editMode = -1;
  EXPECT_EQ(ColumnRow(off, kNames)[0], u"OFF");
  EXPECT_EQ(ColumnRow(off, kNames)[4], u"Error");
}

TEST(TemplateEditor, TextsAreCutWithoutSplittingACharacter) {
  // 14 letters and a character outside the basic plane: 16 units, 15 fit.
  const std::u16string item = std::u16string(14, u'a') + u"\U0001F4D0";
  ColumnFields fields;
  fields.itemText = item;
  EXPECT_EQ(ColumnFromFields(fields).itemText, std::u16string(14, u'a'));
  EXPECT_EQ(CutToField(u"\U0001F4D0", 3), u"\U0001F4D0");
}

TEST(TemplateEditor, ColumnOperations) {
  // New: into the row after the last, refused at 50.
  ScriptTemplate t = Numbered(3);
  EXPECT_EQ(AddColumn(t, 3, Named(u"new")), 0);
  EXPECT_EQ(Items(t, 5), u"c0 c1 c2 new - ");
  ScriptTemplate full = Numbered(50);
  EXPECT_EQ(AddColumn(full, 50, Named(u"x")), 38);
  // A gap: columns 0-4, 6 in use: the list shows five rows and New fills column 5.
  ScriptTemplate gap = Numbered(7);
  gap.columns[5] = TemplateColumn{};
  EXPECT_EQ(ShownColumnCount(gap), 5);
  AddColumn(gap, ShownColumnCount(gap), Named(u"five"));
  EXPECT_EQ(Items(gap, 7), u"c0 c1 c2 c3 c4 five c6 ");

  // Delete moves the later rows up and clears the last.
  t = Numbered(4);
  DeleteColumn(t, 1, 4);
  EXPECT_EQ(Items(t, 4), u"c0 c2 c3 - ");
  EXPECT_TRUE(t.columns[3] == TemplateColumn{});
  ScriptTemplate one = Numbered(1);
  DeleteColumn(one, 0, 1);
  EXPECT_EQ(ShownColumnCount(one), 0);

  // Up and Down swap with the neighbour; the ends stay where they are.
  const struct {
    int row, step, newRow;
    const char16_t* items;
  } moves[] = {
      {1, -1, 0, u"c1 c0 c2 "}, {1, +1, 2, u"c0 c2 c1 "},
      {0, -1, 0, u"c0 c1 c2 "}, {2, +1, 2, u"c0 c1 c2 "},
  };
  for (const auto& m : moves) {
    ScriptTemplate moved = Numbered(3);
    EXPECT_EQ(MoveColumn(moved, m.row, 3, m.step), m.newRow);
    EXPECT_EQ(Items(moved, 3), m.items);
  }

  ClearColumns(t);
  EXPECT_TRUE(t.columns == ScriptTemplate{}.columns);
}

TEST(TemplateEditor, TemplatesGoRoundAndAnInUseTemplateNeedsATitle) {
  EXPECT_EQ(StepTemplate(0, -1), 19);
  EXPECT_EQ(StepTemplate(19, +1), 0);
  EXPECT_EQ(StepTemplate(7, +1), 8);

  ScriptTemplate t;
  t.title = u"Kept";
  EXPECT_EQ(StoreTitle(t, true, u""), 88);
  EXPECT_EQ(t.title, u"Kept");
  EXPECT_EQ(t.inUse, 0);
  EXPECT_EQ(StoreTitle(t, true, std::u16string(70, u'T')), 0);
  EXPECT_EQ(t.inUse, 1);
  EXPECT_EQ(t.title, std::u16string(63, u'T'));
  EXPECT_EQ(StoreTitle(t, false, u""), 0);
  EXPECT_EQ(t.inUse, 0);
}

TEST(TemplateEditor, AnImportedFileNamesTheTemplate) {
  const struct {
    const char16_t* path;
    const char16_t* title;
  } cases[] = {
      {u"C:\\tmpl\\A3 plot.dat", u"A3 plot"},
      {u"C:\\tmpl\\plot.v2.dat", u"plot.v2"},
      {u"C:\\my.folder\\plain", u"plain"},
      {u"bare.dat", u"bare"},
  };
  for (const auto& c : cases) EXPECT_EQ(TitleFromPath(c.path), c.title);
}

TEST(TemplateEditor, ColumnsTakeTheirWidthsAndOnlyTheWidestAreCutWhenTheListIsTooNarrow) {
  EXPECT_EQ(FitColumnWidths({30, 80, 60}, {}, 300), (std::vector<int>{30, 80, 60}));
  // 400 pixels for 30 + 200 + 300: the narrow one whole, the others share the rest.
  EXPECT_EQ(FitColumnWidths({30, 200, 300}, {}, 400), (std::vector<int>{30, 185, 185}));
  // A header keeps its column from being cut below it.
  EXPECT_EQ(FitColumnWidths({30, 200, 300}, {30, 100, 250}, 400), (std::vector<int>{30, 120, 250}));
}
