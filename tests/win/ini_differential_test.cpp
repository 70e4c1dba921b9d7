// The INI engine against the real private-profile functions: the same files
// and operations must give the same answers, and after the same writes both
// files must hold the same sections, keys and values. Differences on purpose:
// - the engine always writes UTF-16LE (the profile functions keep an ANSI
//   file ANSI, losing characters the code page lacks), and Wine rebuilds the
//   file on every write, so files with comments or spacing are compared by
//   contents;
// - a value that the reading rules would change (blanks at an end, matching
//   quotes at both ends) is written by the engine inside double quotes, so
//   that the profile functions read it back as it was written;
// - the empty section name is the "[]" section, as on Windows, where Wine
//   reads the lines before the first header; and a null character is an
//   ordinary character, where Wine ends the file there.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "storage/ansi_code_page_win32.h"
#include "storage/ini_file.h"

using tovrel::IniDocument;
using tovrel::IniFile;
using tovrel::Utf16ToUtf8;

namespace {

std::wstring W(const std::u16string& s) {
  return std::wstring(s.begin(), s.end());
}
std::u16string U(const std::wstring& s) {
  return std::u16string(s.begin(), s.end());
}
const tovrel::AnsiCodePage& Ansi() {
  return tovrel::SystemAnsiCodePage();
}
std::u16string ThroughAnsi(const std::u16string& s) {
  return Ansi().ToUtf16(Ansi().FromUtf16(s));
}

class IniDifferential : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    dir_ = std::wstring(temp) + L"tovrel-diff-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(dir_.c_str(), nullptr);
  }
  void TearDown() override {
    WIN32_FIND_DATAW found;
    if (HANDLE h = FindFirstFileW((dir_ + L"\\*").c_str(), &found); h != INVALID_HANDLE_VALUE) {
      do DeleteFileW((dir_ + L"\\" + found.cFileName).c_str());
      while (FindNextFileW(h, &found));
      FindClose(h);
    }
    RemoveDirectoryW(dir_.c_str());
  }
  // A new file name each time, so no cached copy of an earlier file can answer;
  // holding `bytes` unless `create` is false.
  std::wstring NewFile(const std::string& bytes, bool create = true) {
    const std::wstring path = dir_ + L"\\f" + std::to_wstring(++counter_) + L".ini";
    if (create) {
      EXPECT_TRUE(tovrel::WriteFileAtomically(U(path), bytes));
    }
    return path;
  }

  std::wstring dir_;
  int counter_ = 0;
};

enum class Form { Utf16Crlf, Utf16Lf, AnsiCrlf, AnsiLf, Utf8Bom };

std::string Encode(std::u16string t, Form form) {
  if (form == Form::Utf16Lf || form == Form::AnsiLf) std::erase(t, u'\r');
  if (form == Form::Utf8Bom) return "\xEF\xBB\xBF" + Utf16ToUtf8(t);
  if (form == Form::AnsiCrlf || form == Form::AnsiLf) return Ansi().FromUtf16(t);
  std::string out = "\xFF\xFE";
  tovrel::AppendUtf16Le(out, t);
  return out;
}

// What the real function puts into a buffer of `size` characters.
std::u16string ApiString(const std::wstring& path, const std::u16string& section, const std::u16string& key,
                         const std::u16string& def, DWORD size) {
  std::vector<wchar_t> buffer(size + 1, L'#');
  GetPrivateProfileStringW(W(section).c_str(), W(key).c_str(), W(def).c_str(), buffer.data(), size,
                           path.c_str());
  return size == 0 ? u"" : U(buffer.data());
}

// Every section name with every "key=value" line of its first copy, as the
// real functions list them: a neutral view of what a file holds. `ansi`
// gives the lines as an ANSI file would hold them.
std::vector<std::u16string> ApiContents(const std::wstring& path, bool ansi = false) {
  std::vector<wchar_t> names(1 << 16), keys(1 << 18);
  const DWORD n =
      GetPrivateProfileSectionNamesW(names.data(), static_cast<DWORD>(names.size()), path.c_str());
  std::vector<std::u16string> out;
  for (const wchar_t* p = names.data(); p < names.data() + n && *p; p += wcslen(p) + 1) {
    out.push_back(U(L"[" + std::wstring(p) + L"]"));
    const DWORD k = GetPrivateProfileSectionW(p, keys.data(), static_cast<DWORD>(keys.size()), path.c_str());
    for (const wchar_t* q = keys.data(); q < keys.data() + k && *q; q += wcslen(q) + 1) out.push_back(U(q));
  }
  if (ansi) std::transform(out.begin(), out.end(), out.begin(), ThroughAnsi);
  return out;
}

// Both lists equal, or the first line where they part.
::testing::AssertionResult SameContents(const std::vector<std::u16string>& own,
                                        const std::vector<std::u16string>& api) {
  for (std::size_t i = 0; i < own.size() || i < api.size(); ++i) {
    const std::u16string a = i < own.size() ? own[i] : u"<end>", b = i < api.size() ? api[i] : u"<end>";
    if (a != b) {
      return ::testing::AssertionFailure() << "line " << i << ": engine \"" << Utf16ToUtf8(a)
                                           << "\", profile functions \"" << Utf16ToUtf8(b) << "\"";
    }
  }
  return ::testing::AssertionSuccess();
}

const char16_t* const kBaseFile =
    u"; leading comment\r\ntop=before any section\r\n\r\n"
    u"[Setting]\r\nfile_folder=c:\\drawings\r\n  Spaced Key  =   spaced value   \r\nUPPER=Case\r\n"
    u"quoted=\"c:\\Program Files\\aclt.exe\"\r\nsingle='single quoted'\r\nmismatch=\"open'\r\nonequote=\"\r\n"
    u"empty=\r\nbare line without equals\r\n;commented=1\r\ndup=first\r\ndup=second\r\n"
    u"int1=12abc\r\nint2=-5\r\nint3= 7\r\nint4=0x10\r\nint5=\r\nint6=0X10\r\nint7=+8\r\nint8=\"42\"\r\n"
    u"long=abcdefghijklmnopqrstuvwxyz\r\naccent=café crème\r\n\r\n"
    u"[setting]\r\ndup=in the second section\r\nonly2=second copy only\r\n"
    u"[ spaced section ]\r\nk=v\r\n[Title]\r\nt0=図面セット\r\nt1=한국어 中文\r\n"
    u"[listliew]\r\nmax_cont=3\r\n0,0=a.dwg\r\n";

struct Lookup {
  const char16_t* section;
  const char16_t* key;
};

// Every lookup is asked as a string and as an integer.
// clang-format off
const Lookup kLookups[] = {
    {u"Setting", u"file_folder"}, {u"SETTING", u"FILE_FOLDER"}, {u" setting ", u" file_folder "},
    {u"setting", u"spaced key"}, {u"setting", u"Spaced Key"}, {u"setting", u"upper"}, {u"setting", u"quoted"},
    {u"setting", u"single"}, {u"setting", u"mismatch"}, {u"setting", u"onequote"}, {u"setting", u"empty"},
    {u"setting", u"bare line without equals"}, {u"setting", u";commented"}, {u"setting", u"commented"},
    {u"setting", u"dup"}, {u"setting", u"only2"}, {u"setting", u"long"}, {u"setting", u"accent"},
    {u"setting", u"missing"}, {u"missing", u"dup"}, {u"spaced section", u"k"}, {u" spaced section ", u"k"},
    {u"title", u"t0"}, {u"Title", u"T1"}, {u"listliew", u"max_cont"}, {u"listliew", u"0,0"},
    {u"setting", u"int1"}, {u"setting", u"int2"}, {u"setting", u"int3"}, {u"setting", u"int4"},
    {u"setting", u"int5"}, {u"setting", u"int6"}, {u"setting", u"int7"}, {u"setting", u"int8"}, {u"nosuch", u"int2"},
};
// clang-format on

void CompareReads(const std::wstring& path, const IniDocument& doc, const std::string& what) {
  for (const Lookup& l : kLookups) {
    for (const char16_t* def : {u"", u"def", u"c:\\   ", u"\"q\"", u"  lead"}) {
      for (DWORD size : {1, 2, 3, 4, 5, 8, 260}) {
        EXPECT_EQ(doc.GetString(l.section, l.key, def, size), ApiString(path, l.section, l.key, def, size))
            << what << " [" << Utf16ToUtf8(l.section) << "] " << Utf16ToUtf8(l.key) << " default \""
            << Utf16ToUtf8(def) << "\" size " << size;
      }
    }
    for (INT def : {0, -3, 9}) {
      EXPECT_EQ(doc.GetInt(l.section, l.key, def),
                GetPrivateProfileIntW(W(l.section).c_str(), W(l.key).c_str(), def, path.c_str()))
          << what << " int [" << Utf16ToUtf8(l.section) << "] " << Utf16ToUtf8(l.key);
    }
  }
}

// A write, or with no value a key deletion, or with no key a section deletion.
struct Edit {
  const char16_t* section;
  const char16_t* key;
  const char16_t* value;
};

void Apply(const std::wstring& api, IniFile& engine, const Edit& e) {
  const std::wstring s = W(e.section), k = e.key ? W(e.key) : L"", v = e.value ? W(e.value) : L"";
  WritePrivateProfileStringW(s.c_str(), e.key ? k.c_str() : nullptr, e.value ? v.c_str() : nullptr,
                             api.c_str());
  if (!e.key) {
    engine.DeleteSection(e.section);
  } else if (!e.value) {
    engine.DeleteKey(e.section, e.key);
  } else {
    engine.WriteString(e.section, e.key, e.value);
  }
}

// clang-format off
const Edit kEdits[] = {
    {u"setting", u"file_folder", u"d:\\new folder"}, {u"SETTING", u"newkey", u"inner   blanks kept"},
    {u"Added", u"x", u"1"}, {u" added ", u" y ", u"2"}, {u"setting", u"DUP", u"replaced"},
    {u"setting", u"int1", nullptr}, {u"setting", u"dup", nullptr}, {u"setting", u"only2", nullptr},
    {u"title", nullptr, nullptr}, {u"Title", u"t5", u"新しいタイトル"}, {u"setting", u"upper", u"lower"},
    {u"setting", u"bare line without equals", u"now has a value"}, {u"setting", u"empty", u""},
    {u"listliew", u"max_cont", u"0"}, {u"nosuch", u"x", nullptr}, {u"nosuch", nullptr, nullptr},
    {u"setting", u"quoted2", u"\"c:\\a b\\c.exe"}, {u"setting", u"quoted3", u"a 'b' c"},
};
// clang-format on

// Applies every edit of kEdits to both files and saves the engine's.
void ApplyAll(const std::wstring& api, IniFile& engine) {
  for (const Edit& e : kEdits) Apply(api, engine, e);
  ASSERT_TRUE(engine.Save());
}

}  // namespace

TEST_F(IniDifferential, ReadsMatchInEveryEncodingAndLineEnd) {
  for (Form form : {Form::Utf16Crlf, Form::Utf16Lf, Form::AnsiCrlf, Form::AnsiLf, Form::Utf8Bom}) {
    // Only characters of the ANSI code page survive an ANSI file.
    const bool ansi = form == Form::AnsiCrlf || form == Form::AnsiLf;
    const std::wstring path = NewFile(Encode(ansi ? ThroughAnsi(kBaseFile) : kBaseFile, form));
    CompareReads(path, IniFile(U(path), Ansi()).Doc(), "form " + std::to_string(static_cast<int>(form)));
  }
}

TEST_F(IniDifferential, EmptyBomOnlyAndMissingFilesReadAsDefaults) {
  for (const std::wstring& path : {NewFile(""), NewFile("\xFF\xFE"), NewFile("", false)}) {
    CompareReads(path, IniFile(U(path), Ansi()).Doc(), "empty/missing");
  }
}

TEST_F(IniDifferential, SameWritesLeaveTheSameSectionsKeysAndValues) {
  for (Form form : {Form::Utf16Crlf, Form::Utf16Lf, Form::AnsiCrlf}) {
    const std::wstring api = NewFile(Encode(kBaseFile, form)), own = NewFile(Encode(kBaseFile, form));
    IniFile engine(U(own), Ansi());
    ApplyAll(api, engine);
    // An ANSI file stays ANSI under the profile functions and loses the
    // Japanese title written into it; the engine's rewrite keeps it.
    EXPECT_TRUE(SameContents(ApiContents(own, form == Form::AnsiCrlf), ApiContents(api)));
    // Reading the written files again gives the same answers.
    CompareReads(api, IniFile(U(own), Ansi()).Doc(), "after edits");
    CompareReads(own, IniFile(U(api), Ansi()).Doc(), "after edits, crossed");
  }
}

TEST_F(IniDifferential, PlainFilesAreWrittenByteForByteAlike) {
  // Without comments, blank lines or spacing, new keys and sections land in the same places.
  const std::string plain = Encode(
      u"[setting]\r\nfile_folder=c:\\\r\nmoji_type=0\r\n[Title]\r\nt0=A\r\nt1=B\r\n[listview_dt]\r\n0,0.m="
      u"1\r\n",
      Form::Utf16Crlf);
  const std::wstring api = NewFile(plain), own = NewFile(plain);
  IniFile engine(U(own), Ansi());
  ApplyAll(api, engine);
  EXPECT_EQ(tovrel::ReadWholeFile(U(own)).bytes, tovrel::ReadWholeFile(U(api)).bytes);
}

TEST_F(IniDifferential, NewFilesHoldTheSameContents) {
  const std::wstring api = NewFile("", false), own = NewFile("", false);
  IniFile engine(U(own), Ansi());
  ApplyAll(api, engine);
  // The profile functions create an ANSI file, losing the Japanese title; the engine keeps it.
  const std::vector<std::u16string> ownLines = ApiContents(own);
  EXPECT_NE(std::find(ownLines.begin(), ownLines.end(), u"t5=新しいタイトル"), ownLines.end());
  EXPECT_TRUE(SameContents(ApiContents(own, true), ApiContents(api)));
}

TEST_F(IniDifferential, RandomFilesAndOperationsAgree) {
  std::mt19937 rng(12061);
  const auto pick = [&rng](const auto& list) { return list[rng() % std::size(list)]; };
  // Random files built from the line shapes that occur in real files.
  static const char16_t* const names[] = {u"a", u"A", u"b", u"Key", u"KEY", u"k ", u" k", u"図", u"é"};
  static const char16_t* const values[] = {
      u"1",  u"",     u" x ", u"\"q\"", u"'s'",  u"\"", u"12abc",
      u"-5", u"0x1f", u"値",  u"a=b",   u"\"a'", u"  ", u"long value with words"};
  // Names differ in case only in ASCII letters here: Wine folds only those,
  // while Windows, and the engine, fold accented letters too.
  static const char16_t* const probes[] = {u"a", u"A", u"b", u"key", u"k", u"図", u"é", u"", u"zz"};
  for (int round = 0; round < 120; ++round) {
    std::u16string text;
    for (int n = static_cast<int>(rng() % 26); n > 0; --n) {
      const unsigned shape = rng() % 10;
      const char16_t* const parts[][3] = {{u"[", pick(names), u"]"},
                                          {u"; ", pick(names), u"=c"},
                                          {u"", u"", u""},
                                          {pick(names), u"", u""},
                                          {pick(names), u"=", pick(values)}};
      for (const char16_t* part : parts[std::min(shape, 4u)]) text += part;
      text += rng() % 10 < 8 ? u"\r\n" : u"\n";
    }
    const std::wstring api = NewFile(Encode(text, Form::Utf16Crlf)),
                       own = NewFile(Encode(text, Form::Utf16Crlf));
    IniFile engine(U(own), Ansi());
    for (int q = 0; q < 40; ++q) {
      const char16_t *s = pick(probes), *k = pick(probes);
      if (!*s) continue;  // the empty section name: see the top of this file
      const DWORD n = 1 + rng() % 12;
      // A value of two quotes alone read into a one-character buffer makes
      // Wine write before the buffer; that case is not asked.
      if (n == 1 && ApiString(api, s, k, u"d", 2) == u"\"") continue;
      EXPECT_EQ(engine.GetString(s, k, u"d", n), ApiString(api, s, k, u"d", n))
          << "round " << round << " [" << Utf16ToUtf8(s) << "] " << Utf16ToUtf8(k) << " size " << n;
      EXPECT_EQ(engine.GetInt(s, k, 3), GetPrivateProfileIntW(W(s).c_str(), W(k).c_str(), 3, api.c_str()));
    }
    std::string edits;
    for (int w = 0; w < 6; ++w) {
      const char16_t *s = pick(probes), *k = pick(probes);
      if (!*s || !*k) continue;
      const unsigned c = rng() % 6;
      Apply(api, engine, {s, c < 5 ? k : nullptr, c < 4 ? u"new" : nullptr});
      edits += (c < 4   ? "write ["
                : c < 5 ? "delete key ["
                        : "delete section [") +
               Utf16ToUtf8(s) + "] " + (c < 5 ? Utf16ToUtf8(k) : "") + "\n";
    }
    ASSERT_TRUE(engine.Save());
    EXPECT_TRUE(SameContents(ApiContents(own), ApiContents(api))) << "round " << round << "\n--- file\n"
                                                                  << Utf16ToUtf8(text) << "--- edits\n"
                                                                  << edits;
  }
}

// Values the engine writes in quotes: the profile functions read them back
// exactly as they were written, and still do once they have rewritten the
// file themselves.
TEST_F(IniDifferential, QuotedValuesReadBackAsWrittenThroughTheProfileFunctions) {
  const std::u16string values[] = {u" x ",     u"\"x\"",  u"'x'", u" c:\\drawings ", u" ", u"\tA4\t",
                                   u"trail  ", u"  lead", u"\"\"", u"''",            u"\"", std::u16string(258, u'a') + u" "};
  const std::wstring path = NewFile("", false);
  IniFile engine(U(path), Ansi());
  for (std::size_t i = 0; i < std::size(values); ++i) engine.WriteString(u"q", U(std::to_wstring(i)), values[i]);
  ASSERT_TRUE(engine.Save());
  for (int pass = 0; pass < 2; ++pass) {
    EXPECT_EQ(IniFile(U(path), Ansi()).Doc().HasKey(u"other", u"k"), pass == 1);
    for (std::size_t i = 0; i < std::size(values); ++i) {
      const std::u16string key = U(std::to_wstring(i));
      const DWORD room = static_cast<DWORD>(values[i].size()) + 2;  // the value, its closing quote and the null
      EXPECT_EQ(ApiString(path, u"q", key, u"d", room), values[i]) << "pass " << pass << " value " << i;
      EXPECT_EQ(ApiString(path, u"q", key, u"d", 1024), values[i]) << "pass " << pass << " value " << i;
      // The engine's field read of the same file agrees, the field holding the value exactly.
      EXPECT_EQ(IniFile(U(path), Ansi()).Doc().GetField(u"q", key, u"d", values[i].size() + 1), values[i])
          << "pass " << pass << " value " << i;
    }
    // The profile functions rewrite the whole file on a write of their own.
    WritePrivateProfileStringW(L"other", L"k", L"v", path.c_str());
  }
}
