// Templates of the program's earlier generation, kept in two plain text
// files of one folder in the system's ANSI code page:
//
//   "tovrl_set1.ini"  two lines per template 0..19: a flag line ("1..." in
//                     use) and a title line;
//   "tovrl_set2.ini"  one line per template column, fields separated by ';':
//                     template;column;item text;output mode;display mode;
//                     edit mode;width;select 0;..;select 4;initial value;command
//
// Lines end in CR LF and hold at most 259 bytes; the rest of a longer line
// is skipped. Fields are split on bytes and each text is then decoded through the
// code page: in the double-byte code pages of Windows no byte of a two-byte
// character is a ';' or a CR, so a Japanese text never splits a field.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "storage/file_io.h"
#include "storage/script_template.h"
#include "storage/text_codec.h"

namespace tovrel {

inline constexpr char16_t kOldTitleFileName[] = u"tovrl_set1.ini";
inline constexpr char16_t kOldColumnFileName[] = u"tovrl_set2.ini";

// The folder of a chosen path: up to and including its last backslash
// (empty when there is none).
std::u16string FolderOfPath(std::u16string_view path);

// Reads the lines of an old file one at a time, as the old program did.
class OldLineReader {
public:
  static constexpr std::size_t kMaxLineBytes = 259;

  explicit OldLineReader(std::string_view bytes) : bytes_(bytes) {}
  // The next line with its line end, if it has one; false at the end of the
  // file. A line ends after a line feed that follows a carriage return or
  // at the end of the file; of a longer line the first 259 bytes are given
  // and the rest up to its line end is skipped.
  bool Next(std::string& line);

private:
  std::string_view bytes_;
  std::size_t pos_ = 0;
};

// The integer at the start of a field: leading blanks and a sign allowed,
// up to the first other character, 0 without digits; beyond the 32-bit
// range it stays at the nearest end.
std::int32_t LeadingNumber(std::string_view text);

// "tovrl_set1.ini": clears the flag and title of all 20 templates, then
// reads them. A title is cut to its field (63 characters); only its line end
// is removed. A template without a title is not in use.
void ReadOldTitles(std::string_view bytes, const AnsiCodePage& ansi, TemplateSet& templates);

// "tovrl_set2.ini": clears every column of every template, then fills the
// columns the lines name, in use. Reading ends quietly at an empty or short
// line (under 4 bytes) or at a template or column index out of range; the
// columns read until then stay. Texts are cut to their fields.
void ReadOldColumns(std::string_view bytes, const AnsiCodePage& ansi, TemplateSet& templates);

enum class OldConversion { Converted, TitleFileUnreadable, ColumnFileUnreadable };

using ReadFileFunction = std::function<FileContents(const std::u16string& path)>;

// Converts the pair of old files in `folder` (ending in a backslash). Both
// are read first: when either cannot be read, no template changes.
OldConversion ConvertOldTemplates(const std::u16string& folder, const AnsiCodePage& ansi,
                                  TemplateSet& templates, const ReadFileFunction& read = ReadWholeFile);

}  // namespace tovrel
