// An independent witness for the model of AutoCAD's command-line plot: real
// -PLOT transcripts, AutoCAD's reference and the answers of published plot
// programs (tests/data/plot-transcripts, each naming its source), replayed
// prompt by prompt. A "prompt:" line is matched by its first three words:
// releases word the option lists and endings differently, never the order.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "script/plot_prompts.h"
#include "storage/text_codec.h"

using namespace tovrel;

namespace {

std::string Identity(const std::string& prompt) {
  std::istringstream words(prompt);
  std::string word, out;
  for (int n = 0; n < 3 && words >> word; ++n) out += (n ? " " : "") + word;
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out.substr(0, out.find_last_not_of("?:") + 1);
}

}  // namespace

TEST(PlotTranscripts, EveryPromptComesInOrderAndEveryAnswerIsTakenToTheEndOfThePlot) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(TOVREL_TRANSCRIPT_DIR)) {
    SCOPED_TRACE(entry.path().filename().string());
    ++files;
    std::ifstream in(entry.path());
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line.rfind("# source: https://", 0), 0u) << "a transcript names its source first";
    std::getline(in, line);
    while (line.rfind("current-tab: ", 0) != 0 && std::getline(in, line)) {}
    PlotPrompts plot(KnownDeviceOffersPaper, Utf8ToUtf16(line.substr(13)));
    while (std::getline(in, line)) {
      if (line.rfind("prompt:", 0) == 0) {
        EXPECT_EQ(Identity(Utf16ToUtf8(plot.Prompt())), Identity(line.substr(8))) << line;
      } else if (line.rfind("answer:", 0) == 0) {
        ASSERT_FALSE(plot.Done()) << "the plot ended before " << line;
        EXPECT_EQ(plot.Answer(Utf8ToUtf16(line.size() > 8 ? line.substr(8) : "")), u"") << line;
      }
    }
    EXPECT_TRUE(plot.Done()) << "AutoCAD still asks: " << Utf16ToUtf8(plot.Prompt());
  }
  EXPECT_GE(files, 4);
}
