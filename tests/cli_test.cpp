// The setupxfer tool as a user or a script runs it.
#include <gtest/gtest.h>

#include "support/TestSupport.h"

using sxtest::Outcome;
using sxtest::RunShell;

namespace {

struct CliTest : ::testing::Test {
  sxtest::TempDir dir;
  std::string tool = sxtest::ToolPath();

  Outcome Run(const std::string& args) { return RunShell("'" + tool + "' " + args + " 2>&1 </dev/null"); }
  std::string Q(const std::string& s) { return "'" + s + "'"; }
};

}  // namespace

TEST_F(CliTest, InitDbCreatesSampleDatabasesAndRefusesExistingFiles) {
  std::string store = dir.File("s.db"), group = dir.File("g.db");
  EXPECT_EQ(Run("init-db " + Q(store) + " --edition store --sample").status, 0);
  EXPECT_EQ(Run("init-db " + Q(group) + " --edition group --brand B7 --sample").status, 0);
  EXPECT_GT(sxtest::SqlColumn(store, "select count(*) from BackReason").at(0), "0");
  EXPECT_EQ(sxtest::SqlColumn(group, "select distinct BrandID from Group_BackReason"),
            std::vector<std::string>{"B7"});
  EXPECT_EQ(sxtest::SqlColumn(group, "select VersionNo from Group_Version"),
            std::vector<std::string>{"2.5.2011.1G"});
  Outcome again = Run("init-db " + Q(store) + " --edition store");
  EXPECT_EQ(again.status, 1);
  EXPECT_NE(again.out.find("exists"), std::string::npos);
  EXPECT_EQ(Run("init-db " + Q(dir.File("x.db")) + " --edition shop").status, 2);
}

TEST_F(CliTest, ExportWritesTheWorkbookWhereAskedAndImportReproducesIt) {
  std::string store = dir.File("s.db"), empty = dir.File("e.db"), book = dir.File("r.xlsx");
  ASSERT_EQ(Run("init-db " + Q(store) + " --edition store --sample").status, 0);
  ASSERT_EQ(Run("init-db " + Q(empty) + " --edition store").status, 0);
  Outcome ex = Run("export backreason --db " + Q(store) + " -o " + Q(book));
  ASSERT_EQ(ex.status, 0) << ex.out;
  Outcome im = Run("import backreason " + Q(book) + " --db " + Q("Provider=SQLite;Data Source=" + empty));
  EXPECT_EQ(im.status, 0) << im.out;
  EXPECT_NE(im.out.find("完毕!"), std::string::npos);
  EXPECT_NE(im.out.find("information lines, 0 error lines"), std::string::npos);
  const char* q = "select BackReasonDesc from BackReason order by 1";
  EXPECT_EQ(sxtest::SqlColumn(empty, q), sxtest::SqlColumn(store, q));
}

TEST_F(CliTest, ExitStatusTellsFailureUsageAndRejectedRows) {
  std::string store = dir.File("s.db");
  ASSERT_EQ(Run("init-db " + Q(store) + " --edition store").status, 0);
  std::string book = dir.File("in.xlsx");
  std::string tooLong(300, 'x');
  sxtest::MakeXlsx(book, {{1, 0, "backreason"}, {2, 1, "退菜理由"}, {3, 1, "甲"}, {4, 1, tooLong}});
  Outcome rejected = Run("import backreason " + Q(book) + " --db " + Q(store));
  EXPECT_EQ(rejected.status, 3) << rejected.out;
  EXPECT_NE(rejected.out.find("错误:"), std::string::npos);

  Outcome missing = Run("import backreason " + Q(dir.File("none.xlsx")) + " --db " + Q(store));
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("none.xlsx"), std::string::npos);

  EXPECT_EQ(Run("export nosuchkind --db " + Q(store)).status, 2);
  EXPECT_EQ(Run("export backreason").status, 2);
  EXPECT_EQ(Run("frobnicate").status, 2);
  EXPECT_EQ(Run("--help").status, 0);
  EXPECT_EQ(Run("import --help").status, 0);
}

TEST_F(CliTest, DeclinedVersionCheckIsExplainedAndYesGoesOn) {
  std::string store = dir.File("s.db");
  ASSERT_EQ(Run("init-db " + Q(store) + " --edition store --sample").status, 0);
  sxtest::SqlExec(store, "update Version set VersionNo='2.4.0'");
  Outcome no = Run("export backreason --db " + Q(store) + " -o " + Q(dir.File("a.xlsx")));
  EXPECT_EQ(no.status, 1);
  EXPECT_NE(no.out.find("schema version does not match"), std::string::npos) << no.out;
  EXPECT_NE(no.out.find("--yes"), std::string::npos);
  EXPECT_EQ(Run("export backreason --yes --db " + Q(store) + " -o " + Q(dir.File("b.xlsx"))).status, 0);
}
