#include "printers/environment_setup.h"

#include <algorithm>

namespace tovrel {

namespace {

constexpr std::size_t kMaxPath = AppSettings::kPathSize - 1;
constexpr std::size_t kMaxPrinterName = AppSettings::kProhibitedPrinterSize - 1;

// The searched names, in the order of their slots in the answer. "acad.exe"
// comes last: once the other three are found it is not needed.
enum SearchedName { kAutocadLt, kScriptFile, kEndFile, kAutocad, kRequiredNames = kAutocad };

bool IsBlank(std::u16string_view text) {
  return std::all_of(text.begin(), text.end(), [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\x3000'; });
}

}  // namespace

namespace {

// The sub-folders of a folder, without "." and "..", sorted by name.
std::vector<std::u16string> SubFolders(const FileSystem& files, const std::u16string& folder) {
  std::vector<DirEntry> entries;
  std::vector<std::u16string> names;
  if (!files.List(folder + u"\\*", entries)) return names;
  for (const DirEntry& e : entries) {
    if ((e.attributes & kAttributeDirectory) != 0 && e.name != u"." && e.name != u"..") names.push_back(e.name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

std::u16string FindPlottersFolder(const FileSystem& files, std::u16string_view appData) {
  if (appData.empty()) return {};
  const std::u16string autodesk = std::u16string(appData) + u"\\Autodesk";
  std::u16string found;
  for (const std::u16string& product : SubFolders(files, autodesk)) {
    for (const std::u16string& release : SubFolders(files, autodesk + u"\\" + product)) {
      const std::u16string releaseFolder = autodesk + u"\\" + product + u"\\" + release;
      for (const std::u16string& language : SubFolders(files, releaseFolder)) {
        const std::u16string plotters = releaseFolder + u"\\" + language + u"\\Plotters";
        DirEntry entry;
        if (files.Find(plotters, entry) && (entry.attributes & kAttributeDirectory) != 0) found = plotters;
      }
    }
  }
  return found;
}

AutomaticSetup RunAutomaticSetup(const FileSystem& files, std::u16string_view workingDirectory,
                                 const SearchCancelled& cancelled, std::u16string_view appData) {
  const std::vector<std::optional<std::u16string>> found = SearchFixedDrivesForEach(
      files, {u"aclt.exe", u"atcprint.scr", u"endfile.dwg", u"acad.exe"}, cancelled, kRequiredNames);
  AutomaticSetup setup;
  if (cancelled && cancelled()) {
    setup.cancelled = true;
    return setup;
  }
  const std::u16string folder(workingDirectory);
  if (found[kAutocadLt]) {
    setup.autocadFile = *found[kAutocadLt];
  } else if (found[kAutocad]) {
    setup.autocadFile = *found[kAutocad];
  } else {
    setup.autocadFile = kDefaultAutocadFile;
    setup.messages.push_back(30);
  }
  if (found[kScriptFile]) {
    setup.scriptFile = *found[kScriptFile];
  } else {
    setup.scriptFile = folder + u"\\atcprint.scr";
    setup.messages.push_back(31);
  }
  if (found[kEndFile]) {
    setup.endFile = *found[kEndFile];
  } else {
    setup.endFile = folder + u"\\endfile.dwg";
    setup.messages.push_back(32);
  }
  for (const auto& program : {found[kAutocadLt], found[kAutocad]}) {
    if (!program || !setup.coreConsoleFile.empty()) continue;
    const std::size_t slash = program->find_last_of(u'\\');
    const std::u16string console = program->substr(0, slash + 1) + u"accoreconsole.exe";
    DirEntry entry;
    if (files.Find(console, entry) && (entry.attributes & kAttributeDirectory) == 0) setup.coreConsoleFile = console;
  }
  if (setup.coreConsoleFile.empty()) setup.messages.push_back(kMessageNoCoreConsole);
  setup.plottersFolder = FindPlottersFolder(files, appData);
  return setup;
}

std::vector<std::u16string> ProhibitedNamesOf(const AppSettings& settings) {
  std::vector<std::u16string> names;
  for (const std::u16string& name : settings.prohibition_print) {
    if (!name.empty()) names.push_back(name.substr(0, kMaxPrinterName));
  }
  return names;
}

int FindProhibitedName(const std::vector<std::u16string>& names, std::u16string_view typed) {
  const std::u16string_view name = typed.substr(0, kMaxPrinterName);
  const auto it = std::find(names.begin(), names.end(), name);
  return it == names.end() ? -1 : static_cast<int>(it - names.begin());
}

RegisterResult RegisterProhibitedName(std::vector<std::u16string>& names, std::u16string_view typed) {
  if (IsBlank(typed)) return RegisterResult::Empty;
  if (FindProhibitedName(names, typed) >= 0) return RegisterResult::Duplicate;
  if (names.size() >= AppSettings::kProhibitedPrinterCount) return RegisterResult::Full;
  names.emplace_back(typed.substr(0, kMaxPrinterName));
  return RegisterResult::Added;
}

bool DeleteProhibitedName(std::vector<std::u16string>& names, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= names.size()) return false;
  names.erase(names.begin() + index);
  return true;
}

void StoreProhibitedNames(const std::vector<std::u16string>& names, AppSettings& settings) {
  for (std::size_t i = 0; i < settings.prohibition_print.size(); ++i) {
    settings.prohibition_print[i] = i < names.size() ? names[i].substr(0, kMaxPrinterName) : std::u16string();
  }
}

std::u16string SettingsPathText(std::u16string_view text) { return std::u16string(text.substr(0, kMaxPath)); }

bool AutocadProgramExists(const FileSystem& files, std::u16string_view path) {
  // A pattern character would make the file system's search match other names.
  if (path.empty() || path.find_first_of(u"*?") != std::u16string_view::npos) return false;
  DirEntry entry;
  return files.Find(std::u16string(path), entry) && (entry.attributes & kAttributeDirectory) == 0;
}

}  // namespace tovrel
