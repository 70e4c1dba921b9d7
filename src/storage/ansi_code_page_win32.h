// The system's ANSI code page behind the core's AnsiCodePage seam.
#pragma once

#include "storage/text_codec.h"

namespace tovrel {

class Win32AnsiCodePage final : public AnsiCodePage {
public:
  std::u16string ToUtf16(std::string_view bytes) const override;
  std::string FromUtf16(std::u16string_view text) const override;
};

// The one instance the program uses.
const AnsiCodePage& SystemAnsiCodePage();

}  // namespace tovrel
