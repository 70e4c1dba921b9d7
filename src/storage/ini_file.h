// An INI file on disk: read and parsed once when opened, served from
// memory, and written back whole and atomically by Save.
#pragma once

#include <string>

#include "storage/file_io.h"
#include "storage/ini_document.h"

namespace tovrel {

class IniFile {
public:
  // Reads the file at `path`. A missing file is an empty document; so is a
  // file that cannot be read, which LoadStatus() reports as Failed.
  IniFile(std::u16string path, const AnsiCodePage& ansi);

  const std::u16string& Path() const { return path_; }
  ReadStatus LoadStatus() const { return loadStatus_; }

  IniDocument& Doc() { return doc_; }
  const IniDocument& Doc() const { return doc_; }

  std::u16string GetString(std::u16string_view section, std::u16string_view key,
                           std::u16string_view defaultText, std::size_t bufferSize) const {
    return doc_.GetString(section, key, defaultText, bufferSize);
  }
  std::uint32_t GetInt(std::u16string_view section, std::u16string_view key,
                       std::int32_t defaultValue) const {
    return doc_.GetInt(section, key, defaultValue);
  }
  void WriteString(std::u16string_view section, std::u16string_view key,
                   std::u16string_view value) {
    doc_.WriteString(section, key, value);
  }
  void DeleteKey(std::u16string_view section, std::u16string_view key) {
    doc_.DeleteKey(section, key);
  }
  void DeleteSection(std::u16string_view section) { doc_.DeleteSection(section); }
  void ReserveKeys(std::u16string_view section, std::size_t count) { doc_.ReserveKeys(section, count); }

  // Writes the whole file (UTF-16LE with byte-order mark, CRLF) when
  // anything changed. Returns false, with the
  // reason in `error`, when it could not be written; the file on disk is
  // then as it was.
  bool Save(std::u16string* error = nullptr);

private:
  std::u16string path_;
  ReadStatus loadStatus_;
  IniDocument doc_;
};

}  // namespace tovrel
