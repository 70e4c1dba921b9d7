// The shipped text catalog, read with the program's own INI engine: every
// number the program asks for is there in all four languages and fits its
// 64-character slot, and the texts whose beginning the program relies on
// begin as it expects.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "storage/ini_document.h"
#include "storage/ini_file.h"

#ifndef TOVREL_CATALOG_FILE
#error "TOVREL_CATALOG_FILE must name the generated Tovrel_wchar.ini"
#endif

using tovrel::IniFile;
using tovrel::ToU16;
using tovrel::Utf16ToUtf8;

namespace {

// Each text is read into 64 characters, the terminator included.
constexpr std::size_t kMaxTextLength = 63;

struct NumberRange {
  int first;
  int last;
};

// The numbers the program asks for, per table.
const std::vector<NumberRange> kDialogNumbers = {{0, 4}, {10, 39}, {46, 77}};
const std::vector<NumberRange> kCodeNumbers = {{0, 8}, {10, 70}};
const std::vector<NumberRange> kMessageNumbers = {{2, 25}, {27, 54}};
// Messages shown with Yes and No buttons.
const std::vector<int> kQuestionMessages = {29, 36, 39, 40, 41, 42, 43, 44, 46, 47};

// Key letters of Japanese, English, Korean and Chinese.
const std::vector<std::string> kLanguages = {"j", "e", "k", "c"};

std::vector<int> Numbers(const std::vector<NumberRange>& ranges) {
  std::vector<int> out;
  for (const NumberRange& r : ranges) {
    for (int n = r.first; n <= r.last; ++n) out.push_back(n);
  }
  return out;
}

std::string DialogKey(int n, const std::string& lang) {
  return "No." + std::to_string(n) + ":dialog-" + lang;
}
std::string CodeKey(int n, const std::string& lang) {
  return "No." + std::to_string(n) + ":code-" + lang;
}
// part 'a' is the body, 'b' the caption.
std::string MessageKey(int n, const std::string& lang, char part) {
  return "No." + std::to_string(n) + ":meg-" + lang + part;
}

// The number at the start of a text as the template editor reads it:
// leading blanks, an optional sign, decimal digits; 0 without digits.
int LeadingNumber(const std::u16string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  int sign = 1;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) sign = text[i++] == u'-' ? -1 : 1;
  int value = 0;
  while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') value = value * 10 + (text[i++] - u'0');
  return sign * value;
}

class CatalogTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    catalog_ = new IniFile(ToU16(TOVREL_CATALOG_FILE), tovrel::Cp1252CodePage{});
  }
  static void TearDownTestSuite() {
    delete catalog_;
    catalog_ = nullptr;
  }
  void SetUp() override {
    ASSERT_EQ(catalog_->LoadStatus(), tovrel::ReadStatus::Ok)
        << "cannot read " << TOVREL_CATALOG_FILE;
  }

  // The whole value, read with room to spare so that an over-long text
  // shows its true length instead of being cut to the slot.
  static std::u16string Text(const char* section, const std::string& key) {
    return catalog_->GetString(ToU16(section), ToU16(key), u"", 1024);
  }

  // A text the program needs: present, not empty, fits its slot.
  static void ExpectUsable(const char* section, const std::string& key) {
    const std::u16string text = Text(section, key);
    EXPECT_FALSE(text.empty()) << "[" << section << "] " << key << " is missing or empty";
    EXPECT_LE(text.size(), kMaxTextLength)
        << "[" << section << "] " << key << " = " << Utf16ToUtf8(text);
  }

  static IniFile* catalog_;
};

IniFile* CatalogTest::catalog_ = nullptr;

TEST_F(CatalogTest, IsUtf16LeWithByteOrderMarkAndCrlfLineEnds) {
  std::ifstream in(TOVREL_CATALOG_FILE, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  tovrel::TextEncoding encoding = tovrel::TextEncoding::Ansi;
  const std::u16string text = tovrel::DecodeProfileBytes(bytes, tovrel::Cp1252CodePage{}, &encoding);
  EXPECT_EQ(encoding, tovrel::TextEncoding::Utf16Le);
  ASSERT_FALSE(text.empty());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\n') {
      ASSERT_TRUE(i > 0 && text[i - 1] == u'\r') << "bare line feed at character " << i;
    }
  }
}

TEST_F(CatalogTest, EveryDialogTextIsThereInEveryLanguage) {
  for (int n : Numbers(kDialogNumbers)) {
    for (const std::string& lang : kLanguages) ExpectUsable("dialog", DialogKey(n, lang));
  }
}

TEST_F(CatalogTest, EveryCodeTextIsThereInEveryLanguage) {
  for (int n : Numbers(kCodeNumbers)) {
    for (const std::string& lang : kLanguages) ExpectUsable("code", CodeKey(n, lang));
  }
}

TEST_F(CatalogTest, EveryMessageHasBodyAndCaptionInEveryLanguage) {
  for (int n : Numbers(kMessageNumbers)) {
    for (const std::string& lang : kLanguages) {
      ExpectUsable("meg", MessageKey(n, lang, 'a'));
      ExpectUsable("meg", MessageKey(n, lang, 'b'));
    }
  }
}

// A column whose output mode writes the first character of its cell sends
// these words to AutoCAD as the keyword of the plot prompt.
TEST_F(CatalogTest, OrientationAndPlotAreaWordsBeginWithTheAutocadKeyword) {
  const struct {
    int number;
    char16_t keyword;
  } words[] = {{0, u'P'}, {1, u'L'}, {2, u'L'}, {3, u'E'}, {4, u'D'}};
  for (const auto& w : words) {
    for (const std::string& lang : kLanguages) {
      const std::string key = CodeKey(w.number, lang);
      const std::u16string text = Text("code", key);
      ASSERT_FALSE(text.empty()) << key;
      EXPECT_EQ(text.front(), w.keyword) << key << " = " << Utf16ToUtf8(text);
    }
  }
}

// The template editor stores the number at the start of the chosen text.
TEST_F(CatalogTest, ModeChoicesBeginWithTheValueTheyStandFor) {
  const struct {
    const char* mode;
    int firstNumber;
    int valueCount;
  } modes[] = {{"outputMode", 55, 5}, {"displayMode", 60, 5}, {"editMode", 65, 6}};
  for (const auto& m : modes) {
    for (int value = 0; value < m.valueCount; ++value) {
      for (const std::string& lang : kLanguages) {
        const std::string key = CodeKey(m.firstNumber + value, lang);
        const std::u16string text = Text("code", key);
        ASSERT_FALSE(text.empty()) << key;
        EXPECT_TRUE(text.front() >= u'0' && text.front() <= u'9')
            << key << " (" << m.mode << " " << value << ") = " << Utf16ToUtf8(text);
        EXPECT_EQ(LeadingNumber(text), value)
            << key << " (" << m.mode << " " << value << ") = " << Utf16ToUtf8(text);
        EXPECT_GT(text.size(), std::to_string(value).size())
            << key << " names no mode after its number";
      }
    }
  }
}

// Code text 38 is a format that receives the active template's title.
TEST_F(CatalogTest, InitialValuesTitleHasExactlyOneTitlePlaceholder) {
  for (const std::string& lang : kLanguages) {
    const std::string key = CodeKey(38, lang);
    const std::u16string text = Text("code", key);
    const std::size_t at = text.find(u"%s");
    ASSERT_NE(at, std::u16string::npos) << key << " = " << Utf16ToUtf8(text);
    EXPECT_EQ(text.find(u'%', at + 2), std::u16string::npos) << key << " = " << Utf16ToUtf8(text);
    EXPECT_EQ(text.find(u'%'), at) << key << " = " << Utf16ToUtf8(text);
  }
}

// The listing's headers are cut to 19 characters: 34 stands alone, 35 is
// followed by a paper number of up to two digits.
TEST_F(CatalogTest, PrinterListingHeadersFitTheirColumns) {
  for (const std::string& lang : kLanguages) {
    EXPECT_LE(Text("code", CodeKey(34, lang)).size(), 19u) << CodeKey(34, lang);
    EXPECT_LE(Text("code", CodeKey(35, lang)).size(), 17u) << CodeKey(35, lang);
  }
}

TEST_F(CatalogTest, YesNoMessagesAskAQuestion) {
  for (int n : kQuestionMessages) {
    for (const std::string& lang : kLanguages) {
      const std::string key = MessageKey(n, lang, 'a');
      const std::u16string text = Text("meg", key);
      ASSERT_FALSE(text.empty()) << key;
      EXPECT_TRUE(text.back() == u'?' || text.back() == u'\uFF1F')
          << key << " = " << Utf16ToUtf8(text);
    }
  }
}

}  // namespace
