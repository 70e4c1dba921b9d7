// The AutoCAD stand-in's script interpreter: fed the lines of a script one
// by one, it does what AutoCAD would do with them (script_walk.h: the
// command prompt, OPEN, the command-line plot, QUIT) and records what
// happened. It is as strict as AutoCAD:
//   - an answer a prompt does not take is recorded as an error and the same
//     prompt is asked again, so the following lines answer it;
//   - a paper is checked against the papers of the devices whose papers it
//     knows (plot_prompts.h); unknown devices take any paper;
//   - text at the command prompt that is no command is an unknown command;
//   - a script that ends without QUIT leaves AutoCAD waiting, inside a
//     command or at the command prompt: that is recorded as "hang" and the
//     program around the interpreter waits until it is ended from outside.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "script/script_walk.h"
#include "standin_record.h"

namespace tovrel::standin {

class Interpreter : private ScriptWalkEvents {
public:
  using FileExists = std::function<bool(const std::u16string& path)>;

  explicit Interpreter(FileExists fileExists);

  // The Core Console's start: opens the drawing given with "/i" before the
  // script. A drawing that is not there is an error, and the console then
  // ends without reading the script (Skipped() is true). At the end of its
  // script the console ends at the command prompt without QUIT; inside a
  // command it waits, as AutoCAD does.
  void StartConsole(std::u16string_view drawing);
  bool Skipped() const { return skipped_; }

  // One script line, without its line end.
  void FeedLine(std::u16string_view line);
  // The script has no more lines: the "end" record after QUIT, otherwise
  // the "hang" record (Hangs() is then true). Only the first call counts.
  void EndOfScript();
  // A problem outside the script's commands (no script, unreadable script,
  // wrong encoding): recorded and counted as an error.
  void ReportProblem(std::u16string_view what, std::u16string_view message) {
    RecordError(what, u"", message);
  }

  bool HasQuit() const { return walker_.HasQuit(); }
  bool Hangs() const { return hangs_; }
  int Plots() const { return plots_; }
  int Errors() const { return errors_; }
  const std::u16string& CurrentDrawing() const { return walker_.Drawing(); }

  // The records made since the last call, oldest first.
  std::vector<Record> TakeRecords();
  // The files the plots since the last call write (plot_output.h), in order.
  std::vector<std::u16string> TakeOutputs();

private:
  bool OpenDrawing(std::u16string_view path) override;
  void Opened() override;
  void Refused(std::u16string_view prompt, std::u16string_view answer,
               std::u16string_view why) override;
  void PlotEnded(const PlotPrompts& plot) override;

  void RecordError(std::u16string_view prompt, std::u16string_view answer,
                   std::u16string_view message);
  Record NewRecord(const char* type, int line) const;

  FileExists fileExists_;
  ScriptWalker walker_;
  int plots_ = 0;
  int errors_ = 0;
  bool ended_ = false;
  bool hangs_ = false;
  bool console_ = false;
  bool skipped_ = false;
  std::vector<Record> records_;
  std::vector<std::u16string> outputs_;
};

}  // namespace tovrel::standin
