// What the rules dialog shows and stores: its fields against the
// FileNameRules of the settings, and the paper choices each rule's printer
// offers.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "printers/printer_catalog.h"
#include "storage/app_settings.h"

namespace tovrel {

struct PaperRuleFields {
  std::u16string search;
  std::u16string printer;
  std::u16string paper;

  bool operator==(const PaperRuleFields&) const = default;
};

// The dialog's controls, field by field.
struct FileNameRulesFields {
  bool paperRulesOn = false;
  std::array<PaperRuleFields, FileNameRules::kPaperRuleCount> paperRules;
  bool orientationOn = false;
  std::u16string portrait, landscape;
  bool plotAreaOn = false;
  std::u16string limits, extents, display;
  bool convertWhenAdding = false;

  bool operator==(const FileNameRulesFields&) const = default;
};

// A group is shown ticked when its flag is not 0 (a 2 in the settings file
// too), though the conversion runs it only once it is 1.
FileNameRulesFields FieldsFromRules(const FileNameRules& rules);

// Stores the fields: a ticked box as 1, others as 0; search texts cut to 7
// characters, printers to 127, papers to 63.
void StoreFields(const FileNameRulesFields& fields, FileNameRules& rules);

// Cuts a text to a buffer of `bufferSize` units (terminator included),
// never leaving half of a surrogate pair at the end.
std::u16string CutToBuffer(std::u16string_view text, std::size_t bufferSize);

// The paper drop-down of one rule.
struct PaperChoices {
  std::vector<std::u16string> names;    // the drop-down's entries
  std::optional<std::u16string> paper;  // the paper text to show; none: it stays as typed
};

// The printer choices: the catalog's printers in its order (an entry whose
// name was too long to keep is left out), then AutoCAD's configurations.
std::vector<std::u16string> CatalogPrinterNames(const PrinterCatalog& catalog);

// The papers a rule offers for `printer`: those of the catalog's printer of
// exactly that name, slot 0 up to the first empty one (63 at most), or the
// known papers of a configuration. A device the catalog does not list (a
// printer not connected today) offers none, so that no other printer's
// papers are offered under its name.
std::vector<std::u16string> PapersOfPrinter(const PrinterCatalog& catalog, std::u16string_view printer);

// Follows the four printer drop-downs while the dialog is open. A change of
// a printer's text is acted on after a 500 ms timer, once the drop-down has
// settled on its new text.
class PrinterPaperWatch {
 public:
  static constexpr unsigned kTimerId = 1;
  static constexpr unsigned kDelayMs = 500;

  // The printers as the dialog opens with them: the last texts seen.
  explicit PrinterPaperWatch(const std::array<std::u16string, FileNameRules::kPaperRuleCount>& printers);

  // A printer drop-down has notified: true when the timer must be started
  // (none is pending); further notifications wait for that timer.
  bool Notified();
  bool TimerPending() const { return timerPending_; }
  void TimerStopped() { timerPending_ = false; }

  // The rule's printer drop-down shows `printerText` now. When it differs
  // from the last text seen it becomes the last text seen, and the rule's
  // paper drop-down changes: a catalog printer offers its papers with the
  // first of them chosen; any other printer offers none and keeps the paper
  // as typed. Nothing when the text is the one seen last.
  std::optional<PaperChoices> Check(std::size_t rule, std::u16string_view printerText,
                                    const PrinterCatalog& catalog);

 private:
  std::array<std::u16string, FileNameRules::kPaperRuleCount> lastSeen_;
  bool timerPending_ = false;
};

}  // namespace tovrel
