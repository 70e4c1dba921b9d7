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
//   - its paper is not among that printer's papers (or among the papers of
//     a plotter configuration whose papers are known, plot_prompts.h).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "drawing_list/row_store.h"
#include "printers/printer_catalog.h"
#include "storage/file_system.h"
#include "storage/script_template.h"

namespace tovrel {

// The problems the check names: code texts 85 to 87.
enum class PreflightProblem { OutOfStep, DrawingMissing, PrinterOrPaperMissing, OutputShared };
inline constexpr int kCodePreflightOutOfStep = 85;
inline constexpr int kCodePreflightDrawingMissing = 86;
inline constexpr int kCodePreflightPrinterOrPaper = 87;
inline constexpr int kCodePreflightOutputShared = 95;
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
};

struct PreflightReport {
  std::vector<PreflightFinding> findings;
  int rowsChecked = 0;
  bool Clean() const { return findings.empty(); }
  // The rows listed, in list order, each once.
  std::vector<int> Rows() const;
};

struct PreflightSources {
  // Whether a drawing exists; drawings are not checked without it.
  const FileSystem* files = nullptr;
  // The printer catalog, asked for when the first Windows printer is met
  // (so that it is filled only when needed); Windows printers are not
  // checked when it answers nullptr.
  std::function<const PrinterCatalog*()> printers;
};

// The rows a run of a scope takes, in list order: all rows (0), the
// selected rows (1), the selected rows when there are any, else all (2).
std::vector<int> RowsOfScope(const RowStore& rows, int scope);

PreflightReport CheckRows(const RowStore& rows, const std::vector<int>& rowIndices,
                          const ScriptTemplate& tmpl, const PreflightSources& sources);

// Selects exactly the listed rows (marks of every other row cleared).
void SelectListedRows(RowStore& rows, const PreflightReport& report);

}  // namespace tovrel
