// Workbook access: create a workbook and write text cells (export), or open a
// workbook file and read its cells as trimmed text (import). Rows count from
// 1, columns from 0 (column 0 is Excel column A).
#pragma once
#include <memory>
#include <string>

namespace sx {

class WorkbookEngine;  // the file engine behind the class

class TExcelOperation {
 public:
  TExcelOperation();
  // Import: closes the opened workbook unchanged. Export: a workbook that was
  // not handed over is dropped (a spreadsheet program shows it instead).
  ~TExcelOperation();
  TExcelOperation(const TExcelOperation&) = delete;
  TExcelOperation& operator=(const TExcelOperation&) = delete;

  // Creates a new, empty workbook; false with a message when it cannot.
  bool NewWorkbook(std::string& message);
  // Opens a workbook file and takes its active sheet; false with a message
  // naming the file when it cannot be read.
  bool OpenWorkbook(const std::string& fileName, std::string& message);

  // The cell's text, trimmed of characters at or below the space at both ends.
  std::string ReadCell(int row, int column);
  // Writes text into a cell formatted as text.
  void WriteCell(int row, int column, const std::string& text);
  // Formats a whole column as text, so that what a person later types into
  // its empty cells stays text ("0012" is not turned into 12).
  void FormatColumnAsText(int column);

  // Hands a created workbook over: returns the path of the saved file, or
  // empty when a spreadsheet program shows it. Throws when it cannot be saved.
  std::string HandOver();

  // The absolute A1 address: CellAddress(3, 1) is "$B$3".
  static std::string CellAddress(int row, int column);
  // Column letters of a 0-based column: 0 "A", 25 "Z", 26 "AA", 702 "AAA".
  static std::string ColumnLetters(int column);

  bool Attached() const { return engine_ != nullptr; }
  // The engine, for tools that walk every cell of an opened sheet.
  WorkbookEngine* Engine() { return engine_.get(); }

 private:
  bool created_ = false;
  std::unique_ptr<WorkbookEngine> engine_;
};

}  // namespace sx
