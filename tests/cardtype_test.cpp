// Discount types through the exported functions, on both engines.
#include <gtest/gtest.h>

#include <map>

#include "setupxfer.h"
#include "support/OdbcSupport.h"
#include "support/TestSupport.h"

using sxtest::Cell;
using sxtest::Edition;
using Rows = std::vector<std::vector<std::string>>;

namespace {

const char* kStoreReference = R"(
  insert into MenuType(MenuTypeCode,MenuTypeName,Deleted) values('01','凉菜',0),('02','热菜',0);
  insert into MenuItem(MenuItemCode,MenuItemCName,MenuTypeCode,DishStatus,Deleted) values
    ('10001','拍黄瓜','01',1,0),('10002','皮蛋','01',1,0),('20001','鱼','02',1,0);
  insert into MenuSuite(MenuSuiteNo,MenuSuiteName) values('S1','商务套餐');)";
const char* kGroupReference = R"(
  insert into Group_MenuType(BrandID,tCode,tName,Deleted) values('B1','01','凉菜',0),('B1','02','热菜',0),
    ('B2','03','别家',0);
  insert into Group_MenuItem(BrandID,ItemCode,ItemName,tCode,DishStatus,Deleted) values
    ('B1','10001','拍黄瓜','01',1,0),('B1','10002','皮蛋','01',1,0),('B1','20001','鱼','02',1,0);
  insert into Group_MenuSuite(BrandID,msCode,msName) values('B1','S1','商务套餐');
  insert into Group_DownloadVersion(BrandID) values('B2');)";

// The cardtype section with the given rows, then the cardtypeitem section.
std::vector<Cell> Sheet(const std::vector<std::map<int, std::string>>& types,
                        const std::vector<std::map<int, std::string>>& lines) {
  std::vector<Cell> cells{{1, 0, "cardtype"}, {1, 2, "优惠类型清单"}, {2, 1, "优惠代码"}};
  int r = 3;
  for (const auto& row : types) {
    for (const auto& [c, t] : row) cells.push_back({r, c, t});
    ++r;
  }
  cells.push_back({++r, 0, "cardtypeitem"});
  cells.push_back({++r, 1, "优惠代码"});
  for (const auto& row : lines) {
    ++r;
    for (const auto& [c, t] : row) cells.push_back({r, c, t});
  }
  return cells;
}

struct CardTypeTest : ::testing::TestWithParam<sxtest::Engine> {
  sxtest::TempDir dir;
  std::string store = dir.File("store.db");
  std::string group = dir.File("group.db");
  std::string book = dir.File("cardtype.xlsx");
  char error[300] = {};

  void SetUp() override {
    if (GetParam() == sxtest::Engine::Odbc && !sxtest::RegisterOdbcDrivers())
      GTEST_SKIP() << "no SQLite ODBC driver";
    sxtest::CreateDatabase(store, Edition::Store);
    sxtest::CreateDatabase(group, Edition::Group);
    sxtest::SqlExec(store, kStoreReference);
    sxtest::SqlExec(group, kGroupReference);
  }
  std::string Conn(const std::string& path) const { return sxtest::ConnectionStringFor(GetParam(), path); }
  bool ImportStore(const std::vector<Cell>& cells) {
    sxtest::MakeXlsx(book, cells);
    return ImportCardType(Conn(store).c_str(), book.c_str(), error) == 1;
  }
};

const char* kStoreLines =
    "select CardTypeCode,ifnull(MenuTypeCode,'-'),ifnull(MenuSuiteNo,'-'),Discount,replace(Excludes,char(13,10),'|') "
    "from DiscountSuite order by rowid";

}  // namespace

TEST_P(CardTypeTest, LinesAreCheckedAndAFaultyLineDropsItsWholeDiscountType) {
  sxtest::HostCapture host;
  ASSERT_TRUE(ImportStore(Sheet(
      {{{1, "V1"}, {2, "会员"}, {5, "是"}}, {{1, "V2"}, {2, "员工"}}, {{1, "v1"}, {2, "重复"}}, {{1, "V3"}},
       {{1, "V4"}, {2, "坏"}}},
      {{{2, "01"}, {6, "90"}},  // no discount type above: the carried code is empty
       {{1, "v1"}, {2, "01"}, {6, "90"}, {7, "10001"}, {9, "50"}},
       {{7, "10002"}},  // a further exception dish of the line above
       {{4, "S1"}, {6, "100"}, {7, "20001"}},
       {{1, "V2"}, {7, "10001"}},  // no line yet: changes nothing
       {{2, "02"}, {6, "80"}},
       {{1, "V4"}, {2, "01"}, {6, "101"}},
       {{2, "02"}, {6, "80"}},  // V4 is gone
       {{1, "V5"}, {2, "01"}, {6, "1"}}})));
  EXPECT_EQ(host.Texts(1), (std::vector<std::string>{
                               "错误:第5行:优惠代码v1重复!",
                               "错误:第6行:V3没有指定优惠名称!",
                               "错误:第11行:没有找到编号为\"\"的优惠类型!",
                               "错误:第17行:V4优惠类型的折扣百分比超出范围(0-100)!",
                               "错误:第18行:没有找到编号为\"V4\"的优惠类型!",
                               "错误:第19行:没有找到编号为\"V5\"的优惠类型!"}));
  EXPECT_EQ(sxtest::SqlRows(store, "select CardTypeCode,CardTypeName,AllowJifen from CardType order by 1"),
            (Rows{{"V1", "会员", "1"}, {"V2", "员工", "0"}}));
  EXPECT_EQ(sxtest::SqlRows(store, kStoreLines),
            (Rows{{"V1", "01", "-", "90", "10001@50|10002|"}, {"V1", "-", "S1", "100", "20001|"},
                  {"V2", "02", "-", "80", ""}}));
}

TEST_P(CardTypeTest, EachLineCheckRejectsItsDiscountType) {
  struct Case {
    std::map<int, std::string> line;
    std::string message;
  } cases[] = {
      {{{7, "99999"}}, "没有找到编号为\"99999\"的菜品!"},
      {{{7, "pai"}}, "没有找到编号为\"pai\"的菜品!"},
      {{{2, "01"}, {6, "9"}, {7, "10001"}, {9, "x"}}, "V1优惠类型的例外菜品折扣百分比不是0-100的数值!"},
      {{{2, "01"}, {6, "9"}, {7, "10001"}, {9, "-1"}}, "V1优惠类型的例外菜品折扣百分比超出范围(0-100)!"},
      {{{2, "09"}, {6, "9"}}, "没有找到菜类:09"},
      {{{4, "S9"}, {6, "9"}}, "没有找到套餐:S9"},
      {{{2, "01"}, {4, "S1"}, {6, "9"}}, "菜类编号和套餐编号不能出现在同一行上!"},
      {{{2, "01"}}, "V1优惠类型的折扣百分比不是0-100的数值!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    auto line = c.line;
    line[1] = "V1";
    sxtest::HostCapture host;
    ASSERT_TRUE(ImportStore(Sheet({{{1, "V1"}, {2, "会员"}}}, {{{1, "V1"}, {2, "02"}, {6, "50"}}, line})));
    EXPECT_EQ(host.Texts(1), std::vector<std::string>{"错误:第8行:" + c.message});
    EXPECT_EQ(sxtest::SqlColumn(store, "select count(*) from CardType"), std::vector<std::string>{"0"});
  }
}

TEST_P(CardTypeTest, RoundTripsKeepLinesAndExceptionDishes) {
  for (bool isGroup : {false, true}) {
    SCOPED_TRACE(isGroup ? "group" : "store");
    const std::string& from = isGroup ? group : store;
    const char* lines = isGroup ? "CardTypeItems(BrandID,CardTypeCode,MenuTypeCode,Discount,Excludes,MenuSuiteNo) values"
                                  "('B1','V1','01',90,'10001@50'||char(13,10)||'10002'||char(13,10)||'20001@0'||"
                                  "char(13,10),NULL),('B1','V1',NULL,85,'','S1'),('B1','V2','02',70,NULL,NULL),"
                                  "('B2','V1','03',10,'',NULL)"
                                : "DiscountSuite(CardTypeCode,MenuTypeCode,Discount,Excludes,MenuSuiteNo) values"
                                  "('V1','01',90,'10001@50'||char(13,10)||'10002'||char(13,10)||'20001@0'||"
                                  "char(13,10),NULL),('V1',NULL,85,'','S1'),('V2','02',70,NULL,NULL)";
    sxtest::SqlExec(from, std::string("insert into CardType values('V1','会员','Member','',1),('V2','员工','','',0);"
                                      "insert into ") + lines);
    sxtest::HostCapture host;
    ASSERT_EQ(isGroup ? ExportGroupCardType(Conn(from).c_str(), "B1", error) : ExportCardType(Conn(from).c_str(), error),
              1)
        << error;
    std::vector<std::string> seen;
    for (const auto& c : sxtest::ReadXlsx(host.workbooks.at(0)))
      if (c.row >= 8) seen.push_back(std::to_string(c.row) + ":" + std::to_string(c.column) + ":" + c.value);
    // One row per exception dish; the names come from the menu; the set meal
    // line keeps its NULL menu type (an outer join).
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "8:1:V1", "8:4:S1", "8:5:商务套餐", "8:6:85",
                        "9:2:01", "9:3:凉菜", "9:6:90", "9:7:10001", "9:8:拍黄瓜", "9:9:50",
                        "10:7:10002", "10:8:皮蛋", "11:7:20001", "11:8:鱼", "11:9:0",
                        "12:1:V2", "12:2:02", "12:3:热菜", "12:6:70"}));

    std::string to = dir.File(isGroup ? "group2.db" : "store2.db");
    sxtest::CreateDatabase(to, isGroup ? Edition::Group : Edition::Store);
    sxtest::SqlExec(to, isGroup ? kGroupReference : kStoreReference);
    const std::string& file = host.workbooks.at(0);
    ASSERT_EQ(isGroup ? ImportGroupCardType(Conn(to).c_str(), "B1", file.c_str(), error)
                      : ImportCardType(Conn(to).c_str(), file.c_str(), error),
              1)
        << error;
    EXPECT_TRUE(host.Texts(1).empty()) << host.Texts(1).at(0);
    std::string query = isGroup ? "select * from CardTypeItems where BrandID='B1' order by CardTypeCode,Discount"
                                : "select * from DiscountSuite order by CardTypeCode,Discount";
    // (A NULL exception list comes back empty; both read as "".)
    EXPECT_EQ(sxtest::SqlRows(to, query), sxtest::SqlRows(from, query));
    EXPECT_EQ(sxtest::SqlRows(to, "select * from CardType order by 1"), sxtest::SqlRows(from, "select * from CardType order by 1"));
    if (isGroup) {
      // Every brand learns of the shared discount types; the importing brand's row is made.
      EXPECT_EQ(sxtest::SqlColumn(to, "select BrandID from Group_DownloadVersion where DiscountVersion is not null"),
                (std::vector<std::string>{"B2", "B1"}));
    }
  }
}

TEST_P(CardTypeTest, StoreImportHonoursCentralControl) {
  sxtest::SqlExec(store, "insert into Group_Brand(BrandID,ControlDiscount) values('B1',1)");
  sxtest::HostCapture host;
  EXPECT_FALSE(ImportStore(Sheet({{{1, "V1"}, {2, "会员"}}}, {})));
  EXPECT_STREQ(error, "优惠类型由集团统一下发,不能在门店导入!");
  EXPECT_TRUE(host.lines.empty());
}

INSTANTIATE_TEST_SUITE_P(Engines, CardTypeTest, ::testing::Values(sxtest::Engine::Native, sxtest::Engine::Odbc),
                         [](const auto& info) { return sxtest::EngineName(info.param); });
