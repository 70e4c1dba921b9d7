#include "printers/printer_catalog.h"

#include <memory>
#include <new>
#include <vector>

#include "printers/plot_devices.h"
#include "storage/app_settings.h"
#include "storage/file_system.h"

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

void FillPaperNames(PrinterEntry& entry, std::vector<std::u16string>& driverPapers, Spooler& spooler, const SpoolerPrinter& printer,
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
    driverPapers.emplace_back(name);
    if (stored == kMaxCatalogPapers) continue;  // past the cut: only the full list takes it
    if (settings.print_paper_ab == 0 || HasAbPaperCode(name)) {
      entry.paperNames[static_cast<std::size_t>(stored)].Assign(name);
      ++stored;
    }
    if (stored == kMaxCatalogPapers) notify(kMessageTooManyPapers);
  }
  if (stored == 0) entry.paperNames[0].Assign(kNoPaperMarker);
}

}  // namespace

void ResetCatalog(PrinterCatalog& catalog) {
  for (PrinterEntry& entry : catalog.entries) {
    entry.name.Clear();
    for (auto& paper : entry.paperNames) paper.Clear();
  }
  for (auto& papers : catalog.driverPapers) papers.clear();
  catalog.plotters.clear();
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
      FillPaperNames(entry, catalog.driverPapers[static_cast<std::size_t>(i)], spooler, printer, settings, notify);
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

void FillPlotters(PrinterCatalog& catalog, const FileSystem& files, std::u16string_view plottersFolder,
                  std::u16string_view defaultPrinter) {
  catalog.plotters.clear();
  for (const BuiltInDevice& device : BuiltInDevices()) {
    PlotterEntry entry;
    entry.name.assign(device.name);
    entry.papersKnown = !device.papers.empty();
    for (std::u16string_view paper : device.papers) entry.papers.emplace_back(paper);
    catalog.plotters.push_back(std::move(entry));
  }
  PlotterEntry standIn;
  standIn.name = kDefaultSystemPrinter;
  standIn.printerEntry = defaultPrinter.empty() ? -1 : FindPrinterByName(catalog, defaultPrinter);
  if (standIn.printerEntry >= 0) {
    standIn.papers = *CatalogPapersOf(catalog, defaultPrinter);
    standIn.papersKnown = true;
  }
  catalog.plotters.push_back(std::move(standIn));
  if (plottersFolder.empty()) return;
  std::u16string pattern(plottersFolder);
  if (pattern.back() != u'\\') pattern += u'\\';
  pattern += u"*.pc3";
  std::vector<DirEntry> found;
  if (!files.List(pattern, found)) return;
  for (const DirEntry& file : found) {
    if ((file.attributes & kAttributeDirectory) != 0 || !IsPlotterConfiguration(file.name)) continue;
    if (FindPlotter(catalog, file.name)) continue;
    PlotterEntry entry;
    entry.name = file.name;
    catalog.plotters.push_back(std::move(entry));
  }
}

const PlotterEntry* FindPlotter(const PrinterCatalog& catalog, std::u16string_view name) {
  for (const PlotterEntry& entry : catalog.plotters) {
    if (EqualIgnoringAsciiCase(entry.name, name)) return &entry;
  }
  return nullptr;
}

std::vector<std::u16string> CatalogDeviceNames(const PrinterCatalog& catalog) {
  std::vector<std::u16string> names;
  for (int i = 0; i < catalog.printerCount && i < kMaxCatalogPrinters; ++i) {
    const auto& name = catalog.entries[static_cast<std::size_t>(i)].name;
    if (!name.Empty()) names.push_back(name.Str());
  }
  for (const PlotterEntry& entry : catalog.plotters) names.push_back(entry.name);
  return names;
}

std::optional<std::vector<std::u16string>> CatalogPapersOf(const PrinterCatalog& catalog,
                                                           std::u16string_view device) {
  if (device.empty()) return std::nullopt;
  const int printer = FindPrinterByName(catalog, device);
  if (printer >= 0) {
    std::vector<std::u16string> papers;
    for (const auto& slot : catalog.entries[static_cast<std::size_t>(printer)].paperNames) {
      if (slot.Empty() || papers.size() >= static_cast<std::size_t>(kMaxCatalogPapers)) break;
      papers.push_back(slot.Str());
    }
    return papers;
  }
  if (const PlotterEntry* plotter = FindPlotter(catalog, device)) return plotter->papers;
  return std::nullopt;
}

}  // namespace tovrel
