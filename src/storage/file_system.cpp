#include "storage/file_system.h"

namespace tovrel {

namespace {

// printf's "%0*d": zero-padded to `width` characters, the sign counted in
// the width. Works on the magnitude in 64 bits, so no int value overflows.
void AppendPadded(std::u16string& out, int value, int width) {
  const bool negative = value < 0;
  std::uint64_t magnitude = negative ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(value))
                                     : static_cast<std::uint64_t>(value);
  char16_t digits[20];
  int count = 0;
  do {
    digits[count++] = static_cast<char16_t>(u'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (negative) out += u'-';
  for (int pad = width - count - (negative ? 1 : 0); pad > 0; --pad) out += u'0';
  while (count > 0) out += digits[--count];
}

}  // namespace

std::u16string FormatDateText(const LocalTime& time) {
  std::u16string text;
  text.reserve(16);
  AppendPadded(text, time.year, 4);
  text += u'/';
  AppendPadded(text, time.month, 2);
  text += u'/';
  AppendPadded(text, time.day, 2);
  text += u' ';
  AppendPadded(text, time.hour, 2);
  text += u':';
  AppendPadded(text, time.minute, 2);
  return text;
}

}  // namespace tovrel
