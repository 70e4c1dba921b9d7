// The printers Windows offers and the paper names of each driver, held in a
// fixed-size table that every printer and paper choice of the program reads.
// Filled from the spooler on demand; the prohibited printers and the A/B
// paper filter of the settings shape what it holds.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <optional>
#include <string_view>
#include <vector>

#include "printers/spooler.h"

namespace tovrel {

struct AppSettings;

// A UTF-16 text in a fixed buffer of N code units, terminator included:
// longer text is cut to N - 1 units.
template <std::size_t N>
class FixedText {
public:
  static constexpr std::size_t kSize = N;

  void Clear() { units_[0] = u'\0'; }
  void Assign(std::u16string_view text) {
    const std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
    text.copy(units_.data(), n);
    units_[n] = u'\0';
  }
  std::u16string_view View() const { return std::u16string_view(units_.data()); }
  std::u16string Str() const { return std::u16string(View()); }
  const char16_t* CStr() const { return units_.data(); }
  bool Empty() const { return units_[0] == u'\0'; }

private:
  std::array<char16_t, N> units_{};
};

inline constexpr int kMaxCatalogPrinters = 30;
inline constexpr std::size_t kCatalogEntryCount = 32;  // the last two always stay empty
inline constexpr std::size_t kPrinterNameSize = 128;
inline constexpr int kMaxCatalogPapers = 63;
inline constexpr std::size_t kPaperSlotCount = 70;
inline constexpr std::size_t kPaperNameSize = 64;

// Texts that stand in slot 0 of a printer's papers instead of paper names.
inline constexpr char16_t kProhibitionMarker[] = u"Prohibition";
inline constexpr char16_t kNoPaperMarker[] = u"There is no kind";
inline constexpr char16_t kCannotSearchMarker[] = u"Cannot search";
// Shown for a plotter configuration whose papers are not known.
inline constexpr char16_t kPaperNotChecked[] = u"paper not checked";

// The catalog messages (UiText message numbers), shown by the window that
// owns the fill.
inline constexpr int kMessagePaperBufferFailed = 23;
inline constexpr int kMessagePaperCountChanged = 24;
inline constexpr int kMessageTooManyPapers = 25;
inline constexpr int kMessagePrinterProhibited = 27;
inline constexpr int kMessagePrintersUnreadable = 28;

struct PrinterEntry {
  FixedText<kPrinterNameSize> name;  // empty when the spooler's name is empty or too long
  std::array<FixedText<kPaperNameSize>, kPaperSlotCount> paperNames;  // packed from slot 0
};

// One of AutoCAD's plotter configurations, offered after the printers.
struct PlotterEntry {
  std::u16string name;                 // "DWG To PDF.pc3"
  std::vector<std::u16string> papers;  // the papers offered; empty when not known
  bool papersKnown = false;            // false: any paper is typed and taken
  int printerEntry = -1;               // the printer it stands for (the default one), or -1
};

struct PrinterCatalog {
  int printerCount = 0;  // valid entries, 0 to 30
  std::array<PrinterEntry, kCatalogEntryCount> entries;
  bool catalogLoaded = false;  // set by every fill that completed
  // Every paper each printer's driver reported, before the cut at 63 and the
  // A/B filter: what the printer really takes.
  std::array<std::vector<std::u16string>, kCatalogEntryCount> driverPapers;
  // AutoCAD's configurations (FillPlotters), after the printers.
  std::vector<PlotterEntry> plotters;
};

// Shows message n to the user and returns once it has been acknowledged.
using CatalogNotifier = std::function<void(int message)>;

// Empties the name and every paper slot of all entries and the plotter
// configurations; the count and the flag stay as they are.
void ResetCatalog(PrinterCatalog& catalog);

// Empties the entries and fills them from the spooler: at most 30 printers in
// spooler order, at most 63 paper names each in driver order. A failed
// enumeration (message 28) leaves the count and the flag unchanged;
// otherwise the flag is set.
void FillCatalog(PrinterCatalog& catalog, Spooler& spooler, const AppSettings& settings,
                 const CatalogNotifier& notify);

// A fresh enumeration that hands every printer's name to `add`, in spooler
// order, with no limit of 30, and sets the count to the number found (at
// most 30). On failure it shows message 28 and adds nothing. The entries
// and the flag are not touched.
void AddPrinterNames(PrinterCatalog& catalog, Spooler& spooler,
                     const std::function<void(std::u16string_view name)>& add, const CatalogNotifier& notify);

// True when two neighbouring characters of the name are an A- or B-series
// size code "A0" to "B9" (the letter in either case).
bool HasAbPaperCode(std::u16string_view name);

// The valid entry whose name equals `name` exactly (case-sensitive, whole
// name); the last one when several do; -1 when none does.
int FindPrinterByName(const PrinterCatalog& catalog, std::u16string_view name);

class FileSystem;

// The plotter configurations AutoCAD offers, after the printers: its
// built-in ones (with their papers), "Default Windows System Printer.pc3"
// (the papers of `defaultPrinter`, when the catalog holds it), then every
// ".pc3" file of `plottersFolder` that is not one of those (papers not
// known), each name once.
void FillPlotters(PrinterCatalog& catalog, const FileSystem& files, std::u16string_view plottersFolder,
                  std::u16string_view defaultPrinter);

// The plotter configuration of that name (any case of ASCII letters), or nullptr.
const PlotterEntry* FindPlotter(const PrinterCatalog& catalog, std::u16string_view name);

// Every device name a printer is chosen from: the printers, then the
// plotter configurations.
std::vector<std::u16string> CatalogDeviceNames(const PrinterCatalog& catalog);

// The papers offered for a device: a printer's paper slots (markers
// included), a configuration's known papers (none when they are not known);
// nothing for a device the catalog does not hold.
std::optional<std::vector<std::u16string>> CatalogPapersOf(const PrinterCatalog& catalog,
                                                           std::u16string_view device);

}  // namespace tovrel
