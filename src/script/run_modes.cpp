#include "script/run_modes.h"

namespace tovrel {

std::optional<std::u16string> AutocadCommandLine(std::u16string_view scriptPath) {
  constexpr std::u16string_view kPrefix = u" /b \"";
  if (kPrefix.size() + scriptPath.size() + 1 > kMaxCommandLine) return std::nullopt;
  std::u16string line;
  line.reserve(kPrefix.size() + scriptPath.size() + 1);
  line.append(kPrefix);
  line.append(scriptPath);
  line += u'"';
  return line;
}

PerRowRun::PerRowRun(const RowStore& rows)
    : rowCount_(rows.RowCount()), usesSelection_(rowCount_ > 0 && rows.NextSelected(0) >= 0) {}

std::optional<int> PerRowRun::NextRow(const RowStore& rows) {
  if (usesSelection_) {
    const int row = rows.NextSelected(next_);
    if (row < 0) return std::nullopt;
    next_ = row + 1;
    return row;
  }
  if (next_ >= rowCount_) return std::nullopt;
  return next_++;
}

TimerRun StartTimerRun(const RowStore& rows) {
  TimerRun run;
  run.rowCount = rows.RowCount();
  run.startedWithSelection = run.rowCount > 0 && rows.NextSelected(0) >= 0;
  return run;
}

TimerStepResult RunTimerStep(RowStore& rows, const TimerRun& run, const ScriptTemplate& tmpl,
                             std::u16string_view endDrawing, ScriptSink& sink) {
  TimerStepResult result;
  const int rowCount = rows.RowCount();
  if (rowCount == 0) {
    result.answer = StepAnswer::End;
    result.messageNumber = kMessageListEmpty;
    return result;
  }
  const int row = run.currentRow;
  const int firstSelected = rows.NextSelected(0);
  if (firstSelected < 0 && run.startedWithSelection) {
    result.answer = StepAnswer::End;
    return result;
  }
  // A deleted row would read as empty cells and write an "open" of a bare
  // backslash: it is passed over instead.
  if ((firstSelected >= 0 && firstSelected != row) || row < 0 || row >= rowCount) {
    result.answer = StepAnswer::PassedOver;
    return result;
  }

  const ScriptWriteResult written = WriteRowScript(rows, row, tmpl, FindScriptColumns(tmpl),
                                                   endDrawing, firstSelected == row, sink);
  if (!written.ok) {
    result.answer = StepAnswer::PassedOver;
    result.messageNumber = written.messageNumber;
    return result;
  }
  result.answer = StepAnswer::Written;
  result.row = row;
  return result;
}

bool AdvanceTimerRun(TimerRun& run) {
  ++run.currentRow;
  return run.currentRow < run.rowCount;
}

}  // namespace tovrel
