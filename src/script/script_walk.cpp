#include "script/script_walk.h"

#include <utility>

namespace tovrel {
namespace {

char16_t LowerAscii(char16_t c) {
  return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// "_.-PLOT" -> "-plot": the language-independent "_" and the built-in "."
// prefixes dropped, ASCII letters lowered.
std::u16string CommandName(std::u16string_view word) {
  while (!word.empty() && (word.front() == u'_' || word.front() == u'.')) word.remove_prefix(1);
  std::u16string name(word);
  for (char16_t& c : name) c = LowerAscii(c);
  return name;
}

}  // namespace

ScriptWalker::ScriptWalker(ScriptWalkEvents& events, PlotPrompts::PaperCheck paperCheck)
    : events_(events), paperCheck_(std::move(paperCheck)), plot_(paperCheck_) {}

std::u16string ScriptWalker::WaitingPrompt() const {
  switch (state_) {
    case Where::OpenName: return kOpenPrompt;
    case Where::Plotting: return plot_.Prompt();
    case Where::Command:
    case Where::Quit: break;
  }
  return kCommandPromptName;
}

void ScriptWalker::FeedLine(std::u16string_view line) {
  ++line_;
  if (state_ == Where::Quit) {
    ++ignored_;
    return;
  }
  // AutoCAD's script reader drops a line that starts with ";" before any
  // prompt sees it: a comment, whatever is waiting.
  if (!line.empty() && line.front() == u';') return;
  // Every line gives at least one answer (its line end is Enter); a blank
  // before a keyword's end is Enter too, and the rest answers the next prompt.
  while (state_ != Where::Quit) {
    const bool name = state_ == Where::OpenName ||
                      (state_ == Where::Plotting && plot_.Kind() == AnswerKind::Name);
    const std::size_t blank = name ? line.npos : line.find(u' ');
    if (blank == line.npos) {
      Dispatch(line);
      return;
    }
    Dispatch(line.substr(0, blank));
    line.remove_prefix(blank + 1);
  }
}

void ScriptWalker::Dispatch(std::u16string_view answer) {
  switch (state_) {
    case Where::Command:
      if (!answer.empty()) {
        RunCommand(answer);
      } else {
        events_.EnterAtCommandPrompt();
        if (last_ != Last::None) Start(last_);  // Enter repeats the last command
      }
      return;
    case Where::OpenName: Open(answer); return;
    case Where::Plotting: PlotAnswer(answer); return;
    case Where::Quit: return;
  }
}

void ScriptWalker::RunCommand(std::u16string_view word) {
  const std::u16string name = CommandName(word);
  if (name == u"open") {
    Start(Last::Open);
  } else if (name == u"-plot") {
    Start(Last::Plot);
  } else if (name == u"quit" || name == u"exit") {
    state_ = Where::Quit;
  } else {
    events_.Refused(kCommandPromptName, word, u"unknown command");
  }
}

void ScriptWalker::Start(Last command) {
  last_ = command;
  if (command == Last::Open) {
    state_ = Where::OpenName;
    return;
  }
  plot_ = PlotPrompts(paperCheck_);
  plotLine_ = line_;
  state_ = Where::Plotting;
}

void ScriptWalker::Open(std::u16string_view answer) {
  state_ = Where::Command;
  if (answer.size() >= 2 && answer.front() == u'"' && answer.back() == u'"') {
    answer = answer.substr(1, answer.size() - 2);
  }
  if (answer.empty()) {
    events_.Refused(kOpenPrompt, answer, u"no drawing name given");
    return;
  }
  if (!events_.OpenDrawing(answer)) {
    events_.Refused(kOpenPrompt, answer, u"drawing not found");
    return;
  }
  drawing_.assign(answer);
  events_.Opened();
}

void ScriptWalker::PlotAnswer(std::u16string_view answer) {
  const PlotStep step = plot_.Step();
  const std::u16string prompt = plot_.Prompt();
  const std::u16string error = plot_.Answer(answer);
  if (!error.empty()) {
    events_.Refused(prompt, answer, error);
    return;
  }
  events_.Accepted(step, answer);
  if (!plot_.Done()) return;
  state_ = Where::Command;
  events_.PlotEnded(plot_);
}

}  // namespace tovrel
