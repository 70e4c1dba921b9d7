// The decisions of the environment dialog: the automatic setup's search for
// AutoCAD, the script file and the end drawing, and the rules of the list of
// prohibited printers. The dialog shows what these answer.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "storage/app_settings.h"
#include "storage/drive_search.h"
#include "storage/file_system.h"

namespace tovrel {

// Used when no AutoCAD program is found on any fixed drive.
inline constexpr char16_t kDefaultAutocadFile[] = u"c:\\Program Files\\ACAD\\aclt.exe";

// What the automatic setup puts into the three path fields, and the
// messages that say which of them are fall-backs (30 AutoCAD, 31 script
// file, 32 end drawing, in that order).
struct AutomaticSetup {
  bool cancelled = false;  // nothing else is set then
  std::u16string autocadFile;
  std::u16string scriptFile;
  std::u16string endFile;
  // "accoreconsole.exe" beside the AutoCAD found (or beside "acad.exe" when
  // AutoCAD LT was taken); empty, with message 97, when there is none.
  std::u16string coreConsoleFile;
  std::u16string plottersFolder;  // empty when none was found
  std::vector<int> messages;
};

// Message 97: no Core Console, so no parallel lane.
inline constexpr int kMessageNoCoreConsole = 97;

// Looks through the fixed drives (one walk) for "aclt.exe", "acad.exe",
// "atcprint.scr" and "endfile.dwg". AutoCAD LT is preferred wherever it
// lies; without it "acad.exe" is taken; without either the default path. A
// script file or end drawing not found is taken from the working folder.
// The Core Console is looked for beside the AutoCAD programs found.
// AutoCAD's plotter folder is looked for under the user's application data
// (FindPlottersFolder).
AutomaticSetup RunAutomaticSetup(const FileSystem& files, std::u16string_view workingDirectory,
                                 const SearchCancelled& cancelled = {}, std::u16string_view appData = {});

// AutoCAD keeps each release's plotter configurations in
// "<application data>\Autodesk\<product>\<release>\<language>\Plotters". The
// folder of that shape whose product folder comes last by name (the latest
// release: "AutoCAD 2024" after "AutoCAD 2023"); empty when there is none.
std::u16string FindPlottersFolder(const FileSystem& files, std::u16string_view appData);

// The list of prohibited printers as the dialog edits it: at most 16 names
// of at most 63 characters, none empty, none twice.
enum class RegisterResult { Added, Empty, Duplicate, Full };

// The names of the settings in order, the empty slots left out, so that a
// name after an empty slot is still shown (and kept by the next OK).
std::vector<std::u16string> ProhibitedNamesOf(const AppSettings& settings);

// Appends a typed name, cut to 63 characters. A text of blanks only counts
// as empty; a name already listed (the same characters, case included, as
// printers are compared) is not added twice.
RegisterResult RegisterProhibitedName(std::vector<std::u16string>& names, std::u16string_view typed);

// The index of a name in the list, or -1.
int FindProhibitedName(const std::vector<std::u16string>& names, std::u16string_view typed);

// Removes the name at `index`; false when there is no such name.
bool DeleteProhibitedName(std::vector<std::u16string>& names, int index);

// Stores the names into the 16 slots of the settings, the rest emptied.
void StoreProhibitedNames(const std::vector<std::u16string>& names, AppSettings& settings);

// A text as the settings keep a path: at most 259 characters.
std::u16string SettingsPathText(std::u16string_view text);

// Whether the AutoCAD program of a path is there: an existing file, not a
// folder. The dialog warns on OK when it is not (the path is still kept).
bool AutocadProgramExists(const FileSystem& files, std::u16string_view path);

}  // namespace tovrel
