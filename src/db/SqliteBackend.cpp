// The embedded engine: SQLite through libsqlite3.
#include <sqlite3.h>

#include "base/Text.h"
#include "db/Backend.h"

namespace sx::db {

namespace {

class SqliteStatement;

class SqliteBackend final : public Backend {
 public:
  explicit SqliteBackend(const std::string& path) {
    // A missing file is an error: a transfer never creates a database.
    int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
      std::string msg = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
      sqlite3_close(db_);
      db_ = nullptr;
      throw DbError("Cannot open the database '" + path + "': " + msg);
    }
    sqlite3_busy_timeout(db_, 5000);
    sqlite3_extended_result_codes(db_, 1);
  }
  ~SqliteBackend() override { sqlite3_close_v2(db_); }

  DialectKind Dialect() const override { return DialectKind::Sqlite; }

  void Begin() override { Exec("BEGIN"); }
  void Commit() override { Exec("COMMIT"); }
  void Rollback() override {
    if (!sqlite3_get_autocommit(db_)) Exec("ROLLBACK");
  }
  // Outside a transaction SQLite's SAVEPOINT would begin one that RELEASE
  // commits: refused, so that a transaction the engine ended on an error
  // cannot turn the next writes into committed ones.
  void Savepoint(const std::string& name) override {
    if (sqlite3_get_autocommit(db_)) throw DbError("The transaction has ended; nothing more is written");
    Backend::Savepoint(name);
  }

  std::unique_ptr<PreparedStatement> Prepare(const std::string& sql) override;

 private:
  friend class SqliteStatement;

  [[noreturn]] void Fail() const { throw DbError(sqlite3_errmsg(db_)); }

  void Exec(const char* sql) {
    char* err = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &err) != SQLITE_OK) {
      std::string msg = err ? err : sqlite3_errmsg(db_);
      sqlite3_free(err);
      throw DbError(msg);
    }
  }

  sqlite3* db_ = nullptr;
};

// One compiled statement, kept for the life of the connection. Bindings point
// into the caller's values for the length of one run only.
class SqliteStatement final : public PreparedStatement {
 public:
  SqliteStatement(SqliteBackend& backend, const std::string& sql) : backend_(backend) {
    const char* tail = nullptr;
    // A statement that changes the schema it reads is compiled again by
    // sqlite3_step itself, so a kept statement survives schema changes.
    if (sqlite3_prepare_v3(backend_.db_, sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                           &stmt_, &tail) != SQLITE_OK)
      backend_.Fail();
    if (!stmt_) throw DbError("The statement is empty");
    if (tail && !Trim(tail).empty() && Trim(tail) != ";") {
      sqlite3_finalize(stmt_);
      throw DbError("Only one statement can be run at a time");
    }
  }
  ~SqliteStatement() override { sqlite3_finalize(stmt_); }

  ResultSet Query(std::span<const BoundParam* const> params) override {
    ResultSet rs;
    // The columns are read once the statement has run: sqlite3_step may have
    // compiled it again after a schema change, and "select *" may have more.
    bool described = false;
    Run(params, [&] {
      if (!described) described = Describe(rs);
      std::vector<Value> row;
      row.reserve(rs.columns.size());
      for (int i = 0; i < static_cast<int>(rs.columns.size()); ++i) row.push_back(Column(i));
      rs.rows.push_back(std::move(row));
    });
    if (!described) Describe(rs);
    return rs;
  }

  long Execute(std::span<const BoundParam* const> params) override {
    Run(params, [] {});
    return sqlite3_changes(backend_.db_);
  }

 private:
  // Binds, steps through every row and leaves the statement reset with no
  // bindings, whatever happens.
  template <class OnRow>
  void Run(std::span<const BoundParam* const> params, OnRow onRow) {
    struct Reset {
      sqlite3_stmt* stmt;
      ~Reset() {
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
      }
    } reset{stmt_};
    Bind(params);
    for (;;) {
      int rc = sqlite3_step(stmt_);
      if (rc == SQLITE_DONE) break;
      if (rc != SQLITE_ROW) backend_.Fail();
      onRow();
    }
  }

  void Bind(std::span<const BoundParam* const> params) {
    for (std::size_t i = 0; i < params.size(); ++i) {
      int idx = static_cast<int>(i + 1);
      const BoundParam& p = *params[i];
      int rc;
      if (p.isNull) {
        rc = sqlite3_bind_null(stmt_, idx);
      } else if (auto* iv = std::get_if<std::int64_t>(&p.value)) {
        rc = sqlite3_bind_int64(stmt_, idx, *iv);
      } else if (auto* dv = std::get_if<double>(&p.value)) {
        rc = sqlite3_bind_double(stmt_, idx, *dv);
      } else if (auto* sv = std::get_if<std::string>(&p.value)) {
        // The text outlives the run; the bindings are cleared after it.
        rc = sqlite3_bind_text(stmt_, idx, sv->data(), static_cast<int>(sv->size()), SQLITE_STATIC);
      } else {
        rc = sqlite3_bind_null(stmt_, idx);
      }
      if (rc != SQLITE_OK) backend_.Fail();
    }
  }

  bool Describe(ResultSet& rs) {
    int n = sqlite3_column_count(stmt_);
    for (int i = 0; i < n; ++i) {
      const char* name = sqlite3_column_name(stmt_, i);
      rs.columns.emplace_back(name ? name : "");
    }
    return true;
  }

  Value Column(int i) {
    switch (sqlite3_column_type(stmt_, i)) {
      case SQLITE_INTEGER: return std::int64_t{sqlite3_column_int64(stmt_, i)};
      case SQLITE_FLOAT: return sqlite3_column_double(stmt_, i);
      case SQLITE_NULL: return std::monostate{};
      default: {
        const unsigned char* t = sqlite3_column_text(stmt_, i);
        int len = sqlite3_column_bytes(stmt_, i);
        return std::string(reinterpret_cast<const char*>(t), static_cast<std::size_t>(len));
      }
    }
  }

  SqliteBackend& backend_;
  sqlite3_stmt* stmt_ = nullptr;
};

std::unique_ptr<PreparedStatement> SqliteBackend::Prepare(const std::string& sql) {
  return std::make_unique<SqliteStatement>(*this, sql);
}

}  // namespace

std::unique_ptr<Backend> OpenSqlite(const std::string& path) {
  return std::make_unique<SqliteBackend>(path);
}

}  // namespace sx::db
