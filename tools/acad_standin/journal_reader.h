// Reading the AutoCAD stand-in's journal: one flat JSON object per line
// (see README.md beside this file). Used by the demo driver and the tests.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tovrel::journal {

// One journal line: every member as UTF-8 text (strings unescaped; numbers,
// true and false as written).
struct Record {
  std::map<std::string, std::string> members;
  std::string Get(const std::string& name) const {
    const auto found = members.find(name);
    return found == members.end() ? std::string() : found->second;
  }
};

// Parses one line; false when it is not a JSON object.
bool ParseRecord(const std::string& line, Record& record);

// The size of a file in bytes, 0 when it does not exist.
std::uint64_t FileSize(const std::wstring& path);

// The complete lines of the journal from byte `offset` on; a last line that
// is still being written (no line end yet) is left out.
std::vector<Record> ReadJournal(const std::wstring& path, std::uint64_t offset);

// The records of one type, in order.
std::vector<Record> RecordsOf(const std::vector<Record>& records, const std::string& type);

// True when the journal holds an "end" record after `offset`.
bool JournalHasEnd(const std::wstring& path, std::uint64_t offset);

}  // namespace tovrel::journal
