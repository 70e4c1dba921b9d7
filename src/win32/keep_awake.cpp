#include "win32/keep_awake.h"

#include <realtimeapiset.h>

namespace tovrel {

KeepAwake::KeepAwake() : previous_(SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED)) {}

KeepAwake::~KeepAwake() { SetThreadExecutionState(previous_ ? previous_ | ES_CONTINUOUS : ES_CONTINUOUS); }

std::uint64_t AwakeMilliseconds() {
  ULONGLONG hundredNs = 0;  // counts in 100 ns units and stands still while the machine sleeps
  if (QueryUnbiasedInterruptTime(&hundredNs)) return hundredNs / 10000;
  return GetTickCount64();
}

}  // namespace tovrel
