// Fixtures shared by the suites: temporary folders, databases made with
// SQLite's own API from the schema files, and capture of what the host sees.
#pragma once
#include <string>
#include <vector>

namespace sxtest {

// A temporary folder removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

enum class Edition { Store, Group };

// Creates a database file with the edition's schema.
void CreateDatabase(const std::string& path, Edition edition);

// Runs SQL on a database file with SQLite's own API.
void SqlExec(const std::string& path, const std::string& sql);
// Rows of a query, every value as text ("" for NULL).
std::vector<std::vector<std::string>> SqlRows(const std::string& path, const std::string& sql);
// The first column of a query's rows.
std::vector<std::string> SqlColumn(const std::string& path, const std::string& sql);

// A cell of a workbook made or read by openpyxl: row from 1, column from 0.
struct Cell {
  int row;
  int column;
  std::string text;
  bool operator==(const Cell&) const = default;
};

// Writes an .xlsx with openpyxl holding the given text cells (line breaks
// too); a path ending in ".xls" gets an .xls written by xlwt, where an
// error's text ("#N/A") is an error cell.
void MakeXlsx(const std::string& path, const std::vector<Cell>& cells);

// A cell as openpyxl reads it from a file.
struct XlsxCell {
  int row;
  int column;
  std::string type;    // "s" string, "n" number, ...
  std::string format;  // number format, "@" for text
  std::string value;
};
std::vector<XlsxCell> ReadXlsx(const std::string& path);

// Runs a shell command; its exit status and standard output.
struct Outcome {
  int status;
  std::string out;
};
Outcome RunShell(const std::string& command);

// The command that runs tests/fixtures/workbooks.py (openpyxl, xlwt).
std::string WorkbookTool();

// The setupxfer tool of this build.
std::string ToolPath();

// While alive, captures the log lines, answers the version prompt and takes
// the handed-over workbooks, as a host does through the exported handlers.
class HostCapture {
 public:
  explicit HostCapture(bool confirmAnswer = true);
  ~HostCapture();
  HostCapture(const HostCapture&) = delete;
  HostCapture& operator=(const HostCapture&) = delete;

  struct Line {
    int kind;
    std::string text;
  };
  std::vector<Line> lines;
  std::vector<std::string> prompts;       // caption + "|" + text of each prompt
  std::vector<std::string> workbooks;     // handed-over workbook paths, removed at the end
  bool confirmAnswer;

  // The texts of lines of one kind (0 information, 1 error).
  std::vector<std::string> Texts(int kind) const;
  int Finishes() const;
};

}  // namespace sxtest
