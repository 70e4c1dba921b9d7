// The engine on disk: encodings it reads, the file it writes, and what it
// does when the disk refuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "storage/ini_file.h"

namespace fs = std::filesystem;
using tovrel::IniFile;
using tovrel::ReadStatus;

namespace {

class IniFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance();
    dir_ = fs::temp_directory_path() /
           ("tovrel-ini-" + std::to_string(test->random_seed()) + "-" + test->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path P(const std::string& name) const { return dir_ / name; }
  IniFile Open(const fs::path& p) const { return IniFile(tovrel::ToU16(p.string()), ansi_); }
  static void Put(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
  }
  static std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static std::string Utf16(const std::u16string& s, bool bigEndian = false) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : s) {
      const char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
      out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return out;
  }

  fs::path dir_;
  tovrel::Cp1252CodePage ansi_;
};

}  // namespace

TEST_F(IniFileTest, ReadsEveryEncodingTheProgramMeets) {
  const std::u16string text = u"[s]\r\npath=c:\\図面\\é.dwg\r\n";
  Put(P("le.ini"), Utf16(text));
  Put(P("u8.ini"), "\xEF\xBB\xBF" + tovrel::Utf16ToUtf8(text));
  Put(P("be.ini"), Utf16(text, true));
  for (const char* name : {"le.ini", "u8.ini", "be.ini"}) {
    const IniFile f = Open(P(name));
    EXPECT_EQ(f.LoadStatus(), ReadStatus::Ok);
    EXPECT_EQ(f.GetString(u"s", u"path", u"", 260), u"c:\\図面\\é.dwg") << name;
  }
}

TEST_F(IniFileTest, AnAnsiFileThatIsRewrittenBecomesUtf16AndKeepsItsText) {
  // Without a byte-order mark the bytes are ANSI text of the code page.
  Put(P("old.ini"), "; kept\n[s]\nname=caf\xE9 \x80\n");
  IniFile f = Open(P("old.ini"));
  EXPECT_EQ(f.GetString(u"s", u"name", u"", 260), u"café €");
  f.WriteString(u"s", u"title", u"한국어 中文");
  ASSERT_TRUE(f.Save());
  const IniFile again = Open(P("old.ini"));
  EXPECT_EQ(again.GetString(u"s", u"name", u"", 260), u"café €");
  EXPECT_EQ(again.GetString(u"s", u"title", u"", 260), u"한국어 中文");
  EXPECT_EQ(Slurp(P("old.ini")).rfind(Utf16(u"; kept\r\n"), 0), 0u);
}

TEST_F(IniFileTest, MissingFileReadsAsDefaultsAndIsCreatedOnSave) {
  IniFile f = Open(P("Tovrel.ini"));
  EXPECT_EQ(f.LoadStatus(), ReadStatus::NotFound);
  EXPECT_EQ(f.GetString(u"setting", u"file_folder", u"c:\\", 260), u"c:\\");
  EXPECT_TRUE(f.Save());  // nothing changed: nothing written
  EXPECT_FALSE(fs::exists(P("Tovrel.ini")));
  f.WriteString(u"setting", u"file_folder", u"c:\\図面");
  ASSERT_TRUE(f.Save());
  EXPECT_EQ(Slurp(P("Tovrel.ini")), Utf16(u"[setting]\r\nfile_folder=c:\\図面\r\n"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()),
            1);  // no temporary file left
}

TEST_F(IniFileTest, FailedWriteIsReportedAndTheOldFileStays) {
  Put(P("Tovrel.ini"), Utf16(u"[setting]\r\nmoji_type=1\r\n"));
  const std::string before = Slurp(P("Tovrel.ini"));
  IniFile f = Open(P("Tovrel.ini"));
  f.WriteString(u"setting", u"moji_type", u"2");
  // Every name the temporary file could take is occupied by a folder.
  for (int i = 0; i < 10; ++i) fs::create_directory(P("Tovrel.ini.tmp" + std::to_string(i) + "~"));
  std::u16string error;
  EXPECT_FALSE(f.Save(&error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(Slurp(P("Tovrel.ini")), before);
  // The changes are still there to be saved once the disk allows it.
  for (int i = 0; i < 10; ++i) fs::remove(P("Tovrel.ini.tmp" + std::to_string(i) + "~"));
  ASSERT_TRUE(f.Save());
  EXPECT_EQ(Open(P("Tovrel.ini")).GetInt(u"setting", u"moji_type", 0), 2u);
}

TEST_F(IniFileTest, MissingFolderOrUnreadableFileFailsAndNothingIsReplaced) {
  IniFile f = Open(P("no-such-folder") / "x.ini");
  f.WriteString(u"s", u"k", u"v");
  std::u16string error;
  EXPECT_FALSE(f.Save(&error));
  EXPECT_NE(error.find(u"Cannot create"), std::u16string::npos);
  // A folder where the file should be: it exists but cannot be read.
  fs::create_directory(P("locked.ini"));
  IniFile locked = Open(P("locked.ini"));
  EXPECT_EQ(locked.LoadStatus(), ReadStatus::Failed);
  locked.WriteString(u"s", u"k", u"v");
  EXPECT_FALSE(locked.Save());
  EXPECT_TRUE(fs::is_directory(P("locked.ini")));
}
