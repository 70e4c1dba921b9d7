// Template files as the user meets them: the template file of a language,
// read at the next start, and export and import of one template.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "storage/ini_document.h"
#include "storage/script_template.h"

using tovrel::IniDocument;
using tovrel::ScriptTemplate;
using tovrel::TemplateColumn;
using tovrel::TemplateSet;
using tovrel::ToU16;

namespace {

IniDocument Doc(const std::string& utf8) {
  return IniDocument::Parse(ToU16(utf8));
}

IniDocument Reopen(const IniDocument& written) {
  return IniDocument::FromBytes(written.ToUtf16LeBytes(), tovrel::Cp1252CodePage{});
}

// A TemplateSet is large; keep it off the stack.
std::unique_ptr<TemplateSet> Loaded(const IniDocument& file, std::unique_ptr<TemplateSet> set = nullptr) {
  if (!set) set = std::make_unique<TemplateSet>();
  tovrel::LoadTemplates(file, *set);
  return set;
}

TemplateColumn MakeColumn(std::u16string item, std::int32_t output, std::int32_t display, std::int32_t edit,
                          std::int32_t width) {
  return {1, std::move(item), output, display, edit, width, {}, {}, {}};
}

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
  t.columns[4] = MakeColumn(u"프린터", 3, 4, 4, -1);
  t.columns[4].initialValue = u"\\\\server\\HP DesignJet T1700 PostScript";
  t.columns[49] = MakeColumn(u"Last", 4, 0, 5, 0);
  return t;
}

void ExpectSameColumns(const ScriptTemplate& a, const ScriptTemplate& b, int from = 0,
                       int to = tovrel::kColumnCount) {
  for (int c = from; c < to; ++c) EXPECT_TRUE(a.columns[c] == b.columns[c]) << "column " << c;
}

bool IsEmpty(const TemplateColumn& c) {
  return c == TemplateColumn{};
}

}  // namespace

TEST(TemplateFile, EveryTemplateAndColumnComesBackAtTheNextStart) {
  // Distinct values everywhere, so keys such as "1,10.m" and "11,0.m" cannot be mixed up.
  auto before = std::make_unique<TemplateSet>();
  for (int t = 0; t < tovrel::kTemplateCount; ++t) {
    (*before)[t].inUse = 1;
    (*before)[t].title = ToU16("T" + std::to_string(t));
    for (int c = 0; c < tovrel::kColumnCount; ++c) {
      const std::string id = std::to_string(t) + "/" + std::to_string(c);
      TemplateColumn& col = (*before)[t].columns[c] = MakeColumn(ToU16(id), t, c, t + c, t * 100 + c);
      col.selectText[c % 5] = ToU16("s" + id);
      col.initialValue = ToU16("f" + id);
      col.command = ToU16("k" + id);
    }
  }
  (*before)[0] = PlotTemplate();
  (*before)[19].title = std::u16string(63, u'T');
  IniDocument file;
  tovrel::SaveTemplates(*before, file);
  const auto after = Loaded(Reopen(file));
  for (int t = 0; t < tovrel::kTemplateCount; ++t) {
    EXPECT_EQ((*after)[t].inUse, 1);
    EXPECT_EQ((*after)[t].title, (*before)[t].title);
    ExpectSameColumns((*after)[t], (*before)[t]);
  }
  // A choice longer than four characters is read whole.
  EXPECT_EQ((*after)[0].columns[3].selectText[4], u"123456789012345");
}

TEST(TemplateFile, KeysAreWrittenInFormatOrderAndOnlyForWhatIsInUse) {
  auto set = std::make_unique<TemplateSet>();
  ScriptTemplate& t = (*set)[3];
  t.inUse = 1;
  t.title = u"Plot";
  t.columns[0] = MakeColumn(u"Name", 1, 1, 0, 100);
  t.columns[0].selectText[1] = u"b";
  t.columns[1] = MakeColumn(u"Unused", 2, 2, 2, 50);  // filled, but not in use
  t.columns[1].inUse = 0;
  t.columns[2].inUse = -1;  // any non-zero value counts, and is kept as it is
  (*set)[4].title = u"Not in use";
  (*set)[4].columns[0] = MakeColumn(u"Lost?", 0, 0, 0, 0);  // the template flag does not matter

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
  const auto after = Loaded(Reopen(file));
  EXPECT_TRUE(IsEmpty((*after)[3].columns[1]));
  EXPECT_EQ((*after)[3].columns[2].inUse, -1);
  EXPECT_EQ((*after)[4].inUse, 0);
  EXPECT_EQ((*after)[4].title, u"");
}

TEST(TemplateFile, ATemplateIsInUseExactlyWhenItHasATitle) {
  // In use with an empty title: no empty title key is written, and the
  // template is not in use at the next start; its columns stay.
  auto set = std::make_unique<TemplateSet>();
  (*set)[7] = PlotTemplate();
  (*set)[7].title.clear();
  IniDocument file;
  tovrel::SaveTemplates(*set, file);
  EXPECT_FALSE(file.HasKey(u"Title", u"t7"));
  const auto after = Loaded(Reopen(file));
  EXPECT_EQ((*after)[7].inUse, 0);
  ExpectSameColumns((*after)[7], (*set)[7]);

  // A language change: a slot that is empty in the new file is not kept in
  // use (it would be written as "t2=" into that language's file).
  (*set)[2] = (*set)[5] = PlotTemplate();
  set = Loaded(Doc("[Title]\r\nt5=English plot\r\n[listview_dt]\r\n5,0.m=1\r\n"), std::move(set));
  EXPECT_EQ((*set)[2].inUse, 0);
  EXPECT_EQ((*set)[2].title, u"");
  ExpectSameColumns((*set)[2], ScriptTemplate{});
  EXPECT_EQ((*set)[5].inUse, 1);
  EXPECT_EQ((*set)[5].title, u"English plot");
  EXPECT_TRUE((*set)[5].columns[0] == MakeColumn(u"", 0, 0, 0, 0));
  EXPECT_TRUE(IsEmpty((*set)[5].columns[3]));
  IniDocument rewritten;
  tovrel::SaveTemplates(*set, rewritten);
  EXPECT_FALSE(rewritten.HasKey(u"Title", u"t2"));
}

TEST(TemplateFile, ASectionHeldTwiceIsReplacedWholeSoADeletedTemplateStaysDeleted) {
  // A merged file: the second copies of both sections hold template 4.
  const IniDocument merged = Doc(
      "[Title]\r\nt3=Three\r\n[listview_dt]\r\n3,0.m=1\r\n3,0.t=a\r\n"
      "[Title]\r\nt4=Four\r\n[listview_dt]\r\n4,0.m=1\r\n4,0.t=b\r\n[keep]\r\nx=1\r\n");
  auto set = Loaded(merged);
  ASSERT_EQ((*set)[3].title, u"Three");
  ASSERT_EQ((*set)[4].title, u"");  // reads find the first copy only
  // The user deletes template 3; load, save and reload give that set.
  (*set)[3] = ScriptTemplate{};
  IniDocument file = Reopen(merged);
  tovrel::SaveTemplates(*set, file);
  const auto reloaded = Loaded(Reopen(file));
  for (int t = 0; t < tovrel::kTemplateCount; ++t) EXPECT_TRUE((*reloaded)[t] == (*set)[t]) << "template " << t;
  EXPECT_EQ(file.ToText(), u"[keep]\r\nx=1\r\n");
}

TEST(TemplateFile, SaveReplacesBothSectionsAndKeepsTheRest) {
  IniDocument file =
      Doc("[before]\r\nx=1\r\n[Title]\r\nt8=Old\r\nt9=Gone\r\n[listview_dt]\r\n8,0.m=1\r\n"
          "9,49.k=old\r\n[after]\r\ny=2\r\n");
  auto set = std::make_unique<TemplateSet>();
  (*set)[8].inUse = 1;
  (*set)[8].title = u"New";
  tovrel::SaveTemplates(*set, file);
  EXPECT_EQ(file.ToText(), u"[before]\r\nx=1\r\n[after]\r\ny=2\r\n[Title]\r\nt8=New\r\n");
}

TEST(TemplateFile, TitlesAndTextsAreCutToTheirBuffers) {
  const auto set = Loaded(Doc("[Title]\nt0=" + std::string(70, 'T') + "\n[listview_dt]\n0,0.m=1\n0,0.t=" +
                              std::string(20, 'i') + "\n0,0.s2=" + std::string(16, 's') +
                              "\n0,0.f=" + std::string(130, 'f') + "\n0,0.k=" + std::string(16, 'k') + "\n"));
  const TemplateColumn& c = (*set)[0].columns[0];
  EXPECT_EQ((*set)[0].title, std::u16string(63, u'T'));
  EXPECT_EQ(c.itemText, std::u16string(15, u'i'));
  EXPECT_EQ(c.selectText[2], std::u16string(15, u's'));
  EXPECT_EQ(c.initialValue, std::u16string(127, u'f'));
  EXPECT_EQ(c.command, std::u16string(15, u'k'));
}

TEST(SingleTemplateFile, ExportOverALongerOlderExportImportsAsTheShorterTemplate) {
  // The older export had ten columns; the template now has five.
  ScriptTemplate wide;
  for (int c = 0; c < 10; ++c)
    wide.columns[c] = MakeColumn(ToU16("old" + std::to_string(c)), 1, 4, 1, 10 * c);
  IniDocument file = Doc("[note]\r\nby=hand\r\n[listview_dt]\r\ncomment=x\r\n4,0.m=1\r\n");
  EXPECT_TRUE(tovrel::WriteSingleTemplate(wide, file));
  file = Reopen(file);
  ScriptTemplate narrow = PlotTemplate();
  narrow.columns[49] = TemplateColumn{};
  EXPECT_TRUE(tovrel::WriteSingleTemplate(narrow, file));
  EXPECT_EQ(file.GetString(u"listview_dt", u"3.s0", u"", 100), u"Landscape");
  EXPECT_FALSE(file.HasKey(u"listview_dt", u"0,0.m"));  // no template index in these keys
  EXPECT_FALSE(file.HasKey(u"listview_dt", u"7.m"));
  // Keys that are not the exported set's stay.
  EXPECT_EQ(file.GetString(u"listview_dt", u"comment", u"", 100), u"x");
  EXPECT_EQ(file.GetString(u"listview_dt", u"4,0.m", u"", 100), u"1");
  EXPECT_FALSE(file.HasKey(u"Title", u"t0"));
  EXPECT_EQ(file.GetString(u"note", u"by", u"", 100), u"hand");  // other sections stay

  // Import gives the five columns, and leaves the title and flag alone.
  ScriptTemplate imported;
  imported.inUse = 1;
  imported.title = u"kept";
  tovrel::ReadSingleTemplate(Reopen(file), imported);
  EXPECT_EQ(imported.inUse, 1);
  EXPECT_EQ(imported.title, u"kept");
  ExpectSameColumns(imported, narrow);
}

TEST(SingleTemplateFile, ATemplateFileOfAllTemplatesIsNeverExportedOnto) {
  const std::string text = "[Title]\r\nt0=Plot\r\n[listview_dt]\r\n0,0.m=1\r\n0,0.t=Name\r\n";
  IniDocument file = Doc(text);
  EXPECT_FALSE(tovrel::WriteSingleTemplate(PlotTemplate(), file));
  EXPECT_EQ(file.GetString(u"listview_dt", u"0,0.t", u"", 100), u"Name");
  EXPECT_FALSE(file.HasKey(u"listview_dt", u"0.m"));
}

TEST(SingleTemplateFile, ImportClearsEveryColumnThatTheFileDoesNotUse) {
  // A file without any column in use changes nothing.
  ScriptTemplate t = PlotTemplate();
  EXPECT_FALSE(tovrel::ReadSingleTemplate(Doc("[other]\r\n0.m=1\r\n[listview_dt]\r\n0.m=0\r\n"), t));
  ExpectSameColumns(t, PlotTemplate());
  // A column whose "m" is 0 or missing stays cleared, whatever else it holds.
  EXPECT_TRUE(
      tovrel::ReadSingleTemplate(Doc("[listview_dt]\n0.m=0\n0.t=zero\n1.t=no m\n2.m=-2\n2.s4=Landscape\n"), t));
  EXPECT_TRUE(IsEmpty(t.columns[0]));
  EXPECT_TRUE(IsEmpty(t.columns[1]));
  EXPECT_EQ(t.columns[2].inUse, -2);
  EXPECT_EQ(t.columns[2].selectText[4], u"Landscape");
  EXPECT_TRUE(IsEmpty(t.columns[3]));
  EXPECT_EQ(t.title, u"A3 一括印刷 (LT)");
}

TEST(TemplateFileName, OneFilePerLanguageAndNoneOtherwise) {
  int language = 0;
  for (const char16_t* name :
       {u"tovrl_set_j.ini", u"tovrl_set_e.ini", u"tovrl_set_k.ini", u"tovrl_set_c.ini"}) {
    EXPECT_EQ(tovrel::TemplateFileName(language++), name);
  }
  EXPECT_EQ(tovrel::TemplateFileName(-1), u"");
  EXPECT_EQ(tovrel::TemplateFileName(4), u"");
}
