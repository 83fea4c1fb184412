// What every import and export says when it is given the wrong thing: a
// database of the other edition, no brand, a workbook of another kind, rows
// below the end of the sheet, a text longer than its column. Through the
// exported functions, as a host calls them.
#include <gtest/gtest.h>

#include <functional>

#include "setupxfer.h"
#include "support/TestSupport.h"

using sxtest::Cell;
using sxtest::Edition;

namespace {

struct ImportChecksTest : ::testing::Test {
  sxtest::TempDir dir;
  std::string store = dir.File("store.db");
  std::string group = dir.File("group.db");
  char error[256] = {};

  void SetUp() override {
    sxtest::CreateDatabase(store, Edition::Store);
    sxtest::CreateDatabase(group, Edition::Group);
  }
  std::string Book(const std::string& name, const std::vector<Cell>& cells) {
    std::string path = dir.File(name);
    sxtest::MakeXlsx(path, cells);
    return path;
  }
  std::string Count(const std::string& db, const std::string& table) {
    return sxtest::SqlColumn(db, "select count(*) from " + table).at(0);
  }
};

std::vector<Cell> Reasons(std::vector<Cell> rows) {
  std::vector<Cell> cells = {{1, 0, "backreason"}, {2, 1, "退菜理由"}};
  cells.insert(cells.end(), rows.begin(), rows.end());
  return cells;
}

}  // namespace

TEST_F(ImportChecksTest, WrongEditionOrNoBrandSaysWhichDatabaseItIs) {
  std::string book = Book("r.xlsx", Reasons({{3, 1, "上错菜"}}));
  const std::string kStoreDb = "当前数据库是门店数据库,此功能用于集团版数据库";
  const std::string kGroupDb = "当前数据库是集团版数据库,此功能用于门店数据库";
  const std::string kNoBrand = "品牌编号为空,集团版数据库的功能需要指定品牌编号";
  struct Case {
    const char* call;
    std::function<SxBool(char*)> run;
    std::string message;
  } cases[] = {
      {"ImportGroupBackReason on a store database",
       [&](char* e) { return ImportGroupBackReason(store.c_str(), "B1", book.c_str(), e); }, kStoreDb},
      {"ExportGroupMenu on a store database",
       [&](char* e) { return ExportGroupMenu(store.c_str(), "B1", e); }, kStoreDb},
      {"ImportBackReason on a group database",
       [&](char* e) { return ImportBackReason(group.c_str(), book.c_str(), e); }, kGroupDb},
      {"ExportMenu on a group database", [&](char* e) { return ExportMenu(group.c_str(), e); }, kGroupDb},
      {"ImportGroupBackReason without a brand",
       [&](char* e) { return ImportGroupBackReason(group.c_str(), "", book.c_str(), e); }, kNoBrand},
      {"ExportGroupBackReason with a blank brand",
       [&](char* e) { return ExportGroupBackReason(group.c_str(), "  ", e); }, kNoBrand},
  };
  for (const auto& c : cases) {
    sxtest::HostCapture host;
    EXPECT_EQ(c.run(error), 0) << c.call;
    EXPECT_EQ(std::string(error), c.message) << c.call;
    EXPECT_TRUE(host.prompts.empty()) << c.call;
    EXPECT_TRUE(host.workbooks.empty()) << c.call;
  }
  EXPECT_EQ(Count(store, "BackReason"), "0");
  EXPECT_EQ(Count(group, "Group_BackReason"), "0");
  EXPECT_EQ(Count(group, "Group_DownloadVersion"), "0");
}

TEST_F(ImportChecksTest, WorkbookWithoutTheKindsMarkerFailsNamingFileAndMarker) {
  std::string menu = Book("menu.xlsx", {{1, 0, "menutype"}, {2, 1, "菜品类别代码(最多2个字符)"},
                                        {3, 1, "01"}, {3, 2, "凉菜"}});
  std::string reasons = Book("reasons.xlsx", Reasons({{3, 1, "上错菜"}}));
  std::string other = Book("other.xlsx", {{1, 0, "Sheet of something else"}, {2, 1, "上错菜"}});
  struct Case {
    std::function<SxBool(char*)> run;
    std::string message;
  } cases[] = {
      {[&](char* e) { return ImportBackReason(store.c_str(), menu.c_str(), e); },
       menu + " 中没有找到 backreason 标记"},
      {[&](char* e) { return ImportGroupGiftReason(group.c_str(), "B1", reasons.c_str(), e); },
       reasons + " 中没有找到 giftreason 标记"},
      {[&](char* e) { return ImportMenu(store.c_str(), reasons.c_str(), e); },
       reasons + " 中没有找到 menutype 标记"},
      {[&](char* e) { return ImportBackReason(store.c_str(), other.c_str(), e); },
       other + " 中没有找到 backreason 标记"},
  };
  for (const auto& c : cases) {
    sxtest::HostCapture host;
    EXPECT_EQ(c.run(error), 0) << c.message;
    EXPECT_EQ(std::string(error), c.message);
    ASSERT_FALSE(host.Texts(0).empty());
    EXPECT_EQ(host.Texts(0).back(), "完毕!");
    EXPECT_EQ(host.Finishes(), 1);
  }
  EXPECT_EQ(Count(store, "BackReason"), "0");
  EXPECT_EQ(Count(store, "MenuType"), "0");
  EXPECT_EQ(Count(group, "Group_GiftReason"), "0");
}

TEST_F(ImportChecksTest, CellsBelowTheEndOfTheSheetAreReportedOnce) {
  struct Case {
    const char* what;
    std::vector<Cell> below;  // rows 3 and 4 hold data; anything from row 5 on
    std::vector<std::string> imported;
    std::vector<std::string> errors;
  } cases[] = {
      {"four empty rows are bridged", {{9, 1, "丙"}}, {"丙", "乙", "甲"}, {}},
      {"five end the sheet",
       {{10, 1, "丙"}, {12, 1, "丁"}},
       {"乙", "甲"},
       {"错误:读入在第9行结束(五个空行结束工作表),第10行起的内容没有读入!"}},
      {"a note in another column counts too",
       {{20, 4, "备注"}},
       {"乙", "甲"},
       {"错误:读入在第9行结束(五个空行结束工作表),第20行起的内容没有读入!"}},
  };
  for (const auto& c : cases) {
    sxtest::SqlExec(store, "delete from BackReason");
    std::vector<Cell> rows = {{3, 1, "甲"}, {4, 1, "乙"}};
    rows.insert(rows.end(), c.below.begin(), c.below.end());
    std::string book = Book("tail.xlsx", Reasons(rows));
    sxtest::HostCapture host;
    ASSERT_EQ(ImportBackReason(store.c_str(), book.c_str(), error), 1) << c.what << ": " << error;
    EXPECT_EQ(sxtest::SqlColumn(store, "select BackReasonDesc from BackReason order by 1"), c.imported)
        << c.what;
    EXPECT_EQ(host.Texts(1), c.errors) << c.what;
  }
}

TEST_F(ImportChecksTest, OverLongTextIsRejectedWithRowCaptionLimitAndValue) {
  std::string fits;
  for (int i = 0; i < 125; ++i) fits += "菜";  // 250 bytes in the host's code page
  std::string over = fits + "x";
  std::string book = Book("long.xlsx", Reasons({{3, 1, fits}, {4, 1, over}, {5, 1, "短"}}));
  for (bool isGroup : {false, true}) {
    sxtest::HostCapture host;
    SxBool ok = isGroup ? ImportGroupBackReason(group.c_str(), "B1", book.c_str(), error)
                        : ImportBackReason(store.c_str(), book.c_str(), error);
    ASSERT_EQ(ok, 1) << error;
    EXPECT_EQ(host.Texts(1), std::vector<std::string>{"错误:第4行:退菜理由超长(最多250字节):" + over});
  }
  EXPECT_EQ(sxtest::SqlColumn(store, "select BackReasonDesc from BackReason order by 1"),
            (std::vector<std::string>{"短", fits}));
  EXPECT_EQ(Count(group, "Group_BackReason"), "2");
}
