// Starting AutoCAD on the script file and waiting for it without freezing
// the window: the wait handles the thread's messages, ends AutoCAD when it
// runs past its time or the user stops it now, and reads its exit code.
#pragma once

#include <windows.h>

#include <cstdint>

#include "storage/app_settings.h"

namespace tovrel {

class ProgressWindow;

struct AutocadOutcome {
  enum class Kind { Ended, CouldNotStart, TimedOut, StoppedNow };
  Kind kind = Kind::CouldNotStart;
  DWORD exitCode = 0;

  bool Plotted() const { return kind == Kind::Ended && exitCode == 0; }
};

// Starts `autocad_file` with " /b \"<temp_file>\"" and waits for it.
// `timeoutMs` 0 waits as long as it takes. While it waits, `progress` (when
// given) is pumped and asked whether to stop now.
AutocadOutcome RunAutocadAndWait(const AppSettings& settings, std::uint64_t timeoutMs, ProgressWindow* progress);

}  // namespace tovrel
