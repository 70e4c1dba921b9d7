#include "script/plot_output.h"

#include "script/script_walk.h"

namespace tovrel {

namespace {

bool IsAbsolute(std::u16string_view path) {
  return (path.size() >= 2 && path[1] == u':') || (!path.empty() && (path[0] == u'\\' || path[0] == u'/'));
}

std::u16string FolderOf(std::u16string_view path) {
  const std::size_t slash = path.find_last_of(u"\\/");
  return slash == std::u16string_view::npos ? std::u16string() : std::u16string(path.substr(0, slash + 1));
}

// Every drawing the row opens is taken to exist: the run checks drawings
// before it starts AutoCAD.
class OutputCollector final : public ScriptWalkEvents {
public:
  std::vector<std::u16string> files;
  const ScriptWalker* walker = nullptr;

  bool OpenDrawing(std::u16string_view) override { return true; }
  void Refused(std::u16string_view, std::u16string_view, std::u16string_view) override {}
  void PlotEnded(const PlotPrompts& plot) override {
    if (!plot.Proceeds()) return;
    std::u16string file = PlotOutputPath(walker->Drawing(), plot);
    if (!file.empty()) files.push_back(std::move(file));
  }
};

}  // namespace

std::u16string PlotOutputPath(std::u16string_view drawing, const PlotPrompts& plot) {
  if (!plot.Flag("to_file")) return {};
  std::u16string file = plot.Text("file");
  if (file.size() >= 2 && file.front() == u'"' && file.back() == u'"') file = file.substr(1, file.size() - 2);
  if (file.empty()) return DefaultPlotFileName(drawing, plot.Text("layout"), plot.Text("device"));
  return IsAbsolute(file) ? file : FolderOf(drawing) + file;
}

std::vector<std::u16string> RowOutputFiles(const std::vector<ScriptLine>& lines) {
  OutputCollector collector;
  ScriptWalker walker(collector);
  collector.walker = &walker;
  for (const ScriptLine& line : lines) walker.FeedLine(line.text);
  return collector.files;
}

}  // namespace tovrel
