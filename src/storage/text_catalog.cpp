#include "storage/text_catalog.h"

#include "storage/text_codec.h"

namespace tovrel {

namespace {

const std::u16string kEmpty;

std::u16string Key(int number, const char16_t* suffix) {
  return u"No." + ToU16(std::to_string(number)) + u":" + suffix;
}

}  // namespace

void UiText::Load(const IniDocument& catalog) {
  static const char16_t* const dialogKeys[] = {u"dialog-j", u"dialog-e", u"dialog-k", u"dialog-c"};
  static const char16_t* const bodyKeys[] = {u"meg-ja", u"meg-ea", u"meg-ka", u"meg-ca"};
  static const char16_t* const captionKeys[] = {u"meg-jb", u"meg-eb", u"meg-kb", u"meg-cb"};
  static const char16_t* const codeKeys[] = {u"code-j", u"code-e", u"code-k", u"code-c"};
  for (int n = 0; n < kTextNumbers; ++n) {
    for (int lang = 0; lang < kLanguageCount; ++lang) {
      dialog_[n][lang] = catalog.GetString(u"dialog", Key(n, dialogKeys[lang]), u"", kTextSlotSize);
      body_[n][lang] = catalog.GetString(u"meg", Key(n, bodyKeys[lang]), u"", kTextSlotSize);
      caption_[n][lang] = catalog.GetString(u"meg", Key(n, captionKeys[lang]), u"", kTextSlotSize);
      code_[n][lang] = catalog.GetString(u"code", Key(n, codeKeys[lang]), u"", kTextSlotSize);
    }
  }
}

const std::u16string& UiText::Pick(const Table& table, int number, std::int32_t language) {
  if (number < 0 || number >= kTextNumbers || language < 0 || language >= kLanguageCount) return kEmpty;
  return table[number][language];
}

const std::u16string& UiText::Text(TextTable table, int number, std::int32_t language) const {
  return Pick(table == TextTable::Dialog ? dialog_ : code_, number, language);
}

const std::u16string& UiText::MessageBody(int number, std::int32_t language) const {
  return Pick(body_, number, language);
}

const std::u16string& UiText::MessageCaption(int number, std::int32_t language) const {
  return Pick(caption_, number, language);
}

}  // namespace tovrel
