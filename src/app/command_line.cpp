#include "app/command_line.h"

#include <cstdint>

namespace tovrel {

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

std::u16string Lowered(std::u16string_view text) {
  std::u16string out;
  for (const char16_t c : text) out += Lower(c);
  return out;
}

bool IsSwitch(std::u16string_view argument) {
  return argument.size() > 1 && (argument.front() == u'/' || argument.front() == u'-');
}

// "1" to "20", nothing else (no sign, no blanks, no leading zero).
int TemplateNumber(std::u16string_view value) {
  if (value.empty() || value.size() > 2 || value.front() == u'0') return 0;
  int number = 0;
  for (const char16_t c : value) {
    if (c < u'0' || c > u'9') return 0;
    number = number * 10 + (c - u'0');
  }
  return number <= 20 ? number : 0;
}

bool ModeOf(std::u16string_view value, LaunchMode& mode) {
  const std::u16string name = Lowered(value);
  if (name == u"all") {
    mode = LaunchMode::All;
  } else if (name == u"selected") {
    mode = LaunchMode::Selected;
  } else if (name == u"perrow") {
    mode = LaunchMode::PerRow;
  } else if (name == u"parallel") {
    mode = LaunchMode::Parallel;
  } else {
    return false;
  }
  return true;
}

LaunchRequest Failure(LaunchRequest request, CommandLineError error, std::u16string_view argument) {
  request.error = error;
  request.errorArgument = std::u16string(argument);
  return request;
}

// The switches that belong to one action only.
bool RunOnly(std::u16string_view name) { return name == u"mode" || name == u"anyway" || name == u"exit"; }
bool CheckOnly(std::u16string_view name) { return name == u"out"; }

}  // namespace

std::vector<std::u16string> SplitArguments(std::u16string_view line) {
  std::vector<std::u16string> arguments;
  std::size_t i = 0;
  while (true) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size()) break;
    std::u16string argument;
    bool quoted = false;
    while (i < line.size() && (quoted || !IsBlank(line[i]))) {
      std::size_t slashes = 0;
      while (i < line.size() && line[i] == u'\\') ++slashes, ++i;
      if (i < line.size() && line[i] == u'"') {
        // 2n backslashes and a quote: n backslashes, and the quote groups;
        // 2n+1: n backslashes and a quote of the argument.
        argument.append(slashes / 2, u'\\');
        if (slashes % 2 == 1) {
          argument += u'"';
        } else if (quoted && i + 1 < line.size() && line[i + 1] == u'"') {
          argument += u'"';  // "" inside quotes is one quote
          ++i;
        } else {
          quoted = !quoted;
        }
        ++i;
      } else {
        argument.append(slashes, u'\\');
        if (i < line.size() && (quoted || !IsBlank(line[i]))) argument += line[i++];
      }
    }
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

LaunchRequest ParseArguments(const std::vector<std::u16string>& arguments) {
  LaunchRequest request;
  // The usage is shown whatever else the line holds; whether anyone waits
  // at the screen is known even when a switch before /exit is wrong.
  for (const std::u16string& argument : arguments) {
    const std::u16string name = IsSwitch(argument) ? Lowered(std::u16string_view(argument).substr(1)) : u"";
    if (name == u"?" || name == u"h" || name == u"help") {
      request.action = LaunchAction::Usage;
      return request;
    }
    if (name == u"exit") request.exitAtEnd = true;
    if (request.action == LaunchAction::Window && name == u"run") request.action = LaunchAction::Run;
    if (request.action == LaunchAction::Window && name == u"check") request.action = LaunchAction::Check;
  }
  std::vector<std::u16string> positional;
  std::vector<std::u16string> runOnly, checkOnly;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::u16string& argument = arguments[i];
    if (!IsSwitch(argument)) {
      positional.push_back(argument);
      continue;
    }
    const std::u16string name = Lowered(std::u16string_view(argument).substr(1));
    if (RunOnly(name)) runOnly.push_back(argument);
    if (CheckOnly(name)) checkOnly.push_back(argument);
    LaunchAction action = LaunchAction::Window;
    if (name == u"run") action = LaunchAction::Run;
    if (name == u"check") action = LaunchAction::Check;
    if (action != LaunchAction::Window) {
      if (request.action != LaunchAction::Window && request.action != action) {
        return Failure(request, CommandLineError::ExtraArgument, argument);
      }
      request.action = action;
      continue;
    }
    if (name == u"anyway") {
      request.anyway = true;
      continue;
    }
    if (name == u"exit") {
      request.exitAtEnd = true;
      continue;
    }
    if (name != u"mode" && name != u"template" && name != u"out") {
      return Failure(request, CommandLineError::UnknownSwitch, argument);
    }
    // A switch that takes a value: the next argument, which is no switch.
    if (i + 1 >= arguments.size() || IsSwitch(arguments[i + 1])) {
      return Failure(request, CommandLineError::MissingValue, argument);
    }
    const std::u16string& value = arguments[++i];
    if (name == u"mode" && !ModeOf(value, request.mode)) {
      return Failure(request, CommandLineError::BadValue, value);
    }
    if (name == u"template" && (request.templateNumber = TemplateNumber(value)) == 0) {
      return Failure(request, CommandLineError::BadValue, value);
    }
    if (name == u"out") {
      if (value.empty()) return Failure(request, CommandLineError::MissingValue, argument);
      request.out = value;
    }
  }
  if (request.action == LaunchAction::Window) {
    if (!arguments.empty()) return Failure(request, CommandLineError::NoAction, arguments.front());
    return request;
  }
  if (request.action == LaunchAction::Run && !checkOnly.empty()) {
    return Failure(request, CommandLineError::WrongAction, checkOnly.front());
  }
  if (request.action == LaunchAction::Check && !runOnly.empty()) {
    return Failure(request, CommandLineError::WrongAction, runOnly.front());
  }
  if (positional.size() > 1) return Failure(request, CommandLineError::ExtraArgument, positional[1]);
  if (!positional.empty()) request.list = positional.front();
  if (request.action == LaunchAction::Check && request.list.empty()) {
    return Failure(request, CommandLineError::ListRequired, u"/check");
  }
  return request;
}

int RunExitCode(const std::vector<RunRecord>& records) {
  int plotted = 0;
  bool autocadMissing = false;
  for (const RunRecord& record : records) {
    if (record.result == RowResult::Plotted) ++plotted;
    if (record.reason == FailReason::CouldNotStart) autocadMissing = true;
  }
  if (autocadMissing && plotted == 0) return kExitCouldNotStart;
  return !records.empty() && plotted == static_cast<int>(records.size()) ? kExitAllPlotted : kExitSomeNotPlotted;
}

std::u16string InstanceMutexName(std::u16string_view workingFolder) {
  while (!workingFolder.empty() && (workingFolder.back() == u'\\' || workingFolder.back() == u'/')) {
    workingFolder.remove_suffix(1);
  }
  // FNV-1a over the folder in upper case: a mutex name holds no backslash
  // and at most MAX_PATH characters, a path may hold both.
  std::uint64_t hash = 14695981039346656037ull;
  for (char16_t c : workingFolder) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    if (c == u'/') c = u'\\';
    hash = (hash ^ c) * 1099511628211ull;
  }
  std::u16string name = u"Global\\Tovrel-";
  for (int shift = 60; shift >= 0; shift -= 4) name += u"0123456789abcdef"[(hash >> shift) & 0xF];
  return name;
}

}  // namespace tovrel
