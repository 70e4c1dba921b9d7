// The text catalog: every text the user reads outside the menus, numbered,
// in four languages, read once from "Tovrel_wchar.ini".
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "storage/ini_document.h"

namespace tovrel {

inline constexpr int kTextNumbers = 100;
inline constexpr int kLanguageCount = 4;  // 0 Japanese, 1 English, 2 Korean, 3 Chinese
inline constexpr std::size_t kTextSlotSize = 64;  // characters, terminator included
inline constexpr char16_t kCatalogFileName[] = u"Tovrel_wchar.ini";

// Which table a text lookup reads: the numbers the program passes.
enum class TextTable { Code = 0, Dialog = 1 };

class UiText {
public:
  // Reads every key of the three sections; a missing key is an empty text.
  void Load(const IniDocument& catalog);

  // Text n of a table in a language; empty for a number or language out of range.
  const std::u16string& Text(TextTable table, int number, std::int32_t language) const;
  const std::u16string& MessageBody(int number, std::int32_t language) const;
  const std::u16string& MessageCaption(int number, std::int32_t language) const;

private:
  using Table = std::array<std::array<std::u16string, kLanguageCount>, kTextNumbers>;
  static const std::u16string& Pick(const Table& table, int number, std::int32_t language);

  Table dialog_;
  Table code_;
  Table body_;
  Table caption_;
};

}  // namespace tovrel
