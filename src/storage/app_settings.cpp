#include "storage/app_settings.h"

#include <algorithm>

#include <iterator>
#include <type_traits>
#include <variant>

#include "storage/decimal_text.h"
#include "storage/ini_document.h"

namespace tovrel {
namespace {

using Rule = FileNamePaperRule;
using Rules = FileNameRules;

// Where a key's value lives in AppSettings. Member pointers work on a const
// record as well as a mutable one, so loading and saving share one table.
struct PaperRuleField {
  std::size_t index;
  std::u16string Rule::*member;
};
struct ProhibitedPrinterField {
  std::size_t index;
};
using SettingsField =
    std::variant<std::u16string AppSettings::*, std::int8_t AppSettings::*,
                 std::int32_t AppSettings::*, std::u16string Rules::*, std::uint16_t Rules::*,
                 PaperRuleField, ProhibitedPrinterField>;

struct SettingsKey {
  std::u16string_view name;
  SettingsField field;
  std::size_t bufferSize = 0;              // text keys only, terminator included
  std::u16string_view defaultText;         // text keys
  bool defaultInWorkingDirectory = false;  // default is working directory + defaultText
  std::int32_t defaultNumber = 0;          // integer keys
};

constexpr SettingsKey Text(std::u16string_view name, SettingsField field, std::size_t size,
                           std::u16string_view defaultText = {}) {
  return {name, field, size, defaultText, false, 0};
}
constexpr SettingsKey FileInWorkingDirectory(std::u16string_view name, SettingsField field,
                                             std::u16string_view fileName) {
  return {name, field, AppSettings::kPathSize, fileName, true, 0};
}
constexpr SettingsKey Number(std::u16string_view name, SettingsField field,
                             std::int32_t defaultNumber = 0) {
  return {name, field, 0, {}, false, defaultNumber};
}
constexpr SettingsKey PaperRule(std::u16string_view name, std::size_t index,
                                std::u16string Rule::*member, std::size_t size) {
  return Text(name, PaperRuleField{index, member}, size);
}
constexpr SettingsKey Prohibited(std::u16string_view name, std::size_t index) {
  return Text(name, ProhibitedPrinterField{index}, AppSettings::kProhibitedPrinterSize);
}

constexpr std::size_t kPath = AppSettings::kPathSize;
constexpr std::size_t kSearch = Rules::kSearchSize;
constexpr std::size_t kPrinter = Rule::kPrinterSize;
constexpr std::size_t kPaper = Rule::kPaperSize;

constexpr std::int32_t kMaxRunTimeout = 7 * 24 * 60;  // minutes: a week
constexpr std::int32_t kMaxWorkers = 16;

// Every key of the settings file, in the order in which it is written.
constexpr SettingsKey kSettingsKeys[] = {
    Text(u"file_folder", &AppSettings::file_folder, kPath, u"c:\\"),
    Text(u"autocad_file", &AppSettings::autocad_file, kPath,
         u"c:\\Program Files\\ACAD LT 2000\\aclt.exe"),
    FileInWorkingDirectory(u"temp_file", &AppSettings::temp_file, u"\\atcprint.scr"),
    FileInWorkingDirectory(u"end_file_dwg", &AppSettings::end_file_dwg, u"\\endfile.dwg"),
    Number(u"autocad_type", &AppSettings::autocad_type, 1),
    Number(u"file_set.ps", &Rules::ps),
    PaperRule(u"file_set.fp_ps[0].search", 0, &Rule::search, kSearch),
    PaperRule(u"file_set.fp_ps[0].printer", 0, &Rule::printer, kPrinter),
    PaperRule(u"file_set.fp_ps[0].paper", 0, &Rule::paper, kPaper),
    PaperRule(u"file_set.fp_ps[1].search", 1, &Rule::search, kSearch),
    PaperRule(u"file_set.fp_ps[1].printer", 1, &Rule::printer, kPrinter),
    PaperRule(u"file_set.fp_ps[1].paper", 1, &Rule::paper, kPaper),
    PaperRule(u"file_set.fp_ps[2].search", 2, &Rule::search, kSearch),
    PaperRule(u"file_set.fp_ps[2].printer", 2, &Rule::printer, kPrinter),
    PaperRule(u"file_set.fp_ps[2].paper", 2, &Rule::paper, kPaper),
    PaperRule(u"file_set.fp_ps[3].search", 3, &Rule::search, kSearch),
    PaperRule(u"file_set.fp_ps[3].printer", 3, &Rule::printer, kPrinter),
    PaperRule(u"file_set.fp_ps[3].paper", 3, &Rule::paper, kPaper),
    Number(u"file_set.ds", &Rules::ds),
    Text(u"file_set.search_d1", &Rules::search_d1, kSearch),
    Text(u"file_set.search_d2", &Rules::search_d2, kSearch),
    Number(u"file_set.ss", &Rules::ss),
    Text(u"file_set.search_s1", &Rules::search_s1, kSearch),
    Text(u"file_set.search_s2", &Rules::search_s2, kSearch),
    Text(u"file_set.search_s3", &Rules::search_s3, kSearch),
    Number(u"file_set.chg_on", &Rules::chg_on),
    Prohibited(u"prohibition_print0", 0),
    Prohibited(u"prohibition_print1", 1),
    Prohibited(u"prohibition_print2", 2),
    Prohibited(u"prohibition_print3", 3),
    Prohibited(u"prohibition_print4", 4),
    Prohibited(u"prohibition_print5", 5),
    Prohibited(u"prohibition_print6", 6),
    Prohibited(u"prohibition_print7", 7),
    Prohibited(u"prohibition_print8", 8),
    Prohibited(u"prohibition_print9", 9),
    Prohibited(u"prohibition_print10", 10),
    Prohibited(u"prohibition_print11", 11),
    Prohibited(u"prohibition_print12", 12),
    Prohibited(u"prohibition_print13", 13),
    Prohibited(u"prohibition_print14", 14),
    Prohibited(u"prohibition_print15", 15),
    Number(u"print_paper_ab", &AppSettings::print_paper_ab),
    Number(u"moji_type", &AppSettings::moji_type),
    Number(u"prohibition_plmode", &AppSettings::prohibition_plmode),
    Number(u"run_timeout", &AppSettings::run_timeout, 10),
    Text(u"plotters_folder", &AppSettings::plotters_folder, kPath),
    Number(u"allow_lisp_cells", &AppSettings::allow_lisp_cells),
    Number(u"run_batch_size", &AppSettings::run_batch_size),
    Text(u"coreconsole_file", &AppSettings::coreconsole_file, kPath),
    Number(u"parallel_workers", &AppSettings::parallel_workers, 0),
};
static_assert(std::size(kSettingsKeys) == 51);

template <typename Member>
struct MemberClass;
template <typename Class, typename Value>
struct MemberClass<Value Class::*> {
  using type = Class;
};

// Calls `use` with the field of `settings` (const or not) that `key` names.
template <typename Settings, typename Use>
void WithField(Settings& settings, const SettingsKey& key, Use&& use) {
  std::visit(
      [&](const auto& where) {
        using Where = std::decay_t<decltype(where)>;
        if constexpr (std::is_same_v<Where, PaperRuleField>) {
          use(settings.file_set.fp_ps[where.index].*where.member);
        } else if constexpr (std::is_same_v<Where, ProhibitedPrinterField>) {
          use(settings.prohibition_print[where.index]);
        } else if constexpr (std::is_same_v<typename MemberClass<Where>::type, Rules>) {
          use(settings.file_set.*where);
        } else {
          use(settings.*where);
        }
      },
      key.field);
}

}  // namespace

std::u16string SettingsPath(std::u16string_view workingDirectory) {
  std::u16string path(workingDirectory);
  path += u'\\';
  path += kSettingsFileName;
  return path;
}

void LoadSettings(const IniDocument& file, std::u16string_view workingDirectory,
                  AppSettings& settings) {
  std::u16string defaultPath;
  for (const SettingsKey& key : kSettingsKeys) {
    WithField(settings, key, [&](auto& field) {
      using Field = std::decay_t<decltype(field)>;
      if constexpr (std::is_same_v<Field, std::u16string>) {
        std::u16string_view defaultText = key.defaultText;
        if (key.defaultInWorkingDirectory) {
          defaultPath.assign(workingDirectory);
          defaultPath += key.defaultText;
          defaultText = defaultPath;
        }
        field = file.GetField(kSettingsSection, key.name, defaultText, key.bufferSize);
      } else {
        // Only the low bits that the field holds remain.
        field = static_cast<Field>(file.GetInt(kSettingsSection, key.name, key.defaultNumber));
      }
    });
  }
  if (settings.autocad_type < 0 || settings.autocad_type >= AppSettings::kTemplateIndexCount) {
    settings.autocad_type = 1;
  }
  if (settings.moji_type < 0 || settings.moji_type >= AppSettings::kLanguageCount) {
    settings.moji_type = 0;
  }
  if (settings.run_timeout < 0) settings.run_timeout = 10;
  if (settings.run_timeout > kMaxRunTimeout) settings.run_timeout = kMaxRunTimeout;
  if (settings.run_batch_size < 0) settings.run_batch_size = 0;
  if (settings.parallel_workers < 0 || settings.parallel_workers > kMaxWorkers) settings.parallel_workers = 0;
}

std::int32_t RunTimeoutFromText(std::u16string_view text) {
  std::int32_t minutes = 0;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') break;
    minutes = std::min(kMaxRunTimeout, minutes * 10 + (c - u'0'));
  }
  return minutes;
}

std::int32_t ParallelWorkersFromText(std::u16string_view text) {
  return std::min(kMaxWorkers, RunTimeoutFromText(text));
}

void SaveSettings(const AppSettings& settings, IniDocument& file) {
  for (const SettingsKey& key : kSettingsKeys) {
    WithField(settings, key, [&](const auto& field) {
      using Field = std::decay_t<decltype(field)>;
      if constexpr (std::is_same_v<Field, std::u16string>) {
        file.WriteString(kSettingsSection, key.name, field);
      } else {
        // Signed 8-bit fields print signed, 16-bit flags unsigned.
        file.WriteString(kSettingsSection, key.name,
                         DecimalText(static_cast<std::int32_t>(field)));
      }
    });
  }
}

}  // namespace tovrel
