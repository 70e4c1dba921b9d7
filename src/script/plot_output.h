// The files a row's plots write: a PDF, DWF or raster configuration always
// writes one, a printer only when "Write the plot to a file" is answered
// Yes. The name is the one the script answers at "Enter file name", or
// AutoCAD's default name beside the drawing after Enter; a bare name lies
// in the drawing's folder. A run checks them after the drawing; the
// stand-in writes them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "script/plot_prompts.h"
#include "script/script_writer.h"

namespace tovrel {

// The file of one plot answered to its end; empty when it writes none.
std::u16string PlotOutputPath(std::u16string_view drawing, const PlotPrompts& plot);

// The files of the plots the lines of one row proceed with, in order.
std::vector<std::u16string> RowOutputFiles(const std::vector<ScriptLine>& lines);

}  // namespace tovrel
