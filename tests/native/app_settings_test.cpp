// The settings file as a user meets it: a first start without a file, what
// the program leaves on disk at exit, and what comes back at the next start.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/app_settings.h"
#include "storage/ini_document.h"

using tovrel::AppSettings;
using tovrel::IniDocument;
using tovrel::ToU16;

namespace {

constexpr char16_t kWorkDir[] = u"d:\\plot work";

IniDocument Doc(const char* utf8) { return IniDocument::Parse(ToU16(utf8)); }

// The document as the next start finds it on disk.
IniDocument Reopen(const IniDocument& written) {
  return IniDocument::FromBytes(written.ToUtf16LeBytes(), tovrel::Cp1252CodePage{});
}

AppSettings Load(const IniDocument& file, std::u16string_view workDir = kWorkDir) {
  AppSettings settings;
  tovrel::LoadSettings(file, workDir, settings);
  return settings;
}

// The names of the file's "name=value" lines, in order.
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

std::u16string Value(const IniDocument& file, const char* key) {
  return file.GetString(tovrel::kSettingsSection, ToU16(key), u"<missing>", 1000);
}

AppSettings EveryFieldSet() {
  AppSettings s;
  s.file_folder = u"e:\\図面\\2024年";
  s.autocad_file = u"c:\\Program Files\\Autodesk\\acad.exe";
  s.temp_file = u"d:\\스크립트\\출력.scr";
  s.end_file_dwg = u"d:\\终了\\end.dwg";
  s.autocad_type = 19;
  s.file_set.ps = 1;
  for (std::size_t i = 0; i < s.file_set.fp_ps.size(); ++i) {
    const std::u16string n(1, static_cast<char16_t>(u'0' + i));
    s.file_set.fp_ps[i] = {u"_A" + n, u"\\\\server\\プリンタ" + n, u"ISO A" + n};
  }
  s.file_set.ds = 65535;
  s.file_set.search_d1 = u"_横";
  s.file_set.search_d2 = u"_縦";
  s.file_set.ss = 2;
  s.file_set.search_s1 = u"_lim";
  s.file_set.search_s2 = u"_ext";
  s.file_set.search_s3 = u"_win";
  s.file_set.chg_on = 1;
  s.prohibition_print[0] = u"Microsoft XPS Document Writer";
  s.prohibition_print[7] = u"팩스";
  s.prohibition_print[15] = u"Fax";
  s.print_paper_ab = -3;
  s.moji_type = 2;
  s.prohibition_plmode = -7;
  return s;
}

// The record as the file would hold it: a readable difference when two differ.
std::u16string Saved(const AppSettings& settings) {
  IniDocument file;
  tovrel::SaveSettings(settings, file);
  return file.ToText();
}

}  // namespace

TEST(SettingsFile, FirstStartWithoutAFileUsesTheDefaults) {
  // Loaded over a record that already holds values: every field is replaced.
  AppSettings s = EveryFieldSet();
  tovrel::LoadSettings(IniDocument{}, kWorkDir, s);

  AppSettings expected;
  expected.file_folder = u"c:\\";
  expected.autocad_file = u"c:\\Program Files\\ACAD LT 2000\\aclt.exe";
  expected.temp_file = u"d:\\plot work\\atcprint.scr";
  expected.end_file_dwg = u"d:\\plot work\\endfile.dwg";
  expected.autocad_type = 1;
  EXPECT_TRUE(s == expected);
  EXPECT_EQ(Saved(s), Saved(expected));
}

TEST(SettingsFile, ExitWritesAll45KeysInTheirOrder) {
  IniDocument file;
  tovrel::SaveSettings(Load(IniDocument{}), file);

  std::vector<std::u16string> expected = {u"file_folder", u"autocad_file", u"temp_file",
                                          u"end_file_dwg", u"autocad_type", u"file_set.ps"};
  for (const char* i : {"0", "1", "2", "3"}) {
    for (const char* part : {"search", "printer", "paper"}) {
      expected.push_back(ToU16(std::string("file_set.fp_ps[") + i + "]." + part));
    }
  }
  for (const char16_t* key : {u"file_set.ds", u"file_set.search_d1", u"file_set.search_d2",
                              u"file_set.ss", u"file_set.search_s1", u"file_set.search_s2",
                              u"file_set.search_s3", u"file_set.chg_on"}) {
    expected.push_back(key);
  }
  for (int i = 0; i < 16; ++i) expected.push_back(ToU16("prohibition_print" + std::to_string(i)));
  expected.insert(expected.end(), {u"print_paper_ab", u"moji_type", u"prohibition_plmode"});
  ASSERT_EQ(expected.size(), 45u);

  EXPECT_EQ(KeyNames(file), expected);
  EXPECT_EQ(file.ToText().rfind(u"[setting]\r\nfile_folder=c:\\\r\n", 0), 0u);
  EXPECT_EQ(Value(file, "autocad_type"), u"1");
  EXPECT_EQ(Value(file, "temp_file"), u"d:\\plot work\\atcprint.scr");
  // Empty texts are present keys with empty values, and read back empty.
  EXPECT_TRUE(file.HasKey(u"setting", u"prohibition_print15"));
  EXPECT_EQ(Value(file, "prohibition_print15"), u"");
  EXPECT_EQ(Value(file, "file_set.fp_ps[3].printer"), u"");
}

TEST(SettingsFile, EveryFieldSurvivesExitAndRestart) {
  const AppSettings before = EveryFieldSet();
  IniDocument file;
  tovrel::SaveSettings(before, file);
  const AppSettings after = Load(Reopen(file), u"x:\\elsewhere");
  EXPECT_TRUE(after == before);
  EXPECT_EQ(Saved(after), Saved(before));
  // The two orientation marks are separate keys, each with its own text.
  EXPECT_EQ(Value(file, "file_set.search_d1"), u"_横");
  EXPECT_EQ(Value(file, "file_set.search_d2"), u"_縦");
  EXPECT_EQ(after.file_set.search_d1, u"_横");
  EXPECT_EQ(after.file_set.search_d2, u"_縦");
}

TEST(SettingsFile, PresentKeysOverrideDefaultsEvenWhenEmpty) {
  const AppSettings s = Load(Doc("[SETTING]\nFILE_FOLDER=\nautocad_type=0\nmoji_type=3\n"));
  EXPECT_EQ(s.file_folder, u"");
  EXPECT_EQ(s.autocad_type, 0);
  EXPECT_EQ(s.moji_type, 3);
  EXPECT_EQ(s.autocad_file, u"c:\\Program Files\\ACAD LT 2000\\aclt.exe");
}

TEST(SettingsFile, LongTextsAreCutToTheirBuffers) {
  const std::string path = "c:\\" + std::string(300, 'p');
  const std::string file = "[setting]\nfile_set.fp_ps[2].search=12345678\n"
                           "file_set.search_d2=ABCDEFGHIJ\n"
                           "file_set.search_s3=1234567\n"
                           "file_set.fp_ps[0].printer=" + std::string(130, 'r') + "\n" +
                           "file_set.fp_ps[1].paper=" + std::string(64, 'a') + "\n" +
                           "prohibition_print4=" + std::string(64, 'x') + "\n" +
                           "autocad_file=" + path + "\n";
  const AppSettings s = Load(Doc(file.c_str()));
  EXPECT_EQ(s.file_set.fp_ps[2].search, u"1234567");
  EXPECT_EQ(s.file_set.search_d2, u"ABCDEFG");
  EXPECT_EQ(s.file_set.search_s3, u"1234567");
  EXPECT_EQ(s.file_set.fp_ps[0].printer, std::u16string(127, u'r'));
  EXPECT_EQ(s.file_set.fp_ps[1].paper, std::u16string(63, u'a'));
  EXPECT_EQ(s.prohibition_print[4], std::u16string(63, u'x'));
  EXPECT_EQ(s.autocad_file, ToU16(path.substr(0, 259)));

  // A default built from a long working directory is cut as well.
  const std::u16string longDir = u"c:\\" + std::u16string(250, u'd');
  const AppSettings d = Load(IniDocument{}, longDir);
  EXPECT_EQ(d.temp_file, (longDir + u"\\atcprint.scr").substr(0, 259));
}

TEST(SettingsFile, IntegersKeepOnlyTheBitsOfTheirField) {
  IniDocument file = Doc(
      "[setting]\nprint_paper_ab=200\nfile_set.ps=65537\nfile_set.ds=-1\n"
      "file_set.chg_on=0x10\nprohibition_plmode=4294967295\nfile_set.ss=abc\n");
  const AppSettings s = Load(file);
  EXPECT_EQ(s.print_paper_ab, -56);
  EXPECT_EQ(s.file_set.ps, 1);
  EXPECT_EQ(s.file_set.ds, 65535);
  EXPECT_EQ(s.file_set.chg_on, 16);
  EXPECT_EQ(s.prohibition_plmode, -1);
  EXPECT_EQ(s.file_set.ss, 0);
  EXPECT_EQ(Load(Doc("[setting]\nprint_paper_ab=300\n")).print_paper_ab, 44);

  // Written back as the fields hold them: bytes signed, flags unsigned.
  tovrel::SaveSettings(s, file);
  EXPECT_EQ(Value(file, "print_paper_ab"), u"-56");
  EXPECT_EQ(Value(file, "file_set.ps"), u"1");
  EXPECT_EQ(Value(file, "file_set.ds"), u"65535");
  EXPECT_EQ(Value(file, "file_set.chg_on"), u"16");
  EXPECT_EQ(Value(file, "prohibition_plmode"), u"-1");
  EXPECT_EQ(Value(file, "file_set.ss"), u"0");
}

TEST(SettingsFile, TemplateIndexAndLanguageOutOfRangeFallBackToDefaults) {
  struct Case {
    const char* stored;
    int expected;
  };
  // 300 and 276 keep 44 and 20 in a byte; 275 keeps 19, which is valid.
  for (const Case c : {Case{"0", 0}, Case{"19", 19}, Case{"20", 1}, Case{"-1", 1},
                       Case{"300", 1}, Case{"276", 1}, Case{"275", 19}, Case{"x", 0}}) {
    const std::string text = std::string("[setting]\nautocad_type=") + c.stored + "\n";
    EXPECT_EQ(Load(Doc(text.c_str())).autocad_type, c.expected) << c.stored;
  }
  for (const Case c : {Case{"3", 3}, Case{"4", 0}, Case{"-1", 0}, Case{"4294967300", 0},
                       Case{"1", 1}}) {
    const std::string text = std::string("[setting]\nmoji_type=") + c.stored + "\n";
    EXPECT_EQ(Load(Doc(text.c_str())).moji_type, c.expected) << c.stored;
  }
}

TEST(SettingsFile, SavingUpdatesAnExistingFileInPlace) {
  IniDocument file = Doc(
      "; kept by the user\r\n[other]\r\na=1\r\n[Setting]\r\nuser_note=keep me\r\n"
      "MOJI_TYPE=1\r\n[tail]\r\nb=2\r\n");
  AppSettings s = Load(file);
  EXPECT_EQ(s.moji_type, 1);
  s.moji_type = 3;
  tovrel::SaveSettings(s, file);

  const std::u16string text = file.ToText();
  EXPECT_EQ(text.rfind(u"; kept by the user\r\n[other]\r\na=1\r\n[Setting]\r\nuser_note=keep me\r\n"
                       u"MOJI_TYPE=3\r\nfile_folder=c:\\\r\n",
                       0),
            0u);
  EXPECT_NE(text.find(u"[tail]\r\nb=2\r\n"), std::u16string::npos);
  EXPECT_EQ(KeyNames(file).size(), 2u + 1u + 45u);  // a, b, user_note and the 45 keys
}

TEST(SettingsPath, AddsOneBackslashEvenAfterADriveRoot) {
  EXPECT_EQ(tovrel::SettingsPath(u"d:\\plot work"), u"d:\\plot work\\Tovrel.ini");
  EXPECT_EQ(tovrel::SettingsPath(u"c:\\"), u"c:\\\\Tovrel.ini");
  const AppSettings s = Load(IniDocument{}, u"c:\\");
  EXPECT_EQ(s.temp_file, u"c:\\\\atcprint.scr");
  EXPECT_EQ(s.end_file_dwg, u"c:\\\\endfile.dwg");
}
