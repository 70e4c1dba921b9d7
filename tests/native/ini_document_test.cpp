// How the engine answers reads and applies writes: the rules of the Windows
// private-profile functions that the program's files depend on.
#include <gtest/gtest.h>

#include "storage/ini_document.h"

using tovrel::IniDocument;
using tovrel::ToU16;

namespace {

IniDocument Doc(const char* utf8) { return IniDocument::Parse(ToU16(utf8)); }

std::u16string Get(const IniDocument& d, const char* s, const char* k, const char* def = "",
                   std::size_t size = 260) {
  return d.GetString(ToU16(s), ToU16(k), ToU16(def), size);
}

std::int32_t Int(const IniDocument& d, const char* s, const char* k, std::int32_t def = -77) {
  return static_cast<std::int32_t>(d.GetInt(ToU16(s), ToU16(k), def));
}

}  // namespace

TEST(IniRead, NamesMatchWithoutCaseAndSurroundingBlanks) {
  const IniDocument d = Doc("[Setting]\r\nFile_Folder=c:\\cad\r\n  moji_type \t=  1  \r\n");
  EXPECT_EQ(Get(d, "setting", "file_folder"), u"c:\\cad");
  EXPECT_EQ(Get(d, "SETTING", "FILE_FOLDER"), u"c:\\cad");
  EXPECT_EQ(Get(d, " setting ", " file_folder\t"), u"c:\\cad");
  EXPECT_EQ(Get(d, "setting", "moji_type"), u"1");
  EXPECT_EQ(Get(d, "setting", "moji"), u"");
  EXPECT_EQ(Get(d, "settings", "moji_type", "dflt"), u"dflt");
}

TEST(IniRead, CaseFoldingCoversAccentedAndCyrillicNames) {
  const IniDocument d = Doc("[ÄRGER]\nЖук=1\n");
  EXPECT_EQ(Get(d, "ärger", "жук"), u"1");
}

TEST(IniRead, SectionNamesAreTrimmedInsideTheBrackets) {
  // Text after "]" is ignored.
  const IniDocument d = Doc("[ spaced ]\na=1\n[plain] trailing words\nb=2\n");
  EXPECT_EQ(Get(d, "spaced", "a", "none"), u"1");
  EXPECT_EQ(Get(d, "plain", "b"), u"2");
}

TEST(IniRead, QuotesAroundValuesAreRemoved) {
  const IniDocument d = Doc(
      "[q]\nd=\"c:\\Program Files\\x.exe\"\ns='single'\nmixed=\"open'\none=\"\n"
      "inner=a \"b\" c\nempty=\"\"\nhalf=\"abc\n");
  EXPECT_EQ(Get(d, "q", "d"), u"c:\\Program Files\\x.exe");
  EXPECT_EQ(Get(d, "q", "s"), u"single");
  EXPECT_EQ(Get(d, "q", "mixed"), u"\"open'");
  EXPECT_EQ(Get(d, "q", "one"), u"\"");
  EXPECT_EQ(Get(d, "q", "inner"), u"a \"b\" c");
  EXPECT_EQ(Get(d, "q", "empty"), u"");
  EXPECT_EQ(Get(d, "q", "half"), u"\"abc");
}

TEST(IniRead, BufferSizeCountsTheTerminator) {
  const IniDocument d = Doc("[s]\nv=abcdefgh\nq=\"abc\"\n");
  EXPECT_EQ(Get(d, "s", "v", "", 9), u"abcdefgh");
  EXPECT_EQ(Get(d, "s", "v", "", 8), u"abcdefg");
  EXPECT_EQ(Get(d, "s", "v", "", 5), u"abcd");
  EXPECT_EQ(Get(d, "s", "v", "", 1), u"");
  EXPECT_EQ(Get(d, "s", "v", "", 0), u"");
  // A quoted value loses its closing quote by dropping the last character
  // copied once the buffer could hold the quoted text.
  EXPECT_EQ(Get(d, "s", "q", "", 5), u"abc");
  EXPECT_EQ(Get(d, "s", "q", "", 4), u"ab");
  EXPECT_EQ(Get(d, "s", "q", "", 3), u"ab");
  EXPECT_EQ(Get(d, "s", "q", "", 2), u"a");
  // Texts and defaults are cut alike.
  EXPECT_EQ(Get(d, "s", "missing", "0123456789", 4), u"012");
}

TEST(IniRead, DefaultsLoseTrailingBlanksAndQuotes) {
  const IniDocument d = Doc("[s]\n");
  EXPECT_EQ(Get(d, "s", "k", "c:\\   "), u"c:\\");
  EXPECT_EQ(Get(d, "s", "k", "  lead"), u"  lead");
  EXPECT_EQ(Get(d, "s", "k", "tab\t"), u"tab\t");
  EXPECT_EQ(Get(d, "s", "k", "\"quoted\""), u"quoted");
}

TEST(IniRead, LinesWithoutEqualsAndEmptyValues) {
  const IniDocument d = Doc("[s]\nbare\nempty=\n =nameless\n");
  // A line without "=" is a key without a value: it reads as the default.
  EXPECT_EQ(Get(d, "s", "bare", "def"), u"def");
  EXPECT_TRUE(d.HasKey(u"s", u"bare"));
  // An empty value is a value: the default is not used.
  EXPECT_EQ(Get(d, "s", "empty", "def"), u"");
  EXPECT_EQ(Get(d, "s", "", "def"), u"nameless");
}

TEST(IniRead, FirstDuplicateWinsAndOnlyTheFirstSectionIsSearched) {
  const IniDocument d = Doc("[a]\nk=1\nK=2\n[b]\nx=9\n[A]\nk=3\nonly=4\n");
  EXPECT_EQ(Get(d, "a", "k"), u"1");
  // The second "[A]" is never searched, as with the profile functions.
  EXPECT_EQ(Get(d, "a", "only", "none"), u"none");
}

TEST(IniRead, KeysBeforeTheFirstSectionBelongToTheEmptyName) {
  const IniDocument d = Doc("top=1\n[s]\nk=2\n");
  EXPECT_EQ(Get(d, "", "top"), u"1");
  EXPECT_EQ(Get(d, "s", "top", "no"), u"no");
}

TEST(IniRead, CommentsBlankLinesAndBrokenHeadersAreNotKeysOfOtherNames) {
  const IniDocument d = Doc("; header comment\n\n[s]\n;k=commented\nk=real\n[broken\nz=1\n");
  EXPECT_EQ(Get(d, "s", "k"), u"real");
  // "[broken" has no "]", so it is a key line of section s, not a section.
  EXPECT_EQ(Get(d, "s", "z"), u"1");
  EXPECT_EQ(Get(d, "broken", "z", "none"), u"none");
}

TEST(IniRead, AllLineEndsSplitLines) {
  const IniDocument d = Doc("[s]\ra=1\rb=2\nc=3\r\n\r\nd=4");
  EXPECT_EQ(Get(d, "s", "a"), u"1");
  EXPECT_EQ(Get(d, "s", "b"), u"2");
  EXPECT_EQ(Get(d, "s", "c"), u"3");
  EXPECT_EQ(Get(d, "s", "d"), u"4");
}

TEST(IniReadInt, ParsesAsGetPrivateProfileInt) {
  const IniDocument d = Doc(
      "[n]\nplain=42\ntrail=12abc\nneg=-5\nlead= 7\nhex=0x10\nHEX=0X10\noct=0o17\nbin=0b101\n"
      "plus=+8\nword=abc\nempty=\nquoted=\"33\"\nbig=4294967297\nbare\n");
  EXPECT_EQ(Int(d, "n", "plain"), 42);
  EXPECT_EQ(Int(d, "n", "trail"), 12);
  EXPECT_EQ(Int(d, "n", "neg"), -5);
  EXPECT_EQ(Int(d, "n", "lead"), 7);
  EXPECT_EQ(Int(d, "n", "hex"), 16);
  EXPECT_EQ(Int(d, "n", "oct"), 15);
  EXPECT_EQ(Int(d, "n", "bin"), 5);
  EXPECT_EQ(Int(d, "n", "plus"), 8);
  EXPECT_EQ(Int(d, "n", "word"), 0);
  EXPECT_EQ(Int(d, "n", "quoted"), 33);
  EXPECT_EQ(Int(d, "n", "big"), 1);  // wraps at 32 bits
  // Empty, missing and value-less keys give the default.
  EXPECT_EQ(Int(d, "n", "empty"), -77);
  EXPECT_EQ(Int(d, "n", "missing"), -77);
  EXPECT_EQ(Int(d, "n", "bare"), -77);
  EXPECT_EQ(Int(d, "other", "plain", 1), 1);
}

TEST(IniWrite, ReplacingAValueKeepsEveryOtherLineAsItWas) {
  IniDocument d = Doc("; settings\r\n[setting]\r\nfile_folder = c:\\old\r\n\r\n  other=x  \r\n[tail]\r\nz=1\r\n");
  d.WriteString(u"setting", u"FILE_FOLDER", u"d:\\new");
  EXPECT_TRUE(d.IsModified());
  EXPECT_EQ(d.ToText(),
            u"; settings\r\n[setting]\r\nfile_folder=d:\\new\r\n\r\n  other=x  \r\n[tail]\r\nz=1\r\n");
}

TEST(IniWrite, WritingTheSameValueChangesNothing) {
  IniDocument d = Doc("[s]\nk = v\n");
  d.WriteString(u"s", u"k", u"v");
  EXPECT_FALSE(d.IsModified());
  EXPECT_EQ(d.ToText(), u"[s]\r\nk = v\r\n");
}

TEST(IniWrite, NewKeyGoesToTheEndOfItsSectionBeforeBlankLines) {
  IniDocument d = Doc("[a]\nk=1\n\n[b]\nx=1\n");
  d.WriteString(u"A", u"new", u"2");
  d.WriteString(u"b", u"y", u"3");
  EXPECT_EQ(d.ToText(), u"[a]\r\nk=1\r\nnew=2\r\n\r\n[b]\r\nx=1\r\ny=3\r\n");
}

TEST(IniWrite, NewSectionIsAppendedAndWrittenToAnEmptyDocument) {
  IniDocument d;
  d.WriteString(u" listliew ", u" max_cont ", u"  3");
  d.WriteString(u"listliew", u"0,0", u"a.dwg");
  EXPECT_EQ(d.ToText(), u"[listliew]\r\nmax_cont=3\r\n0,0=a.dwg\r\n");
  EXPECT_EQ(d.GetInt(u"listliew", u"max_cont", 0), 3u);
}

TEST(IniWrite, ValueWithoutEqualsGetsOne) {
  IniDocument d = Doc("[s]\nbare\n");
  d.WriteString(u"s", u"bare", u"now");
  EXPECT_EQ(d.ToText(), u"[s]\r\nbare=now\r\n");
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
  EXPECT_FALSE(d.HasKey(u"s", u"k"));
  EXPECT_EQ(d.ToText(), u"[s]\r\nother=2\r\n");
  d.DeleteKey(u"s", u"absent");  // nothing to delete is no change
  d.MarkSaved();
  d.DeleteKey(u"s", u"absent");
  EXPECT_FALSE(d.IsModified());
}

TEST(IniWrite, DeletingASectionRemovesItsFirstCopyAndANewOneStartsAtTheEnd) {
  IniDocument d = Doc("[Title]\nt0=a\n[listview_dt]\n0,0.m=1\n[title]\nt1=b\n[keep]\nx=1\n");
  d.DeleteSection(u"TITLE");
  EXPECT_EQ(d.ToText(), u"[listview_dt]\r\n0,0.m=1\r\n[title]\r\nt1=b\r\n[keep]\r\nx=1\r\n");
  EXPECT_FALSE(d.HasKey(u"Title", u"t0"));
  // The later copy is now the one that is read.
  EXPECT_EQ(d.GetString(u"Title", u"t1", u"", 10), u"b");
  d.DeleteSection(u"title");
  d.WriteString(u"Title", u"t0", u"new");
  EXPECT_EQ(d.ToText(), u"[listview_dt]\r\n0,0.m=1\r\n[keep]\r\nx=1\r\n[Title]\r\nt0=new\r\n");
}

TEST(IniWrite, WrittenDocumentReadsBackTheSame) {
  IniDocument d;
  for (int t = 0; t < 20; ++t) {
    for (int c = 0; c < 50; ++c) {
      const std::u16string key = ToU16(std::to_string(t) + "," + std::to_string(c) + ".f");
      d.WriteString(u"listview_dt", key, u"初期値 " + key);
    }
  }
  const IniDocument again = IniDocument::Parse(d.ToText());
  EXPECT_EQ(again.GetString(u"listview_dt", u"19,49.f", u"", 128), u"初期値 19,49.f");
  EXPECT_EQ(again.GetString(u"listview_dt", u"0,0.f", u"", 128), u"初期値 0,0.f");
  const std::string bytes = d.ToUtf16LeBytes();
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
}

TEST(IniWrite, ReservingRoomChangesNothingThatIsWritten) {
  IniDocument reserved = IniDocument::Parse(u"[other]\r\nx=1\r\n");
  IniDocument plain = IniDocument::Parse(u"[other]\r\nx=1\r\n");
  reserved.ReserveKeys(u"listliew", 1000);  // a section that does not exist yet
  reserved.ReserveKeys(u"other", 1000);     // and one that does
  for (IniDocument* d : {&reserved, &plain}) {
    d->WriteString(u"listliew", u"max_cont", u"2");
    d->WriteString(u"other", u"y", u"2");
    d->WriteString(u"LISTLIEW", u"0,0", u"a.dwg");
  }
  EXPECT_EQ(reserved.ToText(), plain.ToText());
  EXPECT_EQ(reserved.GetString(u"listliew", u"0,0", u"", 10), u"a.dwg");
}
