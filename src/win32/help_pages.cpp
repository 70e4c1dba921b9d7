#include "win32/help_pages.h"

#include <array>

namespace tovrel {

namespace {

// In the order of HelpTopic.
constexpr std::array<std::u16string_view, kHelpTopicCount> kPageNames = {
    u"index",           u"main-window",      u"language",
    u"search",          u"adding-drawings",  u"environment",
    u"editing",         u"file-name-rules",  u"template-selection",
    u"template-editor", u"printers",         u"preflight",
    u"running",         u"script-templates",
};

constexpr std::array<std::u16string_view, 4> kLanguageFolders = {u"ja", u"en", u"ko", u"zh"};
constexpr std::int32_t kEnglish = 1;

std::u16string PagePath(std::u16string_view programFolder, std::u16string_view language,
                        std::u16string_view page) {
  std::u16string path(programFolder);
  if (!path.empty() && path.back() != u'\\' && path.back() != u'/') path += u'\\';
  path += u"help\\";
  path += language;
  path += u'\\';
  path += page;
  path += u".html";
  return path;
}

}  // namespace

std::u16string_view HelpPageName(HelpTopic topic) {
  const auto index = static_cast<std::size_t>(topic);
  return index < kPageNames.size() ? kPageNames[index] : kPageNames[0];
}

std::u16string_view HelpLanguageFolder(std::int32_t language) {
  return language >= 0 && language < static_cast<std::int32_t>(kLanguageFolders.size())
             ? kLanguageFolders[static_cast<std::size_t>(language)]
             : kLanguageFolders[kEnglish];
}

std::u16string HelpPagePath(std::u16string_view programFolder, std::int32_t language, HelpTopic topic,
                            const std::function<bool(const std::u16string& path)>& exists) {
  const std::u16string_view own = HelpLanguageFolder(language);
  const std::u16string_view english = HelpLanguageFolder(kEnglish);
  const std::u16string_view page = HelpPageName(topic);
  const std::u16string_view contents = HelpPageName(HelpTopic::Contents);
  const std::u16string candidates[] = {
      PagePath(programFolder, own, page),
      PagePath(programFolder, english, page),
      PagePath(programFolder, own, contents),
      PagePath(programFolder, english, contents),
  };
  for (const std::u16string& candidate : candidates) {
    if (exists(candidate)) return candidate;
  }
  return candidates[0];
}

}  // namespace tovrel
