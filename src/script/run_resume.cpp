#include "script/run_resume.h"

#include "storage/decimal_text.h"
#include "storage/ini_document.h"

namespace tovrel {

namespace {

constexpr char16_t kSection[] = u"unfinished_run";
constexpr std::size_t kPathField = 1024;

std::u16string Key(char16_t kind, std::size_t index) {
  std::u16string key(1, kind);
  key.append(DecimalText(static_cast<int>(index)));
  return key;
}

}  // namespace

void SaveUnfinishedRun(const UnfinishedRun& run, IniDocument& file) {
  file.DeleteSection(kSection);
  file.ReserveKeys(kSection, run.rows.size() * 2 + 5);
  file.WriteString(kSection, u"mode", DecimalText(static_cast<int>(run.mode)));
  file.WriteString(kSection, u"template", DecimalText(run.templateIndex));
  file.WriteString(kSection, u"count", DecimalText(static_cast<int>(run.rows.size())));
  file.WriteString(kSection, u"done", DecimalText(run.done));
  file.WriteString(kSection, u"journal", run.journal);
  for (std::size_t i = 0; i < run.rows.size(); ++i) {
    file.WriteString(kSection, Key(u'r', i), DecimalText(run.rows[i]));
    file.WriteString(kSection, Key(u'd', i), i < run.drawings.size() ? run.drawings[i] : std::u16string());
  }
}

std::optional<UnfinishedRun> LoadUnfinishedRun(const IniDocument& file) {
  const auto count = static_cast<std::int32_t>(file.GetInt(kSection, u"count", 0));
  const auto done = static_cast<std::int32_t>(file.GetInt(kSection, u"done", 0));
  const auto mode = static_cast<std::int32_t>(file.GetInt(kSection, u"mode", 1));
  if (count <= 0 || done < 0 || done >= count) return std::nullopt;
  if (mode != static_cast<int>(RunMode::PerRowOnce) && mode != static_cast<int>(RunMode::PerRowTimer)) {
    return std::nullopt;
  }
  UnfinishedRun run;
  run.mode = static_cast<RunMode>(mode);
  run.templateIndex = static_cast<std::int32_t>(file.GetInt(kSection, u"template", 0));
  run.done = done;
  run.journal = file.GetField(kSection, u"journal", u"", kPathField);
  for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
    // A damaged count cannot make a huge run: the file ends where its keys do.
    if (!file.HasKey(kSection, Key(u'r', i))) break;
    run.rows.push_back(static_cast<std::int32_t>(file.GetInt(kSection, Key(u'r', i), -1)));
    run.drawings.push_back(file.GetField(kSection, Key(u'd', i), u"", kPathField));
  }
  if (run.rows.size() <= static_cast<std::size_t>(run.done)) return std::nullopt;
  return run;
}

std::vector<int> RowsToResume(const UnfinishedRun& run, const RowStore& rows, const ScriptColumns& columns) {
  std::vector<int> left;
  for (std::size_t i = static_cast<std::size_t>(run.done); i < run.rows.size(); ++i) {
    const int row = run.rows[i];
    if (row < 0 || row >= rows.RowCount()) continue;
    if (RowDrawingPath(rows, row, columns) != run.drawings[i]) continue;
    left.push_back(row);
  }
  return left;
}

}  // namespace tovrel
