// The help pages that ship beside the program: help\<language>\<page>.html
// in the program's folder, one set per language of the screen. Which file a
// Help button or the Help menu opens is decided here; the window layer
// (help_pages_win32.h) only asks whether files exist and opens the one
// chosen.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tovrel {

// One page per window the user meets, the page on templates and run modes,
// and the contents.
enum class HelpTopic {
  Contents,
  MainWindow,
  Language,
  Search,
  AddingDrawings,
  Environment,
  Editing,
  FileNameRules,
  TemplateSelection,
  TemplateEditor,
  Printers,
  Preflight,
  Running,
  ScriptTemplates,
};

inline constexpr int kHelpTopicCount = 14;

// The page's file name without ".html" ("main-window"); the contents'
// page for a value that names no topic.
std::u16string_view HelpPageName(HelpTopic topic);

// The folder of a language's pages: "ja", "en", "ko", "zh" for the screen
// languages 0 to 3; English for any other value.
std::u16string_view HelpLanguageFolder(std::int32_t language);

// The page to open for a topic, in this order of preference: the topic in
// the screen language, the topic in English, the contents in the screen
// language, the contents in English. When none of them exists, the first
// (the shell then says which file it could not find).
// `programFolder` is the folder Tovrel.exe lies in, with or without a
// trailing backslash.
std::u16string HelpPagePath(std::u16string_view programFolder, std::int32_t language, HelpTopic topic,
                            const std::function<bool(const std::u16string& path)>& exists);

}  // namespace tovrel
