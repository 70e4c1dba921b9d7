#include "drawing_list/list_columns.h"

namespace tovrel {

std::vector<int> DisplayedSlots(const ScriptTemplate& tmpl) {
  std::vector<int> slots;
  for (int slot = 0; slot < kColumnCount; ++slot) {
    const TemplateColumn& column = tmpl.columns[slot];
    if (column.inUse != 0 && column.displayMode != 0) slots.push_back(slot);
  }
  return slots;
}

}  // namespace tovrel
