// Conversions between the program's UTF-16 text and bytes on disk.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tovrel {

// The ANSI code page seam: how bytes of a file without a byte-order mark
// become UTF-16. Windows uses the system's ANSI code page; tests use 1252.
class AnsiCodePage {
public:
  virtual ~AnsiCodePage() = default;
  virtual std::u16string ToUtf16(std::string_view bytes) const = 0;
  virtual std::string FromUtf16(std::u16string_view text) const = 0;
};

// Windows-1252, the code page of English and Western European systems.
// Used by the native build and as the reference in tests.
class Cp1252CodePage final : public AnsiCodePage {
public:
  std::u16string ToUtf16(std::string_view bytes) const override;
  std::string FromUtf16(std::u16string_view text) const override;
};

// UTF-8 <-> UTF-16. Malformed input becomes U+FFFD; never throws.
std::u16string Utf8ToUtf16(std::string_view bytes);
std::string Utf16ToUtf8(std::u16string_view text);

// Bytes of UTF-16LE (no byte-order mark handling); an odd last byte is dropped.
std::u16string Utf16LeBytesToText(std::string_view bytes);
std::u16string Utf16BeBytesToText(std::string_view bytes);
void AppendUtf16Le(std::string& out, std::u16string_view text);

// Case folding used for INI section and key names: simple one-to-one
// lowercase mapping for Latin, Greek, Cyrillic and full-width Latin letters.
char16_t FoldCaseBeyondAscii(char16_t c);
inline char16_t FoldCase(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
  return FoldCaseBeyondAscii(c);
}
std::u16string FoldCase(std::u16string_view text);
// Only A-Z lowered, as AutoCAD matches its keywords and names.
inline std::u16string FoldAscii(std::u16string_view text) {
  std::u16string folded(text);
  for (char16_t& c : folded) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return folded;
}
bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);

// Literal helpers for tests and the Win32 seam.
std::u16string ToU16(std::string_view utf8);

}  // namespace tovrel
