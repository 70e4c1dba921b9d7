#include "script/preflight.h"

#include <algorithm>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "script/parallel_lane.h"
#include "script/plot_output.h"
#include "script/plot_prompts.h"
#include "script/run_journal.h"
#include "script/script_walk.h"
#include "script/script_writer.h"
#include "storage/decimal_text.h"
#include "storage/text_codec.h"

namespace tovrel {
namespace {

bool IsCatalogMarker(std::u16string_view slot) {
  return slot == kProhibitionMarker || slot == kNoPaperMarker || slot == kCannotSearchMarker;
}

// Against every paper the driver reported: the catalog's slots stop at 63
// and may hold only the A/B papers, but the printer takes them all.
bool PrinterOffersPaper(const PrinterCatalog& catalog, int printer, std::u16string_view paper) {
  const PrinterEntry& entry = catalog.entries[static_cast<std::size_t>(printer)];
  const std::vector<std::u16string>& all = catalog.driverPapers[static_cast<std::size_t>(printer)];
  if (all.empty()) {
    if (entry.paperNames[0].Empty() || IsCatalogMarker(entry.paperNames[0].View())) return true;
    for (const auto& slot : entry.paperNames) {
      if (slot.Empty()) break;
      if (slot.View() == paper) return true;
    }
    return false;
  }
  return std::find(all.begin(), all.end(), paper) != all.end();
}

bool HasExtension(std::u16string_view path, std::u16string_view extension) {
  return path.size() > extension.size() &&
         EqualIgnoringAsciiCase(path.substr(path.size() - extension.size()), extension);
}

bool HasDrawingExtension(std::u16string_view path) {
  return HasExtension(path, u".dwg") || HasExtension(path, u".dxf") || HasExtension(path, u".dwt") ||
         HasExtension(path, u".dws");
}

}  // namespace

bool OpensAsDrawing(std::u16string_view path, std::string_view start) {
  // DWG, its template and its standards file share one format: "AC10.." or "AC1..." first.
  if (HasExtension(path, u".dwg") || HasExtension(path, u".dwt") || HasExtension(path, u".dws")) {
    return start.size() >= 6 && start.substr(0, 3) == "AC1";
  }
  if (!HasExtension(path, u".dxf")) return false;
  if (start.rfind("AutoCAD Binary DXF", 0) == 0) return true;
  // ASCII DXF: group code 0, then SECTION, blanks and line ends between.
  std::size_t i = start.find_first_not_of(" \t\r\n");
  if (i == start.npos || start[i] != '0') return false;
  i = start.find_first_not_of(" \t\r\n", i + 1);
  return i != start.npos && start.substr(i, 7) == "SECTION";
}

namespace {

// A path as Windows compares file names: either slash, letters in either case.
std::u16string FoldPath(std::u16string_view path) {
  std::u16string folded = FoldCase(path);
  for (char16_t& c : folded) {
    if (c == u'/') c = u'\\';
  }
  return folded;
}

// Whether drawings exist, each folder listed once: a list of drawings
// mostly shares a few folders, and one listing is far cheaper than a look-up
// per file. A name the listing does not hold (another case of a non-ASCII
// letter, a folder that cannot be listed) is looked up on its own.
class DrawingLookup {
public:
  explicit DrawingLookup(const FileSystem& files) : files_(files) {}

  bool Exists(std::u16string_view path) {
    const std::size_t slash = path.find_last_of(u"\\/");
    if (slash != path.npos && slash + 1 < path.size()) {
      const auto& names = Listing(path.substr(0, slash));
      if (names.count(FoldAscii(path.substr(slash + 1))) > 0) return true;
    }
    DirEntry entry;
    return files_.Find(std::u16string(path), entry) && (entry.attributes & kAttributeDirectory) == 0;
  }

private:
  const std::unordered_set<std::u16string>& Listing(std::u16string_view folder) {
    const std::u16string key = FoldAscii(folder);
    const auto found = folders_.find(key);
    if (found != folders_.end()) return found->second;
    std::unordered_set<std::u16string>& names = folders_[key];
    std::vector<DirEntry> entries;
    if (files_.List(std::u16string(folder) + u"\\*", entries)) {
      for (const DirEntry& e : entries) {
        if ((e.attributes & kAttributeDirectory) == 0) names.insert(FoldAscii(e.name));
      }
    }
    return names;
  }

  const FileSystem& files_;
  std::unordered_map<std::u16string, std::unordered_set<std::u16string>> folders_;
};

// Walks one row's lines and notes what would go wrong.
class RowWalk : private ScriptWalkEvents {
public:
  RowWalk(const PreflightSources& sources, DrawingLookup* drawings, const ScriptTemplate& tmpl, int row,
          std::u16string drawing, std::vector<PreflightFinding>& findings)
      : sources_(sources), drawings_(drawings), tmpl_(tmpl), row_(row), drawing_(std::move(drawing)),
        findings_(findings), walker_(*this) {}

  // The files the row's plots write, with the column of each file answer.
  const std::vector<std::pair<std::u16string, int>>& Outputs() const { return outputs_; }

  void Run(const std::vector<ScriptLine>& lines) {
    for (const ScriptLine& line : lines) {
      column_ = line.templateColumn;
      if (!sources_.allowLispCells && IsEvaluatedCell(line.text)) {
        Listed(PreflightProblem::Unsafe, walker_.WaitingPrompt(), line.text);
      }
      walker_.FeedLine(line.text);
    }
    // The next line, the next row's or the closing one, would answer a
    // prompt that belongs to this row.
    if (walker_.State() != ScriptWalker::Where::Command && walker_.State() != ScriptWalker::Where::Quit) {
      column_ = -1;
      OutOfStep(walker_.WaitingPrompt(), u"");
    }
  }

private:
  bool OpenDrawing(std::u16string_view path) override {
    if (drawings_ && !drawings_->Exists(path)) Note(PreflightProblem::DrawingMissing, kOpenPrompt, path);
    return true;  // the walk goes on as if it had opened
  }

  void Refused(std::u16string_view prompt, std::u16string_view answer, std::u16string_view) override {
    OutOfStep(prompt, answer);
  }

  // In a whole script the command before this row's lines is repeated.
  void EnterAtCommandPrompt() override { OutOfStep(kCommandPromptName, u""); }

  void Accepted(PlotStep step, std::u16string_view answer) override {
    switch (step) {
      case PlotStep::LayoutName:
        // Enter takes the drawing's current tab: whether Model's or a
        // layout's questions follow cannot be known before the drawing opens.
        if (answer.empty()) OutOfStep(u"Enter a layout name or [?]", answer);
        break;
      case PlotStep::Device: CheckDevice(answer); break;
      case PlotStep::Paper: CheckPaper(answer); break;
      case PlotStep::FileName: fileColumn_ = column_; break;
      case PlotStep::ToFile:
        // Enter keeps the drawing's page setup: to a file or not is the drawing's.
        if (answer.empty()) Note(PreflightProblem::DependsOnDrawing, u"Write the plot to a file [Yes/No]", answer);
        break;
      default: break;
    }
  }

  // A row out of step writes nothing that can be told before it runs.
  void PlotEnded(const PlotPrompts& plot) override {
    const int column = std::exchange(fileColumn_, -1);
    if (outOfStep_ || !plot.Proceeds()) return;
    std::u16string file = PlotOutputPath(walker_.Drawing(), plot);
    if (!file.empty()) outputs_.emplace_back(std::move(file), column);
  }

  void CheckDevice(std::u16string_view device) {
    device_.assign(device);
    printer_ = -1;
    plotter_ = nullptr;
    catalog_ = nullptr;
    constexpr char16_t kPrompt[] = u"Enter an output device name or [?]";
    if (device.empty()) {  // the drawing's page setup names the device
      Note(PreflightProblem::DependsOnDrawing, kPrompt, device);
      return;
    }
    catalog_ = sources_.printers ? sources_.printers() : nullptr;
    if (!catalog_) return;
    if (IsPlotterConfiguration(device)) {
      plotter_ = FindPlotter(*catalog_, device);
      if (!plotter_) Note(PreflightProblem::PrinterOrPaperMissing, kPrompt, device);
      return;
    }
    printer_ = FindPrinterByName(*catalog_, device);
    if (printer_ < 0) Note(PreflightProblem::PrinterOrPaperMissing, kPrompt, device);
  }

  void CheckPaper(std::u16string_view paper) {
    if (paper.empty()) return;  // Enter keeps the device's paper
    constexpr char16_t kPrompt[] = u"Enter paper size or [?]";
    bool offered = true;
    if (catalog_ && printer_ >= 0) {
      offered = PrinterOffersPaper(*catalog_, printer_, paper);
    } else if (plotter_ && plotter_->printerEntry >= 0) {
      offered = PrinterOffersPaper(*catalog_, plotter_->printerEntry, paper);
    } else if (plotter_ && plotter_->papersKnown) {
      offered = std::any_of(plotter_->papers.begin(), plotter_->papers.end(),
                            [&](const std::u16string& listed) { return NamesPaper(listed, paper); });
    } else if (plotter_) {
      Note(PreflightProblem::PaperNotChecked, kPrompt, paper);
    } else if (!catalog_) {
      offered = KnownDeviceOffersPaper(device_, paper);
    }
    if (!offered) Note(PreflightProblem::PrinterOrPaperMissing, kPrompt, paper);
  }

  void OutOfStep(std::u16string_view prompt, std::u16string_view answer) {
    Note(PreflightProblem::OutOfStep, prompt, answer);
    outOfStep_ = true;
  }

  // Nothing after the first step out of line is listed: every later answer
  // of the row is shifted by it.
  void Note(PreflightProblem problem, std::u16string_view prompt, std::u16string_view answer) {
    if (!outOfStep_) Listed(problem, prompt, answer);
  }

  void Listed(PreflightProblem problem, std::u16string_view prompt, std::u16string_view answer) {
    PreflightFinding finding;
    finding.row = row_;
    finding.drawing = drawing_;
    if (column_ >= 0) finding.column = tmpl_.columns[static_cast<std::size_t>(column_)].itemText;
    finding.prompt.assign(prompt);
    finding.answer.assign(answer);
    finding.problem = problem;
    findings_.push_back(std::move(finding));
  }

  const PreflightSources& sources_;
  DrawingLookup* drawings_;
  const ScriptTemplate& tmpl_;
  int row_;
  std::u16string drawing_;
  std::vector<PreflightFinding>& findings_;
  ScriptWalker walker_;
  int column_ = -1;
  bool outOfStep_ = false;
  std::u16string device_;
  const PrinterCatalog* catalog_ = nullptr;
  int printer_ = -1;
  const PlotterEntry* plotter_ = nullptr;
  int fileColumn_ = -1;
  std::vector<std::pair<std::u16string, int>> outputs_;
};

PreflightFinding RowFinding(const ScriptTemplate& tmpl, int row, std::u16string drawing, int column,
                            PreflightProblem problem) {
  PreflightFinding finding;
  finding.row = row;
  finding.drawing = std::move(drawing);
  if (column >= 0) finding.column = tmpl.columns[static_cast<std::size_t>(column)].itemText;
  finding.problem = problem;
  return finding;
}

}  // namespace

std::u16string FindingsCsv(const PreflightReport& report,
                           const std::function<std::u16string(PreflightProblem)>& reasonText) {
  std::u16string text = u"row,drawing,column,prompt,answer,reason\r\n";
  for (const PreflightFinding& f : report.findings) {
    if (!HoldsRun(f.problem)) continue;  // a note, not a row that would not plot as planned
    const std::string row = std::to_string(f.row + 1);
    text += std::u16string(row.begin(), row.end()) + u',' + CsvField(f.drawing) + u',' + CsvField(f.column) + u',' +
            CsvField(f.prompt) + u',' + CsvField(f.answer) + u',' + CsvField(FindingReason(f, reasonText(f.problem))) +
            u"\r\n";
  }
  return text;
}

int ProblemTextNumber(PreflightProblem problem) {
  switch (problem) {
    case PreflightProblem::OutOfStep: return kCodePreflightOutOfStep;
    case PreflightProblem::DrawingMissing: return kCodePreflightDrawingMissing;
    case PreflightProblem::PrinterOrPaperMissing: return kCodePreflightPrinterOrPaper;
    case PreflightProblem::Unsafe: return kCodePreflightUnsafe;
    case PreflightProblem::EndDrawing: return kCodePreflightEndDrawing;
    case PreflightProblem::DependsOnDrawing: return kCodePreflightDependsOnDrawing;
    case PreflightProblem::PaperNotChecked: return kCodePreflightPaperNotChecked;
    case PreflightProblem::OutputShared: return kCodePreflightOutputShared;
    case PreflightProblem::FullAutoCad: return kCodePreflightFullAutoCad;
  }
  return kCodePreflightOutOfStep;
}

bool HoldsRun(PreflightProblem problem) {
  return problem != PreflightProblem::DependsOnDrawing && problem != PreflightProblem::PaperNotChecked &&
         problem != PreflightProblem::FullAutoCad;
}

std::u16string FindingReason(const PreflightFinding& finding, std::u16string_view text) {
  std::u16string reason(text);
  const std::size_t mark = reason.find(u"%1");
  if (mark != reason.npos) reason.replace(mark, 2, finding.otherRow >= 0 ? DecimalText(finding.otherRow + 1) : u"");
  return reason;
}

bool IsEvaluatedCell(std::u16string_view cell) {
  return !cell.empty() && (cell.front() == u'(' || cell.front() == u'\'');
}

bool PreflightReport::Clean() const {
  return std::none_of(findings.begin(), findings.end(),
                      [](const PreflightFinding& f) { return HoldsRun(f.problem); });
}

bool PreflightReport::Unsafe() const {
  return std::any_of(findings.begin(), findings.end(),
                     [](const PreflightFinding& f) { return f.problem == PreflightProblem::Unsafe; });
}

std::vector<int> PreflightReport::Rows() const {
  std::vector<int> rows;
  for (const PreflightFinding& f : findings) {
    if (f.row >= 0 && HoldsRun(f.problem)) rows.push_back(f.row);
  }
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}
std::vector<int> RowsOfScope(const RowStore& rows, int scope) {
  std::vector<int> taken;
  const int first = rows.NextSelected(0);
  const bool selectedOnly = scope == kScopeSelectedRows || (scope == kScopeSelectedOrAll && first >= 0);
  if (selectedOnly) {
    for (int row = first; row >= 0; row = rows.NextSelected(row + 1)) taken.push_back(row);
    return taken;
  }
  const int count = rows.RowCount();
  taken.reserve(static_cast<std::size_t>(count > 0 ? count : 0));
  for (int row = 0; row < count; ++row) taken.push_back(row);
  return taken;
}

PreflightReport CheckRows(const RowStore& rows, const std::vector<int>& rowIndices,
                          const ScriptTemplate& tmpl, const PreflightSources& sources) {
  PreflightReport report;
  std::optional<DrawingLookup> drawings;
  if (sources.files) drawings.emplace(*sources.files);
  const ScriptColumns columns = FindScriptColumns(tmpl);
  const int nameColumn = columns.fileNameColumn >= 0 ? columns.fileNameColumn : 0;
  // Each plot file, folded as Windows compares names, and the row that writes it first.
  std::unordered_map<std::u16string, int> writers;
  for (const int row : rowIndices) {
    std::u16string name = rows.CellText(row, nameColumn, kScriptPathCellSize);
    RowWalk walk(sources, drawings ? &*drawings : nullptr, tmpl, row, name, report.findings);
    walk.Run(RowScriptLines(rows, row, tmpl, columns));
    ++report.rowsChecked;
    for (const auto& [file, column] : walk.Outputs()) {
      const auto [first, added] = writers.emplace(FoldPath(file), row);
      if (added || first->second == row) continue;
      PreflightFinding finding = RowFinding(tmpl, row, name, column, PreflightProblem::OutputShared);
      finding.prompt = u"Enter file name";
      finding.answer = file;
      finding.otherRow = first->second;
      report.findings.push_back(std::move(finding));
    }
  }
  if (sources.lane) {
    for (const int row : PlanLane(rows, rowIndices, tmpl).printerRows) {
      report.findings.push_back(RowFinding(tmpl, row, rows.CellText(row, nameColumn, kScriptPathCellSize), -1,
                                           PreflightProblem::FullAutoCad));
    }
  }
  if (!sources.endDrawing.empty() && sources.files && !rowIndices.empty()) {
    DirEntry entry;
    const bool found = sources.files->Find(sources.endDrawing, entry) && (entry.attributes & kAttributeDirectory) == 0;
    const bool opens = found && HasDrawingExtension(sources.endDrawing) &&
                       (!sources.fileStart || OpensAsDrawing(sources.endDrawing, sources.fileStart(sources.endDrawing)));
    if (!opens) {
      PreflightFinding finding;
      finding.row = -1;
      finding.prompt = kOpenPrompt;
      finding.answer = sources.endDrawing;
      finding.problem = PreflightProblem::EndDrawing;
      report.findings.push_back(std::move(finding));
    }
  }
  return report;
}

void SelectListedRows(RowStore& rows, const PreflightReport& report) {
  const std::vector<int> listed = report.Rows();
  const int count = rows.RowCount();
  for (int row = 0; row < count; ++row) {
    rows.SetMarks(row, std::binary_search(listed.begin(), listed.end(), row));
  }
}

}  // namespace tovrel
