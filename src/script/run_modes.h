// The rules of the AutoCAD runs: the command line AutoCAD is started with,
// and which row each step of a per-row run takes. The window layer only
// starts processes, waits, sleeps and shows the messages answered here.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "drawing_list/row_store.h"
#include "script/script_file.h"
#include "script/script_writer.h"
#include "storage/script_template.h"

namespace tovrel {

// Message numbers of the text catalog.
inline constexpr int kMessageAutocadCannotStart = 6;
inline constexpr int kMessageNotepadCannotStart = 7;
inline constexpr int kMessageScriptPathTooLong = 54;

inline constexpr std::size_t kMaxCommandLine = 259;  // characters, without a terminator
inline constexpr int kRunPauseMilliseconds = 500;    // between two drawings of a per-row run

// " /b \"<script path>\"", the command line AutoCAD is started with (the
// executable is passed separately, so blanks in its path need no quotes).
// Empty when it would exceed kMaxCommandLine characters, that is for a
// script path above 253 characters: a cut path would run another script, so
// the run is refused with kMessageScriptPathTooLong. Every run mode asks
// for it before it writes anything, so a refused run leaves the old script.
std::optional<std::u16string> AutocadCommandLine(std::u16string_view scriptPath);

// The one-pass per-row run. Decides at its start, once, whether it takes the
// selected rows (when any is selected) or all rows:
//
//   PerRowRun run(rows);
//   if (run.Empty()) show kMessageListEmpty;
//   if (!AutocadCommandLine(tempFile)) show kMessageScriptPathTooLong;
//   const ScriptColumns columns = FindScriptColumns(tmpl);
//   while (const auto row = run.NextRow(rows)) {
//     result = WriteRowScript(rows, *row, tmpl, columns, end, run.UsesSelection(), sink);
//     if (!result.ok) { show result.messageNumber; break; }
//     if AutoCAD cannot be started { show 6; break; }
//     sleep kRunPauseMilliseconds;
//   }
//
// WriteRowScript clears a selected row's marks once its script is written,
// before AutoCAD runs, so the run leaves no row selected.
class PerRowRun {
public:
  explicit PerRowRun(const RowStore& rows);

  bool Empty() const { return rowCount_ == 0; }
  bool UsesSelection() const { return usesSelection_; }

  // The next row: with a selection the first selected row below the last
  // one taken (the rows taken before have lost their marks, so this is the
  // first row still selected); otherwise rows 0 to n-1 of the count taken
  // at the start. Empty when the run is over. Each row is answered at most
  // once, so a caller that goes on after a failure still ends.
  std::optional<int> NextRow(const RowStore& rows);

private:
  int rowCount_;
  bool usesSelection_;
  int next_ = 0;
};

}  // namespace tovrel
