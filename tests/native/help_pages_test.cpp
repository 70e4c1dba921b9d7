#include "win32/help_pages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

namespace tovrel {
namespace {

std::string Narrow(const std::u16string& text) {
  return std::string(text.begin(), text.end());
}

// Which page the Help buttons open, given the pages that exist.
TEST(HelpPages, ChoosesTheLanguagePageThenEnglishThenTheContents) {
  struct Case {
    const char* what;
    std::int32_t language;
    HelpTopic topic;
    std::set<std::u16string> present;
    const char16_t* expected;
  };
  const std::u16string folder = u"C:\\Program Files\\Tovrel";
  const Case cases[] = {
      {"the page of the screen language",
       0,
       HelpTopic::Editing,
       {u"C:\\Program Files\\Tovrel\\help\\ja\\editing.html",
        u"C:\\Program Files\\Tovrel\\help\\en\\editing.html"},
       u"C:\\Program Files\\Tovrel\\help\\ja\\editing.html"},
      {"Korean and Chinese folders",
       2,
       HelpTopic::Running,
       {u"C:\\Program Files\\Tovrel\\help\\ko\\running.html"},
       u"C:\\Program Files\\Tovrel\\help\\ko\\running.html"},
      {"Chinese",
       3,
       HelpTopic::TemplateEditor,
       {u"C:\\Program Files\\Tovrel\\help\\zh\\template-editor.html"},
       u"C:\\Program Files\\Tovrel\\help\\zh\\template-editor.html"},
      {"English when the language's page is missing",
       3,
       HelpTopic::Preflight,
       {u"C:\\Program Files\\Tovrel\\help\\en\\preflight.html",
        u"C:\\Program Files\\Tovrel\\help\\zh\\index.html"},
       u"C:\\Program Files\\Tovrel\\help\\en\\preflight.html"},
      {"the contents when the page is missing in both",
       2,
       HelpTopic::Environment,
       {u"C:\\Program Files\\Tovrel\\help\\ko\\index.html",
        u"C:\\Program Files\\Tovrel\\help\\en\\index.html"},
       u"C:\\Program Files\\Tovrel\\help\\ko\\index.html"},
      {"the English contents as the last choice",
       0,
       HelpTopic::Search,
       {u"C:\\Program Files\\Tovrel\\help\\en\\index.html"},
       u"C:\\Program Files\\Tovrel\\help\\en\\index.html"},
      {"a topic that names no page: the contents",
       1,
       static_cast<HelpTopic>(99),
       {u"C:\\Program Files\\Tovrel\\help\\en\\index.html"},
       u"C:\\Program Files\\Tovrel\\help\\en\\index.html"},
      {"a language out of range: English",
       7,
       HelpTopic::Language,
       {u"C:\\Program Files\\Tovrel\\help\\ja\\language.html",
        u"C:\\Program Files\\Tovrel\\help\\en\\language.html"},
       u"C:\\Program Files\\Tovrel\\help\\en\\language.html"},
      {"nothing installed: the page asked for, for the shell to name",
       2,
       HelpTopic::Printers,
       {},
       u"C:\\Program Files\\Tovrel\\help\\ko\\printers.html"},
  };
  for (const Case& c : cases) {
    const std::u16string path = HelpPagePath(
        folder, c.language, c.topic, [&](const std::u16string& p) { return c.present.count(p) != 0; });
    EXPECT_EQ(Narrow(path), Narrow(c.expected)) << c.what;
  }
}

TEST(HelpPages, ProgramFolderWithOrWithoutItsBackslash) {
  const auto none = [](const std::u16string&) { return false; };
  EXPECT_EQ(Narrow(HelpPagePath(u"D:\\", 1, HelpTopic::Contents, none)), "D:\\help\\en\\index.html");
  EXPECT_EQ(Narrow(HelpPagePath(u"D:\\Tovrel\\", 1, HelpTopic::Search, none)),
            "D:\\Tovrel\\help\\en\\search.html");
  EXPECT_EQ(Narrow(HelpPagePath(u"D:\\Tovrel", 1, HelpTopic::Search, none)),
            "D:\\Tovrel\\help\\en\\search.html");
}

// Every topic the program opens has its page in every language's sources,
// and no two topics share a page.
TEST(HelpPages, EveryTopicHasItsPageInEveryLanguage) {
  std::set<std::u16string> names;
  for (int t = 0; t < kHelpTopicCount; ++t) {
    const std::u16string name(HelpPageName(static_cast<HelpTopic>(t)));
    EXPECT_TRUE(names.insert(name).second) << Narrow(name);
    for (std::int32_t language = 0; language < 4; ++language) {
      const std::filesystem::path source = std::filesystem::path(TOVREL_HELP_SOURCE_DIR) /
                                           Narrow(std::u16string(HelpLanguageFolder(language))) /
                                           (Narrow(name) + ".md");
      EXPECT_TRUE(std::filesystem::is_regular_file(source)) << source;
    }
  }
}

}  // namespace
}  // namespace tovrel
