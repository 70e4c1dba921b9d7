// The template editor (dialog 13): the columns of each template edited one
// by one, the template's title and in-use flag, copy and paste of all
// columns, import and export. It works on the templates in memory; the
// caller writes them when it has closed.
#pragma once

#include <windows.h>

#include <string>

#include "script/template_editing.h"
#include "storage/script_template.h"

namespace tovrel {

struct TemplateEditorData {
  TemplateSet& templates;
  TemplateEditorMemory& memory;     // edited template, clipboard: kept for the run
  std::u16string workingDirectory;  // where import and export start
};

void RunTemplateEditorDialog(HWND owner, TemplateEditorData& data);

}  // namespace tovrel
