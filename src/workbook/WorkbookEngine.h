// The file engine behind TExcelOperation: a sheet held in memory, filled from
// a workbook file (.xlsx or .xls, recognised by content, not by name) or
// written to a new .xlsx when handed over. No spreadsheet program is driven.
#pragma once
#include <functional>
#include <memory>
#include <string>

namespace sx {

class WorkbookEngine {
 public:
  virtual ~WorkbookEngine() = default;

  // A new empty workbook for writing.
  static std::unique_ptr<WorkbookEngine> Create();
  // Reads the active sheet of a workbook file (.xlsx, or .xls of Excel 5 on);
  // throws sx::Error naming the file when it is missing, not a workbook,
  // damaged, or larger than the engine's bounds.
  static std::unique_ptr<WorkbookEngine> Open(const std::string& fileName);

  // Trimmed text of a cell (row from 1, column from 0); empty when absent.
  virtual std::string ReadCell(int row, int column) const = 0;
  virtual void WriteCell(int row, int column, const std::string& text) = 0;
  // Formats a whole column as text, its empty cells included. Throws
  // sx::Error when the column lies outside the sheet's limits.
  virtual void FormatColumnAsText(int column) = 0;
  // Every non-empty cell in row order, then column order.
  virtual void ForEachCell(const std::function<void(int row, int column, const std::string& text)>& fn) const = 0;
  // Gives a created workbook to the user: the file engine saves it as a new
  // .xlsx in the system's temporary folder, named after the sheet's title
  // (row 1, column 2) and the time, and returns its path; a spreadsheet
  // program shows it instead and returns an empty path. Throws sx::Error
  // when the file cannot be saved.
  virtual std::string HandOver() = 0;
};

}  // namespace sx
