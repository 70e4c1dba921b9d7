// The AutoCAD script: what the rows of the drawing list become under the
// active template.
//
// File format: the bytes FF FE, then UTF-16LE text, every line ended by CR
// LF. For each visited row, each template column (in template order, up to
// the first column not in use, at most 50) writes zero or one line by its
// output mode:
//   1  command, " \"", drawing path, "\""
//   2  command alone
//   3  the first character of the column's cell (a surrogate pair counts as
//      one character); an empty cell gives an empty line
//   4  the whole cell (read with at most 127 characters)
// A cell that answers a keyword prompt (output mode 3, and output mode 4
// with edit mode 2, a list of choices) is written without the blanks at
// its ends: in a script a blank is Enter, so a blank the user cannot see
// would answer one more prompt and shift every later answer. Names (the
// printer, paper, layout or plot style of other columns) keep their text.
// Cells and command words cut to their field lose a surrogate pair that
// does not fit whole rather than end in its first half.
//   other  nothing
// A column with display mode 0 owns no list cell: modes 3 and 4 write an
// empty line for it, so every row still writes the same number of lines and
// AutoCAD's later prompts are not answered by the wrong lines.
// After the rows: `open "<end drawing>"` and `quit`. Cell texts and the
// command word are written as they stand, without quoting or escaping.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "drawing_list/row_store.h"
#include "script/script_file.h"
#include "storage/script_template.h"

namespace tovrel {

// Message numbers of the text catalog.
inline constexpr int kMessageScriptCannotCreate = 19;  // also: the script could not be written
inline constexpr int kMessageListEmpty = 20;
inline constexpr int kMessageScriptNoSelection = 21;
inline constexpr int kMessageScriptLineTooLong = 52;

// Limits in characters, without a terminator.
inline constexpr std::size_t kScriptPathCellSize = 260;   // file-name and folder cells: 259
inline constexpr std::size_t kScriptValueCellSize = 128;  // cells of output modes 3 and 4: 127
inline constexpr std::size_t kMaxScriptLine = 509;        // one line before its CR LF

// Row scopes of WriteScript. Any other value is taken as all rows.
inline constexpr int kScopeAllRows = 0, kScopeSelectedRows = 1, kScopeSelectedOrAll = 2;

// The list columns that hold the file name and the folder of a row: in the
// walk over the template (while in use, at most 50 columns), the last column
// with display mode 1 and the last with display mode 2. -1: there is none.
struct ScriptColumns {
  int fileNameColumn = -1;
  int folderColumn = -1;
};

ScriptColumns FindScriptColumns(const ScriptTemplate& tmpl);

// The folder, then '\' unless the folder has at least two characters and
// already ends with '\' (a drive root "C:\"), then the file name. An empty
// folder therefore gives "\name".
std::u16string DrawingPath(std::u16string_view folder, std::u16string_view fileName);

// The drawing path of one row. Without a file-name column the file name is
// the text of list column 0, the column the list search and the file-name
// rules treat as the name. Without a folder column the path is the file name
// alone, with no separator, so a name that holds a whole path still works.
std::u16string RowDrawingPath(const RowStore& rows, int row, const ScriptColumns& columns);

// Appends the lines of one row, as UTF-16LE bytes, to `bytes`. A line longer
// than kMaxScriptLine characters is refused rather than cut (a cut path
// would open another drawing): the answer is then false and `bytes` is left
// as it was.
bool AppendRowLines(const RowStore& rows, int row, const ScriptTemplate& tmpl,
                    const ScriptColumns& columns, std::string& bytes);

// True for a column whose cell answers a keyword prompt and is trimmed.
bool IsKeywordAnswer(const TemplateColumn& column);

// One line of a row's script and the template column that writes it.
struct ScriptLine {
  std::u16string text;
  int templateColumn = -1;
};

// The lines AppendRowLines writes for one row, without a length limit.
std::vector<ScriptLine> RowScriptLines(const RowStore& rows, int row, const ScriptTemplate& tmpl,
                                       const ScriptColumns& columns);

// The byte-order mark, and the two closing lines. AppendClosingLines is
// false, leaving `bytes` as it was, when the end drawing makes its line too
// long.
void AppendByteOrderMark(std::string& bytes);
bool AppendClosingLines(std::u16string_view endDrawing, std::string& bytes);

struct ScriptWriteResult {
  bool ok = false;
  int messageNumber = 0;  // 0 on success, else the message to show
  // With kMessageScriptLineTooLong: the row whose line is too long, or -1
  // when it is the closing line (the end drawing path).
  int failedRow = -1;
  std::size_t bytesWritten = 0;  // bytes handed to the sink
};

// Writes the script of a whole run into `sink`:
//  - the sink cannot be opened: 19;
//  - no rows: 20, the file exists and is empty;
//  - scope 1 (or 2 turned into 1) with no selected row: 21, file empty;
//    scope 2 means 1 when any row is selected, else 0;
//  - a line too long: 52 with the row, file empty, selection unchanged;
//  - a write or close error: 19, never success; selection unchanged.
// On success in scope 1 the written rows (all the selected ones, in list
// order) lose their selection marks. The script is built in memory and
// handed to the sink in one write.
ScriptWriteResult WriteScript(RowStore& rows, const ScriptTemplate& tmpl,
                              std::u16string_view endDrawing, int scope, ScriptSink& sink);

// The script of one row for the per-row runs: the byte-order mark, the row's
// lines, the closing lines. Opens, writes and closes `sink`: 19 when it
// cannot be created or written, 52 for a line too long (the file is then
// left empty). With `clearMarks`, the row loses its selection marks once
// its script has been written.
ScriptWriteResult WriteRowScript(RowStore& rows, int row, const ScriptTemplate& tmpl,
                                 const ScriptColumns& columns, std::u16string_view endDrawing,
                                 bool clearMarks, ScriptSink& sink);

// The same for the rows of one start of AutoCAD in a run that restarts it
// every few rows: their lines in the order given, then the closing lines.
ScriptWriteResult WriteRowsScript(RowStore& rows, const std::vector<int>& runRows, const ScriptTemplate& tmpl,
                                  const ScriptColumns& columns, std::u16string_view endDrawing, bool clearMarks,
                                  ScriptSink& sink);

// The name "save script as" writes to: ".scr" in place of the extension, or
// appended when the file name has none. The extension begins at the first
// '.' of the file name (the part after the last '\' or '/'), so "plot.old.txt"
// becomes "plot.scr" while a dot in a folder name is left alone.
std::u16string WithScrExtension(std::u16string_view chosenPath);

}  // namespace tovrel
