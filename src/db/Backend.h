// The engine port: what one database engine must offer the access layer.
// Statements arrive already adapted to the engine's dialect, with positional
// "?" parameters. Implementations live in one .cpp each (SQLite, ODBC).
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "base/DateTime.h"
#include "base/Error.h"

namespace sx::db {

// A database failure; the message is the engine's own text.
class DbError : public sx::Error {
 public:
  using sx::Error::Error;
};

enum class ParamType { String, Integer, Float, DateTime, Memo };

// A value as an engine returns it.
using Value = std::variant<std::monostate, std::int64_t, double, std::string>;

// A bound input parameter; `value` holds the text form of strings, memos and
// date-times ("YYYY-MM-DD HH:NN:SS"), or the number.
struct BoundParam {
  std::string name;
  ParamType type = ParamType::String;
  bool isNull = true;
  Value value;
  DateTime dateTime;  // set for ParamType::DateTime
  int size = 0;       // the declared size of a string (0: none declared)
};

struct ResultSet {
  std::vector<std::string> columns;
  std::vector<std::vector<Value>> rows;
};

// Which statement adaptation an engine needs.
enum class DialectKind { SqlServer, Sqlite };

class Backend {
 public:
  Backend() = default;
  Backend(const Backend&) = delete;
  Backend& operator=(const Backend&) = delete;
  virtual ~Backend() = default;

  // The dialect the engine speaks; fixed once connected.
  virtual DialectKind Dialect() const = 0;

  // Transactions: the caller never nests them.
  virtual void Begin() = 0;
  virtual void Commit() = 0;
  virtual void Rollback() = 0;

  // Runs a statement that returns rows; all rows are fetched.
  virtual ResultSet Query(const std::string& sql, const std::vector<BoundParam>& params) = 0;
  // Runs a statement that returns no rows; the result is the count of rows affected.
  virtual long Execute(const std::string& sql, const std::vector<BoundParam>& params) = 0;
};

// Opens the engine that a connection string names. Throws sx::Error with a
// message naming what was not understood; never puts a password in it.
std::unique_ptr<Backend> OpenBackend(const std::string& connectionString);

// The engines (each in its own unit).
std::unique_ptr<Backend> OpenSqlite(const std::string& path);
#ifdef SETUPXFER_HAVE_ODBC
std::unique_ptr<Backend> OpenOdbc(const std::string& odbcConnectionString);
// An OLE DB string for SQL Server, through the platform's SQL Server driver.
std::unique_ptr<Backend> OpenSqlServer(const std::string& oleDbConnectionString);
#endif

}  // namespace sx::db
