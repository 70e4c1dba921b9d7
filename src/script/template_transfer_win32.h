// Import and export of one template through a file of the user's choosing
// (the single-template file, offered as "*.dat").
#pragma once

#include <windows.h>

#include <string>

#include "storage/script_template.h"

namespace tovrel {

enum class TransferOutcome {
  Done,          // read or written
  Cancelled,     // the user closed the file dialog
  DialogFailed,  // the file dialog failed; the user has been told
  FileFailed,    // the chosen file could not be read or written (see error), or holds no template
  Refused,       // the chosen file is a template file of all templates: not written
};

// Asks for a file (open dialog, titled by code text 28) and replaces the
// columns of `tmpl` by those of the file; the title and in-use flag stay.
// A file that holds no column changes nothing (FileFailed).
// `chosenPath` gets the path the user chose.
TransferOutcome ImportTemplate(HWND owner, const std::u16string& workingDirectory, ScriptTemplate& tmpl,
                               std::u16string& chosenPath);

// Asks for a file (save dialog, titled by code text 29, no question before
// overwriting) and writes the columns of `tmpl` into it, replacing the
// single-template keys of its "listview_dt" section; a template file of all
// templates is refused. `error` says why a write failed.
TransferOutcome ExportTemplate(HWND owner, const std::u16string& workingDirectory, const ScriptTemplate& tmpl,
                               std::u16string& chosenPath, std::u16string& error);

}  // namespace tovrel
