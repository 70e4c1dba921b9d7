#include "storage/old_templates.h"

#include <array>
#include <cstdint>
#include <limits>
#include <utility>

namespace tovrel {

namespace {

constexpr std::size_t kFieldCount = 14;
constexpr std::size_t kShortestColumnLine = 4;  // bytes, line end included

// The bytes of a line as the old program saw them: a C string, so a null
// byte ends it.
std::string_view AsText(const std::string& line) {
  const std::string_view text(line);
  return text.substr(0, text.find('\0'));
}

bool EndsWithLineEnd(std::string_view line) {
  return line.size() >= 2 && line[line.size() - 2] == '\r' && line.back() == '\n';
}

// Fields 1 to 14 of a column line; a field ends at ';', at a carriage
// return or at the end of the text, and one the line lacks is empty.
std::array<std::string_view, kFieldCount> SplitFields(std::string_view text) {
  text = text.substr(0, text.find('\r'));
  std::array<std::string_view, kFieldCount> fields{};
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    const std::size_t end = text.find(';');
    fields[i] = text.substr(0, end);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return fields;
}

std::u16string Decode(std::string_view bytes, const AnsiCodePage& ansi, std::size_t bufferSize) {
  if (bytes.empty()) return {};
  return CutToField(ansi.ToUtf16(bytes), bufferSize);
}

}  // namespace

std::u16string FolderOfPath(std::u16string_view path) {
  const std::size_t slash = path.rfind(u'\\');
  return slash == std::u16string_view::npos ? std::u16string() : std::u16string(path.substr(0, slash + 1));
}

bool OldLineReader::Next(std::string& line) {
  line.clear();
  if (pos_ >= bytes_.size()) return false;
  while (pos_ < bytes_.size() && line.size() < kMaxLineBytes) {
    line += bytes_[pos_++];
    if (EndsWithLineEnd(line)) return true;
  }
  // The rest of an overlong line is no line of its own: it is skipped up to
  // and with the next line end.
  if (pos_ < bytes_.size()) {
    const std::size_t end = bytes_.find("\r\n", line.back() == '\r' ? pos_ - 1 : pos_);
    pos_ = end == std::string_view::npos ? bytes_.size() : end + 2;
  }
  return true;
}

std::int32_t LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::int64_t value = 0;
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value < kLimit) value = value * 10 + (text[i] - '0');
  }
  if (value > kLimit) value = kLimit;
  if (negative) return static_cast<std::int32_t>(-value);
  return static_cast<std::int32_t>(value == kLimit ? kLimit - 1 : value);
}

void ReadOldTitles(std::string_view bytes, const AnsiCodePage& ansi, TemplateSet& templates) {
  for (ScriptTemplate& tmpl : templates) {
    tmpl.inUse = 0;
    tmpl.title.clear();
  }
  OldLineReader reader(bytes);
  std::string line;
  for (ScriptTemplate& tmpl : templates) {
    if (reader.Next(line) && AsText(line).substr(0, 1) == "1") tmpl.inUse = 1;
    if (reader.Next(line)) {
      // Only the line end goes: a last title without one keeps every character.
      std::string_view title = AsText(line);
      if (EndsWithLineEnd(title)) title.remove_suffix(2);
      tmpl.title = Decode(title, ansi, ScriptTemplate::kTitleSize);
    }
    // A template is in use exactly when it has a title.
    if (tmpl.title.empty()) tmpl.inUse = 0;
  }
}

void ReadOldColumns(std::string_view bytes, const AnsiCodePage& ansi, TemplateSet& templates) {
  for (ScriptTemplate& tmpl : templates) {
    for (TemplateColumn& column : tmpl.columns) column = TemplateColumn{};
  }
  OldLineReader reader(bytes);
  std::string line;
  while (reader.Next(line)) {
    const std::string_view text = AsText(line);
    if (text.size() < kShortestColumnLine) return;
    const auto f = SplitFields(text);
    const std::int32_t templateIndex = LeadingNumber(f[0]);
    if (templateIndex < 0 || templateIndex >= kTemplateCount) return;
    const std::int32_t columnIndex = LeadingNumber(f[1]);
    if (columnIndex < 0 || columnIndex >= kColumnCount) return;
    TemplateColumn& column = templates[templateIndex].columns[columnIndex];
    column.inUse = 1;
    column.itemText = Decode(f[2], ansi, TemplateColumn::kItemTextSize);
    column.outputMode = LeadingNumber(f[3]);
    column.displayMode = LeadingNumber(f[4]);
    column.editMode = LeadingNumber(f[5]);
    column.width = LeadingNumber(f[6]);
    for (std::size_t s = 0; s < TemplateColumn::kSelectTextCount; ++s) {
      column.selectText[s] = Decode(f[7 + s], ansi, TemplateColumn::kSelectTextSize);
    }
    column.initialValue = Decode(f[12], ansi, TemplateColumn::kInitialValueSize);
    column.command = Decode(f[13], ansi, TemplateColumn::kCommandSize);
  }
}

OldConversion ConvertOldTemplates(const std::u16string& folder, const AnsiCodePage& ansi,
                                  TemplateSet& templates, const ReadFileFunction& read) {
  // Both files are read before anything changes: a conversion that fails
  // leaves every template as it was.
  const FileContents titles = read(folder + kOldTitleFileName);
  if (titles.status != ReadStatus::Ok) return OldConversion::TitleFileUnreadable;
  const FileContents columns = read(folder + kOldColumnFileName);
  if (columns.status != ReadStatus::Ok) return OldConversion::ColumnFileUnreadable;
  TemplateSet converted = templates;
  ReadOldTitles(titles.bytes, ansi, converted);
  ReadOldColumns(columns.bytes, ansi, converted);
  templates = std::move(converted);
  return OldConversion::Converted;
}

}  // namespace tovrel
