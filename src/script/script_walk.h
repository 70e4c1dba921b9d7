// A script read as AutoCAD reads it, line by line: the command prompt, the
// OPEN command's file prompt and the command-line plot (plot_prompts.h).
// The AutoCAD stand-in runs scripts through it and the check before a run
// walks each row's lines through it.
//
// Reading a line: at the command prompt and at a keyword prompt a blank is
// Enter, so "_Y " answers two prompts ("_Y" and an empty answer); a name
// (drawing, layout, device, paper, plot style table, file) takes the rest of
// the line, blanks and all. The line end is Enter. A line that starts with
// ";" is a comment and answers nothing. An empty answer at the
// command prompt repeats the last command, as in AutoCAD. Commands are
// matched without case and with or without the "_" and "." prefixes:
//   OPEN        asks "Enter name of drawing to open"; the name may stand in
//               double quotes; a drawing that is not found leaves the
//               current one open;
//   -PLOT       the command-line plot, prompt by prompt;
//   QUIT, EXIT  end the script; later lines are not read.
// Anything else at the command prompt is an unknown command. An answer a
// prompt does not take is refused and the prompt is asked again: the next
// answer goes to the same prompt, so one stray line shifts all that follow.
#pragma once

#include <string>
#include <string_view>

#include "script/plot_prompts.h"

namespace tovrel {

inline constexpr char16_t kCommandPromptName[] = u"Command";
inline constexpr char16_t kOpenPrompt[] = u"Enter name of drawing to open";

class ScriptWalkEvents {
public:
  virtual ~ScriptWalkEvents() = default;
  // The drawing named at OPEN: true when it exists (it becomes the current drawing).
  virtual bool OpenDrawing(std::u16string_view path) = 0;
  // An opened drawing.
  virtual void Opened() {}
  // An answer a prompt did not take, an unknown command, a drawing not found.
  virtual void Refused(std::u16string_view prompt, std::u16string_view answer,
                       std::u16string_view why) = 0;
  // An empty answer at the command prompt: it repeats the last command.
  virtual void EnterAtCommandPrompt() {}
  // An answer a plot prompt took, with the step it answered.
  virtual void Accepted(PlotStep /*step*/, std::u16string_view /*answer*/) {}
  // A plot answered to its end.
  virtual void PlotEnded(const PlotPrompts& plot) = 0;
};

class ScriptWalker {
public:
  enum class Where { Command, OpenName, Plotting, Quit };

  explicit ScriptWalker(ScriptWalkEvents& events, PlotPrompts::PaperCheck paperCheck = {});

  // One script line, without its line end.
  void FeedLine(std::u16string_view line);
  // The drawing a program opens before the script's first line (the Core
  // Console's "/i"): as an OPEN of it, without a line of the script.
  void OpenGiven(std::u16string_view path) { Open(path); }

  Where State() const { return state_; }
  bool HasQuit() const { return state_ == Where::Quit; }
  // The prompt AutoCAD now waits at; "Command" at the command prompt.
  std::u16string WaitingPrompt() const;
  int LineNumber() const { return line_; }     // lines read, 1-based
  int PlotLine() const { return plotLine_; }   // the line of the last -PLOT
  int IgnoredLines() const { return ignored_; }
  // The current drawing; AutoCAD starts with a new, unsaved one.
  const std::u16string& Drawing() const { return drawing_; }
  const PlotPrompts& Plot() const { return plot_; }

private:
  enum class Last { None, Open, Plot };
  void Dispatch(std::u16string_view answer);
  void RunCommand(std::u16string_view word);
  void Start(Last command);
  void Open(std::u16string_view answer);
  void PlotAnswer(std::u16string_view answer);

  ScriptWalkEvents& events_;
  PlotPrompts::PaperCheck paperCheck_;
  Where state_ = Where::Command;
  Last last_ = Last::None;
  PlotPrompts plot_;
  std::u16string drawing_ = u"Drawing1.dwg";
  int line_ = 0;
  int plotLine_ = 0;
  int ignored_ = 0;
};

}  // namespace tovrel
