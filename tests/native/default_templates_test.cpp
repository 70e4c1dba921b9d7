// The default template files that ship beside the program, read as the
// program reads them: titles, the list columns other parts rely on, the size
// limits, and the AutoCAD plot sequence their scripts make, checked by the
// AutoCAD stand-in's interpreter.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "drawing_list/list_columns.h"
#include "standin_interpreter.h"
#include "storage/file_io.h"
#include "storage/ini_document.h"
#include "storage/ini_file.h"
#include "storage/script_template.h"
#include "storage/text_codec.h"

#ifndef TOVREL_TEMPLATE_DIR
#error "TOVREL_TEMPLATE_DIR must name the folder of the generated template files"
#endif
#ifndef TOVREL_CATALOG_FILE
#error "TOVREL_CATALOG_FILE must name the generated Tovrel_wchar.ini"
#endif

using tovrel::IniDocument;
using tovrel::IniFile;
using tovrel::ScriptTemplate;
using tovrel::TemplateColumn;
using tovrel::TemplateSet;
using tovrel::ToU16;
using tovrel::standin::Record;

namespace {

const tovrel::Cp1252CodePage kAnsi;
const char* const kLanguageLetters[] = {"j", "e", "k", "c"};
const char* const kLanguageNames[] = {"Japanese", "English", "Korean", "Chinese"};

// Fixed list columns.
constexpr int kPrinterColumn = 5, kPaperColumn = 6, kOrientationColumn = 8, kAreaColumn = 10;

std::u16string TemplatePath(int mojiType) {
  return ToU16(TOVREL_TEMPLATE_DIR "/") + tovrel::TemplateFileName(mojiType);
}

std::u16string CodeText(int mojiType, int number) {
  static const IniFile catalog(ToU16(TOVREL_CATALOG_FILE), kAnsi);
  const std::string key = "No." + std::to_string(number) + ":code-" + kLanguageLetters[mojiType];
  return catalog.GetString(u"code", ToU16(key), u"", 64);
}

// The lines one row writes, by output mode, as the script writer does: 1
// the command and the quoted drawing path, 2 the command alone, 3 the first
// character of the cell, 4 the whole cell, anything else nothing.
std::vector<std::u16string> RowLines(const ScriptTemplate& tmpl,
                                     const std::vector<std::u16string>& cells) {
  int listColumn = 0, fileColumn = -1, folderColumn = -1;
  for (const TemplateColumn& c : tmpl.columns) {
    if (c.inUse == 0) break;
    if (c.displayMode == 1) fileColumn = listColumn;
    if (c.displayMode == 2) folderColumn = listColumn;
    if (c.displayMode != 0) ++listColumn;
  }
  const std::u16string folder = folderColumn >= 0 ? cells[folderColumn] : u"";
  const std::u16string file = fileColumn >= 0 ? cells[fileColumn] : u"";
  const bool endsInBackslash = folder.size() >= 2 && folder.back() == u'\\';
  const std::u16string path = folder + (endsInBackslash ? u"" : u"\\") + file;

  std::vector<std::u16string> lines;
  listColumn = 0;
  for (const TemplateColumn& c : tmpl.columns) {
    if (c.inUse == 0) break;
    const std::u16string cell = c.displayMode != 0 ? cells[listColumn] : u"";
    switch (c.outputMode) {
      case 1: lines.push_back(c.command + u" \"" + path + u"\""); break;
      case 2: lines.push_back(c.command); break;
      case 3: lines.push_back(cell.substr(0, 1)); break;
      case 4: lines.push_back(cell); break;
      default: break;
    }
    if (c.displayMode != 0) ++listColumn;
  }
  return lines;
}

// A new row's cells, as the list makes them (file name, folder, date, initial values).
std::vector<std::u16string> NewRow(const ScriptTemplate& tmpl, const std::u16string& file) {
  std::vector<std::u16string> cells;
  for (const int slot : tovrel::DisplayedSlots(tmpl)) {
    const TemplateColumn& c = tmpl.columns[slot];
    switch (c.displayMode) {
      case 1: cells.push_back(file); break;
      case 2: cells.push_back(u"C:\\DWG"); break;
      case 3: cells.push_back(u"2024/03/07 09:05"); break;
      default: cells.push_back(c.initialValue); break;
    }
  }
  return cells;
}

class DefaultTemplates : public ::testing::TestWithParam<int> {
protected:
  void SetUp() override {
    contents_ = tovrel::ReadWholeFile(TemplatePath(GetParam()));
    ASSERT_EQ(contents_.status, tovrel::ReadStatus::Ok) << "missing generated template file";
    file_ = std::make_unique<IniFile>(TemplatePath(GetParam()), kAnsi);
    templates_ = std::make_unique<TemplateSet>();
    tovrel::LoadTemplates(file_->Doc(), *templates_);
  }

  // The templates in use: 0 up to the first without a title.
  std::vector<int> InUse() const {
    std::vector<int> used;
    for (int i = 0; i < tovrel::kTemplateCount && (*templates_)[i].inUse != 0; ++i) {
      used.push_back(i);
    }
    return used;
  }

  tovrel::FileContents contents_;
  std::unique_ptr<IniFile> file_;
  std::unique_ptr<TemplateSet> templates_;
};

TEST_P(DefaultTemplates, FileIsUtf16LeWithByteOrderMarkAndCrLf) {
  ASSERT_GE(contents_.bytes.size(), 2u);
  EXPECT_EQ(contents_.bytes.substr(0, 2), "\xFF\xFE");
  const std::u16string text = tovrel::Utf16LeBytesToText(contents_.bytes.substr(2));
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\n') {
      ASSERT_TRUE(i > 0 && text[i - 1] == u'\r') << "bare LF at " << i;
    }
  }
}

TEST_P(DefaultTemplates, FileIsExactlyWhatTheProgramWritesBack) {
  IniDocument rewritten;
  tovrel::SaveTemplates(*templates_, rewritten);
  EXPECT_EQ(tovrel::Utf16ToUtf8(rewritten.ToText()),
            tovrel::Utf16ToUtf8(tovrel::Utf16LeBytesToText(contents_.bytes.substr(2))));
  EXPECT_TRUE(rewritten.ToUtf16LeBytes() == contents_.bytes);
}

TEST_P(DefaultTemplates, TitlesFromTemplateZeroWithTheDefaultActiveOneAmongThem) {
  const std::vector<int> used = InUse();
  // The Japanese template list stops at the first empty title, and
  // autocad_type starts at 1.
  ASSERT_GE(used.size(), 3u);
  for (int i = 0; i < tovrel::kTemplateCount; ++i) {
    const ScriptTemplate& t = (*templates_)[i];
    SCOPED_TRACE(i);
    if (i < static_cast<int>(used.size())) {
      EXPECT_FALSE(t.title.empty());
      EXPECT_NE(t.columns[0].inUse, 0);
    } else {
      EXPECT_TRUE(t.title.empty());
      EXPECT_EQ(t.columns[0].inUse, 0);
    }
  }
  std::set<std::u16string> titles;
  for (const int i : used) titles.insert((*templates_)[i].title);
  EXPECT_EQ(titles.size(), used.size()) << "the template dialog picks templates by title";
}

TEST_P(DefaultTemplates, FixedListColumnsAreWhereThePartsThatUseThemLook) {
  for (const int i : InUse()) {
    const ScriptTemplate& t = (*templates_)[i];
    SCOPED_TRACE("template " + std::to_string(i));
    const std::vector<int> slots = tovrel::DisplayedSlots(t);
    ASSERT_GT(slots.size(), static_cast<std::size_t>(kAreaColumn));
    const auto column = [&](int listColumn) -> const TemplateColumn& {
      return t.columns[slots[listColumn]];
    };
    // Columns in use have no gap: the script writer stops at the first unused one.
    int inUse = 0;
    while (inUse < tovrel::kColumnCount && t.columns[inUse].inUse != 0) ++inUse;
    for (int c = inUse; c < tovrel::kColumnCount; ++c) EXPECT_EQ(t.columns[c].inUse, 0) << c;
    EXPECT_LT(slots.back(), inUse);

    EXPECT_EQ(column(0).displayMode, 1);  // file name, read by search, rules and list files
    EXPECT_EQ(column(0).outputMode, 1);
    EXPECT_EQ(column(0).command, u"open");
    EXPECT_EQ(column(1).displayMode, 2);
    EXPECT_EQ(column(2).displayMode, 3);
    EXPECT_EQ(column(3).displayMode, 4);  // sorted numerically
    EXPECT_EQ(column(3).initialValue.find_first_not_of(u"0123456789"), std::u16string::npos);
    EXPECT_EQ(column(kPrinterColumn).editMode, 3);
    EXPECT_EQ(column(kPaperColumn).editMode, 4);
    int fileNameColumns = 0, folderColumns = 0, plotStyleColumns = 0;
    for (const int slot : slots) {
      fileNameColumns += t.columns[slot].displayMode == 1;
      folderColumns += t.columns[slot].displayMode == 2;
      plotStyleColumns += t.columns[slot].editMode == 5;
    }
    EXPECT_EQ(fileNameColumns, 1);
    EXPECT_EQ(folderColumns, 1);
    EXPECT_EQ(plotStyleColumns, 1);

    // The file-name rules write code texts 0-1 and 2-4 into these columns;
    // the choices are the same texts, and only their first letter is written.
    const TemplateColumn& orientation = column(kOrientationColumn);
    const TemplateColumn& area = column(kAreaColumn);
    for (const TemplateColumn* c : {&orientation, &area}) {
      EXPECT_EQ(c->outputMode, 3);
      EXPECT_EQ(c->editMode, 2);
    }
    const int language = GetParam();
    EXPECT_EQ(orientation.selectText[0], CodeText(language, 0));
    EXPECT_EQ(orientation.selectText[1], CodeText(language, 1));
    EXPECT_EQ(orientation.selectText[2], u"");
    EXPECT_EQ(area.selectText[0], CodeText(language, 2));
    EXPECT_EQ(area.selectText[1], CodeText(language, 3));
    EXPECT_EQ(area.selectText[2], CodeText(language, 4));
    EXPECT_EQ(orientation.initialValue.substr(0, 1), u"L");
    EXPECT_NE(std::u16string_view(u"LED").find(area.initialValue.substr(0, 1)), std::u16string_view::npos);
  }
}

TEST_P(DefaultTemplates, EveryTextFitsWhatTheProgramReads) {
  const IniDocument& doc = file_->Doc();
  constexpr std::size_t kWhole = 4096;
  struct TextKey {
    const char* suffix;
    std::size_t limit;
  };
  const TextKey texts[] = {{"t", 15},  {"s0", 15}, {"s1", 15},  {"s2", 15},
                           {"s3", 15}, {"s4", 15}, {"f", 127}, {"k", 15}};
  for (int i = 0; i < tovrel::kTemplateCount; ++i) {
    const std::u16string title = doc.GetString(u"Title", ToU16("t" + std::to_string(i)), u"", kWhole);
    EXPECT_LE(title.size(), 63u) << i;
    for (int c = 0; c < tovrel::kColumnCount; ++c) {
      const std::string prefix = std::to_string(i) + "," + std::to_string(c) + ".";
      for (const TextKey& key : texts) {
        const std::u16string value =
            doc.GetString(u"listview_dt", ToU16(prefix + key.suffix), u"", kWhole);
        EXPECT_LE(value.size(), key.limit) << prefix << key.suffix;
      }
      const TemplateColumn& column = (*templates_)[i].columns[c];
      EXPECT_TRUE(column.outputMode >= 0 && column.outputMode <= 4) << prefix;
      EXPECT_TRUE(column.displayMode >= 0 && column.displayMode <= 4) << prefix;
      EXPECT_TRUE(column.editMode >= 0 && column.editMode <= 5) << prefix;
    }
  }
}

TEST_P(DefaultTemplates, ScriptOfEveryOrientationAndAreaPlotsWithoutErrorInTheStandin) {
  const int language = GetParam();
  const std::u16string endDrawing = u"C:\\Tool\\endfile.dwg";
  for (const int i : InUse()) {
    const ScriptTemplate& t = (*templates_)[i];
    const bool layout = i == 2;
    for (int orientation = 0; orientation <= 1; ++orientation) {
      for (int area = 2; area <= 4; ++area) {
        SCOPED_TRACE("template " + std::to_string(i) + " code texts " +
                     std::to_string(orientation) + ", " + std::to_string(area));
        std::vector<std::u16string> script;
        std::vector<std::vector<std::u16string>> rows;
        for (const char16_t* name : {u"A-101.dwg", u"\u56F3\u9762 2.dwg"}) {
          rows.push_back(NewRow(t, name));
          rows.back()[kOrientationColumn] = CodeText(language, orientation);
          rows.back()[kAreaColumn] = CodeText(language, area);
          for (auto& line : RowLines(t, rows.back())) script.push_back(std::move(line));
        }
        script.push_back(u"open \"" + endDrawing + u"\"");
        script.push_back(u"quit");

        tovrel::standin::Interpreter acad([](const std::u16string&) { return true; });
        for (const std::u16string& line : script) acad.FeedLine(line);
        acad.EndOfScript();
        std::vector<Record> plots;
        for (Record& r : acad.TakeRecords()) {
          if (r.type == "error") ADD_FAILURE() << tovrel::Utf16ToUtf8(r.Text("prompt"));
          if (r.type == "plot") plots.push_back(std::move(r));
        }
        ASSERT_EQ(plots.size(), 2u);
        EXPECT_TRUE(acad.HasQuit());
        for (std::size_t row = 0; row < plots.size(); ++row) {
          const Record& p = plots[row];
          const auto& cells = rows[row];
          EXPECT_EQ(p.Text("drawing"), u"C:\\DWG\\" + cells[0]);
          EXPECT_EQ(p.Text("space"), layout ? u"layout" : u"model");
          EXPECT_EQ(p.Text("device"), cells[kPrinterColumn]);
          EXPECT_EQ(p.Text("paper"), cells[kPaperColumn]);
          EXPECT_EQ(p.Text("units"), u"millimeters");
          EXPECT_EQ(p.Text("orientation"), orientation == 0 ? u"portrait" : u"landscape");
          const char16_t* areas[] = {layout ? u"layout" : u"limits", u"extents", u"display"};
          EXPECT_EQ(p.Text("area"), areas[area - 2]);
          EXPECT_EQ(p.Text("scale"), layout ? u"1:1" : u"fit");
          EXPECT_EQ(p.Text("plot_style_table"), u"monochrome.ctb");
          EXPECT_EQ(p.Flag("to_file"), i == 0);
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Languages, DefaultTemplates, ::testing::Range(0, 4),
                         [](const ::testing::TestParamInfo<int>& param) {
                           return std::string(kLanguageNames[param.param]);
                         });

// The exact lines of the English model and layout templates for one row.
TEST(DefaultTemplatesEnglish, ModelAndLayoutPlotSequences) {
  auto templates = std::make_unique<TemplateSet>();
  const IniFile file(TemplatePath(1), kAnsi);
  tovrel::LoadTemplates(file.Doc(), *templates);
  const auto lines = [&](int i) {
    std::string text;
    for (const auto& line : RowLines((*templates)[i], NewRow((*templates)[i], u"A-101.dwg"))) {
      text += tovrel::Utf16ToUtf8(line) + "|";
    }
    return text;
  };
  EXPECT_EQ((*templates)[1].title, u"Model - plot to printer");
  EXPECT_EQ(lines(1),
            "open \"C:\\DWG\\A-101.dwg\"|-PLOT|Y|Model|Default Windows System Printer.pc3|A4|"
            "M|L|N|E|Fit|Center|Y|monochrome.ctb|Y|A|N|N|Y|");
  EXPECT_EQ((*templates)[2].title, u"Layout - plot to printer");
  EXPECT_EQ(lines(2),
            "open \"C:\\DWG\\A-101.dwg\"|-PLOT|Y|Layout1|Default Windows System Printer.pc3|A4|"
            "M|L|N|L|1:1|0,0|Y|monochrome.ctb|Y|N|N|N|N|N|Y|");
  EXPECT_EQ(lines(0),
            "open \"C:\\DWG\\A-101.dwg\"|-PLOT|Y|Model|Default Windows System Printer.pc3|A4|"
            "M|L|N|E|Fit|Center|Y|monochrome.ctb|Y|A|Y||N|Y|");
}

}  // namespace
