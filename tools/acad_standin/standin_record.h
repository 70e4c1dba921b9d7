// One entry of the AutoCAD stand-in's journal: a type ("start", "open",
// "plot", "cancelled", "error", "end") and named values in a fixed order,
// written as one JSON object per line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace tovrel::standin {

using RecordValue = std::variant<std::u16string, bool, std::int64_t>;

struct Record {
  std::string type;
  std::vector<std::pair<std::string, RecordValue>> fields;

  // Replaces the value of an existing field or appends a new one.
  void Set(std::string_view name, RecordValue value);

  const RecordValue* Find(std::string_view name) const;
  bool Has(std::string_view name) const { return Find(name) != nullptr; }
  // The value, or empty / false / 0 when the field is missing or of another kind.
  std::u16string Text(std::string_view name) const;
  bool Flag(std::string_view name) const;
  std::int64_t Number(std::string_view name) const;
};

// The record as one line of JSON (UTF-8, no line end): {"type":...,
// "time":... when `time` is not empty, then the fields in order}.
std::string ToJsonLine(const Record& record, std::string_view time = {});

}  // namespace tovrel::standin
