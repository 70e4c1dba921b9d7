// AutoCAD's command-line plot prompt by prompt, for Model and a layout and
// every class of device, and a script read line by line as AutoCAD reads it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/plot_prompts.h"
#include "script/script_walk.h"
#include "storage/text_codec.h"

using namespace tovrel;

namespace {

using Steps = std::vector<PlotStep>;
using S = PlotStep;

// Answers every prompt with the answer that fits it, and notes the steps.
Steps Chain(const std::u16string& layout, const std::u16string& device, bool detailed = true) {
  PlotPrompts plot;
  Steps steps;
  while (!plot.Done() && steps.size() < 40) {
    steps.push_back(plot.Step());
    std::u16string answer;
    switch (plot.Step()) {
      case S::Detailed: answer = detailed ? u"_Y" : u"_N"; break;
      case S::LayoutName: answer = layout; break;
      case S::Device: answer = device; break;
      case S::Area: answer = u"_E"; break;
      default: answer = u""; break;  // Enter keeps the default
    }
    EXPECT_EQ(plot.Answer(answer), u"") << static_cast<int>(plot.Step());
  }
  return steps;
}

const Steps kModelTail = {S::Orientation, S::UpsideDown, S::Area, S::Scale, S::Offset,
                          S::PlotStyles, S::StyleTable, S::Lineweights};

Steps Join(std::initializer_list<Steps> parts) {
  Steps all;
  for (const Steps& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

}  // namespace

TEST(PlotPrompts, ChainsOfModelAndLayoutForEveryDeviceClass) {
  const Steps head = {S::Detailed, S::LayoutName, S::Device, S::Paper};
  const Steps model = {S::ShadePlot};
  const Steps layout = {S::ScaleLineweights, S::PaperSpaceFirst, S::HidePaperspace};
  const Steps printerEnd = {S::ToFile, S::SaveChanges, S::Proceed};
  const Steps fileEnd = {S::FileName, S::SaveChanges, S::Proceed};
  const struct {
    const char16_t* layout;
    const char16_t* device;
    Steps expected;
  } cases[] = {
      // Model and a layout through a printer are witnessed by the transcripts too.
      {u"Model", u"Office Laser", Join({head, {S::Units}, kModelTail, model, printerEnd})},
      {u"Layout1", u"Office Laser", Join({head, {S::Units}, kModelTail, layout, printerEnd})},
      {u"Model", u"Default Windows System Printer.pc3", Join({head, {S::Units}, kModelTail, model, printerEnd})},
      {u"Model", u"DWG To PDF.pc3", Join({head, {S::Units}, kModelTail, model, fileEnd})},
      {u"Layout1", u"dwg to pdf.PC3", Join({head, {S::Units}, kModelTail, layout, fileEnd})},
      {u"Model", u"DWFx ePlot (XPS Compatible).pc3", Join({head, {S::Units}, kModelTail, model, fileEnd})},
      {u"Model", u"My office PDF.pc3", Join({head, {S::Units}, kModelTail, model, fileEnd})},
      {u"Model", u"PublishToWeb PNG.pc3", Join({head, kModelTail, model, fileEnd})},
      {u"Layout1", u"PublishToWeb JPG.pc3", Join({head, kModelTail, layout, fileEnd})},
      {u"\u30E2\u30C7\u30EB", u"Site TIFF.pc3", Join({head, kModelTail, model, fileEnd})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.device) + " / " + Utf16ToUtf8(c.layout));
    EXPECT_EQ(Chain(c.layout, c.device), c.expected);
  }
  // Not detailed: a page setup, then the device and the file questions only.
  EXPECT_EQ(Chain(u"Model", u"Office Laser", false),
            (Steps{S::Detailed, S::LayoutName, S::PageSetup, S::Device, S::ToFile, S::SaveChanges, S::Proceed}));
  EXPECT_EQ(Chain(u"Model", u"DWG To PDF.pc3", false),
            (Steps{S::Detailed, S::LayoutName, S::PageSetup, S::Device, S::FileName, S::SaveChanges, S::Proceed}));
}

TEST(PlotPrompts, KeywordsWithAndWithoutUnderscoreAndRefusals) {
  PlotPrompts plot;
  EXPECT_EQ(plot.Answer(u"y"), u"");
  EXPECT_EQ(plot.Answer(u"Layout1"), u"");
  EXPECT_EQ(plot.Answer(u"Plotter "), u"\"Plotter \" is not the name of a output device (blank at its start or end)");
  EXPECT_EQ(plot.Step(), S::Device);  // asked again
  EXPECT_EQ(plot.Answer(u"Plotter"), u"");
  EXPECT_EQ(plot.Answer(u"A4"), u"");
  EXPECT_NE(plot.Answer(u"_"), u"");     // "_" alone names nothing
  EXPECT_NE(plot.Answer(u"Metres"), u"");
  EXPECT_EQ(plot.Answer(u"_Mill"), u"");
  EXPECT_EQ(plot.Text("units"), u"millimeters");
  EXPECT_EQ(plot.Answer(u"_l"), u"");
  EXPECT_EQ(plot.Text("orientation"), u"landscape");
  EXPECT_EQ(plot.Answer(u"_N"), u"");
  EXPECT_NE(plot.Answer(u"Limits"), u"") << "a layout has no Limits";
  EXPECT_EQ(plot.Answer(u"L"), u"");
  EXPECT_EQ(plot.Text("area"), u"layout");
  EXPECT_EQ(plot.Answer(u"_Fit"), u"");
  EXPECT_NE(plot.Answer(u"_Center"), u"") << "no Center with plot area Layout";
  EXPECT_EQ(plot.Prompt(), u"Enter plot offset (x,y)");
}

TEST(PlotPrompts, PapersOfKnownDevicesAndDefaultFileNames) {
  EXPECT_TRUE(KnownDeviceOffersPaper(u"DWG To PDF.pc3", u"ISO full bleed A1 (841.00 x 594.00 MM)"));
  EXPECT_TRUE(KnownDeviceOffersPaper(u"autocad pdf (smallest file).PC3", u"ISO_full_bleed_A1_(841.00_x_594.00_MM)"));
  EXPECT_TRUE(KnownDeviceOffersPaper(u"DWG To PDF.pc3", u"ANSI_expand_D_(34.00_x_22.00_Inches)"));
  EXPECT_FALSE(KnownDeviceOffersPaper(u"DWG To PDF.pc3", u"ISO A1 (841.00 x 594.00 MM) "));
  EXPECT_FALSE(KnownDeviceOffersPaper(u"DWG To PDF.pc3", u"A4"));
  EXPECT_TRUE(KnownDeviceOffersPaper(u"Office Laser", u"anything"));
  PlotPrompts plot(KnownDeviceOffersPaper);
  plot.Answer(u"_Y");
  plot.Answer(u"Model");
  plot.Answer(u"DWG To PDF.pc3");
  EXPECT_NE(plot.Answer(u"A4"), u"");
  EXPECT_EQ(plot.Step(), S::Paper);
  EXPECT_EQ(DefaultPlotFileName(u"C:\\DWG\\A-101.dwg", u"", u"DWG To PDF.pc3"), u"C:\\DWG\\A-101-Model.pdf");
  EXPECT_EQ(DefaultPlotFileName(u"C:\\a.b\\S", u"Layout1", u"PublishToWeb PNG.pc3"), u"C:\\a.b\\S-Layout1.png");
  EXPECT_EQ(DefaultPlotFileName(u"C:\\D\\x.dxf", u"Model", u"Plotter"), u"C:\\D\\x-Model.plt");
}

namespace {

struct Log : ScriptWalkEvents {
  bool OpenDrawing(std::u16string_view) override { return true; }
  void Refused(std::u16string_view prompt, std::u16string_view answer, std::u16string_view) override {
    refused.push_back(std::u16string(prompt) + u" <- " + std::u16string(answer));
  }
  void PlotEnded(const PlotPrompts&) override { ++plots; }
  std::vector<std::u16string> refused;
  int plots = 0;
};

}  // namespace

// A line starting with ";" is a comment to AutoCAD, whatever prompt waits.
TEST(ScriptWalker, ABlankInAKeywordLineIsEnterNamesTakeTheWholeLineAndCommentsAnswerNothing) {
  Log log;
  ScriptWalker walker(log);
  for (const char16_t* line : {u"; plotted by Tovrel", u"_.OPEN \"C:\\My Drawings\\a b.dwg\"", u"_-PLOT _Y",
                               u"Model", u";(startapp \"calc\")", u"Office Laser 2", u";", u"A4"}) {
    walker.FeedLine(line);
  }
  EXPECT_EQ(walker.Drawing(), u"C:\\My Drawings\\a b.dwg");
  EXPECT_EQ(walker.Plot().Text("device"), u"Office Laser 2");
  // "_M " answers the units and, with its blank, the orientation: Enter.
  walker.FeedLine(u"_M ");
  EXPECT_EQ(walker.Plot().Text("orientation"), u"");
  EXPECT_EQ(walker.Plot().Step(), S::UpsideDown);
  EXPECT_TRUE(log.refused.empty());
}
