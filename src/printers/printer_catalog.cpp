#include "printers/printer_catalog.h"

#include <memory>
#include <new>
#include <vector>

#include "storage/app_settings.h"

namespace tovrel {

namespace {

// The working buffer for a driver's paper names: room for n names of 64
// characters with a margin, n * 192 + 196 bytes. A driver that claims more
// names than this cap allows is treated as if the buffer could not be had,
// rather than asking for hundreds of megabytes on its word.
constexpr long long kMaxPaperBufferBytes = 16LL * 1024 * 1024;

std::unique_ptr<char16_t[]> AllocatePaperBuffer(int count, std::size_t& units) {
  const long long bytes = static_cast<long long>(count) * 192 + 196;
  if (bytes <= 0 || bytes > kMaxPaperBufferBytes) return nullptr;
  units = static_cast<std::size_t>(bytes) / sizeof(char16_t);
  return std::unique_ptr<char16_t[]>(new (std::nothrow) char16_t[units]());
}

bool IsProhibited(const AppSettings& settings, std::u16string_view name) {
  for (const std::u16string& prohibited : settings.prohibition_print) {
    if (!prohibited.empty() && prohibited == name) return true;
  }
  return false;
}

// The name in one 64-unit cell of the driver's buffer: up to its terminator,
// or all 64 units when it has none.
std::u16string_view DriverPaperName(const char16_t* cell) {
  std::size_t n = 0;
  while (n < kDriverPaperNameUnits && cell[n] != u'\0') ++n;
  return std::u16string_view(cell, n);
}

void FillPaperNames(PrinterEntry& entry, Spooler& spooler, const SpoolerPrinter& printer,
                    const AppSettings& settings, const CatalogNotifier& notify) {
  const int count = spooler.PaperNameCount(printer.name, printer.port);
  std::size_t units = 0;
  const std::unique_ptr<char16_t[]> buffer = AllocatePaperBuffer(count, units);
  if (!buffer) {
    entry.paperNames[0].Assign(kCannotSearchMarker);
    notify(kMessagePaperBufferFailed);
    return;
  }
  if (spooler.PaperNames(printer.name, printer.port, buffer.get(), units) != count) {
    notify(kMessagePaperCountChanged);
  }
  int stored = 0;
  for (int i = 0; i < count; ++i) {
    const std::u16string_view name = DriverPaperName(buffer.get() + static_cast<std::size_t>(i) * kDriverPaperNameUnits);
    if (settings.print_paper_ab == 0 || HasAbPaperCode(name)) {
      entry.paperNames[static_cast<std::size_t>(stored)].Assign(name);
      ++stored;
    }
    if (stored == kMaxCatalogPapers) {
      notify(kMessageTooManyPapers);
      break;
    }
  }
  if (stored == 0) entry.paperNames[0].Assign(kNoPaperMarker);
}

}  // namespace

void ResetCatalog(PrinterCatalog& catalog) {
  for (PrinterEntry& entry : catalog.entries) {
    entry.name.Clear();
    for (auto& paper : entry.paperNames) paper.Clear();
  }
}

void FillCatalog(PrinterCatalog& catalog, Spooler& spooler, const AppSettings& settings,
                 const CatalogNotifier& notify) {
  ResetCatalog(catalog);
  std::vector<SpoolerPrinter> printers;
  if (!spooler.EnumeratePrinters(printers)) {
    // No printer is known: the old count would show as that many empty names.
    catalog.printerCount = 0;
    notify(kMessagePrintersUnreadable);
    return;
  }
  const int count = printers.size() < static_cast<std::size_t>(kMaxCatalogPrinters)
                        ? static_cast<int>(printers.size())
                        : kMaxCatalogPrinters;
  catalog.printerCount = count;
  for (int i = 0; i < count; ++i) {
    const SpoolerPrinter& printer = printers[static_cast<std::size_t>(i)];
    PrinterEntry& entry = catalog.entries[static_cast<std::size_t>(i)];
    if (!printer.name.empty() && printer.name.size() < kPrinterNameSize) entry.name.Assign(printer.name);
    if (IsProhibited(settings, printer.name)) {
      entry.paperNames[0].Assign(kProhibitionMarker);
      if (settings.prohibition_plmode == 0) notify(kMessagePrinterProhibited);
    } else {
      FillPaperNames(entry, spooler, printer, settings, notify);
    }
  }
  catalog.catalogLoaded = true;
}

void AddPrinterNames(PrinterCatalog& catalog, Spooler& spooler,
                     const std::function<void(std::u16string_view name)>& add, const CatalogNotifier& notify) {
  std::vector<SpoolerPrinter> printers;
  if (!spooler.EnumeratePrinters(printers)) {
    catalog.printerCount = 0;
    notify(kMessagePrintersUnreadable);
    return;
  }
  for (const SpoolerPrinter& printer : printers) add(printer.name);
  catalog.printerCount = printers.size() < static_cast<std::size_t>(kMaxCatalogPrinters)
                             ? static_cast<int>(printers.size())
                             : kMaxCatalogPrinters;
}

bool HasAbPaperCode(std::u16string_view name) {
  for (std::size_t i = 0; i + 1 < name.size(); ++i) {
    const char16_t letter = name[i];
    const char16_t digit = name[i + 1];
    const bool series = letter == u'A' || letter == u'a' || letter == u'B' || letter == u'b';
    if (series && digit >= u'0' && digit <= u'9') return true;
  }
  return false;
}

int FindPrinterByName(const PrinterCatalog& catalog, std::u16string_view name) {
  int found = -1;
  for (int i = 0; i < catalog.printerCount && i < kMaxCatalogPrinters; ++i) {
    if (catalog.entries[static_cast<std::size_t>(i)].name.View() == name) found = i;
  }
  return found;
}

}  // namespace tovrel
