// An INI file held in memory, read and changed with the semantics of the
// Windows private-profile functions, and written back whole.
//
// Layout is kept: lines the program does not change (comments, blank lines,
// "key = value" spacing, unknown sections and keys) are written back exactly
// as they were read, as Windows does when it edits a profile file in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "storage/name_index.h"
#include "storage/text_codec.h"

namespace tovrel {

// Characters the profile functions trim around names and values.
bool IsProfileSpace(char16_t c);

// What encoding the bytes of a file were in.
enum class TextEncoding { Ansi, Utf8, Utf16Le, Utf16Be };

// Decodes the bytes of a profile file: a UTF-8, UTF-16LE or UTF-16BE
// byte-order mark selects that encoding, anything else is ANSI text. Every
// character is kept, null characters included.
std::u16string DecodeProfileBytes(std::string_view bytes, const AnsiCodePage& ansi,
                                  TextEncoding* encoding = nullptr);

// Hashing and equality of names without regard to case, usable with a
// string view so that a lookup allocates nothing.
struct FoldedHash {
  using is_transparent = void;
  std::size_t operator()(std::u16string_view s) const noexcept;
};
struct FoldedEqual {
  using is_transparent = void;
  bool operator()(std::u16string_view a, std::u16string_view b) const noexcept {
    return EqualsIgnoreCase(a, b);
  }
};
using FoldedIndex = std::unordered_map<std::u16string, std::size_t, FoldedHash, FoldedEqual>;

class IniDocument {
public:
  IniDocument();

  // Parses decoded text; any input is accepted (CRLF, LF or CR line ends).
  // A null character is an ordinary character of its line.
  static IniDocument Parse(std::u16string_view text);
  static IniDocument FromBytes(std::string_view bytes, const AnsiCodePage& ansi);

  // As GetPrivateProfileStringW with a key: the value, or the default when
  // the key is missing or has no "=", with surrounding quotes removed, cut
  // to bufferSize - 1 characters (bufferSize counts the terminating null).
  // The empty section name is the section headed "[]"; the lines before the
  // first header belong to no section.
  std::u16string GetString(std::u16string_view section, std::u16string_view key,
                           std::u16string_view defaultText, std::size_t bufferSize) const;

  // As GetString, for reading a value into a field of bufferSize characters
  // (terminator included). Where GetString, like the profile functions,
  // drops the last character of a quoted value that fills the buffer
  // exactly, this reads the value whole, so that a value written in quotes
  // because of a blank at its end reads back as it was written.
  std::u16string GetField(std::u16string_view section, std::u16string_view key,
                          std::u16string_view defaultText, std::size_t bufferSize) const;

  // As GetPrivateProfileIntW: decimal, "0x" hex, "0o" octal or "0b" binary
  // digits after an optional sign, up to the first other character; the
  // default when the value is missing or empty. Arithmetic wraps at 32 bits.
  std::uint32_t GetInt(std::u16string_view section, std::u16string_view key,
                       std::int32_t defaultValue) const;

  // True when the key exists in the first section of that name.
  bool HasKey(std::u16string_view section, std::u16string_view key) const;
  // True when the file has a section of that name (trimmed).
  bool HasSection(std::u16string_view section) const;

  // As WritePrivateProfileStringW: replaces the value of the first such key
  // of the first such section, or appends the key to that section, or
  // appends a new section. Line breaks inside a name or value are written as
  // blanks so that a value can never turn into further lines of the file.
  // A value that the reading rules would change (blanks or tabs at either
  // end, matching quotes at both ends) is written inside double quotes, the
  // pair those rules remove, so that it reads back as written here, after
  // a reload and in any program that reads the file with the profile
  // functions. Every other value is written as it is.
  void WriteString(std::u16string_view section, std::u16string_view key,
                   std::u16string_view value);
  // As WritePrivateProfileStringW with a null value: removes the first such
  // key. Names are trimmed, as for reads and writes.
  void DeleteKey(std::u16string_view section, std::u16string_view key);
  // As WritePrivateProfileStringW with a null key: removes the first section
  // of that name (trimmed).
  void DeleteSection(std::u16string_view section);

  // Makes room for `count` keys in a section about to be written, so that
  // writing a large file does not copy its lines again and again.
  void ReserveKeys(std::u16string_view section, std::size_t count);

  bool IsModified() const { return modified_; }
  void MarkSaved() { modified_ = false; }

  // The whole file as text, lines ended by CRLF.
  std::u16string ToText() const;
  // The whole file as it is written to disk: UTF-16LE, byte-order mark, CRLF.
  std::string ToUtf16LeBytes() const;

private:
  enum class LineKind : std::uint8_t { Blank, Key, KeyWithoutValue, Removed };
  static constexpr std::uint32_t kNoRaw = 0xFFFFFFFFu;
  // One line of a section. Kept small: a list file has 320,000 of them.
  struct Line {
    std::u16string name;        // key name as stored (trimmed)
    std::u16string value;       // value as stored; for a blank line the line as read
    std::uint32_t raw = kNoRaw; // index in raws_ of the line as read, written back
                                // unchanged while the key keeps its value
    LineKind kind = LineKind::Blank;
  };
  struct Section {
    std::u16string name;        // as between the brackets, untrimmed
    bool hasHeader = false;     // false only for the lines before the first section,
                                // which no section name finds
    bool removed = false;
    std::u16string rawHeader;   // header line as read; empty means "[name]"
    std::vector<Line> lines;
    std::vector<std::u16string> trailingBlanks;  // blank lines before the next section
    NameIndex firstKey;         // name -> first line of that name
    std::u16string_view NameAt(std::size_t line) const { return lines[line].name; }
  };

  const Section* FindSection(std::u16string_view trimmedName) const;
  Section* FindSection(std::u16string_view trimmedName);
  const Line* FindKey(std::u16string_view section, std::u16string_view key) const;
  void AppendLine(Section& section, Line line);
  void IndexKey(Section& section, std::size_t lineIndex);
  void ReindexKey(Section& section, std::u16string_view name, std::size_t from);
  void ReindexSection(std::u16string_view name, std::size_t from);
  void AppendLineText(std::u16string& out, const Line& line) const;

  std::vector<Section> sections_;
  FoldedIndex firstSection_;  // name -> first section of that name
  std::vector<std::u16string> raws_;  // lines kept as read (spacing, comments)
  // Room asked for a section before it exists (see ReserveKeys).
  std::u16string reservedSection_;
  std::size_t reservedKeys_ = 0;
  // The section the last lookup found: the program reads and writes one
  // section thousands of times in a row.
  mutable std::u16string lastSectionQuery_;
  mutable std::size_t lastSection_ = 0;
  mutable bool lastSectionValid_ = false;
  bool modified_ = false;
};

}  // namespace tovrel
