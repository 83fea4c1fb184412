// scripts/smoke-sqlserver: its command line, a quick and clear refusal of a
// server it cannot reach, and its whole run over the SQLite ODBC driver,
// which stands in for a server here.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>

#include "support/OdbcSupport.h"
#include "support/TestSupport.h"

namespace {

sxtest::Outcome Smoke(const std::string& args) {
  sxtest::RegisterOdbcDrivers();  // the test's own odbcinst.ini, for the child too
  return sxtest::RunShell("SETUPXFER_SMOKE_BIN='" + std::string(SETUPXFER_BINARY_DIR) +
                          "/tests/smoke_sqlserver' '" + std::string(SETUPXFER_SOURCE_DIR) +
                          "/scripts/smoke-sqlserver' " + args + " 2>&1 </dev/null");
}

TEST(SmokeSqlServer, RefusesAWrongCommandLine) {
  struct Case {
    const char* args;
    const char* says;
  };
  for (const Case& c : {Case{"", "CONNECTION is missing"}, Case{"Server=x --bogus", "unknown option --bogus"},
                        Case{"server.example", "must be a connection string"},
                        Case{"Server=x Server=y", "unexpected argument"},
                        Case{"Server=x --store-db a", "go together"},
                        Case{"Server=x --store-db a --group-db b --keep", "--keep is for the scratch"},
                        Case{"Server=x --collation", "--collation needs a value"},
                        Case{"Server=x --store-db 'a]' --group-db b", "not a plain name"}}) {
    auto out = Smoke(c.args);
    EXPECT_EQ(out.status, 2) << c.args;
    EXPECT_NE(out.out.find(c.says), std::string::npos) << c.args << "\n" << out.out;
  }
  auto help = Smoke("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--store-db NAME"), std::string::npos);
}

TEST(SmokeSqlServer, RefusesAnUnreachableServerQuicklyWithoutThePassword) {
  auto started = std::chrono::steady_clock::now();
  auto out = Smoke("'Provider=SQLOLEDB;Data Source=127.0.0.1,1;User ID=sa;Password=s3cret'");
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
  EXPECT_EQ(out.status, 1) << out.out;
  EXPECT_NE(out.out.find("smoke-sqlserver: cannot connect to the server: "), std::string::npos) << out.out;
  EXPECT_EQ(out.out.find("s3cret"), std::string::npos) << out.out;
}

TEST(SmokeSqlServer, RunsEveryKindOverOdbcAndMatchesSqlite) {
  if (!sxtest::RegisterOdbcDrivers()) GTEST_SKIP() << "no SQLite ODBC driver";
  sxtest::TempDir dir;
  for (const char* name : {"server.db", "store.db", "group.db"}) std::ofstream(dir.File(name)).close();
  auto out = Smoke("'Driver=SQLite3;Database=" + dir.File("server.db") + "' --store-db " + dir.File("store.db") +
                   " --group-db " + dir.File("group.db"));
  EXPECT_EQ(out.status, 0) << out.out;
  EXPECT_NE(out.out.find("server: SQLite "), std::string::npos) << out.out;
  EXPECT_NE(out.out.find("\nmenu             store   "), std::string::npos) << out.out;
  EXPECT_NE(out.out.find("\nshift            group   "), std::string::npos) << out.out;
  EXPECT_NE(out.out.find("\nall kinds passed\n"), std::string::npos) << out.out;
  // The given databases keep the tables it made.
  EXPECT_EQ(sxtest::SqlColumn(dir.File("group.db"), "select VersionNo from Group_Version"),
            std::vector<std::string>{"2.5.2011.1G"});
}

}  // namespace
