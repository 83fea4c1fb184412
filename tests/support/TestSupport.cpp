#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "ui/Host.h"

extern const char* const setupxfer_sql_store;
extern const char* const setupxfer_sql_group;

namespace sxtest {

TempDir::TempDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "setupxfer-test-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

namespace {

sqlite3* OpenDb(const std::string& path, int flags) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
    std::string msg = db ? sqlite3_errmsg(db) : "cannot open";
    sqlite3_close(db);
    throw std::runtime_error(msg);
  }
  return db;
}

void Exec(sqlite3* db, const std::string& sql) {
  char* err = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    std::string msg = err ? err : "error";
    sqlite3_free(err);
    sqlite3_close(db);
    throw std::runtime_error(msg + " in: " + sql);
  }
}

}  // namespace

void CreateDatabase(const std::string& path, Edition edition) {
  sqlite3* db = OpenDb(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  Exec(db, edition == Edition::Store ? setupxfer_sql_store : setupxfer_sql_group);
  sqlite3_close(db);
}

void SqlExec(const std::string& path, const std::string& sql) {
  sqlite3* db = OpenDb(path, SQLITE_OPEN_READWRITE);
  Exec(db, sql);
  sqlite3_close(db);
}

std::vector<std::vector<std::string>> SqlRows(const std::string& path, const std::string& sql) {
  sqlite3* db = OpenDb(path, SQLITE_OPEN_READONLY);
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
    std::string msg = sqlite3_errmsg(db);
    sqlite3_close(db);
    throw std::runtime_error(msg + " in: " + sql);
  }
  std::vector<std::vector<std::string>> rows;
  while (sqlite3_step(st) == SQLITE_ROW) {
    std::vector<std::string> row;
    for (int i = 0; i < sqlite3_column_count(st); ++i) {
      const unsigned char* t = sqlite3_column_text(st, i);
      row.emplace_back(t ? reinterpret_cast<const char*>(t) : "");
    }
    rows.push_back(std::move(row));
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return rows;
}

std::vector<std::string> SqlColumn(const std::string& path, const std::string& sql) {
  std::vector<std::string> col;
  for (auto& row : SqlRows(path, sql)) col.push_back(row.empty() ? "" : row[0]);
  return col;
}

namespace {

// "AA3" as row 3, column 26.
void ParseCoordinate(const std::string& at, int& row, int& column) {
  std::size_t i = 0;
  column = 0;
  for (; i < at.size() && at[i] >= 'A' && at[i] <= 'Z'; ++i) column = column * 26 + (at[i] - 'A' + 1);
  column -= 1;
  row = std::stoi(at.substr(i));
}

}  // namespace

std::string WorkbookTool() {
  // Debian's interpreter, which has python3-openpyxl and python3-xlwt, even
  // when another python3 comes first on the PATH.
  std::string python = std::filesystem::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
  return python + " '" + SETUPXFER_SOURCE_DIR + "/tests/fixtures/workbooks.py'";
}

Outcome RunShell(const std::string& command) {
  Outcome o{-1, {}};
  FILE* p = popen(command.c_str(), "r");
  if (!p) return o;
  char buf[4096];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) o.out.append(buf, n);
  int st = pclose(p);
  o.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return o;
}

std::string ToolPath() { return std::string(SETUPXFER_BINARY_DIR) + "/setupxfer"; }

void MakeXlsx(const std::string& path, const std::vector<Cell>& cells) {
  bool xls = path.size() > 4 && path.compare(path.size() - 4, 4, ".xls") == 0;
  std::string cmd = WorkbookTool() + (xls ? " write-xls '" : " write '") + path + "'";
  FILE* p = popen(cmd.c_str(), "w");
  if (!p) throw std::runtime_error("cannot run " + cmd);
  for (const auto& c : cells) {
    std::string text;
    for (char ch : c.text) text += ch == '\\' ? "\\\\" : ch == '\n' ? "\\n" : std::string(1, ch);
    std::fprintf(p, "%d\t%d\t%s\n", c.row, c.column, text.c_str());
  }
  if (pclose(p) != 0) throw std::runtime_error("openpyxl failed on " + path);
}

std::vector<XlsxCell> ReadXlsx(const std::string& path) {
  Outcome dump = RunShell(WorkbookTool() + " dump '" + path + "'");
  if (dump.status != 0) throw std::runtime_error("openpyxl cannot read " + path);
  const std::string& out = dump.out;
  std::vector<XlsxCell> cells;
  std::size_t start = 0;
  while (start < out.size()) {
    std::size_t end = out.find('\n', start);
    if (end == std::string::npos) end = out.size();
    std::string line = out.substr(start, end - start);
    start = end + 1;
    // coordinate, type, format, value
    std::size_t a = line.find('\t'), b = line.find('\t', a + 1), c = line.find('\t', b + 1);
    XlsxCell cell{0, 0, line.substr(a + 1, b - a - 1), line.substr(b + 1, c - b - 1), line.substr(c + 1)};
    ParseCoordinate(line.substr(0, a), cell.row, cell.column);
    cells.push_back(std::move(cell));
  }
  return cells;
}

namespace {

void OnLog(void* ctx, int kind, const char* text) {
  static_cast<HostCapture*>(ctx)->lines.push_back({kind, text});
}
int OnConfirm(void* ctx, const char* caption, const char* text) {
  auto* c = static_cast<HostCapture*>(ctx);
  c->prompts.push_back(std::string(caption) + "|" + text);
  return c->confirmAnswer ? 1 : 0;
}
void OnWorkbook(void* ctx, const char* path) {
  static_cast<HostCapture*>(ctx)->workbooks.emplace_back(path);
}

}  // namespace

HostCapture::HostCapture(bool answer) : confirmAnswer(answer) {
  sx::ui::SetLogHandler(&OnLog, this);
  sx::ui::SetConfirmHandler(&OnConfirm, this);
  sx::ui::SetWorkbookHandler(&OnWorkbook, this);
}

HostCapture::~HostCapture() {
  // Handed-over workbooks land in the temporary directory; clean them up.
  for (const auto& path : workbooks) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
  }
  sx::ui::SetLogHandler(nullptr, nullptr);
  sx::ui::SetConfirmHandler(nullptr, nullptr);
  sx::ui::SetWorkbookHandler(nullptr, nullptr);
}

std::vector<std::string> HostCapture::Texts(int kind) const {
  std::vector<std::string> out;
  for (const auto& l : lines)
    if (l.kind == kind) out.push_back(l.text);
  return out;
}

int HostCapture::Finishes() const {
  int n = 0;
  for (const auto& l : lines) n += l.kind == 2;
  return n;
}

}  // namespace sxtest
