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

}  // namespace tovrel
