#include "drawing_list/file_name_rules_model.h"

namespace tovrel {

namespace {

std::uint16_t Flag(bool ticked) {
  return ticked ? 1 : 0;
}

std::u16string Search(std::u16string_view text) {
  return CutToBuffer(text, FileNameRules::kSearchSize);
}

}  // namespace

FileNameRulesFields FieldsFromRules(const FileNameRules& rules) {
  FileNameRulesFields fields;
  fields.paperRulesOn = rules.ps != 0;
  for (std::size_t i = 0; i < FileNameRules::kPaperRuleCount; ++i) {
    const FileNamePaperRule& rule = rules.fp_ps[i];
    fields.paperRules[i] = {rule.search, rule.printer, rule.paper};
  }
  fields.orientationOn = rules.ds != 0;
  fields.portrait = rules.search_d1;
  fields.landscape = rules.search_d2;
  fields.plotAreaOn = rules.ss != 0;
  fields.limits = rules.search_s1;
  fields.extents = rules.search_s2;
  fields.display = rules.search_s3;
  fields.convertWhenAdding = rules.chg_on != 0;
  return fields;
}

void StoreFields(const FileNameRulesFields& fields, FileNameRules& rules) {
  rules.ps = Flag(fields.paperRulesOn);
  for (std::size_t i = 0; i < FileNameRules::kPaperRuleCount; ++i) {
    const PaperRuleFields& field = fields.paperRules[i];
    FileNamePaperRule& rule = rules.fp_ps[i];
    rule.search = CutToBuffer(field.search, FileNamePaperRule::kSearchSize);
    rule.printer = CutToBuffer(field.printer, FileNamePaperRule::kPrinterSize);
    rule.paper = CutToBuffer(field.paper, FileNamePaperRule::kPaperSize);
  }
  rules.ds = Flag(fields.orientationOn);
  rules.search_d1 = Search(fields.portrait);
  rules.search_d2 = Search(fields.landscape);
  rules.ss = Flag(fields.plotAreaOn);
  rules.search_s1 = Search(fields.limits);
  rules.search_s2 = Search(fields.extents);
  rules.search_s3 = Search(fields.display);
  rules.chg_on = Flag(fields.convertWhenAdding);
}

std::u16string CutToBuffer(std::u16string_view text, std::size_t bufferSize) {
  if (bufferSize == 0) return {};
  std::size_t n = text.size() < bufferSize - 1 ? text.size() : bufferSize - 1;
  if (n < text.size() && n > 0 && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF) --n;
  return std::u16string(text.substr(0, n));
}

std::vector<std::u16string> PapersOfPrinter(const PrinterCatalog& catalog, std::u16string_view printer) {
  return CatalogPapersOf(catalog, printer).value_or(std::vector<std::u16string>());
}

std::vector<std::u16string> CatalogPrinterNames(const PrinterCatalog& catalog) { return CatalogDeviceNames(catalog); }

PrinterPaperWatch::PrinterPaperWatch(
    const std::array<std::u16string, FileNameRules::kPaperRuleCount>& printers)
    : lastSeen_(printers) {}

bool PrinterPaperWatch::Notified() {
  if (timerPending_) return false;
  timerPending_ = true;
  return true;
}

std::optional<PaperChoices> PrinterPaperWatch::Check(std::size_t rule, std::u16string_view printerText,
                                                     const PrinterCatalog& catalog) {
  if (rule >= lastSeen_.size()) return std::nullopt;
  const std::u16string printer = CutToBuffer(printerText, FileNamePaperRule::kPrinterSize);
  if (printer == lastSeen_[rule]) return std::nullopt;
  lastSeen_[rule] = printer;
  PaperChoices choices;
  const auto papers = CatalogPapersOf(catalog, printer);
  if (!papers || papers->empty()) return choices;  // the paper stays as typed
  choices.names = *papers;
  choices.paper = choices.names.empty() ? std::u16string() : choices.names.front();
  return choices;
}

}  // namespace tovrel
