// The print spooler of Windows behind the catalog's seam: EnumPrintersW for
// the printers and DeviceCapabilitiesW (DC_PAPERNAMES) for their papers.
#pragma once

#include "printers/spooler.h"

namespace tovrel {

class Win32Spooler final : public Spooler {
public:
  bool EnumeratePrinters(std::vector<SpoolerPrinter>& printers) override;
  int PaperNameCount(std::u16string_view printer, std::u16string_view port) override;
  int PaperNames(std::u16string_view printer, std::u16string_view port, char16_t* buffer,
                 std::size_t capacity) override;
  std::u16string DefaultPrinter() override;
};

}  // namespace tovrel
