// Reason lists end to end, through the exported functions as a host calls them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "setupxfer.h"
#include "support/OdbcSupport.h"
#include "support/TestSupport.h"

using sxtest::Cell;
using sxtest::Edition;

namespace {

// Every case runs on the native engine and through the SQLite ODBC driver.
struct ReasonTest : ::testing::TestWithParam<sxtest::Engine> {
  sxtest::TempDir dir;
  std::string store = dir.File("store.db");
  std::string group = dir.File("group.db");
  char error[300];

  void SetUp() override {
    if (GetParam() == sxtest::Engine::Odbc && !sxtest::RegisterOdbcDrivers())
      GTEST_SKIP() << "no SQLite ODBC driver";
    sxtest::CreateDatabase(store, Edition::Store);
    sxtest::CreateDatabase(group, Edition::Group);
    std::memset(error, 'x', sizeof error);
  }

  // The connection string of a database file for this run's engine.
  std::string Conn(const std::string& path) const {
    return sxtest::ConnectionStringFor(GetParam(), path);
  }

  std::string Sheet(const std::string& name, const std::vector<Cell>& cells) {
    std::string path = dir.File(name);
    sxtest::MakeXlsx(path, cells);
    return path;
  }
};

std::vector<Cell> BackReasonSheet(const std::vector<std::string>& texts) {
  std::vector<Cell> cells = {{1, 0, "backreason"}, {1, 2, "退菜理由清单"}, {1, 3, "2.5.2011.1N"},
                             {2, 1, "退菜理由"}};
  int row = 3;
  for (const auto& t : texts) cells.push_back({row++, 1, t});
  return cells;
}

}  // namespace

TEST_P(ReasonTest, StoreExportWritesTheSheetAsTextCells) {
  sxtest::SqlExec(store, "insert into BackReason values('上错菜'),('007')");
  sxtest::HostCapture host;
  ASSERT_EQ(ExportBackReason(Conn(store).c_str(), error), 1) << error;
  ASSERT_EQ(host.workbooks.size(), 1u);
  auto cells = sxtest::ReadXlsx(host.workbooks[0]);
  std::vector<std::string> seen;
  for (const auto& c : cells) {
    EXPECT_EQ(c.type, "s") << c.value;
    EXPECT_EQ(c.format, "@") << c.value;
    seen.push_back(std::to_string(c.row) + ":" + std::to_string(c.column) + ":" + c.value);
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"1:0:backreason", "1:2:退菜理由清单", "1:3:2.5.2011.1N",
                                            "2:1:退菜理由", "3:1:上错菜", "4:1:007"}));
  EXPECT_TRUE(host.lines.empty());  // exports never open the log
}

TEST_P(ReasonTest, ExportLeavesOutEmptyTextsSoTheRowsAfterThemImport) {
  sxtest::SqlExec(store, "insert into BackReason values('a'),(NULL),(''),('  '),(NULL),(''),(NULL),('b')");
  sxtest::HostCapture host;
  ASSERT_EQ(ExportBackReason(Conn(store).c_str(), error), 1) << error;
  std::vector<std::string> seen;
  for (const auto& c : sxtest::ReadXlsx(host.workbooks.at(0))) seen.push_back(c.value);
  EXPECT_EQ(seen, (std::vector<std::string>{"backreason", "退菜理由清单", "2.5.2011.1N", "退菜理由", "a", "b"}));
}

TEST_P(ReasonTest, GroupExportWritesTheBrandAndOnlyItsRows) {
  sxtest::SqlExec(group,
                  "insert into Group_GiftReason values('B1','生日'),('B2','别的品牌'),('B1','店庆')");
  sxtest::HostCapture host;
  ASSERT_EQ(ExportGroupGiftReason(Conn(group).c_str(), "B1", error), 1) << error;
  auto cells = sxtest::ReadXlsx(host.workbooks.at(0));
  std::vector<std::string> seen;
  for (const auto& c : cells) seen.push_back(c.value);
  EXPECT_EQ(seen, (std::vector<std::string>{"giftreason", "B1", "赠送理由清单", "2.5.2011.1G", "赠送理由",
                                            "生日", "店庆"}));
}

TEST_P(ReasonTest, StoreImportAddsOnlyMissingTexts) {
  sxtest::SqlExec(store, "insert into BackReason values('上错菜')");
  auto file = Sheet("in.xlsx", BackReasonSheet({"上错菜", "客人's 要求", "退菜理由", "太咸", "太咸",
                                                "  带空格  "}));
  sxtest::HostCapture host;
  ASSERT_EQ(ImportBackReason(Conn(store).c_str(), file.c_str(), error), 1);
  EXPECT_EQ(error[0], 'x');  // success leaves the buffer untouched
  EXPECT_EQ(sxtest::SqlColumn(store, "select BackReasonDesc from BackReason order by rowid"),
            (std::vector<std::string>{"上错菜", "客人's 要求", "太咸", "带空格"}));
  EXPECT_EQ(host.Texts(0),
            (std::vector<std::string>{"开始从" + file + "导入退菜理由...", "正在导入退菜理由\"上错菜\"...",
                                      "正在导入退菜理由\"客人's 要求\"...", "正在导入退菜理由\"太咸\"...",
                                      "正在导入退菜理由\"太咸\"...", "正在导入退菜理由\"带空格\"...",
                                      "完毕!"}));
  EXPECT_TRUE(host.Texts(1).empty());
  EXPECT_EQ(host.Finishes(), 1);
}

TEST_P(ReasonTest, ExistingTextMatchesIgnoringCaseAsTheServerDoes) {
  sxtest::SqlExec(store, "insert into RepriceReason values('VIP price')");
  auto file = Sheet("in.xlsx", {{1, 0, "RepriceReason"}, {2, 1, "重定价理由"}, {3, 1, "vip PRICE"}});
  sxtest::HostCapture host;
  ASSERT_EQ(ImportRepriceReason(Conn(store).c_str(), file.c_str(), error), 1);
  EXPECT_EQ(sxtest::SqlColumn(store, "select count(*) from RepriceReason"),
            std::vector<std::string>{"1"});
}

TEST_P(ReasonTest, GroupImportUsesTheHostsBrandAndStampsOnlyNewTexts) {
  sxtest::SqlExec(group, "insert into Group_BackReason values('B1','上错菜')");
  // A sheet exported for another brand.
  auto cells = BackReasonSheet({"上错菜"});
  cells.push_back({1, 1, "B9"});
  auto file = Sheet("old.xlsx", cells);
  sxtest::HostCapture host;
  ASSERT_EQ(ImportGroupBackReason(Conn(group).c_str(), "B1", file.c_str(), error), 1);
  EXPECT_EQ(sxtest::SqlColumn(group, "select count(*) from Group_DownloadVersion"),
            std::vector<std::string>{"0"});  // nothing new: no stamp

  auto file2 = Sheet("new.xlsx", BackReasonSheet({"上错菜", "等太久"}));
  ASSERT_EQ(ImportGroupBackReason(Conn(group).c_str(), "B1", file2.c_str(), error), 1);
  EXPECT_EQ(sxtest::SqlRows(group, "select BrandID,BackReasonDesc from Group_BackReason order by rowid"),
            (std::vector<std::vector<std::string>>{{"B1", "上错菜"}, {"B1", "等太久"}}));
  auto stamp = sxtest::SqlRows(group, "select BrandID,BackReasonVersion,GiftReasonVersion from Group_DownloadVersion");
  ASSERT_EQ(stamp.size(), 1u);
  EXPECT_EQ(stamp[0][0], "B1");
  EXPECT_EQ(stamp[0][1].size(), 19u);  // YYYY-MM-DD HH:NN:SS
  EXPECT_EQ(stamp[0][2], "");

  ASSERT_EQ(ImportGroupBackReason(Conn(group).c_str(), "B2", file2.c_str(), error), 1);
  EXPECT_EQ(sxtest::SqlColumn(group, "select count(*) from Group_BackReason where BrandID='B2'"),
            std::vector<std::string>{"2"});
  EXPECT_EQ(sxtest::SqlColumn(group, "select BrandID from Group_DownloadVersion order by BrandID"),
            (std::vector<std::string>{"B1", "B2"}));
}

TEST_P(ReasonTest, FailingItemIsLoggedAndTheOthersAreWritten) {
  std::string tooLong(130, 'x');
  tooLong += "退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜退菜";
  auto file = Sheet("in.xlsx", BackReasonSheet({"甲", tooLong, "乙"}));
  sxtest::HostCapture host;
  ASSERT_EQ(ImportBackReason(Conn(store).c_str(), file.c_str(), error), 1);
  EXPECT_EQ(sxtest::SqlColumn(store, "select BackReasonDesc from BackReason order by rowid"),
            (std::vector<std::string>{"甲", "乙"}));
  auto errors = host.Texts(1);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("错误:", 0), 0u);
  EXPECT_NE(errors[0].find("250"), std::string::npos);
}

TEST_P(ReasonTest, DeclinedVersionPromptFailsWithEmptyText) {
  sxtest::SqlExec(store, "update Version set VersionNo='2.4'");
  auto file = Sheet("in.xlsx", BackReasonSheet({"甲"}));
  sxtest::HostCapture host(false);
  EXPECT_EQ(ImportBackReason(Conn(store).c_str(), file.c_str(), error), 0);
  EXPECT_STREQ(error, "");
  EXPECT_EQ(host.prompts.size(), 1u);
  EXPECT_TRUE(host.lines.empty());  // the log opens only after the checks
  EXPECT_EQ(sxtest::SqlColumn(store, "select count(*) from BackReason"), std::vector<std::string>{"0"});
}

TEST_P(ReasonTest, UnopenableWorkbookFailsButTheLogStillEnds) {
  std::string missing = dir.File("missing.xlsx");
  sxtest::HostCapture host;
  EXPECT_EQ(ImportGiftReason(Conn(store).c_str(), missing.c_str(), error), 0);
  EXPECT_NE(std::string(error).find("missing.xlsx"), std::string::npos);
  EXPECT_EQ(host.Texts(0),
            (std::vector<std::string>{"开始从" + missing + "导入赠送理由...", "完毕!"}));
  EXPECT_EQ(host.Finishes(), 1);
}

TEST_P(ReasonTest, BadConnectionFailsWithoutOpeningTheLog) {
  sxtest::HostCapture host;
  std::string absent = dir.File("absent.db");
  EXPECT_EQ(ExportBackReason(absent.c_str(), error), 0);
  EXPECT_NE(std::string(error).find("absent.db"), std::string::npos);
  EXPECT_TRUE(host.lines.empty());
  EXPECT_TRUE(host.workbooks.empty());
}

TEST_P(ReasonTest, ExportWhoseWorkbookCannotBeSavedFails) {
  const char* old = std::getenv("TMPDIR");
  std::string saved = old ? old : "";
  setenv("TMPDIR", "/nonexistent/folder", 1);
  sxtest::HostCapture host;
  EXPECT_EQ(ExportBackReason(Conn(store).c_str(), error), 0);
  if (old) setenv("TMPDIR", saved.c_str(), 1); else unsetenv("TMPDIR");
  EXPECT_NE(std::string(error).find("Cannot save the workbook"), std::string::npos) << error;
  EXPECT_TRUE(host.workbooks.empty());
}

TEST_P(ReasonTest, EveryMemberRoundTripsThroughAWorkbook) {
  sxtest::SqlExec(store,
                  "insert into BackReason values('上错菜'),('O''Brien');"
                  "insert into GiftReason values('生日');"
                  "insert into RepriceReason values('时价')");
  std::string empty = dir.File("empty.db");
  sxtest::CreateDatabase(empty, Edition::Store);
  sxtest::HostCapture host;
  ASSERT_EQ(ExportBackReason(Conn(store).c_str(), error), 1);
  ASSERT_EQ(ExportGiftReason(Conn(store).c_str(), error), 1);
  ASSERT_EQ(ExportRepriceReason(Conn(store).c_str(), error), 1);
  ASSERT_EQ(host.workbooks.size(), 3u);
  ASSERT_EQ(ImportBackReason(Conn(empty).c_str(), host.workbooks[0].c_str(), error), 1);
  ASSERT_EQ(ImportGiftReason(Conn(empty).c_str(), host.workbooks[1].c_str(), error), 1);
  ASSERT_EQ(ImportRepriceReason(Conn(empty).c_str(), host.workbooks[2].c_str(), error), 1);
  for (const char* table : {"BackReason", "GiftReason", "RepriceReason"}) {
    std::string col = std::string(table) + "Desc";
    std::string q = "select " + col + " from " + table + " order by " + col;
    EXPECT_EQ(sxtest::SqlColumn(empty, q), sxtest::SqlColumn(store, q)) << table;
  }
  EXPECT_TRUE(host.Texts(1).empty());
}

INSTANTIATE_TEST_SUITE_P(Engines, ReasonTest,
                         ::testing::Values(sxtest::Engine::Native, sxtest::Engine::Odbc),
                         [](const auto& info) { return sxtest::EngineName(info.param); });
