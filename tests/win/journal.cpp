#include "journal.h"

#include <windows.h>

namespace tovrel::test {

namespace {

// A JSON string starting at s[i] == '"'; i ends after the closing quote.
std::string ParseString(const std::string& s, std::size_t& i) {
  std::string out;
  for (++i; i < s.size() && s[i] != '"'; ++i) {
    if (s[i] != '\\' || i + 1 >= s.size()) {
      out += s[i];
      continue;
    }
    const char e = s[++i];
    if (e == 'u' && i + 4 < s.size()) {
      const unsigned code = static_cast<unsigned>(std::stoul(s.substr(i + 1, 4), nullptr, 16));
      i += 4;
      if (code < 0x80) {
        out += static_cast<char>(code);
      } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
      } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
      }
    } else {
      out += e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
    }
  }
  ++i;
  return out;
}

JournalRecord ParseLine(const std::string& line) {
  JournalRecord record;
  std::size_t i = line.find('{');
  if (i == std::string::npos) return record;
  ++i;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ',' || line[i] == ' ')) ++i;
    if (i >= line.size() || line[i] != '"') break;
    const std::string key = ParseString(line, i);
    while (i < line.size() && (line[i] == ':' || line[i] == ' ')) ++i;
    if (i < line.size() && line[i] == '"') {
      record[key] = ParseString(line, i);
    } else {
      const std::size_t end = line.find_first_of(",}", i);
      record[key] = line.substr(i, end - i);
      i = end;
    }
  }
  return record;
}

}  // namespace

std::vector<JournalRecord> ReadJournal(const std::wstring& path) {
  std::vector<JournalRecord> records;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return records;
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(h);
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) break;  // a line still being written
    records.push_back(ParseLine(bytes.substr(start, end - start)));
    start = end + 1;
  }
  return records;
}

std::vector<JournalRecord> RecordsOf(const std::vector<JournalRecord>& journal, const std::string& type) {
  std::vector<JournalRecord> out;
  for (const JournalRecord& r : journal) {
    if (r.count("type") && r.at("type") == type) out.push_back(r);
  }
  return out;
}

}  // namespace tovrel::test
