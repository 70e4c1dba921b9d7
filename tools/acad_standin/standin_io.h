// The AutoCAD stand-in's dealings with its command line, its script file and
// its journal, kept portable so that they are tested natively.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovrel::standin {

// The script named after "/b" (or "-b", any case) in a command line such as
// ` /b "C:\tmp\plot.scr"` (as Tovrel starts AutoCAD: program name not part
// of it) or `acad_standin.exe /b C:\tmp\plot.scr`. A quoted name ends at
// its closing quote; an unquoted one is the rest of the line without
// trailing blanks, so it may hold blanks too. Nothing when there is no /b
// or no name after it.
std::optional<std::u16string> ScriptPathFromCommandLine(std::u16string_view commandLine);

// The Core Console's command line, `/i "<drawing>" /s "<script>" /l
// <language>`: switches begin with '/' or '-', any case; a value may stand
// in double quotes; `/isolate` and unknown switches are ignored. `console`
// is true when "/i" or "/s" is given.
struct ConsoleCommandLine {
  bool console = false;
  std::u16string drawing;
  std::u16string script;
  std::u16string language;
};
ConsoleCommandLine ParseConsoleCommandLine(std::u16string_view commandLine);

struct DecodedScript {
  std::vector<std::u16string> lines;  // without line ends (CRLF, LF)
  std::u16string problem;             // empty for UTF-16LE with byte-order mark
};

// A script as AutoCAD is given it by Tovrel: UTF-16LE after the bytes FF FE.
// Anything else is read as UTF-8 and reported as a problem.
DecodedScript DecodeScript(std::string_view bytes);

// `journalVariable` when it is not empty (TOVREL_STANDIN_JOURNAL), otherwise
// "acad_journal.jsonl" in the script's folder.
std::u16string JournalPath(std::u16string_view scriptPath, std::u16string_view journalVariable);

// TOVREL_STANDIN_DELAY_MS: decimal milliseconds, 0 when empty or not a
// number, at most 600000.
int ParseDelayMs(std::u16string_view text);
// TOVREL_STANDIN_WORK_MS: the milliseconds of CPU each plot costs, read as
// the delay is.
inline int ParseWorkMs(std::u16string_view text) { return ParseDelayMs(text); }

}  // namespace tovrel::standin
