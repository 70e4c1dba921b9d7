// How the engine answers reads and applies writes: the rules of the Windows
// private-profile functions that the program's files depend on.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "storage/ini_document.h"

using tovrel::IniDocument;
using tovrel::ToU16;

namespace {

IniDocument Doc(const char* utf8) {
  return IniDocument::Parse(ToU16(utf8));
}

std::u16string Get(const IniDocument& d, const char* s, const char* k, const char* def = "",
                   std::size_t size = 260) {
  return d.GetString(ToU16(s), ToU16(k), ToU16(def), size);
}

}  // namespace

TEST(IniRead, NamesMatchWithoutCaseAndSurroundingBlanks) {
  const IniDocument d =
      Doc("[Setting]\r\nFile_Folder=c:\\cad\r\n  moji_type \t=  1  \r\n[ÄRGER]\nЖук=1\n"
          "[ spaced ]\na=1\n[plain] trailing words\nb=2\n");
  EXPECT_EQ(Get(d, "SETTING", "FILE_FOLDER"), u"c:\\cad");
  EXPECT_EQ(Get(d, " setting ", " file_folder\t"), u"c:\\cad");
  EXPECT_EQ(Get(d, "setting", "moji_type"), u"1");
  EXPECT_EQ(Get(d, "setting", "moji"), u"");
  EXPECT_EQ(Get(d, "settings", "moji_type", "dflt"), u"dflt");
  EXPECT_EQ(Get(d, "ärger", "жук"), u"1");  // accented and Cyrillic letters fold too
  EXPECT_EQ(Get(d, "spaced", "a"), u"1");   // trimmed inside the brackets
  EXPECT_EQ(Get(d, "plain", "b"), u"2");    // text after "]" is ignored
}

TEST(IniRead, QuotesAroundValuesAndDefaultsAreRemoved) {
  const IniDocument d =
      Doc("[q]\nd=\"c:\\Program Files\\x.exe\"\ns='single'\nmixed=\"open'\none=\"\n"
          "inner=a \"b\" c\nempty=\"\"\nhalf=\"abc\n");
  EXPECT_EQ(Get(d, "q", "d"), u"c:\\Program Files\\x.exe");
  EXPECT_EQ(Get(d, "q", "s"), u"single");
  EXPECT_EQ(Get(d, "q", "mixed"), u"\"open'");
  EXPECT_EQ(Get(d, "q", "one"), u"\"");
  EXPECT_EQ(Get(d, "q", "inner"), u"a \"b\" c");
  EXPECT_EQ(Get(d, "q", "empty"), u"");
  EXPECT_EQ(Get(d, "q", "half"), u"\"abc");
  // Defaults lose trailing blanks (not tabs) and quotes, but not leading blanks.
  EXPECT_EQ(Get(d, "q", "x", "c:\\   "), u"c:\\");
  EXPECT_EQ(Get(d, "q", "x", "  lead"), u"  lead");
  EXPECT_EQ(Get(d, "q", "x", "tab\t"), u"tab\t");
  EXPECT_EQ(Get(d, "q", "x", "\"quoted\""), u"quoted");
}

TEST(IniRead, BufferSizeCountsTheTerminator) {
  const IniDocument d = Doc("[s]\nv=abcdefgh\nq=\"abc\"\n");
  for (const auto& [size, expected] : {std::pair<std::size_t, const char16_t*>{9, u"abcdefgh"},
                                       {8, u"abcdefg"},
                                       {5, u"abcd"},
                                       {1, u""},
                                       {0, u""}}) {
    EXPECT_EQ(Get(d, "s", "v", "", size), expected) << size;
  }
  // A quoted value loses its closing quote by dropping the last character
  // copied once the buffer could hold the quoted text.
  for (const auto& [size, expected] :
       {std::pair<std::size_t, const char16_t*>{5, u"abc"}, {4, u"ab"}, {3, u"ab"}, {2, u"a"}}) {
    EXPECT_EQ(Get(d, "s", "q", "", size), expected) << size;
  }
  EXPECT_EQ(Get(d, "s", "missing", "0123456789", 4), u"012");  // defaults are cut alike
}

TEST(IniRead, LineShapes) {
  const IniDocument d =
      Doc("top=1\n; comment\n\n[s]\nbare\nempty=\n =nameless\n;k=commented\nk=real\nK=2\n"
          "[broken\nz=1\n[b]\nx=9\n[S]\nk=3\nonly=4\n[e]\ra=1\rb=2\nc=3\r\n\r\nd=4");
  EXPECT_EQ(Get(d, "s", "top", "no"), u"no");
  // A line without "=" is a key without a value: it reads as the default.
  EXPECT_EQ(Get(d, "s", "bare", "def"), u"def");
  EXPECT_TRUE(d.HasKey(u"s", u"bare"));
  EXPECT_EQ(Get(d, "s", "empty", "def"), u"");  // an empty value is a value
  EXPECT_EQ(Get(d, "s", "", "def"), u"nameless");
  EXPECT_EQ(Get(d, "s", "k"), u"real");  // the first duplicate wins
  // "[broken" has no "]", so it is a key line of section s.
  EXPECT_EQ(Get(d, "s", "z"), u"1");
  EXPECT_EQ(Get(d, "broken", "z", "none"), u"none");
  EXPECT_EQ(Get(d, "s", "only", "none"), u"none");  // the second "[S]" is never searched
  for (int i = 0; i < 4; ++i) {                     // lines end at \r, \n and \r\n
    EXPECT_EQ(Get(d, "e", std::string(1, static_cast<char>('a' + i)).c_str()), ToU16(std::to_string(i + 1)));
  }
}

TEST(IniReadInt, ParsesAsGetPrivateProfileInt) {
  const IniDocument d =
      Doc("[n]\nplain=42\ntrail=12abc\nneg=-5\nlead= 7\nhex=0x10\nHEX=0X10\noct=0o17\nbin=0b101\n"
          "plus=+8\nword=abc\nempty=\nquoted=\"33\"\nbig=4294967297\nbare\n");
  for (const auto& [key, expected] : {std::pair<const char*, std::int32_t>{"plain", 42},
                                      {"trail", 12},
                                      {"neg", -5},
                                      {"lead", 7},
                                      {"hex", 16},
                                      {"oct", 15},
                                      {"bin", 5},
                                      {"plus", 8},
                                      {"word", 0},
                                      {"quoted", 33},
                                      {"big", 1},
                                      {"empty", -77},
                                      {"missing", -77},
                                      {"bare", -77}}) {
    EXPECT_EQ(static_cast<std::int32_t>(d.GetInt(u"n", ToU16(key), -77)), expected) << key;
  }
}

TEST(IniWrite, ReplacingAValueKeepsEveryOtherLineAsItWas) {
  IniDocument d =
      Doc("; settings\r\n[setting]\r\nfile_folder = c:\\old\r\n\r\n  other=x  \r\nbare\r\n[tail]\r\nz=1\r\n");
  d.WriteString(u"setting", u"FILE_FOLDER", u"d:\\new");
  d.WriteString(u"setting", u"bare", u"now");  // a line without "=" gets one
  EXPECT_TRUE(d.IsModified());
  EXPECT_EQ(
      d.ToText(),
      u"; settings\r\n[setting]\r\nfile_folder=d:\\new\r\n\r\n  other=x  \r\nbare=now\r\n[tail]\r\nz=1\r\n");

  IniDocument same = Doc("[s]\nk = v\n");
  same.WriteString(u"s", u"k", u"v");
  EXPECT_FALSE(same.IsModified());
  EXPECT_EQ(same.ToText(), u"[s]\r\nk = v\r\n");
}

TEST(IniWrite, NewKeysAndSectionsGoToTheEnd) {
  IniDocument d = Doc("[a]\nk=1\n\n[b]\nx=1\n");
  d.WriteString(u"A", u"new", u"2");  // before the blank lines that end the section
  d.WriteString(u"b", u"y", u"3");
  d.WriteString(u" listliew ", u" max_cont ", u"3");
  EXPECT_EQ(d.ToText(), u"[a]\r\nk=1\r\nnew=2\r\n\r\n[b]\r\nx=1\r\ny=3\r\n[listliew]\r\nmax_cont=3\r\n");
}

TEST(IniWrite, LineBreaksInAValueCannotCreateLines) {
  IniDocument d;
  d.WriteString(u"s", u"k", u"one\r\n[evil]\r\nx=1");
  const IniDocument again = IniDocument::Parse(d.ToText());
  EXPECT_EQ(again.GetString(u"s", u"k", u"", 260), u"one  [evil]  x=1");
  EXPECT_FALSE(again.HasKey(u"evil", u"x"));
}

TEST(IniWrite, DeletingAKeyRevealsItsNextDuplicate) {
  IniDocument d = Doc("[s]\nk=1\nother=2\nK=3\n");
  d.DeleteKey(u"S", u"k");
  EXPECT_EQ(d.GetString(u"s", u"k", u"", 10), u"3");
  d.DeleteKey(u"s", u"k");
  EXPECT_EQ(d.ToText(), u"[s]\r\nother=2\r\n");
  d.MarkSaved();
  d.DeleteKey(u"s", u"absent");  // nothing to delete is no change
  EXPECT_FALSE(d.IsModified());
}

TEST(IniWrite, DeletingASectionRemovesItsFirstCopyAndANewOneStartsAtTheEnd) {
  IniDocument d = Doc("[Title]\nt0=a\n[listview_dt]\n0,0.m=1\n[title]\nt1=b\n[keep]\nx=1\n");
  d.DeleteSection(u"TITLE");
  EXPECT_EQ(d.ToText(), u"[listview_dt]\r\n0,0.m=1\r\n[title]\r\nt1=b\r\n[keep]\r\nx=1\r\n");
  EXPECT_EQ(d.GetString(u"Title", u"t1", u"", 10), u"b");  // the later copy is now read
  d.DeleteSection(u"title");
  d.WriteString(u"Title", u"t0", u"new");
  EXPECT_EQ(d.ToText(), u"[listview_dt]\r\n0,0.m=1\r\n[keep]\r\nx=1\r\n[Title]\r\nt0=new\r\n");
}

TEST(IniWrite, LargeDocumentReadsBackTheSameAndReservingRoomChangesNothing) {
  IniDocument reserved = IniDocument::Parse(u"[other]\r\nx=1\r\n");
  IniDocument plain = reserved;
  reserved.ReserveKeys(u"listview_dt", 1000);  // a section that does not exist yet
  reserved.ReserveKeys(u"other", 1000);        // and one that does
  for (IniDocument* d : {&reserved, &plain}) {
    for (int t = 0; t < 20; ++t) {
      for (int c = 0; c < 50; ++c) {
        const std::u16string key = ToU16(std::to_string(t) + "," + std::to_string(c) + ".f");
        d->WriteString(u"listview_dt", key, u"初期値 " + key);
      }
      d->WriteString(u"other", ToU16("y" + std::to_string(t)), u"2");
    }
  }
  EXPECT_EQ(reserved.ToText(), plain.ToText());
  const IniDocument again = IniDocument::Parse(plain.ToText());
  EXPECT_EQ(again.GetString(u"LISTVIEW_DT", u"19,49.f", u"", 128), u"初期値 19,49.f");
  EXPECT_EQ(again.GetString(u"listview_dt", u"0,0.f", u"", 128), u"初期値 0,0.f");
  EXPECT_EQ(plain.ToUtf16LeBytes().substr(0, 2), "\xFF\xFE");
}

// Keys before the first header belong to no section; the empty name is the
// "[]" section, for reads, writes and deletions alike.
TEST(IniSections, TheEmptyNameIsTheBracketSection) {
  IniDocument d = Doc("top=lead\n[a]\nx=1\n[]\ntop=bracket\n");
  EXPECT_EQ(Get(d, "", "top"), u"bracket");
  EXPECT_EQ(Get(d, " \t", "top"), u"bracket");
  EXPECT_EQ(Get(Doc("top=lead\n[a]\nx=1\n"), "", "top", "none"), u"none");

  d.DeleteKey(u"", u"top");
  EXPECT_EQ(Get(d, "", "top", "none"), u"none");
  d.WriteString(u" ", u"new", u"v");
  EXPECT_EQ(d.ToText(), u"top=lead\r\n[a]\r\nx=1\r\n[]\r\nnew=v\r\n");
  d.DeleteSection(u"");
  EXPECT_EQ(d.ToText(), u"top=lead\r\n[a]\r\nx=1\r\n");  // the lines before [a] stay
  d.WriteString(u"", u"k", u"1");  // a new [] section goes to the end
  EXPECT_EQ(d.ToText(), u"top=lead\r\n[a]\r\nx=1\r\n[]\r\nk=1\r\n");
}

// Deletions find names as reads and writes find them: without the blanks
// and tabs around them.
TEST(IniWrite, DeletionsIgnoreBlanksAroundNames) {
  for (const auto& [section, key] : {std::pair<const char16_t*, const char16_t*>{u" s ", u" k "},
                                     {u"\ts", u"k\t"},
                                     {u"S  ", u"  K"}}) {
    IniDocument d = Doc("[s]\nk=1\nother=2\n[t]\nx=3\n");
    d.DeleteKey(section, key);
    EXPECT_FALSE(d.HasKey(u"s", u"k")) << tovrel::Utf16ToUtf8(section) << "|" << tovrel::Utf16ToUtf8(key);
    EXPECT_TRUE(d.HasKey(u"s", u"other"));
    d.DeleteSection(section);
    EXPECT_EQ(d.ToText(), u"[t]\r\nx=3\r\n") << tovrel::Utf16ToUtf8(section);
  }
}

// A null character is text: the line goes on after it, and so does the
// file, through a save and a second reading.
TEST(IniRead, NullCharacterIsAnOrdinaryCharacter) {
  const std::u16string text = std::u16string(u"[s]\r\nk=a") + u'\0' + u"b\r\nj=2\r\n[later]\r\nz=3\r\n";
  const IniDocument first = IniDocument::Parse(text);
  const IniDocument again = IniDocument::FromBytes(first.ToUtf16LeBytes(), tovrel::Cp1252CodePage{});
  for (const IniDocument* d : {&first, &again}) {
    EXPECT_EQ(d->GetString(u"s", u"k", u"", 10), std::u16string(u"a") + u'\0' + u"b");
    EXPECT_EQ(d->GetString(u"s", u"j", u"", 10), u"2");
    EXPECT_EQ(d->GetString(u"later", u"z", u"", 10), u"3");
  }
  EXPECT_EQ(again.ToText(), text);
}

// A value is written so that it reads back as given, in this run and after
// the file is read again: values the reading rules would change go inside
// double quotes, every other value is written as it is.
TEST(IniWrite, ValuesReadBackAsWritten) {
  struct Case {
    std::u16string value;
    std::u16string line;  // as written to the file
  };
  const Case cases[] = {
      {u"plain", u"k=plain"},
      {u"", u"k="},
      {u"a \"b\" c", u"k=a \"b\" c"},
      {u"\"open", u"k=\"open"},            // a quote at one end only is kept by reads
      {u"close\"", u"k=close\""},
      {u"\"mixed'", u"k=\"mixed'"},
      {u"\"", u"k=\""},
      {u"x", u"k=x"},
      {u" x ", u"k=\" x \""},              // blanks at either end
      {u"trailing  ", u"k=\"trailing  \""},
      {u"  leading", u"k=\"  leading\""},
      {u" ", u"k=\" \""},
      {u"\ttab\t", u"k=\"\ttab\t\""},
      {u"end\x1a", u"k=\"end\x1a\""},
      {u"\"x\"", u"k=\"\"x\"\""},          // matching quotes at both ends
      {u"'x'", u"k=\"'x'\""},
      {u"\"\"", u"k=\"\"\"\""},
      {u"''", u"k=\"''\""},
      {u"line\r\n", u"k=\"line  \""},      // a line break is written as blanks
  };
  for (const Case& c : cases) {
    const std::string what = tovrel::Utf16ToUtf8(c.value);
    std::u16string expected = c.value;
    std::replace(expected.begin(), expected.end(), u'\r', u' ');
    std::replace(expected.begin(), expected.end(), u'\n', u' ');
    IniDocument d = Doc("[s]\nk=old\n");
    d.WriteString(u"s", u"k", c.value);
    EXPECT_EQ(d.ToText(), u"[s]\r\n" + c.line + u"\r\n") << what;
    const IniDocument again = IniDocument::Parse(d.ToText());
    for (const IniDocument* read : {static_cast<const IniDocument*>(&d), &again}) {
      EXPECT_EQ(read->GetString(u"s", u"k", u"d", 260), expected) << what;
      EXPECT_EQ(read->GetField(u"s", u"k", u"d", expected.size() + 1), expected) << what;
    }
    // Writing the same value again is no change.
    IniDocument same = IniDocument::Parse(d.ToText());
    same.WriteString(u"s", u"k", c.value);
    EXPECT_FALSE(same.IsModified()) << what;
  }
}

// A field read answers as GetString, except that a quoted value filling
// the field exactly keeps its last character, where GetString drops it.
TEST(IniRead, FieldReadKeepsTheLastCharacterOfAQuotedValue) {
  const IniDocument d = Doc("[s]\nq=\"abc \"\np=abcd\ns='xy'\n");
  EXPECT_EQ(d.GetString(u"s", u"q", u"", 5), u"abc");
  for (const auto& [key, size, expected] :
       {std::tuple<const char16_t*, std::size_t, const char16_t*>{u"q", 5, u"abc "},
        {u"q", 6, u"abc "},
        {u"q", 4, u"abc"},
        {u"q", 1, u""},
        {u"q", 0, u""},
        {u"s", 3, u"xy"},
        {u"p", 5, u"abcd"},
        {u"p", 3, u"ab"},
        {u"missing", 4, u"def"}}) {
    EXPECT_EQ(d.GetField(u"s", key, u"default", size), expected) << tovrel::Utf16ToUtf8(key) << " " << size;
  }
}
