// The setupxfer tool as a user or a script runs it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/OdbcSupport.h"
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
  EXPECT_NE(im.out.find("items written, 0 rows rejected in "), std::string::npos) << im.out;
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
  EXPECT_NE(rejected.out.find("\n1 item written, 1 row rejected in "), std::string::npos) << rejected.out;

  // A failed import says so and counts nothing.
  Outcome missing = Run("import backreason " + Q(dir.File("none.xlsx")) + " --db " + Q(store));
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("the import failed: "), std::string::npos) << missing.out;
  EXPECT_NE(missing.out.find("none.xlsx"), std::string::npos);
  EXPECT_EQ(missing.out.find("written"), std::string::npos) << missing.out;

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

TEST_F(CliTest, UsageErrorsSayWhatIsMissingOrWrong) {
  std::string store = dir.File("s.db");
  ASSERT_EQ(Run("init-db " + Q(store) + " --edition store").status, 0);
  std::string db = " --db " + Q(store);
  struct Case {
    std::string args, says;
  } cases[] = {
      {"", "COMMAND is missing"},
      {"export" + db, "KIND is missing"},
      {"export backreason", "--db is missing"},
      {"export backreason extra" + db, "unexpected argument 'extra'"},
      {"export backreason --force" + db, "--force goes with -o"},
      {"import backreason" + db, "FILE is missing"},
      {"import backreason x.xlsx", "--db is missing"},
      {"init-db " + Q(dir.File("n.db")), "--edition is missing"},
      {"init-db " + Q(dir.File("n.db")) + " --edition shop", "--edition must be store or group, not 'shop'"},
      {"init-db --edition store", "PATH is missing"},
      {"init-db " + Q(dir.File("n.db")) + " --edition store --brand B1", "--brand belongs to a group"},
      {"import backreason x.xlsx --report " + Q(dir.File("no/r.json")) + db, "cannot write the report"},
      {"template", "KIND is missing"},
      {"template menu", "-o is missing"},
      {"template lowestpay --brand B1 -o " + Q(dir.File("n.xlsx")), "store database only"},
      {"template menu --brand 123456789 -o " + Q(dir.File("n.xlsx")), "1 to 8 characters"},
  };
  for (const auto& c : cases) {
    Outcome o = Run(c.args);
    EXPECT_EQ(o.status, 2) << c.args << "\n" << o.out;
    EXPECT_NE(o.out.find(c.says), std::string::npos) << c.args << "\n" << o.out;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("n.db")));
}

TEST_F(CliTest, InitDbRefusesNamesTheOtherCommandsCannotOpen) {
  struct Case {
    std::string name, says;
  } cases[] = {
      {std::string(253, 'n') + ".db", "at most 255 bytes"},
      {"plain", "does not end in .db, .sqlite or .sqlite3"},
      {"s.db ", "blanks at its start or end"},
      {"folder/", "names a folder"},
  };
  for (const auto& c : cases) {
    Outcome o = Run("init-db " + Q(dir.File(c.name)) + " --edition store");
    EXPECT_EQ(o.status, 2) << c.name << "\n" << o.out;
    EXPECT_NE(o.out.find(c.says), std::string::npos) << o.out;
    std::error_code ec;
    EXPECT_FALSE(std::filesystem::exists(dir.File(c.name), ec)) << c.name;
  }
  EXPECT_EQ(Run("init-db " + Q(dir.File("中文.sqlite3")) + " --edition store").status, 0);
}

TEST_F(CliTest, BrandIsCheckedAgainstTheDatabaseBeforeTheCall) {
  std::string group = dir.File("g.db"), book = dir.File("r.xlsx");
  ASSERT_EQ(Run("init-db " + Q(group) + " --edition group --brand B01").status, 0);
  sxtest::MakeXlsx(book, {{1, 0, "backreason"}, {2, 1, "退菜理由"}, {3, 1, "甲"}});
  struct Case {
    std::string brand, says;
  } cases[] = {
      {"", "--brand is empty"},
      {"123456789", "at most 8 characters"},
      {"品牌品牌品", "at most 8 characters"},
      {"B02", "brand 'B02' is not in the database's Group_Brand table (its brands: B01)"},
  };
  for (const auto& c : cases) {
    for (const std::string& command : {std::string("export backreason"), "import backreason " + Q(book)}) {
      Outcome o = Run(command + " --db " + Q(group) + " --brand " + Q(c.brand));
      EXPECT_EQ(o.status, 2) << command << " " << c.brand << "\n" << o.out;
      EXPECT_NE(o.out.find(c.says), std::string::npos) << o.out;
    }
  }
  EXPECT_EQ(sxtest::SqlColumn(group, "select count(*) from Group_BackReason"), std::vector<std::string>{"0"});
  EXPECT_EQ(sxtest::SqlColumn(group, "select count(*) from Group_DownloadVersion"),
            std::vector<std::string>{"0"});
  EXPECT_EQ(Run("import backreason " + Q(book) + " --db " + Q(group) + " --brand B01").status, 0);

  // A store database is left to the library, which names its edition.
  std::string store = dir.File("s.db");
  ASSERT_EQ(Run("init-db " + Q(store) + " --edition store").status, 0);
  Outcome o = Run("import backreason " + Q(book) + " --db " + Q(store) + " --brand B01");
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.out.find("failed: 当前数据库是门店数据库,此功能用于集团版数据库"), std::string::npos) << o.out;
}

TEST_F(CliTest, ExportWritesOnlyXlsxAndReplacesOnlyWithForce) {
  std::string store = dir.File("s.db"), book = dir.File("out.xlsx");
  ASSERT_EQ(Run("init-db " + Q(store) + " --edition store --sample").status, 0);
  std::string db = " --db " + Q(store);
  Outcome xls = Run("export backreason -o " + Q(dir.File("out.xls")) + db);
  EXPECT_EQ(xls.status, 2);
  EXPECT_NE(xls.out.find("ending in .xlsx"), std::string::npos) << xls.out;
  EXPECT_FALSE(std::filesystem::exists(dir.File("out.xls")));

  { std::ofstream(book) << "mine"; }
  Outcome kept = Run("export backreason -o " + Q(book) + db);
  EXPECT_EQ(kept.status, 2);
  EXPECT_NE(kept.out.find("exists already; add --force"), std::string::npos) << kept.out;
  EXPECT_EQ(std::filesystem::file_size(book), 4u);
  ASSERT_EQ(Run("export backreason --force -o " + Q(book) + db).status, 0);
  EXPECT_GT(sxtest::ReadXlsx(book).size(), 3u);
}

TEST_F(CliTest, HelpSaysWhereTheWorkbookGoes) {
  Outcome help = Run("export --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("temporary folder ($TMPDIR, else /tmp)"), std::string::npos) << help.out;
}

TEST_F(CliTest, OdbcSqlitePathOutsideAsciiOpensAndAMissingOneIsNamed) {
  if (!sxtest::RegisterOdbcDrivers()) GTEST_SKIP() << "the SQLite ODBC driver is not installed";
  std::filesystem::create_directory(dir.File("中文"));
  std::string store = dir.File("中文/s.db");
  ASSERT_EQ(Run("init-db " + Q(store) + " --edition store --sample").status, 0);
  Outcome ok = Run("export backreason --db " + Q("Driver=SQLite3;Database=" + store) + " -o " +
                   Q(dir.File("中文/r.xlsx")));
  EXPECT_EQ(ok.status, 0) << ok.out;
  std::string absent = dir.File("中文/absent.db");
  Outcome missing = Run("export backreason --db " + Q("Driver=SQLite3;Database=" + absent));
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("failed: The SQLite database file '" + absent + "' does not exist"),
            std::string::npos) << missing.out;
}
