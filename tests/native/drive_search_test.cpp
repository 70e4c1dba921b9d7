// The search of the fixed drives for one drawing by name.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#if defined(__unix__)
#include <pthread.h>
#endif

#include "storage/drive_search.h"
#include "fake_file_system.h"

using namespace tovrel;
using tovrel::test::FakeFileSystem;

namespace {

std::u16string Found(const FileSystem& files, std::u16string_view name) {
  return SearchFixedDrives(files, name).value_or(u"<not found>");
}

TEST(DriveSearchTest, LooksOnlyOnFixedDrivesFromCToZ) {
  FakeFileSystem files;
  files.AddFile(u"D:\\plan.dwg");
  files.AddFile(u"F:\\work\\plan.dwg");
  files.AddFile(u"E:\\old\\plan.dwg");
  files.AddFile(u"A:\\plan.dwg");
  const struct {
    const char16_t* fixed;
    const char16_t* found;
  } cases[] = {{u"FCE", u"E:\\old\\plan.dwg"}, {u"CF", u"F:\\work\\plan.dwg"}, {u"D", u"D:\\plan.dwg"},
               {u"", u"<not found>"},        {u"AB", u"<not found>"}};
  for (const auto& c : cases) {
    files.SetFixedDrives(c.fixed);
    EXPECT_EQ(Found(files, u"plan.dwg"), c.found) << Utf16ToUtf8(c.fixed);
  }
}

TEST(DriveSearchTest, TheFirstHitWinsAFoldersFilesBeforeItsSubfolders) {
  FakeFileSystem files;
  files.SetFixedDrives(u"C");
  files.AddFile(u"C:\\a\\deep\\x.dwg");
  files.AddFile(u"C:\\b\\x.dwg");
  EXPECT_EQ(Found(files, u"x.dwg"), u"C:\\a\\deep\\x.dwg");  // a's subtree before b
  files.AddFile(u"C:\\a\\x.dwg");
  EXPECT_EQ(Found(files, u"x.dwg"), u"C:\\a\\x.dwg");
  files.AddFile(u"C:\\x.dwg");
  EXPECT_EQ(Found(files, u"x.dwg"), u"C:\\x.dwg");
}

TEST(DriveSearchTest, APartialPathMustMatchWholeFolderNames) {
  FakeFileSystem files;
  files.SetFixedDrives(u"C");
  files.AddFile(u"C:\\first\\x.dwg");
  files.AddFile(u"C:\\first\\asub\\x.dwg");
  files.AddFile(u"C:\\second\\proj\\sub\\x.dwg");
  for (const char16_t* name : {u"sub\\x.dwg", u"proj\\sub\\x.dwg", u"\\sub\\x.dwg", u"sub/x.dwg"}) {
    EXPECT_EQ(Found(files, name), u"C:\\second\\proj\\sub\\x.dwg") << Utf16ToUtf8(name);
  }
  for (const char16_t* name : {u"ub\\x.dwg", u".dwg", u"", u"\\"}) {
    EXPECT_FALSE(SearchFixedDrives(files, name)) << Utf16ToUtf8(name);
  }
}

TEST(DriveSearchTest, NamesInAnyScriptCompareWithoutRegardToCase) {
  FakeFileSystem files;
  files.SetFixedDrives(u"CD");
  files.AddFile(u"C:\\Projects\\Plan A.DWG");
  files.AddFile(u"C:\\設計\\図面 ０１.dwg");
  files.AddFile(u"D:\\Проект\\План.dwg");
  files.AddFile(u"D:\\ＦＵＬＬ\\ａｂｃ.dwg");
  EXPECT_EQ(Found(files, u"PROJECTS\\plan a.dwg"), u"C:\\Projects\\Plan A.DWG");
  EXPECT_EQ(Found(files, u"図面 ０１.DWG"), u"C:\\設計\\図面 ０１.dwg");
  EXPECT_EQ(Found(files, u"проект\\план.DWG"), u"D:\\Проект\\План.dwg");
  EXPECT_EQ(Found(files, u"ＡＢＣ.dwg"), u"D:\\ＦＵＬＬ\\ａｂｃ.dwg");
  EXPECT_FALSE(SearchFixedDrives(files, u"図面 01.dwg"));  // full-width digits differ
}

TEST(DriveSearchTest, FoldersAreNoHitsUnreadableOnesAreSkippedReparsePointsNotEntered) {
  FakeFileSystem files;
  files.SetFixedDrives(u"C");
  files.AddFolder(u"C:\\a\\x.dwg");
  files.AddFile(u"C:\\a\\x.dwg\\inner.dwg");
  files.AddFile(u"C:\\locked\\x.dwg");
  files.DenyListing(u"C:\\locked");
  files.AddFolder(u"C:\\junction", kAttributeDirectory | kAttributeReparsePoint);
  files.AddFile(u"C:\\junction\\x.dwg");
  EXPECT_EQ(Found(files, u"x.dwg\\inner.dwg"), u"C:\\a\\x.dwg\\inner.dwg");
  EXPECT_FALSE(SearchFixedDrives(files, u"x.dwg"));
  for (const std::u16string& pattern : files.ListedPatterns()) {
    EXPECT_EQ(pattern.find(u"junction"), std::u16string::npos);
  }
  files.AddFolder(u"C:\\hidden", kAttributeDirectory | kAttributeHidden | kAttributeSystem);
  files.AddFile(u"C:\\hidden\\x.dwg");
  EXPECT_EQ(Found(files, u"x.dwg"), u"C:\\hidden\\x.dwg");
  // A file that is a reparse point (a link to a file) is still a file.
  files.AddFile(u"C:\\a\\x.dwg\\x.dwg", 0, kAttributeArchive | kAttributeReparsePoint);
  EXPECT_EQ(Found(files, u"x.dwg"), u"C:\\a\\x.dwg\\x.dwg");
}

// Every folder holds one folder "d", down to `depth`, where it holds "x.dwg".
class BottomlessDrive final : public FileSystem {
public:
  explicit BottomlessDrive(std::size_t depth) : depth_(depth) {}
  bool List(const std::u16string& pattern, std::vector<DirEntry>& entries) const override {
    const std::size_t level = (pattern.size() - 4) / 2;  // "C:\*", "C:\d\*", ...
    deepest_ = std::max(deepest_, level);
    entries.push_back(level < depth_ ? DirEntry{u"d", kAttributeDirectory, 0} : DirEntry{u"x.dwg", 0, 0});
    return true;
  }
  bool Find(const std::u16string&, DirEntry&) const override { return false; }
  LocalTime ToLocalTime(std::uint64_t) const override { return {}; }
  bool IsFixedDrive(char16_t letter) const override { return letter == u'C'; }
  std::size_t depth_;
  mutable std::size_t deepest_ = 0;
};

TEST(DriveSearchTest, AVeryDeepTreeIsWalkedWithoutExhaustingTheStack) {
  const std::size_t depth = 2000;
  const BottomlessDrive drive(depth);
  std::optional<std::u16string> found;
  auto search = [&] { found = SearchFixedDrives(drive, u"d\\x.dwg"); };
#if defined(__unix__)
  // On a 256 KiB stack, which a walk recursing once per level would overflow.
  pthread_attr_t attributes;
  ASSERT_EQ(pthread_attr_init(&attributes), 0);
  ASSERT_EQ(pthread_attr_setstacksize(&attributes, 256 * 1024), 0);
  pthread_t thread;
  const auto run = [](void* work) -> void* {
    (*static_cast<decltype(search)*>(work))();
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attributes, run, &search), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attributes);
#else
  search();
#endif
  ASSERT_TRUE(found);
  EXPECT_EQ(found->size(), 2 + 2 * depth + 6);
  EXPECT_EQ(found->substr(found->size() - 8), u"\\d\\x.dwg");
  EXPECT_EQ(drive.deepest_, depth);
}

}  // namespace
