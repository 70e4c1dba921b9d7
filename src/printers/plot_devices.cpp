#include "printers/plot_devices.h"

namespace tovrel {
namespace {

char16_t LowerAscii(char16_t c) {
  return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

}  // namespace

bool EqualIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

const std::vector<BuiltInDevice>& BuiltInDevices() {
  static const std::vector<BuiltInDevice> kBuiltInDevices = {
#include "plot_devices_data.inc"
  };
  return kBuiltInDevices;
}

const BuiltInDevice* FindBuiltInDevice(std::u16string_view name) {
  for (const BuiltInDevice& device : BuiltInDevices()) {
    if (EqualIgnoringAsciiCase(device.name, name)) return &device;
  }
  return nullptr;
}

bool IsPlotterConfiguration(std::u16string_view device) {
  return device.size() >= 4 && EqualIgnoringAsciiCase(device.substr(device.size() - 4), u".pc3");
}

bool NamesPaper(std::u16string_view listed, std::u16string_view answer) {
  if (listed.size() != answer.size()) return false;
  for (std::size_t i = 0; i < listed.size(); ++i) {
    const char16_t a = LowerAscii(listed[i]);
    const char16_t b = LowerAscii(answer[i]);
    if (a != b && !(a == u' ' && b == u'_')) return false;
  }
  return true;
}

}  // namespace tovrel
