// What the template selection and the template editor decide, on plain
// data: which titles the selection lists and which template a typed title
// means; how the editor's fields become a column and back, and its column
// and template operations.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "storage/script_template.h"

namespace tovrel {

// ---- Template selection -------------------------------------------------

// The titles the selection offers, in template order. In Japanese the list
// ends at the first empty title; the other languages list all 20, empty
// ones as empty entries.
std::vector<std::u16string> ListedTitles(const TemplateSet& templates, std::int32_t language);

// Messages of the selection's OK button.
inline constexpr int kMessageNoTitleTyped = 34;
inline constexpr int kMessageNoSuchTitle = 35;

struct TitleChoice {
  int templateIndex = -1;  // the chosen template, or -1
  int message = 0;         // otherwise the message to show
};

// The template a typed title means: the lowest index whose title is equal,
// whole and case-sensitive.
TitleChoice ChooseByTitle(const TemplateSet& templates, std::u16string_view typed);

// ---- Template editor ----------------------------------------------------

// What the editor keeps between two openings, for the whole run.
struct TemplateEditorMemory {
  int editedIndex = 0;  // 0..19, not tied to the active template
  std::array<TemplateColumn, kColumnCount> clipboard{};  // empty until the first Copy
  std::u16string lastTemplateFile;  // the last file imported or exported
};

// The names of the mode values, as the combo boxes offer them; each begins
// with its value.
struct ModeNames {
  std::vector<std::u16string> output;   // values 0..4
  std::vector<std::u16string> display;  // values 0..4
  std::vector<std::u16string> edit;     // values 0..5
};

// The name of a mode value, or "Error" when the value has none.
std::u16string ModeText(std::int32_t value, const std::vector<std::u16string>& names);

// The texts of the editor's column controls.
struct ColumnFields {
  bool inUse = false;
  std::u16string itemText;
  std::u16string outputMode, displayMode, editMode;  // combo box texts
  std::u16string width;
  std::array<std::u16string, TemplateColumn::kSelectTextCount> selectText;
  std::u16string initialValue;
  std::u16string command;
};

// The integer at the start of a text: leading blanks and a sign allowed,
// digits up to the first other character ("120abc" is 120), 0 without
// digits; beyond the 32-bit range it stays at the nearest end.
std::int32_t NumberAtStart(std::u16string_view text);

// The controls stored into a column: mode and width numbers read from the
// start of their texts, texts cut to their fields. Nothing else is checked.
TemplateColumn ColumnFromFields(const ColumnFields& fields);
ColumnFields FieldsFromColumn(const TemplateColumn& column, const ModeNames& names);

// The 13 cells of a column's row in the column list: ON/OFF, item text, the
// three mode names, width, five choices, initial value, command.
inline constexpr int kColumnListColumns = 13;
std::array<std::u16string, kColumnListColumns> ColumnRow(const TemplateColumn& column, const ModeNames& names);

// How many rows the column list shows: the columns before the first one
// not in use.
int ShownColumnCount(const ScriptTemplate& tmpl);

// Column widths for a list `available` pixels wide whose columns need
// `needed` pixels each and never less than `least` (their headers): every
// column as wide as it needs when all fit; otherwise one cap for the widest,
// so that the narrow ones stay whole and the list is filled.
std::vector<int> FitColumnWidths(const std::vector<int>& needed, const std::vector<int>& least, int available);

inline constexpr int kMessageNoRowSelected = 37;
inline constexpr int kMessageFiftyColumns = 38;
// An in-use template without a title (it would not exist at the next start).
inline constexpr int kMessageTitleMissing = 88;

// New: stores the column as column `rowCount` (the row added after the
// last); kMessageFiftyColumns when the list already has 50 rows, else 0.
int AddColumn(ScriptTemplate& tmpl, int rowCount, const TemplateColumn& column);
// Delete: columns row+1 .. rowCount-1 move up one place, column rowCount-1
// is cleared.
void DeleteColumn(ScriptTemplate& tmpl, int row, int rowCount);
// Up (step -1) and Down (step +1): swaps the column with its neighbour and
// returns the row where it now is; the first row does not go up and the
// last one does not go down.
int MoveColumn(ScriptTemplate& tmpl, int row, int rowCount, int step);
// Clear: every column of the template emptied.
void ClearColumns(ScriptTemplate& tmpl);

// Previous (step -1) and next (step +1) template, round from 0 to 19.
int StepTemplate(int index, int step);

// Stores the title controls into the template: the title cut to 63
// characters, in use when ticked. A ticked template with an empty title is
// refused with kMessageTitleMissing and left unchanged; otherwise 0.
int StoreTitle(ScriptTemplate& tmpl, bool inUseTicked, std::u16string_view title);

// The title an imported file gives: its name after the last backslash and
// before its last dot (the whole name when it has no dot), cut to 63.
std::u16string TitleFromPath(std::u16string_view path);

}  // namespace tovrel
