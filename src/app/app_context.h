// The program's process-wide records: one of each per process, alive for the
// whole run, owned here and reached through App().
#pragma once

#include <string>
#include <vector>

#include "printers/printer_catalog.h"
#include "storage/file_io.h"
#include "storage/app_settings.h"
#include "storage/script_template.h"
#include "storage/text_catalog.h"

namespace tovrel {

struct AppContext {
  AppSettings settings;
  TemplateSet templates;
  UiText text;
  // The folder where all of the program's own files lie (259 characters at most).
  std::u16string workingDirectory;
  // The printers and their papers; printer-dependent commands fill it first
  // while its catalogLoaded flag is clear.
  PrinterCatalog printers;
  // The templates in memory differ from the template file (the editor, the
  // initial values): they are written at exit and before another language's
  // are read.
  bool templatesChanged = false;
  // Files that were there but could not be read (locked, or offline in a
  // cloud folder): memory does not hold what they hold, so they are never
  // written over unless the user confirms.
  std::vector<std::u16string> unreadFiles;

  // Notes how reading `path` went: a failed read is remembered, a read
  // (or a missing file) forgets an earlier failure.
  void NoteRead(const std::u16string& path, ReadStatus status);
  bool WasUnread(const std::u16string& path) const;

  const ScriptTemplate& ActiveTemplate() const { return templates[ActiveTemplateIndex()]; }
  int ActiveTemplateIndex() const {
    const int index = settings.autocad_type;
    return index >= 0 && index < kTemplateCount ? index : 1;
  }
};

AppContext& App();

}  // namespace tovrel
