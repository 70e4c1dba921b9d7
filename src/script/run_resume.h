// A run that did not finish (Tovrel closed or killed, the machine
// restarted) is offered again at the next start: every drawing it did not
// plot. Its state lies in the "runs" folder as a head, "unfinished.ini",
// written once when the run starts (mode, template, rows and their
// drawings, journal), and an append-only record, "unfinished.log", one
// short line per drawing as it ends, flushed. Both go when the run ends.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "drawing_list/row_store.h"
#include "script/run_journal.h"
#include "script/script_writer.h"

namespace tovrel {

class IniDocument;

inline constexpr char16_t kUnfinishedRunFileName[] = u"unfinished.ini";
inline constexpr char16_t kUnfinishedRecordFileName[] = u"unfinished.log";

struct UnfinishedRun {
  RunMode mode = RunMode::PerRowOnce;
  int templateIndex = 0;
  std::vector<int> rows;                // the run's rows, in the order it takes them
  std::vector<std::u16string> drawings; // the drawing of each, when the run started
  std::vector<bool> plotted;            // from the record: which of them plotted
  std::u16string journal;               // the run's journal file name
};

void SaveUnfinishedRun(const UnfinishedRun& run, IniDocument& file);
// Nothing when the file holds no run.
std::optional<UnfinishedRun> LoadUnfinishedRun(const IniDocument& file);

// One line of the record: "<index>\t<p|n>\t<drawing>\r\n", UTF-8; p when the
// drawing plotted, n for any other end.
std::string ResumeRecordLine(int index, bool plotted, std::u16string_view drawing);
// Reads the record into `run`. A last line without its line end (the
// program was killed while writing it) and a line whose drawing is not the
// one the head has at that index (a record left from another run) are
// passed over.
void ApplyResumeRecord(UnfinishedRun& run, std::string_view record);

// The rows of the list left to run: those not plotted whose row still holds
// the drawing it held when the run started (a row that was deleted or
// replaced since is not plotted in its place).
std::vector<int> RowsToResume(const UnfinishedRun& run, const RowStore& rows, const ScriptColumns& columns);

}  // namespace tovrel
