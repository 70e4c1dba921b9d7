#include "drawing_list/row_editing.h"

#include <algorithm>

#include "drawing_list/file_name_rules_model.h"
#include "drawing_list/list_columns.h"

namespace tovrel {

namespace {

constexpr std::size_t kCellSize = RowBuffer::kTextSize;  // cells pass through the buffer at 127
constexpr std::size_t kMovedCellSize = 260;
constexpr std::size_t kPlotStyleNameSize = 256;
constexpr std::size_t kMaxPlotStyles = 100;

// The number of template columns before the first one not in use.
int ColumnsInUse(const ScriptTemplate& tmpl) {
  int count = 0;
  while (count < kColumnCount && tmpl.columns[static_cast<std::size_t>(count)].inUse != 0) ++count;
  return count;
}

// Calls visit(column, listColumn) for each displayed template column up to
// the first one not in use.
template <typename Visit>
void ForEachListColumn(const ScriptTemplate& tmpl, Visit&& visit) {
  int listColumn = 0;
  for (int c = 0; c < kColumnCount; ++c) {
    const TemplateColumn& column = tmpl.columns[static_cast<std::size_t>(c)];
    if (column.inUse == 0) break;
    if (column.displayMode == 0) continue;
    visit(c, listColumn);
    ++listColumn;
  }
}

void DeselectSelectedRows(RowStore& store) {
  for (int row = store.NextSelected(0); row >= 0; row = store.NextSelected(row + 1))
    store.SetMarks(row, false);
}

bool EndsInShortcutLetters(std::u16string_view name) {
  if (name.size() < 2) return false;
  const std::u16string_view tail = name.substr(name.size() - 2);
  return tail == u"nk" || tail == u"NK";
}

bool IsDwgName(std::u16string_view name) {
  if (name.size() < 2) return false;
  const std::u16string_view tail = name.substr(name.size() - 2);
  return tail == u"wg" || tail == u"WG";
}

}  // namespace

void RowBuffer::Clear() {
  for (std::u16string& slot : slots_) slot.clear();
}

const std::u16string& RowBuffer::Slot(int slot) const {
  static const std::u16string kEmpty;
  return slot >= 0 && slot < kSlotCount ? slots_[static_cast<std::size_t>(slot)] : kEmpty;
}

void RowBuffer::SetSlot(int slot, std::u16string_view text) {
  if (slot < 0 || slot >= kSlotCount) return;
  slots_[static_cast<std::size_t>(slot)].assign(text.substr(0, std::min(text.size(), kTextSize - 1)));
}

int EditSelectedRows(RowStore& store, const ScriptTemplate& activeTemplate, RowBuffer& buffer,
                     const EditDialogRunner& runDialog) {
  const int first = store.NextSelected(0);
  if (first < 0) return kMessageEditWithoutRow;
  // The slots take the row's list columns in order, one per template column
  // in use. The dialog works on a copy: a cancelled dialog leaves the rows,
  // their marks and the paste buffer as they were.
  const int columns = ColumnsInUse(activeTemplate);
  RowBuffer edited = buffer;
  for (int c = 0; c < columns; ++c) edited.SetSlot(c, store.CellText(first, c, kCellSize));
  if (!runDialog(edited)) return 0;
  buffer = edited;
  for (int row = store.NextSelected(0); row >= 0; row = store.NextSelected(row + 1)) {
    for (int c = kFirstEditedColumn; c < columns; ++c) store.SetCellText(row, c, buffer.Slot(c));
    store.SetMarks(row, false);
  }
  return 0;
}

void EditEveryRow(RowStore& store, const ScriptTemplate& activeTemplate, RowBuffer& buffer,
                  const EditDialogRunner& runDialog) {
  const RowBuffer saved = buffer;
  buffer.Clear();
  runDialog(buffer);  // Cancel collects nothing: every slot stays empty
  const int columns = ColumnsInUse(activeTemplate);
  const int rows = store.RowCount();
  for (int row = 0; row < rows; ++row) {
    for (int c = kFirstEditedColumn; c < columns; ++c) {
      if (!buffer.Slot(c).empty()) store.SetCellText(row, c, buffer.Slot(c));
    }
    store.SetMarks(row, false);
  }
  buffer = saved;
}

bool EditInitialValues(ScriptTemplate& activeTemplate, RowBuffer& buffer, const EditDialogRunner& runDialog) {
  RowBuffer edited = buffer;
  ForEachListColumn(activeTemplate, [&](int c, int j) {
    const TemplateColumn& column = activeTemplate.columns[static_cast<std::size_t>(c)];
    if (column.displayMode == 4) edited.SetSlot(j, column.initialValue);
  });
  // Cancel leaves the paste buffer and the template alone.
  if (!runDialog(edited)) return false;
  buffer = edited;
  bool changed = false;
  ForEachListColumn(activeTemplate, [&](int c, int j) {
    TemplateColumn& column = activeTemplate.columns[static_cast<std::size_t>(c)];
    if (column.displayMode != 4 || column.initialValue == buffer.Slot(j)) return;
    column.initialValue = buffer.Slot(j);
    changed = true;
  });
  return changed;
}

void CollectEditTexts(const ScriptTemplate& activeTemplate, RowBuffer& buffer,
                      const std::function<std::u16string(int templateColumn)>& controlText) {
  ForEachListColumn(activeTemplate, [&](int c, int j) {
    if (activeTemplate.columns[static_cast<std::size_t>(c)].editMode > 0) buffer.SetSlot(j, controlText(c));
  });
}

int CopySelectedRow(RowStore& store, const ScriptTemplate& activeTemplate, RowBuffer& buffer) {
  const int first = store.NextSelected(0);
  if (first < 0) return kMessageCopyWithoutRow;
  ForEachListColumn(activeTemplate,
                    [&](int, int j) { buffer.SetSlot(j, store.CellText(first, j, kCellSize)); });
  DeselectSelectedRows(store);
  return 0;
}

int PasteIntoSelectedRows(RowStore& store, const ScriptTemplate& activeTemplate, const RowBuffer& buffer) {
  if (store.NextSelected(0) < 0) return kMessagePasteWithoutRow;
  if (buffer.Slot(kPasteCheckSlot).empty()) return kMessageNothingToPaste;
  for (int row = store.NextSelected(0); row >= 0; row = store.NextSelected(row + 1)) {
    ForEachListColumn(activeTemplate, [&](int c, int j) {
      if (activeTemplate.columns[static_cast<std::size_t>(c)].editMode > 0)
        store.SetCellText(row, j, buffer.Slot(j));
    });
    store.SetMarks(row, false);
  }
  return 0;
}

int MoveSelectedRow(RowStore& store, const ScriptTemplate& activeTemplate, int direction) {
  const int from = store.NextSelected(0);
  if (from < 0) return kMessageMoveWithoutRow;
  // Every cell the row has, also those of columns after a template column
  // not in use: a move must not lose any.
  const int columns = store.ColumnCount();
  if (columns <= 0) return 0;
  std::vector<std::u16string> cells;
  for (int j = 0; j < columns; ++j) cells.push_back(store.CellText(from, j, kMovedCellSize));
  // The file-name column is the last one with display mode 1.
  int fileNameColumn = -1;
  const std::vector<int> slots = DisplayedSlots(activeTemplate);
  for (std::size_t j = 0; j < slots.size(); ++j) {
    if (activeTemplate.columns[static_cast<std::size_t>(slots[j])].displayMode == 1)
      fileNameColumn = static_cast<int>(j);
  }
  const bool dwg = fileNameColumn >= 0 && fileNameColumn < columns &&
                   IsDwgName(cells[static_cast<std::size_t>(fileNameColumn)]);
  const int count = store.RowCount();
  const int to = std::clamp(from + direction, 0, count - 1);
  store.DeleteRow(from);
  store.InsertRow(to, cells[0], dwg ? 1 : 0, to);
  for (int j = 1; j < columns; ++j) store.SetCellText(to, j, cells[static_cast<std::size_t>(j)]);
  store.SetMarks(to, true);
  return 0;
}

std::vector<std::u16string> ListPlotStyles(const FileSystem& files, std::u16string_view autocadFile) {
  std::vector<std::u16string> names;
  const std::size_t slash = autocadFile.rfind(u'\\');
  if (slash == std::u16string_view::npos) return names;
  const std::u16string pattern = std::u16string(autocadFile.substr(0, slash)) + u"\\Plot Styles\\*.*";
  std::vector<DirEntry> entries;
  if (!files.List(pattern, entries)) return names;
  for (const DirEntry& entry : entries) {
    if (entry.name.size() <= 2 || EndsInShortcutLetters(entry.name)) continue;
    names.push_back(entry.name.substr(0, std::min(entry.name.size(), kPlotStyleNameSize - 1)));
    if (names.size() >= kMaxPlotStyles) break;
  }
  return names;
}

std::vector<std::u16string> PaperNamesOf(const PrinterCatalog& catalog, int entry) {
  std::vector<std::u16string> names;
  if (entry < 0 || entry >= static_cast<int>(kCatalogEntryCount)) return names;
  for (const auto& paper : catalog.entries[static_cast<std::size_t>(entry)].paperNames) {
    if (paper.Empty() || names.size() >= static_cast<std::size_t>(kMaxCatalogPapers)) break;
    names.push_back(paper.Str());
  }
  return names;
}

std::optional<std::u16string> FirstPaperOf(const PrinterCatalog& catalog, std::u16string_view printer) {
  const auto papers = CatalogPapersOf(catalog, printer);
  if (!papers || papers->empty()) return std::nullopt;
  return papers->front();
}

std::vector<std::u16string> ChoicesForColumn(const TemplateColumn& column, const PrinterCatalog& catalog,
                                             std::u16string_view rowPrinter,
                                             const std::function<std::vector<std::u16string>()>& plotStyles) {
  std::vector<std::u16string> choices;
  switch (column.editMode) {
    case kEditChoices:
      for (const std::u16string& text : column.selectText) {
        if (text.empty()) break;
        choices.push_back(text);
      }
      break;
    case kEditPrinter:
      choices = CatalogPrinterNames(catalog);
      break;
    case kEditPaper:
      choices = PapersOfPrinter(catalog, rowPrinter);
      break;
    case kEditPlotStyle:
      choices = plotStyles();
      break;
    default:
      break;
  }
  return choices;
}

std::vector<EditControlPlace> LayOutEditControls(const ScriptTemplate& activeTemplate,
                                                 const std::function<int(int templateColumn)>& neededWidth) {
  std::vector<EditControlPlace> places;
  int x = 5;
  int y = 30;
  ForEachListColumn(activeTemplate, [&](int c, int j) {
    const TemplateColumn& column = activeTemplate.columns[static_cast<std::size_t>(c)];
    if (column.editMode <= 0) return;  // no control, but the list column counts
    EditControlPlace place;
    place.templateColumn = c;
    place.listColumn = j;
    place.editMode = column.editMode;
    place.x = x;
    place.y = y;
    if (column.editMode == kEditText) {
      place.width = column.width;
      place.controlId = kEditFieldIdBase + c;
      x += column.width + 2;
    } else {
      place.width = std::max(column.width + 10, neededWidth ? neededWidth(c) : 0);
      place.controlId = kEditComboIdBase + c;
      x += place.width + 2;
    }
    places.push_back(place);
    if (x > 700) {
      y += 50;
      x = 5;
    }
  });
  return places;
}

}  // namespace tovrel
