// The engine on disk: encodings it reads, the file it writes, and what it
// does when the disk refuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "storage/ini_file.h"

namespace fs = std::filesystem;
using tovrel::Cp1252CodePage;
using tovrel::IniFile;
using tovrel::ReadStatus;
using tovrel::ToU16;

namespace {

class IniFileTest : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("tovrel-ini-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path P(const std::string& name) const { return dir_ / name; }
  static std::u16string U(const fs::path& p) { return ToU16(p.string()); }

  static void Put(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
  }
  static std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static std::string Utf16Le(const std::u16string& s) {
    std::string out;
    tovrel::AppendUtf16Le(out, s);
    return out;
  }

  fs::path dir_;
  Cp1252CodePage ansi_;
};

}  // namespace

TEST_F(IniFileTest, ReadsEveryEncodingTheProgramMeets) {
  const std::u16string text = u"[s]\r\npath=c:\\図面\\é.dwg\r\n";
  Put(P("le.ini"), "\xFF\xFE" + Utf16Le(text));
  Put(P("u8.ini"), "\xEF\xBB\xBF" + tovrel::Utf16ToUtf8(text));
  std::string be = "\xFE\xFF";
  for (char16_t c : text) {
    be += static_cast<char>(c >> 8);
    be += static_cast<char>(c & 0xFF);
  }
  Put(P("be.ini"), be);
  for (const char* name : {"le.ini", "u8.ini", "be.ini"}) {
    IniFile f(U(P(name)), ansi_);
    EXPECT_EQ(f.LoadStatus(), ReadStatus::Ok);
    EXPECT_EQ(f.GetString(u"s", u"path", u"", 260), u"c:\\図面\\é.dwg") << name;
  }
  // Without a byte-order mark the bytes are ANSI text of the code page.
  Put(P("ansi.ini"), "[s]\npath=caf\xE9 \x80\n");
  IniFile ansi(U(P("ansi.ini")), ansi_);
  EXPECT_EQ(ansi.GetString(u"s", u"path", u"", 260), u"café €");
}

TEST_F(IniFileTest, MissingFileReadsAsDefaultsAndIsCreatedOnSave) {
  IniFile f(U(P("Tovrel.ini")), ansi_);
  EXPECT_EQ(f.LoadStatus(), ReadStatus::NotFound);
  EXPECT_EQ(f.GetString(u"setting", u"file_folder", u"c:\\", 260), u"c:\\");
  EXPECT_TRUE(f.Save());  // nothing changed: nothing written
  EXPECT_FALSE(fs::exists(P("Tovrel.ini")));
  f.WriteString(u"setting", u"file_folder", u"c:\\図面");
  ASSERT_TRUE(f.Save());
  EXPECT_EQ(Slurp(P("Tovrel.ini")), "\xFF\xFE" + Utf16Le(u"[setting]\r\nfile_folder=c:\\図面\r\n"));
}

TEST_F(IniFileTest, AnAnsiFileThatIsRewrittenBecomesUtf16AndKeepsItsText) {
  Put(P("old.ini"), "; kept\n[s]\nname=caf\xE9\n");
  IniFile f(U(P("old.ini")), ansi_);
  f.WriteString(u"s", u"title", u"한국어 中文");
  ASSERT_TRUE(f.Save());
  IniFile again(U(P("old.ini")), ansi_);
  EXPECT_EQ(again.GetString(u"s", u"name", u"", 260), u"café");
  EXPECT_EQ(again.GetString(u"s", u"title", u"", 260), u"한국어 中文");
  EXPECT_EQ(Slurp(P("old.ini")).substr(0, 2), "\xFF\xFE");
  EXPECT_NE(Slurp(P("old.ini")).find(Utf16Le(u"; kept\r\n")), std::string::npos);
}

TEST_F(IniFileTest, SaveLeavesNoTemporaryFileBehind) {
  IniFile f(U(P("listview.ini")), ansi_);
  f.WriteString(u"listliew", u"max_cont", u"0");
  ASSERT_TRUE(f.Save());
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir_)) ++count;
  EXPECT_EQ(count, 1u);
}

TEST_F(IniFileTest, FailedWriteIsReportedAndTheOldFileStays) {
  Put(P("Tovrel.ini"), "\xFF\xFE" + Utf16Le(u"[setting]\r\nmoji_type=1\r\n"));
  const std::string before = Slurp(P("Tovrel.ini"));
  IniFile f(U(P("Tovrel.ini")), ansi_);
  f.WriteString(u"setting", u"moji_type", u"2");
  // Every name the temporary file could take is occupied by a folder, so
  // the new contents cannot be written anywhere.
  for (int i = 0; i < 10; ++i) fs::create_directory(P("Tovrel.ini.tmp" + std::to_string(i) + "~"));
  std::u16string error;
  EXPECT_FALSE(f.Save(&error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(Slurp(P("Tovrel.ini")), before);
  // The changes are still there to be saved once the disk allows it.
  for (int i = 0; i < 10; ++i) fs::remove(P("Tovrel.ini.tmp" + std::to_string(i) + "~"));
  ASSERT_TRUE(f.Save());
  EXPECT_EQ(IniFile(U(P("Tovrel.ini")), ansi_).GetInt(u"setting", u"moji_type", 0), 2u);
}

TEST_F(IniFileTest, WriteIntoAMissingFolderFails) {
  IniFile f(U(P("no-such-folder") / "x.ini"), ansi_);
  f.WriteString(u"s", u"k", u"v");
  std::u16string error;
  EXPECT_FALSE(f.Save(&error));
  EXPECT_NE(error.find(u"Cannot create"), std::u16string::npos);
}

TEST_F(IniFileTest, AFileThatCannotBeReadIsNeverReplaced) {
  // A folder where the file should be: it exists but cannot be read.
  fs::create_directory(P("locked.ini"));
  IniFile f(U(P("locked.ini")), ansi_);
  EXPECT_EQ(f.LoadStatus(), ReadStatus::Failed);
  f.WriteString(u"s", u"k", u"v");
  EXPECT_FALSE(f.Save());
  EXPECT_TRUE(fs::is_directory(P("locked.ini")));
}
