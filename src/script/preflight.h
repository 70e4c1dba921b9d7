// The check before a run: every row a run would take is walked, line by
// line, through the prompts AutoCAD would ask (script_walk.h), with the
// row's own device, before AutoCAD starts. A row is listed when
//   - its answers would go out of step with AutoCAD's prompts: an answer a
//     prompt does not take, a line that reaches the command prompt as no
//     command, lines that end while a command still waits, or a layout
//     left to the drawing's current tab (Model and a layout ask different
//     questions);
//   - its drawing file does not exist;
//   - its device is a Windows printer the spooler does not offer;
//   - its device is a plotter configuration AutoCAD does not have (a
//     misspelt ".pc3" name);
//   - its paper is not among the papers that printer's driver reports (all
//     of them, not the catalog's first 63 or its A/B choice), or among the
//     papers of a configuration whose papers are known;
//   - its plot would write the file an earlier row of the run writes (full
//     paths compared as Windows compares them): one of the two plots would
//     be lost, whatever the run mode;
//   - a cell of it starts with "(" or "'": AutoCAD evaluates that (AutoLISP,
//     a transparent command) at most prompts, so a list from elsewhere could
//     start a program. Such rows do not run unless allowLispCells is set.
// The run starts with the end drawing, which must exist and be a drawing.
// Notes, listed but no reason to hold a run: an answer whose effect comes
// from the drawing's own page setup (an empty device, Enter at "Write the
// plot to a file") "depends on the drawing"; the paper of a configuration
// whose papers are not known is "paper not checked"; before the parallel
// lane, a row the lane leaves to full AutoCAD (a Windows printer, no plot
// to a file) "goes to full AutoCAD".
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "drawing_list/row_store.h"
#include "printers/printer_catalog.h"
#include "storage/file_system.h"
#include "storage/script_template.h"

namespace tovrel {

// The problems the check names: code texts 85 to 91, 81 and 75.
enum class PreflightProblem {
  OutOfStep, DrawingMissing, PrinterOrPaperMissing, Unsafe, EndDrawing, DependsOnDrawing, PaperNotChecked,
  OutputShared, FullAutoCad
};
inline constexpr int kCodePreflightOutOfStep = 85;
inline constexpr int kCodePreflightDrawingMissing = 86;
inline constexpr int kCodePreflightPrinterOrPaper = 87;
inline constexpr int kCodePreflightUnsafe = 88;
inline constexpr int kCodePreflightEndDrawing = 89;
inline constexpr int kCodePreflightDependsOnDrawing = 90;
inline constexpr int kCodePreflightPaperNotChecked = 91;
inline constexpr int kCodePreflightOutputShared = 81;  // "%1": the earlier row
inline constexpr int kCodePreflightFullAutoCad = 75;

// True for a problem that keeps a run from starting unasked; the others are notes.
bool HoldsRun(PreflightProblem problem);
// Message 70: the check found nothing (its own menu command only).
inline constexpr int kMessagePreflightClean = 70;

int ProblemTextNumber(PreflightProblem problem);

struct PreflightFinding {
  int row = 0;                // list row, 0-based
  std::u16string drawing;     // the row's file-name cell
  std::u16string column;      // header of the template column whose line it is
  std::u16string prompt;      // what AutoCAD would ask
  std::u16string answer;      // what the script would answer
  PreflightProblem problem = PreflightProblem::OutOfStep;
  int otherRow = -1;          // the earlier row writing the same file, 0-based
};

// The reason shown for a finding: `text` (its problem's) with "%1" the
// other row as the user counts it.
std::u16string FindingReason(const PreflightFinding& finding, std::u16string_view text);

struct PreflightReport {
  std::vector<PreflightFinding> findings;
  int rowsChecked = 0;
  // Nothing that holds a run (notes may be listed).
  bool Clean() const;
  // A cell AutoCAD would evaluate is listed: the run may not start at all.
  bool Unsafe() const;
  // The rows listed for a problem that holds the run, in list order, each once.
  std::vector<int> Rows() const;
};

struct PreflightSources {
  // Whether a drawing exists; drawings are not checked without it.
  const FileSystem* files = nullptr;
  // The printer catalog with AutoCAD's configurations, asked for when the
  // first device is met (so that it is filled only when needed); without it
  // (nullptr) only the built-in configurations' papers are checked.
  std::function<const PrinterCatalog*()> printers;
  // The drawing the script opens last; not checked when empty.
  std::u16string endDrawing;
  // The first bytes of a file (at least 64 where it has them); without it
  // the end drawing's contents are not looked at.
  std::function<std::string(const std::u16string& path)> fileStart;
  // Cells that AutoCAD would evaluate are allowed (setting allow_lisp_cells).
  bool allowLispCells = false;
  // The run goes through the parallel lane: the rows it leaves to full
  // AutoCAD are noted.
  bool lane = false;
};

// True when AutoCAD opens the file as a drawing, judged by its extension
// and its first bytes: a DWG ("AC1..."), an ASCII or binary DXF.
bool OpensAsDrawing(std::u16string_view path, std::string_view start);

// True for a cell AutoCAD would evaluate instead of taking as an answer.
bool IsEvaluatedCell(std::u16string_view cell);

// The rows a run of a scope takes, in list order: all rows (0), the
// selected rows (1), the selected rows when there are any, else all (2).
std::vector<int> RowsOfScope(const RowStore& rows, int scope);

PreflightReport CheckRows(const RowStore& rows, const std::vector<int>& rowIndices,
                          const ScriptTemplate& tmpl, const PreflightSources& sources);

// The findings as CSV text: a header line, then one line per finding that
// holds a run (row
// as the user counts it, drawing, column, what AutoCAD would ask, the
// answer, and the reason `reasonText` gives for its problem), CRLF ends.
std::u16string FindingsCsv(const PreflightReport& report,
                           const std::function<std::u16string(PreflightProblem)>& reasonText);

// Selects exactly the listed rows (marks of every other row cleared).
void SelectListedRows(RowStore& rows, const PreflightReport& report);

}  // namespace tovrel
