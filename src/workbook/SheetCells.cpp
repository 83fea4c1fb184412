#include "workbook/SheetCells.h"

#include <algorithm>

#include "base/Error.h"

namespace sx {

void SheetCells::Set(int row, int column, std::string text) {
  if (row < 1 || row > kMaxSheetRows || column < 0 || column >= kMaxSheetColumns)
    throw Error("The cell at row " + std::to_string(row) + ", column " + std::to_string(column) +
                " lies outside the sheet");
  // Cells mostly arrive in order, so appending is the common case.
  auto rowIt = rows_.end();
  if (rows_.empty() || rows_.back().number < row) {
    rows_.push_back(Row{row, {}});
    rowIt = rows_.end() - 1;
  } else {
    rowIt = std::lower_bound(rows_.begin(), rows_.end(), row,
                             [](const Row& r, int n) { return r.number < n; });
    if (rowIt == rows_.end() || rowIt->number != row) rowIt = rows_.insert(rowIt, Row{row, {}});
  }
  auto& cells = rowIt->cells;
  if (cells.empty() || cells.back().column < column) {
    cells.push_back(Cell{column, std::move(text)});
    ++count_;
    return;
  }
  auto cellIt = std::lower_bound(cells.begin(), cells.end(), column,
                                 [](const Cell& c, int n) { return c.column < n; });
  if (cellIt != cells.end() && cellIt->column == column) {
    cellIt->text = std::move(text);
  } else {
    cells.insert(cellIt, Cell{column, std::move(text)});
    ++count_;
  }
}

const std::string* SheetCells::Find(int row, int column) const {
  auto rowIt = std::lower_bound(rows_.begin(), rows_.end(), row,
                                [](const Row& r, int n) { return r.number < n; });
  if (rowIt == rows_.end() || rowIt->number != row) return nullptr;
  auto cellIt = std::lower_bound(rowIt->cells.begin(), rowIt->cells.end(), column,
                                 [](const Cell& c, int n) { return c.column < n; });
  if (cellIt == rowIt->cells.end() || cellIt->column != column) return nullptr;
  return &cellIt->text;
}

void SheetCells::ForEach(const std::function<void(int, int, const std::string&)>& fn) const {
  for (const auto& row : rows_)
    for (const auto& cell : row.cells) fn(row.number, cell.column, cell.text);
}

}  // namespace sx
