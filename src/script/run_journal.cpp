#include "script/run_journal.h"

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
      if (record.couldNotStart) return u"failed (not started)";
      return u"failed (exit code " + Number(record.exitCode) + u")";
    case RowResult::TimedOut:
      return u"timed out";
    case RowResult::Stopped:
      return u"stopped";
    case RowResult::DrawingMissing:
      return u"drawing missing";
    case RowResult::OutputMissing:
      return u"output missing";
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

std::u16string JournalFileName(const ClockTime& t) {
  char name[64];
  std::snprintf(name, sizeof name, "run-%04d%02d%02d-%02d%02d%02d.csv", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
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

std::string JournalCsv(RunMode mode, std::u16string_view templateTitle, const std::vector<RunRecord>& records) {
  std::u16string text = u"mode,template,row,drawing,printer,paper,start,end,seconds,result\r\n";
  const std::u16string modeField = CsvField(ModeText(mode));
  const std::u16string titleField = CsvField(templateTitle);
  for (const RunRecord& r : records) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", r.seconds);
    text += modeField + u',' + titleField + u',' + Number(r.row + 1) + u',' + CsvField(r.drawing) + u',' +
            CsvField(r.printer) + u',' + CsvField(r.paper) + u',' + ClockText(r.start) + u',' + ClockText(r.end) +
            u',' + Ascii(seconds) + u',' + CsvField(ResultText(r)) + u"\r\n";
  }
  return "\xEF\xBB\xBF" + Utf16ToUtf8(text);
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
