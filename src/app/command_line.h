// The program's command line, for the Task Scheduler and batch files:
//
//   Tovrel.exe /run [LIST] [/mode all|selected|perrow|parallel] [/template N] [/anyway] [/exit]
//   Tovrel.exe /check LIST [/template N] [/out FILE]
//   Tovrel.exe /?
//
// Switches may start with "/" or "-" and are read in any case; a value
// follows its switch as the next argument. Arguments are split as every
// Windows program splits them (blanks separate, double quotes group,
// backslashes before a quote escape it), so a path with blanks is quoted.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "script/run_journal.h"

namespace tovrel {

enum class LaunchAction { Window, Run, Check, Usage };
enum class LaunchMode { All, Selected, PerRow, Parallel };

// What the command line asked for, or why it could not be read. The errors
// are said by messages 82 to 87 and 89, in this order.
enum class CommandLineError { None, UnknownSwitch, MissingValue, BadValue, ExtraArgument, ListRequired,
                              NoAction, WrongAction };

struct LaunchRequest {
  LaunchAction action = LaunchAction::Window;
  std::u16string list;           // the list file as given (empty: the kept list)
  LaunchMode mode = LaunchMode::PerRow;
  int templateNumber = 0;        // 1 to 20 as the template selection numbers them; 0: the active one
  bool anyway = false;           // run although the check lists rows
  bool exitAtEnd = false;        // end the program when the run ends
  std::u16string out;            // where /check writes its findings (empty: the default name)
  CommandLineError error = CommandLineError::None;
  std::u16string errorArgument;  // the switch or value the error is about

  bool Failed() const { return error != CommandLineError::None; }
  // Nobody may be waiting at the screen: messages go to the run's log.
  bool Unattended() const { return action == LaunchAction::Check || (action == LaunchAction::Run && exitAtEnd); }
};

// The arguments of a command line that follows the program's name.
std::vector<std::u16string> SplitArguments(std::u16string_view commandLine);

LaunchRequest ParseArguments(const std::vector<std::u16string>& arguments);
inline LaunchRequest ParseCommandLine(std::u16string_view commandLine) {
  return ParseArguments(SplitArguments(commandLine));
}

// The exit codes of a command-line start.
inline constexpr int kExitAllPlotted = 0;
inline constexpr int kExitSomeNotPlotted = 1;
inline constexpr int kExitCouldNotStart = 2;
inline constexpr int kExitAnotherInstance = 3;

// The exit code of a run that was started: 2 when AutoCAD could not be
// started and nothing was plotted, 1 when any drawing was not plotted (or
// there was none), else 0.
int RunExitCode(const std::vector<RunRecord>& records);

// The name of the mutex one Tovrel holds for its working folder: the same
// for every spelling of one folder (case, a trailing backslash), and seen
// from every session (a task the scheduler runs while nobody is logged on).
std::u16string InstanceMutexName(std::u16string_view workingFolder);

}  // namespace tovrel
