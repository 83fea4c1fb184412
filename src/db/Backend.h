// The engine port: what one database engine must offer the access layer.
// Statements arrive already adapted to the engine's dialect, with positional
// "?" parameters; the engine prepares each once and runs it many times.
// Implementations live in one .cpp each (SQLite, ODBC).
#pragma once
#include <cstdint>
#include <memory>
#include <span>
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

// A statement prepared once and run again with new values. It belongs to the
// engine that prepared it and is destroyed before that engine. After every
// run, failed or not, it is ready to run again.
class PreparedStatement {
 public:
  PreparedStatement() = default;
  PreparedStatement(const PreparedStatement&) = delete;
  PreparedStatement& operator=(const PreparedStatement&) = delete;
  virtual ~PreparedStatement() = default;

  // One parameter per "?", in order. A statement that returns rows: all rows
  // are fetched.
  virtual ResultSet Query(std::span<const BoundParam* const> params) = 0;
  // A statement that returns no rows: the count of rows affected.
  virtual long Execute(std::span<const BoundParam* const> params) = 0;
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
  // Savepoints inside the open transaction, in the engine's own statements
  // (Savepoint.cpp). A rolled-back savepoint is also released.
  virtual void Savepoint(const std::string& name);
  virtual void ReleaseSavepoint(const std::string& name);
  virtual void RollbackToSavepoint(const std::string& name);

  // Prepares one statement; throws DbError when the engine refuses it.
  virtual std::unique_ptr<PreparedStatement> Prepare(const std::string& sql) = 0;
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
