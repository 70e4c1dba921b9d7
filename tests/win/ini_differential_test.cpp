// The INI engine against the real private-profile functions: the same files
// and the same operations must give the same answers, and after the same
// writes both files must hold the same sections, keys and values.
//
// Where the engine differs on purpose:
// - it always writes UTF-16LE with a byte-order mark (the profile functions
//   keep an ANSI file ANSI, losing every character the code page lacks);
// - it writes the whole file at once through a temporary file;
// - it keeps comment lines, blank lines and "key = value" spacing of lines
//   it does not change, as Windows does. Wine rebuilds the file on every
//   write, so for such files the values read back are compared, not bytes.
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

namespace {

std::wstring W(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }
std::u16string U(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }

class Scratch {
public:
  Scratch() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    dir_ = std::wstring(temp) + L"tovrel-diff-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(dir_.c_str(), nullptr);
  }
  ~Scratch() {
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((dir_ + L"\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        DeleteFileW((dir_ + L"\\" + found.cFileName).c_str());
      } while (FindNextFileW(h, &found));
      FindClose(h);
    }
    RemoveDirectoryW(dir_.c_str());
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  // A new file name each time, so no cached copy of an earlier file can answer.
  std::wstring NewPath(const wchar_t* stem) {
    return dir_ + L"\\" + stem + L"-" + std::to_wstring(++counter_) + L".ini";
  }

private:
  std::wstring dir_;
  int counter_ = 0;
};

void PutBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  if (!bytes.empty()) WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
  ASSERT_EQ(written, bytes.size());
}

std::string GetBytes(const std::wstring& path) {
  tovrel::FileContents c = tovrel::ReadWholeFile(U(path));
  return c.bytes;
}

enum class Form { Utf16Crlf, Utf16Lf, AnsiCrlf, AnsiLf, Utf8Bom };

std::string Encode(const std::u16string& text, Form form) {
  std::u16string t = text;
  if (form == Form::Utf16Lf || form == Form::AnsiLf) {
    std::u16string lf;
    for (char16_t c : t) {
      if (c != u'\r') lf += c;
    }
    t = lf;
  }
  switch (form) {
    case Form::Utf16Crlf:
    case Form::Utf16Lf: {
      std::string out = "\xFF\xFE";
      tovrel::AppendUtf16Le(out, t);
      return out;
    }
    case Form::Utf8Bom:
      return "\xEF\xBB\xBF" + tovrel::Utf16ToUtf8(t);
    default:
      return tovrel::SystemAnsiCodePage().FromUtf16(t);
  }
}

// What the real function puts into a buffer of `size` characters.
std::u16string ApiString(const std::wstring& path, const std::u16string& section,
                         const std::u16string& key, const std::u16string& def, DWORD size) {
  std::vector<wchar_t> buffer(size + 1, L'#');
  GetPrivateProfileStringW(W(section).c_str(), W(key).c_str(), W(def).c_str(), buffer.data(), size,
                           path.c_str());
  if (size == 0) return {};
  return U(buffer.data());
}

// Every section name with every "key=value" line of its first copy, as the
// real functions list them: a neutral view of what a file holds.
std::vector<std::wstring> ApiContents(const std::wstring& path) {
  std::vector<wchar_t> names(1 << 16);
  const DWORD n = GetPrivateProfileSectionNamesW(names.data(), static_cast<DWORD>(names.size()), path.c_str());
  std::vector<std::wstring> out;
  for (const wchar_t* p = names.data(); p < names.data() + n && *p; p += wcslen(p) + 1) {
    out.push_back(L"[" + std::wstring(p) + L"]");
    std::vector<wchar_t> keys(1 << 18);
    const DWORD k = GetPrivateProfileSectionW(p, keys.data(), static_cast<DWORD>(keys.size()), path.c_str());
    for (const wchar_t* q = keys.data(); q < keys.data() + k && *q; q += wcslen(q) + 1) out.push_back(q);
  }
  return out;
}

// Both lists equal, or the first line where they part.
::testing::AssertionResult SameContents(const std::vector<std::wstring>& own,
                                        const std::vector<std::wstring>& api) {
  for (std::size_t i = 0; i < own.size() || i < api.size(); ++i) {
    const std::wstring a = i < own.size() ? own[i] : L"<end>";
    const std::wstring b = i < api.size() ? api[i] : L"<end>";
    if (a != b) {
      return ::testing::AssertionFailure()
             << "line " << i << ": engine \"" << tovrel::Utf16ToUtf8(U(a)) << "\", profile functions \""
             << tovrel::Utf16ToUtf8(U(b)) << "\"";
    }
  }
  return ::testing::AssertionSuccess();
}

// The lines as an ANSI file would hold them.
std::vector<std::wstring> SeenThroughAnsi(const std::vector<std::wstring>& lines) {
  std::vector<std::wstring> out;
  for (const std::wstring& line : lines) {
    const std::string ansi = tovrel::SystemAnsiCodePage().FromUtf16(U(line));
    out.push_back(W(tovrel::SystemAnsiCodePage().ToUtf16(ansi)));
  }
  return out;
}

const char16_t* const kBaseFile =
    u"; leading comment\r\n"
    u"top=before any section\r\n"
    u"\r\n"
    u"[Setting]\r\n"
    u"file_folder=c:\\drawings\r\n"
    u"  Spaced Key  =   spaced value   \r\n"
    u"UPPER=Case\r\n"
    u"quoted=\"c:\\Program Files\\aclt.exe\"\r\n"
    u"single='single quoted'\r\n"
    u"mismatch=\"open'\r\n"
    u"onequote=\"\r\n"
    u"empty=\r\n"
    u"bare line without equals\r\n"
    u";commented=1\r\n"
    u"dup=first\r\n"
    u"dup=second\r\n"
    u"int1=12abc\r\n"
    u"int2=-5\r\n"
    u"int3= 7\r\n"
    u"int4=0x10\r\n"
    u"int5=\r\n"
    u"int6=0X10\r\n"
    u"int7=+8\r\n"
    u"int8=\"42\"\r\n"
    u"long=abcdefghijklmnopqrstuvwxyz\r\n"
    u"accent=café crème\r\n"
    u"\r\n"
    u"[setting]\r\n"
    u"dup=in the second section\r\n"
    u"only2=second copy only\r\n"
    u"[ spaced section ]\r\n"
    u"k=v\r\n"
    u"[Title]\r\n"
    u"t0=図面セット\r\n"
    u"t1=한국어 中文\r\n"
    u"[listliew]\r\n"
    u"max_cont=3\r\n"
    u"0,0=a.dwg\r\n";

struct Lookup {
  const char16_t* section;
  const char16_t* key;
};

const Lookup kLookups[] = {
    {u"", u"top"},          {u"Setting", u"file_folder"}, {u"SETTING", u"FILE_FOLDER"},
    {u" setting ", u" file_folder "}, {u"setting", u"spaced key"}, {u"setting", u"Spaced Key"},
    {u"setting", u"upper"}, {u"setting", u"quoted"},      {u"setting", u"single"},
    {u"setting", u"mismatch"}, {u"setting", u"onequote"}, {u"setting", u"empty"},
    {u"setting", u"bare line without equals"},           {u"setting", u";commented"},
    {u"setting", u"commented"}, {u"setting", u"dup"},     {u"setting", u"only2"},
    {u"setting", u"long"},  {u"setting", u"accent"},      {u"setting", u"missing"},
    {u"missing", u"dup"},   {u"spaced section", u"k"},    {u" spaced section ", u"k"},
    {u"title", u"t0"},      {u"Title", u"T1"},            {u"listliew", u"max_cont"},
    {u"listliew", u"0,0"},  {u"setting", u"int1"},        {u"setting", u"int3"},
};

const Lookup kIntLookups[] = {
    {u"setting", u"int1"}, {u"setting", u"int2"}, {u"setting", u"int3"}, {u"setting", u"int4"},
    {u"setting", u"int5"}, {u"setting", u"int6"}, {u"setting", u"int7"}, {u"setting", u"int8"},
    {u"setting", u"empty"}, {u"setting", u"bare line without equals"}, {u"setting", u"missing"},
    {u"listliew", u"max_cont"}, {u"setting", u"upper"}, {u"nosuch", u"int2"},
};

void CompareReads(const std::wstring& path, const IniDocument& doc, const std::string& what) {
  const char16_t* defaults[] = {u"", u"def", u"c:\\   ", u"\"q\"", u"  lead"};
  const DWORD sizes[] = {1, 2, 3, 4, 5, 8, 260};
  for (const Lookup& l : kLookups) {
    for (const char16_t* def : defaults) {
      for (DWORD size : sizes) {
        EXPECT_EQ(doc.GetString(l.section, l.key, def, size), ApiString(path, l.section, l.key, def, size))
            << what << " [" << tovrel::Utf16ToUtf8(l.section) << "] " << tovrel::Utf16ToUtf8(l.key)
            << " default \"" << tovrel::Utf16ToUtf8(def) << "\" size " << size;
      }
    }
  }
  for (const Lookup& l : kIntLookups) {
    for (INT def : {0, -3, 9}) {
      EXPECT_EQ(doc.GetInt(l.section, l.key, def),
                GetPrivateProfileIntW(W(l.section).c_str(), W(l.key).c_str(), def, path.c_str()))
          << what << " int [" << tovrel::Utf16ToUtf8(l.section) << "] " << tovrel::Utf16ToUtf8(l.key);
    }
  }
}

class IniDifferential : public ::testing::Test {
protected:
  Scratch scratch_;
};

}  // namespace

TEST_F(IniDifferential, ReadsMatchInEveryEncodingAndLineEnd) {
  const struct {
    Form form;
    const char* name;
  } forms[] = {{Form::Utf16Crlf, "UTF-16LE CRLF"}, {Form::Utf16Lf, "UTF-16LE LF"},
               {Form::AnsiCrlf, "ANSI CRLF"},       {Form::AnsiLf, "ANSI LF"},
               {Form::Utf8Bom, "UTF-8 BOM"}};
  for (const auto& f : forms) {
    std::u16string text = kBaseFile;
    if (f.form == Form::AnsiCrlf || f.form == Form::AnsiLf) {
      // Only characters of the ANSI code page survive an ANSI file.
      const std::string ansi = tovrel::SystemAnsiCodePage().FromUtf16(text);
      text = tovrel::SystemAnsiCodePage().ToUtf16(ansi);
    }
    const std::wstring path = scratch_.NewPath(L"read");
    const std::string bytes = Encode(text, f.form);
    PutBytes(path, bytes);
    IniFile engine(U(path), tovrel::SystemAnsiCodePage());
    CompareReads(path, engine.Doc(), f.name);
  }
}

TEST_F(IniDifferential, EmptyBomOnlyAndMissingFilesReadAsDefaults) {
  const std::wstring empty = scratch_.NewPath(L"empty");
  PutBytes(empty, "");
  const std::wstring bom = scratch_.NewPath(L"bom");
  PutBytes(bom, "\xFF\xFE");
  const std::wstring missing = scratch_.NewPath(L"missing");
  for (const std::wstring& path : {empty, bom, missing}) {
    IniFile engine(U(path), tovrel::SystemAnsiCodePage());
    CompareReads(path, engine.Doc(), "empty/missing");
  }
}

namespace {

struct Edit {
  enum Kind { Write, DeleteKey, DeleteSection } kind;
  const char16_t* section;
  const char16_t* key;
  const char16_t* value;
};

void ApplyToApi(const std::wstring& path, const Edit& e) {
  const std::wstring s = W(e.section);
  const std::wstring k = e.key ? W(e.key) : L"";
  const std::wstring v = e.value ? W(e.value) : L"";
  switch (e.kind) {
    case Edit::Write:
      WritePrivateProfileStringW(s.c_str(), k.c_str(), v.c_str(), path.c_str());
      break;
    case Edit::DeleteKey:
      WritePrivateProfileStringW(s.c_str(), k.c_str(), nullptr, path.c_str());
      break;
    case Edit::DeleteSection:
      WritePrivateProfileStringW(s.c_str(), nullptr, nullptr, path.c_str());
      break;
  }
}

void ApplyToEngine(IniFile& f, const Edit& e) {
  switch (e.kind) {
    case Edit::Write:
      f.WriteString(e.section, e.key, e.value);
      break;
    case Edit::DeleteKey:
      f.DeleteKey(e.section, e.key);
      break;
    case Edit::DeleteSection:
      f.DeleteSection(e.section);
      break;
  }
}

const Edit kEdits[] = {
    {Edit::Write, u"setting", u"file_folder", u"d:\\new folder"},
    {Edit::Write, u"SETTING", u"newkey", u"   leading blanks dropped"},
    {Edit::Write, u"Added", u"x", u"1"},
    {Edit::Write, u" added ", u" y ", u"2"},
    {Edit::Write, u"setting", u"DUP", u"replaced"},
    {Edit::DeleteKey, u"setting", u"int1", nullptr},
    {Edit::DeleteKey, u"setting", u"dup", nullptr},
    {Edit::DeleteKey, u"setting", u"only2", nullptr},
    {Edit::DeleteSection, u"title", nullptr, nullptr},
    {Edit::Write, u"Title", u"t5", u"新しいタイトル"},
    {Edit::Write, u"setting", u"upper", u"lower"},
    {Edit::Write, u"setting", u"bare line without equals", u"now has a value"},
    {Edit::Write, u"setting", u"empty", u""},
    {Edit::Write, u"listliew", u"max_cont", u"0"},
    {Edit::DeleteKey, u"nosuch", u"x", nullptr},
    {Edit::DeleteSection, u"nosuch", nullptr, nullptr},
    {Edit::Write, u"setting", u"quoted2", u"\"c:\\a b\\c.exe\""},
};

}  // namespace

TEST_F(IniDifferential, SameWritesLeaveTheSameSectionsKeysAndValues) {
  for (Form form : {Form::Utf16Crlf, Form::Utf16Lf, Form::AnsiCrlf}) {
    const std::string bytes = Encode(kBaseFile, form);
    const std::wstring api = scratch_.NewPath(L"api");
    const std::wstring own = scratch_.NewPath(L"own");
    PutBytes(api, bytes);
    PutBytes(own, bytes);
    IniFile engine(U(own), tovrel::SystemAnsiCodePage());
    for (const Edit& e : kEdits) {
      ApplyToApi(api, e);
      ApplyToEngine(engine, e);
    }
    ASSERT_TRUE(engine.Save());
    // An ANSI file stays ANSI under the profile functions and loses the
    // Japanese title written into it; the engine's rewrite keeps it.
    const std::vector<std::wstring> ownLines = ApiContents(own);
    EXPECT_TRUE(SameContents(form == Form::AnsiCrlf ? SeenThroughAnsi(ownLines) : ownLines, ApiContents(api)));
    // Reading the written files again gives the same answers.
    IniFile apiWritten(U(api), tovrel::SystemAnsiCodePage());
    IniFile ownWritten(U(own), tovrel::SystemAnsiCodePage());
    CompareReads(api, ownWritten.Doc(), "after edits");
    CompareReads(own, apiWritten.Doc(), "after edits, crossed");
  }
}

TEST_F(IniDifferential, PlainFilesAreWrittenByteForByteAlike) {
  // Without comments, blank lines or spacing, the engine's file and the one
  // the profile functions write are the same bytes: new keys and sections
  // land in the same places.
  const std::u16string plain =
      u"[setting]\r\nfile_folder=c:\\\r\nmoji_type=0\r\n[Title]\r\nt0=A\r\nt1=B\r\n[listview_dt]\r\n0,0.m=1\r\n";
  const std::wstring api = scratch_.NewPath(L"api");
  const std::wstring own = scratch_.NewPath(L"own");
  PutBytes(api, Encode(plain, Form::Utf16Crlf));
  PutBytes(own, Encode(plain, Form::Utf16Crlf));
  IniFile engine(U(own), tovrel::SystemAnsiCodePage());
  for (const Edit& e : kEdits) {
    ApplyToApi(api, e);
    ApplyToEngine(engine, e);
  }
  ASSERT_TRUE(engine.Save());
  EXPECT_EQ(GetBytes(own), GetBytes(api));
}

TEST_F(IniDifferential, NewFilesHoldTheSameContents) {
  const std::wstring api = scratch_.NewPath(L"api");
  const std::wstring own = scratch_.NewPath(L"own");
  IniFile engine(U(own), tovrel::SystemAnsiCodePage());
  for (const Edit& e : kEdits) {
    ApplyToApi(api, e);
    ApplyToEngine(engine, e);
  }
  ASSERT_TRUE(engine.Save());
  // The profile functions create a new file in the ANSI code page, so a
  // Japanese title comes back as question marks; the engine's UTF-16 file
  // keeps it. Apart from that both files hold the same.
  const std::vector<std::wstring> ownLines = ApiContents(own);
  EXPECT_NE(std::find(ownLines.begin(), ownLines.end(), L"t5=新しいタイトル"), ownLines.end());
  EXPECT_TRUE(SameContents(SeenThroughAnsi(ownLines), ApiContents(api)));
}

namespace {

// Random files built from the line shapes that occur in real files.
std::u16string RandomFile(std::mt19937& rng) {
  static const char16_t* const names[] = {u"a", u"A", u"b", u"Key", u"KEY", u"k ", u" k", u"図", u"é"};
  static const char16_t* const values[] = {u"1",     u"",      u" x ",   u"\"q\"", u"'s'",  u"\"",
                                           u"12abc", u"-5",    u"0x1f",  u"値",   u"a=b",  u"\"a'",
                                           u"  ",    u"long value with words"};
  std::uniform_int_distribution<int> lines(0, 25);
  std::uniform_int_distribution<int> shape(0, 9);
  std::uniform_int_distribution<int> name(0, static_cast<int>(std::size(names)) - 1);
  std::uniform_int_distribution<int> value(0, static_cast<int>(std::size(values)) - 1);
  std::u16string out;
  for (int n = lines(rng); n > 0; --n) {
    switch (shape(rng)) {
      case 0:
        out += u'[';
        out += names[name(rng)];
        out += u']';
        break;
      case 1:
        out += u"; ";
        out += names[name(rng)];
        out += u"=c";
        break;
      case 2:
        break;  // blank line
      case 3:
        out += names[name(rng)];
        break;
      default:
        out += std::u16string(names[name(rng)]) + u"=" + values[value(rng)];
        break;
    }
    out += shape(rng) < 8 ? u"\r\n" : u"\n";
  }
  return out;
}

}  // namespace

TEST_F(IniDifferential, RandomFilesAndOperationsAgree) {
  std::mt19937 rng(12061);
  // Names differ in case only in ASCII letters here: Wine folds only those,
  // while Windows, and the engine, fold accented letters too.
  const char16_t* const probes[] = {u"a", u"A", u"b", u"key", u"k", u"図", u"é", u"", u"zz"};
  std::uniform_int_distribution<int> probe(0, static_cast<int>(std::size(probes)) - 1);
  std::uniform_int_distribution<DWORD> size(1, 12);
  for (int round = 0; round < 120; ++round) {
    const std::u16string text = RandomFile(rng);
    const std::string bytes = Encode(text, Form::Utf16Crlf);
    const std::wstring api = scratch_.NewPath(L"rnd-api");
    const std::wstring own = scratch_.NewPath(L"rnd-own");
    PutBytes(api, bytes);
    PutBytes(own, bytes);
    IniFile engine(U(own), tovrel::SystemAnsiCodePage());
    for (int q = 0; q < 40; ++q) {
      const char16_t* s = probes[probe(rng)];
      const char16_t* k = probes[probe(rng)];
      const DWORD n = size(rng);
      const std::u16string mine = engine.GetString(s, k, u"d", n);
      // A value of two quotes alone read into a one-character buffer makes
      // Wine write before the buffer; that case is not asked.
      if (n == 1 && ApiString(api, s, k, u"d", 2) == u"\"") continue;
      EXPECT_EQ(mine, ApiString(api, s, k, u"d", n)) << "round " << round << " [" << tovrel::Utf16ToUtf8(s)
                                                      << "] " << tovrel::Utf16ToUtf8(k) << " size " << n;
      EXPECT_EQ(engine.GetInt(s, k, 3), GetPrivateProfileIntW(W(s).c_str(), W(k).c_str(), 3, api.c_str()));
    }
    std::string edits;
    std::uniform_int_distribution<int> kind(0, 5);
    for (int w = 0; w < 6; ++w) {
      const char16_t* s = probes[probe(rng)];
      const char16_t* k = probes[probe(rng)];
      if (!*s || !*k) continue;
      const int c = kind(rng);
      const Edit e = c < 4 ? Edit{Edit::Write, s, k, u"new"}
                           : c < 5 ? Edit{Edit::DeleteKey, s, k, nullptr} : Edit{Edit::DeleteSection, s, nullptr, nullptr};
      ApplyToApi(api, e);
      ApplyToEngine(engine, e);
      edits += (c < 4 ? "write [" : c < 5 ? "delete key [" : "delete section [") +
               tovrel::Utf16ToUtf8(s) + "] " + (c < 5 ? tovrel::Utf16ToUtf8(k) : "") + "\n";
    }
    ASSERT_TRUE(engine.Save());
    EXPECT_TRUE(SameContents(ApiContents(own), ApiContents(api)))
        << "round " << round << "\n--- file\n" << tovrel::Utf16ToUtf8(text) << "--- edits\n" << edits;
  }
}
