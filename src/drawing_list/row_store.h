// The rows of the drawing list, as the core sees them. On Windows the rows
// live in the report list view itself; tests use an in-memory store.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tovrel {

// The list columns of fixed meaning, whatever the template puts there: the
// printer and its paper (the file-name rules write them, a printer chosen in
// column 5 brings its first paper into column 6, a run reads them).
inline constexpr int kPrinterColumn = 5;
inline constexpr int kPaperColumn = 6;

class RowStore {
public:
  virtual ~RowStore() = default;

  virtual int RowCount() const = 0;
  // Number of list columns; cells of other column numbers do not exist:
  // writing them does nothing, reading them gives the empty text.
  virtual int ColumnCount() const = 0;

  // The text of a cell, cut to bufferSize - 1 characters.
  virtual std::u16string CellText(int row, int column, std::size_t bufferSize) const = 0;
  virtual void SetCellText(int row, int column, std::u16string_view text) = 0;

  // Inserts a row at `index` (0..RowCount) holding `text` in column 0 and
  // empty texts elsewhere.
  virtual void InsertRow(int index, std::u16string_view text, int image, std::intptr_t itemData) = 0;
  virtual void DeleteRow(int row) = 0;
  virtual void DeleteAllRows() = 0;

  virtual int Image(int row) const = 0;
  virtual std::intptr_t ItemData(int row) const = 0;

  // The selection marks: selected, focused and drop-highlighted are always
  // set or cleared together.
  virtual bool IsSelected(int row) const = 0;
  virtual bool IsFocused(int row) const = 0;
  virtual void SetMarks(int row, bool on) = 0;
  // The first selected row at or after `from`, or -1.
  virtual int NextSelected(int from) const = 0;
  virtual int SelectedCount() const = 0;

  // Reorders the rows. `compare(a, b)` receives the positions the two rows
  // had before the sort began and answers <0, 0 or >0. False when the
  // control refused to sort.
  virtual bool Sort(const std::function<int(int before, int after)>& compare) = 0;
};

// A row store in memory, for tests and for work on rows off screen.
class MemoryRowStore final : public RowStore {
public:
  explicit MemoryRowStore(int columnCount = 0) : columns_(columnCount) {}
  void SetColumnCount(int columnCount) { columns_ = columnCount; }

  int RowCount() const override { return static_cast<int>(rows_.size()); }
  int ColumnCount() const override { return columns_; }
  std::u16string CellText(int row, int column, std::size_t bufferSize) const override;
  void SetCellText(int row, int column, std::u16string_view text) override;
  void InsertRow(int index, std::u16string_view text, int image, std::intptr_t itemData) override;
  void DeleteRow(int row) override;
  void DeleteAllRows() override { rows_.clear(); }
  int Image(int row) const override;
  std::intptr_t ItemData(int row) const override;
  bool IsSelected(int row) const override;
  bool IsFocused(int row) const override;
  void SetMarks(int row, bool on) override;
  int NextSelected(int from) const override;
  int SelectedCount() const override;
  bool Sort(const std::function<int(int before, int after)>& compare) override;

  // Sets only the focus mark, as a click of the user does.
  void SetFocusOnly(int row, bool on);

private:
  struct Row {
    std::vector<std::u16string> cells;
    int image = 0;
    std::intptr_t itemData = 0;
    bool selected = false;
    bool focused = false;
  };
  bool Valid(int row) const { return row >= 0 && row < RowCount(); }

  int columns_;
  std::vector<Row> rows_;
};

}  // namespace tovrel
