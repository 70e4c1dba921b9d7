#include "script/plot_prompts.h"

#include <array>
#include <optional>
#include <span>

namespace tovrel {
namespace {

using Step = PlotStep;

char16_t LowerAscii(char16_t c) {
  return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

std::u16string Lower(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) c = LowerAscii(c);
  return out;
}

bool EqualNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

bool ContainsWord(std::u16string_view lowerText, std::u16string_view lowerWord) {
  return lowerText.find(lowerWord) != std::u16string_view::npos;
}

const BuiltInDevice* FindKnownDevice(std::u16string_view device) { return FindBuiltInDevice(device); }

// Other configurations by the words in their names: the extension, or
// nothing for one that prints.
std::u16string_view ExtensionByWords(std::u16string_view device) {
  if (!IsPlotterConfiguration(device)) return {};
  const std::u16string lower = Lower(device.substr(0, device.size() - 4));
  struct Word {
    std::u16string_view word;
    std::u16string_view extension;
  };
  static constexpr Word kWords[] = {{u"dwfx", u".dwfx"}, {u"pdf", u".pdf"},  {u"dwf", u".dwf"},
                                    {u"png", u".png"},   {u"jpeg", u".jpg"}, {u"jpg", u".jpg"},
                                    {u"tif", u".tif"},   {u"bmp", u".bmp"}};
  for (const Word& w : kWords) {
    if (ContainsWord(lower, w.word)) return w.extension;
  }
  return {};
}

std::optional<std::size_t> MatchOne(std::u16string_view answer,
                                    std::span<const std::u16string_view> keywords) {
  for (std::size_t i = 0; i < keywords.size(); ++i) {
    if (MatchesKeyword(answer, keywords[i])) return i;
  }
  return std::nullopt;
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

// A name given in double quotes, as file names may be.
std::u16string_view Unquoted(std::u16string_view text) {
  if (text.size() >= 2 && text.front() == u'"' && text.back() == u'"') {
    return text.substr(1, text.size() - 2);
  }
  return text;
}

bool HasBlankAtAnEnd(std::u16string_view text) {
  const auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
  return !text.empty() && (blank(text.front()) || blank(text.back()));
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

// Prompts whose answer is a name taken whole, and the field each fills.
struct NameStep {
  Step step;
  std::u16string_view prompt;
  const char* field;
  std::u16string_view what;  // for the refusal of a name that cannot exist
};

constexpr NameStep kNameSteps[] = {
    {Step::LayoutName, u"Enter a layout name or [?]", "layout", u"layout"},
    {Step::PageSetup, u"Enter a page setup name", "page_setup", u"page setup"},
    {Step::Device, u"Enter an output device name or [?]", "device", u"output device"},
    {Step::Paper, u"Enter paper size or [?]", "paper", u"paper size"},
    {Step::ViewName, u"Enter view name", "view", u"view"},
    {Step::StyleTable, u"Enter plot style table name or [?] (enter . for none)",
     "plot_style_table", u"plot style table"},
    {Step::FileName, u"Enter file name", "file", u"file"},
};

const NameStep* FindName(Step step) {
  for (const NameStep& s : kNameSteps) {
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

DeviceClass ClassifyDevice(std::u16string_view device) {
  if (const BuiltInDevice* known = FindKnownDevice(device)) return known->deviceClass;
  const std::u16string_view extension = ExtensionByWords(device);
  if (extension.empty()) return DeviceClass::Printer;
  return (extension == u".pdf" || extension == u".dwf" || extension == u".dwfx")
             ? DeviceClass::FileOnly
             : DeviceClass::Raster;
}

const std::vector<std::u16string_view>* KnownDevicePapers(std::u16string_view device) {
  const BuiltInDevice* known = FindKnownDevice(device);
  return known && !known->papers.empty() ? &known->papers : nullptr;
}

bool KnownDeviceOffersPaper(std::u16string_view device, std::u16string_view paper) {
  const std::vector<std::u16string_view>* papers = KnownDevicePapers(device);
  if (!papers) return true;
  for (std::u16string_view known : *papers) {
    if (NamesPaper(known, paper)) return true;
  }
  return false;
}

std::u16string_view PlotFileExtension(std::u16string_view device) {
  if (const BuiltInDevice* known = FindKnownDevice(device)) return known->extension;
  const std::u16string_view extension = ExtensionByWords(device);
  return extension.empty() ? u".plt" : extension;
}

std::u16string DefaultPlotFileName(std::u16string_view drawing, std::u16string_view layout,
                                   std::u16string_view device) {
  const std::size_t slash = drawing.find_last_of(u"\\/");
  const std::size_t dot = drawing.find_last_of(u'.');
  const bool hasExtension = dot != drawing.npos && (slash == drawing.npos || dot > slash);
  std::u16string name(hasExtension ? drawing.substr(0, dot) : drawing);
  name += u'-';
  name += layout.empty() ? u"Model" : layout;
  name += PlotFileExtension(device);
  return name;
}

bool IsModelLayoutName(std::u16string_view name) {
  static constexpr std::u16string_view kLocalNames[] = {u"\u30E2\u30C7\u30EB", u"\uBAA8\uD615",
                                                        u"\u6A21\u578B"};
  if (EqualNoCase(name, u"Model")) return true;
  for (std::u16string_view local : kLocalNames) {
    if (name == local) return true;
  }
  return false;
}

bool MatchesKeyword(std::u16string_view answer, std::u16string_view keyword) {
  if (!answer.empty() && answer.front() == u'_') answer.remove_prefix(1);
  if (answer.empty() || answer.size() > keyword.size()) return false;
  for (std::size_t i = 0; i < answer.size(); ++i) {
    if (LowerAscii(answer[i]) != LowerAscii(keyword[i])) return false;
  }
  return true;
}

PlotPrompts::PlotPrompts(PaperCheck paperCheck, std::u16string currentTab)
    : paperCheck_(std::move(paperCheck)), currentTab_(std::move(currentTab)) {}

void PlotPrompts::Set(std::string_view field, PlotValue value) {
  for (auto& [name, existing] : fields_) {
    if (name == field) {
      existing = std::move(value);
      return;
    }
  }
  fields_.emplace_back(std::string(field), std::move(value));
}

std::u16string PlotPrompts::Text(std::string_view field) const {
  for (const auto& [name, value] : fields_) {
    if (name == field) {
      const auto* text = std::get_if<std::u16string>(&value);
      return text ? *text : std::u16string();
    }
  }
  return {};
}

bool PlotPrompts::Flag(std::string_view field) const {
  for (const auto& [name, value] : fields_) {
    if (name == field) {
      const auto* flag = std::get_if<bool>(&value);
      return flag && *flag;
    }
  }
  return false;
}

std::u16string PlotPrompts::Prompt() const {
  if (const YesNoStep* s = FindYesNo(step_)) return std::u16string(s->prompt);
  if (const NameStep* s = FindName(step_)) return std::u16string(s->prompt);
  const bool inches = Text("units") == u"inches";
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
      return Text("area") == u"layout" ? u"Enter plot offset (x,y)"
                                       : u"Enter plot offset (x,y) or [Center]";
    case Step::ShadePlot:
      return u"Enter shade plot setting [As displayed/legacy Wireframe/legacy Hidden/Visual "
             u"styles/Rendered]";
    case Step::VisualStyle: return u"Enter an option [Wireframe/Hidden/Realistic/Conceptual/Other]";
    default: return u"";
  }
}

AnswerKind PlotPrompts::Kind() const {
  return FindName(step_) ? AnswerKind::Name : AnswerKind::Keyword;
}

std::u16string PlotPrompts::Answer(std::u16string_view answer) {
  if (step_ == Step::Done) return u"the plot command has ended";
  const bool listable = step_ == Step::LayoutName || step_ == Step::Device ||
                        step_ == Step::Paper || step_ == Step::StyleTable;
  if (listable && answer == u"?") return u"";  // AutoCAD lists the choices and asks again
  std::u16string error = Accept(answer);
  if (error.empty()) step_ = Next();
  return error;
}

std::u16string PlotPrompts::AcceptName(std::u16string_view answer) {
  const NameStep* s = FindName(step_);
  const std::u16string_view name = Unquoted(answer);
  // The file system drops blanks at the end of a file name; every other
  // name is looked up as it stands, and none that exists ends in a blank.
  if (step_ != Step::FileName && HasBlankAtAnEnd(name)) {
    return Quoted(answer) + u" is not the name of a " + std::u16string(s->what) +
           u" (blank at its start or end)";
  }
  switch (step_) {
    case Step::LayoutName:
      // Enter keeps the drawing's current tab.
      model_ = IsModelLayoutName(name.empty() ? std::u16string_view(currentTab_) : name);
      Set("layout", std::u16string(name));
      Set("space", std::u16string(model_ ? u"model" : u"layout"));
      return u"";
    case Step::Device:
      if (!name.empty()) deviceClass_ = ClassifyDevice(name);
      break;
    case Step::FileName:
      // File-only and raster devices are not asked: they always write a file.
      if (deviceClass_ != DeviceClass::Printer) Set("to_file", true);
      break;
    case Step::Paper:
      if (!name.empty() && paperCheck_ && !paperCheck_(Text("device"), name)) {
        return Quoted(answer) + u" is not a paper size of " + Quoted(Text("device"));
      }
      break;
    default: break;
  }
  Set(s->field, std::u16string(name));
  return u"";
}

// Checks and stores one answer; the step does not change here.
std::u16string PlotPrompts::Accept(std::u16string_view answer) {
  if (const YesNoStep* s = FindYesNo(step_)) {
    bool value = s->byDefault;
    if (!answer.empty()) {
      const auto which = MatchOne(answer, kYesNo);
      if (!which) return Quoted(answer) + u" is not Yes or No";
      value = *which == 0;
    }
    Set(s->field, value);
    return u"";
  }
  if (const auto choice = FindChoice(step_, model_)) {
    if (answer.empty()) {  // Enter keeps the current setting
      Set(choice->field, std::u16string(choice->byDefault));
      return u"";
    }
    const std::optional<std::size_t> which = MatchOne(answer, choice->keywords);
    if (!which) return Quoted(answer) + std::u16string(choice->refusal);
    Set(choice->field, Lower(choice->keywords[*which]));
    return u"";
  }
  if (FindName(step_)) return AcceptName(answer);
  switch (step_) {
    case Step::WindowFirst:
    case Step::WindowSecond:
      if (!IsPoint(answer)) return Quoted(answer) + u" is not a point x,y";
      Set(step_ == Step::WindowFirst ? "window_from" : "window_to", std::u16string(answer));
      return u"";
    case Step::Scale:
      if (answer.empty()) {
        Set("scale", std::u16string());
      } else if (MatchesKeyword(answer, u"Fit")) {
        Set("scale", std::u16string(u"fit"));
      } else if (IsScale(answer)) {
        Set("scale", std::u16string(answer));
      } else {
        return Quoted(answer) + u" is not Fit or a scale such as 1:1";
      }
      return u"";
    case Step::Offset: {
      const bool centerAllowed = Text("area") != u"layout";
      if (answer.empty()) {
        Set("offset", std::u16string());
      } else if (centerAllowed && MatchesKeyword(answer, u"Center")) {
        Set("offset", std::u16string(u"center"));
      } else if (IsPoint(answer)) {
        Set("offset", std::u16string(answer));
      } else {
        return Quoted(answer) + (centerAllowed ? u" is not Center or an offset x,y"
                                               : u" is not an offset x,y (plot area Layout)");
      }
      return u"";
    }
    case Step::VisualStyle:
      if (answer.empty()) return u"no visual style given";
      Set("visual_style", std::u16string(answer));
      return u"";
    default: return u"unexpected answer";
  }
}

// The prompt that follows the current one, given the answers so far.
PlotStep PlotPrompts::Next() const {
  const bool detailed = Flag("detailed");
  const bool asksToFile = deviceClass_ == DeviceClass::Printer;
  switch (step_) {
    case Step::Detailed: return Step::LayoutName;
    case Step::LayoutName: return detailed ? Step::Device : Step::PageSetup;
    case Step::PageSetup: return Step::Device;
    case Step::Device:
      if (detailed) return Step::Paper;
      return asksToFile ? Step::ToFile : Step::FileName;
    case Step::Paper: return deviceClass_ == DeviceClass::Raster ? Step::Orientation : Step::Units;
    case Step::Units: return Step::Orientation;
    case Step::Orientation: return Step::UpsideDown;
    case Step::UpsideDown: return Step::Area;
    case Step::Area: {
      const std::u16string area = Text("area");
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
    case Step::ShadePlot: {
      if (Text("shade_plot") == u"visual styles") return Step::VisualStyle;
      return asksToFile ? Step::ToFile : Step::FileName;
    }
    case Step::VisualStyle:
    case Step::HidePaperspace: return asksToFile ? Step::ToFile : Step::FileName;
    case Step::ScaleLineweights: return Step::PaperSpaceFirst;
    case Step::PaperSpaceFirst: return Step::HidePaperspace;
    case Step::ToFile: return Flag("to_file") ? Step::FileName : Step::SaveChanges;
    case Step::FileName: return Step::SaveChanges;
    case Step::SaveChanges: return Step::Proceed;
    case Step::Proceed:
    case Step::Done: return Step::Done;
  }
  return Step::Done;
}

}  // namespace tovrel
