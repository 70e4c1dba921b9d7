// Malformed and random input: the engine must neither crash nor read out of
// bounds (the native tests run under AddressSanitizer and UBSan), and what
// it writes must read back as it was written.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "storage/ini_document.h"

using tovrel::Cp1252CodePage;
using tovrel::IniDocument;

namespace {

// Bytes that look like INI text often enough to reach every branch.
std::string RandomIniBytes(std::mt19937& rng, std::size_t length) {
  static const char* const pieces[] = {"[", "]", "=", "\r", "\n", "\r\n", " ", "\t", "\"", "'",
                                       ";", "\x1a", "a", "B", "0x", "-", "\xFF\xFE", "\xEF\xBB\xBF",
                                       "\xFE\xFF", "\0", "\xE3\x81", "\xD8", "\xDC"};
  std::string out;
  std::uniform_int_distribution<int> pick(0, static_cast<int>(std::size(pieces)) + 3);
  std::uniform_int_distribution<int> byte(0, 255);
  while (out.size() < length) {
    const int p = pick(rng);
    if (p >= static_cast<int>(std::size(pieces))) {
      out += static_cast<char>(byte(rng));
    } else {
      out += std::string(pieces[p], std::char_traits<char>::length(pieces[p]) + (p == 19));
    }
  }
  return out;
}

std::u16string RandomName(std::mt19937& rng) {
  static const char16_t alphabet[] = u"abcXYZ019,._ 図é";
  std::uniform_int_distribution<int> len(1, 6);
  std::uniform_int_distribution<int> ch(0, static_cast<int>(std::size(alphabet)) - 2);
  std::u16string s;
  for (int n = len(rng); n > 0; --n) s += alphabet[ch(rng)];
  return s;
}

}  // namespace

TEST(IniRobustness, RandomBytesParseAndAnswerWithoutFaults) {
  std::mt19937 rng(20261206);
  const Cp1252CodePage ansi;
  std::uniform_int_distribution<std::size_t> size(0, 300);
  for (int round = 0; round < 3000; ++round) {
    const std::string bytes = RandomIniBytes(rng, size(rng));
    IniDocument d = IniDocument::FromBytes(bytes, ansi);
    for (std::size_t buffer : {0u, 1u, 2u, 3u, 64u}) {
      (void)d.GetString(u"a", u"a", u"\"d\"", buffer);
      (void)d.GetString(u"", u"", u"", buffer);
    }
    (void)d.GetInt(u"a", u"B", 5);
    d.WriteString(u"a", u"a", u"x");
    d.DeleteKey(u"", u"a");
    d.DeleteSection(u"B");
    const std::u16string text = d.ToText();
    (void)IniDocument::Parse(text).GetString(u"a", u"a", u"", 10);
  }
}

TEST(IniRobustness, TruncatedOddAndHugeInput) {
  const Cp1252CodePage ansi;
  // A UTF-16 file cut in the middle of a character.
  const IniDocument odd = IniDocument::FromBytes(std::string("\xFF\xFE[\0s\0]\0\n\0k\0=\0v\0\n", 17), ansi);
  EXPECT_EQ(odd.GetString(u"s", u"k", u"", 10), u"v");
  // Only a byte-order mark, or half of one.
  EXPECT_EQ(IniDocument::FromBytes("\xFF\xFE", ansi).ToText(), u"");
  EXPECT_EQ(IniDocument::FromBytes("\xFF", ansi).GetString(u"s", u"k", u"d", 5), u"d");
  // A line of 1 MB.
  std::string huge = "[s]\nk=";
  huge.append(1 << 20, 'x');
  const IniDocument big = IniDocument::FromBytes(huge, ansi);
  EXPECT_EQ(big.GetString(u"s", u"k", u"", 260).size(), 259u);
  EXPECT_EQ(big.GetString(u"s", u"k", u"", 2u << 20).size(), 1u << 20);
  // A null character ends the text.
  const IniDocument nul = IniDocument::FromBytes(std::string("[s]\nk=1\0\nj=2\n", 13), ansi);
  EXPECT_EQ(nul.GetString(u"s", u"k", u"", 10), u"1");
  EXPECT_FALSE(nul.HasKey(u"s", u"j"));
}

// Random writes and deletions against a simple model: every answer of the
// engine, and of the file it writes once read again, matches the model.
TEST(IniRobustness, RandomEditsMatchAModelAndSurviveARewrite) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> op(0, 9);
  for (int round = 0; round < 200; ++round) {
    IniDocument d = IniDocument::Parse(u"; comment\r\n[keep]\r\nunknown = stays\r\n\r\n");
    std::map<std::pair<std::u16string, std::u16string>, std::u16string> model;
    auto fold = [](const std::u16string& s) { return tovrel::FoldCase(s); };
    for (int step = 0; step < 60; ++step) {
      const std::u16string section = RandomName(rng).substr(0, 2);
      const std::u16string key = RandomName(rng);
      const int o = op(rng);
      // Trailing and leading blanks are trimmed on reading, so the model
      // holds values as a later read sees them.
      auto trim = [](std::u16string s) {
        while (!s.empty() && s.back() == u' ') s.pop_back();
        while (!s.empty() && s.front() == u' ') s.erase(0, 1);
        return s;
      };
      const std::u16string sectionKey = fold(trim(section));
      const std::u16string keyKey = fold(trim(key));
      if (sectionKey.empty() || keyKey.empty()) continue;
      if (o < 7) {
        const std::u16string value = RandomName(rng) + u"値";
        d.WriteString(section, key, value);
        model[{sectionKey, keyKey}] = trim(value);
      } else if (o < 9) {
        d.DeleteKey(trim(section), trim(key));
        model.erase({sectionKey, keyKey});
      } else {
        d.DeleteSection(trim(section));
        for (auto it = model.begin(); it != model.end();) {
          it = it->first.first == sectionKey ? model.erase(it) : std::next(it);
        }
      }
    }
    const IniDocument reread = IniDocument::Parse(d.ToText());
    for (const auto& [where, value] : model) {
      EXPECT_EQ(reread.GetString(where.first, where.second, u"<none>", 260), value);
      EXPECT_EQ(d.GetString(where.first, where.second, u"<none>", 260), value);
    }
    EXPECT_EQ(reread.GetString(u"keep", u"unknown", u"", 260), u"stays");
  }
}
