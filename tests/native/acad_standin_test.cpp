// The AutoCAD stand-in's interpreter fed script lines as AutoCAD would get
// them, and its command line, script and journal helpers.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "standin_interpreter.h"
#include "standin_io.h"
#include "standin_record.h"
#include "storage/text_codec.h"

using tovrel::ToU16;
using tovrel::standin::Interpreter;
using tovrel::standin::Record;

namespace {

const char* const kDrawing = "C:\\DWG\\A-101.dwg";
const char* const kEndDrawing = "C:\\Tool\\endfile.dwg";

// A model plot, one answer per line, as the default model template writes it.
std::vector<std::string> ModelPlot() {
  return {"-PLOT", "Y", "Model", "Default Windows System Printer.pc3", "A4", "M", "L", "N", "E",
          "Fit", "Center", "Y", "monochrome.ctb", "Y", "A", "N", "N", "Y"};
}

std::vector<std::string> LayoutPlot() {
  return {"-PLOT", "Y", "Layout1", "Default Windows System Printer.pc3", "A4", "M", "P", "N",
          "L", "1:1", "0,0", "Y", "monochrome.ctb", "Y", "N", "N", "N", "N", "N", "Y"};
}

// Index of the answer to each prompt in ModelPlot() / LayoutPlot().
constexpr std::size_t kPaper = 4, kOrientation = 6, kArea = 8, kOffset = 10;

std::vector<std::string> Script(const std::vector<std::string>& plot) {
  std::vector<std::string> lines = {std::string("open \"") + kDrawing + "\""};
  lines.insert(lines.end(), plot.begin(), plot.end());
  lines.push_back(std::string("open \"") + kEndDrawing + "\"");
  lines.push_back("quit");
  return lines;
}

class StandinInterpreter : public ::testing::Test {
protected:
  // Runs the lines through a new interpreter that sees the files in files_.
  std::vector<Record> Run(const std::vector<std::string>& lines, bool endOfScript = true) {
    interpreter_ = std::make_unique<Interpreter>(
        [this](const std::u16string& path) { return files_.count(path) > 0; });
    for (const std::string& line : lines) interpreter_->FeedLine(ToU16(line));
    if (endOfScript) interpreter_->EndOfScript();
    return interpreter_->TakeRecords();
  }

  static std::vector<std::string> Types(const std::vector<Record>& records) {
    std::vector<std::string> types;
    for (const Record& r : records) types.push_back(r.type);
    return types;
  }

  static const Record& First(const std::vector<Record>& records, const std::string& type) {
    for (const Record& r : records) {
      if (r.type == type) return r;
    }
    static const Record kNone;
    ADD_FAILURE() << "no " << type << " record";
    return kNone;
  }

  std::set<std::u16string> files_ = {ToU16(kDrawing), ToU16(kEndDrawing),
                                     ToU16("C:\\My Drawings\\b 2.dwg")};
  std::unique_ptr<Interpreter> interpreter_;
};

TEST_F(StandinInterpreter, ModelPlotIsRecordedWithEverySetting) {
  const auto records = Run(Script(ModelPlot()));
  ASSERT_EQ(Types(records), (std::vector<std::string>{"open", "plot", "open", "end"}));
  EXPECT_EQ(records[0].Text("drawing"), ToU16(kDrawing));
  const Record& plot = records[1];
  EXPECT_EQ(plot.Number("line"), 2);
  EXPECT_EQ(plot.Text("drawing"), ToU16(kDrawing));
  EXPECT_TRUE(plot.Flag("detailed"));
  EXPECT_EQ(plot.Text("layout"), u"Model");
  EXPECT_EQ(plot.Text("space"), u"model");
  EXPECT_EQ(plot.Text("device"), u"Default Windows System Printer.pc3");
  EXPECT_EQ(plot.Text("paper"), u"A4");
  EXPECT_EQ(plot.Text("units"), u"millimeters");
  EXPECT_EQ(plot.Text("orientation"), u"landscape");
  EXPECT_FALSE(plot.Flag("upside_down"));
  EXPECT_EQ(plot.Text("area"), u"extents");
  EXPECT_EQ(plot.Text("scale"), u"fit");
  EXPECT_EQ(plot.Text("offset"), u"center");
  EXPECT_TRUE(plot.Flag("plot_styles"));
  EXPECT_EQ(plot.Text("plot_style_table"), u"monochrome.ctb");
  EXPECT_TRUE(plot.Flag("lineweights"));
  EXPECT_EQ(plot.Text("shade_plot"), u"as displayed");
  EXPECT_FALSE(plot.Has("scale_lineweights"));
  EXPECT_FALSE(plot.Flag("to_file"));
  EXPECT_FALSE(plot.Flag("save_changes"));
  EXPECT_TRUE(plot.Flag("proceed"));
  EXPECT_EQ(records[2].Text("drawing"), ToU16(kEndDrawing));
  const Record& end = records[3];
  EXPECT_EQ(end.Text("reason"), u"quit");
  EXPECT_EQ(end.Number("plots"), 1);
  EXPECT_EQ(end.Number("errors"), 0);
  EXPECT_TRUE(interpreter_->HasQuit());
}

TEST_F(StandinInterpreter, LayoutPlotAsksTheLayoutQuestionsInsteadOfShadePlot) {
  const auto records = Run(Script(LayoutPlot()));
  ASSERT_EQ(Types(records), (std::vector<std::string>{"open", "plot", "open", "end"}));
  const Record& plot = records[1];
  EXPECT_EQ(plot.Text("layout"), u"Layout1");
  EXPECT_EQ(plot.Text("space"), u"layout");
  EXPECT_EQ(plot.Text("orientation"), u"portrait");
  EXPECT_EQ(plot.Text("area"), u"layout");
  EXPECT_EQ(plot.Text("scale"), u"1:1");
  EXPECT_EQ(plot.Text("offset"), u"0,0");
  EXPECT_TRUE(plot.Has("scale_lineweights"));
  EXPECT_TRUE(plot.Has("paper_space_first"));
  EXPECT_TRUE(plot.Has("hide_paperspace_objects"));
  EXPECT_FALSE(plot.Has("shade_plot"));
}

TEST_F(StandinInterpreter, WrongOrientationIsAnErrorNamingThePromptAndDropsThePlot) {
  auto plot = ModelPlot();
  plot[kOrientation] = "X";
  const auto records = Run(Script(plot));
  ASSERT_EQ(Types(records), (std::vector<std::string>{"open", "error", "open", "end"}));
  const Record& error = records[1];
  EXPECT_EQ(error.Text("prompt"), u"Enter drawing orientation [Portrait/Landscape]");
  EXPECT_EQ(error.Text("answer"), u"X");
  EXPECT_EQ(error.Number("line"), 8);
  EXPECT_EQ(error.Text("drawing"), ToU16(kDrawing));
  // Reading resumed at the next open: the end drawing was opened.
  EXPECT_EQ(records[2].Text("drawing"), ToU16(kEndDrawing));
  EXPECT_EQ(records[3].Number("errors"), 1);
  EXPECT_EQ(records[3].Number("plots"), 0);
}

TEST_F(StandinInterpreter, PlotAreaLettersDependOnTheSpace) {
  struct Case {
    std::vector<std::string> plot;
    const char* area;
    const char* expected;  // nullptr: an error
  };
  const Case cases[] = {
      {ModelPlot(), "L", "limits"},     {ModelPlot(), "D", "display"},
      {ModelPlot(), "Layout", nullptr}, {ModelPlot(), "Z", nullptr},
      {LayoutPlot(), "E", "extents"},   {LayoutPlot(), "Limits", nullptr},
      {LayoutPlot(), "La", "layout"},   {LayoutPlot(), "", ""},
  };
  for (const Case& c : cases) {
    Interpreter interpreter([](const std::u16string&) { return true; });
    auto plot = c.plot;
    plot[kArea] = c.area;
    for (const std::string& line : Script(plot)) interpreter.FeedLine(ToU16(line));
    const auto records = interpreter.TakeRecords();
    SCOPED_TRACE(std::string(c.plot[2]) + " area " + c.area);
    if (c.expected) {
      EXPECT_EQ(First(records, "plot").Text("area"), ToU16(c.expected));
    } else {
      const Record& error = First(records, "error");
      EXPECT_EQ(error.Text("prompt").rfind(u"Enter plot area [Display/Extents/", 0), 0u);
      EXPECT_EQ(error.Text("answer"), ToU16(c.area));
    }
  }
}

TEST_F(StandinInterpreter, CenterOffsetDoesNotExistForPlotAreaLayout) {
  auto plot = LayoutPlot();
  plot[kOffset] = "Center";
  const auto records = Run(Script(plot));
  EXPECT_EQ(First(records, "error").Text("prompt"), u"Enter plot offset (x,y)");
  plot[kArea] = "E";
  EXPECT_EQ(First(Run(Script(plot)), "plot").Text("offset"), u"center");
}

TEST_F(StandinInterpreter, MissingAnswerShiftsTheRestAndIsCaughtWhereItNoLongerFits) {
  auto plot = ModelPlot();
  plot.erase(plot.begin() + kPaper);  // "M" becomes the paper, "L" meets the units prompt
  const auto records = Run(Script(plot));
  const Record& error = First(records, "error");
  EXPECT_EQ(error.Text("prompt"), u"Enter paper units [Inches/Millimeters]");
  EXPECT_EQ(error.Text("answer"), u"L");
  EXPECT_EQ(Types(records), (std::vector<std::string>{"open", "error", "open", "end"}));
}

TEST_F(StandinInterpreter, MissingLastAnswerMeetsTheNextCommand) {
  auto plot = ModelPlot();
  plot.pop_back();
  const auto records = Run(Script(plot));
  const Record& error = First(records, "error");
  EXPECT_EQ(error.Text("prompt"), u"Proceed with plot [Yes/No]");
  EXPECT_EQ(error.Text("answer"), u"open");
}

TEST_F(StandinInterpreter, ScriptEndingInsideAPlotNamesThePromptLeftOpen) {
  auto lines = Script(ModelPlot());
  lines.resize(8);  // up to the orientation
  const auto records = Run(lines);
  const Record& error = First(records, "error");
  EXPECT_EQ(error.Text("prompt"), u"Plot upside down? [Yes/No]");
  EXPECT_EQ(error.Text("message"), u"the script ended before this answer");
  EXPECT_EQ(records.back().Text("reason"), u"end of script");
}

TEST_F(StandinInterpreter, OpeningAMissingDrawingKeepsTheCurrentOne) {
  files_.erase(ToU16(kDrawing));
  const auto records = Run(Script(ModelPlot()));
  ASSERT_EQ(Types(records), (std::vector<std::string>{"error", "plot", "open", "end"}));
  EXPECT_EQ(records[0].Text("prompt"), u"Enter name of drawing to open");
  EXPECT_EQ(records[0].Text("answer"), ToU16(kDrawing));
  EXPECT_EQ(records[0].Text("message"), u"drawing not found");
  // As in AutoCAD, the plot that follows plots the drawing still open.
  EXPECT_EQ(records[1].Text("drawing"), u"Drawing1.dwg");
}

TEST_F(StandinInterpreter, QuitEndsTheScriptAndLaterLinesAreIgnored) {
  auto lines = Script(ModelPlot());
  const auto plot = ModelPlot();
  lines.push_back(std::string("open \"") + kDrawing + "\"");
  lines.insert(lines.end(), plot.begin(), plot.end());
  const auto records = Run(lines);
  EXPECT_EQ(Types(records), (std::vector<std::string>{"open", "plot", "open", "end"}));
  EXPECT_EQ(records.back().Number("ignored_lines"), 1 + static_cast<int>(plot.size()));
  EXPECT_EQ(records.back().Number("lines"), static_cast<int>(lines.size()));
}

TEST_F(StandinInterpreter, ScriptWithoutQuitEndsAtItsLastLine) {
  auto lines = Script(ModelPlot());
  lines.pop_back();
  const auto records = Run(lines);
  EXPECT_EQ(records.back().Text("reason"), u"end of script");
  EXPECT_EQ(records.back().Number("plots"), 1);
  EXPECT_FALSE(interpreter_->HasQuit());
}

TEST_F(StandinInterpreter, BlankLineInsideAPlotKeepsThatPromptsDefault) {
  auto plot = ModelPlot();
  plot[kOrientation] = "";
  plot[12] = "";  // plot style table
  const auto records = Run(Script(plot));
  const Record& p = First(records, "plot");
  EXPECT_EQ(p.Text("orientation"), u"");
  EXPECT_EQ(p.Text("plot_style_table"), u"");
  EXPECT_EQ(records.back().Number("errors"), 0);
}

TEST_F(StandinInterpreter, BlankLineAtTheCommandPromptRepeatsTheLastCommand) {
  // Before any command it does nothing.
  auto lines = Script(ModelPlot());
  lines.insert(lines.begin(), {"", ""});
  EXPECT_EQ(Types(Run(lines, false)), (std::vector<std::string>{"open", "plot", "open"}));

  // After a plot, AutoCAD starts -PLOT again and takes the next line as its first answer.
  Interpreter again([](const std::u16string&) { return true; });
  auto script = Script(ModelPlot());
  script.insert(script.end() - 2, "");
  for (const std::string& line : script) again.FeedLine(ToU16(line));
  again.EndOfScript();
  const auto records = again.TakeRecords();
  const Record& error = First(records, "error");
  EXPECT_EQ(error.Text("prompt"), u"Detailed plot configuration? [Yes/No]");
  EXPECT_EQ(error.Text("answer"), u"open");
}

TEST_F(StandinInterpreter, CommandsAndKeywordsIgnoreCaseAndTakePrefixes) {
  const std::vector<std::string> plot = {
      "_-plot", "yes", "MODEL", "Default Windows System Printer.pc3", "A4", "_m", "landscape",
      "no", "ext", "F", "c", "_Y", "monochrome.ctb", "y", "a", "No", "n", "YES"};
  auto lines = Script(plot);
  lines.front() = std::string("OPEN \"") + kDrawing + "\"";
  lines.back() = "_QUIT";
  const auto records = Run(lines);
  ASSERT_EQ(Types(records), (std::vector<std::string>{"open", "plot", "open", "end"}));
  EXPECT_EQ(records[1].Text("space"), u"model");
  EXPECT_EQ(records[1].Text("orientation"), u"landscape");
  EXPECT_EQ(records[1].Text("area"), u"extents");
  EXPECT_EQ(records[1].Text("offset"), u"center");
  EXPECT_EQ(records[3].Text("reason"), u"quit");
}

TEST_F(StandinInterpreter, BuiltInPrefixAndLocalModelNamesAreUnderstood) {
  auto plot = ModelPlot();
  plot[0] = "_.-PLOT";
  plot[2] = "\xE3\x83\xA2\xE3\x83\x87\xE3\x83\xAB";  // the Japanese name of the Model tab
  const auto records = Run(Script(plot));
  EXPECT_EQ(First(records, "plot").Text("space"), u"model");
}

TEST_F(StandinInterpreter, ABlankEndsACommandWordButNotANameOrAQuotedPath) {
  const auto records = Run({"open \"C:\\My Drawings\\b 2.dwg\"", "-PLOT Y", "Model",
                            "Default Windows System Printer.pc3", "ISO A4 (210.00 x 297.00 MM)",
                            "M L N E", "Fit", "Center", "Y", ".", "Y", "A", "N", "N", "Y"});
  ASSERT_EQ(Types(records), (std::vector<std::string>{"open", "plot", "end"}));
  EXPECT_EQ(records[0].Text("drawing"), u"C:\\My Drawings\\b 2.dwg");
  EXPECT_EQ(records[1].Text("paper"), u"ISO A4 (210.00 x 297.00 MM)");
  EXPECT_EQ(records[1].Text("area"), u"extents");
  EXPECT_EQ(records[1].Text("plot_style_table"), u".");
}

TEST_F(StandinInterpreter, ShortPlotWithoutDetailsAndCancelledPlot) {
  const auto records = Run({std::string("open ") + kDrawing, "-PLOT", "N", "Layout1", "",
                            "Default Windows System Printer.pc3", "N", "N", "N"});
  const Record& cancelled = First(records, "cancelled");
  EXPECT_FALSE(cancelled.Flag("detailed"));
  EXPECT_EQ(cancelled.Text("page_setup"), u"");
  EXPECT_FALSE(cancelled.Has("paper"));
  EXPECT_EQ(records.back().Number("plots"), 0);
}

TEST_F(StandinInterpreter, QuestionMarkListsAndAsksAgainWindowAreaAsksForCorners) {
  auto plot = ModelPlot();
  plot[kArea] = "W";
  plot.insert(plot.begin() + kArea + 1, {"0,0", "420,297"});
  plot.insert(plot.begin() + 3, "?");  // at the device prompt
  plot.insert(plot.begin() + 3, "?");
  const Record p = First(Run(Script(plot)), "plot");
  EXPECT_EQ(p.Text("device"), u"Default Windows System Printer.pc3");
  EXPECT_EQ(p.Text("area"), u"window");
  EXPECT_EQ(p.Text("window_to"), u"420,297");
}

TEST_F(StandinInterpreter, UnknownCommandIsRecordedAndReadingGoesOn) {
  const auto records = Run({"zoom", std::string("open \"") + kDrawing + "\"", "quit"});
  ASSERT_EQ(Types(records), (std::vector<std::string>{"error", "open", "end"}));
  EXPECT_EQ(records[0].Text("prompt"), u"Command");
  EXPECT_EQ(records[0].Text("message"), u"unknown command");
}

// --- command line, script bytes, journal -----------------------------------

TEST(StandinIo, ScriptPathFromTheCommandLinesAutoCadIsStartedWith) {
  using tovrel::standin::ScriptPathFromCommandLine;
  EXPECT_EQ(ScriptPathFromCommandLine(u" /b \"C:\\Tool dir\\atcprint.scr\""),
            u"C:\\Tool dir\\atcprint.scr");
  EXPECT_EQ(ScriptPathFromCommandLine(u"\"C:\\Program Files\\x\\acad.exe\" /B C:\\t\\a.scr  "),
            u"C:\\t\\a.scr");
  EXPECT_EQ(ScriptPathFromCommandLine(u"acad_standin.exe -b C:\\with blank\\a.scr"),
            u"C:\\with blank\\a.scr");
  EXPECT_EQ(ScriptPathFromCommandLine(u"C:\\dir /b\\acad.exe /b x.scr"), u"x.scr");
  EXPECT_FALSE(ScriptPathFromCommandLine(u"acad_standin.exe"));
  EXPECT_FALSE(ScriptPathFromCommandLine(u"acad_standin.exe /b   "));
  EXPECT_FALSE(ScriptPathFromCommandLine(u"acad_standin.exe /bx a.scr"));
}

TEST(StandinIo, ScriptIsUtf16LeWithByteOrderMarkSplitIntoLines) {
  std::string bytes = "\xFF\xFE";
  tovrel::AppendUtf16Le(bytes, u"open \"C:\\\u56F3\u9762.dwg\"\r\n\r\nquit\r\n");
  auto script = tovrel::standin::DecodeScript(bytes);
  EXPECT_TRUE(script.problem.empty());
  EXPECT_EQ(script.lines, (std::vector<std::u16string>{u"open \"C:\\\u56F3\u9762.dwg\"", u"",
                                                       u"quit"}));
  script = tovrel::standin::DecodeScript("open a.dwg\nquit");
  EXPECT_FALSE(script.problem.empty());
  EXPECT_EQ(script.lines, (std::vector<std::u16string>{u"open a.dwg", u"quit"}));
  EXPECT_TRUE(tovrel::standin::DecodeScript("\xFF\xFE").lines.empty());
}

TEST(StandinIo, JournalBesideTheScriptUnlessTheVariableNamesOne) {
  using tovrel::standin::JournalPath;
  EXPECT_EQ(JournalPath(u"C:\\work\\atcprint.scr", u""), u"C:\\work\\acad_journal.jsonl");
  EXPECT_EQ(JournalPath(u"/tmp/a.scr", u""), u"/tmp/acad_journal.jsonl");
  EXPECT_EQ(JournalPath(u"a.scr", u""), u"acad_journal.jsonl");
  EXPECT_EQ(JournalPath(u"C:\\work\\a.scr", u"D:\\logs\\j.jsonl"), u"D:\\logs\\j.jsonl");
}

TEST(StandinIo, DelayIsWholeMillisecondsWithinALimit) {
  using tovrel::standin::ParseDelayMs;
  EXPECT_EQ(ParseDelayMs(u"250"), 250);
  EXPECT_EQ(ParseDelayMs(u""), 0);
  EXPECT_EQ(ParseDelayMs(u"-5"), 0);
  EXPECT_EQ(ParseDelayMs(u"12ms"), 0);
  EXPECT_EQ(ParseDelayMs(u"99999999999999"), 600000);
}

TEST(StandinIo, JournalLineIsOneJsonObjectInUtf8) {
  Record record;
  record.type = "plot";
  record.Set("line", std::int64_t{12});
  record.Set("drawing", u"C:\\\"q\"\\\u56F3.dwg");
  record.Set("proceed", true);
  record.Set("note", std::u16string(u"a\tb\x01"));
  EXPECT_EQ(tovrel::standin::ToJsonLine(record, "2024-01-02T03:04:05.006Z"),
            "{\"type\":\"plot\",\"time\":\"2024-01-02T03:04:05.006Z\",\"line\":12,"
            "\"drawing\":\"C:\\\\\\\"q\\\"\\\\\xE5\x9B\xB3.dwg\",\"proceed\":true,"
            "\"note\":\"a\\u0009b\\u0001\"}");
  record.Set("line", std::int64_t{13});  // replaces, keeps the place
  EXPECT_EQ(tovrel::standin::ToJsonLine(record).rfind("{\"type\":\"plot\",\"line\":13,", 0), 0u);
}

}  // namespace
