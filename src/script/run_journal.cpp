#include "script/run_journal.h"

#include <algorithm>
#include <cstdio>

#include "storage/text_codec.h"

namespace tovrel {

namespace {

std::u16string Ascii(const char* text) {
  std::u16string out;
  for (const char* p = text; *p; ++p) out += static_cast<char16_t>(static_cast<unsigned char>(*p));
  return out;
}

std::u16string Number(long long value) { return Ascii(std::to_string(value).c_str()); }

}  // namespace

bool NeedsAnotherRun(RowResult result) { return result != RowResult::Plotted; }

std::u16string ResultText(const RunRecord& record) {
  switch (record.result) {
    case RowResult::Plotted:
      return u"plotted";
    case RowResult::Failed:
      switch (record.reason) {
        case FailReason::CouldNotStart:
          return u"failed (not started)";
        case FailReason::ScriptNotWritten:
          return u"failed (script not written)";
        case FailReason::NoOutputFile:
          return u"failed: no output file";
        case FailReason::NotEnded:
          return u"failed (AutoCAD did not end)";
        case FailReason::None:
          break;
      }
      return u"failed (exit code " + Number(record.exitCode) + u")";
    case RowResult::TimedOut:
      return u"timed out";
    case RowResult::Stopped:
      return u"stopped";
    case RowResult::DrawingMissing:
      return u"drawing missing";
    case RowResult::NotStarted:
      break;
  }
  return u"not started";
}

std::u16string_view ModeText(RunMode mode) {
  switch (mode) {
    case RunMode::WholeList:
      return u"whole list";
    case RunMode::PerRowOnce:
      return u"one run per drawing";
    case RunMode::PerRowTimer:
      return u"one drawing per timer tick";
    case RunMode::Parallel:
      return u"parallel (Core Console)";
  }
  return u"";
}

std::u16string JournalFileName(const ClockTime& t, int attempt) {
  char name[80];
  if (attempt > 1) {
    std::snprintf(name, sizeof name, "run-%04d%02d%02d-%02d%02d%02d-%d.csv", t.year, t.month, t.day, t.hour,
                  t.minute, t.second, attempt);
  } else {
    std::snprintf(name, sizeof name, "run-%04d%02d%02d-%02d%02d%02d.csv", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
  }
  return Ascii(name);
}

std::u16string ClockText(const ClockTime& t) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  return Ascii(text);
}

std::u16string DurationText(double seconds) {
  const long long total = seconds < 0 ? 0 : static_cast<long long>(seconds + 0.5);
  const long long h = total / 3600, m = total / 60 % 60, s = total % 60;
  char text[48];
  if (h > 0) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", h, m, s);
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", m, s);
  }
  return Ascii(text);
}

std::u16string CsvField(std::u16string_view text) {
  std::u16string field;
  if (!text.empty() && (text.front() == u'=' || text.front() == u'+' || text.front() == u'-' || text.front() == u'@')) {
    field += u'\'';
  }
  bool quote = false;
  for (const char16_t c : text) {
    if (c == u',' || c == u'"' || c == u'\r' || c == u'\n') quote = true;
    if (c == u'"') field += u'"';
    field += c;
  }
  return quote ? u"\"" + field + u"\"" : field;
}

std::string JournalHead() {
  return "\xEF\xBB\xBF" "mode,template,row,drawing,printer,paper,start,end,seconds,result,output\r\n";
}

std::string JournalLine(RunMode mode, std::u16string_view templateTitle, const RunRecord& r) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.1f", r.seconds);
  const std::u16string line = CsvField(ModeText(mode)) + u',' + CsvField(templateTitle) + u',' + Number(r.row + 1) +
                              u',' + CsvField(r.drawing) + u',' + CsvField(r.printer) + u',' + CsvField(r.paper) +
                              u',' + ClockText(r.start) + u',' + ClockText(r.end) + u',' + Ascii(seconds) + u',' +
                              CsvField(ResultText(r)) + u',' + CsvField(r.output) + u"\r\n";
  return Utf16ToUtf8(line);
}

std::string JournalCsv(RunMode mode, std::u16string_view templateTitle, const std::vector<RunRecord>& records) {
  std::string text = JournalHead();
  for (const RunRecord& r : records) text += JournalLine(mode, templateTitle, r);
  return text;
}

namespace {

// The fields of one CSV record starting at `at`; `at` moves past its line
// end. False when the record has no line end (cut short).
bool ReadCsvRecord(std::string_view csv, std::size_t& at, std::vector<std::string>& fields) {
  fields.assign(1, std::string());
  bool quoted = false;
  for (; at < csv.size(); ++at) {
    const char c = csv[at];
    if (quoted) {
      if (c != '"') {
        fields.back() += c;
      } else if (at + 1 < csv.size() && csv[at + 1] == '"') {
        fields.back() += '"';
        ++at;
      } else {
        quoted = false;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else if (c == '\n') {
      ++at;
      return true;
    } else if (c != '\r') {
      fields.back() += c;
    }
  }
  return false;
}

}  // namespace

std::vector<std::u16string> NotPlottedInJournal(std::string_view csv) {
  if (csv.substr(0, 3) == "\xEF\xBB\xBF") csv.remove_prefix(3);
  std::vector<std::u16string> drawings;
  std::vector<std::string> fields;
  std::size_t at = 0;
  if (!ReadCsvRecord(csv, at, fields)) return drawings;  // the head
  constexpr std::size_t kDrawingField = 3, kResultField = 9;
  while (at < csv.size() && ReadCsvRecord(csv, at, fields)) {
    if (fields.size() <= kResultField || fields[kResultField] == "plotted") continue;
    std::string drawing = fields[kDrawingField];
    if (drawing.size() > 1 && drawing[0] == '\'' && std::string_view("=+-@").find(drawing[1]) != std::string_view::npos) {
      drawing.erase(0, 1);  // the guard CsvField puts before a formula sign
    }
    const std::u16string text = Utf8ToUtf16(drawing);
    if (std::find(drawings.begin(), drawings.end(), text) == drawings.end()) drawings.push_back(text);
  }
  return drawings;
}

RunSummary Summarise(const std::vector<RunRecord>& records, double seconds) {
  RunSummary summary;
  summary.seconds = seconds;
  for (const RunRecord& r : records) {
    if (r.result == RowResult::Plotted) {
      ++summary.plotted;
    } else {
      ++summary.notPlotted;
    }
  }
  return summary;
}

double EstimateSecondsLeft(double elapsedSeconds, int done, int total) {
  if (done <= 0 || total < done) return -1;
  return elapsedSeconds / done * (total - done);
}

}  // namespace tovrel
