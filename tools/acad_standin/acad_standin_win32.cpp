// The AutoCAD stand-in: started as AutoCAD is, with " /b \"<script>\"", it
// runs the script through the portable interpreter, appends its records to
// the journal and exits 0 after QUIT. It shows no window. A script that
// ends without QUIT leaves it waiting, as AutoCAD would be. Started as the
// Core Console is, with "/i \"<drawing>\" /s \"<script>\"", it opens the
// drawing first and ends with the script.
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>

#include "standin_interpreter.h"
#include "standin_io.h"
#include "standin_record.h"
#include "storage/file_io.h"

namespace {

using tovrel::standin::Record;

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

std::u16string U(const wchar_t* s) { return s ? std::u16string(reinterpret_cast<const char16_t*>(s)) : u""; }

std::u16string Environment(const wchar_t* name) {
  wchar_t buffer[1024];
  const DWORD n = GetEnvironmentVariableW(name, buffer, 1024);
  return (n == 0 || n >= 1024) ? std::u16string() : U(buffer);
}

// UTC, as 2024-05-01T09:30:00.125Z.
std::string TimeStamp() {
  SYSTEMTIME t;
  GetSystemTime(&t);
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u.%03uZ", t.wYear, t.wMonth,
                t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
  return text;
}

// Appends one line per record; the file is opened for each record so that
// a reader sees every record as soon as it is made.
class Journal {
public:
  explicit Journal(std::u16string path) : path_(std::move(path)) {}
  void Append(const Record& record) const {
    const HANDLE file = CreateFileW(W(path_), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::string line = tovrel::standin::ToJsonLine(record, TimeStamp()) + "\n";
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
  }

private:
  std::u16string path_;
};

// CPU time this thread has used, in milliseconds.
ULONGLONG ThreadCpuMs() {
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
  const auto ms = [](const FILETIME& t) {
    return ((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000;
  };
  return ms(kernel) + ms(user);
}

// Plotting costs processor time: a busy loop until this thread has used
// `ms` more milliseconds of CPU, so that plots in parallel processes share
// the machine's cores as real plots do. The wall clock bounds it too, should
// the thread times not advance.
void Work(int ms) {
  volatile unsigned sink = 0;
  const ULONGLONG startCpu = ThreadCpuMs();
  const ULONGLONG startWall = GetTickCount64();
  while (ThreadCpuMs() - startCpu < static_cast<ULONGLONG>(ms) &&
         GetTickCount64() - startWall < static_cast<ULONGLONG>(ms) * 20) {
    for (int i = 0; i < 100000; ++i) sink = sink + static_cast<unsigned>(i);
  }
}

void Run() {
  const std::u16string commandLine = U(GetCommandLineW());
  const tovrel::standin::ConsoleCommandLine console = tovrel::standin::ParseConsoleCommandLine(commandLine);
  const auto script = console.console
                          ? (console.script.empty() ? std::nullopt : std::optional<std::u16string>(console.script))
                          : tovrel::standin::ScriptPathFromCommandLine(commandLine);
  const Journal journal(tovrel::standin::JournalPath(
      script.value_or(u""), Environment(L"TOVREL_STANDIN_JOURNAL")));
  const int delayMs = tovrel::standin::ParseDelayMs(Environment(L"TOVREL_STANDIN_DELAY_MS"));
  const int workMs = tovrel::standin::ParseWorkMs(Environment(L"TOVREL_STANDIN_WORK_MS"));

  Record start;
  start.type = "start";
  start.Set("script", script.value_or(u""));
  start.Set("command_line", commandLine);
  start.Set("pid", static_cast<std::int64_t>(GetCurrentProcessId()));
  journal.Append(start);

  tovrel::standin::Interpreter interpreter(
      [](const std::u16string& path) { return tovrel::FileExists(path); });
  // A plot device that fails without a word writes nothing.
  const bool writesOutput = Environment(L"TOVREL_STANDIN_NO_OUTPUT").empty();
  const auto flush = [&] {
    for (const Record& record : interpreter.TakeRecords()) {
      if (record.type == "plot" && workMs > 0) Work(workMs);
      journal.Append(record);
      if (record.type == "plot" && delayMs > 0) Sleep(static_cast<DWORD>(delayMs));
    }
    for (const std::u16string& output : interpreter.TakeOutputs()) {
      if (writesOutput) tovrel::WriteFileAtomically(output, "%PDF-1.4\n% plotted by the AutoCAD stand-in\n");
    }
  };

  if (console.console && !console.drawing.empty()) {
    interpreter.StartConsole(console.drawing);
    flush();
  }
  if (!script) {
    interpreter.ReportProblem(u"command line", console.console ? u"no /s \"<script>\" given"
                                                               : u"no /b \"<script>\" given");
  } else {
    const tovrel::FileContents contents = tovrel::ReadWholeFile(*script);
    if (contents.status != tovrel::ReadStatus::Ok) {
      interpreter.ReportProblem(u"script", u"the script cannot be read");
    } else {
      const auto decoded = tovrel::standin::DecodeScript(contents.bytes);
      if (!decoded.problem.empty()) interpreter.ReportProblem(u"script", decoded.problem);
      for (const std::u16string& line : decoded.lines) {
        if (interpreter.Skipped()) break;
        interpreter.FeedLine(line);
        flush();
      }
    }
  }
  interpreter.EndOfScript();
  flush();
  // AutoCAD, left inside a command or at the command prompt without QUIT,
  // waits for input that never comes: so does the stand-in, until it is
  // ended from outside.
  while (interpreter.Hangs()) Sleep(INFINITE);
}

// The exit code asked for by TOVREL_STANDIN_EXIT_CODE (a crashed AutoCAD),
// else 0.
int ExitCode() {
  const std::u16string text = Environment(L"TOVREL_STANDIN_EXIT_CODE");
  int code = 0;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9' || code > 100000) return 0;
    code = code * 10 + (c - u'0');
  }
  return code;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  try {
    Run();
  } catch (...) {
    // Whatever happens, AutoCAD's caller only waits for the end.
  }
  return ExitCode();
}
