// The shipped text catalog, read with the program's own INI engine: every text
// the program asks for exists in all four languages and fits its 64-unit slot,
// and the texts whose beginning the program relies on begin as it expects.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/ini_file.h"

#ifndef TOVREL_CATALOG_FILE
#error "TOVREL_CATALOG_FILE must name the generated Tovrel_wchar.ini"
#endif

using namespace tovrel;

namespace {

constexpr std::size_t kMaxTextLength = 63;
const std::vector<std::string> kLanguages = {"j", "e", "k", "c"};  // Japanese, English, Korean, Chinese

std::string Key(int n, const std::string& table, const std::string& lang) {
  return "No." + std::to_string(n) + ":" + table + "-" + lang;
}

class CatalogTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() { catalog_ = new IniFile(ToU16(TOVREL_CATALOG_FILE), Cp1252CodePage{}); }
  static void TearDownTestSuite() { delete catalog_; }
  void SetUp() override { ASSERT_EQ(catalog_->LoadStatus(), ReadStatus::Ok) << TOVREL_CATALOG_FILE; }

  // Read with room to spare, so that an over-long text shows its true length.
  static std::u16string Text(const char* section, const std::string& key) {
    return catalog_->GetString(ToU16(section), ToU16(key), u"", 1024);
  }
  static inline IniFile* catalog_ = nullptr;
};

TEST_F(CatalogTest, EveryUsedTextIsThereInEveryLanguageAndFits) {
  const struct {
    const char* section;
    std::vector<std::pair<int, int>> ranges;
    std::vector<std::string> parts;  // a message has a body 'a' and a caption 'b'
  } tables[] = {{"dialog", {{0, 4}, {10, 39}, {46, 77}}, {""}},
                {"code", {{0, 8}, {10, 70}}, {""}},
                {"meg", {{2, 25}, {27, 54}}, {"a", "b"}}};
  for (const auto& t : tables) {
    for (const auto& [first, last] : t.ranges) {
      for (int n = first; n <= last; ++n) {
        for (const std::string& lang : kLanguages) {
          for (const std::string& part : t.parts) {
            const std::string key = Key(n, t.section, lang + part);
            const std::u16string text = Text(t.section, key);
            EXPECT_FALSE(text.empty()) << "[" << t.section << "] " << key << " is missing or empty";
            EXPECT_LE(text.size(), kMaxTextLength) << "[" << t.section << "] " << key << " = " << Utf16ToUtf8(text);
          }
        }
      }
    }
  }
}

// A column whose output mode writes its cell's first character sends these
// words as the keyword of the plot prompt.
TEST_F(CatalogTest, OrientationAndPlotAreaWordsBeginWithTheirKeyword) {
  const char16_t keywords[] = {u'P', u'L', u'L', u'E', u'D'};
  for (int n = 0; n < 5; ++n) {
    for (const std::string& lang : kLanguages) {
      const std::u16string text = Text("code", Key(n, "code", lang));
      EXPECT_TRUE(!text.empty() && text[0] == keywords[n]) << Key(n, "code", lang) << " = " << Utf16ToUtf8(text);
    }
  }
}

// The template editor stores the number at the start of the chosen mode text:
// output modes 55-59, display modes 60-64, edit modes 65-70, each from 0.
TEST_F(CatalogTest, ModeChoicesBeginWithTheValueTheyStandFor) {
  for (const auto& [first, count] : {std::pair{55, 5}, std::pair{60, 5}, std::pair{65, 6}}) {
    for (int value = 0; value < count; ++value) {
      for (const std::string& lang : kLanguages) {
        const std::u16string text = Text("code", Key(first + value, "code", lang));
        EXPECT_TRUE(text.size() > 1 && text[0] == u'0' + value && (text[1] < u'0' || text[1] > u'9'))
            << Key(first + value, "code", lang) << " = " << Utf16ToUtf8(text);
      }
    }
  }
}

// Code text 38 is a format that receives the active template's title.
TEST_F(CatalogTest, InitialValuesTitleHasExactlyOneTitlePlaceholder) {
  for (const std::string& lang : kLanguages) {
    const std::u16string text = Text("code", Key(38, "code", lang));
    const std::size_t at = text.find(u'%');
    EXPECT_TRUE(at != std::u16string::npos && text.compare(at, 2, u"%s") == 0 &&
                text.find(u'%', at + 2) == std::u16string::npos)
        << Key(38, "code", lang) << " = " << Utf16ToUtf8(text);
  }
}

}  // namespace
