#include "standin_io.h"

#include "storage/text_codec.h"

namespace tovrel::standin {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

bool IsSwitchB(std::u16string_view token) {
  return token.size() == 2 && (token[0] == u'/' || token[0] == u'-') &&
         (token[1] == u'b' || token[1] == u'B');
}

// The blank-separated tokens of a command line, a quoted part kept in one
// token with its quotes removed.
std::vector<std::u16string> Tokens(std::u16string_view line) {
  std::vector<std::u16string> tokens;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size()) break;
    std::u16string token;
    bool quoted = false;
    for (; i < line.size() && (quoted || !IsBlank(line[i])); ++i) {
      if (line[i] == u'"') {
        quoted = !quoted;
      } else {
        token += line[i];
      }
    }
    tokens.push_back(std::move(token));
  }
  return tokens;
}

std::u16string Lowered(std::u16string_view text) {
  std::u16string lowered(text);
  for (char16_t& c : lowered) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return lowered;
}

}  // namespace

ConsoleCommandLine ParseConsoleCommandLine(std::u16string_view commandLine) {
  ConsoleCommandLine parsed;
  const std::vector<std::u16string> tokens = Tokens(commandLine);
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const std::u16string& token = tokens[i];
    if (token.size() < 2 || (token[0] != u'/' && token[0] != u'-')) continue;
    const std::u16string name = Lowered(std::u16string_view(token).substr(1));
    std::u16string* value = name == u"i" ? &parsed.drawing
                            : name == u"s" ? &parsed.script
                            : name == u"l" ? &parsed.language
                                           : nullptr;
    if (!value || i + 1 >= tokens.size()) continue;
    *value = tokens[++i];
    if (name != u"l") parsed.console = true;
  }
  return parsed;
}

std::optional<std::u16string> ScriptPathFromCommandLine(std::u16string_view line) {
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size()) break;
    // One token: a quoted part counts as one piece of it.
    const std::size_t start = i;
    bool quoted = false;
    while (i < line.size() && (quoted || !IsBlank(line[i]))) {
      if (line[i] == u'"') quoted = !quoted;
      ++i;
    }
    if (!IsSwitchB(line.substr(start, i - start))) continue;
    while (i < line.size() && IsBlank(line[i])) ++i;
    std::u16string_view rest = line.substr(i);
    if (!rest.empty() && rest.front() == u'"') {
      rest.remove_prefix(1);
      rest = rest.substr(0, rest.find(u'"'));
    } else {
      while (!rest.empty() && IsBlank(rest.back())) rest.remove_suffix(1);
    }
    if (rest.empty()) return std::nullopt;
    return std::u16string(rest);
  }
  return std::nullopt;
}

DecodedScript DecodeScript(std::string_view bytes) {
  DecodedScript script;
  std::u16string text;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    text = Utf16LeBytesToText(bytes.substr(2));
  } else {
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    script.problem = u"the script does not begin with the UTF-16LE byte-order mark FF FE; "
                     u"read as UTF-8";
    text = Utf8ToUtf16(bytes);
  }
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(u'\n', start);
    if (end == text.npos) end = text.size();
    std::u16string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == u'\r') line.pop_back();
    script.lines.push_back(std::move(line));
    start = end + 1;
  }
  return script;
}

std::u16string JournalPath(std::u16string_view scriptPath, std::u16string_view journalVariable) {
  if (!journalVariable.empty()) return std::u16string(journalVariable);
  const std::size_t slash = scriptPath.find_last_of(u"\\/");
  std::u16string path(slash == scriptPath.npos ? std::u16string_view()
                                               : scriptPath.substr(0, slash + 1));
  return path + u"acad_journal.jsonl";
}

int ParseDelayMs(std::u16string_view text) {
  constexpr int kMaxDelay = 600000;
  int value = 0;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') return 0;
    value = value * 10 + (c - u'0');
    if (value > kMaxDelay) value = kMaxDelay;
  }
  return value;
}

}  // namespace tovrel::standin
