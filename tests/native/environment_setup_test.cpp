// The environment dialog's decisions: the automatic setup over the file
// system, and the rules of the prohibited-printer list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_file_system.h"
#include "printers/environment_setup.h"
#include "storage/drive_search.h"

using namespace tovrel;
using tovrel::test::FakeFileSystem;

namespace {

using Names = std::vector<std::u16string>;

constexpr char16_t kWork[] = u"C:\\Tovrel";

TEST(AutomaticSetupTest, FindsTheFilesOrFallsBackWithItsMessage) {
  const struct {
    const char* what;
    std::vector<const char16_t*> files;
    const char16_t* autocad;
    const char16_t* script;
    const char16_t* end;
    std::vector<int> messages;
    const char16_t* console = u"";
  } cases[] = {
      {"LT wins wherever it lies; the console is AutoCAD's",
       {u"C:\\Acad\\acad.exe", u"C:\\Acad\\accoreconsole.exe", u"E:\\LT\\ACLT.EXE", u"D:\\run\\atcprint.scr",
        u"D:\\endfile.dwg"},
       u"E:\\LT\\ACLT.EXE", u"D:\\run\\atcprint.scr", u"D:\\endfile.dwg", {}, u"C:\\Acad\\accoreconsole.exe"},
      {"only acad.exe", {u"D:\\Program Files\\AutoCAD\\acad.exe"}, u"D:\\Program Files\\AutoCAD\\acad.exe",
       u"C:\\Tovrel\\atcprint.scr", u"C:\\Tovrel\\endfile.dwg", {31, 32, 97}},
      {"nothing at all", {u"C:\\x\\acad.exe.bak", u"F:\\acad.exe"}, kDefaultAutocadFile,
       u"C:\\Tovrel\\atcprint.scr", u"C:\\Tovrel\\endfile.dwg", {30, 31, 32, 97}},
      {"the end drawing only", {u"C:\\plot\\EndFile.dwg"}, kDefaultAutocadFile, u"C:\\Tovrel\\atcprint.scr",
       u"C:\\plot\\EndFile.dwg", {30, 31, 97}},
  };
  for (const auto& c : cases) {
    FakeFileSystem files;
    files.SetFixedDrives(u"CDE");  // F: is not a fixed drive
    for (const char16_t* file : c.files) files.AddFile(file);
    const AutomaticSetup setup = RunAutomaticSetup(files, kWork);
    EXPECT_FALSE(setup.cancelled) << c.what;
    EXPECT_EQ(setup.autocadFile, c.autocad) << c.what;
    EXPECT_EQ(setup.scriptFile, c.script) << c.what;
    EXPECT_EQ(setup.endFile, c.end) << c.what;
    EXPECT_EQ(setup.messages, c.messages) << c.what;
    EXPECT_EQ(setup.coreConsoleFile, c.console) << c.what;
  }
}

TEST(AutomaticSetupTest, OneWalkServesAllNamesAndEndsWhenAllAreFound) {
  FakeFileSystem files;
  files.SetFixedDrives(u"CD");
  files.AddFile(u"C:\\a\\aclt.exe");
  files.AddFile(u"C:\\b\\atcprint.scr");
  files.AddFile(u"C:\\c\\endfile.dwg");
  files.AddFile(u"D:\\never\\walked.dwg");
  const AutomaticSetup setup = RunAutomaticSetup(files, kWork);
  EXPECT_EQ(setup.autocadFile, u"C:\\a\\aclt.exe");
  // Every folder of C: listed once; D: never, since nothing was missing.
  EXPECT_EQ(files.ListedPatterns(), (Names{u"C:\\*", u"C:\\a\\*", u"C:\\b\\*", u"C:\\c\\*"}));
}

TEST(AutomaticSetupTest, ACancelStopsTheWalkAndChangesNothing) {
  FakeFileSystem files;
  files.SetFixedDrives(u"C");
  for (const char16_t* folder : {u"C:\\a\\x.txt", u"C:\\b\\x.txt", u"C:\\c\\acad.exe"}) files.AddFile(folder);
  int asked = 0;
  const AutomaticSetup setup = RunAutomaticSetup(files, kWork, [&] { return ++asked > 2; });
  EXPECT_TRUE(setup.cancelled);
  EXPECT_TRUE(setup.autocadFile.empty());
  EXPECT_TRUE(setup.messages.empty());
  EXPECT_EQ(files.ListedPatterns(), (Names{u"C:\\*", u"C:\\a\\*"}));  // stopped before C:\b
}

TEST(DriveSearchForEachTest, EachNameGetsTheHitOfItsOwnSearch) {
  FakeFileSystem files;
  files.SetFixedDrives(u"CD");
  files.AddFile(u"C:\\deep\\sub\\x.dwg");
  files.AddFile(u"C:\\y.dwg");
  files.AddFile(u"D:\\x.dwg");
  files.AddFile(u"D:\\z.dwg");
  const Names names{u"x.dwg", u"z.dwg", u"missing.dwg", u"", u"Y.DWG"};
  const auto found = SearchFixedDrivesForEach(files, names);
  ASSERT_EQ(found.size(), names.size());
  for (std::size_t i = 0; i < names.size(); ++i) EXPECT_EQ(found[i], SearchFixedDrives(files, names[i])) << i;
  // Only the first two are required: the walk ends on C:, where both lie,
  // and the third, on D:, is not reached.
  const auto required = SearchFixedDrivesForEach(files, {u"y.dwg", u"x.dwg", u"z.dwg"}, {}, 2);
  EXPECT_EQ(required, (std::vector<std::optional<std::u16string>>{u"C:\\y.dwg", u"C:\\deep\\sub\\x.dwg", std::nullopt}));
}

AppSettings WithNames(std::initializer_list<const char16_t*> names) {
  AppSettings settings;
  std::size_t i = 0;
  for (const char16_t* name : names) settings.prohibition_print[i++] = name;
  return settings;
}

TEST(ProhibitedListTest, ANameAfterAnEmptySlotIsStillShownAndKept) {
  AppSettings settings = WithNames({u"PDF", u"", u"Plotter A0", u"", u"Laser"});
  const Names shown = ProhibitedNamesOf(settings);
  EXPECT_EQ(shown, (Names{u"PDF", u"Plotter A0", u"Laser"}));
  StoreProhibitedNames(shown, settings);
  EXPECT_EQ(settings, WithNames({u"PDF", u"Plotter A0", u"Laser"}));
}

TEST(ProhibitedListTest, RegisterRefusesEmptyDuplicateAndASeventeenthName) {
  Names names{u"PDF"};
  const struct {
    const char16_t* typed;
    RegisterResult result;
  } steps[] = {{u"", RegisterResult::Empty},          {u"  \u3000", RegisterResult::Empty},
               {u"PDF", RegisterResult::Duplicate},   {u"pdf", RegisterResult::Added},
               {u" PDF", RegisterResult::Added},      {u"Laser", RegisterResult::Added}};
  for (const auto& step : steps) {
    EXPECT_EQ(RegisterProhibitedName(names, step.typed), step.result) << Utf16ToUtf8(step.typed);
  }
  EXPECT_EQ(names, (Names{u"PDF", u"pdf", u" PDF", u"Laser"}));

  for (int i = 4; i < 16; ++i) {
    ASSERT_EQ(RegisterProhibitedName(names, u"P" + ToU16(std::to_string(i))), RegisterResult::Added);
  }
  EXPECT_EQ(RegisterProhibitedName(names, u"Seventeenth"), RegisterResult::Full);
  EXPECT_EQ(RegisterProhibitedName(names, u"Laser"), RegisterResult::Duplicate);  // not "full": it is there
  EXPECT_EQ(names.size(), 16u);
  AppSettings settings;
  StoreProhibitedNames(names, settings);
  EXPECT_EQ(settings.prohibition_print[15], u"P15");
}

TEST(ProhibitedListTest, LongNamesAreCutAndCompareCutDeleteTakesTheIndex) {
  Names names;
  const std::u16string longName(70, u'N');
  EXPECT_EQ(RegisterProhibitedName(names, longName), RegisterResult::Added);
  EXPECT_EQ(names.front().size(), 63u);
  EXPECT_EQ(RegisterProhibitedName(names, longName + u"X"), RegisterResult::Duplicate);
  EXPECT_EQ(FindProhibitedName(names, longName), 0);
  EXPECT_FALSE(DeleteProhibitedName(names, 1));
  EXPECT_FALSE(DeleteProhibitedName(names, -1));
  EXPECT_TRUE(DeleteProhibitedName(names, 0));
  EXPECT_TRUE(names.empty());
}

TEST(EnvironmentPathsTest, AutocadMustBeAnExistingFileAndPathsKeep259Characters) {
  FakeFileSystem files;
  files.AddFile(u"C:\\Acad\\acad.exe");
  files.AddFolder(u"C:\\Acad\\folder.exe");
  EXPECT_TRUE(AutocadProgramExists(files, u"C:\\Acad\\acad.exe"));
  EXPECT_TRUE(AutocadProgramExists(files, u"c:\\ACAD\\ACAD.EXE"));
  for (const char16_t* path : {u"", u"C:\\Acad\\aclt.exe", u"C:\\Acad\\folder.exe", u"C:\\Acad\\*.exe"}) {
    EXPECT_FALSE(AutocadProgramExists(files, path)) << Utf16ToUtf8(path);
  }
  EXPECT_EQ(SettingsPathText(std::u16string(300, u'p')).size(), 259u);
  EXPECT_EQ(SettingsPathText(u"C:\\x.scr"), u"C:\\x.scr");
}

}  // namespace

TEST(AutomaticSetupTest, FindsTheLatestReleasesPlotterFolderUnderTheApplicationData) {
  FakeFileSystem files;
  files.SetFixedDrives(u"C");
  const std::u16string autodesk = u"C:\\Users\\ann\\AppData\\Roaming\\Autodesk";
  files.AddFolder(autodesk + u"\\AutoCAD 2023\\R24.2\\enu\\Plotters");
  files.AddFolder(autodesk + u"\\AutoCAD 2024\\R24.3\\enu\\Plotters");
  files.AddFolder(autodesk + u"\\AutoCAD 2025\\R25.0\\enu\\Support");  // no plotters yet
  EXPECT_EQ(RunAutomaticSetup(files, u"C:\\Tovrel", {}, u"C:\\Users\\ann\\AppData\\Roaming").plottersFolder,
            autodesk + u"\\AutoCAD 2024\\R24.3\\enu\\Plotters");
  EXPECT_EQ(FindPlottersFolder(files, u"C:\\Users\\bob\\AppData\\Roaming"), u"");
  EXPECT_EQ(FindPlottersFolder(files, u""), u"");
}
