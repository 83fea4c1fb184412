// The statement trace a host or the tool turns on with SetTraceFile: every
// statement as sent, its parameters (never a password), the rows; off again
// with a null path; never the connection string.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "setupxfer.h"
#include "support/OdbcSupport.h"
#include "support/TestSupport.h"

extern const char* const setupxfer_sql_sample_store;

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class TraceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sxtest::CreateDatabase(store, sxtest::Edition::Store);
    sxtest::SqlExec(store, setupxfer_sql_sample_store);
  }
  void TearDown() override { SetTraceFile(nullptr); }

  sxtest::HostCapture host;  // takes and removes the exported workbooks
  sxtest::TempDir dir;
  std::string store = dir.File("store.db");
  std::string trace = dir.File("trace.txt");
  char error[256] = {0};
};

TEST_F(TraceTest, ImportTracesStatementsParametersRowsAndTransactionsButNoPassword) {
  ASSERT_EQ(ExportDeptUsers(store.c_str(), error), 1) << error;
  sxtest::SqlExec(store, "DELETE FROM HotelUser");  // new users get the default password
  ASSERT_EQ(SetTraceFile(trace.c_str()), 1);
  ASSERT_EQ(ImportDeptUsers(store.c_str(), host.workbooks.at(0).c_str(), error), 1) << error;
  std::string text = ReadFile(trace);
  for (const char* expected : {"-- connected; dialect SQLite\n", "select VersionNo from Version\n   -> 1 row\n",
                               "begin transaction\n", "commit\n", "where UserID=?", " userid string(4) = '",
                               " password string(24) = ***\n", " row affected\n"})
    EXPECT_NE(text.find(expected), std::string::npos) << expected;
  // The digest the import writes as a new user's password never shows.
  EXPECT_EQ(text.find(" password string(24) = '"), std::string::npos);

  // A check-only import writes each item under a savepoint and rolls all back.
  ASSERT_EQ(SetTraceFile(trace.c_str()), 1);
  SetCheckOnly(1);
  EXPECT_EQ(ImportDeptUsers(store.c_str(), host.workbooks.at(0).c_str(), error), 1) << error;
  SetCheckOnly(0);
  text = ReadFile(trace);
  for (const char* expected : {"savepoint sx_item\n", "rollback\n"})
    EXPECT_NE(text.find(expected), std::string::npos) << expected;
}

TEST_F(TraceTest, NullPathEndsTheTraceAndAnUnwritablePathIsRefused) {
  ASSERT_EQ(SetTraceFile(trace.c_str()), 1);
  ASSERT_EQ(ExportBackReason(store.c_str(), error), 1) << error;
  ASSERT_EQ(SetTraceFile(nullptr), 1);
  std::string before = ReadFile(trace);
  EXPECT_NE(before.find("select BackReasonDesc from BackReason\n   -> 4 rows\n"), std::string::npos) << before;
  ASSERT_EQ(ExportBackReason(store.c_str(), error), 1) << error;
  EXPECT_EQ(ReadFile(trace), before);
  EXPECT_EQ(SetTraceFile(dir.File("no/such/folder/trace.txt").c_str()), 0);
}

TEST_F(TraceTest, FailedStatementIsTracedWithTheEngineMessage) {
  sxtest::SqlExec(store, "DROP TABLE BackReason");
  ASSERT_EQ(SetTraceFile(trace.c_str()), 1);
  EXPECT_EQ(ExportBackReason(store.c_str(), error), 0);
  EXPECT_NE(ReadFile(trace).find("select BackReasonDesc from BackReason\n   -> error: no such table"), std::string::npos)
      << ReadFile(trace);
}

TEST_F(TraceTest, ConnectionStringNeverShows) {
  if (!sxtest::RegisterOdbcDrivers()) GTEST_SKIP() << "no SQLite ODBC driver";
  std::string odbc = sxtest::ConnectionStringFor(sxtest::Engine::Odbc, store) + ";UID=admin;PWD=s3cret";
  ASSERT_EQ(SetTraceFile(trace.c_str()), 1);
  ASSERT_EQ(ExportBackReason(odbc.c_str(), error), 1) << error;
  std::string text = ReadFile(trace);
  EXPECT_NE(text.find("BackReason"), std::string::npos);
  EXPECT_EQ(text.find("s3cret"), std::string::npos);
  EXPECT_EQ(text.find(store), std::string::npos);
}

TEST_F(TraceTest, ToolWritesTheTraceThatTraceAsksFor) {
  std::string tool = "'" + sxtest::ToolPath() + "' ";
  std::string book = dir.File("r.xlsx");
  auto out = sxtest::RunShell(tool + "export backreason --db " + store + " -o " + book + " --trace " + trace);
  ASSERT_EQ(out.status, 0) << out.out;
  out = sxtest::RunShell(tool + "import backreason " + book + " --db " + store + " --trace " + trace);
  ASSERT_EQ(out.status, 0) << out.out;
  EXPECT_NE(ReadFile(trace).find("select count(*) from BackReason where BackReasonDesc=?\n   1 text string = '"),
            std::string::npos)
      << ReadFile(trace);
  out = sxtest::RunShell(tool + "import backreason " + book + " --db " + store + " --trace " +
                         dir.File("no/trace.txt") + " 2>&1");
  EXPECT_EQ(out.status, 2);
  EXPECT_NE(out.out.find("cannot write the trace file"), std::string::npos) << out.out;
}

}  // namespace
