// The template selection (dialog 3): the active template chosen by title,
// and the way into the template editor.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "script/template_editing.h"
#include "storage/script_template.h"

namespace tovrel {

struct TemplateSelectionData {
  TemplateSet& templates;
  int activeTemplate;              // the settings' autocad_type; the choice of OK
  std::int32_t language;           // the settings' moji_type
  TemplateEditorMemory& editor;    // kept by the caller for the whole run
  std::u16string workingDirectory; // where import and export start
  // Writes the templates once the editor has closed; the caller shows the
  // wait window and reports a failed write.
  std::function<void(HWND owner)> saveTemplates;
};

// True when OK chose a template (activeTemplate is then its index); false
// when the dialog was left unchanged.
bool RunTemplateSelectionDialog(HWND owner, TemplateSelectionData& data);

}  // namespace tovrel
