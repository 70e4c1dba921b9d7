// The search of the fixed drives for one drawing by name.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#if defined(__unix__)
#include <pthread.h>
#endif

#include "drawing_list/drive_search.h"
#include "fake_file_system.h"

using namespace tovrel;
using tovrel::test::FakeFileSystem;

namespace {

std::u16string Found(const FileSystem& files, std::u16string_view name) {
  return SearchFixedDrives(files, name).value_or(u"<not found>");
}

TEST(DriveSearchTest, LooksOnlyOnFixedDrivesInLetterOrder) {
  FakeFileSystem files;
  files.AddFile(u"D:\\plan.dwg");         // a removable or network drive
  files.AddFile(u"F:\\work\\plan.dwg");
  files.AddFile(u"E:\\old\\plan.dwg");
  files.AddFile(u"C:\\other.dwg");
  files.SetFixedDrives(u"FCE");
  EXPECT_EQ(Found(files, u"plan.dwg"), u"E:\\old\\plan.dwg");

  files.SetFixedDrives(u"CF");
  EXPECT_EQ(Found(files, u"plan.dwg"), u"F:\\work\\plan.dwg");
  files.SetFixedDrives(u"D");
  EXPECT_EQ(Found(files, u"plan.dwg"), u"D:\\plan.dwg");
  files.SetFixedDrives(u"");
  EXPECT_FALSE(SearchFixedDrives(files, u"plan.dwg"));

  // A and B are never fixed drives worth asking about.
  files.AddFile(u"A:\\plan.dwg");
  files.SetFixedDrives(u"AB");
  EXPECT_FALSE(SearchFixedDrives(files, u"plan.dwg"));
}

TEST(DriveSearchTest, TheFirstFileFoundWinsFilesBeforeSubfolders) {
  FakeFileSystem files;
  files.SetFixedDrives(u"C");
  files.AddFile(u"C:\\a\\deep\\x.dwg");
  files.AddFile(u"C:\\b\\x.dwg");
  // The subtree of a is walked whole before b.
  EXPECT_EQ(Found(files, u"x.dwg"), u"C:\\a\\deep\\x.dwg");

  // The files of a folder are looked at before any of its subfolders,
  // whatever order the folder lists them in.
  files.AddFile(u"C:\\a\\x.dwg");
  EXPECT_EQ(Found(files, u"x.dwg"), u"C:\\a\\x.dwg");
  files.AddFile(u"C:\\x.dwg");
  EXPECT_EQ(Found(files, u"x.dwg"), u"C:\\x.dwg");
}

TEST(DriveSearchTest, ANameWithFoldersMustMatchWholeFolderNames) {
  FakeFileSystem files;
  files.SetFixedDrives(u"C");
  files.AddFile(u"C:\\first\\x.dwg");
  files.AddFile(u"C:\\first\\asub\\x.dwg");
  files.AddFile(u"C:\\second\\proj\\sub\\x.dwg");
  EXPECT_EQ(Found(files, u"sub\\x.dwg"), u"C:\\second\\proj\\sub\\x.dwg");
  EXPECT_EQ(Found(files, u"proj\\sub\\x.dwg"), u"C:\\second\\proj\\sub\\x.dwg");
  EXPECT_EQ(Found(files, u"\\sub\\x.dwg"), u"C:\\second\\proj\\sub\\x.dwg");
  EXPECT_EQ(Found(files, u"sub/x.dwg"), u"C:\\second\\proj\\sub\\x.dwg");
  EXPECT_FALSE(SearchFixedDrives(files, u"ub\\x.dwg"));
  // A name is a whole file name, not its end.
  EXPECT_FALSE(SearchFixedDrives(files, u".dwg"));
  EXPECT_FALSE(SearchFixedDrives(files, u""));
  EXPECT_FALSE(SearchFixedDrives(files, u"\\"));
}

TEST(DriveSearchTest, NamesInAnyScriptCompareWithoutRegardToCase) {
  FakeFileSystem files;
  files.SetFixedDrives(u"CD");
  files.AddFile(u"C:\\Projects\\Plan A.DWG");
  files.AddFile(u"C:\\設計\\図面 ０１.dwg");
  files.AddFile(u"C:\\설계\\도면.dxf");
  files.AddFile(u"D:\\Проект\\План.dwg");
  files.AddFile(u"D:\\ＦＵＬＬ\\ａｂｃ.dwg");

  EXPECT_EQ(Found(files, u"plan a.dwg"), u"C:\\Projects\\Plan A.DWG");
  EXPECT_EQ(Found(files, u"PROJECTS\\PLAN A.dwg"), u"C:\\Projects\\Plan A.DWG");
  EXPECT_EQ(Found(files, u"図面 ０１.DWG"), u"C:\\設計\\図面 ０１.dwg");
  EXPECT_EQ(Found(files, u"설계\\도면.DXF"), u"C:\\설계\\도면.dxf");
  EXPECT_EQ(Found(files, u"проект\\план.DWG"), u"D:\\Проект\\План.dwg");
  EXPECT_EQ(Found(files, u"ＡＢＣ.dwg"), u"D:\\ＦＵＬＬ\\ａｂｃ.dwg");
  EXPECT_FALSE(SearchFixedDrives(files, u"図面 01.dwg"));  // full-width digits differ
}

TEST(DriveSearchTest, FoldersAreNotMatchedAndUnreadableFoldersAreSkipped) {
  FakeFileSystem files;
  files.SetFixedDrives(u"C");
  files.AddFolder(u"C:\\a\\x.dwg");
  files.AddFile(u"C:\\a\\x.dwg\\inner.dwg");
  files.AddFile(u"C:\\locked\\x.dwg");
  files.DenyListing(u"C:\\locked");
  files.AddFolder(u"C:\\hidden", kAttributeDirectory | kAttributeHidden | kAttributeSystem);
  files.AddFile(u"C:\\hidden\\x.dwg");
  EXPECT_EQ(Found(files, u"x.dwg"), u"C:\\hidden\\x.dwg");
  EXPECT_EQ(Found(files, u"x.dwg\\inner.dwg"), u"C:\\a\\x.dwg\\inner.dwg");
}

TEST(DriveSearchTest, ReparsePointsAreNotEntered) {
  FakeFileSystem files;
  files.SetFixedDrives(u"C");
  files.AddFolder(u"C:\\Users\\me\\Application Data", kAttributeDirectory | kAttributeReparsePoint);
  files.AddFile(u"C:\\Users\\me\\Application Data\\x.dwg");
  files.AddFolder(u"C:\\junction", kAttributeDirectory | kAttributeHidden | kAttributeReparsePoint);
  files.AddFile(u"C:\\junction\\x.dwg");
  EXPECT_FALSE(SearchFixedDrives(files, u"x.dwg"));
  for (const std::u16string& pattern : files.ListedPatterns()) {
    EXPECT_EQ(pattern.find(u"Application Data"), std::u16string::npos);
    EXPECT_EQ(pattern.find(u"junction"), std::u16string::npos);
  }
  // A file that is a reparse point (a link to a file) is still a file.
  files.AddFile(u"C:\\Users\\x.dwg", 0, kAttributeArchive | kAttributeReparsePoint);
  EXPECT_EQ(Found(files, u"x.dwg"), u"C:\\Users\\x.dwg");
}

// A drive whose every folder holds one folder "d", down to a depth where it
// holds "x.dwg" instead. The depth of a folder is read off the pattern's
// length, so the fake costs nothing per level.
class BottomlessDrive final : public FileSystem {
public:
  explicit BottomlessDrive(std::size_t depth) : depth_(depth) {}
  bool List(const std::u16string& pattern, std::vector<DirEntry>& entries) const override {
    const std::size_t level = (pattern.size() - 4) / 2;  // "C:\*", "C:\d\*", ...
    deepest_ = std::max(deepest_, level);
    if (level < depth_) entries.push_back(DirEntry{u"d", kAttributeDirectory, 0});
    else entries.push_back(DirEntry{u"x.dwg", kAttributeArchive, 0});
    return true;
  }
  bool Find(const std::u16string&, DirEntry&) const override { return false; }
  LocalTime ToLocalTime(std::uint64_t) const override { return {}; }
  bool IsFixedDrive(char16_t letter) const override { return letter == u'C'; }
  std::size_t Deepest() const { return deepest_; }

private:
  std::size_t depth_;
  mutable std::size_t deepest_ = 0;
};

// Runs `work` on a thread with a small stack (256 KiB): a walk that recursed
// once per folder level would overflow it within a few hundred levels.
template <class Work>
void OnSmallStack(Work& work) {
#if defined(__unix__)
  pthread_attr_t attributes;
  ASSERT_EQ(pthread_attr_init(&attributes), 0);
  ASSERT_EQ(pthread_attr_setstacksize(&attributes, 256 * 1024), 0);
  pthread_t thread;
  const auto run = [](void* argument) -> void* {
    (*static_cast<Work*>(argument))();
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attributes, run, &work), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attributes);
#else
  work();
#endif
}

TEST(DriveSearchTest, AVeryDeepTreeIsWalkedWithoutExhaustingTheStack) {
  const std::size_t depth = 2000;  // far beyond what recursion survives there
  const BottomlessDrive drive(depth);
  std::optional<std::u16string> found;
  auto search = [&] { found = SearchFixedDrives(drive, u"d\\x.dwg"); };
  OnSmallStack(search);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->size(), 2 + 2 * depth + 6);
  EXPECT_EQ(found->substr(found->size() - 8), u"\\d\\x.dwg");
  EXPECT_EQ(drive.Deepest(), depth);
}

// --- The fake, where the tests above rely on it -----------------------------

TEST(FakeFileSystemTest, MatchesPatternsAndPathsLikeTheFindFunctions) {
  FakeFileSystem files;
  files.AddFile(u"C:\\Dwg\\A.DWG");
  files.AddFile(u"C:\\Dwg\\b.dwgx");
  files.AddFile(u"C:\\Dwg\\c.dxf");
  std::vector<DirEntry> entries;
  ASSERT_TRUE(files.List(u"c:\\DWG\\\\*.dwg", entries));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, u"A.DWG");

  entries.clear();
  ASSERT_TRUE(files.List(u"C:\\Dwg\\*", entries));
  std::vector<std::u16string> names;
  for (const DirEntry& entry : entries) names.push_back(entry.name);
  EXPECT_EQ(names, (std::vector<std::u16string>{u".", u"..", u"A.DWG", u"b.dwgx", u"c.dxf"}));

  entries.clear();
  ASSERT_TRUE(files.List(u"C:\\*", entries));
  ASSERT_EQ(entries.size(), 1u);  // no dot entries in a drive root
  EXPECT_EQ(entries[0].attributes, kAttributeDirectory);
  EXPECT_FALSE(files.List(u"C:\\Dwg\\*.txt", entries));
  EXPECT_FALSE(files.List(u"C:\\Dwg\\A.DWG\\*", entries));

  DirEntry entry;
  EXPECT_TRUE(files.Find(u"c:\\dwg\\a.dwg", entry));
  EXPECT_EQ(entry.name, u"A.DWG");
  EXPECT_FALSE(files.Find(u"C:\\", entry));
  EXPECT_FALSE(files.Find(u"C:\\Dwg\\missing.dwg", entry));
}

}  // namespace
