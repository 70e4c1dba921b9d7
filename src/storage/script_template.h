// Script templates and the files that hold them.
//
// The template file of a language ("tovrl_set_j.ini" ...) holds all 20
// templates: section "Title", key "t<template>", and section "listview_dt",
// keys "<template>,<column>.<suffix>". A single-template file (export and
// import) holds one template's columns in section "listview_dt" under keys
// "<column>.<suffix>". The suffixes, in the order they are written, are
// m, t, o, p, e, w, s0..s4, f, k. Text sizes count a terminating null.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tovrel {

class IniDocument;

inline constexpr int kTemplateCount = 20, kColumnCount = 50;

struct TemplateColumn {
  static constexpr std::size_t kItemTextSize = 16;
  static constexpr std::size_t kSelectTextCount = 5;
  static constexpr std::size_t kSelectTextSize = 16;
  static constexpr std::size_t kInitialValueSize = 128;
  static constexpr std::size_t kCommandSize = 16;

  std::int32_t inUse = 0;       // non-zero: the column exists
  std::u16string itemText;      // column header
  std::int32_t outputMode = 0;  // 0..4: what the column writes into the script
  std::int32_t displayMode = 0; // 0..4: 0 hidden, 1 file name, 2 folder, 3 date, 4 value
  std::int32_t editMode = 0;    // 0..5: how a cell is edited
  std::int32_t width = 0;       // list-view column width in pixels
  std::array<std::u16string, kSelectTextCount> selectText;  // choices for the cells
  std::u16string initialValue;  // value of the column in new rows
  std::u16string command;       // AutoCAD command word

  bool operator==(const TemplateColumn&) const = default;
};

struct ScriptTemplate {
  static constexpr std::size_t kTitleSize = 64;

  std::int32_t inUse = 0;  // the template exists; only such templates get a title key
  std::u16string title;
  std::array<TemplateColumn, kColumnCount> columns;

  bool operator==(const ScriptTemplate&) const = default;
};

using TemplateSet = std::array<ScriptTemplate, kTemplateCount>;

inline constexpr char16_t kTemplateTitleSection[] = u"Title";
inline constexpr char16_t kTemplateColumnSection[] = u"listview_dt";

// The text cut to a field of `bufferSize` characters (terminator included):
// at most bufferSize - 1 UTF-16 units, never half of a surrogate pair.
std::u16string CutToField(std::u16string_view text, std::size_t bufferSize);

// "tovrl_set_j.ini", "tovrl_set_e.ini", "tovrl_set_k.ini", "tovrl_set_c.ini"
// for languages 0..3; empty for any other value (no file is read or written).
std::u16string TemplateFileName(std::int32_t mojiType);

// Reads all 20 templates. Every column field is overwritten, with zero or
// empty where its key is missing. A template is in use exactly when its
// title is not empty.
void LoadTemplates(const IniDocument& file, TemplateSet& templates);

// Replaces both sections (every copy of each, should the file hold one
// twice): a title key for each template in use that has a title, the 13
// keys of each column in use.
void SaveTemplates(const TemplateSet& templates, IniDocument& file);

// Import: replaces all 50 columns by the columns whose "<column>.m" is
// non-zero. The title and inUse flag of the template are not changed. A
// file without such a column changes nothing and answers false.
bool ReadSingleTemplate(const IniDocument& file, ScriptTemplate& tmpl);

// Export: replaces the single-template keys ("<column>.<key>") of the
// file's "listview_dt" section by the 13 keys of each column in use. Other
// keys and sections of the file stay. A file that holds a "Title" section
// (a template file of all 20 templates) is refused: false, nothing written.
bool WriteSingleTemplate(const ScriptTemplate& tmpl, IniDocument& file);

}  // namespace tovrel
