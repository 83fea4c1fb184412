// The smoke test on a real SQL Server, run by scripts/smoke-sqlserver: creates
// a scratch database per edition from the SQL Server schema (or uses empty
// ones given), copies the sample data into it, then for every kind and
// edition exports, imports the workbook back (first check-only, which must
// change nothing) and exports again through the library's exported
// functions, and does the same on the sample in SQLite.
// A kind passes when the server's exports hold the same cells as SQLite's and
// its import wrote as many items with as many error lines.
// Prints one table and the server's version; drops only what it created.
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "base/Text.h"
#include "boundary/setupxfer.h"
#include "db/ConnectionString.h"
#include "db/Database.h"
#include "db/SqlTokens.h"
#include "transfer/Kinds.h"
#include "workbook/WorkbookEngine.h"
#include "workbook/uExcelOperation.h"

extern const char* const setupxfer_sql_store;
extern const char* const setupxfer_sql_group;
extern const char* const setupxfer_sql_sample_store;
extern const char* const setupxfer_sql_sample_group;
extern const char* const setupxfer_sql_sqlserver_store;
extern const char* const setupxfer_sql_sqlserver_group;

namespace {

constexpr int kOk = 0, kFailed = 1, kUsage = 2;

const char* kUsageText =
    "usage: scripts/smoke-sqlserver CONNECTION [--store-db NAME --group-db NAME] [--keep]\n"
    "                               [--collation NAME]\n"
    "Runs export and import of every kind in both editions against a real SQL Server\n"
    "and compares the round trips with the same sample data on SQLite.\n"
    "  CONNECTION       the server's connection string, OLE DB (Provider=SQLOLEDB;Data\n"
    "                   Source=...;User ID=...;Password=...) or ODBC (Driver=...), with\n"
    "                   credentials; the login needs CREATE DATABASE unless the next\n"
    "                   options name databases\n"
    "  --store-db NAME  use this existing, empty database for the store edition\n"
    "  --group-db NAME  and this one for the group edition (both or neither); their\n"
    "                   tables are left in place\n"
    "  --keep           keep the scratch databases it creates\n"
    "  --collation C    the scratch databases' collation (default Chinese_PRC_CI_AS)\n"
    "Exit status: 0 every kind passed, 1 a kind failed or the server cannot be used,\n"
    "2 a usage error.\n";

struct Options {
  std::string connection;
  std::string storeDb, groupDb;
  std::string collation = "Chinese_PRC_CI_AS";
  bool keep = false;
};

// Parses the command line; an empty text when it is sound, else what is wrong.
std::string ParseArgs(int argc, char** argv, Options& o) {
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= argc || std::string(argv[i + 1]).empty()) return a + " needs a value";
      into = argv[++i];
      return std::string();
    };
    std::string problem;
    if (a == "--store-db")
      problem = value(o.storeDb);
    else if (a == "--group-db")
      problem = value(o.groupDb);
    else if (a == "--collation")
      problem = value(o.collation);
    else if (a == "--keep")
      o.keep = true;
    else if (a.rfind("--", 0) == 0)
      problem = "unknown option " + a;
    else
      positional.push_back(a);
    if (!problem.empty()) return problem;
  }
  if (positional.empty()) return "CONNECTION is missing";
  if (positional.size() > 1) return "unexpected argument '" + positional[1] + "'";
  o.connection = positional[0];
  if (o.connection.find('=') == std::string::npos)
    return "CONNECTION must be a connection string (key=value;...)";
  if (o.storeDb.empty() != o.groupDb.empty()) return "--store-db and --group-db go together";
  if (!o.storeDb.empty() && o.keep) return "--keep is for the scratch databases; given ones are kept anyway";
  for (const std::string* name : {&o.storeDb, &o.groupDb, &o.collation})
    if (name->find_first_of("[]'\";") != std::string::npos) return "'" + *name + "' is not a plain name";
  return "";
}

// The connection string with its database replaced: Initial Catalog for an
// OLE DB string, Database for an ODBC one.
std::string WithDatabase(const std::string& cs, const std::string& database) {
  bool odbc = false;
  auto pairs = sx::db::SplitConnectionString(cs, true);
  for (const auto& [k, v] : pairs) odbc = odbc || sx::SameTextIgnoringCase(k, "Driver") || sx::SameTextIgnoringCase(k, "DSN");
  if (!odbc) pairs = sx::db::SplitConnectionString(cs, false);
  std::string out;
  for (const auto& [k, v] : pairs) {
    if (sx::SameTextIgnoringCase(k, "Database") || sx::SameTextIgnoringCase(k, "Initial Catalog")) continue;
    std::string value = v;
    if (odbc) {
      value = sx::db::OdbcValue(v);
    } else if (v.find_first_of(";'\"") != std::string::npos || v != sx::Trim(v)) {
      value = "\"";
      for (char c : v) value += c == '"' ? std::string("\"\"") : std::string(1, c);
      value += "\"";
    }
    out += k + "=" + value + ";";
  }
  return out + (odbc ? "Database=" + sx::db::OdbcValue(database) : "Initial Catalog=" + database);
}

// The statements of a DDL or data script, split at ";" and at a line "GO".
std::vector<std::string> Statements(const std::string& text) {
  namespace sql = sx::db::sql;
  std::vector<std::string> out;
  auto tokens = sql::Tokenize(text);
  std::size_t start = 0;
  auto lineBreak = [&](std::size_t k) {
    return k >= tokens.size() ||
           (tokens[k].kind == sql::TokenKind::Space &&
            text.substr(tokens[k].begin, tokens[k].end - tokens[k].begin).find('\n') != std::string::npos);
  };
  // Each statement without its comments, which some drivers take for more statements.
  auto flush = [&](std::size_t end) {
    std::string s = text.substr(start, end - start), bare;
    bool content = false;
    for (const auto& t : sql::Tokenize(s)) {
      if (t.kind == sql::TokenKind::Comment) continue;
      content = content || t.kind != sql::TokenKind::Space;
      bare += s.substr(t.begin, t.end - t.begin);
    }
    if (content) out.push_back(sx::Trim(bare));
  };
  for (std::size_t k = 0; k < tokens.size(); ++k) {
    const auto& t = tokens[k];
    std::string_view word(text.data() + t.begin, t.end - t.begin);
    bool go = t.kind == sql::TokenKind::Word && sx::SameTextIgnoringCase(word, "GO") && (k == 0 || lineBreak(k - 1)) &&
              lineBreak(k + 1);
    if (go || (t.kind == sql::TokenKind::Punct && word == ";")) {
      flush(t.begin);
      start = t.end;
    }
  }
  flush(text.size());
  return out;
}

std::string WithBrand(std::string sql) {
  for (std::size_t at; (at = sql.find("{BRAND}")) != std::string::npos;) sql.replace(at, 7, "'01'");
  return sql;
}

// A native SQLite database with an edition's schema and the sample data.
void CreateSqliteSample(const std::string& path, bool group) {
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) throw std::runtime_error("cannot create " + path);
  std::string sql = std::string(group ? setupxfer_sql_group : setupxfer_sql_store) + ";" +
                    (group ? "INSERT INTO Group_Brand(BrandID,BrandName) VALUES('01','01');" : "") +
                    WithBrand(group ? setupxfer_sql_sample_group : setupxfer_sql_sample_store);
  char* err = nullptr;
  int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
  std::string message = err ? err : "";
  sqlite3_free(err);
  sqlite3_close(db);
  if (rc != SQLITE_OK) throw std::runtime_error("the SQLite sample: " + message);
}

// The tables with an identity column in a SQL Server DDL text.
std::set<std::string> IdentityTables(const std::string& ddl) {
  std::set<std::string> out;
  for (const auto& s : Statements(ddl)) {
    std::string lower = sx::LowerCase(s);
    auto at = lower.find("create table ");
    if (at == std::string::npos || lower.find("identity(") == std::string::npos) continue;
    auto begin = at + 13, end = lower.find_first_of(" (\n", begin);
    out.insert(s.substr(begin, end - begin));
  }
  return out;
}

// Copies every row of every table of the SQLite sample into the database
// the connection reaches, binding each value with its type.
void CopySample(const std::string& sqlitePath, sx::db::Connection& target, const std::set<std::string>& identity) {
  sx::db::Connection source;
  source.SetConnectionString(sqlitePath);
  source.Open();
  auto tables = source.RunQuery("select name from sqlite_master where type='table' order by name", {});
  for (const auto& t : tables.rows) {
    std::string table = std::get<std::string>(t[0]);
    auto rows = source.RunQuery("select * from " + table, {});
    if (rows.rows.empty()) continue;
    std::string insert = "insert into " + table + "(", values;
    for (std::size_t c = 0; c < rows.columns.size(); ++c) {
      insert += (c ? "," : "") + rows.columns[c];
      values += (c ? ",:c" : ":c") + std::to_string(c);
    }
    insert += ") values(" + values + ")";
    // Version rows come with the schema.
    if (table == "Version" || table == "Group_Version") continue;
    bool ids = identity.count(table) != 0;
    if (ids) target.RunExecute("set identity_insert " + table + " on", {});
    target.BeginTrans();
    for (const auto& row : rows.rows) {
      std::vector<sx::db::BoundParam> params(row.size());
      for (std::size_t c = 0; c < row.size(); ++c) {
        auto& p = params[c];
        p.name = "c" + std::to_string(c);
        p.value = row[c];
        p.isNull = std::holds_alternative<std::monostate>(row[c]);
        p.type = std::holds_alternative<std::int64_t>(row[c])  ? sx::db::ParamType::Integer
                 : std::holds_alternative<double>(row[c])      ? sx::db::ParamType::Float
                                                                : sx::db::ParamType::String;
      }
      target.RunExecute(insert, params);
    }
    target.CommitTrans();
    if (ids) target.RunExecute("set identity_insert " + table + " off", {});
  }
}

// ---- Running the kinds ------------------------------------------------------------

struct Host {
  std::vector<std::string> workbooks;
  int errorLines = 0;
  int items = 0;
};

void OnWorkbook(void* context, const char* path) { static_cast<Host*>(context)->workbooks.push_back(path); }
void OnLog(void* context, int kind, const char* text) {
  auto* host = static_cast<Host*>(context);
  if (kind == 1) ++host->errorLines;
  if (kind == 0 && std::strncmp(text, "正在导入", std::strlen("正在导入")) == 0) ++host->items;
}
int DeclineVersion(void*, const char*, const char*) { return 0; }

// Every non-empty cell of a workbook, "row<TAB>column<TAB>text" in order.
std::vector<std::string> Cells(const std::string& path) {
  sx::TExcelOperation excel;
  std::string message;
  if (!excel.OpenWorkbook(path, message)) throw std::runtime_error(message);
  std::vector<std::string> cells;
  excel.Engine()->ForEachCell([&](int row, int column, const std::string& text) {
    cells.push_back(std::to_string(row) + "\t" + std::to_string(column) + "\t" + text);
  });
  return cells;
}

struct KindEntry {
  const sx::Kind* kind;
  bool group;
};

const std::vector<KindEntry>& AllKinds() {
  static const std::vector<KindEntry> all = {
#define SX_KIND(name, ...) {&sx::kinds::name, true},
#define SX_STORE_KIND(name, ...) {&sx::kinds::name, false},
#include "transfer/KindList.inc"
#undef SX_KIND
#undef SX_STORE_KIND
  };
  return all;
}

// One kind in one edition: export, import back, export again, on the server
// and on the SQLite sample alike.
struct Outcome {
  std::string exported, imported, roundTrip, vsSqlite;
  bool ok = false;
};

// Calls the kind's exported functions, as a host does.
bool Export(const sx::Kind& kind, bool group, const std::string& cs, Host& host, std::string& message);
bool Import(const sx::Kind& kind, bool group, const std::string& cs, const std::string& file, std::string& message);

// Where two cell lists first differ, "row/column: a | b"; empty when equal.
std::string FirstDifference(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
    std::string x = i < a.size() ? a[i] : "(none)", y = i < b.size() ? b[i] : "(none)";
    if (x != y) {
      for (auto* t : {&x, &y})
        for (char& c : *t)
          if (c == '\t' || c == '\n' || c == '\r') c = ' ';
      return x + " | " + y;
    }
  }
  return "";
}

// Export, a check-only import, export, import, export on one database: the
// exports' cells and each import's items and error lines. Throws with what
// failed.
struct Run {
  std::vector<std::string> first, afterCheck, second;
  int checkItems = 0, checkErrors = 0, items = 0, errors = 0;
};

Run RoundTrip(const sx::Kind& kind, bool group, const std::string& cs, Host& host) {
  Run r;
  std::string message;
  if (!Export(kind, group, cs, host, message)) throw std::runtime_error("export failed: " + message);
  r.first = Cells(host.workbooks.back());
  std::string book = host.workbooks.back();
  host.errorLines = host.items = 0;
  SetCheckOnly(1);
  bool checked = Import(kind, group, cs, book, message);
  SetCheckOnly(0);
  if (!checked) throw std::runtime_error("check-only import failed: " + message);
  r.checkItems = host.items;
  r.checkErrors = host.errorLines;
  if (!Export(kind, group, cs, host, message)) throw std::runtime_error("export failed: " + message);
  r.afterCheck = Cells(host.workbooks.back());
  host.errorLines = host.items = 0;
  if (!Import(kind, group, cs, book, message)) throw std::runtime_error("import failed: " + message);
  r.items = host.items;
  r.errors = host.errorLines;
  if (!Export(kind, group, cs, host, message)) throw std::runtime_error("second export failed: " + message);
  r.second = Cells(host.workbooks.back());
  return r;
}

Outcome RunKind(const sx::Kind& kind, bool group, const std::string& server, const std::string& reference) {
  Outcome o;
  Host host;
  SetWorkbookHandler(&OnWorkbook, &host);
  SetLogHandler(&OnLog, &host);
  SetConfirmHandler(&DeclineVersion, nullptr);
  try {
    Run s = RoundTrip(kind, group, server, host);
    o.exported = std::to_string(s.first.size()) + " cells";
    o.imported = std::to_string(s.items) + " items, " + std::to_string(s.errors) + " errors";
    o.roundTrip = FirstDifference(s.first, s.second).empty() ? "unchanged" : "changed";
    if (std::string d = FirstDifference(s.first, s.afterCheck); !d.empty())
      o.roundTrip = "the check-only import wrote: " + d;
    else if (s.checkItems != s.items || s.checkErrors != s.errors)
      o.roundTrip = "the check-only import saw " + std::to_string(s.checkItems) + " items, " +
                    std::to_string(s.checkErrors) + " errors";
    try {
      Run q = RoundTrip(kind, group, reference, host);
      std::string d1 = FirstDifference(s.first, q.first), d2 = FirstDifference(s.second, q.second);
      if (!d1.empty())
        o.vsSqlite = "export differs: " + d1;
      else if (!d2.empty())
        o.vsSqlite = "after the import differs: " + d2;
      else if (s.items != q.items || s.errors != q.errors)
        o.vsSqlite = "import differs: " + std::to_string(q.items) + " items, " + std::to_string(q.errors) +
                     " errors on SQLite";
      else
        o.vsSqlite = "same";
    } catch (const std::exception& e) {
      o.vsSqlite = std::string("on SQLite: ") + e.what();
    }
    o.ok = o.vsSqlite == "same" && (o.roundTrip == "unchanged" || o.roundTrip == "changed");
  } catch (const std::exception& e) {
    o.exported = std::string("failed: ") + e.what();
  }
  SetWorkbookHandler(nullptr, nullptr);
  SetLogHandler(nullptr, nullptr);
  SetConfirmHandler(nullptr, nullptr);
  for (const auto& path : host.workbooks) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
  }
  return o;
}

}  // namespace

// The exported functions by kind, made from the list of kinds.
namespace {
using StoreExportFn = SxBool (*)(const char*, char*);
using GroupExportFn = SxBool (*)(const char*, const char*, char*);
using StoreImportFn = SxBool (*)(const char*, const char*, char*);
using GroupImportFn = SxBool (*)(const char*, const char*, const char*, char*);
struct Functions {
  StoreExportFn storeExport;
  StoreImportFn storeImport;
  GroupExportFn groupExport;
  GroupImportFn groupImport;
};
const std::map<const sx::Kind*, Functions>& FunctionsByKind() {
  static const std::map<const sx::Kind*, Functions> all = {
#define SX_KIND(name, description, se, si, ge, gi, unit) {&sx::kinds::name, {&se, &si, &ge, &gi}},
#define SX_STORE_KIND(name, description, se, si, unit) {&sx::kinds::name, {&se, &si, nullptr, nullptr}},
#include "transfer/KindList.inc"
#undef SX_KIND
#undef SX_STORE_KIND
  };
  return all;
}

bool Export(const sx::Kind& kind, bool group, const std::string& cs, Host& host, std::string& message) {
  char error[256] = {0};
  const Functions& f = FunctionsByKind().at(&kind);
  std::size_t before = host.workbooks.size();
  bool ok = group ? f.groupExport(cs.c_str(), "01", error) : f.storeExport(cs.c_str(), error);
  message = error;
  if (ok && host.workbooks.size() == before) {
    message = "no workbook handed over";
    return false;
  }
  return ok;
}

bool Import(const sx::Kind& kind, bool group, const std::string& cs, const std::string& file, std::string& message) {
  char error[256] = {0};
  const Functions& f = FunctionsByKind().at(&kind);
  bool ok = group ? f.groupImport(cs.c_str(), "01", file.c_str(), error) : f.storeImport(cs.c_str(), file.c_str(), error);
  message = error;
  return ok;
}
}  // namespace

int main(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::printf("%s", kUsageText);
      return kOk;
    }
  if (std::string problem = ParseArgs(argc, argv, o); !problem.empty()) {
    std::fprintf(stderr, "smoke-sqlserver: %s\n%s", problem.c_str(), kUsageText);
    return kUsage;
  }

  // The server: its version tells which schema it takes.
  sx::db::Connection server;
  std::string version;
  bool sqlServer = true;
  try {
    server.SetConnectionString(o.connection);
    server.Open();
    try {
      version = std::get<std::string>(server.RunQuery("select @@version", {}).rows.at(0).at(0));
    } catch (const std::exception&) {
      version = "SQLite " + std::get<std::string>(server.RunQuery("select sqlite_version()", {}).rows.at(0).at(0));
      sqlServer = false;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "smoke-sqlserver: cannot connect to the server: %s\n", e.what());
    return kFailed;
  }
  for (char& c : version)
    if (c == '\n' || c == '\t') c = ' ';
  std::printf("server: %s\n", version.c_str());

  std::filesystem::path work = std::filesystem::temp_directory_path() /
                               ("setupxfer-smoke-" + std::to_string(std::time(nullptr)));
  std::filesystem::create_directories(work);
  std::vector<std::string> created;
  int failures = 0;
  std::printf("%-16s %-7s %-12s %-22s %-10s %s\n", "KIND", "EDITION", "EXPORT", "IMPORT", "ROUND TRIP",
              "AS ON SQLITE");
  for (bool group : {false, true}) {
    const char* edition = group ? "group" : "store";
    std::string database = group ? o.groupDb : o.storeDb;
    try {
      if (database.empty()) {
        char stamp[32];
        std::time_t now = std::time(nullptr);
        std::strftime(stamp, sizeof stamp, "%Y%m%d_%H%M%S", std::gmtime(&now));
        database = std::string("setupxfer_smoke_") + stamp + "_" + edition;
        server.RunExecute("create database " + database + " collate " + o.collation, {});
        created.push_back(database);
      }
      std::string cs = WithDatabase(o.connection, database);
      sx::db::Connection target;
      target.SetConnectionString(cs);
      target.Open();
      const char* ddl = sqlServer ? (group ? setupxfer_sql_sqlserver_group : setupxfer_sql_sqlserver_store)
                                  : (group ? setupxfer_sql_group : setupxfer_sql_store);
      for (const auto& s : Statements(ddl)) {
        try {
          target.RunExecute(s, {});
        } catch (const std::exception& e) {
          throw std::runtime_error(std::string(e.what()) + " in the schema's statement: " + sx::Trim(s).substr(0, 200));
        }
      }
      std::string reference = (work / (std::string(edition) + ".db")).string();
      CreateSqliteSample(reference, group);
      CopySample(reference, target, sqlServer ? IdentityTables(ddl) : std::set<std::string>{});
      target.Close();
      for (const auto& k : AllKinds()) {
        if (group && !k.group) continue;
        Outcome r = RunKind(*k.kind, group, cs, reference);
        if (!r.ok) ++failures;
        std::printf("%-16s %-7s %-12s %-22s %-10s %s\n", k.kind->name, edition, r.exported.c_str(),
                    r.imported.c_str(), r.roundTrip.c_str(), r.vsSqlite.c_str());
        std::fflush(stdout);
      }
    } catch (const std::exception& e) {
      std::printf("%-16s %-7s failed: %s\n", "(setup)", edition, e.what());
      ++failures;
    }
  }

  std::error_code ec;
  std::filesystem::remove_all(work, ec);
  for (const auto& database : created) {
    if (o.keep) {
      std::printf("kept database %s\n", database.c_str());
      continue;
    }
    try {
      server.RunExecute("alter database " + database + " set single_user with rollback immediate", {});
      server.RunExecute("drop database " + database, {});
    } catch (const std::exception& e) {
      std::printf("could not drop database %s: %s\n", database.c_str(), e.what());
      ++failures;
    }
  }
  std::printf("%s\n", failures == 0 ? "all kinds passed" : (std::to_string(failures) + " failed").c_str());
  return failures == 0 ? kOk : kFailed;
}
