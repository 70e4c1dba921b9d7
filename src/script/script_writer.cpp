#include "script/script_writer.h"

#include "storage/file_names.h"

#include "storage/text_codec.h"

namespace tovrel {

namespace {

constexpr std::u16string_view kLineEnd = u"\r\n";

// True when text[i] and text[i + 1] are the two halves of one surrogate pair.
bool PairStartsAt(std::u16string_view text, std::size_t i) {
  return i + 1 < text.size() && text[i] >= 0xD800 && text[i] <= 0xDBFF && text[i + 1] >= 0xDC00 &&
         text[i + 1] <= 0xDFFF;
}

// Text cut to fit a field of `size` characters with its terminator. A
// surrogate pair is never split into a lone half that would make the script
// invalid UTF-16: a pair that does not fit whole is left out.
std::u16string_view FitField(std::u16string_view text, std::size_t size) {
  std::size_t length = size == 0 ? 0 : size - 1;
  if (text.size() <= length) return text;
  if (length > 0 && PairStartsAt(text, length - 1)) --length;
  return text.substr(0, length);
}

// A cell cut to its field. It is read one character longer than the field
// holds, to see whether the last character that fits begins a pair.
std::u16string CellInField(const RowStore& rows, int row, int column, std::size_t size) {
  std::u16string text = rows.CellText(row, column, size + 1);
  text.resize(FitField(text, size).size());
  return text;
}

std::u16string_view CommandOf(const TemplateColumn& column) {
  return FitField(column.command, TemplateColumn::kCommandSize);
}

// One character: a surrogate pair is kept whole.
std::u16string_view FirstCharacter(std::u16string_view text) {
  if (text.empty()) return text;
  return text.substr(0, PairStartsAt(text, 0) ? 2 : 1);
}

bool NeedsSeparator(std::u16string_view folder) {
  return !(folder.size() >= 2 && folder.back() == u'\\');
}

void AppendLine(std::string& bytes, std::u16string_view text) {
  AppendUtf16Le(bytes, text);
  AppendUtf16Le(bytes, kLineEnd);
}

// `prefix` "<path>" CR LF, the shape of output mode 1 and of the closing
// open line.
bool AppendOpenLine(std::string& bytes, std::u16string_view prefix, std::u16string_view path) {
  if (prefix.size() + 3 + path.size() > kMaxScriptLine) return false;
  AppendUtf16Le(bytes, prefix);
  AppendUtf16Le(bytes, u" \"");
  AppendUtf16Le(bytes, path);
  AppendUtf16Le(bytes, u"\"\r\n");
  return true;
}

ScriptWriteResult Failure(int messageNumber, int failedRow = -1) {
  ScriptWriteResult result;
  result.messageNumber = messageNumber;
  result.failedRow = failedRow;
  return result;
}

// Hands the finished script to the open sink and closes it. A failed write
// or close is a script that cannot be trusted: message 19.
ScriptWriteResult Deliver(const std::string& bytes, ScriptSink& sink) {
  if (!sink.Write(bytes)) {
    sink.Close();
    return Failure(kMessageScriptCannotCreate);
  }
  if (!sink.Close()) return Failure(kMessageScriptCannotCreate);
  ScriptWriteResult result;
  result.ok = true;
  result.bytesWritten = bytes.size();
  return result;
}

}  // namespace

ScriptColumns FindScriptColumns(const ScriptTemplate& tmpl) {
  ScriptColumns found;
  int listColumn = 0;
  for (const TemplateColumn& column : tmpl.columns) {
    if (column.inUse == 0) break;
    if (column.displayMode == 0) continue;
    if (column.displayMode == 1) found.fileNameColumn = listColumn;
    if (column.displayMode == 2) found.folderColumn = listColumn;
    ++listColumn;
  }
  return found;
}

std::u16string DrawingPath(std::u16string_view folder, std::u16string_view fileName) {
  std::u16string path;
  path.reserve(folder.size() + 1 + fileName.size());
  path.append(folder);
  if (NeedsSeparator(folder)) path += u'\\';
  path.append(fileName);
  return path;
}

std::u16string RowDrawingPath(const RowStore& rows, int row, const ScriptColumns& columns) {
  const int nameColumn = columns.fileNameColumn >= 0 ? columns.fileNameColumn : 0;
  std::u16string name = CellInField(rows, row, nameColumn, kScriptPathCellSize);
  if (columns.folderColumn < 0) return name;
  return DrawingPath(CellInField(rows, row, columns.folderColumn, kScriptPathCellSize), name);
}

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\u3000'; }

std::u16string_view Trimmed(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The line of each column of a row, in template order, handed to `visit`
// with the column's index; `visit` answers false to stop. False when it did.
template <typename Visit>
bool ForEachRowLine(const RowStore& rows, int row, const ScriptTemplate& tmpl,
                    const ScriptColumns& columns, Visit visit) {
  std::u16string path;  // read once, at the first output mode 1 column
  bool havePath = false;
  std::u16string cell;
  std::u16string line;
  int listColumn = 0;
  for (int index = 0; index < kColumnCount; ++index) {
    const TemplateColumn& column = tmpl.columns[static_cast<std::size_t>(index)];
    if (column.inUse == 0) break;
    const int cellColumn = column.displayMode != 0 ? listColumn++ : -1;
    switch (column.outputMode) {
      case 1:
        if (!havePath) {
          path = RowDrawingPath(rows, row, columns);
          havePath = true;
        }
        line.assign(CommandOf(column));
        line += u" \"";
        line += path;
        line += u'"';
        break;
      case 2:
        line.assign(CommandOf(column));
        break;
      case 3:
      case 4: {
        if (cellColumn >= 0) cell = CellInField(rows, row, cellColumn, kScriptValueCellSize);
        else cell.clear();
        std::u16string_view text = cell;
        if (IsKeywordAnswer(column)) text = Trimmed(text);
        line.assign(column.outputMode == 3 ? FirstCharacter(text) : text);
        break;
      }
      default:
        continue;
    }
    if (!visit(index, line)) return false;
  }
  return true;
}

}  // namespace

bool IsKeywordAnswer(const TemplateColumn& column) {
  return column.outputMode == 3 || (column.outputMode == 4 && column.editMode == 2);
}

bool AppendRowLines(const RowStore& rows, int row, const ScriptTemplate& tmpl,
                    const ScriptColumns& columns, std::string& bytes) {
  const std::size_t start = bytes.size();
  const bool fits = ForEachRowLine(rows, row, tmpl, columns, [&](int, const std::u16string& line) {
    if (line.size() > kMaxScriptLine) return false;
    AppendLine(bytes, line);
    return true;
  });
  if (!fits) bytes.resize(start);
  return fits;
}

std::vector<ScriptLine> RowScriptLines(const RowStore& rows, int row, const ScriptTemplate& tmpl,
                                       const ScriptColumns& columns) {
  std::vector<ScriptLine> lines;
  ForEachRowLine(rows, row, tmpl, columns, [&](int column, const std::u16string& line) {
    lines.push_back(ScriptLine{line, column});
    return true;
  });
  return lines;
}

void AppendByteOrderMark(std::string& bytes) {
  bytes += '\xFF';
  bytes += '\xFE';
}

bool AppendClosingLines(std::u16string_view endDrawing, std::string& bytes) {
  const std::size_t start = bytes.size();
  if (!AppendOpenLine(bytes, u"open", endDrawing)) {
    bytes.resize(start);
    return false;
  }
  AppendLine(bytes, u"quit");
  return true;
}

ScriptWriteResult WriteScript(RowStore& rows, const ScriptTemplate& tmpl,
                              std::u16string_view endDrawing, int scope, ScriptSink& sink) {
  // Creating the file comes first: even when nothing can be written, the
  // previous script must not stay behind to be run by mistake.
  if (!sink.Open()) return Failure(kMessageScriptCannotCreate);
  const int rowCount = rows.RowCount();
  if (rowCount <= 0) {
    sink.Close();
    return Failure(kMessageListEmpty);
  }
  const int firstSelected = rows.NextSelected(0);
  const bool selectedOnly =
      scope == kScopeSelectedRows || (scope == kScopeSelectedOrAll && firstSelected >= 0);
  if (selectedOnly && firstSelected < 0) {
    sink.Close();
    return Failure(kMessageScriptNoSelection);
  }

  const ScriptColumns columns = FindScriptColumns(tmpl);
  std::string bytes;
  AppendByteOrderMark(bytes);
  // Scope 1 visits the selected rows in list order. Their marks are cleared
  // only once the whole script is on disk, so a refused or failed script
  // leaves the selection for the next attempt.
  const int firstRow = selectedOnly ? firstSelected : 0;
  for (int row = firstRow; row >= 0 && row < rowCount;
       row = selectedOnly ? rows.NextSelected(row + 1) : row + 1) {
    if (!AppendRowLines(rows, row, tmpl, columns, bytes)) {
      sink.Close();
      return Failure(kMessageScriptLineTooLong, row);
    }
    if (row == firstRow) {
      // Rows of one template are much alike: size the buffer once from the
      // first, with some room for longer cells.
      const std::size_t visits = selectedOnly ? static_cast<std::size_t>(rows.SelectedCount())
                                              : static_cast<std::size_t>(rowCount);
      const std::size_t perRow = bytes.size() - 2;
      bytes.reserve(2 + perRow * visits + perRow * visits / 4 + 1200);
    }
  }
  if (!AppendClosingLines(endDrawing, bytes)) {
    sink.Close();
    return Failure(kMessageScriptLineTooLong, -1);
  }

  const ScriptWriteResult result = Deliver(bytes, sink);
  if (result.ok && selectedOnly) {
    for (int row = rows.NextSelected(0); row >= 0; row = rows.NextSelected(row + 1)) {
      rows.SetMarks(row, false);
    }
  }
  return result;
}

ScriptWriteResult WriteRowsScript(RowStore& rows, const std::vector<int>& runRows, const ScriptTemplate& tmpl,
                                  const ScriptColumns& columns, std::u16string_view endDrawing, bool clearMarks,
                                  ScriptSink& sink) {
  if (!sink.Open()) return Failure(kMessageScriptCannotCreate);
  std::string bytes;
  bytes.reserve(2048 * runRows.size());
  AppendByteOrderMark(bytes);
  for (const int row : runRows) {
    if (!AppendRowLines(rows, row, tmpl, columns, bytes)) {
      sink.Close();
      return Failure(kMessageScriptLineTooLong, row);
    }
  }
  if (!AppendClosingLines(endDrawing, bytes)) {
    sink.Close();
    return Failure(kMessageScriptLineTooLong, -1);
  }
  const ScriptWriteResult result = Deliver(bytes, sink);
  if (result.ok && clearMarks) {
    for (const int row : runRows) rows.SetMarks(row, false);
  }
  return result;
}

ScriptWriteResult WriteRowScript(RowStore& rows, int row, const ScriptTemplate& tmpl,
                                 const ScriptColumns& columns, std::u16string_view endDrawing,
                                 bool clearMarks, ScriptSink& sink) {
  return WriteRowsScript(rows, std::vector<int>{row}, tmpl, columns, endDrawing, clearMarks, sink);
}

std::u16string WithScrExtension(std::u16string_view chosenPath) { return WithExtension(chosenPath, u".scr"); }

}  // namespace tovrel
