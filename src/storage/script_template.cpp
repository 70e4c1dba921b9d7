#include "storage/script_template.h"

#include <iterator>
#include <string_view>
#include <type_traits>
#include <variant>

#include "storage/decimal_text.h"
#include "storage/ini_document.h"

namespace tovrel {
namespace {

using Column = TemplateColumn;

// Where a column key's value lives in TemplateColumn.
struct SelectTextField {
  std::size_t index;
};
using ColumnField =
    std::variant<std::int32_t Column::*, std::u16string Column::*, SelectTextField>;

struct ColumnKey {
  std::u16string_view suffix;
  ColumnField field;
  std::size_t bufferSize;  // text keys only, terminator included
};

// The keys of one column, in the order in which they are written. Select
// texts are read whole (15 characters), in the template file as in a
// single-template file, so that a choice such as "Landscape" survives.
constexpr ColumnKey kColumnKeys[] = {
    {u"m", &Column::inUse, 0},
    {u"t", &Column::itemText, Column::kItemTextSize},
    {u"o", &Column::outputMode, 0},
    {u"p", &Column::displayMode, 0},
    {u"e", &Column::editMode, 0},
    {u"w", &Column::width, 0},
    {u"s0", SelectTextField{0}, Column::kSelectTextSize},
    {u"s1", SelectTextField{1}, Column::kSelectTextSize},
    {u"s2", SelectTextField{2}, Column::kSelectTextSize},
    {u"s3", SelectTextField{3}, Column::kSelectTextSize},
    {u"s4", SelectTextField{4}, Column::kSelectTextSize},
    {u"f", &Column::initialValue, Column::kInitialValueSize},
    {u"k", &Column::command, Column::kCommandSize},
};
static_assert(std::size(kColumnKeys) == 13);
// Import reads "m" first and the rest only for a column in use.
static_assert(kColumnKeys[0].suffix == u"m");

// Calls `use` with the field of `column` (const or not) that `key` names.
template <typename ColumnRecord, typename Use>
void WithField(ColumnRecord& column, const ColumnKey& key, Use&& use) {
  std::visit(
      [&](const auto& where) {
        if constexpr (std::is_same_v<std::decay_t<decltype(where)>, SelectTextField>) {
          use(column.selectText[where.index]);
        } else {
          use(column.*where);
        }
      },
      key.field);
}

// A key name built in place: a fixed prefix such as "3,12." and a suffix.
// Reused for every key so that reading a whole file allocates no key names.
class KeyName {
public:
  void SetColumn(int templateIndex, int column) {
    text_.clear();
    if (templateIndex >= 0) {
      AppendDecimal(text_, templateIndex);
      text_ += u',';
    }
    AppendDecimal(text_, column);
    text_ += u'.';
    prefixLength_ = text_.size();
  }
  std::u16string_view With(std::u16string_view suffix) {
    text_.resize(prefixLength_);
    text_ += suffix;
    return text_;
  }

private:
  std::u16string text_;
  std::size_t prefixLength_ = 0;
};

constexpr int kNoTemplate = -1;  // single-template files: keys "<column>.<suffix>"

void ReadKey(const IniDocument& file, std::u16string_view name, const ColumnKey& key,
             Column& column) {
  WithField(column, key, [&](auto& field) {
    using Field = std::decay_t<decltype(field)>;
    if constexpr (std::is_same_v<Field, std::u16string>) {
      field = file.GetField(kTemplateColumnSection, name, u"", key.bufferSize);
    } else {
      field = static_cast<Field>(file.GetInt(kTemplateColumnSection, name, 0));
    }
  });
}

void WriteColumn(const Column& column, KeyName& name, IniDocument& file) {
  std::u16string number;
  for (const ColumnKey& key : kColumnKeys) {
    WithField(column, key, [&](const auto& field) {
      if constexpr (std::is_same_v<std::decay_t<decltype(field)>, std::u16string>) {
        file.WriteString(kTemplateColumnSection, name.With(key.suffix), field);
      } else {
        number.clear();
        AppendDecimal(number, field);
        file.WriteString(kTemplateColumnSection, name.With(key.suffix), number);
      }
    });
  }
}

// A hand-edited or merged file may hold a section twice. Reads find the
// first copy only, so every copy goes: otherwise a later copy would become
// the one read at the next start and bring back what the user removed.
void DeleteEveryCopy(IniDocument& file, std::u16string_view section) {
  while (file.HasSection(section)) file.DeleteSection(section);
}

std::u16string TitleKey(int templateIndex) {
  std::u16string key = u"t";
  AppendDecimal(key, templateIndex);
  return key;
}

}  // namespace

std::u16string CutToField(std::u16string_view text, std::size_t bufferSize) {
  const std::size_t room = bufferSize > 0 ? bufferSize - 1 : 0;
  if (text.size() <= room) return std::u16string(text);
  std::size_t n = room;
  // The cut would leave the first half of a pair alone: the pair goes.
  if (n > 0 && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF) --n;
  return std::u16string(text.substr(0, n));
}

std::u16string TemplateFileName(std::int32_t mojiType) {
  switch (mojiType) {
    case 0: return u"tovrl_set_j.ini";
    case 1: return u"tovrl_set_e.ini";
    case 2: return u"tovrl_set_k.ini";
    case 3: return u"tovrl_set_c.ini";
    default: return {};
  }
}

void LoadTemplates(const IniDocument& file, TemplateSet& templates) {
  for (int t = 0; t < kTemplateCount; ++t) {
    ScriptTemplate& tmpl = templates[t];
    tmpl.title =
        file.GetField(kTemplateTitleSection, TitleKey(t), u"", ScriptTemplate::kTitleSize);
    // A template exists exactly when it has a title: a slot that is empty in
    // this file is empty, whatever the templates read before had there.
    tmpl.inUse = tmpl.title.empty() ? 0 : 1;
  }
  KeyName name;
  for (int t = 0; t < kTemplateCount; ++t) {
    for (int c = 0; c < kColumnCount; ++c) {
      name.SetColumn(t, c);
      Column& column = templates[t].columns[c];
      for (const ColumnKey& key : kColumnKeys) ReadKey(file, name.With(key.suffix), key, column);
    }
  }
}

void SaveTemplates(const TemplateSet& templates, IniDocument& file) {
  DeleteEveryCopy(file, kTemplateTitleSection);
  for (int t = 0; t < kTemplateCount; ++t) {
    if (templates[t].inUse != 0 && !templates[t].title.empty()) {
      file.WriteString(kTemplateTitleSection, TitleKey(t), templates[t].title);
    }
  }
  DeleteEveryCopy(file, kTemplateColumnSection);
  file.ReserveKeys(kTemplateColumnSection, static_cast<std::size_t>(kTemplateCount) * kColumnCount * 13);
  KeyName name;
  for (int t = 0; t < kTemplateCount; ++t) {
    for (int c = 0; c < kColumnCount; ++c) {
      const Column& column = templates[t].columns[c];
      if (column.inUse == 0) continue;
      name.SetColumn(t, c);
      WriteColumn(column, name, file);
    }
  }
}

bool ReadSingleTemplate(const IniDocument& file, ScriptTemplate& tmpl) {
  ScriptTemplate read = tmpl;
  KeyName name;
  bool any = false;
  for (int c = 0; c < kColumnCount; ++c) {
    Column& column = read.columns[c];
    column = Column{};
    name.SetColumn(kNoTemplate, c);
    ReadKey(file, name.With(kColumnKeys[0].suffix), kColumnKeys[0], column);
    if (column.inUse == 0) continue;
    any = true;
    for (std::size_t k = 1; k < std::size(kColumnKeys); ++k) {
      ReadKey(file, name.With(kColumnKeys[k].suffix), kColumnKeys[k], column);
    }
  }
  // A file without a column in use is no template: importing it would only
  // empty the one shown.
  if (!any) return false;
  tmpl.columns = read.columns;
  return true;
}

bool WriteSingleTemplate(const ScriptTemplate& tmpl, IniDocument& file) {
  // A file with titles holds all templates of a language: never written over.
  if (file.HasSection(kTemplateTitleSection)) return false;
  KeyName name;
  // Only the keys of a single-template file go, so that columns of an
  // earlier, longer export do not come back on import.
  for (int c = 0; c < kColumnCount; ++c) {
    name.SetColumn(kNoTemplate, c);
    for (const ColumnKey& key : kColumnKeys) file.DeleteKey(kTemplateColumnSection, name.With(key.suffix));
  }
  for (int c = 0; c < kColumnCount; ++c) {
    if (tmpl.columns[c].inUse == 0) continue;
    name.SetColumn(kNoTemplate, c);
    WriteColumn(tmpl.columns[c], name, file);
  }
  return true;
}

}  // namespace tovrel
