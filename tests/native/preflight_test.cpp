// The check before a run: each row's lines walked through AutoCAD's prompts
// with the row's device, its drawing, printer and paper looked up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_file_system.h"
#include "script/preflight.h"
#include "script/script_writer.h"
#include "storage/text_codec.h"

using namespace tovrel;

namespace {

// Hidden columns write their command; shown ones (display mode 4) a cell.
struct Column {
  const char16_t* header;
  int displayMode;
  int outputMode;
  const char16_t* command;
};

const Column kColumns[] = {
    {u"File name", 1, 1, u"_.OPEN"}, {u"Folder", 2, 0, u""},   {u"PLOT", 0, 2, u"_-PLOT"},
    {u"Detailed", 0, 2, u"_Y"},      {u"Layout", 4, 4, u""},   {u"Printer", 4, 4, u""},
    {u"Paper", 4, 4, u""},           {u"Units", 4, 3, u""},    {u"Orientation", 4, 3, u""},
    {u"Upside down", 0, 2, u"_N"},   {u"Plot area", 4, 3, u""}, {u"Scale", 0, 2, u"_Fit"},
    {u"Offset", 0, 2, u"_Center"},   {u"Styles", 0, 2, u"_Y"}, {u"Style", 0, 2, u"."},
    {u"Lineweights", 0, 2, u"_Y"},   {u"Shade", 0, 2, u"_A"},  {u"To file", 0, 2, u"_N"},
    {u"Save", 0, 2, u"_N"},          {u"Proceed", 0, 2, u"_Y"},
};
// List columns of the shown ones.
constexpr int kLayout = 2, kPrinter = 3, kPaper = 4, kUnits = 5, kOrientation = 6, kArea = 7;

ScriptTemplate Template() {
  ScriptTemplate tmpl;
  int slot = 0;
  for (const Column& c : kColumns) {
    TemplateColumn& column = tmpl.columns[static_cast<std::size_t>(slot++)];
    column.inUse = 1;
    column.itemText = c.header;
    column.displayMode = c.displayMode;
    column.outputMode = c.outputMode;
    column.command = c.command;
  }
  return tmpl;
}

struct Row {
  const char16_t* name;
  const char16_t* layout;
  const char16_t* printer;
  const char16_t* paper;
  const char16_t* orientation = u"L Landscape";
};

class Preflight : public ::testing::Test {
protected:
  void SetUp() override {
    catalog_.printerCount = 1;
    catalog_.entries[0].name.Assign(u"Office Laser");
    catalog_.entries[0].paperNames[0].Assign(u"A4");
    catalog_.entries[0].paperNames[1].Assign(u"A3");
    catalog_.driverPapers[0] = {u"A4", u"A3", u"Letter"};  // the catalog kept only the A/B ones
    files_.AddFolder(u"C:\\Plotters");
    files_.AddFile(u"C:\\Plotters\\Site Plotter.pc3");
    FillPlotters(catalog_, files_, u"C:\\Plotters", u"Office Laser");
    sources_.files = &files_;
    sources_.printers = [this] {
      ++catalogAsked_;
      return &catalog_;
    };
  }

  void Add(const Row& r, bool exists = true) {
    const int row = rows_.RowCount();
    rows_.InsertRow(row, r.name, 0, row);
    rows_.SetCellText(row, 1, u"C:\\DWG");
    rows_.SetCellText(row, kLayout, r.layout);
    rows_.SetCellText(row, kPrinter, r.printer);
    rows_.SetCellText(row, kPaper, r.paper);
    rows_.SetCellText(row, kUnits, u"M Millimeters");
    rows_.SetCellText(row, kOrientation, r.orientation);
    rows_.SetCellText(row, kArea, u"E Extents");
    if (exists) files_.AddFile(u"C:\\DWG\\" + std::u16string(r.name));
  }

  PreflightReport Check() {
    return CheckRows(rows_, RowsOfScope(rows_, kScopeAllRows), tmpl_, sources_);
  }

  ScriptTemplate tmpl_ = Template();
  MemoryRowStore rows_{8};
  test::FakeFileSystem files_;
  PrinterCatalog catalog_;
  PreflightSources sources_;
  int catalogAsked_ = 0;
};

}  // namespace

TEST_F(Preflight, CleanRowsOfEveryServedDeviceListNothing) {
  Add({u"A-1.dwg", u"Model", u"Office Laser", u"A4"});
  Add({u"A-2.dwg", u"Model", u"Office Laser", u"A3"});
  Add({u"A-3.dwg", u"Model", u"DWG To PDF.pc3", u"ISO A1 (841.00 x 594.00 MM)"});
  Add({u"A-4.dwg", u"Model", u"Default Windows System Printer.pc3", u"A3"});
  // Windows file names ignore case.
  Add({u"A-5.DWG", u"Model", u"Office Laser", u"A4"}, false);
  files_.AddFile(u"C:\\DWG\\a-5.dwg");
  Add({u"A-6.dwg", u"Model", u"Office Laser", u"Letter"});  // beyond the catalog's A/B choice
  // The PDF rows answer "_N" as the file name: in folders of their own, not one file.
  Add({u"A-7.dwg", u"Model", u"dwg to pdf.pc3", u"ISO_full_bleed_A3_(420.00_x_297.00_MM)"}, false);
  rows_.SetCellText(6, 1, u"C:\\DWG\\7");
  files_.AddFolder(u"C:\\DWG\\7");
  files_.AddFile(u"C:\\DWG\\7\\A-7.dwg");
  const PreflightReport report = Check();
  EXPECT_TRUE(report.Clean()) << Utf16ToUtf8(report.findings[0].prompt);
  EXPECT_EQ(report.rowsChecked, 7);
  // A folder that is not there at all.
  Add({u"A-8.dwg", u"Model", u"Office Laser", u"A4"}, false);
  rows_.SetCellText(7, 1, u"D:\\nowhere");
  EXPECT_EQ(Check().Rows(), std::vector<int>{7});
}

TEST_F(Preflight, EachFaultIsListedWithItsColumnPromptAndAnswer) {
  Add({u"ok.dwg", u"Model", u"Office Laser", u"A4"});
  Add({u"gone.dwg", u"Model", u"Office Laser", u"A4"}, false);
  Add({u"printer.dwg", u"Model", u"Plotter B", u"A4"});
  Add({u"paper.dwg", u"Model", u"Office Laser", u"A0"});
  Add({u"pdf-paper.dwg", u"Model", u"DWG To PDF.pc3", u"A4"});
  Add({u"stray.dwg", u"Model", u"Office Laser", u"A4", u"X Landscape"});
  Add({u"tab.dwg", u"", u"Office Laser", u"A4"});
  Add({u"png.dwg", u"Model", u"PublishToWeb PNG.pc3", u"VGA (640.00 x 480.00 Pixels)"});
  Add({u"blank.dwg", u"Model", u"Office Laser ", u"A4"});
  Add({u"empty.dwg", u"Model", u"Office Laser", u"A4", u""});
  const struct {
    int row;
    PreflightProblem problem;
    const char16_t* column;
    const char16_t* prompt;
    const char16_t* answer;
  } expected[] = {
      {1, PreflightProblem::DrawingMissing, u"File name", u"Enter name of drawing to open", u"C:\\DWG\\gone.dwg"},
      {2, PreflightProblem::PrinterOrPaperMissing, u"Printer", u"Enter an output device name or [?]", u"Plotter B"},
      {3, PreflightProblem::PrinterOrPaperMissing, u"Paper", u"Enter paper size or [?]", u"A0"},
      {4, PreflightProblem::PrinterOrPaperMissing, u"Paper", u"Enter paper size or [?]", u"A4"},
      {5, PreflightProblem::OutOfStep, u"Orientation", u"Enter drawing orientation [Portrait/Landscape]", u"X"},
      {6, PreflightProblem::OutOfStep, u"Layout", u"Enter a layout name or [?]", u""},
      {7, PreflightProblem::PaperNotChecked, u"Paper", u"Enter paper size or [?]", u"VGA (640.00 x 480.00 Pixels)"},
      {7, PreflightProblem::OutOfStep, u"Units", u"Enter drawing orientation [Portrait/Landscape]", u"M"},
      {8, PreflightProblem::OutOfStep, u"Printer", u"Enter an output device name or [?]", u"Office Laser "},
      // An empty orientation keeps the drawing's; the plot goes on.
  };
  const PreflightReport report = Check();
  for (const PreflightFinding& f : report.findings) {
    SCOPED_TRACE(Utf16ToUtf8(f.prompt) + " <- " + Utf16ToUtf8(f.answer));
  }
  ASSERT_EQ(report.findings.size(), std::size(expected)) << Utf16ToUtf8(report.findings.back().prompt);
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const PreflightFinding& f = report.findings[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(f.row, expected[i].row);
    EXPECT_EQ(f.problem, expected[i].problem);
    EXPECT_EQ(f.column, expected[i].column);
    EXPECT_EQ(f.prompt, expected[i].prompt);
    EXPECT_EQ(f.answer, expected[i].answer);
    EXPECT_EQ(f.drawing, rows_.CellText(f.row, 0, 260));
  }
  EXPECT_EQ(report.Rows(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));

  // "Select these rows" leaves exactly the listed rows selected.
  rows_.SetMarks(0, true);
  rows_.SetMarks(9, true);
  SelectListedRows(rows_, report);
  std::vector<int> selected;
  for (int row = rows_.NextSelected(0); row >= 0; row = rows_.NextSelected(row + 1)) selected.push_back(row);
  EXPECT_EQ(selected, report.Rows());
}

TEST_F(Preflight, RowsThatEndInsideTheCommandAreListed) {
  tmpl_.columns[19].inUse = 0;  // no "Proceed with plot" answer
  Add({u"a.dwg", u"Model", u"DWG To PDF.pc3", u"ISO A4 (297.00 x 210.00 MM)"});
  const PreflightReport report = Check();
  ASSERT_EQ(report.findings.size(), 1u);
  EXPECT_EQ(report.findings[0].prompt, u"Proceed with plot [Yes/No]");
  EXPECT_EQ(report.findings[0].column, u"");
  EXPECT_EQ(report.findings[0].problem, PreflightProblem::OutOfStep);
}

TEST_F(Preflight, WithoutACatalogOnlyTheBuiltInConfigurationsPapersAreChecked) {
  sources_.printers = [] { return static_cast<const PrinterCatalog*>(nullptr); };
  sources_.files = nullptr;
  Add({u"a.dwg", u"Model", u"DWG To PDF.pc3", u"ISO A4 (297.00 x 210.00 MM)"});
  Add({u"b.dwg", u"Model", u"Plotter B", u"A9"}, false);
  EXPECT_TRUE(Check().findings.empty());
  Add({u"c.dwg", u"Model", u"DWG To PDF.pc3", u"A4"});
  EXPECT_EQ(Check().Rows(), std::vector<int>{2});
}

TEST_F(Preflight, UnsafeCellsMisspeltConfigurationsAndTheEndDrawingHoldTheRunWhileNotesDoNot) {
  tmpl_.columns[17].command = u"";  // Enter at "Write the plot to a file"
  Add({u"lisp.dwg", u"Model", u"(startapp \"calc\")", u"A4"});
  Add({u"quote.dwg", u"Model", u"Office Laser", u"'CAL"});
  Add({u"typo.dwg", u"Model", u"DWG To PDF2.pc3", u"A4"});
  Add({u"site.dwg", u"Model", u"Site Plotter.pc3", u"A1 custom"});
  Add({u"page.dwg", u"Model", u"", u""});
  sources_.endDrawing = u"C:\\DWG\\a.txt";
  files_.AddFile(sources_.endDrawing);
  using P = PreflightProblem;
  std::vector<std::pair<int, P>> listed;
  const PreflightReport report = Check();
  for (const PreflightFinding& f : report.findings) listed.emplace_back(f.row, f.problem);
  EXPECT_EQ(listed, (std::vector<std::pair<int, P>>{
                        {0, P::Unsafe}, {0, P::PrinterOrPaperMissing}, {0, P::DependsOnDrawing},
                        {1, P::Unsafe}, {1, P::PrinterOrPaperMissing}, {1, P::DependsOnDrawing},
                        {2, P::PrinterOrPaperMissing}, {3, P::PaperNotChecked}, {3, P::DependsOnDrawing},
                        {4, P::DependsOnDrawing}, {4, P::DependsOnDrawing}, {-1, P::EndDrawing}}));
  EXPECT_EQ(report.findings[0].answer, u"(startapp \"calc\")");
  EXPECT_TRUE(report.Unsafe());
  EXPECT_EQ(report.Rows(), (std::vector<int>{0, 1, 2}));

  // allow_lisp_cells lets the cells go; an end drawing's bytes must fit its name.
  sources_.allowLispCells = true;
  EXPECT_FALSE(Check().Unsafe());
  sources_.endDrawing = u"C:\\DWG\\endfile.dwg";
  files_.AddFile(sources_.endDrawing);
  std::string start = "  0\r\nSECTION\r\n";  // DXF text under a DWG name
  sources_.fileStart = [&](const std::u16string&) { return start; };
  EXPECT_EQ(Check().findings.back().problem, P::EndDrawing);
  start = "AC1032\0\0\0";
  EXPECT_NE(Check().findings.back().problem, P::EndDrawing);
  EXPECT_TRUE(OpensAsDrawing(u"e.DXF", "  0\r\nSECTION\r\n  2\r\nHEADER"));
  EXPECT_TRUE(OpensAsDrawing(u"e.dxf", "AutoCAD Binary DXF\r\n"));
  EXPECT_FALSE(OpensAsDrawing(u"e.dwg", ""));
  // Notes alone let the run start.
  for (int row : {2, 1, 0}) rows_.DeleteRow(row);
  EXPECT_FALSE(Check().findings.empty());
  EXPECT_TRUE(Check().Clean());
}

TEST_F(Preflight, ScopesTakeTheRowsTheRunWouldTake) {
  for (const char16_t* name : {u"a.dwg", u"b.dwg", u"c.dwg", u"d.dwg"}) Add({name, u"Model", u"Plotter B", u"A4"});
  EXPECT_EQ(RowsOfScope(rows_, kScopeAllRows), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(RowsOfScope(rows_, kScopeSelectedRows), (std::vector<int>{}));
  EXPECT_EQ(RowsOfScope(rows_, kScopeSelectedOrAll), (std::vector<int>{0, 1, 2, 3}));
  rows_.SetMarks(2, true);
  rows_.SetMarks(1, true);
  EXPECT_EQ(RowsOfScope(rows_, kScopeSelectedRows), (std::vector<int>{1, 2}));
  EXPECT_EQ(RowsOfScope(rows_, kScopeSelectedOrAll), (std::vector<int>{1, 2}));
  const PreflightReport report = CheckRows(rows_, RowsOfScope(rows_, kScopeSelectedRows), tmpl_, sources_);
  EXPECT_EQ(report.rowsChecked, 2);
  EXPECT_EQ(report.Rows(), (std::vector<int>{1, 2}));
}

TEST_F(Preflight, RowsWritingAnEarlierRowsFileAreListedInEveryModeAndLaneRowsForFullAutoCadAreNoted) {
  tmpl_.columns[17].command = u"";  // Enter: PDF rows take the name beside the drawing
  Add({u"A.dwg", u"Model", u"DWG To PDF.pc3", u"ISO A4 (297.00 x 210.00 MM)"});
  Add({u"B.dwg", u"Model", u"DWG To PDF.pc3", u"ISO A4 (297.00 x 210.00 MM)"});
  Add({u"Ä.dwg", u"Model", u"DWG To PDF.pc3", u"ISO A4 (297.00 x 210.00 MM)"});
  Add({u"A.dwg", u"Model", u"Office Laser", u"A4"});  // a printer writes no file
  EXPECT_TRUE(Check().Clean());
  // Windows compares names in either case: these write "A-Model.pdf" and "Ä-Model.pdf" again.
  Add({u"a.DWG", u"Model", u"DWG To PDF.pc3", u"ISO A4 (297.00 x 210.00 MM)"}, false);
  Add({u"ä.dwg", u"Model", u"DWG To PDF.pc3", u"ISO A4 (297.00 x 210.00 MM)"}, false);
  PreflightReport report = Check();
  std::erase_if(report.findings, [](const PreflightFinding& f) { return !HoldsRun(f.problem); });
  ASSERT_EQ(report.findings.size(), 2u);
  EXPECT_EQ(report.Rows(), (std::vector<int>{4, 5}));
  EXPECT_EQ(report.findings[0].answer, u"C:\\DWG\\a-Model.pdf");
  EXPECT_EQ(FindingReason(report.findings[1], u"Writes the same file as row %1"), u"Writes the same file as row 3");
  EXPECT_NE(FindingsCsv(report, [](PreflightProblem) { return u"as row %1"; }).find(u"as row 1\r\n"),
            std::u16string::npos);

  // Before the lane, the printer row is noted as going to full AutoCAD; the notes do not hold the run.
  for (int row : {5, 4}) rows_.DeleteRow(row);
  sources_.lane = true;
  report = Check();
  EXPECT_TRUE(report.Clean());
  EXPECT_EQ(report.findings.back().row, 3);
  EXPECT_EQ(report.findings.back().problem, PreflightProblem::FullAutoCad);
}
