// Texts of the settings, template and list files through a save and the
// next start: what the user typed, or what a load cut to its field, comes
// back the same, and stays the same through every further save and load.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "drawing_list/row_store.h"
#include "storage/app_settings.h"
#include "storage/ini_document.h"
#include "drawing_list/list_file.h"
#include "storage/script_template.h"

using namespace tovrel;

namespace {

// The file as the next start reads it: written out as bytes and read again.
IniDocument Reopen(const IniDocument& written) {
  return IniDocument::FromBytes(written.ToUtf16LeBytes(), Cp1252CodePage{});
}

// One place a text is kept: its field size (terminator included) and a
// save into a file followed by a load from the reopened file.
struct Place {
  const char* name;
  std::size_t fieldSize;
  std::function<std::u16string(const std::u16string&)> saveAndLoad;
};

std::u16string ThroughSettings(const std::u16string& text, std::u16string AppSettings::*field) {
  AppSettings saved;
  saved.*field = text;
  IniDocument file;
  SaveSettings(saved, file);
  AppSettings loaded;
  LoadSettings(Reopen(file), u"c:\\work", loaded);
  return loaded.*field;
}

std::u16string ThroughPaperRule(const std::u16string& text) {
  AppSettings saved;
  saved.file_set.fp_ps[1].paper = text;
  IniDocument file;
  SaveSettings(saved, file);
  AppSettings loaded;
  LoadSettings(Reopen(file), u"c:\\work", loaded);
  return loaded.file_set.fp_ps[1].paper;
}

// Title, initial value and a select text of one column of template 3.
enum class TemplateText { Title, InitialValue, SelectText };

std::u16string ThroughTemplateFile(const std::u16string& text, TemplateText which) {
  auto saved = std::make_unique<TemplateSet>();
  ScriptTemplate& tmpl = (*saved)[3];
  tmpl.inUse = 1;
  tmpl.title = which == TemplateText::Title ? text : u"Plot";
  tmpl.columns[2].inUse = 1;
  if (which == TemplateText::InitialValue) tmpl.columns[2].initialValue = text;
  if (which == TemplateText::SelectText) tmpl.columns[2].selectText[4] = text;
  IniDocument file;
  SaveTemplates(*saved, file);
  auto loaded = std::make_unique<TemplateSet>();
  LoadTemplates(Reopen(file), *loaded);
  const ScriptTemplate& back = (*loaded)[3];
  if (which == TemplateText::Title) return back.title;
  if (which == TemplateText::InitialValue) return back.columns[2].initialValue;
  return back.columns[2].selectText[4];
}

std::u16string ThroughExport(const std::u16string& text) {
  ScriptTemplate saved;
  saved.columns[7].inUse = 1;
  saved.columns[7].itemText = text;
  IniDocument file;
  WriteSingleTemplate(saved, file);
  ScriptTemplate loaded;
  ReadSingleTemplate(Reopen(file), loaded);
  return loaded.columns[7].itemText;
}

std::u16string ThroughListFile(const std::u16string& text, int column) {
  MemoryRowStore saved(kListFileColumns);
  saved.InsertRow(0, column == 0 ? text : u"a.dwg", 1, 0);
  if (column != 0) saved.SetCellText(0, column, text);
  IniDocument file;
  SaveList(saved, file);
  MemoryRowStore loaded(kListFileColumns);
  LoadList(Reopen(file), loaded);
  return loaded.CellText(0, column, 1024);
}

std::vector<Place> Places() {
  return {
      {"settings folder", AppSettings::kPathSize,
       [](const std::u16string& t) { return ThroughSettings(t, &AppSettings::file_folder); }},
      {"settings paper rule", FileNamePaperRule::kPaperSize, ThroughPaperRule},
      {"template title", ScriptTemplate::kTitleSize,
       [](const std::u16string& t) { return ThroughTemplateFile(t, TemplateText::Title); }},
      {"template initial value", TemplateColumn::kInitialValueSize,
       [](const std::u16string& t) { return ThroughTemplateFile(t, TemplateText::InitialValue); }},
      {"template select text", TemplateColumn::kSelectTextSize,
       [](const std::u16string& t) { return ThroughTemplateFile(t, TemplateText::SelectText); }},
      {"exported column header", TemplateColumn::kItemTextSize, ThroughExport},
      {"list file name cell", 260, [](const std::u16string& t) { return ThroughListFile(t, 0); }},
      {"list value cell", 260, [](const std::u16string& t) { return ThroughListFile(t, 9); }},
  };
}

// Texts that fit every field, with blanks, tabs and quotes where the
// reading rules of the files would take them off.
const char16_t* const kTexts[] = {
    u"plain",         u"",       u" x ",   u"\"x\"",  u"'x'",    u" c:\\drawings ", u" ",
    u"\tA4\t",        u"\"open", u"shut\"", u"\"",    u"\"\"",   u"a \"b\" c",      u"trail  ",
};

}  // namespace

TEST(ValueRoundTrip, TextsComeBackAsTheyWereSaved) {
  for (const Place& place : Places()) {
    for (const char16_t* text : kTexts) {
      EXPECT_EQ(place.saveAndLoad(text), text) << place.name << ": \"" << Utf16ToUtf8(text) << "\"";
    }
  }
}

// Texts at the size of their field: the text a load cut to the field comes
// back the same at the next start, and so on at every later one.
TEST(ValueRoundTrip, TextsCutToTheirFieldStayAsCut) {
  const std::u16string emoji = u"\U0001F600";
  for (const Place& place : Places()) {
    const std::size_t fits = place.fieldSize - 1;  // characters the field holds
    struct Case {
      const char* what;
      std::u16string text;
    };
    const Case cases[] = {
        {"fills the field, blank at its end", std::u16string(fits - 1, u'a') + u" "},
        {"fills the field, quoted", u"\"" + std::u16string(fits - 2, u'a') + u"\""},
        {"cut at a blank", std::u16string(fits - 1, u'a') + u" tail"},
        {"cut at a tab", u" " + std::u16string(fits - 2, u'a') + u"\ttail"},
        {"emoji and a blank fill the field", std::u16string(fits - 3, u'a') + emoji + u" "},
        {"emoji at the cut", std::u16string(fits - 1, u'a') + emoji + u"z"},
    };
    for (const Case& c : cases) {
      const std::u16string first = place.saveAndLoad(c.text);
      EXPECT_EQ(first, c.text.substr(0, fits)) << place.name << ": " << c.what;
      EXPECT_EQ(place.saveAndLoad(first), first) << place.name << ": " << c.what << ", second start";
    }
  }
}
