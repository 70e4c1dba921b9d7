#include "plot_command.h"

#include <array>
#include <optional>
#include <span>

namespace tovrel::standin {
namespace {

using Step = PlotCommand::Step;

char16_t LowerAscii(char16_t c) {
  return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// AutoCAD takes any beginning of a keyword, in any case, optionally after
// "_" (the language-independent form).
bool MatchesKeyword(std::u16string_view answer, std::u16string_view keyword) {
  if (!answer.empty() && answer.front() == u'_') answer.remove_prefix(1);
  if (answer.empty() || answer.size() > keyword.size()) return false;
  for (std::size_t i = 0; i < answer.size(); ++i) {
    if (LowerAscii(answer[i]) != LowerAscii(keyword[i])) return false;
  }
  return true;
}

// The index of the keyword the answer names, if any.
std::optional<std::size_t> MatchOne(std::u16string_view answer,
                                    std::span<const std::u16string_view> keywords) {
  for (std::size_t i = 0; i < keywords.size(); ++i) {
    if (MatchesKeyword(answer, keywords[i])) return i;
  }
  return std::nullopt;
}

std::u16string Lower(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) c = LowerAscii(c);
  return out;
}

std::u16string Quoted(std::u16string_view answer) {
  std::u16string quoted;
  quoted.reserve(answer.size() + 2);
  quoted += u'"';
  quoted += answer;
  quoted += u'"';
  return quoted;
}

// A real number as AutoCAD reads it: sign, digits, optional fraction.
bool IsNumber(std::u16string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ++i;
  const auto isDigit = [&] { return i < text.size() && text[i] >= u'0' && text[i] <= u'9'; };
  const std::size_t first = i;
  while (isDigit()) ++i;
  std::size_t digits = i - first;
  if (i < text.size() && text[i] == u'.') {
    const std::size_t fraction = ++i;
    while (isDigit()) ++i;
    digits += i - fraction;
  }
  return digits > 0 && i == text.size();
}

// "x,y" or "x,y,z".
bool IsPoint(std::u16string_view text) {
  int parts = 0;
  while (true) {
    const std::size_t comma = text.find(u',');
    if (!IsNumber(text.substr(0, comma))) return false;
    ++parts;
    if (comma == text.npos) break;
    text.remove_prefix(comma + 1);
  }
  return parts == 2 || parts == 3;
}

// "2", "1:50", "1=50".
bool IsScale(std::u16string_view text) {
  const std::size_t sep = text.find_first_of(u":=");
  if (sep == text.npos) return IsNumber(text);
  return IsNumber(text.substr(0, sep)) && IsNumber(text.substr(sep + 1));
}

// Text answers may be given in double quotes, as file names are.
std::u16string Unquoted(std::u16string_view text) {
  if (text.size() >= 2 && text.front() == u'"' && text.back() == u'"') {
    text = text.substr(1, text.size() - 2);
  }
  return std::u16string(text);
}

struct YesNoStep {
  Step step;
  std::u16string_view prompt;
  const char* field;
  bool byDefault;
};

constexpr YesNoStep kYesNoSteps[] = {
    {Step::Detailed, u"Detailed plot configuration? [Yes/No]", "detailed", false},
    {Step::UpsideDown, u"Plot upside down? [Yes/No]", "upside_down", false},
    {Step::PlotStyles, u"Plot with plot styles? [Yes/No]", "plot_styles", true},
    {Step::Lineweights, u"Plot with lineweights? [Yes/No]", "lineweights", true},
    {Step::ScaleLineweights, u"Scale lineweights with plot scale? [Yes/No]", "scale_lineweights",
     false},
    {Step::PaperSpaceFirst, u"Plot paper space first? [Yes/No]", "paper_space_first", false},
    {Step::HidePaperspace, u"Hide paperspace objects? [Yes/No]", "hide_paperspace_objects",
     false},
    {Step::ToFile, u"Write the plot to a file [Yes/No]", "to_file", false},
    {Step::SaveChanges, u"Save changes to page setup [Yes/No]?", "save_changes", false},
    {Step::Proceed, u"Proceed with plot [Yes/No]", "proceed", true},
};

const YesNoStep* FindYesNo(Step step) {
  for (const YesNoStep& s : kYesNoSteps) {
    if (s.step == step) return &s;
  }
  return nullptr;
}

// Prompts whose answer is a name that may hold blanks, and the field each fills.
struct TextStep {
  Step step;
  std::u16string_view prompt;
  const char* field;
};

constexpr TextStep kTextSteps[] = {
    {Step::LayoutName, u"Enter a layout name or [?]", "layout"},
    {Step::PageSetup, u"Enter a page setup name", "page_setup"},
    {Step::Device, u"Enter an output device name or [?]", "device"},
    {Step::Paper, u"Enter paper size or [?]", "paper"},
    {Step::ViewName, u"Enter view name", "view"},
    {Step::StyleTable, u"Enter plot style table name or [?] (enter . for none)",
     "plot_style_table"},
    {Step::FileName, u"Enter file name", "file"},
};

const TextStep* FindText(Step step) {
  for (const TextStep& s : kTextSteps) {
    if (s.step == step) return &s;
  }
  return nullptr;
}

constexpr std::array<std::u16string_view, 2> kYesNo = {u"Yes", u"No"};
constexpr std::array<std::u16string_view, 2> kUnits = {u"Inches", u"Millimeters"};
constexpr std::array<std::u16string_view, 2> kOrientations = {u"Portrait", u"Landscape"};
constexpr std::array<std::u16string_view, 5> kModelAreas = {u"Display", u"Extents", u"Limits",
                                                            u"View", u"Window"};
constexpr std::array<std::u16string_view, 5> kLayoutAreas = {u"Display", u"Extents", u"Layout",
                                                             u"View", u"Window"};
constexpr std::array<std::u16string_view, 5> kShadePlots = {
    u"As displayed", u"Wireframe", u"Hidden", u"Visual styles", u"Rendered"};

// The keyword prompts other than Yes/No: the field each fills with the
// keyword chosen (in lower case), and the value an empty answer leaves.
struct ChoiceStep {
  const char* field;
  std::span<const std::u16string_view> keywords;
  std::u16string_view refusal;
  std::u16string_view byDefault;  // "" where it is the drawing's current setting
};

std::optional<ChoiceStep> FindChoice(Step step, bool model) {
  switch (step) {
    case Step::Units: return ChoiceStep{"units", kUnits, u" is not Inches or Millimeters", u""};
    case Step::Orientation:
      return ChoiceStep{"orientation", kOrientations, u" is not Portrait or Landscape", u""};
    case Step::Area:
      return model ? ChoiceStep{"area", kModelAreas,
                                u" is not a plot area of Model space (D, E, L, V, W)", u""}
                   : ChoiceStep{"area", kLayoutAreas,
                                u" is not a plot area of a layout (D, E, L, V, W)", u""};
    case Step::ShadePlot:
      return ChoiceStep{"shade_plot", kShadePlots, u" is not a shade plot setting",
                        u"as displayed"};
    default: return std::nullopt;
  }
}

}  // namespace

bool IsModelLayoutName(std::u16string_view name) {
  static constexpr std::u16string_view kLocalNames[] = {u"\u30E2\u30C7\u30EB", u"\uBAA8\uD615",
                                                        u"\u6A21\u578B"};
  if (name.size() == 5 && Lower(name) == u"model") return true;
  for (std::u16string_view local : kLocalNames) {
    if (name == local) return true;
  }
  return false;
}

PlotCommand::PlotCommand() = default;

std::u16string PlotCommand::Prompt() const {
  if (const YesNoStep* s = FindYesNo(step_)) return std::u16string(s->prompt);
  if (const TextStep* s = FindText(step_)) return std::u16string(s->prompt);
  const bool inches = settings_.Text("units") == u"inches";
  switch (step_) {
    case Step::Units: return u"Enter paper units [Inches/Millimeters]";
    case Step::Orientation: return u"Enter drawing orientation [Portrait/Landscape]";
    case Step::Area:
      return model_ ? u"Enter plot area [Display/Extents/Limits/View/Window]"
                    : u"Enter plot area [Display/Extents/Layout/View/Window]";
    case Step::WindowFirst: return u"Enter lower left corner of window";
    case Step::WindowSecond: return u"Enter upper right corner of window";
    case Step::Scale:
      return inches ? u"Enter plot scale (Plotted Inches=Drawing Units) or [Fit]"
                    : u"Enter plot scale (Plotted Millimeters=Drawing Units) or [Fit]";
    case Step::Offset:
      return settings_.Text("area") == u"layout" ? u"Enter plot offset (x,y)"
                                                 : u"Enter plot offset (x,y) or [Center]";
    case Step::ShadePlot:
      return u"Enter shade plot setting [As displayed/legacy Wireframe/legacy Hidden/Visual "
             u"styles/Rendered]";
    case Step::VisualStyle: return u"Enter an option [Wireframe/Hidden/Realistic/Conceptual/Other]";
    default: return u"";
  }
}

AnswerKind PlotCommand::Kind() const {
  return FindText(step_) ? AnswerKind::Text : AnswerKind::Token;
}

std::u16string PlotCommand::Answer(std::u16string_view answer) {
  if (step_ == Step::Done) return u"the plot command has ended";
  const bool listable = step_ == Step::LayoutName || step_ == Step::Device ||
                        step_ == Step::Paper || step_ == Step::StyleTable;
  if (listable && answer == u"?") return u"";  // AutoCAD lists the choices and asks again
  std::u16string error = Accept(answer);
  if (error.empty()) step_ = Next();
  return error;
}

// Checks and stores one answer; the step does not change here.
std::u16string PlotCommand::Accept(std::u16string_view answer) {
  if (const YesNoStep* s = FindYesNo(step_)) {
    bool value = s->byDefault;
    if (!answer.empty()) {
      const auto which = MatchOne(answer, kYesNo);
      if (!which) return Quoted(answer) + u" is not Yes or No";
      value = *which == 0;
    }
    settings_.Set(s->field, value);
    return u"";
  }
  if (const auto choice = FindChoice(step_, model_)) {
    if (answer.empty()) {  // Enter keeps the current setting
      settings_.Set(choice->field, std::u16string(choice->byDefault));
      return u"";
    }
    const std::optional<std::size_t> which = MatchOne(answer, choice->keywords);
    if (!which) return Quoted(answer) + std::u16string(choice->refusal);
    settings_.Set(choice->field, Lower(choice->keywords[*which]));
    return u"";
  }
  if (const TextStep* s = FindText(step_)) {
    std::u16string text = Unquoted(answer);
    if (step_ == Step::LayoutName) {
      // Enter keeps the current layout; a drawing just opened shows Model.
      model_ = text.empty() || IsModelLayoutName(text);
      settings_.Set("layout", text);
      settings_.Set("space", std::u16string(model_ ? u"model" : u"layout"));
      return u"";
    }
    settings_.Set(s->field, std::move(text));
    return u"";
  }
  switch (step_) {
    case Step::WindowFirst:
    case Step::WindowSecond:
      if (!IsPoint(answer)) return Quoted(answer) + u" is not a point x,y";
      settings_.Set(step_ == Step::WindowFirst ? "window_from" : "window_to",
                    std::u16string(answer));
      return u"";
    case Step::Scale:
      if (answer.empty()) {
        settings_.Set("scale", std::u16string());
      } else if (MatchesKeyword(answer, u"Fit")) {
        settings_.Set("scale", std::u16string(u"fit"));
      } else if (IsScale(answer)) {
        settings_.Set("scale", std::u16string(answer));
      } else {
        return Quoted(answer) + u" is not Fit or a scale such as 1:1";
      }
      return u"";
    case Step::Offset: {
      const bool centerAllowed = settings_.Text("area") != u"layout";
      if (answer.empty()) {
        settings_.Set("offset", std::u16string());
      } else if (centerAllowed && MatchesKeyword(answer, u"Center")) {
        settings_.Set("offset", std::u16string(u"center"));
      } else if (IsPoint(answer)) {
        settings_.Set("offset", std::u16string(answer));
      } else {
        return Quoted(answer) + (centerAllowed ? u" is not Center or an offset x,y"
                                               : u" is not an offset x,y (plot area Layout)");
      }
      return u"";
    }
    case Step::VisualStyle:
      if (answer.empty()) return u"no visual style given";
      settings_.Set("visual_style", std::u16string(answer));
      return u"";
    default: return u"unexpected answer";
  }
}

// The prompt that follows the current one, given the answers so far.
Step PlotCommand::Next() const {
  const bool detailed = settings_.Flag("detailed");
  switch (step_) {
    case Step::Detailed: return Step::LayoutName;
    case Step::LayoutName: return detailed ? Step::Device : Step::PageSetup;
    case Step::PageSetup: return Step::Device;
    case Step::Device: return detailed ? Step::Paper : Step::ToFile;
    case Step::Paper: return Step::Units;
    case Step::Units: return Step::Orientation;
    case Step::Orientation: return Step::UpsideDown;
    case Step::UpsideDown: return Step::Area;
    case Step::Area: {
      const std::u16string area = settings_.Text("area");
      if (area == u"view") return Step::ViewName;
      if (area == u"window") return Step::WindowFirst;
      return Step::Scale;
    }
    case Step::ViewName: return Step::Scale;
    case Step::WindowFirst: return Step::WindowSecond;
    case Step::WindowSecond: return Step::Scale;
    case Step::Scale: return Step::Offset;
    case Step::Offset: return Step::PlotStyles;
    case Step::PlotStyles: return Step::StyleTable;
    case Step::StyleTable: return Step::Lineweights;
    case Step::Lineweights: return model_ ? Step::ShadePlot : Step::ScaleLineweights;
    case Step::ShadePlot:
      return settings_.Text("shade_plot") == u"visual styles" ? Step::VisualStyle : Step::ToFile;
    case Step::VisualStyle: return Step::ToFile;
    case Step::ScaleLineweights: return Step::PaperSpaceFirst;
    case Step::PaperSpaceFirst: return Step::HidePaperspace;
    case Step::HidePaperspace: return Step::ToFile;
    case Step::ToFile: return settings_.Flag("to_file") ? Step::FileName : Step::SaveChanges;
    case Step::FileName: return Step::SaveChanges;
    case Step::SaveChanges: return Step::Proceed;
    case Step::Proceed:
    case Step::Done: return Step::Done;
  }
  return Step::Done;
}

}  // namespace tovrel::standin
