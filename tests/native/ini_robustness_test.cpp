// Malformed and random input: the engine must neither crash nor read out of
// bounds (the native tests run under ASan and UBSan), and what it writes
// must read back as it was written.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "storage/ini_document.h"

using tovrel::IniDocument;

namespace {

// Bytes that look like INI text often enough to reach every branch.
std::string RandomIniBytes(std::mt19937& rng, std::size_t length) {
  static const std::string pieces[] = {"[",        "]",
                                       "=",        "\r",
                                       "\n",       "\r\n",
                                       " ",        "\t",
                                       "\"",       "'",
                                       ";",        "\x1a",
                                       "a",        "B",
                                       "0x",       "-",
                                       "\xFF\xFE", "\xEF\xBB\xBF",
                                       "\xFE\xFF", std::string(1, '\0'),
                                       "\xE3\x81", "\xD8",
                                       "\xDC"};
  std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) + 3);
  std::string out;
  while (out.size() < length) {
    const std::size_t p = pick(rng);
    out += p < std::size(pieces) ? pieces[p] : std::string(1, static_cast<char>(rng()));
  }
  return out;
}

std::u16string RandomName(std::mt19937& rng) {
  static const char16_t alphabet[] = u"abcXYZ019,._ 図é";
  std::u16string s;
  for (int n = 1 + static_cast<int>(rng() % 6); n > 0; --n) s += alphabet[rng() % (std::size(alphabet) - 1)];
  return s;
}

// Values with blanks, tabs and quotes at either end.
std::u16string RandomValue(std::mt19937& rng) {
  static const char16_t alphabet[] = u"ab \t\"'値";
  std::u16string s;
  for (int n = static_cast<int>(rng() % 5); n > 0; --n) s += alphabet[rng() % (std::size(alphabet) - 1)];
  return s;
}

std::u16string Trim(std::u16string s) {
  s.erase(0, s.find_first_not_of(u' '));
  s.erase(s.find_last_not_of(u' ') + 1);
  return s;
}

}  // namespace

TEST(IniRobustness, RandomBytesParseAndAnswerWithoutFaults) {
  std::mt19937 rng(20261206);
  const tovrel::Cp1252CodePage ansi;
  for (int round = 0; round < 3000; ++round) {
    IniDocument d = IniDocument::FromBytes(RandomIniBytes(rng, rng() % 301), ansi);
    for (std::size_t buffer : {0u, 1u, 2u, 3u, 64u}) {
      (void)d.GetString(u"a", u"a", u"\"d\"", buffer);
      (void)d.GetString(u"", u"", u"", buffer);
    }
    (void)d.GetInt(u"a", u"B", 5);
    d.WriteString(u"a", u"a", u"x");
    d.DeleteKey(u"", u"a");
    d.DeleteSection(u"B");
    (void)IniDocument::Parse(d.ToText()).GetString(u"a", u"a", u"", 10);
  }
}

TEST(IniRobustness, TruncatedOddHugeAndNulInput) {
  const tovrel::Cp1252CodePage ansi;
  // A UTF-16 file cut in the middle of a character.
  EXPECT_EQ(IniDocument::FromBytes(std::string("\xFF\xFE[\0s\0]\0\n\0k\0=\0v\0\n", 17), ansi)
                .GetString(u"s", u"k", u"", 10),
            u"v");
  // Only a byte-order mark, or half of one.
  EXPECT_EQ(IniDocument::FromBytes("\xFF\xFE", ansi).ToText(), u"");
  EXPECT_EQ(IniDocument::FromBytes("\xFF", ansi).GetString(u"s", u"k", u"d", 5), u"d");
  // A line of 1 MB.
  const IniDocument big = IniDocument::FromBytes("[s]\nk=" + std::string(1 << 20, 'x'), ansi);
  EXPECT_EQ(big.GetString(u"s", u"k", u"", 260).size(), 259u);
  EXPECT_EQ(big.GetString(u"s", u"k", u"", 2u << 20).size(), 1u << 20);
  // A null character in every encoding is kept, and so is all that follows it.
  for (const std::string& bytes :
       {std::string("[s]\nk=1\0x\n[t]\nj=2\n", 17), std::string("\xEF\xBB\xBF[s]\nk=1\0x\n[t]\nj=2\n", 20),
        std::string("\xFF\xFE[\0s\0]\0\n\0k\0=\0\x31\0\0\0x\0\n\0[\0t\0]\0\n\0j\0=\0\x32\0", 36),
        std::string("\xFE\xFF\0[\0s\0]\0\n\0k\0=\0\x31\0\0\0x\0\n\0[\0t\0]\0\n\0j\0=\0\x32", 36)}) {
    const IniDocument nul = IniDocument::FromBytes(bytes, ansi);
    EXPECT_EQ(nul.GetString(u"s", u"k", u"", 10), std::u16string(u"1\0x", 3));
    EXPECT_EQ(nul.GetString(u"t", u"j", u"", 10), u"2");
  }
}

// Random writes and deletions against a simple model: every answer of the
// engine, and of the file it writes once read again, matches the model.
TEST(IniRobustness, RandomEditsMatchAModelAndSurviveARewrite) {
  std::mt19937 rng(7);
  for (int round = 0; round < 200; ++round) {
    IniDocument d = IniDocument::Parse(u"; comment\r\n[keep]\r\nunknown = stays\r\n\r\n");
    std::map<std::pair<std::u16string, std::u16string>, std::u16string> model;  // folded names, value
    std::set<std::pair<std::u16string, std::u16string>> touched;  // every name written or deleted
    for (int step = 0; step < 60; ++step) {
      const std::u16string section = RandomName(rng).substr(0, 2), key = RandomName(rng);
      const unsigned op = rng() % 10;
      const std::u16string s = tovrel::FoldCase(Trim(section)), k = tovrel::FoldCase(Trim(key));
      if (s.empty() || k.empty()) continue;
      touched.insert({s, k});
      if (op < 7) {
        const std::u16string value = RandomValue(rng);
        d.WriteString(section, key, value);
        model[{s, k}] = value;
      } else if (op < 9) {
        d.DeleteKey(section, key);
        model.erase({s, k});
      } else {
        d.DeleteSection(section);
        std::erase_if(model, [&](const auto& entry) { return entry.first.first == s; });
      }
    }
    const IniDocument reread = IniDocument::Parse(d.ToText());
    for (const auto& where : touched) {
      const auto it = model.find(where);
      const std::u16string expected = it == model.end() ? u"<none>" : it->second;
      EXPECT_EQ(reread.GetString(where.first, where.second, u"<none>", 260), expected);
      EXPECT_EQ(d.GetString(where.first, where.second, u"<none>", 260), expected);
    }
    EXPECT_EQ(reread.GetString(u"keep", u"unknown", u"", 260), u"stays");
  }
}
