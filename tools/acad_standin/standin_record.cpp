#include "standin_record.h"

#include "storage/text_codec.h"

namespace tovrel::standin {

void Record::Set(std::string_view name, RecordValue value) {
  for (auto& [key, existing] : fields) {
    if (key == name) {
      existing = std::move(value);
      return;
    }
  }
  fields.emplace_back(std::string(name), std::move(value));
}

const RecordValue* Record::Find(std::string_view name) const {
  for (const auto& [key, value] : fields) {
    if (key == name) return &value;
  }
  return nullptr;
}

std::u16string Record::Text(std::string_view name) const {
  const RecordValue* value = Find(name);
  const auto* text = value ? std::get_if<std::u16string>(value) : nullptr;
  return text ? *text : std::u16string();
}

bool Record::Flag(std::string_view name) const {
  const RecordValue* value = Find(name);
  const auto* flag = value ? std::get_if<bool>(value) : nullptr;
  return flag && *flag;
}

std::int64_t Record::Number(std::string_view name) const {
  const RecordValue* value = Find(name);
  const auto* number = value ? std::get_if<std::int64_t>(value) : nullptr;
  return number ? *number : 0;
}

namespace {

void AppendJsonString(std::string& out, std::string_view utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    } else {
      out += c;
    }
  }
  out += '"';
}

}  // namespace

std::string ToJsonLine(const Record& record, std::string_view time) {
  std::string out = "{\"type\":";
  AppendJsonString(out, record.type);
  if (!time.empty()) {
    out += ",\"time\":";
    AppendJsonString(out, time);
  }
  for (const auto& [key, value] : record.fields) {
    out += ',';
    AppendJsonString(out, key);
    out += ':';
    if (const auto* text = std::get_if<std::u16string>(&value)) {
      AppendJsonString(out, Utf16ToUtf8(*text));
    } else if (const auto* flag = std::get_if<bool>(&value)) {
      out += *flag ? "true" : "false";
    } else {
      out += std::to_string(std::get<std::int64_t>(value));
    }
  }
  out += '}';
  return out;
}

}  // namespace tovrel::standin
