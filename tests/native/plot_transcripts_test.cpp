// An independent witness for the model of AutoCAD's command-line plot:
// transcripts of real -PLOT sessions, AutoCAD's own reference and the
// answers of published plot programs (tests/data/plot-transcripts, each
// naming its source) replayed prompt by prompt. A "prompt:" line is checked
// against the prompt the model asks by its first three words: releases word
// the option lists and the endings differently ("Save changes to layout",
// "Save changes to page setup"), never which question comes next.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "script/plot_prompts.h"
#include "script/script_walk.h"
#include "storage/text_codec.h"

using namespace tovrel;

namespace {

struct Step {
  std::string prompt;  // empty when the source shows the answers only
  std::string answer;
  int line = 0;
};

struct Transcript {
  std::string name;
  std::string source;
  std::string currentTab = "Model";
  std::vector<Step> steps;
};

Transcript Read(const std::filesystem::path& path) {
  Transcript t;
  t.name = path.filename().string();
  std::ifstream in(path);
  std::string line;
  std::string pending;
  for (int number = 1; std::getline(in, line); ++number) {
    const auto value = [&](std::size_t n) { return line.size() > n ? line.substr(n + 1) : std::string(); };
    if (line.rfind("# source: ", 0) == 0) t.source = value(9);
    if (line.rfind("current-tab:", 0) == 0) t.currentTab = value(12);
    if (line.rfind("prompt:", 0) == 0) pending = value(7);
    if (line.rfind("answer:", 0) == 0) {
      t.steps.push_back({pending, value(7), number});
      pending.clear();
    }
  }
  return t;
}

// The first three words, lower case, without "?" and ":".
std::string Identity(std::string prompt) {
  std::string out;
  int words = 0;
  for (char c : prompt) {
    if (c == '?' || c == ':') continue;
    if (c == ' ') {
      if (!out.empty() && out.back() != ' ' && ++words == 3) break;
      if (!out.empty() && out.back() != ' ') out += ' ';
      continue;
    }
    out += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

std::vector<Transcript> All() {
  std::vector<Transcript> all;
  for (const auto& entry : std::filesystem::directory_iterator(TOVREL_TRANSCRIPT_DIR)) all.push_back(Read(entry.path()));
  return all;
}

}  // namespace

TEST(PlotTranscripts, EveryPromptComesInOrderAndEveryAnswerIsTakenToTheEndOfThePlot) {
  const std::vector<Transcript> all = All();
  ASSERT_GE(all.size(), 4u);
  for (const Transcript& t : all) {
    SCOPED_TRACE(t.name);
    EXPECT_EQ(t.source.rfind("https://", 0), 0u) << "a transcript names its source";
    PlotPrompts plot(KnownDeviceOffersPaper, Utf8ToUtf16(t.currentTab));
    for (const Step& step : t.steps) {
      SCOPED_TRACE("line " + std::to_string(step.line));
      ASSERT_FALSE(plot.Done()) << "the plot ended before this answer";
      if (!step.prompt.empty()) {
        EXPECT_EQ(Identity(Utf16ToUtf8(plot.Prompt())), Identity(step.prompt));
      }
      EXPECT_EQ(plot.Answer(Utf8ToUtf16(step.answer)), u"");
    }
    EXPECT_TRUE(plot.Done()) << "AutoCAD still asks: " << Utf16ToUtf8(plot.Prompt());
  }
}

TEST(PlotTranscripts, AScriptLineStartingWithASemicolonIsACommentAtEveryPrompt) {
  struct Events : ScriptWalkEvents {
    bool OpenDrawing(std::u16string_view) override { return true; }
    void Refused(std::u16string_view, std::u16string_view answer, std::u16string_view) override {
      refused.emplace_back(answer);
    }
    void PlotEnded(const PlotPrompts& plot) override { plotted = plot.Proceeds(); }
    std::vector<std::u16string> refused;
    bool plotted = false;
  } events;
  ScriptWalker walker(events);
  for (const char16_t* line : {u"; plotted by Tovrel", u"_-PLOT", u"_N", u";(startapp \"calc\")", u"Model", u"",
                               u"; the device", u"DWG To PDF.pc3", u"C:\\out\\a.pdf", u"_N", u";", u"_Y"}) {
    walker.FeedLine(line);
  }
  EXPECT_TRUE(events.refused.empty());
  EXPECT_TRUE(events.plotted);
  EXPECT_EQ(walker.State(), ScriptWalker::Where::Command);
}
