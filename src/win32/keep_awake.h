// While a run goes the machine must not sleep: the guard asks Windows to
// keep the system awake for its life and gives the old state back after.
// Time-outs are counted in awake time (AwakeMilliseconds), so that a
// machine that slept all the same does not end the drawing it woke up in.
#pragma once

#include <windows.h>

#include <cstdint>

namespace tovrel {

class KeepAwake {
public:
  KeepAwake();
  ~KeepAwake();
  KeepAwake(const KeepAwake&) = delete;
  KeepAwake& operator=(const KeepAwake&) = delete;

private:
  EXECUTION_STATE previous_;
};

// Milliseconds since the system started, without the time it slept.
std::uint64_t AwakeMilliseconds();

}  // namespace tovrel
