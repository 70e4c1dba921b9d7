#include "printers/spooler_win32.h"

#include <windows.h>

#include <winspool.h>

namespace tovrel {

namespace {

// Local printers and connections, the records with name and port.
constexpr DWORD kEnumFlags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
constexpr DWORD kInfoLevel = 2;

std::u16string Text(const wchar_t* text) {
  return text ? std::u16string(reinterpret_cast<const char16_t*>(text)) : std::u16string();
}

// DeviceCapabilitiesW wants terminated texts.
std::wstring Terminated(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

bool Win32Spooler::EnumeratePrinters(std::vector<SpoolerPrinter>& printers) {
  printers.clear();
  DWORD needed = 0;
  DWORD returned = 0;
  EnumPrintersW(kEnumFlags, nullptr, kInfoLevel, nullptr, 0, &needed, &returned);
  // Exactly the size the spooler asked for; it lives for this call only.
  std::vector<BYTE> buffer(needed);
  returned = 0;
  if (!EnumPrintersW(kEnumFlags, nullptr, kInfoLevel, buffer.empty() ? nullptr : buffer.data(), needed, &needed,
                     &returned)) {
    return false;
  }
  const auto* records = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
  printers.reserve(returned);
  for (DWORD i = 0; i < returned; ++i) {
    printers.push_back({Text(records[i].pPrinterName), Text(records[i].pPortName)});
  }
  return true;
}

int Win32Spooler::PaperNameCount(std::u16string_view printer, std::u16string_view port) {
  return DeviceCapabilitiesW(Terminated(printer).c_str(), Terminated(port).c_str(), DC_PAPERNAMES, nullptr,
                             nullptr);
}

int Win32Spooler::PaperNames(std::u16string_view printer, std::u16string_view port, char16_t* buffer,
                             std::size_t capacity) {
  const std::wstring name = Terminated(printer);
  const std::wstring portName = Terminated(port);
  // DeviceCapabilitiesW takes no buffer size: ask for the count right before
  // and write only when that many names fit, so a driver whose list grew
  // since the caller sized the buffer cannot write past it. A driver with no
  // names is not asked to write any.
  const int count = DeviceCapabilitiesW(name.c_str(), portName.c_str(), DC_PAPERNAMES, nullptr, nullptr);
  if (count <= 0 || static_cast<std::size_t>(count) * kDriverPaperNameUnits > capacity) return count;
  return DeviceCapabilitiesW(name.c_str(), portName.c_str(), DC_PAPERNAMES, reinterpret_cast<wchar_t*>(buffer),
                             nullptr);
}

std::u16string Win32Spooler::DefaultPrinter() {
  DWORD size = 0;
  GetDefaultPrinterW(nullptr, &size);
  if (size == 0) return {};
  std::wstring name(size, L'\0');
  if (!GetDefaultPrinterW(name.data(), &size)) return {};
  return Text(name.c_str());
}

}  // namespace tovrel
