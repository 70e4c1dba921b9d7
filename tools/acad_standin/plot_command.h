// The prompts of AutoCAD's command-line plot ("-PLOT", "_-PLOT"), one at a
// time, as AutoCAD asks them:
//
//   Detailed plot configuration? [Yes/No]
//   Enter a layout name or [?]
//   (No:  Enter a page setup name)
//   Enter an output device name or [?]
//   (Yes: Enter paper size or [?]
//         Enter paper units [Inches/Millimeters]
//         Enter drawing orientation [Portrait/Landscape]
//         Plot upside down? [Yes/No]
//         Enter plot area [Display/Extents/Limits|Layout/View/Window]
//           (View: Enter view name; Window: two corners)
//         Enter plot scale (Plotted Millimeters=Drawing Units) or [Fit]
//         Enter plot offset (x,y) or [Center]   (no Center for area Layout)
//         Plot with plot styles? [Yes/No]
//         Enter plot style table name or [?] (enter . for none)
//         Plot with lineweights? [Yes/No]
//         Model:  Enter shade plot setting [As displayed/.../Rendered]
//         Layout: Scale lineweights with plot scale? [Yes/No]
//                 Plot paper space first? [Yes/No]
//                 Hide paperspace objects? [Yes/No])
//   Write the plot to a file [Yes/No]   (Yes: Enter file name)
//   Save changes to page setup [Yes/No]?
//   Proceed with plot [Yes/No]
//
// An empty answer (Enter) keeps the prompt's default. Keywords are matched
// as AutoCAD does: case-insensitive, any beginning of the keyword, with an
// optional leading "_".
#pragma once

#include <string>
#include <string_view>

#include "standin_record.h"

namespace tovrel::standin {

// How much of a script line one answer takes: a token ends at the first
// blank (a blank is Enter in a script); a text takes the rest of the line,
// so device, paper and layout names may hold blanks.
enum class AnswerKind { Token, Text };

class PlotCommand {
public:
  enum class Step {
    Detailed, LayoutName, PageSetup, Device, Paper, Units, Orientation, UpsideDown, Area,
    ViewName, WindowFirst, WindowSecond, Scale, Offset, PlotStyles, StyleTable, Lineweights,
    ShadePlot, VisualStyle, ScaleLineweights, PaperSpaceFirst, HidePaperspace, ToFile,
    FileName, SaveChanges, Proceed, Done
  };

  PlotCommand();

  Step CurrentStep() const { return step_; }
  bool Done() const { return step_ == Step::Done; }
  // The prompt now asked, without its <default> part.
  std::u16string Prompt() const;
  AnswerKind Kind() const;

  // Takes the answer to the current prompt. Returns an empty text when it
  // fits (the command moves on; after "?" at a prompt that lists its
  // choices, AutoCAD asks again) and otherwise why it does not (the command
  // stays where it is).
  std::u16string Answer(std::u16string_view answer);

  // The answers so far, named, in prompt order: detailed, layout, space,
  // device, paper, units, orientation, upside_down, area, scale, offset,
  // plot_styles, plot_style_table, lineweights, shade_plot | the three
  // layout flags, to_file, file, save_changes, proceed.
  const Record& Settings() const { return settings_; }
  bool Proceeds() const { return settings_.Flag("proceed"); }

private:
  std::u16string Accept(std::u16string_view answer);
  Step Next() const;

  Step step_ = Step::Detailed;
  bool model_ = true;
  Record settings_;
};

// True for the name of the Model tab in the English, Japanese, Korean and
// Chinese versions of AutoCAD ("Model", "モデル", "모형", "模型").
bool IsModelLayoutName(std::u16string_view name);

}  // namespace tovrel::standin
