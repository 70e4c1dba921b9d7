// The settings file as a user meets it: first start, exit and the next start.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "storage/app_settings.h"
#include "storage/ini_document.h"

using tovrel::AppSettings;
using tovrel::IniDocument;
using tovrel::ToU16;

namespace {

constexpr char16_t kWorkDir[] = u"d:\\plot work";

IniDocument Doc(const std::string& utf8) {
  return IniDocument::Parse(ToU16(utf8));
}

AppSettings Load(const IniDocument& file, std::u16string_view workDir = kWorkDir) {
  AppSettings settings;
  tovrel::LoadSettings(file, workDir, settings);
  return settings;
}

IniDocument Saved(const AppSettings& s) {
  IniDocument file;
  tovrel::SaveSettings(s, file);
  return file;
}

// The names of the file's "name=value" lines, in order.
std::vector<std::u16string> KeyNames(const IniDocument& file) {
  std::vector<std::u16string> names;
  const std::u16string text = file.ToText();
  for (std::size_t start = 0, end; (end = text.find(u"\r\n", start)) != text.npos; start = end + 2) {
    if (const std::size_t eq = text.find(u'=', start); eq < end)
      names.push_back(text.substr(start, eq - start));
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
  s.file_set = {1, {}, 65535, u"_横", u"_縦", 2, u"_lim", u"_ext", u"_win", 1};
  for (std::size_t i = 0; i < s.file_set.fp_ps.size(); ++i) {
    const std::u16string n(1, static_cast<char16_t>(u'0' + i));
    s.file_set.fp_ps[i] = {u"_A" + n, u"\\\\server\\プリンタ" + n, u"ISO A" + n};
  }
  s.prohibition_print[0] = u"Microsoft XPS Document Writer";
  s.run_timeout = 45;
  s.coreconsole_file = u"c:\\Program Files\\Autodesk\\accoreconsole.exe";
  s.parallel_workers = 6;
  s.prohibition_print[15] = u"팩스";
  std::tie(s.print_paper_ab, s.moji_type, s.prohibition_plmode) = std::tuple(-3, 2, -7);
  return s;
}

}  // namespace

TEST(SettingsFile, FirstStartWithoutAFileReplacesEveryFieldWithItsDefault) {
  AppSettings s = EveryFieldSet();
  tovrel::LoadSettings(IniDocument{}, kWorkDir, s);
  AppSettings expected;
  expected.file_folder = u"c:\\";
  expected.autocad_file = u"c:\\Program Files\\ACAD LT 2000\\aclt.exe";
  expected.temp_file = u"d:\\plot work\\atcprint.scr";
  expected.end_file_dwg = u"d:\\plot work\\endfile.dwg";
  expected.autocad_type = 1;
  EXPECT_EQ(Saved(s).ToText(), Saved(expected).ToText());
  EXPECT_TRUE(s == expected);

  // Present keys override the defaults, even when empty.
  s = Load(Doc("[SETTING]\nFILE_FOLDER=\nautocad_type=0\n"));
  EXPECT_EQ(s.file_folder, u"");
  EXPECT_EQ(s.autocad_type, 0);
  EXPECT_EQ(s.autocad_file, expected.autocad_file);
}

TEST(SettingsFile, ExitWritesAll51KeysInTheirOrderAndKeepsTheRestOfTheFile) {
  std::vector<std::u16string> expected = {u"file_folder",  u"autocad_file", u"temp_file",
                                          u"end_file_dwg", u"autocad_type", u"file_set.ps"};
  for (const char* i : {"0", "1", "2", "3"}) {
    for (const char* part : {"search", "printer", "paper"})
      expected.push_back(ToU16(std::string("file_set.fp_ps[") + i + "]." + part));
  }
  for (const char* key :
       {"ds", "search_d1", "search_d2", "ss", "search_s1", "search_s2", "search_s3", "chg_on"}) {
    expected.push_back(ToU16(std::string("file_set.") + key));
  }
  for (int i = 0; i < 16; ++i) expected.push_back(ToU16("prohibition_print" + std::to_string(i)));
  expected.insert(expected.end(), {u"print_paper_ab", u"moji_type", u"prohibition_plmode", u"run_timeout",
                                   u"plotters_folder", u"allow_lisp_cells", u"run_batch_size",
                                   u"coreconsole_file", u"parallel_workers"});
  ASSERT_EQ(expected.size(), 51u);

  const IniDocument file = Saved(Load(IniDocument{}));
  EXPECT_EQ(KeyNames(file), expected);
  EXPECT_EQ(file.ToText().rfind(u"[setting]\r\nfile_folder=c:\\\r\n", 0), 0u);
  EXPECT_TRUE(file.HasKey(u"setting", u"prohibition_print15"));  // empty, yet present
  EXPECT_EQ(Value(file, "prohibition_print15"), u"");

  // An existing file is updated in place: other sections and keys stay.
  IniDocument old =
      Doc("; kept\r\n[other]\r\na=1\r\n[Setting]\r\nnote=keep\r\nMOJI_TYPE=1\r\n[tail]\r\nb=2\r\n");
  AppSettings s = Load(old);
  EXPECT_EQ(s.moji_type, 1);
  s.moji_type = 3;
  tovrel::SaveSettings(s, old);
  const std::u16string text = old.ToText();
  EXPECT_EQ(
      text.rfind(u"; kept\r\n[other]\r\na=1\r\n[Setting]\r\nnote=keep\r\nMOJI_TYPE=3\r\nfile_folder=c:\\\r\n",
                 0),
      0u);
  EXPECT_NE(text.find(u"[tail]\r\nb=2\r\n"), std::u16string::npos);
  EXPECT_EQ(KeyNames(old).size(), 3u + 51u);
}

TEST(SettingsFile, TheRunTimeOutDefaultsToTenMinutesAndStaysWithinAWeek) {
  EXPECT_EQ(Load(IniDocument{}).run_timeout, 10);
  for (const auto& [text, minutes] : std::initializer_list<std::pair<const char*, int>>{
           {"0", 0}, {"25", 25}, {"-3", 10}, {"10080", 10080}, {"99999999", 10080}}) {
    EXPECT_EQ(Load(Doc(std::string("[setting]\nrun_timeout=") + text + "\n")).run_timeout, minutes) << text;
  }
  // As typed in the environment dialog.
  EXPECT_EQ(tovrel::RunTimeoutFromText(u"25"), 25);
  EXPECT_EQ(tovrel::RunTimeoutFromText(u""), 0);  // no limit
  EXPECT_EQ(tovrel::RunTimeoutFromText(u"99999"), 10080);
  EXPECT_EQ(Load(Doc("[setting]\nparallel_workers=17\n")).parallel_workers, 0);
  EXPECT_EQ(Load(Doc("[setting]\nparallel_workers=16\n")).parallel_workers, 16);
  EXPECT_EQ(tovrel::ParallelWorkersFromText(u"99"), 16);
}

TEST(SettingsFile, EveryFieldSurvivesExitAndRestart) {
  const AppSettings before = EveryFieldSet();
  const IniDocument file = Saved(before);
  const AppSettings after =
      Load(IniDocument::FromBytes(file.ToUtf16LeBytes(), tovrel::Cp1252CodePage{}), u"x:\\elsewhere");
  EXPECT_EQ(Saved(after).ToText(), file.ToText());
  EXPECT_TRUE(after == before);
  // The two orientation marks are separate keys.
  EXPECT_EQ(Value(file, "file_set.search_d1"), u"_横");
  EXPECT_EQ(Value(file, "file_set.search_d2"), u"_縦");
}

TEST(SettingsFile, LongTextsAreCutToTheirBuffers) {
  const std::string path = "c:\\" + std::string(300, 'p');
  const AppSettings s =
      Load(Doc("[setting]\nfile_set.fp_ps[2].search=12345678\nfile_set.search_d2=ABCDEFGHIJ\n"
               "file_set.fp_ps[0].printer=" +
               std::string(130, 'r') + "\nfile_set.fp_ps[1].paper=" + std::string(64, 'a') +
               "\nprohibition_print4=" + std::string(64, 'x') + "\nautocad_file=" + path + "\n"));
  EXPECT_EQ(s.file_set.fp_ps[2].search, u"1234567");
  EXPECT_EQ(s.file_set.search_d2, u"ABCDEFG");
  EXPECT_EQ(s.file_set.fp_ps[0].printer, std::u16string(127, u'r'));
  EXPECT_EQ(s.file_set.fp_ps[1].paper, std::u16string(63, u'a'));
  EXPECT_EQ(s.prohibition_print[4], std::u16string(63, u'x'));
  EXPECT_EQ(s.autocad_file, ToU16(path.substr(0, 259)));
  // A default built from a long working directory is cut as well.
  const std::u16string longDir = u"c:\\" + std::u16string(250, u'd');
  EXPECT_EQ(Load(IniDocument{}, longDir).temp_file, (longDir + u"\\atcprint.scr").substr(0, 259));
}

TEST(SettingsFile, IntegersKeepOnlyTheBitsOfTheirField) {
  IniDocument file =
      Doc("[setting]\nprint_paper_ab=200\nfile_set.ps=65537\nfile_set.ds=-1\n"
          "file_set.chg_on=0x10\nprohibition_plmode=4294967295\nfile_set.ss=abc\n");
  const AppSettings s = Load(file);
  EXPECT_EQ(s.print_paper_ab, -56);
  EXPECT_EQ(s.file_set.ps, 1);
  EXPECT_EQ(s.file_set.ds, 65535);
  EXPECT_EQ(s.file_set.chg_on, 16);
  EXPECT_EQ(s.prohibition_plmode, -1);
  EXPECT_EQ(s.file_set.ss, 0);
  // Written back as the fields hold them: bytes signed, flags unsigned.
  tovrel::SaveSettings(s, file);
  EXPECT_EQ(Value(file, "print_paper_ab"), u"-56");
  EXPECT_EQ(Value(file, "file_set.ds"), u"65535");
  EXPECT_EQ(Value(file, "prohibition_plmode"), u"-1");
}

TEST(SettingsFile, TemplateIndexAndLanguageOutOfRangeFallBackToDefaults) {
  // 300 and 276 keep 44 and 20 in a byte; 275 keeps 19, which is valid.
  for (const auto& [stored, expected] : std::vector<std::pair<const char*, int>>{
           {"0", 0}, {"19", 19}, {"20", 1}, {"-1", 1}, {"300", 1}, {"276", 1}, {"275", 19}, {"x", 0}}) {
    EXPECT_EQ(Load(Doc(std::string("[setting]\nautocad_type=") + stored)).autocad_type, expected) << stored;
  }
  for (const auto& [stored, expected] :
       std::vector<std::pair<const char*, int>>{{"3", 3}, {"4", 0}, {"-1", 0}, {"4294967300", 0}, {"1", 1}}) {
    EXPECT_EQ(Load(Doc(std::string("[setting]\nmoji_type=") + stored)).moji_type, expected) << stored;
  }
}

TEST(SettingsPath, AddsOneBackslashEvenAfterADriveRoot) {
  EXPECT_EQ(tovrel::SettingsPath(u"d:\\plot work"), u"d:\\plot work\\Tovrel.ini");
  EXPECT_EQ(tovrel::SettingsPath(u"c:\\"), u"c:\\\\Tovrel.ini");
  const AppSettings s = Load(IniDocument{}, u"c:\\");
  EXPECT_EQ(s.temp_file, u"c:\\\\atcprint.scr");
  EXPECT_EQ(s.end_file_dwg, u"c:\\\\endfile.dwg");
}
