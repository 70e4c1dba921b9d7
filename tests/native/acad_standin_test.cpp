// The AutoCAD stand-in's interpreter fed script lines as AutoCAD would get them.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "standin_interpreter.h"
#include "standin_io.h"
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
Strings ModelPlot(const char* device = "Default Windows System Printer.pc3", const char* paper = "A4") {
  return {"_-PLOT", "_Y", "Model", device, paper, "_M", "_L", "_N", "_E",
          "_Fit", "_Center", "_Y", "monochrome.ctb", "_Y", "_A", "", "_N", "_Y"};
}

Strings LayoutPlot() {
  return {"_-PLOT", "_Y", "Layout1", "Default Windows System Printer.pc3", "A4", "_M", "P", "_N",
          "L", "1:1", "0,0", "_Y", "monochrome.ctb", "_Y", "_N", "_N", "_N", "", "_N", "_Y"};
}

// Index of the answer to each prompt in ModelPlot() / LayoutPlot().
constexpr std::size_t kPaper = 4, kOrientation = 6, kArea = 8;

Strings Script(const Strings& plot) {
  Strings lines = {std::string("_.OPEN \"") + kDrawing + "\""};
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

TEST_F(StandinInterpreter, AWrongKeywordIsAskedAgainAndTheNextLineAnswersIt) {
  // A stray line that fits no prompt: one error, the following line answers
  // the same prompt and the plot goes on.
  Strings plot = ModelPlot();
  plot.insert(plot.begin() + kOrientation, "X");
  auto records = Run(Script(plot));
  ASSERT_EQ(Types(records), (Strings{"open", "error", "plot", "open", "end"}));
  EXPECT_EQ(records[1].Text("prompt"), u"Enter drawing orientation [Portrait/Landscape]");
  EXPECT_EQ(records[1].Text("answer"), u"X");
  EXPECT_EQ(records[1].Number("line"), 8);
  EXPECT_EQ(records[2].Text("orientation"), u"landscape");

  // A blank after a keyword is one more Enter: "_Y " answers the layout
  // prompt too, so every later answer lands one prompt early until one
  // does not fit, and the plot is made with the wrong device and paper.
  plot = ModelPlot();
  plot[1] = "_Y ";
  records = Run(Script(plot));
  ASSERT_EQ(Types(records), (Strings{"open", "error", "plot", "open", "end"}));
  EXPECT_EQ(records[1].Text("prompt"), u"Enter paper units [Inches/Millimeters]");
  EXPECT_EQ(records[1].Text("answer"), u"A4");
  EXPECT_EQ(records[2].Text("device"), u"Model");
  EXPECT_EQ(records[2].Text("paper"), u"Default Windows System Printer.pc3");
}

TEST_F(StandinInterpreter, AMissingAnswerOrANameWithABlankLeavesAutocadWaitingForEver) {
  const struct {
    Strings plot;
    const char16_t* firstPrompt;
    const char16_t* firstAnswer;
  } cases[] = {
      // The paper is missing: "_M" becomes the paper, "_L" meets the units prompt.
      {Changed(ModelPlot(), kPaper, nullptr), u"Enter paper units [Inches/Millimeters]", u"_L"},
      // A device name with a trailing blank names no device.
      {ModelPlot("DWG To PDF.pc3 ", "ISO A4 (297.00 x 210.00 MM)"), u"Enter an output device name or [?]",
       u"DWG To PDF.pc3 "},
      // A paper the device does not have is asked again.
      {ModelPlot("DWG To PDF.pc3", "A4"), u"Enter paper size or [?]", u"A4"},
      // The last answer is missing: the end drawing's line meets "Proceed with plot".
      {Changed(ModelPlot(), ModelPlot().size() - 1, nullptr), u"Proceed with plot [Yes/No]", u"open"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(tovrel::Utf16ToUtf8(c.firstAnswer));
    const auto records = Run(Script(c.plot));
    EXPECT_EQ(First(records, "error").Text("prompt"), c.firstPrompt);
    EXPECT_EQ(First(records, "error").Text("answer"), c.firstAnswer);
    EXPECT_EQ(records.back().type, "hang");
    EXPECT_EQ(records.back().Number("plots"), 0);
    EXPECT_TRUE(interpreter_->Hangs());
    EXPECT_FALSE(interpreter_->HasQuit());
  }
}

TEST_F(StandinInterpreter, AScriptEndingInsideAPlotOrWithoutQuitHangs) {
  Strings lines = {std::string("_.OPEN \"") + kDrawing + "\"", "_-PLOT", "_Y", "Model"};
  auto records = Run(lines);
  ASSERT_EQ(Types(records), (Strings{"open", "hang"}));
  EXPECT_EQ(records[1].Text("prompt"), u"Enter an output device name or [?]");
  EXPECT_EQ(records[1].Number("line"), 4);
  EXPECT_EQ(records[1].Text("drawing"), ToU16(kDrawing));

  lines = Script(ModelPlot());
  lines.pop_back();  // no quit
  records = Run(lines);
  ASSERT_EQ(Types(records), (Strings{"open", "plot", "open", "hang"}));
  EXPECT_EQ(records.back().Text("prompt"), u"Command");
}

TEST_F(StandinInterpreter, TextAtTheCommandPromptIsAnUnknownCommand) {
  Strings lines = Script(ModelPlot());
  lines.insert(lines.begin() + 1, "L");
  const auto records = Run(lines);
  ASSERT_EQ(Types(records), (Strings{"open", "error", "plot", "open", "end"}));
  EXPECT_EQ(records[1].Text("prompt"), u"Command");
  EXPECT_EQ(records[1].Text("message"), u"unknown command");
}

TEST_F(StandinInterpreter, FileOnlyDevicesSkipTheFileQuestionAndKeepTheirDefaultName) {
  Strings lines = Script(ModelPlot("DWG To PDF.pc3", "ISO full bleed A1 (841.00 x 594.00 MM)"));
  const std::string second = "C:\\DWG\\A-102.dwg";
  files_.insert(ToU16(second));
  Strings more = {"_.OPEN \"" + second + "\""};
  for (const std::string& line : ModelPlot("DWG To PDF.pc3", "ISO full bleed A1 (841.00 x 594.00 MM)")) {
    more.push_back(line);
  }
  lines.insert(lines.begin() + 19, more.begin(), more.end());
  const auto records = Run(lines);
  ASSERT_EQ(Types(records), (Strings{"open", "plot", "open", "plot", "open", "end"}));
  EXPECT_TRUE(records[1].Flag("to_file"));
  EXPECT_EQ(records[1].Text("file"), u"C:\\DWG\\A-101-Model.pdf");
  EXPECT_EQ(records[3].Text("file"), u"C:\\DWG\\A-102-Model.pdf");
  EXPECT_FALSE(records[1].Flag("save_changes"));

  // A raster device asks no paper units: the units line answers the orientation.
  const auto raster = Run(Script(ModelPlot("PublishToWeb PNG.pc3", "VGA (640.00 x 480.00 Pixels)")));
  EXPECT_EQ(First(raster, "error").Text("prompt"), u"Enter drawing orientation [Portrait/Landscape]");
  EXPECT_EQ(First(raster, "error").Text("answer"), u"_M");
}

TEST_F(StandinInterpreter, PlotAreaLettersDependOnTheSpace) {
  const struct {
    Strings plot;
    const char* area;
    const char16_t* expected;
  } cases[] = {{ModelPlot(), "L", u"limits"},
               {ModelPlot(), "_D", u"display"},
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
  EXPECT_FALSE(interpreter_->Hangs());
}

// The Core Console: "/i" opens the drawing, the script holds only the plot
// and the console ends with it; a plot cut short still leaves it waiting.
TEST_F(StandinInterpreter, TheCoreConsoleOpensItsDrawingAndEndsWithTheScript) {
  const auto parsed = tovrel::standin::ParseConsoleCommandLine(
      u"\"C:\\AutoCAD 2024\\accoreconsole.exe\" /i \"C:\\DWG\\A 1.dwg\" /s \"C:\\tmp\\lane 1.scr\" /l en-US /isolate");
  EXPECT_TRUE(parsed.console);
  EXPECT_EQ(parsed.drawing, u"C:\\DWG\\A 1.dwg");
  EXPECT_EQ(parsed.script, u"C:\\tmp\\lane 1.scr");
  EXPECT_EQ(parsed.language, u"en-US");
  EXPECT_FALSE(tovrel::standin::ParseConsoleCommandLine(u" /b \"C:\\tmp\\plot.scr\"").console);

  const auto console = [this](const char* drawing, const Strings& lines) {
    interpreter_ = std::make_unique<Interpreter>(
        [this](const std::u16string& path) { return files_.count(path) > 0; });
    interpreter_->StartConsole(ToU16(drawing));
    for (const std::string& line : lines) interpreter_->FeedLine(ToU16(line));
    interpreter_->EndOfScript();
    return interpreter_->TakeRecords();
  };
  auto records = console(kDrawing, ModelPlot("DWG To PDF.pc3", "ISO A1 (841.00 x 594.00 MM)"));
  ASSERT_EQ(Types(records), (Strings{"open", "plot", "end"}));
  EXPECT_EQ(records[1].Text("file"), u"C:\\DWG\\A-101-Model.pdf");
  EXPECT_EQ(records[2].Text("reason"), u"end of script");
  EXPECT_FALSE(interpreter_->Hangs());

  records = console(kDrawing, Changed(ModelPlot(), kArea, nullptr));
  EXPECT_EQ(records.back().type, "hang");

  records = console("C:\\DWG\\missing.dwg", ModelPlot());
  ASSERT_EQ(Types(records), (Strings{"error", "end"}));
  EXPECT_EQ(records[1].Text("reason"), u"drawing not found");
  EXPECT_EQ(records[1].Number("plots"), 0);
}
