// The settings record and the settings file "Tovrel.ini" (section "setting").
//
// The file is read once at start and written once at exit; in between the
// other parts of the program read and change AppSettings in memory. Text
// sizes are buffer sizes that count a terminating null, so a text of size n
// holds at most n - 1 characters; longer text read from the file is cut.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tovrel {

class IniDocument;

// One paper-size rule: a drawing whose file name holds `search` is plotted
// on `printer` with `paper`.
struct FileNamePaperRule {
  static constexpr std::size_t kSearchSize = 8;
  static constexpr std::size_t kPrinterSize = 128;
  static constexpr std::size_t kPaperSize = 64;

  std::u16string search;
  std::u16string printer;
  std::u16string paper;

  bool operator==(const FileNamePaperRule&) const = default;
};

// The rules that fill columns from marks in file names; the four flags are
// unsigned 16-bit values in the file.
struct FileNameRules {
  static constexpr std::size_t kPaperRuleCount = 4;
  static constexpr std::size_t kSearchSize = 8;

  std::uint16_t ps = 0;                                   // paper-size rules on
  std::array<FileNamePaperRule, kPaperRuleCount> fp_ps;
  std::uint16_t ds = 0;                                   // orientation rules on
  std::u16string search_d1, search_d2;
  std::uint16_t ss = 0;                                   // plot-area rules on
  std::u16string search_s1, search_s2, search_s3;
  std::uint16_t chg_on = 0;                               // apply when drawings are added

  bool operator==(const FileNameRules&) const = default;
};

struct AppSettings {
  static constexpr std::size_t kPathSize = 260;
  static constexpr std::size_t kProhibitedPrinterCount = 16;
  static constexpr std::size_t kProhibitedPrinterSize = 64;
  static constexpr std::int8_t kTemplateIndexCount = 20;  // autocad_type is 0..19
  static constexpr std::int32_t kLanguageCount = 4;       // moji_type is 0..3

  std::u16string file_folder;   // drawing folder last chosen
  std::u16string autocad_file;  // AutoCAD executable
  std::u16string temp_file;     // script file that is written and run
  std::u16string end_file_dwg;  // drawing the script opens last
  std::int8_t autocad_type = 0; // index of the active script template
  FileNameRules file_set;
  std::array<std::u16string, kProhibitedPrinterCount> prohibition_print;  // empty: no printer
  std::int8_t print_paper_ab = 0;       // non-zero: only A- and B-series papers
  std::int32_t moji_type = 0;           // 0 Japanese, 1 English, 2 Korean, 3 Chinese
  std::int32_t prohibition_plmode = 0;  // non-zero: no notice about prohibited printers
  // Minutes one drawing may take before AutoCAD is ended (0: no limit); a
  // whole-list run may take this times its rows.
  std::int32_t run_timeout = 10;
  // AutoCAD's plotter folder: its ".pc3" files are offered as devices.
  std::u16string plotters_folder;
  // Non-zero: a run may start with cells that AutoCAD would evaluate
  // (AutoLISP "(...", transparent commands "'...").
  std::int32_t allow_lisp_cells = 0;
  // Rows per start of AutoCAD in a whole-list run (0: the whole list in one
  // AutoCAD): a fresh AutoCAD every few rows keeps its memory and a hang
  // from costing the night.
  std::int32_t run_batch_size = 0;
  // The AutoCAD Core Console of the parallel lane (empty: none; AutoCAD LT
  // has none) and how many drawings the lane runs at once (0: one per core).
  std::u16string coreconsole_file;
  std::int32_t parallel_workers = 0;

  bool operator==(const AppSettings&) const = default;
};

inline constexpr char16_t kSettingsSection[] = u"setting";
inline constexpr char16_t kSettingsFileName[] = u"Tovrel.ini";

// The working directory, a backslash and "Tovrel.ini". The backslash is
// added even after a drive root ("c:\\Tovrel.ini"), which Windows opens as
// the file in the root.
std::u16string SettingsPath(std::u16string_view workingDirectory);

// Reads all 51 keys; a missing key gives its default ("temp_file" and
// "end_file_dwg" default to files in the working directory). Integers keep
// only the bits their field holds. An `autocad_type` outside 0..19 reads as
// 1 and a `moji_type` outside 0..3 as 0, so neither can index past the
// template table or the language tables; a negative `run_timeout` reads
// as the default 10 minutes, one above a week (10080) as a week; a negative
// `run_batch_size` reads as 0; `parallel_workers` outside 0..16 reads as 0
// (one per core).
void LoadSettings(const IniDocument& file, std::u16string_view workingDirectory,
                  AppSettings& settings);

// The minutes of "run_timeout" as typed in the environment dialog: the
// digits at the start, 0 (no limit) when there are none, at most a week.
std::int32_t RunTimeoutFromText(std::u16string_view text);
// "parallel_workers" as typed: the digits at the start, at most 16.
std::int32_t ParallelWorkersFromText(std::u16string_view text);

// Writes all 51 keys, in the file's key order, into section "setting";
// other keys of the file stay as they are. Empty texts are written as keys
// with an empty value.
void SaveSettings(const AppSettings& settings, IniDocument& file);

}  // namespace tovrel
