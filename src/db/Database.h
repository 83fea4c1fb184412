// The database access layer used by the data module and the workers: a
// connection and query objects in the manner of the host's data-access
// components (statement text, named parameters, rows, fields).
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/DateTime.h"
#include "base/Error.h"
#include "db/Backend.h"
#include "db/Dialect.h"
#include "db/NameIndex.h"

namespace sx::db {

struct CachedStatement;

class Connection {
 public:
  Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  ~Connection();

  void SetConnectionString(std::string cs) { connectionString_ = std::move(cs); }
  const std::string& ConnectionString() const { return connectionString_; }

  // Connects with the connection string; throws on failure. Never prompts.
  void Open();
  void Close();
  bool Connected() const { return backend_ != nullptr; }

  void BeginTrans();
  void CommitTrans();
  void RollbackTrans();
  // True between BeginTrans and the CommitTrans or RollbackTrans that ends it.
  bool InTransaction() const { return inTransaction_; }
  // Savepoints inside the open transaction (see Backend).
  void Savepoint(const std::string& name);
  void ReleaseSavepoint(const std::string& name);
  void RollbackToSavepoint(const std::string& name);

  // Runs a T-SQL text with named parameters (matched ignoring case).
  ResultSet RunQuery(const std::string& tsql, const std::vector<BoundParam>& params);
  long RunExecute(const std::string& tsql, const std::vector<BoundParam>& params);

  // Used by Query. The statement for a T-SQL text, with its parameter layout;
  // the same object for the same text while it stays in the cache.
  std::shared_ptr<CachedStatement> Statement(const std::string& tsql);
  // Runs a statement; `bySlot` holds each named parameter's value in the
  // statement's layout order, null where none was set. Each distinct text is
  // translated and prepared once, then run again with new values.
  ResultSet RunQuery(const std::shared_ptr<CachedStatement>& statement,
                     std::span<const BoundParam* const> bySlot);
  long RunExecute(const std::shared_ptr<CachedStatement>& statement, std::span<const BoundParam* const> bySlot);

  // How many prepared statements a connection keeps at most.
  static constexpr std::size_t kStatementCacheSize = 128;

 private:
  class Cache;

  Backend& Engine();
  // The cached statement, prepared for the engine; its parameters in "?" order.
  PreparedStatement& Ready(const std::shared_ptr<CachedStatement>& statement,
                           std::span<const BoundParam* const> bySlot);
  // Tells the observer of a failed run.
  void Failed(const CachedStatement& statement, bool query, const char* error);

  std::string connectionString_;
  std::unique_ptr<Backend> backend_;
  std::unique_ptr<Cache> cache_;
  std::vector<const BoundParam*> ordered_;  // reused by every run
  const CachedStatement* ready_ = nullptr;  // the statement Ready made ready last
  bool inTransaction_ = false;
};

// One field of the current row.
class Field {
 public:
  explicit Field(const Value* v) : v_(v) {}
  bool IsNull() const;
  // Integers in decimal, floats in their shortest form, NULL as empty text.
  std::string AsString() const;
  // NULL reads as 0. Text that is not a number throws DbError.
  std::int64_t AsInteger() const;
  double AsFloat() const;
  bool AsBoolean() const { return AsInteger() != 0; }
  // Accepts "YYYY-MM-DD", "YYYY-MM-DD HH:NN:SS" and a bare time of day.
  DateTime AsDateTime() const;

 private:
  const Value* v_;
};

class Query {
 public:
  explicit Query(Connection& connection) : connection_(connection) {}
  Query(const Query&) = delete;
  Query& operator=(const Query&) = delete;

  void Close();
  bool Active() const { return active_; }

  // Replaces the whole statement text; the query must be closed.
  void SetSQL(std::string text);
  const std::string& SQL() const { return sql_; }

  // Declares an input parameter and sets its value. Names match ignoring case;
  // each lookup costs O(1). A name the statement does not use is ignored.
  // A string longer than `size` (counted as code page 936 does) is refused.
  void SetString(std::string_view name, int size, std::string_view value);
  // Declares a string parameter; empty text is written as NULL.
  void SetOptionalString(std::string_view name, int size, std::string_view value);
  void SetInteger(std::string_view name, std::int64_t value);
  void SetFloat(std::string_view name, double value);
  void SetDateTime(std::string_view name, const DateTime& value);
  void SetMemo(std::string_view name, std::string_view value);
  void SetNull(std::string_view name, ParamType type, int size = 0);

  // Runs a statement that returns rows and moves to the first row.
  void Open();
  // Runs a statement that returns no rows; returns the count of rows affected.
  long ExecSQL();

  bool Eof() const { return !active_ || row_ >= result_.rows.size(); }
  void Next();
  void First() { row_ = 0; }
  std::size_t RecordCount() const { return result_.rows.size(); }

  Field FieldByName(std::string_view name) const;
  Field Fields(std::size_t index) const;

 private:
  BoundParam& Declare(std::string_view name, ParamType type);
  std::size_t ColumnIndex(std::string_view name) const;
  const Value* Current(std::size_t column) const;

  Connection& connection_;
  std::string sql_;
  std::shared_ptr<CachedStatement> statement_;
  std::vector<BoundParam> params_;         // one per distinct name of the statement
  std::vector<const BoundParam*> bound_;   // the declared ones, by the same index
  BoundParam unused_;                      // takes values for names the statement lacks
  bool active_ = false;
  ResultSet result_;
  mutable NameIndex columnIndex_;  // built on the first lookup by name
  std::size_t row_ = 0;
};

}  // namespace sx::db
