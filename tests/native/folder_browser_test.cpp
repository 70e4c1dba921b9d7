// The folder browser's model: the rows of a folder, walking with double
// clicks, the remembered folder, and loading the selected folders by kind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drawing_list/folder_browser.h"
#include "fake_file_system.h"

using namespace tovrel;
using tovrel::test::FakeFileSystem;

namespace {

using Texts = std::vector<std::u16string>;

Texts Names(const std::vector<BrowserRow>& rows) {
  Texts names;
  for (const BrowserRow& row : rows) names.push_back(row.name);
  return names;
}

int RowOf(const FolderBrowser& browser, std::u16string_view name) {
  const std::vector<BrowserRow>& rows = browser.Rows();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].name == name) return static_cast<int>(i);
  }
  return -1;
}

class FolderBrowserTest : public ::testing::Test {
protected:
  FolderBrowserTest() {
    for (std::size_t slot = 0; slot < 3; ++slot) {  // name, folder, date
      tmpl.columns[slot].inUse = 1;
      tmpl.columns[slot].displayMode = static_cast<int>(slot) + 1;
    }
    files.SetFixedDrives(u"CD");
    files.SetDriveKind(u'E', DriveKind::CdRom);
    files.SetDriveKind(u'N', DriveKind::Remote);
    files.AddFolder(u"C:\\plans");
    files.AddFile(u"C:\\plans\\b.dwg", FakeFileSystem::FileTime(2026, 3, 7, 9, 5));
    files.AddFile(u"C:\\plans\\a.dxf");
    files.AddFile(u"C:\\plans\\a.dwg");
    files.AddFile(u"C:\\plans\\notes.txt");
    files.AddFolder(u"C:\\plans\\tower", kAttributeDirectory | kAttributeReadOnly);
    files.AddFile(u"C:\\plans\\tower\\t.dxf");
    files.AddFolder(u"C:\\plans\\locked");
    files.DenyListing(u"C:\\plans\\locked");
    files.AddFolder(u"C:\\System Volume Information", kAttributeDirectory | kAttributeHidden | kAttributeSystem);
    files.AddFolder(u"C:\\.config", kAttributeDirectory | kAttributeHidden);
    files.AddFile(u"C:\\pagefile.sys");
    files.AddFile(u"D:\\root.dwg");
  }

  FolderBrowser::Step Enter(FolderBrowser& browser, std::u16string_view name) {
    return browser.Enter(RowOf(browser, name));
  }

  FakeFileSystem files;
  ScriptTemplate tmpl;
  MemoryRowStore store{3};
};

TEST_F(FolderBrowserTest, ARootListsTheOtherDrivesThenItsFoldersNotFiles) {
  std::u16string remembered = u"C:";
  FolderBrowser browser(files, remembered);
  browser.Open();
  EXPECT_EQ(remembered, u"C:\\");  // the form the browser walks
  EXPECT_EQ(Names(browser.Rows()), (Texts{u"d:\\", u"e:\\", u"n:\\", u"plans", u".config"}));
  const std::vector<BrowserRow>& rows = browser.Rows();
  EXPECT_EQ((std::vector<int>{rows[0].image, rows[1].image, rows[2].image, rows[3].image, rows[4].image}),
            (std::vector<int>{2, 3, 5, 1, 0}));
  EXPECT_EQ(rows[0].dateText, u"");
}

TEST_F(FolderBrowserTest, WalkingInAndUpFollowsTheRememberedFolder) {
  std::u16string remembered = u"c:\\";
  FolderBrowser browser(files, remembered);
  browser.Open();
  ASSERT_EQ(Enter(browser, u"plans"), FolderBrowser::Step::Moved);
  EXPECT_EQ(remembered, u"c:\\plans");
  // Folders with further attributes are listed; files are not.
  EXPECT_EQ(Names(browser.Rows()), (Texts{u".", u"..", u"tower", u"locked"}));
  EXPECT_EQ(browser.Rows()[0].image, kBrowserImageDot);
  EXPECT_EQ(browser.Rows()[2].image, kBrowserImageFolder);
  ASSERT_EQ(Enter(browser, u"tower"), FolderBrowser::Step::Moved);
  EXPECT_EQ(remembered, u"c:\\plans\\tower");
  for (const char16_t* up : {u"..", u"."}) {  // both go one level up
    ASSERT_EQ(Enter(browser, up), FolderBrowser::Step::Moved) << Utf16ToUtf8(up);
  }
  EXPECT_EQ(remembered, u"c:\\");
  ASSERT_EQ(Enter(browser, u"d:\\"), FolderBrowser::Step::Moved);
  EXPECT_EQ(remembered, u"d:\\");
  EXPECT_EQ(Names(browser.Rows()), (Texts{u"c:\\", u"e:\\", u"n:\\"}));
  EXPECT_EQ(browser.Enter(-1), FolderBrowser::Step::Nothing);  // a double click beside the rows
  EXPECT_EQ(browser.Enter(3), FolderBrowser::Step::Nothing);
  EXPECT_EQ(remembered, u"d:\\");
}

TEST_F(FolderBrowserTest, AFolderThatCannotBeListedIsNotEntered) {
  std::u16string remembered = u"C:\\plans";
  FolderBrowser browser(files, remembered);
  browser.Open();
  const Texts before = Names(browser.Rows());
  EXPECT_EQ(Enter(browser, u"locked"), FolderBrowser::Step::Unreadable);
  EXPECT_EQ(remembered, u"C:\\plans");
  EXPECT_EQ(Names(browser.Rows()), before);
  // A drive without a readable root (the CD drive is empty) likewise.
  browser.Enter(RowOf(browser, u".."));
  EXPECT_EQ(Enter(browser, u"e:\\"), FolderBrowser::Step::Unreadable);
  EXPECT_EQ(remembered, u"C:\\");
}

TEST_F(FolderBrowserTest, OpeningInAFolderThatIsGoneStartsAtTheNearestOneAbove) {
  const struct {
    const char16_t* remembered;
    const char16_t* opened;
  } cases[] = {{u"C:\\plans\\gone\\deeper", u"C:\\plans"}, {u"C:\\plans\\locked", u"C:\\plans"},
               {u"C:\\plans\\", u"C:\\plans"},             {u"", u"c:\\"},
               {u"d", u"d:\\"},                           {u"E:\\disc\\folder", u"E:\\"}};
  for (const auto& c : cases) {
    std::u16string remembered = c.remembered;
    FolderBrowser browser(files, remembered);
    browser.Open();
    EXPECT_EQ(remembered, c.opened) << Utf16ToUtf8(c.remembered);
  }
  // In a root that cannot be listed the other drives are still offered.
  std::u16string remembered = u"E:\\";
  FolderBrowser browser(files, remembered);
  browser.Open();
  EXPECT_EQ(Names(browser.Rows()), (Texts{u"c:\\", u"d:\\", u"n:\\"}));
}

TEST_F(FolderBrowserTest, AnUnreachableShareOrAFolderWithoutItsDriveWalksUpToTheDriveList) {
  files.AddFolder(u"\\\\server\\share\\plans");
  for (const char16_t* start : {u"\\\\gone\\share\\x", u"\\plans", u"plans"}) {
    std::u16string remembered = start;
    FolderBrowser browser(files, remembered);
    browser.Open();
    EXPECT_EQ(remembered + Names(browser.Rows())[0], u"c:\\d:\\") << Utf16ToUtf8(start);
  }
  // A reachable share: up to its root, then up to the drives.
  std::u16string remembered = u"\\\\server\\share\\plans";
  FolderBrowser browser(files, remembered);
  browser.Open();
  ASSERT_EQ(browser.Up(), FolderBrowser::Step::Moved);
  EXPECT_EQ(remembered, u"\\\\server\\share");
  ASSERT_EQ(browser.Up(), FolderBrowser::Step::Moved);
  EXPECT_EQ(remembered, u"c:\\");
  EXPECT_EQ(browser.Up(), FolderBrowser::Step::Nothing);
}

TEST_F(FolderBrowserTest, LoadPathsAreCleanFolders) {
  std::u16string remembered = u"C:\\plans\\tower";
  FolderBrowser browser(files, remembered);
  browser.Open();
  EXPECT_EQ(browser.LoadPath(RowOf(browser, u".")), u"C:\\plans\\tower");
  EXPECT_EQ(browser.LoadPath(RowOf(browser, u"..")), u"C:\\plans");
  browser.Enter(RowOf(browser, u".."));
  EXPECT_EQ(browser.LoadPath(RowOf(browser, u"tower")), u"C:\\plans\\tower");
  EXPECT_EQ(browser.LoadPath(RowOf(browser, u"..")), u"C:");
  browser.Enter(RowOf(browser, u".."));
  EXPECT_EQ(browser.LoadPath(RowOf(browser, u"d:\\")), u"d:");
  EXPECT_EQ(browser.LoadPath(RowOf(browser, u"plans")), u"C:\\plans");
}

TEST_F(FolderBrowserTest, LoadAddsEachFolderByKindDwgBeforeDxf) {
  const Texts folders{u"C:\\plans", u"C:\\plans\\tower", u"d:"};
  const struct {
    BrowserKindMode mode;
    Texts names;
  } cases[] = {
      {BrowserKindMode::Dwg, {u"b.dwg", u"a.dwg", u"root.dwg"}},
      {BrowserKindMode::Dxf, {u"a.dxf", u"t.dxf"}},
      {BrowserKindMode::Both, {u"b.dwg", u"a.dwg", u"a.dxf", u"t.dxf", u"root.dwg"}},
  };
  for (const auto& c : cases) {
    store.DeleteAllRows();
    store.InsertRow(0, u"kept.dwg", 1, 0);
    const int next = LoadBrowserFolders(files, store, tmpl, folders, c.mode, 1);
    EXPECT_EQ(next, static_cast<int>(c.names.size()) + 1) << static_cast<int>(c.mode);
    Texts names;
    for (int row = 1; row < store.RowCount(); ++row) names.push_back(store.CellText(row, 0, 260));
    EXPECT_EQ(names, c.names) << static_cast<int>(c.mode);
  }
  // Nothing of the kind: the first row is answered, so the dialog says so.
  store.DeleteAllRows();
  EXPECT_EQ(LoadBrowserFolders(files, store, tmpl, {u"C:\\plans\\tower", u"C:\\plans\\locked"},
                               BrowserKindMode::Dwg, 0),
            0);
  EXPECT_EQ(store.RowCount(), 0);
}

}  // namespace
