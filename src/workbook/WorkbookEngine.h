// The file engine behind TExcelOperation: a sheet held in memory, filled from
// a workbook file (.xlsx or .xls, recognised by content) or written to a new
// .xlsx when handed over.
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
  // Reads the active sheet of a workbook file; throws sx::Error naming the file.
  static std::unique_ptr<WorkbookEngine> Open(const std::string& fileName);

  // Trimmed text of a cell (row from 1, column from 0); empty when absent.
  virtual std::string ReadCell(int row, int column) const = 0;
  virtual void WriteCell(int row, int column, const std::string& text) = 0;
  // Every non-empty cell in row order, then column order.
  virtual void ForEachCell(const std::function<void(int row, int column, const std::string& text)>& fn) const = 0;
  // Saves a created workbook and hands it over to the user.
  virtual void HandOver() = 0;
};

}  // namespace sx
