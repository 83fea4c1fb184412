// The embedded engine: SQLite through libsqlite3.
#include <sqlite3.h>

#include "base/Text.h"
#include "db/Backend.h"

namespace sx::db {

namespace {

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

  ResultSet Query(const std::string& sql, const std::vector<BoundParam>& params) override {
    Statement st(*this, sql, params);
    ResultSet rs;
    int n = sqlite3_column_count(st.stmt);
    for (int i = 0; i < n; ++i) {
      const char* name = sqlite3_column_name(st.stmt, i);
      rs.columns.emplace_back(name ? name : "");
    }
    for (;;) {
      int rc = sqlite3_step(st.stmt);
      if (rc == SQLITE_DONE) break;
      if (rc != SQLITE_ROW) Fail();
      std::vector<Value> row;
      row.reserve(n);
      for (int i = 0; i < n; ++i) {
        switch (sqlite3_column_type(st.stmt, i)) {
          case SQLITE_INTEGER: row.emplace_back(std::int64_t{sqlite3_column_int64(st.stmt, i)}); break;
          case SQLITE_FLOAT: row.emplace_back(sqlite3_column_double(st.stmt, i)); break;
          case SQLITE_NULL: row.emplace_back(std::monostate{}); break;
          default: {
            const unsigned char* t = sqlite3_column_text(st.stmt, i);
            int len = sqlite3_column_bytes(st.stmt, i);
            row.emplace_back(std::string(reinterpret_cast<const char*>(t), static_cast<std::size_t>(len)));
          }
        }
      }
      rs.rows.push_back(std::move(row));
    }
    return rs;
  }

  long Execute(const std::string& sql, const std::vector<BoundParam>& params) override {
    Statement st(*this, sql, params);
    for (;;) {
      int rc = sqlite3_step(st.stmt);
      if (rc == SQLITE_DONE) break;
      if (rc != SQLITE_ROW) Fail();
    }
    return sqlite3_changes(db_);
  }

 private:
  struct Statement {
    sqlite3_stmt* stmt = nullptr;
    Statement(SqliteBackend& b, const std::string& sql, const std::vector<BoundParam>& params) {
      const char* tail = nullptr;
      if (sqlite3_prepare_v2(b.db_, sql.c_str(), static_cast<int>(sql.size()), &stmt, &tail) != SQLITE_OK)
        b.Fail();
      if (!stmt) throw DbError("The statement is empty");
      if (tail && !Trim(tail).empty() && Trim(tail) != ";") {
        sqlite3_finalize(stmt);
        throw DbError("Only one statement can be run at a time");
      }
      for (std::size_t i = 0; i < params.size(); ++i) {
        int idx = static_cast<int>(i + 1);
        const BoundParam& p = params[i];
        int rc;
        if (p.isNull) {
          rc = sqlite3_bind_null(stmt, idx);
        } else if (auto* iv = std::get_if<std::int64_t>(&p.value)) {
          rc = sqlite3_bind_int64(stmt, idx, *iv);
        } else if (auto* dv = std::get_if<double>(&p.value)) {
          rc = sqlite3_bind_double(stmt, idx, *dv);
        } else if (auto* sv = std::get_if<std::string>(&p.value)) {
          rc = sqlite3_bind_text(stmt, idx, sv->data(), static_cast<int>(sv->size()), SQLITE_TRANSIENT);
        } else {
          rc = sqlite3_bind_null(stmt, idx);
        }
        if (rc != SQLITE_OK) {
          sqlite3_finalize(stmt);
          b.Fail();
        }
      }
    }
    ~Statement() { sqlite3_finalize(stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
  };

  [[noreturn]] void Fail() { throw DbError(sqlite3_errmsg(db_)); }

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

}  // namespace

std::unique_ptr<Backend> OpenSqlite(const std::string& path) {
  return std::make_unique<SqliteBackend>(path);
}

}  // namespace sx::db
