// init-db: creates a new SQLite database with an edition's schema, or prints
// the schema for SQL Server or SQLite.
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "Args.h"
#include "Checks.h"
#include "Commands.h"
#include "base/Text.h"

extern const char* const setupxfer_sql_store;
extern const char* const setupxfer_sql_group;
extern const char* const setupxfer_sql_sample_store;
extern const char* const setupxfer_sql_sample_group;
extern const char* const setupxfer_sql_sqlserver_store;
extern const char* const setupxfer_sql_sqlserver_group;

namespace cli {

namespace {

const char* kInitDbUsage =
    "usage: setupxfer init-db PATH --edition store|group [--brand ID] [--sample]\n"
    "       setupxfer init-db --print-ddl sqlserver|sqlite --edition store|group\n"
    "Creates a new SQLite database with the edition's schema and version stamp.\n"
    "PATH is a new file ending in .db, .sqlite or .sqlite3.\n"
    "  --print-ddl D print the edition's schema for SQL Server or SQLite instead, to\n"
    "                create a database by hand (no brand row, no sample)\n"
    "  --edition E   store (one restaurant) or group (a chain's headquarters)\n"
    "  --brand ID    the group database's brand (default 01; at most 8 characters)\n"
    "  --sample      fill in a small sample of every kind of data\n";

// The text with every {BRAND} replaced by the brand as an SQL string literal.
std::string WithBrand(std::string sql, const std::string& brand) {
  std::string literal = "'";
  for (char c : brand) literal += c == '\'' ? std::string("''") : std::string(1, c);
  literal += "'";
  for (std::size_t at; (at = sql.find("{BRAND}")) != std::string::npos;)
    sql.replace(at, 7, literal);
  return sql;
}

// Runs SQL text; false with the engine's message in `failure`.
bool Exec(sqlite3* db, const std::string& sql, std::string& failure) {
  char* err = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    failure = err ? err : sqlite3_errmsg(db);
    sqlite3_free(err);
    return false;
  }
  return true;
}

// --print-ddl: the schema's text on standard output.
int PrintDdl(const Args& args) {
  std::string dialect = args.Value("--print-ddl"), edition = args.Value("--edition");
  std::string problem;
  if (dialect != "sqlserver" && dialect != "sqlite")
    problem = "--print-ddl must be sqlserver or sqlite, not '" + dialect + "'";
  else if (!args.positional.empty())
    problem = "--print-ddl creates nothing; drop '" + args.positional[0] + "'";
  else if (args.HasValue("--brand") || args.Has("--sample"))
    problem = "--print-ddl prints the schema only; drop --brand and --sample";
  else if (!args.HasValue("--edition"))
    problem = "--edition is missing: store or group";
  else if (edition != "store" && edition != "group")
    problem = "--edition must be store or group, not '" + edition + "'";
  if (!problem.empty()) {
    std::fprintf(stderr, "setupxfer: init-db: %s\n%s", problem.c_str(), kInitDbUsage);
    return kUsage;
  }
  bool group = edition == "group";
  if (dialect == "sqlserver")
    std::fputs(group ? setupxfer_sql_sqlserver_group : setupxfer_sql_sqlserver_store, stdout);
  else
    std::fputs(group ? setupxfer_sql_group : setupxfer_sql_store, stdout);
  return kOk;
}

}  // namespace

std::string CreateDatabase(const std::string& path, bool group, const std::string& brand, bool sample) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
    std::string failure = "cannot create " + path + ": " + (db ? sqlite3_errmsg(db) : "out of memory");
    sqlite3_close(db);
    return failure;
  }
  std::string failure;
  bool ok = Exec(db, "BEGIN", failure) && Exec(db, group ? setupxfer_sql_group : setupxfer_sql_store, failure);
  if (ok && group)
    ok = Exec(db, WithBrand("INSERT INTO Group_Brand(BrandID,BrandName) VALUES({BRAND},{BRAND})", brand), failure);
  if (ok && sample)
    ok = Exec(db, WithBrand(group ? setupxfer_sql_sample_group : setupxfer_sql_sample_store, brand), failure);
  ok = ok && Exec(db, "COMMIT", failure);
  sqlite3_close(db);
  if (!ok) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
  }
  return failure;
}

int InitDb(int argc, char** argv) {
  Args args = Parse(argc, argv, 2, {"--edition", "--brand", "--print-ddl"}, {"--sample"});
  if (args.Has("--help")) {
    std::printf("%s", kInitDbUsage);
    return kOk;
  }
  if (args.error.empty() && args.HasValue("--print-ddl")) return PrintDdl(args);
  std::string edition = args.Value("--edition");
  std::string problem;
  if (!args.error.empty())
    problem = args.error;
  else if (args.positional.empty())
    problem = "PATH is missing: give the new database file, e.g. store.db";
  else if (args.positional.size() > 1)
    problem = "unexpected argument '" + args.positional[1] + "'";
  else if (!args.HasValue("--edition"))
    problem = "--edition is missing: store or group";
  else if (edition != "store" && edition != "group")
    problem = "--edition must be store or group, not '" + edition + "'";
  if (!problem.empty()) {
    std::fprintf(stderr, "setupxfer: init-db: %s\n%s", problem.c_str(), kInitDbUsage);
    return kUsage;
  }
  bool group = edition == "group";
  std::string brand = args.HasValue("--brand") ? args.Value("--brand") : "01";
  if (!group && args.HasValue("--brand")) {
    std::fprintf(stderr, "setupxfer: init-db: --brand belongs to a group database\n");
    return kUsage;
  }
  if (brand.empty() || sx::Cp936Width(brand) > 8) {
    std::fprintf(stderr, "setupxfer: init-db: a brand ID has 1 to 8 characters "
                 "(a Chinese character counts as 2)\n");
    return kUsage;
  }
  const std::string& path = args.positional[0];
  if (std::string bad = DatabaseFileProblem(path); !bad.empty()) {
    std::fprintf(stderr, "setupxfer: init-db: %s\n", bad.c_str());
    return kUsage;
  }
  std::error_code ec;
  if (std::filesystem::exists(std::filesystem::symlink_status(path, ec))) {
    std::fprintf(stderr, "setupxfer: init-db: %s exists already; choose a new file\n", path.c_str());
    return kFailed;
  }

  if (std::string failure = CreateDatabase(path, group, brand, args.Has("--sample")); !failure.empty()) {
    std::fprintf(stderr, "setupxfer: init-db: %s\n", failure.c_str());
    return kFailed;
  }
  std::printf("created %s database %s%s\n", edition.c_str(), path.c_str(),
              group ? (" for brand " + brand).c_str() : "");
  return kOk;
}

}  // namespace cli
