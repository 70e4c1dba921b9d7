// A per-drawing run that did not finish (Tovrel closed, the machine
// restarted) is offered again at the next start, from the first drawing not
// done. The state lies in "runs\unfinished.ini": written when the run
// starts, brought up to date after every drawing, removed when it ends.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "drawing_list/row_store.h"
#include "script/run_journal.h"
#include "script/script_writer.h"

namespace tovrel {

class IniDocument;

inline constexpr char16_t kUnfinishedRunFileName[] = u"unfinished.ini";

struct UnfinishedRun {
  RunMode mode = RunMode::PerRowOnce;
  int templateIndex = 0;
  std::vector<int> rows;                // the run's rows, in the order it takes them
  std::vector<std::u16string> drawings; // the drawing of each, when the run started
  int done = 0;                         // how many of them are done
  std::u16string journal;               // the run's journal file name
};

void SaveUnfinishedRun(const UnfinishedRun& run, IniDocument& file);
// Nothing when the file holds no run, or a run with nothing left to do.
std::optional<UnfinishedRun> LoadUnfinishedRun(const IniDocument& file);

// The rows of the list that are left to run: those not done whose row still
// holds the drawing it held when the run started (a row that was deleted or
// replaced since is not plotted in its place).
std::vector<int> RowsToResume(const UnfinishedRun& run, const RowStore& rows, const ScriptColumns& columns);

}  // namespace tovrel
