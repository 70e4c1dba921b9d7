// The folder the running program (Tovrel.exe) lies in.
#pragma once

#include <string>

namespace tovrel {

// Without a trailing backslash; empty when the system cannot tell.
std::u16string ProgramFolder();

}  // namespace tovrel
