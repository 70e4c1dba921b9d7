// Reading and writing the program's own files in its working directory.
#pragma once

#include <string>

namespace tovrel {

struct AppContext;

// The process's current directory. It is read once, at start, to become the
// working directory; later changes of the current directory (a file dialog,
// a shell extension) never move the program's files.
std::u16string CurrentDirectory();
// The working folder of this copy of the program (see working_folder.h):
// the current directory of a portable copy, the user's folder of an
// installed one, which is made and given the shipped data files it lacks.
std::u16string FindWorkingFolder();

// Makes the working directory the process's current directory again.
void EnterWorkingDirectory(const AppContext& app);
// working directory + "\" + name.
std::u16string PathInWorkingDirectory(const AppContext& app, std::u16string_view name);

// False when "Tovrel_wchar.ini" is missing or could not be read (every
// catalog text is then empty).
bool LoadCatalogFile(AppContext& app);
void LoadSettingsFile(AppContext& app);
// false, with the reason, when "Tovrel.ini" could not be written.
bool SaveSettingsFile(AppContext& app, std::u16string* error);
void LoadTemplateFile(AppContext& app);
bool SaveTemplateFile(AppContext& app, std::u16string* error);
// Writes the template file only when a template changed since it was read
// or last written (templatesChanged).
bool SaveChangedTemplateFile(AppContext& app, std::u16string* error);

}  // namespace tovrel
