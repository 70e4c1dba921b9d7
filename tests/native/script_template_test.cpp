// Template files as the user meets them: what the template editor leaves on
// disk, what the next start reads back, and export and import of one template.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "storage/ini_document.h"
#include "storage/script_template.h"

using tovrel::IniDocument;
using tovrel::ScriptTemplate;
using tovrel::TemplateColumn;
using tovrel::TemplateSet;
using tovrel::ToU16;

namespace {

// A TemplateSet is large; keep it off the stack.
std::unique_ptr<TemplateSet> NewSet() { return std::make_unique<TemplateSet>(); }

IniDocument Doc(const char* utf8) { return IniDocument::Parse(ToU16(utf8)); }

IniDocument Reopen(const IniDocument& written) {
  return IniDocument::FromBytes(written.ToUtf16LeBytes(), tovrel::Cp1252CodePage{});
}

std::u16string Column(const IniDocument& file, const char* key) {
  return file.GetString(u"listview_dt", ToU16(key), u"<missing>", 1000);
}

std::vector<std::u16string> KeyNames(const IniDocument& file) {
  std::vector<std::u16string> names;
  const std::u16string text = file.ToText();
  std::size_t start = 0;
  for (std::size_t end; (end = text.find(u"\r\n", start)) != text.npos; start = end + 2) {
    const std::size_t eq = text.find(u'=', start);
    if (eq < end) names.push_back(text.substr(start, eq - start));
  }
  return names;
}

TemplateColumn MakeColumn(std::u16string item, std::int32_t output, std::int32_t display,
                          std::int32_t edit, std::int32_t width) {
  TemplateColumn c;
  c.inUse = 1;
  c.itemText = std::move(item);
  c.outputMode = output;
  c.displayMode = display;
  c.editMode = edit;
  c.width = width;
  return c;
}

// A plotting template as a user would set one up.
ScriptTemplate PlotTemplate() {
  ScriptTemplate t;
  t.inUse = 1;
  t.title = u"A3 一括印刷 (LT)";
  t.columns[0] = MakeColumn(u"ファイル名", 1, 1, 0, 180);
  t.columns[1] = MakeColumn(u"Folder", 0, 2, 0, 120);
  t.columns[2] = MakeColumn(u"Date", 0, 3, 0, 110);
  TemplateColumn& orientation = t.columns[3] = MakeColumn(u"Orientation", 2, 4, 1, 80);
  orientation.selectText = {u"Landscape", u"Portrait", u"横", u"縦", u"123456789012345"};
  orientation.initialValue = u"Landscape";
  orientation.command = u"-PLOT";
  TemplateColumn& printer = t.columns[4] = MakeColumn(u"프린터", 3, 4, 4, -1);
  printer.initialValue = u"\\\\server\\HP DesignJet T1700 PostScript";
  printer.command = u"_plot";
  t.columns[49] = MakeColumn(u"Last", 4, 0, 5, 0);
  return t;
}

// Column by column, so that a failure names the column.
void ExpectSameColumns(const ScriptTemplate& a, const ScriptTemplate& b) {
  for (int c = 0; c < tovrel::kColumnCount; ++c) EXPECT_TRUE(a.columns[c] == b.columns[c]) << c;
}

bool IsEmpty(const TemplateColumn& c) { return c == TemplateColumn{}; }
bool AllColumnsEmpty(const ScriptTemplate& t) { return t.columns == ScriptTemplate{}.columns; }

}  // namespace

TEST(TemplateFile, MissingFileGivesEmptyTemplates) {
  auto set = NewSet();
  tovrel::LoadTemplates(IniDocument{}, *set);
  for (const ScriptTemplate& t : *set) {
    EXPECT_EQ(t.inUse, 0);
    EXPECT_EQ(t.title, u"");
    EXPECT_TRUE(AllColumnsEmpty(t));
  }
}

TEST(TemplateFile, LanguageSwitchReplacesColumnsButKeepsFlagsOfUntitledTemplates) {
  auto set = NewSet();
  (*set)[2] = PlotTemplate();
  (*set)[5] = PlotTemplate();
  tovrel::LoadTemplates(Doc("[Title]\r\nt5=English plot\r\n[listview_dt]\r\n5,0.m=1\r\n"), *set);

  EXPECT_EQ((*set)[2].inUse, 1);  // no title in the new file: flag kept
  EXPECT_EQ((*set)[2].title, u"");
  EXPECT_TRUE(AllColumnsEmpty((*set)[2]));
  EXPECT_EQ((*set)[5].inUse, 1);
  EXPECT_EQ((*set)[5].title, u"English plot");
  EXPECT_EQ((*set)[5].columns[0].inUse, 1);
  EXPECT_EQ((*set)[5].columns[0].itemText, u"");
  EXPECT_TRUE(IsEmpty((*set)[5].columns[3]));
}

TEST(TemplateFile, SavedTemplatesComeBackAtTheNextStart) {
  auto before = NewSet();
  (*before)[0] = PlotTemplate();
  (*before)[19] = PlotTemplate();
  (*before)[19].title = std::u16string(63, u'T');
  IniDocument file;
  tovrel::SaveTemplates(*before, file);

  auto after = NewSet();
  tovrel::LoadTemplates(Reopen(file), *after);
  for (int t : {0, 19}) {
    EXPECT_EQ((*after)[t].inUse, 1) << t;
    EXPECT_EQ((*after)[t].title, (*before)[t].title) << t;
    ExpectSameColumns((*after)[t], (*before)[t]);
  }
  // A choice longer than four characters is read whole.
  EXPECT_EQ((*after)[0].columns[3].selectText[0], u"Landscape");
  EXPECT_EQ((*after)[0].columns[3].selectText[4], u"123456789012345");
  for (int t = 1; t < 19; ++t) EXPECT_EQ((*after)[t].inUse, 0) << t;
}

TEST(TemplateFile, EveryTemplateAndColumnHasItsOwnKeys) {
  // Keys such as "1,10.m" and "11,0.m" must not be mixed up.
  auto before = NewSet();
  for (int t = 0; t < tovrel::kTemplateCount; ++t) {
    (*before)[t].inUse = 1;
    (*before)[t].title = ToU16("T" + std::to_string(t));
    for (int c = 0; c < tovrel::kColumnCount; ++c) {
      const std::string id = std::to_string(t) + "/" + std::to_string(c);
      TemplateColumn& col = (*before)[t].columns[c];
      col = MakeColumn(ToU16(id), t, c, t + c, t * 100 + c);
      col.selectText[c % 5] = ToU16("s" + id);
      col.initialValue = ToU16("f" + id);
      col.command = ToU16("k" + id);
    }
  }
  IniDocument file;
  tovrel::SaveTemplates(*before, file);
  EXPECT_EQ(KeyNames(file).size(), 20u + 20u * 50u * 13u);

  auto after = NewSet();
  tovrel::LoadTemplates(Reopen(file), *after);
  for (int t = 0; t < tovrel::kTemplateCount; ++t) {
    EXPECT_EQ((*after)[t].title, (*before)[t].title);
    ExpectSameColumns((*after)[t], (*before)[t]);
  }
}

TEST(TemplateFile, KeysAreWrittenInFormatOrderAndOnlyForWhatIsInUse) {
  auto set = NewSet();
  ScriptTemplate& t = (*set)[3];
  t.inUse = 1;
  t.title = u"Plot";
  t.columns[0] = MakeColumn(u"Name", 1, 1, 0, 100);
  t.columns[0].selectText[1] = u"b";
  t.columns[1] = MakeColumn(u"Unused", 2, 2, 2, 50);  // filled, but not in use
  t.columns[1].inUse = 0;
  t.columns[2].inUse = -1;  // any non-zero value counts, and is kept as it is
  (*set)[4].title = u"Not in use";
  (*set)[4].columns[0] = MakeColumn(u"Lost?", 0, 0, 0, 0);  // template flag does not matter

  IniDocument file;
  tovrel::SaveTemplates(*set, file);
  EXPECT_EQ(file.ToText(),
            u"[Title]\r\nt3=Plot\r\n[listview_dt]\r\n"
            u"3,0.m=1\r\n3,0.t=Name\r\n3,0.o=1\r\n3,0.p=1\r\n3,0.e=0\r\n3,0.w=100\r\n"
            u"3,0.s0=\r\n3,0.s1=b\r\n3,0.s2=\r\n3,0.s3=\r\n3,0.s4=\r\n3,0.f=\r\n3,0.k=\r\n"
            u"3,2.m=-1\r\n3,2.t=\r\n3,2.o=0\r\n3,2.p=0\r\n3,2.e=0\r\n3,2.w=0\r\n"
            u"3,2.s0=\r\n3,2.s1=\r\n3,2.s2=\r\n3,2.s3=\r\n3,2.s4=\r\n3,2.f=\r\n3,2.k=\r\n"
            u"4,0.m=1\r\n4,0.t=Lost?\r\n4,0.o=0\r\n4,0.p=0\r\n4,0.e=0\r\n4,0.w=0\r\n"
            u"4,0.s0=\r\n4,0.s1=\r\n4,0.s2=\r\n4,0.s3=\r\n4,0.s4=\r\n4,0.f=\r\n4,0.k=\r\n");

  // After the next start the unused column has lost its fields.
  auto after = NewSet();
  tovrel::LoadTemplates(Reopen(file), *after);
  EXPECT_TRUE(IsEmpty((*after)[3].columns[1]));
  EXPECT_EQ((*after)[3].columns[2].inUse, -1);
  EXPECT_EQ((*after)[4].inUse, 0);
  EXPECT_EQ((*after)[4].title, u"");
}

TEST(TemplateFile, TemplateInUseWithEmptyTitleIsClearedAtTheNextStart) {
  auto set = NewSet();
  (*set)[7] = PlotTemplate();
  (*set)[7].title.clear();
  IniDocument file;
  tovrel::SaveTemplates(*set, file);
  EXPECT_TRUE(file.HasKey(u"Title", u"t7"));
  EXPECT_EQ(file.GetString(u"Title", u"t7", u"<missing>", 64), u"");

  auto after = NewSet();
  tovrel::LoadTemplates(Reopen(file), *after);
  EXPECT_EQ((*after)[7].inUse, 0);
  ExpectSameColumns((*after)[7], (*set)[7]);  // the columns themselves survive
}

TEST(TemplateFile, SaveReplacesBothSectionsAndKeepsTheRest) {
  IniDocument file = Doc(
      "[before]\r\nx=1\r\n[Title]\r\nt8=Old\r\nt9=Gone\r\n[listview_dt]\r\n8,0.m=1\r\n"
      "9,49.k=old\r\n[after]\r\ny=2\r\n");
  auto set = NewSet();
  (*set)[8].inUse = 1;
  (*set)[8].title = u"New";
  tovrel::SaveTemplates(*set, file);
  EXPECT_EQ(file.ToText(), u"[before]\r\nx=1\r\n[after]\r\ny=2\r\n[Title]\r\nt8=New\r\n");
}

TEST(TemplateFile, TitlesAndTextsAreCutToTheirBuffers) {
  const std::string file = "[Title]\nt0=" + std::string(70, 'T') +
                           "\n[listview_dt]\n0,0.m=1\n0,0.t=" + std::string(20, 'i') +
                           "\n0,0.s2=" + std::string(16, 's') + "\n0,0.f=" +
                           std::string(130, 'f') + "\n0,0.k=" + std::string(16, 'k') + "\n";
  auto set = NewSet();
  tovrel::LoadTemplates(Doc(file.c_str()), *set);
  const TemplateColumn& c = (*set)[0].columns[0];
  EXPECT_EQ((*set)[0].title, std::u16string(63, u'T'));
  EXPECT_EQ(c.itemText, std::u16string(15, u'i'));
  EXPECT_EQ(c.selectText[2], std::u16string(15, u's'));
  EXPECT_EQ(c.initialValue, std::u16string(127, u'f'));
  EXPECT_EQ(c.command, std::u16string(15, u'k'));
}

TEST(SingleTemplateFile, ExportOverAnOlderFileKeepsItsOtherColumns) {
  // The older export had ten columns; the template now has five.
  ScriptTemplate wide;
  for (int c = 0; c < 10; ++c) {
    wide.columns[c] = MakeColumn(ToU16("old" + std::to_string(c)), 1, 4, 1, 10 * c);
  }
  IniDocument file;
  tovrel::WriteSingleTemplate(wide, file);

  ScriptTemplate narrow = PlotTemplate();
  narrow.columns[49] = TemplateColumn{};
  tovrel::WriteSingleTemplate(narrow, file);
  EXPECT_EQ(Column(file, "3.s0"), u"Landscape");
  EXPECT_EQ(Column(file, "4.t"), u"프린터");
  EXPECT_EQ(Column(file, "9.t"), u"old9");
  EXPECT_EQ(Column(file, "0,0.m"), u"<missing>");  // no template index in these keys
  EXPECT_FALSE(file.HasKey(u"Title", u"t0"));

  // Import brings columns 5 to 9 back, and leaves the title and flag alone.
  ScriptTemplate imported;
  imported.inUse = 1;
  imported.title = u"kept";
  tovrel::ReadSingleTemplate(Reopen(file), imported);
  EXPECT_EQ(imported.inUse, 1);
  EXPECT_EQ(imported.title, u"kept");
  for (int c = 0; c < 5; ++c) EXPECT_TRUE(imported.columns[c] == narrow.columns[c]) << c;
  for (int c = 5; c < 10; ++c) EXPECT_TRUE(imported.columns[c] == wide.columns[c]) << c;
  for (int c = 10; c < tovrel::kColumnCount; ++c) EXPECT_TRUE(IsEmpty(imported.columns[c])) << c;
}

TEST(SingleTemplateFile, ImportClearsEveryColumnThatTheFileDoesNotUse) {
  ScriptTemplate t = PlotTemplate();
  tovrel::ReadSingleTemplate(Doc("[other]\r\n0.m=1\r\n"), t);
  EXPECT_TRUE(AllColumnsEmpty(t));

  // A column whose "m" is 0 or missing stays cleared, whatever else it holds.
  t = PlotTemplate();
  tovrel::ReadSingleTemplate(
      Doc("[listview_dt]\n0.m=0\n0.t=zero\n1.t=no m\n2.m=-2\n2.s4=Landscape\n"), t);
  EXPECT_TRUE(IsEmpty(t.columns[0]));
  EXPECT_TRUE(IsEmpty(t.columns[1]));
  EXPECT_EQ(t.columns[2].inUse, -2);
  EXPECT_EQ(t.columns[2].selectText[4], u"Landscape");
  EXPECT_TRUE(IsEmpty(t.columns[3]));
  EXPECT_EQ(t.title, u"A3 一括印刷 (LT)");
}

TEST(TemplateFileName, OneFilePerLanguageAndNoneOtherwise) {
  EXPECT_EQ(tovrel::TemplateFileName(0), u"tovrl_set_j.ini");
  EXPECT_EQ(tovrel::TemplateFileName(1), u"tovrl_set_e.ini");
  EXPECT_EQ(tovrel::TemplateFileName(2), u"tovrl_set_k.ini");
  EXPECT_EQ(tovrel::TemplateFileName(3), u"tovrl_set_c.ini");
  EXPECT_EQ(tovrel::TemplateFileName(-1), u"");
  EXPECT_EQ(tovrel::TemplateFileName(4), u"");
}
