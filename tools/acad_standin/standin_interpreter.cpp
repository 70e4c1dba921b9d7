#include "standin_interpreter.h"

#include <utility>

namespace tovrel::standin {
namespace {

constexpr std::u16string_view kOpenPrompt = u"Enter name of drawing to open";
constexpr std::u16string_view kCommandPrompt = u"Command";

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

bool IsQuit(std::u16string_view name) { return name == u"quit" || name == u"exit"; }

std::u16string_view FirstWord(std::u16string_view line) {
  return line.substr(0, line.find(u' '));
}

// Lines that begin a new sequence, where reading resumes after an error.
bool StartsSequence(std::u16string_view line) {
  const std::u16string name = CommandName(FirstWord(line));
  return name == u"open" || name == u"-plot" || IsQuit(name);
}

}  // namespace

Interpreter::Interpreter(FileExists fileExists) : fileExists_(std::move(fileExists)) {}

std::vector<Record> Interpreter::TakeRecords() { return std::exchange(records_, {}); }

Record Interpreter::NewRecord(const char* type, int line) const {
  Record record;
  record.type = type;
  record.Set("line", static_cast<std::int64_t>(line));
  record.Set("drawing", drawing_);
  return record;
}

void Interpreter::FeedLine(std::u16string_view line) {
  ++line_;
  if (ended_ || state_ == State::Quit) {
    ++ignoredLines_;
    return;
  }
  while (!line.empty() && (line.back() == u' ' || line.back() == u'\t' || line.back() == u'\r')) {
    line.remove_suffix(1);
  }
  if (state_ == State::Resync) {
    if (!StartsSequence(line)) return;
    state_ = State::Command;
  }
  pending_.assign(line);
  // Every line gives at least one answer (a blank line is Enter); a blank
  // inside the line ends one answer and the rest goes on to the next prompt.
  do {
    Dispatch(TakeAnswer());
  } while (!pending_.empty() && state_ != State::Quit && state_ != State::Resync);
  pending_.clear();
}

std::u16string Interpreter::TakeAnswer() {
  std::u16string answer;
  const bool text = state_ == State::Plotting && plot_.Kind() == AnswerKind::Text;
  if (text) {
    answer = std::move(pending_);
    pending_.clear();
    return answer;
  }
  std::size_t end;
  if (state_ == State::OpenName && !pending_.empty() && pending_.front() == u'"') {
    // A quoted file name may hold blanks; the quotes are not part of it.
    const std::size_t close = pending_.find(u'"', 1);
    answer = pending_.substr(1, close == pending_.npos ? close : close - 1);
    end = close == pending_.npos ? pending_.size() : close + 1;
    if (end < pending_.size() && pending_[end] == u' ') ++end;
  } else {
    const std::size_t blank = pending_.find(u' ');
    answer = pending_.substr(0, blank);
    end = blank == pending_.npos ? pending_.size() : blank + 1;
  }
  pending_.erase(0, end);
  return answer;
}

void Interpreter::Dispatch(std::u16string_view answer) {
  switch (state_) {
    case State::Command:
      if (!answer.empty()) {
        RunCommand(answer, Last::None);
      } else if (last_ != Last::None) {
        RunCommand(u"", last_);  // Enter repeats the last command
      }
      return;
    case State::OpenName: Open(answer); return;
    case State::Plotting: PlotAnswer(answer); return;
    case State::Resync:
    case State::Quit: return;
  }
}

void Interpreter::RunCommand(std::u16string_view word, Last command) {
  const std::u16string name = CommandName(word);
  if (command == Last::Open || name == u"open") {
    last_ = Last::Open;
    state_ = State::OpenName;
  } else if (command == Last::Plot || name == u"-plot") {
    last_ = Last::Plot;
    plot_ = PlotCommand();
    plotLine_ = line_;
    state_ = State::Plotting;
  } else if (IsQuit(name)) {
    quit_ = true;
    state_ = State::Quit;
  } else {
    RecordError(kCommandPrompt, word, u"unknown command");
  }
}

void Interpreter::Open(std::u16string_view path) {
  state_ = State::Command;
  if (path.empty()) {
    RecordError(kOpenPrompt, path, u"no drawing name given");
    return;
  }
  const std::u16string file(path);
  if (!fileExists_ || !fileExists_(file)) {
    RecordError(kOpenPrompt, path, u"drawing not found");
    return;
  }
  drawing_ = file;
  records_.push_back(NewRecord("open", line_));
}

void Interpreter::PlotAnswer(std::u16string_view answer) {
  const std::u16string prompt = plot_.Prompt();
  const std::u16string error = plot_.Answer(answer);
  if (!error.empty()) {
    RecordError(prompt, answer, error);
    state_ = State::Resync;
    return;
  }
  if (!plot_.Done()) return;
  state_ = State::Command;
  Record record = NewRecord(plot_.Proceeds() ? "plot" : "cancelled", plotLine_);
  for (const auto& [name, value] : plot_.Settings().fields) record.Set(name, value);
  if (plot_.Proceeds()) ++plots_;
  records_.push_back(std::move(record));
}

void Interpreter::RecordError(std::u16string_view prompt, std::u16string_view answer,
                              std::u16string_view message) {
  ++errors_;
  Record record = NewRecord("error", line_);
  record.Set("prompt", std::u16string(prompt));
  record.Set("answer", std::u16string(answer));
  record.Set("message", std::u16string(message));
  records_.push_back(std::move(record));
}

void Interpreter::EndOfScript() {
  if (ended_) return;
  if (state_ == State::OpenName) {
    RecordError(kOpenPrompt, u"", u"the script ended before this answer");
  } else if (state_ == State::Plotting) {
    RecordError(plot_.Prompt(), u"", u"the script ended before this answer");
  }
  Record record;
  record.type = "end";
  record.Set("lines", static_cast<std::int64_t>(line_));
  record.Set("reason", std::u16string(quit_ ? u"quit" : u"end of script"));
  record.Set("plots", static_cast<std::int64_t>(plots_));
  record.Set("errors", static_cast<std::int64_t>(errors_));
  record.Set("ignored_lines", static_cast<std::int64_t>(ignoredLines_));
  records_.push_back(std::move(record));
  ended_ = true;
  if (state_ != State::Quit) state_ = State::Command;
}

}  // namespace tovrel::standin
