// Reading the AutoCAD stand-in's journal: one JSON object per line.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace tovrel::test {

// The fields of one record; strings as written, other values as their text.
using JournalRecord = std::map<std::string, std::string>;

std::vector<JournalRecord> ReadJournal(const std::wstring& path);

// The records of one type, in order.
std::vector<JournalRecord> RecordsOf(const std::vector<JournalRecord>& journal, const std::string& type);

}  // namespace tovrel::test
