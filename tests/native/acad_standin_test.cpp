// The AutoCAD stand-in's interpreter fed script lines as AutoCAD would get them.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "standin_interpreter.h"
#include "standin_record.h"
#include "storage/text_codec.h"

using tovrel::ToU16;
using tovrel::standin::Interpreter;
using tovrel::standin::Record;

namespace {

using Strings = std::vector<std::string>;
const char* const kDrawing = "C:\\DWG\\A-101.dwg";
const char* const kEndDrawing = "C:\\Tool\\endfile.dwg";

// A model plot, one answer per line, as the default model template writes it.
Strings ModelPlot() {
  return {"-PLOT", "Y", "Model", "Default Windows System Printer.pc3", "A4", "M", "L", "N", "E",
          "Fit", "Center", "Y", "monochrome.ctb", "Y", "A", "N", "N", "Y"};
}

Strings LayoutPlot() {
  return {"-PLOT", "Y", "Layout1", "Default Windows System Printer.pc3", "A4", "M", "P", "N",
          "L", "1:1", "0,0", "Y", "monochrome.ctb", "Y", "N", "N", "N", "N", "N", "Y"};
}

// Index of the answer to each prompt in ModelPlot() / LayoutPlot().
constexpr std::size_t kPaper = 4, kOrientation = 6, kArea = 8;

Strings Script(const Strings& plot) {
  Strings lines = {std::string("open \"") + kDrawing + "\""};
  lines.insert(lines.end(), plot.begin(), plot.end());
  lines.push_back(std::string("open \"") + kEndDrawing + "\"");
  lines.push_back("quit");
  return lines;
}

// The plot with the answer at `index` replaced, or removed when `answer` is null.
Strings Changed(Strings plot, std::size_t index, const char* answer) {
  if (answer) {
    plot[index] = answer;
  } else {
    plot.erase(plot.begin() + static_cast<std::ptrdiff_t>(index));
  }
  return plot;
}

using Texts = std::initializer_list<std::pair<const char*, std::u16string_view>>;
void ExpectTexts(const Record& record, Texts texts) {
  for (const auto& [key, value] : texts) EXPECT_EQ(record.Text(key), value) << key;
}

Strings Types(const std::vector<Record>& records) {
  Strings types;
  for (const Record& r : records) types.push_back(r.type);
  return types;
}

const Record& First(const std::vector<Record>& records, const std::string& type) {
  for (const Record& r : records) {
    if (r.type == type) return r;
  }
  static const Record kNone;
  ADD_FAILURE() << "no " << type << " record";
  return kNone;
}

class StandinInterpreter : public ::testing::Test {
protected:
  // Runs the lines through a new interpreter that sees the files in files_.
  std::vector<Record> Run(const Strings& lines) {
    interpreter_ = std::make_unique<Interpreter>(
        [this](const std::u16string& path) { return files_.count(path) > 0; });
    for (const std::string& line : lines) interpreter_->FeedLine(ToU16(line));
    interpreter_->EndOfScript();
    return interpreter_->TakeRecords();
  }

  std::set<std::u16string> files_ = {ToU16(kDrawing), ToU16(kEndDrawing)};
  std::unique_ptr<Interpreter> interpreter_;
};

const Strings kGoodRun = {"open", "plot", "open", "end"};

}  // namespace

TEST_F(StandinInterpreter, ModelPlotIsRecordedWithEverySetting) {
  const auto records = Run(Script(ModelPlot()));
  ASSERT_EQ(Types(records), kGoodRun);
  ExpectTexts(records[1], {{"drawing", u"C:\\DWG\\A-101.dwg"}, {"space", u"model"},
                          {"device", u"Default Windows System Printer.pc3"}, {"paper", u"A4"},
                          {"orientation", u"landscape"}, {"area", u"extents"}, {"scale", u"fit"},
                          {"offset", u"center"}, {"plot_style_table", u"monochrome.ctb"},
                          {"shade_plot", u"as displayed"}});
  EXPECT_EQ(records[2].Text("drawing"), ToU16(kEndDrawing));
  EXPECT_EQ(records[3].Number("plots"), 1);
  EXPECT_EQ(records[3].Number("errors"), 0);
}

TEST_F(StandinInterpreter, LayoutPlotAsksTheLayoutQuestionsInsteadOfShadePlot) {
  const auto records = Run(Script(LayoutPlot()));
  ASSERT_EQ(Types(records), kGoodRun);
  ExpectTexts(records[1], {{"space", u"layout"}, {"orientation", u"portrait"}, {"area", u"layout"},
                          {"scale", u"1:1"}, {"offset", u"0,0"}});
  EXPECT_TRUE(records[1].Has("paper_space_first"));
  EXPECT_FALSE(records[1].Has("shade_plot"));
}

TEST_F(StandinInterpreter, WrongOrMissingAnswerIsAnErrorNamingThePromptAndDropsThePlot) {
  const struct {
    Strings plot;
    const char16_t* prompt;  // its beginning
    const char16_t* answer;
  } cases[] = {
      {Changed(ModelPlot(), kOrientation, "X"), u"Enter drawing orientation [Portrait/Landscape]", u"X"},
      {Changed(ModelPlot(), kArea, "Layout"), u"Enter plot area [Display/Extents/", u"Layout"},
      {Changed(ModelPlot(), kArea, "Z"), u"Enter plot area [Display/Extents/", u"Z"},
      {Changed(LayoutPlot(), kArea, "Limits"), u"Enter plot area [Display/Extents/", u"Limits"},
      // A missing answer shifts the rest: "M" becomes the paper, "L" meets the units prompt.
      {Changed(ModelPlot(), kPaper, nullptr), u"Enter paper units [Inches/Millimeters]", u"L"},
      // The last answer missing: the next command meets its prompt.
      {Changed(ModelPlot(), ModelPlot().size() - 1, nullptr), u"Proceed with plot [Yes/No]", u"open"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(tovrel::Utf16ToUtf8(c.answer));
    const auto records = Run(Script(c.plot));
    EXPECT_EQ(First(records, "error").Text("prompt").rfind(c.prompt, 0), 0u);
    EXPECT_EQ(First(records, "error").Text("answer"), c.answer);
    EXPECT_EQ(records.back().Number("errors"), 1);
    EXPECT_EQ(records.back().Number("plots"), 0);
  }
  // Reading resumes at the next open: the end drawing is opened.
  const auto records = Run(Script(cases[0].plot));
  ASSERT_EQ(Types(records), (Strings{"open", "error", "open", "end"}));
  EXPECT_EQ(records[1].Number("line"), 8);
  EXPECT_EQ(records[2].Text("drawing"), ToU16(kEndDrawing));
}

TEST_F(StandinInterpreter, PlotAreaLettersDependOnTheSpace) {
  const struct {
    Strings plot;
    const char* area;
    const char16_t* expected;
  } cases[] = {{ModelPlot(), "L", u"limits"},
               {ModelPlot(), "D", u"display"},
               {LayoutPlot(), "E", u"extents"},
               {LayoutPlot(), "La", u"layout"}};
  for (const auto& c : cases) {
    EXPECT_EQ(First(Run(Script(Changed(c.plot, kArea, c.area))), "plot").Text("area"), c.expected) << c.area;
  }
}

TEST_F(StandinInterpreter, OpeningAMissingDrawingKeepsTheCurrentOne) {
  files_.erase(ToU16(kDrawing));
  const auto records = Run(Script(ModelPlot()));
  ASSERT_EQ(Types(records), (Strings{"error", "plot", "open", "end"}));
  EXPECT_EQ(records[0].Text("answer"), ToU16(kDrawing));
  EXPECT_EQ(records[0].Text("message"), u"drawing not found");
  // As in AutoCAD, the plot that follows plots the drawing still open.
  EXPECT_EQ(records[1].Text("drawing"), u"Drawing1.dwg");
}

TEST_F(StandinInterpreter, QuitEndsTheScriptAndLaterLinesAreIgnored) {
  auto lines = Script(ModelPlot());
  lines.push_back(std::string("open \"") + kDrawing + "\"");
  lines.push_back("-PLOT");
  auto records = Run(lines);
  EXPECT_EQ(Types(records), kGoodRun);
  EXPECT_EQ(records.back().Text("reason"), u"quit");
  EXPECT_EQ(records.back().Number("ignored_lines"), 2);
  EXPECT_TRUE(interpreter_->HasQuit());

  lines = Script(ModelPlot());
  lines.pop_back();
  records = Run(lines);
  EXPECT_EQ(records.back().Text("reason"), u"end of script");
  EXPECT_FALSE(interpreter_->HasQuit());
}
