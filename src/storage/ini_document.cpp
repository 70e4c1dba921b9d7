#include "storage/ini_document.h"

#include <algorithm>
#include <utility>

namespace tovrel {

bool IsProfileSpace(char16_t c) {
  // Tab, line feed, vertical tab, form feed, carriage return, blank, and
  // ^Z, the old end-of-file mark some files still carry.
  return (c >= 0x09 && c <= 0x0d) || c == 0x1a || c == 0x20;
}

namespace {

std::u16string_view TrimProfile(std::u16string_view s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && IsProfileSpace(s[b])) ++b;
  while (e > b && IsProfileSpace(s[e - 1])) --e;
  return s.substr(b, e - b);
}

std::u16string_view TrimLeadingProfile(std::u16string_view s) {
  std::size_t b = 0;
  while (b < s.size() && IsProfileSpace(s[b])) ++b;
  return s.substr(b);
}

// A line break inside a written name or value would split the line on disk.
void AssignSingleLine(std::u16string& out, std::u16string_view s) {
  out.assign(s);
  for (char16_t& c : out) {
    if (c == u'\r' || c == u'\n') c = u' ';
  }
}

bool HasLineBreak(std::u16string_view s) {
  return s.find_first_of(u"\r\n") != std::u16string_view::npos;
}

// True when reading would not give `value` back as it stands: the reading
// rules trim blanks at both ends and remove one pair of matching quotes
// (" or ') that opens and closes a value.
bool NeedsQuotes(std::u16string_view value) {
  if (value.empty()) return false;
  if (IsProfileSpace(value.front()) || IsProfileSpace(value.back())) return true;
  return value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
         value.back() == value.front();
}

// True when `raw` is exactly name "=" value.
bool IsPlainKeyLine(std::u16string_view raw, std::u16string_view name, std::u16string_view value) {
  return raw.size() == name.size() + 1 + value.size() && raw.substr(0, name.size()) == name &&
         raw[name.size()] == u'=' && raw.substr(name.size() + 1) == value;
}

// The copy the profile functions make of a value or default into the
// caller's buffer: quotes that open and close the text are removed, and the
// text is cut to the buffer. The closing quote is removed by dropping the
// last character copied once the buffer could hold the whole quoted text.
std::u16string CopyEntry(std::u16string_view value, std::size_t bufferSize) {
  if (bufferSize == 0) return {};
  bool quoted = false;
  if (value.size() >= 2 && (value[0] == u'\'' || value[0] == u'"') &&
      value.back() == value[0]) {
    quoted = true;
    value.remove_prefix(1);
  }
  std::u16string out(value.substr(0, std::min(value.size(), bufferSize - 1)));
  if (quoted && bufferSize >= value.size() && !out.empty()) out.pop_back();
  return out;
}

std::uint32_t ParseProfileInteger(std::u16string_view s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] <= u' ') ++i;
  bool minus = false;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
    minus = s[i] == u'-';
    ++i;
  }
  std::uint32_t base = 10;
  if (s.size() - i >= 2 && s[i] == u'0') {
    if (s[i + 1] == u'x') base = 16;
    else if (s[i + 1] == u'o') base = 8;
    else if (s[i + 1] == u'b') base = 2;
    if (base != 10) i += 2;
  }
  std::uint32_t total = 0;
  for (; i < s.size(); ++i) {
    const char16_t c = s[i];
    std::uint32_t digit = 99;
    if (c >= u'0' && c <= u'9') digit = c - u'0';
    else if (c >= u'A' && c <= u'Z') digit = c - u'A' + 10;
    else if (c >= u'a' && c <= u'z') digit = c - u'a' + 10;
    if (digit >= base) break;
    total = total * base + digit;  // wraps like the 32-bit original
  }
  return minus ? 0u - total : total;
}

}  // namespace

std::u16string DecodeProfileBytes(std::string_view bytes, const AnsiCodePage& ansi,
                                  TextEncoding* encoding) {
  auto starts = [&](std::string_view bom) { return bytes.substr(0, bom.size()) == bom; };
  TextEncoding found = TextEncoding::Ansi;
  std::u16string text;
  if (starts("\xEF\xBB\xBF")) {
    found = TextEncoding::Utf8;
    text = Utf8ToUtf16(bytes.substr(3));
  } else if (starts("\xFF\xFE")) {
    found = TextEncoding::Utf16Le;
    text = Utf16LeBytesToText(bytes.substr(2));
  } else if (starts("\xFE\xFF")) {
    found = TextEncoding::Utf16Be;
    text = Utf16BeBytesToText(bytes.substr(2));
  } else {
    text = ansi.ToUtf16(bytes);
  }
  if (encoding) *encoding = found;
  // A null character is text like any other: cutting the text there would
  // drop every later line from the file at its next rewrite.
  return text;
}

std::size_t FoldedHash::operator()(std::u16string_view s) const noexcept {
  std::size_t h = 1469598103934665603ull & static_cast<std::size_t>(-1);
  for (const char16_t c : s) {
    h ^= FoldCase(c);
    h *= static_cast<std::size_t>(1099511628211ull);
  }
  return h;
}

IniDocument::IniDocument() {
  Section leading;
  leading.hasHeader = false;
  sections_.push_back(std::move(leading));
}

IniDocument IniDocument::FromBytes(std::string_view bytes, const AnsiCodePage& ansi) {
  return Parse(DecodeProfileBytes(bytes, ansi));
}

IniDocument IniDocument::Parse(std::u16string_view text) {
  IniDocument doc;
  // Most files are one big section: make room for all of their lines at once.
  const std::size_t lineEstimate = static_cast<std::size_t>(std::count(text.begin(), text.end(), u'\n')) + 1;
  doc.sections_.reserve(16);
  Section* current = &doc.sections_.front();
  bool previousKeyNamed = true;  // no previous key in this section yet
  bool havePreviousKey = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = pos;
    while (end < text.size() && text[end] != u'\n' && text[end] != u'\r') ++end;
    const std::u16string_view raw = text.substr(pos, end - pos);
    // One line break is CRLF, LF or CR; further breaks are blank lines.
    pos = end;
    if (pos < text.size() && text[pos] == u'\r') ++pos;
    if (pos < text.size() && text[pos] == u'\n') ++pos;

    const std::u16string_view line = TrimProfile(raw);
    if (line.empty()) {
      Line blank;
      blank.kind = LineKind::Blank;
      blank.value = std::u16string(raw);
      doc.AppendLine(*current, std::move(blank));
      continue;
    }
    if (line.front() == u'[') {
      const std::size_t close = line.find(u']');
      if (close != std::u16string_view::npos) {
        Section section;
        section.hasHeader = true;
        section.name = std::u16string(TrimProfile(line.substr(1, close - 1)));
        if (!(raw.size() == section.name.size() + 2 && raw.front() == u'[' && raw.back() == u']' &&
              raw.substr(1, section.name.size()) == section.name)) {
          section.rawHeader = std::u16string(raw);
        }
        std::u16string name = section.name;
        if (doc.sections_.size() == 1) {
          section.lines.reserve(lineEstimate);
          section.firstKey.Reserve(lineEstimate);
        }
        doc.sections_.push_back(std::move(section));
        doc.firstSection_.try_emplace(std::move(name), doc.sections_.size() - 1);
        current = &doc.sections_.back();
        havePreviousKey = false;
        continue;
      }
      // A "[" without "]" is read as a key line, as the original does.
    }
    Line entry;
    const std::size_t eq = line.find(u'=');
    if (eq == std::u16string_view::npos) {
      entry.kind = LineKind::KeyWithoutValue;
      entry.name = std::u16string(line);
    } else {
      entry.kind = LineKind::Key;
      entry.name = std::u16string(TrimProfile(line.substr(0, eq)));
      entry.value = std::u16string(TrimLeadingProfile(line.substr(eq + 1)));
    }
    // Of several lines in a row whose name is empty, only the first counts.
    if (entry.name.empty() && havePreviousKey && !previousKeyNamed) continue;
    havePreviousKey = true;
    previousKeyNamed = !entry.name.empty();
    const bool plain = entry.kind == LineKind::Key ? IsPlainKeyLine(raw, entry.name, entry.value)
                                                   : raw == entry.name;
    if (!plain) {
      entry.raw = static_cast<std::uint32_t>(doc.raws_.size());
      doc.raws_.emplace_back(raw);
    }
    doc.AppendLine(*current, std::move(entry));
    doc.IndexKey(*current, current->lines.size() - 1);
  }
  doc.modified_ = false;
  return doc;
}

void IniDocument::AppendLine(Section& section, Line line) {
  if (line.kind == LineKind::Blank) {
    section.trailingBlanks.push_back(std::move(line.value));
    return;
  }
  // Blank lines followed by more content belong inside the section.
  for (auto& blank : section.trailingBlanks) {
    Line kept;
    kept.kind = LineKind::Blank;
    kept.value = std::move(blank);
    section.lines.push_back(std::move(kept));
  }
  section.trailingBlanks.clear();
  section.lines.push_back(std::move(line));
}

void IniDocument::IndexKey(Section& section, std::size_t lineIndex) {
  section.firstKey.Insert(section.lines[lineIndex].name, lineIndex,
                          [&section](std::size_t i) { return section.NameAt(i); });
}

const IniDocument::Section* IniDocument::FindSection(std::u16string_view trimmedName) const {
  // Only sections with a header have a name: the empty name finds a "[]"
  // section, never the lines before the first header.
  if (lastSectionValid_ && lastSectionQuery_ == trimmedName) return &sections_[lastSection_];
  const auto it = firstSection_.find(trimmedName);
  if (it == firstSection_.end()) return nullptr;
  lastSectionQuery_.assign(trimmedName);
  lastSection_ = it->second;
  lastSectionValid_ = true;
  return &sections_[it->second];
}

IniDocument::Section* IniDocument::FindSection(std::u16string_view trimmedName) {
  return const_cast<Section*>(std::as_const(*this).FindSection(trimmedName));
}

const IniDocument::Line* IniDocument::FindKey(std::u16string_view section,
                                              std::u16string_view key) const {
  const Section* s = FindSection(TrimProfile(section));
  if (!s) return nullptr;
  const std::size_t line = s->firstKey.Find(TrimProfile(key), [s](std::size_t i) { return s->NameAt(i); });
  return line == NameIndex::kNone ? nullptr : &s->lines[line];
}

std::u16string IniDocument::GetString(std::u16string_view section, std::u16string_view key,
                                      std::u16string_view defaultText,
                                      std::size_t bufferSize) const {
  const Line* line = FindKey(section, key);
  if (line && line->kind == LineKind::Key) return CopyEntry(line->value, bufferSize);
  // Blanks at the end of a default are dropped.
  std::size_t n = defaultText.size();
  while (n > 0 && defaultText[n - 1] == u' ') --n;
  return CopyEntry(defaultText.substr(0, n), bufferSize);
}

std::u16string IniDocument::GetField(std::u16string_view section, std::u16string_view key,
                                     std::u16string_view defaultText,
                                     std::size_t bufferSize) const {
  if (bufferSize == 0) return {};
  // One more character of room keeps the closing quote of a value that
  // fills the field from eating the value's last character.
  std::u16string text = GetString(section, key, defaultText, bufferSize + 1);
  if (text.size() >= bufferSize) text.resize(bufferSize - 1);
  return text;
}

std::uint32_t IniDocument::GetInt(std::u16string_view section, std::u16string_view key,
                                  std::int32_t defaultValue) const {
  const std::u16string text = GetString(section, key, u"", 30);
  if (text.empty()) return static_cast<std::uint32_t>(defaultValue);
  return ParseProfileInteger(text);
}

bool IniDocument::HasKey(std::u16string_view section, std::u16string_view key) const {
  return FindKey(section, key) != nullptr;
}

bool IniDocument::HasSection(std::u16string_view section) const {
  return FindSection(TrimProfile(section)) != nullptr;
}

void IniDocument::WriteString(std::u16string_view sectionName, std::u16string_view keyName,
                              std::u16string_view valueText) {
  // Names and values are used as given unless a line break has to go, and
  // a value that would not read back as it is goes inside double quotes,
  // the one pair the reading rules remove.
  std::u16string sectionCopy, keyCopy, valueCopy;
  std::u16string_view sectionTrim = TrimProfile(sectionName);
  std::u16string_view keyTrim = TrimProfile(keyName);
  std::u16string_view value = valueText;
  if (HasLineBreak(sectionTrim)) AssignSingleLine(sectionCopy, sectionTrim), sectionTrim = sectionCopy;
  if (HasLineBreak(keyTrim)) AssignSingleLine(keyCopy, keyTrim), keyTrim = keyCopy;
  if (HasLineBreak(value)) AssignSingleLine(valueCopy, value), value = valueCopy;
  if (NeedsQuotes(value)) {
    std::u16string quoted;
    quoted.reserve(value.size() + 2);
    quoted += u'"';
    quoted += value;
    quoted += u'"';
    valueCopy = std::move(quoted);
    value = valueCopy;
  }

  Section* section = FindSection(sectionTrim);
  if (!section) {
    Section created;
    created.hasHeader = true;
    created.name = std::u16string(sectionTrim);
    if (reservedKeys_ != 0 && EqualsIgnoreCase(reservedSection_, sectionTrim)) {
      created.lines.reserve(reservedKeys_);
      created.firstKey.Reserve(reservedKeys_);
      reservedKeys_ = 0;
    }
    sections_.push_back(std::move(created));
    lastSectionValid_ = false;  // the vector may have moved
    firstSection_.try_emplace(std::u16string(sectionTrim), sections_.size() - 1);
    section = &sections_.back();
  }
  auto nameAt = [section](std::size_t i) { return section->NameAt(i); };
  const std::size_t found = section->firstKey.Find(keyTrim, nameAt);
  if (found != NameIndex::kNone) {
    Line& line = section->lines[found];
    if (line.kind == LineKind::Key && line.value == value) return;  // no change
    line.kind = LineKind::Key;
    line.value.assign(value);
    if (line.raw != kNoRaw) std::u16string().swap(raws_[line.raw]);
    line.raw = kNoRaw;
    modified_ = true;
    return;
  }
  // A new key goes after the last line of the section, before the blank
  // lines that separate it from the next one.
  Line line;
  line.kind = LineKind::Key;
  line.name = std::u16string(keyTrim);
  line.value = std::u16string(value);
  section->lines.push_back(std::move(line));
  section->firstKey.Insert(keyTrim, section->lines.size() - 1, nameAt);
  modified_ = true;
}

void IniDocument::ReserveKeys(std::u16string_view sectionName, std::size_t count) {
  const std::u16string_view trimmed = TrimProfile(sectionName);
  if (Section* section = FindSection(trimmed)) {
    section->lines.reserve(section->lines.size() + count);
    section->firstKey.Reserve(count);  // only while the section has no keys yet
    return;
  }
  reservedSection_.assign(trimmed);
  reservedKeys_ = count;
}

void IniDocument::ReindexKey(Section& section, std::u16string_view name, std::size_t from) {
  const std::u16string key(name);
  auto nameAt = [&section](std::size_t i) { return section.NameAt(i); };
  section.firstKey.Erase(key, nameAt);
  for (std::size_t i = from; i < section.lines.size(); ++i) {
    const Line& line = section.lines[i];
    if ((line.kind == LineKind::Key || line.kind == LineKind::KeyWithoutValue) &&
        EqualsIgnoreCase(line.name, key)) {
      section.firstKey.Insert(line.name, i, nameAt);
      return;
    }
  }
}

void IniDocument::DeleteKey(std::u16string_view sectionName, std::u16string_view keyName) {
  // Names are matched as reads and writes match them, trimmed. The first
  // matching key of any section of that name is removed.
  const std::u16string_view sectionTrim = TrimProfile(sectionName);
  const std::u16string_view keyTrim = TrimProfile(keyName);
  for (Section& section : sections_) {
    if (!section.hasHeader || section.removed || !EqualsIgnoreCase(section.name, sectionTrim)) continue;
    const std::size_t index = section.firstKey.Find(keyTrim, [&section](std::size_t i) { return section.NameAt(i); });
    if (index == NameIndex::kNone) continue;
    section.lines[index].kind = LineKind::Removed;
    if (section.lines[index].raw != kNoRaw) std::u16string().swap(raws_[section.lines[index].raw]);
    section.lines[index].raw = kNoRaw;
    section.lines[index].value.clear();
    ReindexKey(section, keyTrim, index + 1);
    modified_ = true;
    return;
  }
}

void IniDocument::ReindexSection(std::u16string_view name, std::size_t from) {
  lastSectionValid_ = false;
  const std::u16string key(name);
  firstSection_.erase(key);
  for (std::size_t i = from; i < sections_.size(); ++i) {
    if (!sections_[i].removed && sections_[i].hasHeader && EqualsIgnoreCase(sections_[i].name, key)) {
      firstSection_.emplace(sections_[i].name, i);
      return;
    }
  }
}

void IniDocument::DeleteSection(std::u16string_view sectionName) {
  // Only the first section of that name goes; a later copy of the same name
  // then becomes the one that reads and writes find. The lines before the
  // first header have no name and are never removed.
  const std::u16string_view sectionTrim = TrimProfile(sectionName);
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    Section& section = sections_[i];
    if (!section.hasHeader || section.removed || !EqualsIgnoreCase(section.name, sectionTrim)) continue;
    section.removed = true;
    section.lines.clear();
    section.lines.shrink_to_fit();
    section.trailingBlanks.clear();
    section.firstKey.Clear();
    ReindexSection(sectionTrim, i + 1);
    modified_ = true;
    return;
  }
}

void IniDocument::AppendLineText(std::u16string& out, const Line& line) const {
  if (line.kind == LineKind::Blank) {
    out += line.value;
  } else if (line.raw != kNoRaw) {
    out += raws_[line.raw];
  } else {
    out += line.name;
    if (line.kind == LineKind::Key) {
      out += u'=';
      out += line.value;
    }
  }
  out += u"\r\n";
}

std::u16string IniDocument::ToText() const {
  std::size_t size = 0;
  for (const Section& section : sections_) {
    size += section.name.size() + section.rawHeader.size() + 4;
    for (const Line& line : section.lines) {
      size += line.name.size() + line.value.size() + 3 + (line.raw != kNoRaw ? raws_[line.raw].size() : 0);
    }
    for (const auto& blank : section.trailingBlanks) size += blank.size() + 2;
  }
  std::u16string out;
  out.reserve(size);
  for (const Section& section : sections_) {
    if (section.removed) continue;
    if (section.hasHeader) {
      if (section.rawHeader.empty()) {
        out += u'[';
        out += section.name;
        out += u']';
      } else {
        out += section.rawHeader;
      }
      out += u"\r\n";
    }
    for (const Line& line : section.lines) {
      if (line.kind != LineKind::Removed) AppendLineText(out, line);
    }
    for (const auto& blank : section.trailingBlanks) {
      out += blank;
      out += u"\r\n";
    }
  }
  return out;
}

std::string IniDocument::ToUtf16LeBytes() const {
  const std::u16string text = ToText();
  std::string out;
  out.reserve(2 + text.size() * 2);
  out += "\xFF\xFE";
  AppendUtf16Le(out, text);
  return out;
}

}  // namespace tovrel
