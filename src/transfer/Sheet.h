// The transfer sheet: how exports write their sections and how imports walk
// a filled sheet. A kind supplies its sections (keys, captions, row readers,
// which columns make a continuation row); the mechanics live here once.
#pragma once
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "datamodule/Edition.h"
#include "db/Database.h"
#include "workbook/uExcelOperation.h"

namespace sx {

// ---- Writing ----------------------------------------------------------------

// Writes sections top-down from row 1.
class SheetWriter {
 public:
  explicit SheetWriter(TExcelOperation& xls) : xls_(xls) {}

  // The first marker row: key in column 0 (none for a sheet without
  // sections), brand ID (group exports) in column 1, title in column 2,
  // edition stamp in column 3.
  void FirstMarker(const std::string& key, const std::string& brandId, const std::string& title,
                   const std::string& stamp);
  // A later section: one empty separator row, then the key in column 0.
  void Marker(const std::string& key);
  // Captions from column 1 on (a sheet without sections: from column 0).
  void Header(const std::vector<std::string>& captions, int firstColumn = 1);
  // Values from column 1 on (or firstColumn); empty values leave their cells empty.
  void Row(const std::vector<std::string>& values, int firstColumn = 1);
  // The row the next Row call writes.
  int NextRow() const { return row_; }
  // One cell at a row of its own choosing, for sections whose columns run
  // down independently; later rows start below the lowest cell written.
  void Cell(int row, int column, const std::string& text);

 private:
  TExcelOperation& xls_;
  int row_ = 1;
};

// When an export fills a cell from its field.
enum class Written {
  Always,    // the field's text
  OnChange,  // only when it differs from the same column of the previous row
  OnChangeIgnoringCase,  // the same, letter case aside
  Positive,  // only when the amount is greater than 0
  Date,      // only when not null, as "YYYY-MM-DD" (a stored text that is no
             // date is written as it stands)
  Time,      // only when not null, as the time of day "HH:NN" (a stored text
             // that is no date-time is written as it stands)
};

// The text an export writes for a field under a rule; `previous` is the
// column's last value, kept for OnChange.
std::string ExportCell(const db::Field& field, Written rule, std::string& previous);

// The captions of a table of columns that have a `caption` member.
template <class Columns>
std::vector<std::string> Captions(const Columns& columns) {
  std::vector<std::string> captions;
  for (const auto& c : columns) captions.push_back(c.caption);
  return captions;
}

// The sheet column (from 1) of the entry of a column table whose member `Key`
// equals `value`. Evaluated at compile time, so a missing entry fails the build.
template <auto Key, class Columns, class Value>
constexpr int ColumnNumber(const Columns& columns, const Value& value) {
  int column = 1;
  for (const auto& c : columns) {
    if (c.*Key == value) return column;
    ++column;
  }
  throw "no such column";
}

// ---- Reading ----------------------------------------------------------------

// A text column's limit in bytes of the host's code page (a Chinese
// character takes 2). A longer cell rejects its row before the row reader
// sees it, so that nothing is refused later when the row's item is written.
struct TextLimit {
  int column;
  std::string caption;
  int bytes;
};

// The limits of a table of columns (from column 1 on) whose members
// `storeSize` and `groupSize` give a written text's size; 0 is no limit.
template <class Columns>
std::vector<TextLimit> Limits(const Columns& columns, const Edition& edition) {
  std::vector<TextLimit> limits;
  int column = 1;
  for (const auto& c : columns) {
    int bytes = edition.Pick(c.storeSize, c.groupSize);
    if (bytes > 0) limits.push_back({column, c.caption, bytes});
    ++column;
  }
  return limits;
}

struct SheetSection {
  std::string key;                    // lower-case section key in column 0
  std::function<void(int row)> read;  // reads one data row of the section
  std::vector<TextLimit> limits;      // checked on every data row
  // Run for a data row that the limits reject, e.g. to carry its codes down.
  std::function<void(int row)> dropped;
  // A row with column 1 empty is a continuation row of this section when any
  // of these columns holds text; with none listed such a row is empty.
  std::vector<int> continuationColumns;
  // Continuation rows leave the count of empty rows as it is.
  bool continuationKeepsCount = false;
  // Run when the section's marker row is met, e.g. to forget carried codes.
  std::function<void()> onEnter;
};

struct ReadingLoop {
  std::vector<SheetSection> sections;
  // Column-1 texts that mark a header row (compared exactly).
  std::vector<std::string> headerCaptions;
  // Before the first marker: a row with column 1 empty but one of these
  // columns filled is ignored without counting as empty.
  std::vector<int> columnsWithoutSection;
  bool keepCountWithoutSection = false;
  // Logs a row message (without its "第N行:" prefix); rows over a limit go here.
  std::function<void(int row, const std::string& text)> rowError;
};

// Where a walk of the sheet ended.
struct SheetEnd {
  int nextRow = 1;            // the row below the empty rows that ended it
  bool sectionFound = false;  // a marker row of one of the sections was met
};

// Walks the sheet from row 1 until five consecutive empty rows.
SheetEnd ReadSections(TExcelOperation& xls, const ReadingLoop& loop);

// Walks a sheet without sections: from firstRow on, a row whose keyColumn
// holds text is a data row; five consecutive rows without one end the sheet.
SheetEnd ReadTable(TExcelOperation& xls, int firstRow, int keyColumn,
                   const std::function<void(int row)>& read);

// The message for a cell over its column's limit (see TextLimit).
std::string OverLongMessage(const TextLimit& limit, const std::string& value);

// The yes/no cell rule: "1" or "是" is true, anything else false.
bool YesNo(const std::string& cell);

// "第" + row + "行:" + text, the prefix of every row message.
std::string RowMessage(int row, const std::string& text);

}  // namespace sx
