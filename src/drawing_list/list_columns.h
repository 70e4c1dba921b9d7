// Which template slots the drawing list shows: list column j is the j-th
// slot, in slot order, that is in use and has a display mode.
#pragma once

#include <vector>

#include "storage/script_template.h"

namespace tovrel {

std::vector<int> DisplayedSlots(const ScriptTemplate& tmpl);

}  // namespace tovrel
