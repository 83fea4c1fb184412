// Time plans and price plans through the exported functions, as a host calls
// them, on the native engine and through the SQLite ODBC driver.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "setupxfer.h"
#include "support/OdbcSupport.h"
#include "support/TestSupport.h"

using sxtest::Cell;
using sxtest::Edition;
using Rows = std::vector<std::vector<std::string>>;
using Texts = std::vector<std::string>;

namespace {

const std::string kCodeCaption = "计划代码(整数)";

// Dishes, shifts (code 0 is a real one) and time sections both editions refer to.
const char* kStoreReference = R"(
  INSERT INTO MenuType(MenuTypeCode,MenuTypeName,Deleted) VALUES ('02','热菜',0);
  INSERT INTO MenuItem(MenuItemCode,MenuItemCName,MenuTypeCode,Standard,Standard2,Standard3,DishStatus,Deleted) VALUES
    ('02001','宫保鸡丁','02','例',NULL,NULL,1,0), ('02005','水煮牛肉','02','小份','大份',NULL,1,0),
    ('02008','北京烤鸭','02','半只','整只','套餐',1,0);
  INSERT INTO MealSection(MealSectionCode,MealSectionName,Deleted) VALUES (0,'早餐',0), (1,'午餐',0), (2,'晚餐',0);
  INSERT INTO TimeSection VALUES (0,'1899-12-30 11:00:00','1899-12-30 14:00:00'), (1,'17:00','21:00');
)";
const char* kGroupReference = R"(
  INSERT INTO Group_MenuType(BrandID,tCode,tName,Deleted) VALUES ('B1','02','热菜',0);
  INSERT INTO Group_MenuItem(BrandID,ItemCode,ItemName,tCode,Standard,Standard2,DishStatus,Deleted) VALUES
    ('B1','02001','宫保鸡丁','02','例',NULL,1,0), ('B1','02005','水煮牛肉','02','小份','大份',1,0);
  INSERT INTO Group_Shift(BrandID,ShiftCode,ShiftName,Deleted) VALUES ('B1',0,'早餐',0), ('B1',1,'午餐',0);
  INSERT INTO Group_TimeSection VALUES ('B1',0,'1899-12-30 11:00:00','1899-12-30 14:00:00'),
    ('B1',1,'1899-12-30 17:00:00','1899-12-30 21:00:00');
  INSERT INTO Group_Zone VALUES (1,'华东区'), (2,'华南区');
  INSERT INTO Group_Hotel(HotelID,HotelName,BrandID,ZoneID,UseTag) VALUES
    ('H1','天河店','B1',2,1), ('H2','西湖店','B1',1,1), ('H3','人民广场店','B1',1,1), ('H9','别家店','B2',1,1);
)";

// A sheet under construction: the time plan marker and header rows first.
struct Sheet {
  std::vector<Cell> cells{{1, 0, "timeplan"}, {1, 2, "优惠计划清单"}, {2, 1, kCodeCaption}};
  void Put(int row, const std::map<int, std::string>& values) {
    for (auto& [c, t] : values) cells.push_back({row, c, t});
  }
  // A valid daily plan for the whole day; `more` adds or replaces cells.
  void Plan(int row, const std::string& code, std::map<int, std::string> more = {}) {
    std::map<int, std::string> v{{1, code}, {2, "计划" + code}, {7, "2024-03-01"}, {9, "1"}, {10, "1"}};
    for (auto& [c, t] : more) v[c] = t;
    Put(row, v);
  }
  void Prices(int row) { Put(row, {{0, "priceplan"}}), Put(row + 1, {{1, kCodeCaption}}); }
};

std::string Error(const std::string& text) { return "错误:" + text; }

struct PricePlanTest : ::testing::TestWithParam<sxtest::Engine> {
  sxtest::TempDir dir;
  std::string store = dir.File("store.db");
  std::string group = dir.File("group.db");
  std::string book = dir.File("plans.xlsx");
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

  bool ImportStore(const Sheet& s) {
    sxtest::MakeXlsx(book, s.cells);
    return ImportPricePlan(Conn(store).c_str(), book.c_str(), error) != 0;
  }
  bool ImportGroup(const Sheet& s) {
    sxtest::MakeXlsx(book, s.cells);
    return ImportGroupPricePlan(Conn(group).c_str(), "B1", book.c_str(), error) != 0;
  }
  // A fresh database of the edition with the reference rows only.
  std::string Fresh(Edition edition) {
    std::string path = dir.File(edition == Edition::Store ? "fresh-store.db" : "fresh-group.db");
    sxtest::CreateDatabase(path, edition);
    sxtest::SqlExec(path, edition == Edition::Store ? kStoreReference : kGroupReference);
    return path;
  }
};

// The cells of a workbook's rows from `first` on, as "row:column=text".
Texts CellsFrom(const std::string& file, int first, int last = 1000) {
  Texts seen;
  for (const auto& c : sxtest::ReadXlsx(file))
    if (c.row >= first && c.row <= last)
      seen.push_back(std::to_string(c.row) + ":" + std::to_string(c.column) + "=" + c.value);
  return seen;
}

const char* kStorePlans = "select * from TimePlan order by PlanCode";
const char* kStoreConfines = "select * from TimePlanConfine order by PlanCode,MealSectionCode,TimeID";
const char* kStorePrices = "select * from PricePlan order by PlanCode,MenuItemCode,NewPrice";

}  // namespace

// ---- Export -------------------------------------------------------------------------

TEST_P(PricePlanTest, StoreExportWritesOneRowPerConfinementAndOnlyPositivePrices) {
  sxtest::SqlExec(store, R"(
    INSERT INTO TimePlan VALUES (1,'午市特价','P01',1,'2024-03-01','2024-12-31',1,2,1,31,1),
      (2,'下午茶',NULL,0,'2024-04-06 00:00:00','1899-12-30',0,3,1,8,2),
      (3,'无班次',NULL,1,'2024-05-01','1899-12-30',0,1,1,-1,1);
    INSERT INTO TimePlanConfine VALUES (1,0,NULL), (1,1,NULL), (1,2,NULL), (2,NULL,1), (2,NULL,7), (3,NULL,NULL);
    INSERT INTO PricePlan VALUES (1,'02008',18,0,-1,0,0,0), (1,'99999',5,0,0,0,0,0), (2,'02005',0,30.5,0,0,0,4);
  )");
  sxtest::HostCapture host;
  ASSERT_EQ(ExportPricePlan(Conn(store).c_str(), error), 1) << error;
  ASSERT_EQ(host.workbooks.size(), 1u);
  const std::string& file = host.workbooks[0];
  EXPECT_EQ(CellsFrom(file, 1, 1), (Texts{"1:0=timeplan", "1:2=优惠计划清单", "1:3=2.5.2011.1N"}));
  EXPECT_EQ(CellsFrom(file, 2, 2).size(), 17u);  // all captions, also those of the group sheet
  EXPECT_EQ(CellsFrom(file, 3),
            (Texts{"3:1=1", "3:2=午市特价", "3:5=P01", "3:6=1", "3:7=2024-03-01", "3:8=2024-12-31", "3:9=2",
                   "3:10=1", "3:11=31", "3:12=1", "3:13=早餐",  // shift code 0 is a shift
                   "4:13=午餐", "5:13=晚餐",
                   "6:1=2", "6:2=下午茶", "6:6=0", "6:7=2024-04-06", "6:8=无", "6:9=3", "6:10=1", "6:11=8",
                   "6:12=2", "6:14=17:00-21:00",
                   // row 7: a deleted time section leaves its row empty
                   "8:1=3", "8:2=无班次", "8:6=1", "8:7=2024-05-01", "8:8=无", "8:9=1", "8:10=1", "8:11=-1",
                   "8:12=1",  // no confinement (NULL) is not shift 0
                   "10:0=priceplan",
                   "11:1=计划代码(整数)", "11:2=菜品代码", "11:3=菜品名称", "11:4=规格1", "11:5=价格1", "11:6=规格2",
                   "11:7=价格2", "11:8=规格3", "11:9=价格3", "11:10=规格4", "11:11=价格4", "11:12=规格5",
                   "11:13=价格5", "11:14=限量(空白或0表示不限)",
                   // a negative price is not shown; the line of a removed dish is left out
                   "12:1=1", "12:2=02008", "12:3=北京烤鸭", "12:4=半只", "12:5=18", "12:6=整只", "12:8=套餐",
                   "13:1=2", "13:2=02005", "13:3=水煮牛肉", "13:4=小份", "13:6=大份", "13:7=30.5", "13:14=4"}));
}

// ---- Round trips ---------------------------------------------------------------------

TEST_P(PricePlanTest, StoreRoundTripGivesTheSameRows) {
  sxtest::SqlExec(store, R"(
    INSERT INTO TimePlan VALUES (1,'午市特价','P01',1,'2024-03-01','2024-12-31',1,2,2,31,1),
      (2,'下午茶',NULL,0,'2024-04-06','1899-12-30',0,3,1,8,2), (10,'全天',NULL,1,'2024-05-01','1899-12-30',0,1,1,-1,0);
    INSERT INTO TimePlanConfine VALUES (1,0,NULL), (1,2,NULL), (2,NULL,0), (2,NULL,1);
    INSERT INTO PricePlan VALUES (1,'02008',18,0,0,0,0,0), (1,'02001',9.5,0,0,0,0,3),
      (2,'02005',0,30.5,0,0,0,4), (10,'02001',1,0,0,0,0,0), (10,'02001',2,0,0,0,0,0);
  )");
  sxtest::HostCapture host;
  ASSERT_EQ(ExportPricePlan(Conn(store).c_str(), error), 1) << error;
  std::string target = Fresh(Edition::Store);
  ASSERT_EQ(ImportPricePlan(Conn(target).c_str(), host.workbooks.at(0).c_str(), error), 1) << error;
  EXPECT_TRUE(host.Texts(1).empty()) << host.Texts(1)[0];
  for (const char* sql : {kStorePlans, kStoreConfines, kStorePrices})
    EXPECT_EQ(sxtest::SqlRows(target, sql), sxtest::SqlRows(store, sql)) << sql;
}

TEST_P(PricePlanTest, GroupRoundTripReadsTheRepeatedRowsBackOnce) {
  const std::string zones = "[华东区]\r\n    西湖店\r\n    人民广场店\r\n[华南区]\r\n    天河店";
  sxtest::SqlExec(group, R"(
    INSERT INTO Group_TimePlan VALUES ('B1',1,'晚市','Dinner','','P9',1,'2024-03-01','1899-12-30',0,2,1,96,2,0,')" +
                             zones + R"('),
      ('B1',2,'全店',NULL,NULL,NULL,1,'2024-03-01','2024-06-30',1,1,1,-1,1,1,NULL),
      ('B2',1,'别的品牌',NULL,NULL,NULL,1,'2024-03-01','1899-12-30',0,1,1,-1,0,1,NULL);
    INSERT INTO Group_TimePlanConfine VALUES ('B1',1,NULL,0), ('B1',1,NULL,1), ('B1',2,0,NULL), ('B2',1,NULL,0);
    INSERT INTO Group_TimePlanHotelID VALUES ('B1',1,'H1'), ('B1',1,'H2'), ('B1',1,'H3'), ('B1',2,'H2'), ('B2',1,'H9');
    INSERT INTO Group_PricePlan VALUES ('B1',1,'02001',20,0,0,0,0,0), ('B1',2,'02005',0,60,0,0,0,0),
      ('B2',1,'02001',1,0,0,0,0,0);
  )");
  sxtest::HostCapture host;
  ASSERT_EQ(ExportGroupPricePlan(Conn(group).c_str(), "B1", error), 1) << error;
  const std::string& file = host.workbooks.at(0);
  // Two time sections by three branches: six rows for plan 1, then plan 2.
  std::map<int, std::map<int, std::string>> rows;
  for (const auto& c : sxtest::ReadXlsx(file)) rows[c.row][c.column] = c.value;
  std::multiset<std::string> pairs;
  for (int r = 3; r <= 8; ++r) pairs.insert(rows[r][14] + " " + rows[r][16] + " " + rows[r][17]);
  EXPECT_EQ(pairs, (std::multiset<std::string>{"11:00-14:00 H1 天河店", "11:00-14:00 H2 西湖店",
                                                "11:00-14:00 H3 人民广场店", "17:00-21:00 H1 天河店",
                                                "17:00-21:00 H2 西湖店", "17:00-21:00 H3 人民广场店"}));
  EXPECT_EQ(rows[3][1], "1");
  EXPECT_EQ(rows[4].count(1) + rows[4].count(2), 0u);
  EXPECT_EQ(rows[9], (std::map<int, std::string>{{1, "2"}, {2, "全店"}, {6, "1"}, {7, "2024-03-01"}, {8, "2024-06-30"},
                                                 {9, "1"}, {10, "1"}, {11, "-1"}, {12, "1"}, {13, "早餐"},
                                                 {15, "1"}, {16, "H2"}, {17, "西湖店"}}));
  EXPECT_EQ(CellsFrom(file, 1, 1), (Texts{"1:0=timeplan", "1:1=B1", "1:2=优惠计划清单", "1:3=2.5.2011.1G"}));

  std::string target = Fresh(Edition::Group);
  sxtest::SqlExec(target, "INSERT INTO Group_TimePlan(BrandID,PlanCode,PlanName) VALUES ('B2',1,'别的品牌')");
  ASSERT_EQ(ImportGroupPricePlan(Conn(target).c_str(), "B1", file.c_str(), error), 1) << error;
  EXPECT_TRUE(host.Texts(1).empty()) << host.Texts(1)[0];
  for (const char* table : {"Group_TimePlan", "Group_TimePlanConfine", "Group_TimePlanHotelID", "Group_PricePlan"}) {
    std::string sql = std::string("select * from ") + table + " where BrandID='B1' order by 1,2,3";
    EXPECT_EQ(sxtest::SqlRows(target, sql), sxtest::SqlRows(group, sql)) << table;
  }
  EXPECT_EQ(sxtest::SqlRows(target, "select PlanCode,ZoneInfo is null from Group_TimePlan where BrandID='B1'"),
            (Rows{{"1", "0"}, {"2", "1"}}));  // all branches: no zone info
  EXPECT_EQ(sxtest::SqlColumn(target, "select count(*) from Group_TimePlan where BrandID='B2'"), Texts{"1"});
  EXPECT_EQ(sxtest::SqlColumn(target, "select length(PriceSchemaVersion) from Group_DownloadVersion where BrandID='B1'"),
            Texts{"19"});
}

// ---- Reading checks -------------------------------------------------------------------

TEST_P(PricePlanTest, TimePlanRowChecks) {
  struct Case {
    std::string code;
    std::map<int, std::string> cells;
    std::string error;  // empty: accepted
  };
  const std::vector<Case> cases = {
      {"x1", {}, "\"x1 计划x1\"优惠计划的代码不是整数!"},
      {"2", {{2, ""}}, "2优惠计划没有指定名称!"},
      {"3", {{7, ""}}, "\"3 计划3\"优惠计划没有指定计划起始日期!"},
      {"4", {{7, "2024-02-30"}}, "\"4 计划4\"优惠计划的计划起始日期无效，格式YYYY-MM-DD!"},
      {"5", {{8, "明年"}}, "\"5 计划5\"优惠计划的计划结束日期无效，格式YYYY-MM-DD!"},
      {"6", {{9, ""}}, "\"6 计划6\"优惠计划的计划类型需要设置!"},
      {"7", {{9, "周"}}, "\"7 计划7\"优惠计划的计划类型不是1-3的整数!"},
      {"8", {{9, "4"}}, "\"8 计划8\"优惠计划的计划类型无效!"},
      {"9", {{9, "2"}}, "\"9 计划9\"优惠计划的周几/月中几号没有设置!"},
      {"10", {{12, "全天"}}, "\"10 计划10\"优惠计划的可用范围不是0-2的整数!"},
      {"11", {{12, "3"}}, "\"11 计划11\"优惠计划的可用范围无效!"},
      {"12", {{12, "1"}}, "可用班次\"\"没有找到!"},
      {"13", {{12, "1"}, {13, "宵夜"}}, "可用班次\"宵夜\"没有找到!"},
      {"14", {{12, "2"}}, "没有找到时间段:"},
      {"15", {{12, "2"}, {14, "11:00"}}, "没有找到时间段:11:00"},
      {"16", {{12, "2"}, {14, "11:00-15:00"}}, "没有找到时间段:11:00-15:00"},
      {"21", {{11, "不读"}, {8, "无"}}, ""},              // daily: weekday column ignored
      {"22", {{9, "2"}, {11, "96"}, {8, "2024-12-31"}}, ""},
      {"23", {{12, "1"}, {13, "早餐"}}, ""},                // shift code 0
      {"24", {{12, "2"}, {14, " 17:00 - 21:00 "}}, ""},    // blanks around the times
      {"25", {{6, "是"}, {12, ""}}, ""},
  };
  Sheet s;
  int row = 3;
  for (const auto& c : cases) s.Plan(row++, c.code, c.cells);
  s.Prices(row + 1);
  row += 3;
  for (const auto& c : cases) s.Put(row++, {{1, c.code}, {2, "02001"}, {5, "1"}});
  sxtest::HostCapture host;
  ASSERT_TRUE(ImportStore(s)) << error;

  Texts expected;
  for (std::size_t i = 0; i < cases.size(); ++i)
    if (!cases[i].error.empty()) expected.push_back(Error("第" + std::to_string(3 + i) + "行:" + cases[i].error));
  Texts errors = host.Texts(1);
  ASSERT_GE(errors.size(), expected.size());
  EXPECT_EQ(Texts(errors.begin(), errors.begin() + expected.size()), expected);
  // The price rows of the rejected plans find no plan.
  EXPECT_EQ(errors.size(), expected.size() * 2);
  EXPECT_EQ(sxtest::SqlRows(store, "select PlanCode,PlanUseTag,PlanStartDate,PlanEndDate,PlanEndTag,PlanType,"
                                   "EveryDetail,DayControlType from TimePlan order by PlanCode"),
            (Rows{{"21", "0", "2024-03-01", "1899-12-30", "0", "1", "-1", "0"},
                  {"22", "0", "2024-03-01", "2024-12-31", "1", "2", "96", "0"},
                  {"23", "0", "2024-03-01", "1899-12-30", "0", "1", "-1", "1"},
                  {"24", "0", "2024-03-01", "1899-12-30", "0", "1", "-1", "2"},
                  {"25", "1", "2024-03-01", "1899-12-30", "0", "1", "-1", "0"}}));
  EXPECT_EQ(sxtest::SqlRows(store, kStoreConfines), (Rows{{"23", "0", ""}, {"24", "", "1"}}));
}

TEST_P(PricePlanTest, PriceRowChecksAndTheLinesThatPass) {
  sxtest::SqlExec(store, "INSERT INTO TimePlan(PlanCode,PlanName) VALUES (8,'库里的计划')");
  Sheet s;
  s.Plan(3, "7", {{2, "周末"}});
  s.Plan(4, "007", {{2, "零零七"}});  // not the same code text: a plan of its own
  s.Prices(6);
  s.Put(8, {{1, "8"}, {2, "02001"}, {5, "1"}});                    // only in the database
  s.Put(9, {{1, "7"}, {5, "1"}, {3, "无编号"}});                     // column 2 empty
  s.Put(10, {{2, "99999"}, {5, "1"}});                               // carries 7
  s.Put(11, {{2, "02001"}, {3, "宫保鸡丁"}, {9, "-1"}});
  s.Put(12, {{2, "02001"}, {3, "宫保鸡丁"}, {11, "九元"}});
  s.Put(13, {{2, "02005"}, {5, "0"}, {7, "25.5"}, {14, "-3"}});     // 0 and a negative limit pass
  s.Put(14, {{2, "02005"}, {5, "0"}, {7, "25.5"}, {14, "-3"}});     // a duplicate line is kept
  s.Put(15, {{1, "a"}, {2, "02001"}});
  s.Put(16, {{1, "007"}, {2, "02001"}, {5, "3"}});                   // "007" finds no plan
  s.Put(17, {{1, "7"}, {2, "02001"}, {13, "5"}});
  sxtest::HostCapture host;
  ASSERT_TRUE(ImportStore(s)) << error;
  EXPECT_EQ(host.Texts(1), (Texts{
                               Error("第8行:\"8\"优惠计划没有找到!"),
                               Error("第9行:\"7 周末\"优惠计划没有指定菜品编号!"),
                               Error("第10行:\"7 周末\"优惠计划中没有找到编号为\"99999\"的菜品!"),
                               Error("第11行:\"7 周末\"优惠计划中菜品02001 宫保鸡丁的价格3不能小于0!"),
                               Error("第12行:\"7 周末\"优惠计划中菜品02001 宫保鸡丁的价格4不是有效数值!"),
                               Error("第15行:\"a\"优惠计划的代码不是整数!"),
                               Error("第16行:\"007\"优惠计划没有找到!"),
                               Error("该优惠计划没有内容!"),  // the plan read from "007"
                           }));
  EXPECT_EQ(sxtest::SqlRows(store, kStorePrices),
            (Rows{{"7", "02001", "0.0", "0.0", "0.0", "0.0", "5.0", "0.0"},
                  {"7", "02005", "0.0", "25.5", "0.0", "0.0", "0.0", "-3.0"},
                  {"7", "02005", "0.0", "25.5", "0.0", "0.0", "0.0", "-3.0"}}));
  EXPECT_EQ(sxtest::SqlRows(store, "select PlanCode,PlanName from TimePlan order by 1"),
            (Rows{{"7", "周末"}, {"8", "库里的计划"}}));
}

TEST_P(PricePlanTest, ContinuationRowsAddEachConfinementAndBranchOnce) {
  Sheet s;
  s.Plan(3, "1", {{12, "1"}, {13, "午餐"}, {15, "0"}, {16, "h2"}});
  s.Put(4, {{13, "早餐"}, {16, "H1"}});
  s.Put(5, {{13, "午餐"}, {16, "H2"}});                 // both known already
  s.Put(6, {{13, "宵夜"}, {16, "H3"}});                 // fails whole: H3 not added
  s.Put(7, {{14, "11:00-14:00"}, {16, "H9"}});         // another brand's branch
  s.Put(8, {{2, "别的名字"}, {12, "2"}, {16, "H3"}});    // plan columns of a further row are ignored
  s.Plan(9, "2", {{15, "是"}, {16, "H1"}});
  s.Prices(11);
  s.Put(13, {{1, "1"}, {2, "02001"}, {5, "8"}});
  s.Put(14, {{1, "2"}, {2, "02001"}, {5, "9"}});
  sxtest::HostCapture host;
  ASSERT_TRUE(ImportGroup(s)) << error;
  EXPECT_EQ(host.Texts(1), (Texts{Error("第6行:可用班次\"宵夜\"没有找到!"),
                                   Error("第7行:在品牌B1中，没有找到分店:H9")}));
  EXPECT_EQ(sxtest::SqlRows(group, "select PlanCode,MealSectionCode,TimeID from Group_TimePlanConfine order by rowid"),
            (Rows{{"1", "1", ""}, {"1", "0", ""}}));
  EXPECT_EQ(sxtest::SqlRows(group, "select PlanCode,HotelID from Group_TimePlanHotelID order by rowid"),
            (Rows{{"1", "h2"}, {"1", "H1"}, {"1", "H3"}, {"2", "H1"}}));
  EXPECT_EQ(sxtest::SqlRows(group, "select PlanCode,PlanName,DayControlType,AllShare,ZoneInfo from Group_TimePlan"),
            (Rows{{"1", "计划1", "1", "0", "[华东区]\r\n    西湖店\r\n    人民广场店\r\n[华南区]\r\n    天河店"},
                  {"2", "计划2", "0", "1", ""}}));
}

// ---- What is written, and what is not -----------------------------------------------

TEST_P(PricePlanTest, APlanWithoutPriceLinesKeepsItsOldVersion) {
  sxtest::SqlExec(store, "INSERT INTO TimePlan(PlanCode,PlanName) VALUES (1,'旧的'); "
                         "INSERT INTO PricePlan(PlanCode,MenuItemCode,NewPrice) VALUES (1,'02001',5)");
  Sheet s;
  s.Plan(3, "1", {{2, "新的"}});
  s.Prices(5);
  s.Put(7, {{1, "1"}, {2, "nope"}, {5, "1"}});
  sxtest::HostCapture host;
  ASSERT_TRUE(ImportStore(s)) << error;
  EXPECT_EQ(host.Texts(0), (Texts{"开始从" + book + "导入优惠计划...", "正在导入优惠计划\"新的\"...", "完毕!"}));
  EXPECT_EQ(host.Texts(1).back(), Error("该优惠计划没有内容!"));
  EXPECT_EQ(sxtest::SqlRows(store, "select PlanName from TimePlan"), Rows{{"旧的"}});
  EXPECT_EQ(sxtest::SqlColumn(store, "select count(*) from PricePlan"), Texts{"1"});
}

TEST_P(PricePlanTest, UnconvertibleEveryOfOrLimitEndsTheImportBeforeAnyWrite) {
  struct Case {
    int column;  // 10 on the plan row, 14 on the price row
    std::string text;
    std::string message;
  };
  for (const Case& c : {Case{10, "每周", "第4行:'每周' is not a valid integer value"},
                        Case{10, "", "第4行:'' is not a valid integer value"},
                        Case{14, "十份", "第9行:'十份' is not a valid floating point value"}}) {
    Sheet s;
    s.Plan(3, "1");
    s.Plan(4, "2", c.column == 10 ? std::map<int, std::string>{{10, c.text}} : std::map<int, std::string>{});
    s.Prices(6);
    s.Put(8, {{1, "1"}, {2, "02001"}, {5, "1"}});
    s.Put(9, {{1, "2"}, {2, "02001"}, {5, "1"}, {14, c.column == 14 ? c.text : ""}});
    sxtest::HostCapture host;
    EXPECT_FALSE(ImportStore(s)) << c.text;
    EXPECT_EQ(std::string(error), c.message);
    EXPECT_EQ(host.Texts(0).back(), "完毕!");
    EXPECT_EQ(sxtest::SqlColumn(store, "select count(*) from TimePlan"), Texts{"0"});
  }
}

TEST_P(PricePlanTest, CentrallyControlledStoreRefusesTheImport) {
  sxtest::SqlExec(store, "INSERT INTO Group_Brand(BrandID,ControlPriceSchema) VALUES ('B1',1)");
  Sheet s;
  s.Plan(3, "1");
  sxtest::HostCapture host;
  EXPECT_FALSE(ImportStore(s));
  EXPECT_EQ(std::string(error), "价格优惠计划由集团统一下发,不能在门店导入!");
  EXPECT_TRUE(host.lines.empty());
}

TEST_P(PricePlanTest, ImportsAWorkbookSavedByLibreOfficeWithDateCells) {
  // Typed in LibreOffice Calc: codes and prices as numbers, start dates as
  // date cells, one end date as a date-time cell (see the .fods beside it).
  std::string file = std::string(SETUPXFER_SOURCE_DIR) + "/tests/fixtures/priceplan-libreoffice.xlsx";
  sxtest::HostCapture host;
  ASSERT_EQ(ImportPricePlan(Conn(store).c_str(), file.c_str(), error), 1) << error;
  EXPECT_TRUE(host.Texts(1).empty()) << host.Texts(1)[0];
  EXPECT_EQ(sxtest::SqlRows(store, kStorePlans),
            (Rows{{"1", "工作日午市", "", "1", "2024-03-01", "2024-12-31", "1", "2", "1", "31", "1"},
                  {"2", "下午茶", "", "0", "2024-04-06", "1899-12-30", "0", "1", "1", "-1", "2"}}));
  EXPECT_EQ(sxtest::SqlRows(store, kStoreConfines), (Rows{{"1", "1", ""}, {"1", "2", ""}, {"2", "", "0"}}));
  EXPECT_EQ(sxtest::SqlRows(store, kStorePrices),
            (Rows{{"1", "02001", "28.5", "0.0", "0.0", "0.0", "0.0", "0.0"},
                  {"2", "02005", "0.0", "68.0", "0.0", "0.0", "0.0", "3.0"}}));
}

INSTANTIATE_TEST_SUITE_P(Engines, PricePlanTest, ::testing::Values(sxtest::Engine::Native, sxtest::Engine::Odbc),
                         [](const auto& info) { return sxtest::EngineName(info.param); });
