#include "script/run_resume.h"

#include "storage/decimal_text.h"
#include "storage/ini_document.h"
#include "storage/text_codec.h"

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
  file.WriteString(kSection, u"journal", run.journal);
  for (std::size_t i = 0; i < run.rows.size(); ++i) {
    file.WriteString(kSection, Key(u'r', i), DecimalText(run.rows[i]));
    file.WriteString(kSection, Key(u'd', i), i < run.drawings.size() ? run.drawings[i] : std::u16string());
  }
}

std::optional<UnfinishedRun> LoadUnfinishedRun(const IniDocument& file) {
  const auto count = static_cast<std::int32_t>(file.GetInt(kSection, u"count", 0));
  const auto mode = static_cast<std::int32_t>(file.GetInt(kSection, u"mode", 1));
  if (count <= 0 || mode < static_cast<int>(RunMode::WholeList) || mode > static_cast<int>(RunMode::PerRowTimer)) {
    return std::nullopt;
  }
  UnfinishedRun run;
  run.mode = static_cast<RunMode>(mode);
  run.templateIndex = static_cast<std::int32_t>(file.GetInt(kSection, u"template", 0));
  run.journal = file.GetField(kSection, u"journal", u"", kPathField);
  for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
    // A damaged count cannot make a huge run: the file ends where its keys do.
    if (!file.HasKey(kSection, Key(u'r', i))) break;
    run.rows.push_back(static_cast<std::int32_t>(file.GetInt(kSection, Key(u'r', i), -1)));
    run.drawings.push_back(file.GetField(kSection, Key(u'd', i), u"", kPathField));
  }
  if (run.rows.empty()) return std::nullopt;
  run.plotted.assign(run.rows.size(), false);
  return run;
}

std::string ResumeRecordLine(int index, bool plotted, std::u16string_view drawing) {
  return std::to_string(index) + (plotted ? "\tp\t" : "\tn\t") + Utf16ToUtf8(std::u16string(drawing)) + "\r\n";
}

void ApplyResumeRecord(UnfinishedRun& run, std::string_view record) {
  std::size_t at = 0;
  while (at < record.size()) {
    const std::size_t end = record.find("\r\n", at);
    if (end == std::string_view::npos) return;  // torn: the last write did not finish
    const std::string_view line = record.substr(at, end - at);
    at = end + 2;
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos || tab == 0 || tab > 9 || line.size() < tab + 3 || line[tab + 2] != '\t') continue;
    std::size_t index = 0;
    bool digits = true;
    for (const char c : line.substr(0, tab)) {
      digits = digits && c >= '0' && c <= '9';
      index = index * 10 + static_cast<std::size_t>(c - '0');
    }
    if (!digits || index >= run.rows.size()) continue;
    if (Utf8ToUtf16(std::string(line.substr(tab + 3))) != run.drawings[index]) continue;
    run.plotted[index] = line[tab + 1] == 'p';
  }
}

std::vector<int> RowsToResume(const UnfinishedRun& run, const RowStore& rows, const ScriptColumns& columns) {
  std::vector<int> left;
  for (std::size_t i = 0; i < run.rows.size(); ++i) {
    if (i < run.plotted.size() && run.plotted[i]) continue;
    const int row = run.rows[i];
    if (row < 0 || row >= rows.RowCount()) continue;
    if (RowDrawingPath(rows, row, columns) != run.drawings[i]) continue;
    left.push_back(row);
  }
  return left;
}

}  // namespace tovrel
