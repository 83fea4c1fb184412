// The transfer sheet: how exports write their sections and how imports walk
// a filled sheet. A kind supplies its sections (keys, captions, row readers,
// which columns make a continuation row); the mechanics live here once.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "datamodule/udmio.h"
#include "workbook/uExcelOperation.h"

namespace sx {

// ---- Writing ----------------------------------------------------------------

// Writes sections top-down from row 1.
class SheetWriter {
 public:
  explicit SheetWriter(TExcelOperation& xls) : xls_(xls) {}

  // The first marker row: key in column 0, brand ID (group exports) in
  // column 1, title in column 2, edition stamp in column 3.
  void FirstMarker(const std::string& key, const std::string& brandId, const std::string& title,
                   const std::string& stamp);
  // A later section: one empty separator row, then the key in column 0.
  void Marker(const std::string& key);
  // Captions from column 1 on.
  void Header(const std::vector<std::string>& captions);
  // Values from column 1 on; empty values leave their cells empty.
  void Row(const std::vector<std::string>& values);

  // For rows that are not laid out from column 1: write cells, then NextRow.
  void Cell(int column, const std::string& text);
  void NextRow() { ++row_; }
  int CurrentRow() const { return row_; }

 private:
  TExcelOperation& xls_;
  int row_ = 1;
};

// Runs an export: connect and check the schema version, `open` the first
// query, create the workbook and `write` it. The workbook is handed over to
// the user also when writing stops on an error. False with the message on
// any failure; false with the message left empty when the user declines the
// version prompt.
bool RunExport(Tdmio& dm, const std::string& connection, bool group, std::string& message,
               const std::function<void()>& open, const std::function<void(SheetWriter&)>& write);

// ---- Reading ----------------------------------------------------------------

// What a row whose column 1 is empty turned out to be.
enum class BlankKeyRow {
  Empty,             // counts toward the five empty rows that end the sheet
  Data,              // a continuation row; the empty run restarts
  DataKeepingCount,  // a continuation row that leaves the empty run as it is
};

struct SheetSection {
  std::string key;                       // lower-case section key in column 0
  std::function<void(int row)> read;     // reads one data row of the section
  // A row with column 1 empty is a continuation row of this section when any
  // of these columns holds text; with none listed such a row is empty.
  std::vector<int> continuationColumns;
  bool continuationKeepsCount = false;
  // Run when the section's marker row is met, e.g. to forget carried codes.
  std::function<void()> onEnter;
  // Overrides the continuation test: reads a row with column 1 empty itself
  // and says what it was.
  std::function<BlankKeyRow(int row)> readBlankKeyRow;
};

struct ReadingLoop {
  std::vector<SheetSection> sections;
  // Column-1 texts that mark a header row (compared exactly).
  std::vector<std::string> headerCaptions;
  // Before the first marker: a row with column 1 empty but one of these
  // columns filled is ignored without counting as empty.
  std::vector<int> columnsWithoutSection;
  bool keepCountWithoutSection = false;
};

// Walks the sheet from row 1 until five consecutive empty rows.
void ReadSections(TExcelOperation& xls, const ReadingLoop& loop);

// Walks a sheet without sections: from firstRow on, a row whose keyColumn
// holds text is a data row; five consecutive rows without one end the sheet.
void ReadTable(TExcelOperation& xls, int firstRow, int keyColumn,
               const std::function<void(int row)>& read);

// Runs the reading and writing of an import once the worker has connected,
// checked the version and loaded its lists: logs "开始从" + file + "导入" +
// kindName + "...", opens the workbook, `read`s it, `write`s the items, and
// always ends with "完毕!" and Finish. False with the message when the
// workbook cannot be opened or an error escapes reading or writing.
bool RunImport(const std::string& fileName, const std::string& kindName, std::string& message,
               const std::function<void(TExcelOperation&)>& read,
               const std::function<void()>& write);

// The yes/no cell rule: "1" or "是" is true, anything else false.
bool YesNo(const std::string& cell);

// "第" + row + "行:" + text, the prefix of every row message.
std::string RowMessage(int row, const std::string& text);

}  // namespace sx
