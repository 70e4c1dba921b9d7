// Numbers as the program's files hold them: decimal, "%d", no leading zeros.
// Key names such as "3,12.m" are built with these thousands of times per
// file, so they append to a caller's buffer instead of going through streams.
#pragma once

#include <cstdint>
#include <string>

namespace tovrel {

inline void AppendDecimal(std::u16string& out, std::int32_t value) {
  // Work in 64 bits so that the most negative value has a magnitude.
  std::int64_t magnitude = value;
  if (magnitude < 0) {
    out += u'-';
    magnitude = -magnitude;
  }
  char16_t digits[10];
  std::size_t count = 0;
  do {
    digits[count++] = static_cast<char16_t>(u'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  while (count > 0) out += digits[--count];
}

inline std::u16string DecimalText(std::int32_t value) {
  std::u16string text;
  AppendDecimal(text, value);
  return text;
}

}  // namespace tovrel
