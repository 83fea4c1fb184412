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
  // the cell lies outside the sheet's limits.
  void Set(int row, int column, std::string text);
  // The cell's text, or nullptr when the cell was never set.
  const std::string* Find(int row, int column) const;
  // Every stored cell in row order, then column order.
  void ForEach(const std::function<void(int row, int column, const std::string& text)>& fn) const;
  std::size_t Count() const { return count_; }

 private:
  struct Cell {
    std::int32_t column;
    std::string text;
  };
  struct Row {
    std::int32_t number;
    std::vector<Cell> cells;
  };
  std::vector<Row> rows_;
  std::size_t count_ = 0;
};

}  // namespace sx
