// AutoCAD's own plot configurations (".pc3"): the ones every AutoCAD ships
// with, built from data/plotters/plot_devices.txt, with the class of each and
// the paper names its command-line plot accepts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tovrel {

// How a device changes the plot's prompts.
//   Printer   a Windows printer or a plotter configuration that prints;
//   FileOnly  PDF and DWF configurations: no "Write the plot to a file";
//   Raster    PNG, JPEG, TIFF and BMP configurations: no paper units and no
//             "Write the plot to a file".
enum class DeviceClass { Printer, FileOnly, Raster };

struct BuiltInDevice {
  std::u16string_view name;
  DeviceClass deviceClass;
  std::u16string_view extension;  // of the plot file, ".pdf"
  // The names the command line lists ("ISO A4 (210.00 x 297.00 MM)"); empty
  // when no source gives them, and then any paper is taken.
  std::vector<std::u16string_view> papers;
};

// The configuration AutoCAD offers for the spooler's default printer.
inline constexpr char16_t kDefaultSystemPrinter[] = u"Default Windows System Printer.pc3";

// Every built-in configuration, in the order of the data file.
const std::vector<BuiltInDevice>& BuiltInDevices();

// The built-in configuration of that name (any case of ASCII letters), or nullptr.
const BuiltInDevice* FindBuiltInDevice(std::u16string_view name);

// True for a plotter configuration file name ("... .pc3", any case).
bool IsPlotterConfiguration(std::u16string_view device);

// True when `answer` names the paper `listed` as AutoCAD takes it: the name
// the command line lists or its canonical form, with "_" for every blank
// ("ISO_A4_(210.00_x_297.00_MM)"), in any case of ASCII letters.
bool NamesPaper(std::u16string_view listed, std::u16string_view answer);

// ASCII letters compared without case.
bool EqualIgnoringAsciiCase(std::u16string_view a, std::u16string_view b);

}  // namespace tovrel
