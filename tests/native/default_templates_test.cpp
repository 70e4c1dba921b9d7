// The default template files that ship beside the program, read as the
// program reads them, and the plots their scripts make in the AutoCAD stand-in.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "drawing_list/list_columns.h"
#include "fake_file_system.h"
#include "script/preflight.h"
#include "script/script_writer.h"
#include "standin_interpreter.h"
#include "storage/file_io.h"
#include "storage/ini_document.h"
#include "storage/ini_file.h"
#include "storage/script_template.h"
#include "storage/text_codec.h"

using namespace tovrel;
using tovrel::standin::Record;

namespace {

const Cp1252CodePage kAnsi;
const char* const kLanguageLetters[] = {"j", "e", "k", "c"};
const char* const kLanguageNames[] = {"Japanese", "English", "Korean", "Chinese"};

// Fixed list columns.
constexpr int kPrinterColumn = 5, kPaperColumn = 6, kOrientationColumn = 8, kAreaColumn = 10;

std::u16string TemplatePath(int mojiType) {
  return ToU16(TOVREL_TEMPLATE_DIR "/") + TemplateFileName(mojiType);
}

std::u16string CodeText(int mojiType, int number) {
  static const IniFile catalog(ToU16(TOVREL_CATALOG_FILE), kAnsi);
  const std::string key = "No." + std::to_string(number) + ":code-" + kLanguageLetters[mojiType];
  return catalog.GetString(u"code", ToU16(key), u"", 64);
}

class DefaultTemplates : public ::testing::TestWithParam<int> {
protected:
  void SetUp() override {
    contents_ = ReadWholeFile(TemplatePath(GetParam()));
    ASSERT_EQ(contents_.status, ReadStatus::Ok) << "missing generated template file";
    const IniFile file(TemplatePath(GetParam()), kAnsi);
    LoadTemplates(file.Doc(), *templates_);
    for (int i = 0; i < kTemplateCount && (*templates_)[i].inUse != 0; ++i) inUse_.push_back(i);
  }

  const ScriptTemplate& At(int i) const { return (*templates_)[i]; }

  FileContents contents_;
  std::unique_ptr<TemplateSet> templates_ = std::make_unique<TemplateSet>();
  std::vector<int> inUse_;  // 0 up to the first template without a title
};

TEST_P(DefaultTemplates, FileLoadsAndIsExactlyWhatTheProgramWritesBack) {
  EXPECT_EQ(contents_.bytes.substr(0, 2), "\xFF\xFE");
  IniDocument rewritten;
  SaveTemplates(*templates_, rewritten);
  EXPECT_TRUE(rewritten.ToUtf16LeBytes() == contents_.bytes);

  ASSERT_GE(inUse_.size(), 3u);
  std::set<std::u16string> titles;
  for (int i = 0; i < kTemplateCount; ++i) {
    const bool used = i < static_cast<int>(inUse_.size());
    EXPECT_EQ(At(i).title.empty(), !used) << i;
    EXPECT_EQ(At(i).columns[0].inUse != 0, used) << i;
    if (used) titles.insert(At(i).title);
  }
  EXPECT_EQ(titles.size(), inUse_.size()) << "the template dialog picks templates by title";
}

TEST_P(DefaultTemplates, FixedListColumnsAreWhereThePartsThatUseThemLook) {
  const int language = GetParam();
  for (const int i : inUse_) {
    const ScriptTemplate& t = At(i);
    SCOPED_TRACE("template " + std::to_string(i));
    const std::vector<int> slots = DisplayedSlots(t);
    ASSERT_GT(slots.size(), static_cast<std::size_t>(kAreaColumn));
    const auto column = [&](int listColumn) -> const TemplateColumn& { return t.columns[slots[listColumn]]; };
    // Columns in use have no gap: the script writer stops at the first unused one.
    int inUse = 0;
    while (inUse < kColumnCount && t.columns[inUse].inUse != 0) ++inUse;
    for (int c = inUse; c < kColumnCount; ++c) EXPECT_EQ(t.columns[c].inUse, 0) << c;

    EXPECT_EQ(column(0).displayMode, 1);  // file name, read by search, rules and list files
    EXPECT_EQ(column(0).outputMode, 1);
    EXPECT_EQ(column(0).command, u"_.OPEN");
    EXPECT_EQ(column(1).displayMode, 2);
    EXPECT_EQ(column(2).displayMode, 3);
    EXPECT_EQ(column(3).displayMode, 4);  // sorted numerically
    EXPECT_EQ(column(3).initialValue.find_first_not_of(u"0123456789"), std::u16string::npos);
    EXPECT_EQ(column(kPrinterColumn).editMode, 3);
    EXPECT_EQ(column(kPaperColumn).editMode, 4);
    const auto count = [&](std::int32_t TemplateColumn::*field, int value) {
      return std::count_if(slots.begin(), slots.end(), [&](int s) { return t.columns[s].*field == value; });
    };
    EXPECT_EQ(count(&TemplateColumn::displayMode, 1), 1);
    EXPECT_EQ(count(&TemplateColumn::displayMode, 2), 1);
    EXPECT_EQ(count(&TemplateColumn::editMode, 5), 1) << "one plot style column";
    // The file-name rules write code texts 0-1 and 2-4 here; only their first letter is written.
    const TemplateColumn& orientation = column(kOrientationColumn);
    const TemplateColumn& area = column(kAreaColumn);
    EXPECT_TRUE(orientation.outputMode == 3 && orientation.editMode == 2);
    EXPECT_TRUE(area.outputMode == 3 && area.editMode == 2);
    EXPECT_EQ(orientation.selectText[0], CodeText(language, 0));
    EXPECT_EQ(orientation.selectText[1], CodeText(language, 1));
    EXPECT_EQ(orientation.selectText[2], u"");
    for (int k = 0; k < 3; ++k) EXPECT_EQ(area.selectText[k], CodeText(language, 2 + k));
    EXPECT_EQ(orientation.initialValue.substr(0, 1), u"L");
  }
}

// The devices a row may name, and which templates claim to serve them (by
// their titles): 0 a PLT file through a printer; 1 and 2 printers, PDF and
// DWF; 3 raster images.
struct Device {
  const char* what;
  const char16_t* name;
  const char16_t* paper;
  bool served[4];
};
const Device kDevices[] = {
    {"Windows printer", u"Office Laser", u"A4", {true, true, true, false}},
    {"PDF", u"DWG To PDF.pc3", u"ISO full bleed A3 (420.00 x 297.00 MM)", {false, true, true, false}},
    {"PNG", u"PublishToWeb PNG.pc3", u"VGA (640.00 x 480.00 Pixels)", {false, false, false, true}},
};

// Commands and fixed keywords that AutoCAD of any language takes: with "_".
TEST_P(DefaultTemplates, CommandsAndFixedKeywordsAreLanguageIndependent) {
  for (const int i : inUse_) {
    for (const TemplateColumn& column : At(i).columns) {
      if (column.inUse == 0) break;
      if (column.outputMode == 1 || column.outputMode == 2) {
        const std::u16string& k = column.command;
        EXPECT_TRUE(k.empty() || k[0] == u'_' || k == u"." || (k[0] >= u'0' && k[0] <= u'9'))
            << i << ": " << Utf16ToUtf8(k);
      }
      if (column.editMode == 2 && column.outputMode == 4) {
        EXPECT_EQ(column.initialValue.substr(0, 1).find_first_of(u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"),
                  std::u16string::npos) << i << ": " << Utf16ToUtf8(column.initialValue);
      }
    }
  }
}

TEST_P(DefaultTemplates, EveryTemplatePlotsCleanlyWhereItClaimsToAndIsListedWhereItDoesNot) {
  const int language = GetParam();
  ASSERT_EQ(inUse_.size(), 4u);
  for (const int i : inUse_) {
    const ScriptTemplate& t = At(i);
    const std::vector<int> slots = DisplayedSlots(t);
    const bool layout = i == 2;
    for (const Device& device : kDevices) {
      for (int orientation = 0; orientation <= 1; ++orientation) {
        for (int area = 2; area <= 4; ++area) {
          SCOPED_TRACE("template " + std::to_string(i) + ", " + device.what + ", code texts " +
                       std::to_string(orientation) + ", " + std::to_string(area));
          // Two new rows as the list makes them: file name, folder, date, initial values.
          MemoryRowStore rows(static_cast<int>(slots.size()));
          const std::u16string names[] = {u"A-101.dwg", u"\u56F3\u9762 2.dwg"};
          for (int row = 0; row < 2; ++row) {
            rows.InsertRow(row, names[row], 0, row);
            for (std::size_t c = 1; c < slots.size(); ++c) {
              const TemplateColumn& column = t.columns[slots[c]];
              rows.SetCellText(row, static_cast<int>(c), column.displayMode == 2   ? u"C:\\DWG"
                                                         : column.displayMode == 3 ? u"2024/03/07 09:05"
                                                                                   : column.initialValue);
            }
            rows.SetCellText(row, kPrinterColumn, device.name);
            rows.SetCellText(row, kPaperColumn, device.paper);
            rows.SetCellText(row, kOrientationColumn, CodeText(language, orientation));
            rows.SetCellText(row, kAreaColumn, CodeText(language, area));
          }
          // The check before the run.
          PrinterCatalog catalog;
          catalog.printerCount = 1;
          catalog.entries[0].name.Assign(u"Office Laser");
          catalog.entries[0].paperNames[0].Assign(u"A4");
          FillPlotters(catalog, test::FakeFileSystem(), u"", u"Office Laser");
          PreflightSources sources;
          sources.printers = [&] { return &catalog; };
          const PreflightReport report = CheckRows(rows, {0, 1}, t, sources);
          const bool served = device.served[i];
          EXPECT_EQ(report.Rows(), (served ? std::vector<int>{} : std::vector<int>{0, 1}));

          // The run, in the strict stand-in.
          MemoryScriptSink sink;
          ASSERT_TRUE(WriteScript(rows, t, u"C:\\Tool\\endfile.dwg", kScopeAllRows, sink).ok);
          standin::Interpreter acad([](const std::u16string&) { return true; });
          std::u16string text = Utf16LeBytesToText(std::string_view(sink.bytes).substr(2));
          for (size_t end; (end = text.find(u"\r\n")) != std::u16string::npos; text.erase(0, end + 2)) {
            acad.FeedLine(text.substr(0, end));
          }
          acad.EndOfScript();
          std::vector<Record> plots;
          int errors = 0;
          for (Record& r : acad.TakeRecords()) {
            if (r.type == "error") {
              ++errors;
              if (served) ADD_FAILURE() << Utf16ToUtf8(r.Text("prompt")) << " <- " << Utf16ToUtf8(r.Text("answer"));
            }
            if (r.type == "plot") plots.push_back(std::move(r));
          }
          if (!served) {
            // Not clean: an error, a wrong plot or AutoCAD left waiting.
            EXPECT_TRUE(errors > 0 || acad.Hangs() || plots.size() != 2u);
            continue;
          }
          ASSERT_EQ(plots.size(), 2u);
          EXPECT_TRUE(acad.HasQuit());
          for (int row = 0; row < 2; ++row) {
            const Record& p = plots[static_cast<std::size_t>(row)];
            EXPECT_EQ(p.Text("drawing"), u"C:\\DWG\\" + names[row]);
            EXPECT_EQ(p.Text("space"), layout ? u"layout" : u"model");
            EXPECT_EQ(p.Text("device"), device.name);
            EXPECT_EQ(p.Text("paper"), device.paper);
            EXPECT_EQ(p.Text("orientation"), orientation == 0 ? u"portrait" : u"landscape");
            const char16_t* areas[] = {layout ? u"layout" : u"limits", u"extents", u"display"};
            EXPECT_EQ(p.Text("area"), areas[area - 2]);
            EXPECT_EQ(p.Text("scale"), layout ? u"1:1" : u"fit");
            EXPECT_EQ(p.Text("plot_style_table"), u"monochrome.ctb");
            EXPECT_FALSE(p.Flag("save_changes"));
            // A printer row of a printer template prints; every other row writes a file of its own.
            const bool toFile = i == 0 || device.name[0] != u'O';
            EXPECT_EQ(p.Flag("to_file"), toFile);
            if (toFile) {
              const std::u16string stem = names[row].substr(0, names[row].size() - 4);
              const std::u16string tab = layout ? rows.CellText(row, 4, 260) : u"Model";
              EXPECT_EQ(p.Text("file"), u"C:\\DWG\\" + stem + u"-" + tab + std::u16string(PlotFileExtension(device.name)));
            }
          }
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Languages, DefaultTemplates, ::testing::Range(0, 4),
                         [](const ::testing::TestParamInfo<int>& param) {
                           return std::string(kLanguageNames[param.param]);
                         });

}  // namespace
