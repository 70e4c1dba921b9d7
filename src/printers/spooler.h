// What the printer catalog asks of the print spooler: the printers it
// offers and the paper names each printer's driver reports. On Windows this
// is winspool; tests use a spooler in memory.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tovrel {

// One printer as the spooler reports it.
struct SpoolerPrinter {
  std::u16string name;
  std::u16string port;
};

// Every paper name a driver reports occupies this many code units in the
// buffer of PaperNames; a name of exactly this length has no terminator.
inline constexpr std::size_t kDriverPaperNameUnits = 64;

class Spooler {
public:
  virtual ~Spooler() = default;

  // Every printer, local ones and connections, in the spooler's order.
  // False when the spooler could not be asked; `printers` is then empty.
  virtual bool EnumeratePrinters(std::vector<SpoolerPrinter>& printers) = 0;

  // The number of paper names the printer's driver reports; 0 or -1 (an
  // error) when it reports none.
  virtual int PaperNameCount(std::u16string_view printer, std::u16string_view port) = 0;

  // Writes the paper names into `buffer`, kDriverPaperNameUnits code units
  // each, and returns how many the driver reported this time (which may
  // differ from an earlier PaperNameCount). Never writes beyond `capacity`
  // code units: when the names would not fit, nothing is written.
  virtual int PaperNames(std::u16string_view printer, std::u16string_view port, char16_t* buffer,
                         std::size_t capacity) = 0;

  // The name of the default printer; empty when there is none.
  virtual std::u16string DefaultPrinter() { return {}; }
};

}  // namespace tovrel
