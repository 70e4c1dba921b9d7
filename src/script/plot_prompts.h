// The prompts of AutoCAD's command-line plot ("-PLOT", "_-PLOT") with
// "Detailed plot configuration?" answered Yes or No, one at a time, as
// AutoCAD asks them. The AutoCAD stand-in runs scripts through it, and the
// check before a run walks every row's lines through it, so both see the
// same prompts in the same order.
//
//   Detailed plot configuration? [Yes/No]
//   Enter a layout name or [?]              (Enter: the drawing's current tab)
//   (No:  Enter a page setup name)
//   Enter an output device name or [?]
//   (Yes: Enter paper size or [?]
//         Enter paper units [Inches/Millimeters]        not for raster devices
//         Enter drawing orientation [Portrait/Landscape]
//         Plot upside down? [Yes/No]
//         Enter plot area [Display/Extents/Limits/View/Window]  (a layout:
//           Layout instead of Limits; View: a view name; Window: two corners)
//         Enter plot scale (Plotted Millimeters=Drawing Units) or [Fit]
//         Enter plot offset (x,y) or [Center]   (no Center for area Layout)
//         Plot with plot styles? [Yes/No]
//         Enter plot style table name or [?] (enter . for none)
//         Plot with lineweights? [Yes/No]
//         Model:  Enter shade plot setting [As displayed/.../Rendered]
//         Layout: Scale lineweights with plot scale? [Yes/No]
//                 Plot paper space first? [Yes/No]
//                 Hide paperspace objects? [Yes/No])
//   Write the plot to a file [Yes/No]   not for file-only and raster devices
//   Enter file name                     after Yes, or at once for those devices
//   Save changes to page setup [Yes/No]?
//   Proceed with plot [Yes/No]
//
// Keywords are matched as AutoCAD matches them: case-insensitive, any
// beginning of the keyword, with or without the language-independent "_".
// Names (layout, device, paper, plot style table, file) are taken whole: a
// name with a blank at either end names nothing that exists. An answer that
// does not fit is refused and the same prompt is asked again.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "printers/plot_devices.h"

namespace tovrel {

// The device named at "Enter an output device name" changes the prompts by
// its class (DeviceClass, printers/plot_devices.h).
// The class of a device: AutoCAD's built-in configurations by name, other ".pc3" names by the words PDF, DWF (file-only) and PNG, JPG,
// JPEG, TIF, TIFF, BMP (raster) in them; everything else prints.
DeviceClass ClassifyDevice(std::u16string_view device);
// The papers of a built-in configuration; nullptr for a device whose papers
// are not known (then any paper is taken).
const std::vector<std::u16string_view>* KnownDevicePapers(std::u16string_view device);
// True when the device offers the paper (either form of its name, NamesPaper),
// as far as the built-in table knows.
bool KnownDeviceOffersPaper(std::u16string_view device, std::u16string_view paper);
// ".pdf", ".dwf", ".dwfx", ".png", ".jpg", ".tif", ".bmp", or ".plt" for a printer.
std::u16string_view PlotFileExtension(std::u16string_view device);
// AutoCAD's default plot file: "<drawing without extension>-<layout><ext>".
std::u16string DefaultPlotFileName(std::u16string_view drawing, std::u16string_view layout,
                                   std::u16string_view device);

// True for the name of the Model tab in the English, Japanese, Korean and
// Chinese versions of AutoCAD ("Model", "モデル", "모형", "模型").
bool IsModelLayoutName(std::u16string_view name);

// True when the answer names the keyword: any beginning of it, any case,
// with an optional leading "_".
bool MatchesKeyword(std::u16string_view answer, std::u16string_view keyword);

enum class PlotStep {
  Detailed, LayoutName, PageSetup, Device, Paper, Units, Orientation, UpsideDown, Area,
  ViewName, WindowFirst, WindowSecond, Scale, Offset, PlotStyles, StyleTable, Lineweights,
  ShadePlot, VisualStyle, ScaleLineweights, PaperSpaceFirst, HidePaperspace, ToFile,
  FileName, SaveChanges, Proceed, Done
};

// A keyword answer ends at the first blank of a script line (a blank is
// Enter there); a name takes the rest of the line, blanks and all.
enum class AnswerKind { Keyword, Name };

using PlotValue = std::variant<std::u16string, bool>;

class PlotPrompts {
public:
  // Whether a device offers a paper. Without one every paper is taken.
  using PaperCheck = std::function<bool(std::u16string_view device, std::u16string_view paper)>;

  // `currentTab` is the tab the drawing shows, which Enter at "Enter a layout
  // name" plots (Model unless told otherwise).
  explicit PlotPrompts(PaperCheck paperCheck = {}, std::u16string currentTab = u"Model");

  PlotStep Step() const { return step_; }
  bool Done() const { return step_ == PlotStep::Done; }
  // The prompt now asked, without its <default> part.
  std::u16string Prompt() const;
  AnswerKind Kind() const;

  // Takes the answer to the current prompt: empty when it fits (the command
  // moves on; "?" at a prompt that lists its choices asks again), otherwise
  // why it does not, and the same prompt is asked again.
  std::u16string Answer(std::u16string_view answer);

  // The answers so far, named, in prompt order (see the stand-in's README).
  const std::vector<std::pair<std::string, PlotValue>>& Fields() const { return fields_; }
  std::u16string Text(std::string_view field) const;
  bool Flag(std::string_view field) const;
  bool Proceeds() const { return Flag("proceed"); }
  bool ModelSpace() const { return model_; }
  DeviceClass Device() const { return deviceClass_; }

private:
  std::u16string Accept(std::u16string_view answer);
  std::u16string AcceptName(std::u16string_view answer);
  PlotStep Next() const;
  void Set(std::string_view field, PlotValue value);

  PaperCheck paperCheck_;
  std::u16string currentTab_;
  PlotStep step_ = PlotStep::Detailed;
  bool model_ = true;
  DeviceClass deviceClass_ = DeviceClass::Printer;
  std::vector<std::pair<std::string, PlotValue>> fields_;
};

}  // namespace tovrel
