// The AutoCAD stand-in's script interpreter: fed the lines of a script one
// by one, it does what AutoCAD would do with the commands Tovrel's scripts
// use and records what happened.
//
// Commands (case-insensitive, with optional "_" and "." prefixes):
//   open    asks "Enter name of drawing to open"; the drawing (in double
//           quotes when it holds blanks) becomes the current drawing when
//           the file exists, otherwise an error is recorded and the current
//           drawing stays;
//   -plot   the command-line plot, prompt by prompt (plot_command.h); a
//           complete sequence records one "plot" (or "cancelled" when the
//           last answer is No) of the current drawing;
//   quit, exit  end the script; later lines are ignored.
// Anything else at the command prompt is recorded as an unknown command.
// A blank line at the command prompt repeats the last command, as in
// AutoCAD. Trailing blanks of a line are ignored; elsewhere a blank ends a
// command word or keyword, as Enter does.
//
// An answer that does not fit its prompt is recorded as an error naming the
// prompt; the plot is dropped and the following lines are skipped up to the
// next line that starts with open, -plot or quit (AutoCAD would ask again and
// go on taking the following lines as answers).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "plot_command.h"
#include "standin_record.h"

namespace tovrel::standin {

class Interpreter {
public:
  using FileExists = std::function<bool(const std::u16string& path)>;

  explicit Interpreter(FileExists fileExists);

  // One script line, without its line end.
  void FeedLine(std::u16string_view line);
  // The script has no more lines: records an error when a command still
  // waits for an answer, then the "end" record. Only the first call counts.
  void EndOfScript();
  // A problem outside the script's commands (no script, unreadable script,
  // wrong encoding): recorded and counted as an error.
  void ReportProblem(std::u16string_view what, std::u16string_view message) {
    RecordError(what, u"", message);
  }

  bool HasQuit() const { return quit_; }
  int Plots() const { return plots_; }
  int Errors() const { return errors_; }
  const std::u16string& CurrentDrawing() const { return drawing_; }

  // The records made since the last call, oldest first.
  std::vector<Record> TakeRecords();

private:
  enum class State { Command, OpenName, Plotting, Resync, Quit };
  enum class Last { None, Open, Plot };

  std::u16string TakeAnswer();
  void Dispatch(std::u16string_view answer);
  void RunCommand(std::u16string_view word, Last command);
  void Open(std::u16string_view path);
  void PlotAnswer(std::u16string_view answer);
  void RecordError(std::u16string_view prompt, std::u16string_view answer,
                   std::u16string_view message);
  Record NewRecord(const char* type, int line) const;

  FileExists fileExists_;
  State state_ = State::Command;
  Last last_ = Last::None;
  PlotCommand plot_;
  int plotLine_ = 0;
  std::u16string drawing_ = u"Drawing1.dwg";  // AutoCAD starts with a new drawing
  std::u16string pending_;  // the part of the current line not yet taken
  int line_ = 0;
  int plots_ = 0;
  int errors_ = 0;
  int ignoredLines_ = 0;
  bool quit_ = false;
  bool ended_ = false;
  std::vector<Record> records_;
};

}  // namespace tovrel::standin
