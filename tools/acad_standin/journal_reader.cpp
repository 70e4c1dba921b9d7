#include "journal_reader.h"

#include <windows.h>

#include <utility>

namespace tovrel::journal {
namespace {

class Parser {
public:
  explicit Parser(const std::string& text) : text_(text) {}

  bool Object(Record& record) {
    if (!Take('{')) return false;
    if (Take('}')) return AtEnd();
    do {
      std::string name;
      std::string value;
      if (!String(name) || !Take(':') || !Value(value)) return false;
      record.members[name] = value;
    } while (Take(','));
    return Take('}') && AtEnd();
  }

private:
  void SkipBlanks() {
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\r'))
      ++at_;
  }
  bool Take(char c) {
    SkipBlanks();
    if (at_ < text_.size() && text_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }
  bool AtEnd() {
    SkipBlanks();
    return at_ == text_.size();
  }

  bool Value(std::string& value) {
    SkipBlanks();
    if (at_ >= text_.size()) return false;
    if (text_[at_] == '"') return String(value);
    if (text_[at_] == '{' || text_[at_] == '[') return Nested(value);
    const std::size_t start = at_;
    while (at_ < text_.size() && text_[at_] != ',' && text_[at_] != '}' && text_[at_] != ']' &&
           text_[at_] != ' ') {
      ++at_;
    }
    value = text_.substr(start, at_ - start);
    return !value.empty();
  }

  // An array or object value is kept as its JSON text.
  bool Nested(std::string& value) {
    const std::size_t start = at_;
    int depth = 0;
    bool inString = false;
    for (; at_ < text_.size(); ++at_) {
      const char c = text_[at_];
      if (inString) {
        if (c == '\\') {
          ++at_;  // the escaped character
        } else if (c == '"') {
          inString = false;
        }
      } else if (c == '"') {
        inString = true;
      } else if (c == '{' || c == '[') {
        ++depth;
      } else if ((c == '}' || c == ']') && --depth == 0) {
        ++at_;
        value = text_.substr(start, at_ - start);
        return true;
      }
    }
    return false;
  }

  static int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }

  bool Hex4(unsigned& code) {
    if (at_ + 4 > text_.size()) return false;
    code = 0;
    for (int i = 0; i < 4; ++i) {
      const int digit = HexDigit(text_[at_++]);
      if (digit < 0) return false;
      code = (code << 4) | static_cast<unsigned>(digit);
    }
    return true;
  }

  static void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }

  bool String(std::string& out) {
    if (!Take('"')) return false;
    out.clear();
    while (at_ < text_.size()) {
      const char c = text_[at_++];
      if (c == '"') return true;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (at_ >= text_.size()) return false;
      const char escaped = text_[at_++];
      switch (escaped) {
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          unsigned code = 0;
          if (!Hex4(code)) return false;
          // A surrogate pair is one character.
          unsigned low = 0;
          if (code >= 0xD800 && code < 0xDC00 && at_ + 6 <= text_.size() && text_[at_] == '\\' &&
              text_[at_ + 1] == 'u') {
            at_ += 2;
            if (!Hex4(low)) return false;
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
          }
          AppendUtf8(out, code);
          break;
        }
        default: out += escaped; break;  // \" \\ \/
      }
    }
    return false;
  }

  const std::string& text_;
  std::size_t at_ = 0;
};

// The bytes of a file from `offset` on, read while the stand-in may still
// be appending (shared for reading and writing).
std::string ReadFrom(const std::wstring& path, std::uint64_t offset) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  LARGE_INTEGER start{};
  start.QuadPart = static_cast<LONGLONG>(offset);
  if (SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) {
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
      bytes.append(buffer, read);
  }
  CloseHandle(file);
  return bytes;
}

}  // namespace

bool ParseRecord(const std::string& line, Record& record) {
  record.members.clear();
  return Parser(line).Object(record);
}

std::uint64_t FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::vector<Record> ReadJournal(const std::wstring& path, std::uint64_t offset) {
  const std::string bytes = ReadFrom(path, offset);
  std::vector<Record> records;
  std::size_t start = 0;
  for (std::size_t end = bytes.find('\n'); end != std::string::npos;
       end = bytes.find('\n', start)) {
    Record record;
    if (ParseRecord(bytes.substr(start, end - start), record)) records.push_back(std::move(record));
    start = end + 1;
  }
  return records;
}

std::vector<Record> RecordsOf(const std::vector<Record>& records, const std::string& type) {
  std::vector<Record> out;
  for (const Record& record : records) {
    if (record.Get("type") == type) out.push_back(record);
  }
  return out;
}

bool JournalHasEnd(const std::wstring& path, std::uint64_t offset) {
  for (const Record& record : ReadJournal(path, offset)) {
    if (record.Get("type") == "end") return true;
  }
  return false;
}

}  // namespace tovrel::journal
