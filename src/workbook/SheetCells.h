// The cells of one sheet held in memory: rows in ascending order, each with
// its cells in ascending column order. Compact enough for a million cells.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace sx {

// Excel's sheet limits; rows count from 1, columns from 0.
inline constexpr int kMaxSheetRows = 1048576;
inline constexpr int kMaxSheetColumns = 16384;

class SheetCells {
 public:
  // Stores a cell's text, replacing what the cell held. Throws sx::Error when
  // the cell lies outside the sheet's limits. Cells set in order are
  // appended; others wait and are sorted in at the next read, so that a file
  // listing its cells backwards costs no more than one in order.
  void Set(int row, int column, std::string text);
  // The cell's text, or nullptr when the cell was never set.
  const std::string* Find(int row, int column) const;
  // Every stored cell in row order, then column order.
  void ForEach(const std::function<void(int row, int column, const std::string& text)>& fn) const;
  // The cells stored; while cells wait to be sorted in, a cell set twice
  // counts twice.
  std::size_t Count() const { return count_ + pending_.size(); }

 private:
  struct Cell {
    std::int32_t column;
    std::string text;
  };
  struct Row {
    std::int32_t number;
    std::vector<Cell> cells;
  };
  struct Pending {
    std::int32_t row, column;
    std::string text;
  };
  void SortIn() const;

  mutable std::vector<Row> rows_;
  mutable std::vector<Pending> pending_;  // set out of order, in the order set
  mutable std::size_t count_ = 0;
};

}  // namespace sx
