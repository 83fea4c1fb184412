#include "workbook/SheetCells.h"

#include <algorithm>

#include "base/Error.h"

namespace sx {

void SheetCells::Set(int row, int column, std::string text) {
  if (row < 1 || row > kMaxSheetRows || column < 0 || column >= kMaxSheetColumns)
    throw Error("The cell at row " + std::to_string(row) + ", column " + std::to_string(column) +
                " lies outside the sheet");
  if (pending_.empty() && (rows_.empty() || rows_.back().number < row)) {
    rows_.push_back(Row{row, {}});
    rows_.back().cells.push_back(Cell{column, std::move(text)});
    ++count_;
  } else if (pending_.empty() && rows_.back().number == row && rows_.back().cells.back().column < column) {
    rows_.back().cells.push_back(Cell{column, std::move(text)});
    ++count_;
  } else {
    pending_.push_back(Pending{row, column, std::move(text)});
  }
}

void SheetCells::SortIn() const {
  if (pending_.empty()) return;
  std::vector<Pending> all;
  all.reserve(count_ + pending_.size());
  for (auto& r : rows_)
    for (auto& c : r.cells) all.push_back(Pending{r.number, c.column, std::move(c.text)});
  for (auto& p : pending_) all.push_back(std::move(p));
  rows_.clear();
  pending_.clear();
  // Stable, so that of a cell set twice the later text comes last and stays.
  std::stable_sort(all.begin(), all.end(), [](const Pending& a, const Pending& b) {
    return a.row != b.row ? a.row < b.row : a.column < b.column;
  });
  count_ = 0;
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (i + 1 < all.size() && all[i + 1].row == all[i].row && all[i + 1].column == all[i].column) continue;
    if (rows_.empty() || rows_.back().number != all[i].row) rows_.push_back(Row{all[i].row, {}});
    rows_.back().cells.push_back(Cell{all[i].column, std::move(all[i].text)});
    ++count_;
  }
}

const std::string* SheetCells::Find(int row, int column) const {
  SortIn();
  auto rowIt = std::lower_bound(rows_.begin(), rows_.end(), row,
                                [](const Row& r, int n) { return r.number < n; });
  if (rowIt == rows_.end() || rowIt->number != row) return nullptr;
  auto cellIt = std::lower_bound(rowIt->cells.begin(), rowIt->cells.end(), column,
                                 [](const Cell& c, int n) { return c.column < n; });
  if (cellIt == rowIt->cells.end() || cellIt->column != column) return nullptr;
  return &cellIt->text;
}

void SheetCells::ForEach(const std::function<void(int, int, const std::string&)>& fn) const {
  SortIn();
  for (const auto& row : rows_)
    for (const auto& cell : row.cells) fn(row.number, cell.column, cell.text);
}

}  // namespace sx
