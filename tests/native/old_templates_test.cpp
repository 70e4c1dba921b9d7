// Old template files ("tovrl_set1.ini", "tovrl_set2.ini") converted into
// the 20 templates, with Japanese files in code page 932.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "storage/old_templates.h"

using namespace tovrel;

namespace {

// A small stand-in for code page 932 (Shift_JIS): ASCII, the half-width
// katakana, and the two-byte characters these tests use. A lead byte takes
// the next byte with it, as MultiByteToWideChar does.
class FakeCp932 final : public AnsiCodePage {
public:
  std::u16string ToUtf16(std::string_view bytes) const override {
    static const std::map<std::string, char16_t> kPairs = {
        {"\x97\x70", u'\u7528'},  // 用
        {"\x8e\x86", u'\u7d19'},  // 紙
        {"\x95\x5c", u'\u8868'},  // 表 (second byte is a backslash)
        {"\x83\x5c", u'\u30bd'},  // ソ (second byte is a backslash)
        {"\x89\xa1", u'\u6a2a'},  // 横
        {"\x8f\x63", u'\u7e26'},  // 縦
    };
    std::u16string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      const auto b = static_cast<unsigned char>(bytes[i]);
      if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) {
        if (i + 1 == bytes.size()) {
          out += u'\u30fb';  // a lead byte without its partner
          break;
        }
        const auto it = kPairs.find(std::string(bytes.substr(i, 2)));
        out += it != kPairs.end() ? it->second : u'\u30fb';
        ++i;
      } else if (b >= 0xA1 && b <= 0xDF) {
        out += static_cast<char16_t>(0xFF61 + (b - 0xA1));
      } else {
        out += static_cast<char16_t>(b);
      }
    }
    return out;
  }
  std::string FromUtf16(std::u16string_view) const override { return {}; }
};

const Cp1252CodePage kCp1252;

std::unique_ptr<TemplateSet> Templates() { return std::make_unique<TemplateSet>(); }

std::unique_ptr<TemplateSet> Columns(const std::string& bytes, const AnsiCodePage& ansi = kCp1252) {
  auto set = Templates();
  ReadOldColumns(bytes, ansi, *set);
  return set;
}

std::string TitleFile(const std::map<int, std::pair<std::string, std::string>>& lines) {
  std::string file;
  for (int t = 0; t < kTemplateCount; ++t) {
    const auto it = lines.find(t);
    file += (it != lines.end() ? it->second.first : "0") + "\r\n";
    file += (it != lines.end() ? it->second.second : "") + "\r\n";
  }
  return file;
}

}  // namespace

TEST(OldColumnFile, EveryFieldOfALineFillsItsColumn) {
  const auto set = Columns("3;7;Paper;4;4;5;60;A4;A3;;;;A3;\r\n");
  const TemplateColumn& c = (*set)[3].columns[7];
  EXPECT_EQ(c.inUse, 1);
  EXPECT_EQ(c.itemText, u"Paper");
  EXPECT_EQ(c.outputMode, 4);
  EXPECT_EQ(c.displayMode, 4);
  EXPECT_EQ(c.editMode, 5);
  EXPECT_EQ(c.width, 60);
  EXPECT_EQ(c.selectText, (std::array<std::u16string, 5>{u"A4", u"A3", u"", u"", u""}));
  EXPECT_EQ(c.initialValue, u"A3");
  EXPECT_EQ(c.command, u"");
  EXPECT_EQ((*set)[3].columns[6].inUse, 0);
}

TEST(OldColumnFile, NumbersAreReadAsFarAsTheirDigitsGo) {
  // A line with fewer fields leaves the rest empty or 0; a later line for
  // the same column replaces the earlier one; numbers stop at the 32-bit ends.
  const auto set = Columns(" +2;-0;Name;12abc;- 5;99999999999;-99999999999\r\n5;1\r\n"
                           "5;1;Second;1;2;3;4;a;b;c;d;e;init;-PLOT;extra\r\n");
  const TemplateColumn& first = (*set)[2].columns[0];
  EXPECT_EQ(first.itemText, u"Name");
  EXPECT_EQ(first.outputMode, 12);
  EXPECT_EQ(first.displayMode, 0);
  EXPECT_EQ(first.editMode, 2147483647);
  EXPECT_EQ(first.width, -2147483647 - 1);
  EXPECT_EQ(first.command, u"");
  const TemplateColumn& second = (*set)[5].columns[1];
  EXPECT_EQ(second.itemText, u"Second");
  EXPECT_EQ(second.selectText[4], u"e");
  EXPECT_EQ(second.initialValue, u"init");
  EXPECT_EQ(second.command, u"-PLOT");
}

TEST(OldColumnFile, ReadingEndsQuietlyAtTheFirstLineItCannotUse) {
  const struct {
    const char* why;
    std::string file;
  } cases[] = {
      {"an empty line", "0;0;a\r\n\r\n0;1;b\r\n"},
      {"a line under four bytes", "0;0;a\r\n0\r\n0;1;b\r\n"},
      {"template index 25", "0;0;a\r\n25;1;x\r\n0;1;b\r\n"},
      {"a negative template index", "0;0;a\r\n-1;1;x\r\n0;1;b\r\n"},
      {"column index 50", "0;0;a\r\n0;50;x\r\n0;1;b\r\n"},
      {"a negative column index", "0;0;a\r\n0;-2;x\r\n0;1;b\r\n"},
  };
  for (const auto& c : cases) {
    const auto set = Columns(c.file);
    EXPECT_EQ((*set)[0].columns[0].itemText, u"a") << c.why;
    EXPECT_EQ((*set)[0].columns[1].inUse, 0) << c.why;
  }
  // Every column is cleared first; a last line without a line end counts.
  auto set = Templates();
  (*set)[9].columns[9].inUse = 1;
  ReadOldColumns("1;0;last", kCp1252, *set);
  EXPECT_EQ((*set)[9].columns[9].inUse, 0);
  EXPECT_EQ((*set)[1].columns[0].itemText, u"last");
}

TEST(OldColumnFile, TextsAreCutToTheirFields) {
  const std::string item(20, 'i'), choice(18, 's'), initial(140, 'f'), command(16, 'k');
  const auto set = Columns("0;0;" + item + ";0;0;0;0;" + choice + ";;;;;" + initial + ";" + command + "\r\n");
  const TemplateColumn& c = (*set)[0].columns[0];
  EXPECT_EQ(c.itemText, std::u16string(15, u'i'));
  EXPECT_EQ(c.selectText[0], std::u16string(15, u's'));
  EXPECT_EQ(c.initialValue, std::u16string(127, u'f'));
  EXPECT_EQ(c.command, std::u16string(15, u'k'));
}

TEST(OldColumnFile, JapaneseTextsInCodePage932) {
  // 用紙;表ソ;横;縦: the second bytes of 表 and ソ are backslashes.
  const std::string line = "4;2;\x97\x70\x8e\x86;4;4;2;60;\x89\xa1;\x8f\x63;;;;\x95\x5c\x83\x5c;\xb1\xb2\r\n";
  const auto set = Columns(line, FakeCp932{});
  const TemplateColumn& c = (*set)[4].columns[2];
  EXPECT_EQ(c.itemText, u"\u7528\u7d19");
  EXPECT_EQ(c.selectText[0], u"\u6a2a");
  EXPECT_EQ(c.selectText[1], u"\u7e26");
  EXPECT_EQ(c.initialValue, u"\u8868\u30bd");
  EXPECT_EQ(c.command, u"\uff71\uff72");
  EXPECT_EQ(c.width, 60);
}

TEST(OldTitleFile, FlagAndTitleLinesOfEachTemplate) {
  auto set = Templates();
  (*set)[5].inUse = 1;
  (*set)[5].title = u"before";
  ReadOldTitles(TitleFile({{0, {"1", "Plot A3"}},
                           {1, {"1xyz", "Flag with more"}},
                           {2, {"0", "Not in use"}},
                           {3, {"", "Empty flag"}},
                           {4, {"1", std::string(70, 'T')}},
                           {6, {"1", "\x97\x70\x8e\x86\x95\x5c"}}}),
                FakeCp932{}, *set);
  const struct {
    int index;
    std::int32_t inUse;
    std::u16string title;
  } expected[] = {
      {0, 1, u"Plot A3"}, {1, 1, u"Flag with more"}, {2, 0, u"Not in use"},   {3, 0, u"Empty flag"},
      {4, 1, std::u16string(63, u'T')}, {5, 0, u""},  {6, 1, u"\u7528\u7d19\u8868"},
  };
  for (const auto& e : expected) {
    EXPECT_EQ((*set)[e.index].inUse, e.inUse) << e.index;
    EXPECT_EQ((*set)[e.index].title, e.title) << e.index;
  }
}

TEST(OldTitleFile, ALastTitleWithoutLineEndKeepsEveryCharacter) {
  std::string file = TitleFile({{19, {"1", "Last"}}});
  file.resize(file.size() - 2);
  auto set = Templates();
  ReadOldTitles(file, kCp1252, *set);
  EXPECT_EQ((*set)[19].title, u"Last");
  EXPECT_EQ((*set)[19].inUse, 1);
  // A short file: the templates it does not reach are empty and not in use.
  ReadOldTitles("1\r\nOnly\r\n1\r\n", kCp1252, *set);
  EXPECT_EQ((*set)[0].title, u"Only");
  EXPECT_EQ((*set)[1].inUse, 0);  // in use without a title is not in use
  EXPECT_EQ((*set)[19].title, u"");
}

TEST(OldLines, ALineEndsAtCarriageReturnAndLineFeedAndTheRestOfAnOverlongLineIsSkipped) {
  const std::string file = std::string("a\nb\r\n") + std::string(300, 'x') + "\r\nend";
  OldLineReader reader(file);
  std::string line;
  ASSERT_TRUE(reader.Next(line));
  EXPECT_EQ(line, "a\nb\r\n");  // a line feed alone does not end a line
  ASSERT_TRUE(reader.Next(line));
  EXPECT_EQ(line, std::string(259, 'x'));
  ASSERT_TRUE(reader.Next(line));
  EXPECT_EQ(line, "end");
  EXPECT_FALSE(reader.Next(line));

  // The rest of a long column line neither lands in template 0 column 0
  // nor ends the conversion: the lines after it are read.
  auto set = Templates();
  const std::string columns =
      "2;3;Long;4;4;1;60;" + std::string(260, 'z') + ";tail\r\n1;0;Name;1;1;0;100\r\n";
  ReadOldColumns(columns, kCp1252, *set);
  EXPECT_EQ((*set)[2].columns[3].itemText, u"Long");
  EXPECT_EQ((*set)[0].columns[0].inUse, 0);
  EXPECT_EQ((*set)[1].columns[0].itemText, u"Name");
}

TEST(OldConversion, TheChosenFilesFolderGivesThePairAndAMissingFileChangesNothing) {
  EXPECT_EQ(FolderOfPath(u"C:\\old\\set\\tovrl_set2.ini"), u"C:\\old\\set\\");
  EXPECT_EQ(FolderOfPath(u"tovrl_set1.ini"), u"");

  const std::string titles = TitleFile({{1, {"1", "Old one"}}});
  const std::string columns = "1;0;Name;1;1;0;100\r\n";
  std::map<std::u16string, std::string> disk;
  const ReadFileFunction read = [&](const std::u16string& path) {
    const auto it = disk.find(path);
    return it == disk.end() ? FileContents{ReadStatus::NotFound, {}} : FileContents{ReadStatus::Ok, it->second};
  };
  auto set = Templates();
  (*set)[0].inUse = 1;
  (*set)[0].title = u"Current";
  (*set)[0].columns[0].inUse = 1;

  EXPECT_EQ(ConvertOldTemplates(u"C:\\old\\", kCp1252, *set, read), OldConversion::TitleFileUnreadable);
  EXPECT_EQ((*set)[0].title, u"Current");

  disk[u"C:\\old\\tovrl_set1.ini"] = titles;
  EXPECT_EQ(ConvertOldTemplates(u"C:\\old\\", kCp1252, *set, read), OldConversion::ColumnFileUnreadable);
  EXPECT_EQ((*set)[0].title, u"Current");
  EXPECT_EQ((*set)[0].inUse, 1);
  EXPECT_EQ((*set)[1].title, u"");
  EXPECT_EQ((*set)[0].columns[0].inUse, 1);

  disk[u"C:\\old\\tovrl_set2.ini"] = columns;
  EXPECT_EQ(ConvertOldTemplates(u"C:\\old\\", kCp1252, *set, read), OldConversion::Converted);
  EXPECT_EQ((*set)[0].columns[0].inUse, 0);
  EXPECT_EQ((*set)[1].columns[0].itemText, u"Name");
  EXPECT_EQ((*set)[1].columns[0].width, 100);
}
