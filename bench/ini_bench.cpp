// Times the INI engine against the Windows private-profile functions on the
// two big files the program keeps: the template file (13,020 keys) and a list
// file of 10,000 rows (320,001 keys). Each file is written and read back key
// by key, once through IniFile (one parse, one save) and once through
// Write/GetPrivateProfileStringW, which go to the file on every call.
//
//   ini_bench [template-file | list-file-10000] [scratch-folder as a path]
//
// Without a name every benchmark runs. Without a folder the files go to a new
// folder under the temporary path, removed at the end. stdout gets one line
// per benchmark, "NAME engine_ms=<n> profile_api_ms=<n> ratio=<n>"; a
// profile-function run stopped after five minutes prints lower bounds
// (">300000", ">N"). Phase times and errors go to stderr.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "storage/ansi_code_page_win32.h"
#include "storage/file_io.h"
#include "storage/ini_document.h"
#include "storage/ini_file.h"
#include "storage/text_codec.h"

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t expected");

using Clock = std::chrono::steady_clock;

constexpr double kProfileApiLimitMs = 300000.0;  // five minutes

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

const wchar_t* W(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
const wchar_t* W(const std::u16string& text) { return W(text.c_str()); }

std::string Utf8(std::u16string_view text) { return tovrel::Utf16ToUtf8(text); }

std::u16string Dec(int n) { return tovrel::ToU16(std::to_string(n)); }

std::u16string TwoDigits(int n) { return (n < 10 ? u"0" : u"") + Dec(n); }

// One key of a benchmark file and what reading it back must give.
struct Entry {
  const char16_t* section = u"";
  std::u16string key;
  std::u16string value;
  bool isInteger = false;
  std::int32_t number = 0;     // the value, when isInteger
  std::size_t bufferSize = 0;  // read buffer for a text, counting the null
};

using Entries = std::vector<Entry>;

void AddText(Entries& entries, const char16_t* section, std::u16string key,
             std::u16string value, std::size_t bufferSize) {
  entries.push_back({section, std::move(key), std::move(value), false, 0, bufferSize});
}

void AddInteger(Entries& entries, const char16_t* section, std::u16string key, int number) {
  entries.push_back({section, std::move(key), Dec(number), true, number, 0});
}

// 20 templates of 50 columns, every column in use, as the program saves them.
Entries TemplateFileEntries() {
  static const char16_t* const kItemTexts[] = {u"図面名", u"フォルダ", u"日付", u"Printer",
                                               u"Paper", u"向き", u"Scale", u"部数"};
  static const char16_t* const kSelectTexts[] = {u"A1", u"A3", u"縦", u"横", u"1/50",
                                                 u"1/100", u"有", u"無", u"L", u"P"};
  static const char16_t* const kCommands[] = {u"PLOT", u"-PLOT", u"印刷", u"ZOOM", u"QSAVE"};
  constexpr int kTemplates = 20;
  constexpr int kColumns = 50;
  Entries entries;
  entries.reserve(kTemplates + kTemplates * kColumns * 13);
  for (int t = 0; t < kTemplates; ++t) {
    AddText(entries, u"Title", u"t" + Dec(t),
            (t % 2 == 0 ? u"テンプレート " : u"Template ") + Dec(t + 1), 64);
  }
  for (int t = 0; t < kTemplates; ++t) {
    for (int c = 0; c < kColumns; ++c) {
      const char16_t* section = u"listview_dt";
      const std::u16string prefix = Dec(t) + u"," + Dec(c) + u".";
      AddInteger(entries, section, prefix + u"m", 1);
      AddText(entries, section, prefix + u"t", kItemTexts[c % 8] + Dec(c), 16);
      AddInteger(entries, section, prefix + u"o", c % 5);
      AddInteger(entries, section, prefix + u"p", (c + 1) % 5);
      AddInteger(entries, section, prefix + u"e", c % 6);
      AddInteger(entries, section, prefix + u"w", 60 + (c * 7) % 140);
      for (int s = 0; s < 5; ++s) {
        // Read with a buffer of 5, as the template loader does.
        AddText(entries, section, prefix + u"s" + Dec(s), kSelectTexts[(c + s) % 10], 5);
      }
      AddText(entries, section, prefix + u"f",
              u"C:\\CAD\\Templates\\T" + Dec(t) + u"\\列" + Dec(c) + u"_初期値.dwt", 128);
      AddText(entries, section, prefix + u"k", kCommands[c % 5], 16);
    }
  }
  return entries;
}

// A list of 10,000 drawings: 32 cells a row, the unused ones empty.
Entries ListFileEntries() {
  constexpr int kRows = 10000;
  constexpr int kColumns = 32;
  const char16_t* section = u"listliew";
  Entries entries;
  entries.reserve(1 + kRows * kColumns);
  AddInteger(entries, section, u"max_cont", kRows);
  std::vector<std::u16string> cells(kColumns);
  for (int r = 0; r < kRows; ++r) {
    cells[0] = u"A-" + Dec(10000 + r) + (r % 3 == 0 ? u"_平面図.dwg" : u"_elevation.dxf");
    cells[1] = u"C:\\Projects\\2026-" + TwoDigits(r / 500) + u"\\図面\\Site B";
    cells[2] = u"2026/12/" + TwoDigits(1 + r % 28) + u" 10:" + TwoDigits(r % 60);
    cells[3] = r % 2 == 0 ? u"Plotter A0 (3F)" : u"\\\\printsrv\\Office Laser";
    cells[4] = r % 2 == 0 ? u"ISO A1 (594.00 x 841.00 mm)" : u"A3";
    cells[5] = u"L";
    cells[6] = u"E";
    for (int c = 0; c < kColumns; ++c) {
      AddText(entries, section, Dec(r) + u"," + Dec(c), cells[c], 260);
    }
  }
  return entries;
}

// What a run read back: texts for text keys, numbers for integer keys.
struct ReadBack {
  std::vector<std::u16string> texts;
  std::vector<std::int32_t> numbers;
  std::size_t count = 0;  // entries read; fewer when a run was stopped

  explicit ReadBack(std::size_t size) : texts(size), numbers(size) {}
};

// Compares what was read with what was written; reports the first few
// differences and returns how many there were.
std::size_t CountMismatches(const char* label, const Entries& entries, const ReadBack& read) {
  std::size_t mismatches = 0;
  for (std::size_t i = 0; i < read.count; ++i) {
    const Entry& e = entries[i];
    const std::u16string expected =
        e.isInteger ? Dec(e.number) : e.value.substr(0, e.bufferSize - 1);
    const std::u16string got = e.isInteger ? Dec(read.numbers[i]) : read.texts[i];
    if (got == expected) continue;
    if (++mismatches <= 5) {
      std::fprintf(stderr, "error: %s: [%s] %s read back as \"%s\", written \"%s\"\n", label,
                   Utf8(e.section).c_str(), Utf8(e.key).c_str(), Utf8(got).c_str(),
                   Utf8(expected).c_str());
    }
  }
  return mismatches;
}

std::u16string LastErrorText(std::u16string_view what) {
  return std::u16string(what) + u" (error " + Dec(static_cast<int>(GetLastError())) + u")";
}

// The engine: open, write every key, save, close; open again, read every
// key, close. Closing counts too: it frees every line of the document.
double RunEngine(const char* name, const std::u16string& path, const Entries& entries,
                 ReadBack& read) {
  const tovrel::AnsiCodePage& ansi = tovrel::SystemAnsiCodePage();
  const Clock::time_point start = Clock::now();
  Clock::time_point phaseStart = start;
  auto phaseMs = [&phaseStart] {
    const double ms = MsSince(phaseStart);
    phaseStart = Clock::now();
    return ms;
  };
  std::optional<tovrel::IniFile> file(std::in_place, path, ansi);
  // As the program's list and template writers do: room for the big section.
  file->ReserveKeys(entries.back().section, entries.size());
  for (const Entry& e : entries) file->WriteString(e.section, e.key, e.value);
  const double writeKeysMs = phaseMs();
  std::u16string error;
  if (!file->Save(&error)) throw std::runtime_error("engine save failed: " + Utf8(error));
  const double saveMs = phaseMs();
  file.reset();
  double closeMs = phaseMs();
  file.emplace(path, ansi);
  const double openMs = phaseMs();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const Entry& e = entries[i];
    if (e.isInteger) {
      read.numbers[i] = static_cast<std::int32_t>(file->GetInt(e.section, e.key, 0));
    } else {
      read.texts[i] = file->GetString(e.section, e.key, u"", e.bufferSize);
    }
  }
  read.count = entries.size();
  const double lookupsMs = phaseMs();
  file.reset();
  closeMs += phaseMs();
  std::fprintf(stderr,
               "%s engine: %zu keys; write keys %.1f ms, save %.1f ms, open %.1f ms, "
               "lookups %.1f ms, close %.1f ms\n",
               name, entries.size(), writeKeysMs, saveMs, openMs, lookupsMs, closeMs);
  return MsSince(start);
}

// Diagnostics only: the steps inside open and save, timed one by one.
void PrintEngineSteps(const char* name, const std::u16string& path) {
  Clock::time_point t = Clock::now();
  const tovrel::FileContents contents = tovrel::ReadWholeFile(path);
  const double readMs = MsSince(t);
  t = Clock::now();
  const std::u16string text =
      tovrel::DecodeProfileBytes(contents.bytes, tovrel::SystemAnsiCodePage());
  const double decodeMs = MsSince(t);
  t = Clock::now();
  const tovrel::IniDocument doc = tovrel::IniDocument::Parse(text);
  const double parseMs = MsSince(t);
  t = Clock::now();
  const std::string bytes = doc.ToUtf16LeBytes();
  const double serialiseMs = MsSince(t);
  t = Clock::now();
  std::u16string error;
  if (!tovrel::WriteFileAtomically(path, bytes, &error)) {
    throw std::runtime_error("rewrite failed: " + Utf8(error));
  }
  const double writeMs = MsSince(t);
  std::fprintf(stderr,
               "%s engine steps: file %zu KB; read %.1f ms, decode %.1f ms, parse %.1f ms, "
               "serialise %.1f ms, atomic write %.1f ms\n",
               name, contents.bytes.size() / 1024, readMs, decodeMs, parseMs, serialiseMs, writeMs);
}

struct ProfileApiRun {
  double ms = 0;
  bool stopped = false;  // the time limit was reached
};

// The profile functions, one call per key. The file is created beforehand
// as UTF-16LE (a byte-order mark only), like the files the program writes;
// a file they create themselves would be ANSI and lose the Japanese texts.
ProfileApiRun RunProfileApi(const char* name, const std::u16string& path, const Entries& entries,
                            ReadBack& read) {
  std::u16string error;
  if (!tovrel::WriteFileAtomically(path, "\xFF\xFE", &error)) {
    throw std::runtime_error("cannot create the profile file: " + Utf8(error));
  }
  ProfileApiRun run;
  const Clock::time_point start = Clock::now();
  // A look at the clock costs nothing beside a profile call, so every key has one.
  auto outOfTime = [&](std::size_t done, const char* phase) {
    if (MsSince(start) <= kProfileApiLimitMs) return false;
    std::fprintf(stderr, "%s profile API: stopped after %.0f s, %zu of %zu keys %s\n", name,
                 MsSince(start) / 1000, done, entries.size(), phase);
    run.stopped = true;
    return true;
  };
  const wchar_t* file = W(path);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (outOfTime(i, "written")) return run;
    const Entry& e = entries[i];
    if (!WritePrivateProfileStringW(W(e.section), W(e.key), W(e.value), file)) {
      throw std::runtime_error(Utf8(LastErrorText(u"WritePrivateProfileStringW failed")));
    }
  }
  const double writeMs = MsSince(start);
  std::vector<wchar_t> buffer;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (outOfTime(i, "read back")) return run;
    const Entry& e = entries[i];
    if (e.isInteger) {
      read.numbers[i] =
          static_cast<std::int32_t>(GetPrivateProfileIntW(W(e.section), W(e.key), 0, file));
    } else {
      buffer.assign(e.bufferSize, L'\0');
      const DWORD length = GetPrivateProfileStringW(W(e.section), W(e.key), L"", buffer.data(),
                                                    static_cast<DWORD>(buffer.size()), file);
      read.texts[i].assign(reinterpret_cast<const char16_t*>(buffer.data()), length);
    }
    read.count = i + 1;
  }
  run.ms = MsSince(start);
  std::fprintf(stderr, "%s profile API: write keys %.1f ms, read keys %.1f ms\n", name, writeMs,
               run.ms - writeMs);
  return run;
}

// The folder the files are written to: a new one under the temporary path,
// removed again with its files, or the one given on the command line, where
// the files stay for inspection.
class ScratchFolder {
public:
  explicit ScratchFolder(std::u16string given) : path_(std::move(given)) {
    if (path_.empty()) {
      wchar_t temp[MAX_PATH + 1] = {};
      const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
      if (length == 0 || length > MAX_PATH) throw std::runtime_error("no temporary folder");
      const std::u16string base = std::u16string(reinterpret_cast<const char16_t*>(temp), length) +
                                  u"tovrel_ini_bench_" +
                                  Dec(static_cast<int>(GetCurrentProcessId()));
      for (int attempt = 0; attempt < 100 && !owned_; ++attempt) {
        path_ = base + u"_" + Dec(attempt);
        owned_ = CreateDirectoryW(W(path_), nullptr) != 0;
      }
      if (!owned_) throw std::runtime_error(Utf8(LastErrorText(u"cannot create " + base)));
    } else if (!CreateDirectoryW(W(path_), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      throw std::runtime_error(Utf8(LastErrorText(u"cannot create " + path_)));
    }
    if (path_.back() != u'\\' && path_.back() != u'/') path_ += u'\\';
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    if (!owned_) return;
    for (const std::u16string& file : files_) DeleteFileW(W(file));
    RemoveDirectoryW(W(path_));
  }

  // A path in the folder, with no file there yet.
  std::u16string FreshFile(std::u16string_view name) {
    std::u16string file = path_ + std::u16string(name);
    DeleteFileW(W(file));
    files_.push_back(file);
    return file;
  }

private:
  std::u16string path_;
  bool owned_ = false;
  std::vector<std::u16string> files_;
};

struct Benchmark {
  const char* name;
  const char16_t* fileStem;
  Entries (*makeEntries)();
};

constexpr Benchmark kBenchmarks[] = {
    {"template-file", u"template", TemplateFileEntries},
    {"list-file-10000", u"list", ListFileEntries},
};

// Runs one benchmark and prints its line; false when a value read back was wrong.
bool RunBenchmark(const Benchmark& benchmark, ScratchFolder& folder) {
  const Entries entries = benchmark.makeEntries();
  const std::u16string stem(benchmark.fileStem);
  ReadBack engineRead(entries.size());
  const std::u16string enginePath = folder.FreshFile(stem + u"_engine.ini");
  const double engineMs = RunEngine(benchmark.name, enginePath, entries, engineRead);
  PrintEngineSteps(benchmark.name, enginePath);
  ReadBack profileRead(entries.size());
  const ProfileApiRun profile = RunProfileApi(
      benchmark.name, folder.FreshFile(stem + u"_profile_api.ini"), entries, profileRead);

  const std::string label = benchmark.name;
  const std::size_t mismatches =
      CountMismatches((label + " engine").c_str(), entries, engineRead) +
      CountMismatches((label + " profile API").c_str(), entries, profileRead);
  const double divisor = std::max(engineMs, 0.001);
  if (profile.stopped) {
    std::printf("%s engine_ms=%.0f profile_api_ms=>%.0f ratio=>%.1f\n", benchmark.name, engineMs,
                kProfileApiLimitMs, kProfileApiLimitMs / divisor);
  } else {
    std::printf("%s engine_ms=%.0f profile_api_ms=%.0f ratio=%.1f\n", benchmark.name, engineMs,
                profile.ms, profile.ms / divisor);
  }
  std::fflush(stdout);
  if (mismatches != 0) {
    std::fprintf(stderr, "error: %s: %zu values read back differ from those written\n",
                 benchmark.name, mismatches);
  }
  return mismatches == 0;
}

int Run(int argc, wchar_t** argv) {
  std::vector<const Benchmark*> chosen;
  std::u16string folderArgument;
  for (int i = 1; i < argc; ++i) {
    const std::u16string argument(reinterpret_cast<const char16_t*>(argv[i]));
    const auto match =
        std::find_if(std::begin(kBenchmarks), std::end(kBenchmarks),
                     [&](const Benchmark& b) { return argument == tovrel::ToU16(b.name); });
    if (match != std::end(kBenchmarks)) {
      chosen.push_back(&*match);
    } else if (folderArgument.empty() &&
               argument.find_first_of(u"\\/:") != std::u16string::npos) {
      folderArgument = argument;  // a path, never a mistyped benchmark name
    } else {
      std::fprintf(stderr, "usage: ini_bench [template-file | list-file-10000] [scratch-folder]\n"
                           "(a folder is given as a path: .\\name, C:\\name)\n");
      return 2;
    }
  }
  if (chosen.empty()) {
    for (const Benchmark& b : kBenchmarks) chosen.push_back(&b);
  }
  ScratchFolder folder(folderArgument);
  bool allRight = true;
  for (const Benchmark* benchmark : chosen) allRight = RunBenchmark(*benchmark, folder) && allRight;
  return allRight ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "error: %s\n", e.what());
    return 1;
  }
}
