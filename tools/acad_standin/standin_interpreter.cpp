#include "standin_interpreter.h"

#include <utility>

#include "script/plot_output.h"

namespace tovrel::standin {

Interpreter::Interpreter(FileExists fileExists)
    : fileExists_(std::move(fileExists)), walker_(*this, KnownDeviceOffersPaper) {}

std::vector<Record> Interpreter::TakeRecords() { return std::exchange(records_, {}); }

std::vector<std::u16string> Interpreter::TakeOutputs() { return std::exchange(outputs_, {}); }

Record Interpreter::NewRecord(const char* type, int line) const {
  Record record;
  record.type = type;
  record.Set("line", static_cast<std::int64_t>(line));
  record.Set("drawing", walker_.Drawing());
  return record;
}

void Interpreter::StartConsole(std::u16string_view drawing) {
  console_ = true;
  walker_.OpenGiven(drawing);
  skipped_ = walker_.Drawing() != drawing;
}

void Interpreter::FeedLine(std::u16string_view line) {
  if (ended_ || skipped_) return;
  walker_.FeedLine(line);
}

bool Interpreter::OpenDrawing(std::u16string_view path) {
  return fileExists_ && fileExists_(std::u16string(path));
}

void Interpreter::Opened() { records_.push_back(NewRecord("open", walker_.LineNumber())); }

void Interpreter::Refused(std::u16string_view prompt, std::u16string_view answer,
                          std::u16string_view why) {
  RecordError(prompt, answer, why);
}

void Interpreter::PlotEnded(const PlotPrompts& plot) {
  Record record = NewRecord(plot.Proceeds() ? "plot" : "cancelled", walker_.PlotLine());
  for (const auto& [name, value] : plot.Fields()) {
    if (const auto* text = std::get_if<std::u16string>(&value)) {
      record.Set(name, *text);
    } else {
      record.Set(name, std::get<bool>(value));
    }
  }
  // Enter at "Enter file name" keeps AutoCAD's default name.
  if (plot.Flag("to_file") && plot.Text("file").empty()) {
    record.Set("file", DefaultPlotFileName(walker_.Drawing(), plot.Text("layout"), plot.Text("device")));
  }
  if (plot.Proceeds()) {
    ++plots_;
    std::u16string output = PlotOutputPath(walker_.Drawing(), plot);
    if (!output.empty()) outputs_.push_back(std::move(output));
  }
  records_.push_back(std::move(record));
}

void Interpreter::RecordError(std::u16string_view prompt, std::u16string_view answer,
                              std::u16string_view message) {
  ++errors_;
  Record record = NewRecord("error", walker_.LineNumber());
  record.Set("prompt", std::u16string(prompt));
  record.Set("answer", std::u16string(answer));
  record.Set("message", std::u16string(message));
  records_.push_back(std::move(record));
}

void Interpreter::EndOfScript() {
  if (ended_) return;
  ended_ = true;
  Record record;
  // The Core Console ends with its script, at the command prompt.
  const bool ends = walker_.HasQuit() || skipped_ ||
                    (console_ && walker_.State() == ScriptWalker::Where::Command);
  record.type = ends ? "end" : "hang";
  if (ends) {
    record.Set("lines", static_cast<std::int64_t>(walker_.LineNumber()));
    record.Set("reason", std::u16string(walker_.HasQuit() ? u"quit"
                                        : skipped_        ? u"drawing not found"
                                                          : u"end of script"));
  } else {
    // AutoCAD waits for the next answer, which never comes.
    hangs_ = true;
    record.Set("line", static_cast<std::int64_t>(walker_.LineNumber()));
    record.Set("drawing", walker_.Drawing());
    record.Set("prompt", walker_.WaitingPrompt());
    record.Set("lines", static_cast<std::int64_t>(walker_.LineNumber()));
  }
  record.Set("plots", static_cast<std::int64_t>(plots_));
  record.Set("errors", static_cast<std::int64_t>(errors_));
  record.Set("ignored_lines", static_cast<std::int64_t>(walker_.IgnoredLines()));
  records_.push_back(std::move(record));
}

}  // namespace tovrel::standin
