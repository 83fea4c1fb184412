// The ODBC engine: SQL Server through unixODBC and FreeTDS on Linux or the
// system's ODBC on Windows; also any SQLite ODBC driver. Every call is the
// wide-character one, so text travels as UTF-16 whatever the client charset.
#ifdef _WIN32
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/Error.h"
#include "base/Text.h"
#include "base/Utf8.h"
#include "db/Backend.h"
#include "db/ConnectionString.h"

namespace sx::db {

namespace {

using WString = std::basic_string<SQLWCHAR>;

// SQL Server's own ODBC type codes for time and datetimeoffset.
constexpr SQLSMALLINT kSqlSsTime2 = -154;
constexpr SQLSMALLINT kSqlSsTimestampOffset = -155;

// How long a connection attempt may take before the driver gives up.
constexpr SQLULEN kLoginTimeoutSeconds = 15;

// ---- UTF-8 <-> UTF-16 ----------------------------------------------------

// Malformed UTF-8 becomes U+FFFD, one per bad byte.
WString Widen(std::string_view s) {
  WString out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    auto [cp, length] = DecodeUtf8(s, i);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<SQLWCHAR>(0xD800 + (cp >> 10));
      out += static_cast<SQLWCHAR>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<SQLWCHAR>(cp);
    }
    i += length;
  }
  return out;
}

// A lone surrogate becomes U+FFFD.
std::string Narrow(const SQLWCHAR* s, std::size_t n) { return Utf16ToUtf8(s, n); }

std::string Narrow(const WString& s) { return Narrow(s.data(), s.size()); }

// ---- Diagnostics ------------------------------------------------------------

bool Ok(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

// Every diagnostic record of a handle, one per line.
std::string Diagnostics(SQLSMALLINT type, SQLHANDLE handle) {
  std::string text;
  for (SQLSMALLINT rec = 1;; ++rec) {
    SQLWCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLWCHAR message[1024];
    SQLSMALLINT length = 0;
    SQLRETURN rc = SQLGetDiagRecW(type, handle, rec, state, &native, message,
                                  static_cast<SQLSMALLINT>(std::size(message)), &length);
    if (!Ok(rc)) break;
    std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(length < 0 ? 0 : length),
                                          std::size(message) - 1);
    std::string line = Trim(Narrow(message, n));
    if (line.empty()) continue;
    if (!text.empty()) text += '\n';
    text += line;
  }
  return text;
}

[[noreturn]] void Fail(SQLSMALLINT type, SQLHANDLE handle, const char* what) {
  std::string text = handle ? Diagnostics(type, handle) : std::string();
  if (text.empty()) text = std::string("The ODBC driver reported a failure in ") + what;
  throw DbError(text);
}

void Check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, const char* what) {
  if (!Ok(rc)) Fail(type, handle, what);
}

// ---- Handles ----------------------------------------------------------------

class Handle {
 public:
  Handle(SQLSMALLINT type, SQLHANDLE parent) : type_(type) {
    if (!Ok(SQLAllocHandle(type, parent, &h_))) {
      h_ = SQL_NULL_HANDLE;
      if (parent) Fail(type == SQL_HANDLE_STMT ? SQL_HANDLE_DBC : SQL_HANDLE_ENV, parent, "SQLAllocHandle");
      throw DbError("The ODBC driver manager could not be initialised");
    }
  }
  ~Handle() {
    if (h_) SQLFreeHandle(type_, h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  SQLHANDLE get() const { return h_; }

 private:
  SQLSMALLINT type_;
  SQLHANDLE h_ = SQL_NULL_HANDLE;
};

// ---- Parameters -------------------------------------------------------------

// One parameter's value as ODBC reads it during SQLExecute.
struct ParamBuffer {
  WString text;
  SQLBIGINT bigint = 0;
  SQLINTEGER integer = 0;
  double number = 0;
  SQL_TIMESTAMP_STRUCT timestamp{};
  SQLLEN indicator = 0;
};

void BindParam(SQLHSTMT stmt, SQLUSMALLINT index, const BoundParam& p, ParamBuffer& b,
               DialectKind dialect) {
  SQLSMALLINT cType = SQL_C_WCHAR, sqlType = SQL_WVARCHAR, digits = 0;
  SQLULEN columnSize = 0;
  SQLPOINTER data = nullptr;
  SQLLEN bufferLength = 0;
  b.indicator = p.isNull ? SQL_NULL_DATA : 0;

  // SQLite keeps date-times as text; the text form matches the native engine's.
  ParamType type = p.type;
  if (type == ParamType::DateTime && dialect == DialectKind::Sqlite) type = ParamType::String;

  switch (type) {
    case ParamType::String:
    case ParamType::Memo: {
      if (!p.isNull) {
        if (auto* s = std::get_if<std::string>(&p.value)) b.text = Widen(*s);
        else if (auto* i = std::get_if<std::int64_t>(&p.value)) b.text = Widen(std::to_string(*i));
        else if (auto* d = std::get_if<double>(&p.value)) b.text = Widen(FloatToText(*d));
      }
      std::size_t length = b.text.size();
      if (!p.isNull) b.indicator = static_cast<SQLLEN>(length * sizeof(SQLWCHAR));
      b.text.push_back(0);
      data = b.text.data();
      bufferLength = static_cast<SQLLEN>(b.text.size() * sizeof(SQLWCHAR));
      columnSize = std::max<SQLULEN>({1, static_cast<SQLULEN>(length),
                                      static_cast<SQLULEN>(p.size > 0 ? p.size : 0)});
      // Beyond 4000 characters SQL Server needs the long form of nvarchar.
      sqlType = type == ParamType::Memo || columnSize > 4000 ? SQL_WLONGVARCHAR : SQL_WVARCHAR;
      break;
    }
    case ParamType::Integer: {
      std::int64_t v = 0;
      if (auto* i = std::get_if<std::int64_t>(&p.value)) v = *i;
      else if (auto* d = std::get_if<double>(&p.value)) v = static_cast<std::int64_t>(*d);
      if (v >= INT32_MIN && v <= INT32_MAX) {
        b.integer = static_cast<SQLINTEGER>(v);
        cType = SQL_C_SLONG;
        sqlType = SQL_INTEGER;
        data = &b.integer;
        columnSize = 10;
      } else {
        b.bigint = v;
        cType = SQL_C_SBIGINT;
        sqlType = SQL_BIGINT;
        data = &b.bigint;
        columnSize = 19;
      }
      break;
    }
    case ParamType::Float: {
      if (auto* d = std::get_if<double>(&p.value)) b.number = *d;
      else if (auto* i = std::get_if<std::int64_t>(&p.value)) b.number = static_cast<double>(*i);
      cType = SQL_C_DOUBLE;
      sqlType = SQL_DOUBLE;
      data = &b.number;
      columnSize = 15;
      break;
    }
    case ParamType::DateTime: {
      const DateTime& dt = p.dateTime;
      b.timestamp.year = static_cast<SQLSMALLINT>(dt.year);
      b.timestamp.month = static_cast<SQLUSMALLINT>(dt.month);
      b.timestamp.day = static_cast<SQLUSMALLINT>(dt.day);
      b.timestamp.hour = static_cast<SQLUSMALLINT>(dt.hour);
      b.timestamp.minute = static_cast<SQLUSMALLINT>(dt.minute);
      b.timestamp.second = static_cast<SQLUSMALLINT>(dt.second);
      b.timestamp.fraction = 0;
      cType = SQL_C_TYPE_TIMESTAMP;
      sqlType = SQL_TYPE_TIMESTAMP;
      data = &b.timestamp;
      columnSize = 23;  // SQL Server's datetime: seconds with three fraction digits
      digits = 3;
      break;
    }
  }
  Check(SQLBindParameter(stmt, index, SQL_PARAM_INPUT, cType, sqlType, columnSize, digits, data,
                         bufferLength, &b.indicator),
        SQL_HANDLE_STMT, stmt, "SQLBindParameter");
}

// ---- Result columns ---------------------------------------------------------

enum class ColumnKind { Integer, Float, Decimal, Timestamp, Date, Time, Text };

struct Column {
  std::string name;
  ColumnKind kind = ColumnKind::Text;
  SQLSMALLINT scale = 0;
};

ColumnKind KindOf(SQLSMALLINT sqlType, DialectKind dialect) {
  switch (sqlType) {
    case SQL_BIT:
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
      return ColumnKind::Integer;
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
      return ColumnKind::Float;
    case SQL_DECIMAL:
    case SQL_NUMERIC:
      return ColumnKind::Decimal;
    default:
      break;
  }
  // SQLite keeps dates as the text they were written as; read that text.
  if (dialect == DialectKind::Sqlite) return ColumnKind::Text;
  switch (sqlType) {
    case SQL_TYPE_TIMESTAMP:
    case SQL_DATETIME:
    case kSqlSsTimestampOffset:
      return ColumnKind::Timestamp;
    case SQL_TYPE_DATE:
      return ColumnKind::Date;
    case SQL_TYPE_TIME:
    case kSqlSsTime2:
      return ColumnKind::Time;
    default:
      return ColumnKind::Text;
  }
}

std::string TwoDigits(int v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", v);
  return buf;
}

// A whole text column, fetched in pieces; nullopt for NULL.
std::optional<WString> GetText(SQLHSTMT stmt, SQLUSMALLINT col) {
  WString text;
  SQLWCHAR chunk[2048];
  for (;;) {
    SQLLEN ind = 0;
    SQLRETURN rc = SQLGetData(stmt, col, SQL_C_WCHAR, chunk, sizeof chunk, &ind);
    if (rc == SQL_NO_DATA) break;
    Check(rc, SQL_HANDLE_STMT, stmt, "SQLGetData");
    if (ind == SQL_NULL_DATA) return std::nullopt;
    std::size_t room = std::size(chunk) - 1;  // the driver ends each piece with a NUL
    std::size_t got = ind == SQL_NO_TOTAL ? room
                                          : std::min(room, static_cast<std::size_t>(ind) / sizeof(SQLWCHAR));
    text.append(chunk, got);
    if (rc == SQL_SUCCESS) break;  // SQL_SUCCESS_WITH_INFO: truncated, more follows
  }
  return text;
}

Value ReadColumn(SQLHSTMT stmt, SQLUSMALLINT col, const Column& c) {
  SQLLEN ind = 0;
  switch (c.kind) {
    case ColumnKind::Integer: {
      SQLBIGINT v = 0;
      Check(SQLGetData(stmt, col, SQL_C_SBIGINT, &v, sizeof v, &ind), SQL_HANDLE_STMT, stmt, "SQLGetData");
      if (ind == SQL_NULL_DATA) return std::monostate{};
      return std::int64_t{v};
    }
    case ColumnKind::Float: {
      double v = 0;
      Check(SQLGetData(stmt, col, SQL_C_DOUBLE, &v, sizeof v, &ind), SQL_HANDLE_STMT, stmt, "SQLGetData");
      if (ind == SQL_NULL_DATA) return std::monostate{};
      return v;
    }
    case ColumnKind::Decimal: {
      // Read as text so that whole numbers stay exact; fractions become doubles.
      auto text = GetText(stmt, col);
      if (!text) return std::monostate{};
      std::string t = Trim(Narrow(*text));
      std::int64_t i = 0;
      auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), i);
      if (c.scale == 0 && ec == std::errc() && end == t.data() + t.size()) return i;
      if (auto d = TryStrToFloat(t)) return *d;
      return t;
    }
    case ColumnKind::Timestamp:
    case ColumnKind::Date: {
      SQL_TIMESTAMP_STRUCT ts{};
      Check(SQLGetData(stmt, col, SQL_C_TYPE_TIMESTAMP, &ts, sizeof ts, &ind), SQL_HANDLE_STMT, stmt,
            "SQLGetData");
      if (ind == SQL_NULL_DATA) return std::monostate{};
      DateTime dt{ts.year, ts.month, ts.day, ts.hour, ts.minute, static_cast<int>(ts.second)};
      return FormatDateTime(c.kind == ColumnKind::Date ? "YYYY-MM-DD" : "YYYY-MM-DD HH:NN:SS", dt);
    }
    case ColumnKind::Time: {
      SQL_TIME_STRUCT t{};
      Check(SQLGetData(stmt, col, SQL_C_TYPE_TIME, &t, sizeof t, &ind), SQL_HANDLE_STMT, stmt, "SQLGetData");
      if (ind == SQL_NULL_DATA) return std::monostate{};
      return TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second);
    }
    case ColumnKind::Text:
      break;
  }
  auto text = GetText(stmt, col);
  if (!text) return std::monostate{};
  return Narrow(*text);
}

// ---- The engine -------------------------------------------------------------

// Declares the ODBC version the calls follow; returns the environment.
SQLHENV InitEnvironment(const Handle& env) {
  Check(SQLSetEnvAttr(env.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
        SQL_HANDLE_ENV, env.get(), "SQLSetEnvAttr");
  return env.get();
}

class OdbcStatement;

class OdbcBackend final : public Backend {
 public:
  explicit OdbcBackend(const std::string& connectionString)
      : env_(SQL_HANDLE_ENV, SQL_NULL_HANDLE), dbc_(SQL_HANDLE_DBC, InitEnvironment(env_)) {
    // Not every driver honours it; those that do bound an unreachable server.
    SQLSetConnectAttrW(dbc_.get(), SQL_ATTR_LOGIN_TIMEOUT,
                       reinterpret_cast<SQLPOINTER>(kLoginTimeoutSeconds), 0);
    WString cs = Widen(connectionString);
    SQLWCHAR out[1024];
    SQLSMALLINT outLength = 0;
    SQLRETURN rc = SQLDriverConnectW(dbc_.get(), nullptr, cs.data(), static_cast<SQLSMALLINT>(cs.size()),
                                     out, static_cast<SQLSMALLINT>(std::size(out)), &outLength,
                                     SQL_DRIVER_NOPROMPT);
    // Wipe the copy that held the password.
    std::fill(cs.begin(), cs.end(), SQLWCHAR{0});
    std::fill(std::begin(out), std::end(out), SQLWCHAR{0});
    Check(rc, SQL_HANDLE_DBC, dbc_.get(), "SQLDriverConnect");
    connected_ = true;

    SQLWCHAR name[256] = {};
    SQLSMALLINT nameLength = 0;
    Check(SQLGetInfoW(dbc_.get(), SQL_DBMS_NAME, name, sizeof name, &nameLength), SQL_HANDLE_DBC,
          dbc_.get(), "SQLGetInfo");
    std::string dbms = Trim(Narrow(name, std::min<std::size_t>(static_cast<std::size_t>(nameLength) / sizeof(SQLWCHAR),
                                                               std::size(name) - 1)));
    if (dbms == "Microsoft SQL Server") {
      dialect_ = DialectKind::SqlServer;
    } else if (SameTextIgnoringCase(dbms.substr(0, 6), "SQLite")) {
      dialect_ = DialectKind::Sqlite;
    } else {
      SQLDisconnect(dbc_.get());
      connected_ = false;
      throw DbError("The database engine '" + dbms +
                    "' is not supported; connect to Microsoft SQL Server or SQLite");
    }
    // A driver that deletes prepared statements when a transaction ends gets
    // each statement prepared again for every run.
    for (SQLUSMALLINT info : {SQL_CURSOR_COMMIT_BEHAVIOR, SQL_CURSOR_ROLLBACK_BEHAVIOR}) {
      SQLUSMALLINT behaviour = SQL_CB_CLOSE;
      if (Ok(SQLGetInfoW(dbc_.get(), info, &behaviour, sizeof behaviour, nullptr)) && behaviour == SQL_CB_DELETE)
        prepareEveryRun_ = true;
    }
  }

  ~OdbcBackend() override {
    if (!connected_) return;
    if (inTransaction_) {
      SQLEndTran(SQL_HANDLE_DBC, dbc_.get(), SQL_ROLLBACK);
      SetAutoCommit(true);
    }
    SQLDisconnect(dbc_.get());
  }

  DialectKind Dialect() const override { return dialect_; }

  void Begin() override {
    SetAutoCommit(false);
    inTransaction_ = true;
  }
  void Commit() override { EndTran(SQL_COMMIT); }
  void Rollback() override {
    if (inTransaction_) EndTran(SQL_ROLLBACK);
  }

  std::unique_ptr<PreparedStatement> Prepare(const std::string& sql) override;

 private:
  friend class OdbcStatement;

  void SetAutoCommit(bool on) {
    Check(SQLSetConnectAttrW(dbc_.get(), SQL_ATTR_AUTOCOMMIT,
                             reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(on ? SQL_AUTOCOMMIT_ON
                                                                                 : SQL_AUTOCOMMIT_OFF)),
                             SQL_IS_UINTEGER),
          SQL_HANDLE_DBC, dbc_.get(), "SQLSetConnectAttr");
  }

  // Ends the transaction and returns to auto-commit, even when ending failed.
  void EndTran(SQLSMALLINT completion) {
    SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, dbc_.get(), completion);
    std::string failure = Ok(rc) ? std::string() : Diagnostics(SQL_HANDLE_DBC, dbc_.get());
    inTransaction_ = false;
    SetAutoCommit(true);
    if (!Ok(rc))
      throw DbError(failure.empty() ? "The transaction could not be ended" : failure);
  }

  Handle env_;
  Handle dbc_;
  bool connected_ = false;
  bool inTransaction_ = false;
  bool prepareEveryRun_ = false;
  DialectKind dialect_ = DialectKind::SqlServer;
};

// One statement handle prepared once (SQLPrepare) and executed many times
// (SQLExecute); its cursor is closed after every run so the next one starts
// clean.
class OdbcStatement final : public PreparedStatement {
 public:
  OdbcStatement(OdbcBackend& backend, const std::string& sql) : backend_(backend), sql_(sql) { Compile(); }

  ResultSet Query(std::span<const BoundParam* const> params) override {
    Closer closer{Begin()};
    SQLHSTMT h = stmt_->get();
    ResultSet rs;
    if (!Execute(h, params)) return rs;
    // Skip the counts of statements that return no rows, up to the first result set.
    SQLSMALLINT count = 0;
    for (;;) {
      Check(SQLNumResultCols(h, &count), SQL_HANDLE_STMT, h, "SQLNumResultCols");
      if (count > 0) break;
      SQLRETURN rc = SQLMoreResults(h);
      if (rc == SQL_NO_DATA) return rs;
      Check(rc, SQL_HANDLE_STMT, h, "SQLMoreResults");
    }
    std::vector<Column> columns(static_cast<std::size_t>(count));
    for (SQLUSMALLINT i = 1; i <= count; ++i) {
      SQLWCHAR name[256] = {};
      SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
      SQLULEN size = 0;
      Check(SQLDescribeColW(h, i, name, static_cast<SQLSMALLINT>(std::size(name)), &nameLength, &type, &size,
                            &digits, &nullable),
            SQL_HANDLE_STMT, h, "SQLDescribeCol");
      Column& c = columns[i - 1];
      c.name = Narrow(name, std::min<std::size_t>(static_cast<std::size_t>(nameLength), std::size(name) - 1));
      c.kind = KindOf(type, backend_.dialect_);
      c.scale = digits;
      rs.columns.push_back(c.name);
    }
    for (;;) {
      SQLRETURN rc = SQLFetch(h);
      if (rc == SQL_NO_DATA) break;
      Check(rc, SQL_HANDLE_STMT, h, "SQLFetch");
      std::vector<Value> row;
      row.reserve(columns.size());
      for (SQLUSMALLINT i = 1; i <= count; ++i) row.push_back(ReadColumn(h, i, columns[i - 1]));
      rs.rows.push_back(std::move(row));
    }
    return rs;
  }

  long Execute(std::span<const BoundParam* const> params) override {
    Closer closer{Begin()};
    SQLHSTMT h = stmt_->get();
    if (!Execute(h, params)) return 0;
    SQLLEN rows = 0;
    Check(SQLRowCount(h, &rows), SQL_HANDLE_STMT, h, "SQLRowCount");
    // Finish the batch so that an error in a later part is not lost.
    for (;;) {
      SQLRETURN rc = SQLMoreResults(h);
      if (rc == SQL_NO_DATA) break;
      Check(rc, SQL_HANDLE_STMT, h, "SQLMoreResults");
    }
    return static_cast<long>(rows);
  }

 private:
  // Closes the cursor and drops pending results when a run ends, however it ends.
  struct Closer {
    SQLHSTMT h;
    ~Closer() { SQLFreeStmt(h, SQL_CLOSE); }
  };

  void Compile() {
    stmt_.reset();
    auto stmt = std::make_unique<Handle>(SQL_HANDLE_STMT, backend_.dbc_.get());
    SQLHSTMT h = stmt->get();
    if (backend_.dialect_ == DialectKind::Sqlite) {
      // The SQLite driver takes UTF-8 statement text through the narrow call;
      // through the wide one the driver manager narrows it to the locale's
      // charset and loses every non-ASCII character of a literal.
      std::string text = sql_;
      Check(SQLPrepare(h, reinterpret_cast<SQLCHAR*>(text.data()), static_cast<SQLINTEGER>(text.size())),
            SQL_HANDLE_STMT, h, "SQLPrepare");
    } else {
      WString text = Widen(sql_);
      Check(SQLPrepareW(h, text.data(), static_cast<SQLINTEGER>(text.size())), SQL_HANDLE_STMT, h,
            "SQLPrepare");
    }
    stmt_ = std::move(stmt);
    fresh_ = true;
  }

  // The handle for a new run, prepared again when the driver needs that.
  SQLHSTMT Begin() {
    if (!stmt_ || (backend_.prepareEveryRun_ && !fresh_)) Compile();
    fresh_ = false;
    return stmt_->get();
  }

  // Binds and executes; false when the statement affected no rows
  // (SQL_NO_DATA), which is not an error.
  bool Execute(SQLHSTMT h, std::span<const BoundParam* const> params) {
    buffers_.resize(params.size());
    for (std::size_t i = 0; i < params.size(); ++i)
      BindParam(h, static_cast<SQLUSMALLINT>(i + 1), *params[i], buffers_[i], backend_.dialect_);
    SQLRETURN rc = SQLExecute(h);
    if (rc == SQL_NO_DATA) return false;
    Check(rc, SQL_HANDLE_STMT, h, "SQLExecute");
    return true;
  }

  OdbcBackend& backend_;
  std::string sql_;
  std::unique_ptr<Handle> stmt_;
  bool fresh_ = false;  // prepared and not yet run
  std::vector<ParamBuffer> buffers_;  // read by the driver during SQLExecute
};

std::unique_ptr<PreparedStatement> OdbcBackend::Prepare(const std::string& sql) {
  return std::make_unique<OdbcStatement>(*this, sql);
}

#ifdef _WIN32
// The newest SQL Server driver installed, by the names Microsoft gives them.
SqlServerDriver InstalledSqlServerDriver() {
  static const char* const kNewestFirst[] = {
      "ODBC Driver 18 for SQL Server", "ODBC Driver 17 for SQL Server", "ODBC Driver 13.1 for SQL Server",
      "ODBC Driver 13 for SQL Server", "ODBC Driver 11 for SQL Server", "SQL Server Native Client 11.0",
      "SQL Server Native Client 10.0", "SQL Server"};
  Handle env(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
  InitEnvironment(env);
  std::vector<std::string> installed;
  SQLWCHAR description[256], attributes[1024];
  SQLSMALLINT dl = 0, al = 0;
  SQLUSMALLINT direction = SQL_FETCH_FIRST;
  while (Ok(SQLDriversW(env.get(), direction, description, static_cast<SQLSMALLINT>(std::size(description)),
                        &dl, attributes, static_cast<SQLSMALLINT>(std::size(attributes)), &al))) {
    installed.push_back(Narrow(description, std::min<std::size_t>(static_cast<std::size_t>(dl),
                                                                  std::size(description) - 1)));
    direction = SQL_FETCH_NEXT;
  }
  for (const char* name : kNewestFirst)
    for (const auto& d : installed)
      if (SameTextIgnoringCase(d, name)) return {d, false};
  throw DbError("No ODBC driver for SQL Server is installed");
}
#endif

}  // namespace

std::unique_ptr<Backend> OpenOdbc(const std::string& odbcConnectionString) {
  return std::make_unique<OdbcBackend>(odbcConnectionString);
}

std::unique_ptr<Backend> OpenSqlServer(const std::string& oleDbConnectionString) {
#ifdef _WIN32
  // Read the string first: a malformed one fails before the drivers are listed.
  OleDbToOdbc(oleDbConnectionString, FreeTdsDriver());
  return OpenOdbc(OleDbToOdbc(oleDbConnectionString, InstalledSqlServerDriver()));
#else
  return OpenOdbc(OleDbToOdbc(oleDbConnectionString, FreeTdsDriver()));
#endif
}

}  // namespace sx::db
