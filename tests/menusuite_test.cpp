// Set meals through the exported functions, as a host calls them: workbooks
// made and read with openpyxl, on the native engine and through ODBC.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "setupxfer.h"
#include "support/OdbcSupport.h"
#include "support/TestSupport.h"

extern const char* const setupxfer_sql_sample_store;
extern const char* const setupxfer_sql_sample_group;

using sxtest::Cell;
using sxtest::Edition;
using Rows = std::vector<std::vector<std::string>>;

namespace {

const std::string kCodeCaption = "套餐编号";

// The sample data of `init-db --sample`, for brand 01.
std::string SampleSql(Edition edition) {
  if (edition == Edition::Store) return setupxfer_sql_sample_store;
  std::string sql = setupxfer_sql_sample_group;
  for (std::size_t at; (at = sql.find("{BRAND}")) != std::string::npos;) sql.replace(at, 7, "'01'");
  return sql;
}

// Dishes the samples lack: one without a standard, one with a Latin one; a
// second time section.
const char* kStoreExtras = R"(
  INSERT INTO MenuItem(MenuItemCode,MenuItemCName,MenuTypeCode,Standard,Standard2,DishStatus,Deleted) VALUES
    ('09001','白开水','06',NULL,NULL,1,0), ('CK001','可乐','06','Can','Bottle',1,0);
  INSERT INTO TimeSection(TimeID,StartTime,EndTime) VALUES (22,'08:00','10:30');)";

// Set meal tables as compared after a round trip; empty texts and NULL alike.
const char* kStoreSuites =
    "select MenuSuiteNo,MenuSuiteName,ConfineMenuSuite,PlanType,EveryOf,EveryDetail,PlanStartDate,"
    "PlanEndDate,PlanEndTag,DayControlType,MealSectionCode,TimeID,UsePlan,ifnull(SuiteBarCode,''),"
    "ifnull(PromID,''),QuickUse,PrintTogether,ifnull(MenuSuiteAlias,''),SaleOutByHand from MenuSuite order by 1";
const char* kStoreItems =
    "select MenuSuiteNo,MenuItemCode,MenuItemPrice,Qty,Standard,Selected,GroupID,GroupName "
    "from MenuSuiteSub order by 1,2,3";
const char* kGroupSuites =
    "select BrandID,msCode,msName,ConfineMenuSuite,PlanType,EveryOf,EveryDetail,PlanStartDate,PlanEndDate,"
    "PlanEndTag,DayControlType,MealSectionCode,TimeID,UsePlan,ifnull(SuiteBarCode,''),ifnull(PromID,''),"
    "QuickUse,PrintTogether,ifnull(MenuSuiteAlias,''),AllShare,ifnull(ZoneInfo,'<null>') "
    "from Group_MenuSuite order by 1,2";
const char* kGroupItems =
    "select BrandID,msCode,ItemCode,ItemPrice,Qty,Standard,Selected,GroupID,GroupName "
    "from Group_MenuSuiteSub order by 1,2,3,4";
const char* kGroupHotels = "select BrandID,msCode,HotelID from Group_MenuSuiteHotelID order by 1,2,3";

// A set meal sheet: row 1 the set meal marker, row 2 its header.
struct Sheet {
  std::vector<Cell> cells{{1, 0, "menusuite"}, {1, 2, "套餐清单"}, {2, 1, kCodeCaption}};
  void Put(int row, const std::map<int, std::string>& values) {
    for (const auto& [c, t] : values) cells.push_back({row, c, t});
  }
  // A later section's marker and header rows.
  void Section(int row, const std::string& key) {
    Put(row, {{0, key}});
    Put(row + 1, {{1, kCodeCaption}});
  }
  // A set meal with a plan: start, end, type, every-of, every-detail, day control, shift, time.
  void Plan(int row, const std::string& code, std::vector<std::string> plan) {
    std::map<int, std::string> v{{1, code}, {2, "套餐" + code}, {9, "1"}};
    for (std::size_t i = 0; i < plan.size(); ++i) v[10 + static_cast<int>(i)] = plan[i];
    Put(row, v);
  }
  // A dish row: set meal code, group ID, group name, dish, standard, quantity.
  void Dish(int row, const std::string& code, const std::string& groupId, const std::string& groupName,
            const std::string& dish, const std::string& standard, const std::string& qty = "1") {
    Put(row, {{1, code}, {2, groupId}, {3, groupName}, {4, dish}, {5, "菜名"}, {6, standard}, {7, "10"},
              {8, qty}, {9, "1"}});
  }
};

std::string Error(const std::string& text) { return "错误:" + text; }

using CellMap = std::map<std::pair<int, int>, std::string>;
CellMap Cells(const std::string& path) {
  CellMap cells;
  for (const auto& c : sxtest::ReadXlsx(path)) cells[{c.row, c.column}] = c.value;
  return cells;
}
std::string At(const CellMap& cells, int row, int column) {
  auto it = cells.find({row, column});
  return it == cells.end() ? "" : it->second;
}
// The cells of one row from column 1 on, up to the last one written.
std::vector<std::string> RowOf(const CellMap& cells, int row, int lastColumn) {
  std::vector<std::string> out;
  for (int c = 1; c <= lastColumn; ++c) out.push_back(At(cells, row, c));
  return out;
}

// Every case runs on the native engine and through the SQLite ODBC driver.
struct MenuSuiteTest : ::testing::TestWithParam<sxtest::Engine> {
  sxtest::TempDir dir;
  std::string store = dir.File("store.db");
  std::string group = dir.File("group.db");
  std::string book = dir.File("suite.xlsx");
  std::string message;

  void SetUp() override {
    if (GetParam() == sxtest::Engine::Odbc && !sxtest::RegisterOdbcDrivers())
      GTEST_SKIP() << "no SQLite ODBC driver";
    // Sample dishes, shifts, time sections and branches; no set meals.
    sxtest::CreateDatabase(store, Edition::Store);
    sxtest::SqlExec(store, SampleSql(Edition::Store) + kStoreExtras + "DELETE FROM MenuSuite; DELETE FROM MenuSuiteSub;");
    sxtest::CreateDatabase(group, Edition::Group);
    sxtest::SqlExec(group, SampleSql(Edition::Group) +
                               "DELETE FROM Group_MenuSuite; DELETE FROM Group_MenuSuiteSub; "
                               "DELETE FROM Group_MenuSuiteHotelID;");
  }
  std::string Conn(const std::string& path) const { return sxtest::ConnectionStringFor(GetParam(), path); }

  bool Import(const Sheet& sheet, const std::string& brand = "") {
    sxtest::MakeXlsx(book, sheet.cells);
    char buffer[256] = {};
    bool ok = brand.empty() ? ImportMenuSuite(Conn(store).c_str(), book.c_str(), buffer) != 0
                            : ImportGroupMenuSuite(Conn(group).c_str(), brand.c_str(), book.c_str(), buffer) != 0;
    message = buffer;
    return ok;
  }
  // Exports and returns the workbook's cells, keeping a copy as `book`.
  CellMap Export(const std::string& brand = "") {
    sxtest::HostCapture host;
    char buffer[256] = {};
    bool ok = brand.empty() ? ExportMenuSuite(Conn(store).c_str(), buffer) != 0
                            : ExportGroupMenuSuite(Conn(group).c_str(), brand.c_str(), buffer) != 0;
    EXPECT_TRUE(ok) << buffer;
    if (host.workbooks.size() != 1) return {};
    std::filesystem::copy_file(host.workbooks[0], book, std::filesystem::copy_options::overwrite_existing);
    return Cells(book);
  }
};

}  // namespace

// ---- Reading: checks, carry-over, whole set meals -------------------------------

TEST_P(MenuSuiteTest, SetMealRowsAreCheckedInOrderAndPlansStoredOnlyWhenInUse) {
  sxtest::HostCapture host;
  Sheet s;
  s.Put(3, {{1, "A1"}, {9, "1"}});
  s.Plan(4, "A2", {});
  s.Plan(5, "A3", {"2024-13-01"});
  s.Plan(6, "A4", {"2024-01-01", "明天"});
  s.Plan(7, "A5", {"2024-01-01", "无"});
  s.Plan(8, "A6", {"2024-01-01", "", "x"});
  s.Plan(9, "A7", {"2024-01-01", "", "4"});
  s.Plan(10, "A8", {"2024-01-01", "", "2", "1", ""});
  s.Plan(11, "A9", {"2024-01-01", "", "1", "1", "", "x"});
  s.Plan(12, "B1", {"2024-01-01", "", "1", "1", "", "3"});
  s.Plan(13, "B2", {"2024-01-01", "", "1", "1", "", "1", "夜宵"});  // stopped
  s.Plan(14, "B3", {"2024-01-01", "", "1", "1", "", "2", "", "8:00-10:30"});
  s.Plan(15, "B4", {"2024-01-01", "", "1", "1", "", "2", "", "08:00"});
  // Accepted: no plan (its plan cells ignored), daily, weekly by shift, by time section.
  s.Put(16, {{1, "B5"}, {2, "无计划"}, {3, "别名"}, {4, "是"}, {5, "2"}, {6, "1"}, {7, "690"}, {8, "P1"},
             {10, "垃圾"}, {12, "9"}, {13, "x"}, {15, "7"}});
  s.Plan(17, "B6", {"2024-01-01", "无", "1", "1", "", ""});
  s.Plan(18, "B7", {"2024-3-1", "2024-12-31", "2", "2", "96", "1", "午餐"});
  s.Plan(19, "B8", {"2024-01-01", "", "3", "1", "15", "2", "", " 08:00 - 10:30 "});
  ASSERT_TRUE(Import(s)) << message;
  EXPECT_EQ(host.Texts(1), (std::vector<std::string>{
                               Error("第3行:A1套餐没有指定套餐名称!"),
                               Error("第4行:A2套餐没有指定计划起始日期!"),
                               Error("第5行:A3套餐的计划起始日期无效，格式YYYY-MM-DD!"),
                               Error("第6行:A4套餐的计划结束日期无效，格式YYYY-MM-DD!"),
                               Error("第7行:A5套餐的计划类型需要设置!"),
                               Error("第8行:A6套餐的计划类型不是1-3的整数!"),
                               Error("第9行:A7套餐的计划类型无效!"),
                               Error("第10行:A8套餐的周几/月中几号没有设置!"),
                               Error("第11行:A9套餐的可用范围不是0-2的整数!"),
                               Error("第12行:B1套餐的可用范围无效!"),
                               Error("第13行:没有找到班次:夜宵"),
                               Error("第14行:没有找到时间段:8:00-10:30"),
                               Error("第15行:没有找到时间段:08:00"),
                           }));
  EXPECT_EQ(sxtest::SqlRows(store, kStoreSuites),
            (Rows{{"B5", "无计划", "1", "", "", "", "", "", "", "", "", "", "0", "690", "P1", "1", "0", "别名", "0"},
                  {"B6", "套餐B6", "0", "1", "1", "-1", "2024-01-01", "", "0", "0", "", "", "1", "", "", "0", "0", "", "0"},
                  {"B7", "套餐B7", "0", "2", "2", "96", "2024-03-01", "2024-12-31", "1", "1", "1", "", "1", "", "", "0",
                   "0", "", "0"},
                  {"B8", "套餐B8", "0", "3", "1", "15", "2024-01-01", "", "0", "2", "", "22", "1", "", "", "0", "0", "",
                   "0"}}));
  EXPECT_EQ(host.Texts(0).front(), "开始从" + book + "导入套餐...");
  EXPECT_EQ(host.Texts(0)[1], "正在导入套餐B5 无计划...");
  EXPECT_EQ(host.Texts(0).back(), "完毕!");
}

TEST_P(MenuSuiteTest, DishRowsCarryCodeAndGroupAndAFaultyDishDropsItsWholeSetMeal) {
  sxtest::HostCapture host;
  Sheet s;
  for (int r = 3; r <= 6; ++r) s.Put(r, {{1, "S" + std::to_string(r - 2)}, {2, "套餐"}});
  s.Section(8, "menusuiteitem");
  s.Dish(10, "S1", "1", "热菜", "02001", "例");
  s.Dish(11, "", "", "", "99999", "例");   // unknown dish: S1 goes
  s.Dish(12, "", "", "", "02002", "例");   // S1 is gone
  s.Dish(13, "S2", "", "", "02002", "例");  // group 1 热菜 carried across set meals
  s.Dish(14, "", "2", "", "01003", "整只");  // a second standard; group 2 without a name
  s.Dish(15, "", "", "", "ck001", "Can");   // dish code letter case aside, carries group 2
  s.Dish(16, "", "3", "饮料", "06003", "罐", "0");  // no quantity: only this row goes
  s.Dish(17, "", "", "", "06003", "罐", "x");
  s.Put(18, {{4, "05002"}, {6, "碗"}, {7, "abc"}, {8, "1.5"}, {9, "是"}});  // price not a number: 0
  s.Dish(19, "S3", "1", "饮料", "CK001", "can");  // standards compare exactly: S3 goes
  s.Dish(20, "S4", "1", "饮料", "09001", "");    // a dish without a standard
  s.Dish(21, "", "", "", "02001", "");           // its standard is 例: S4 goes
  s.Dish(22, "s2", "1", "x", "02001", "例");     // set meal codes compare exactly
  ASSERT_TRUE(Import(s)) << message;
  EXPECT_EQ(host.Texts(1), (std::vector<std::string>{
                               Error("第11行:没有找到编号为\"99999\"的菜品!"),
                               Error("第12行:没有找到编号为\"S1\"的套餐!"),
                               Error("第16行:S2套餐的菜品06003 菜名没有指定数量!"),
                               Error("第17行:S2套餐的菜品06003 菜名没有指定数量!"),
                               Error("第19行:没有找到编号为\"CK001\",规格为\"can\"的菜品!"),
                               Error("第21行:没有找到编号为\"02001\",规格为\"\"的菜品!"),
                               Error("第22行:没有找到编号为\"s2\"的套餐!"),
                           }));
  EXPECT_EQ(sxtest::SqlColumn(store, "select MenuSuiteNo from MenuSuite order by 1"),
            (std::vector<std::string>{"S2"}));
  EXPECT_EQ(sxtest::SqlRows(store, "select MenuItemCode,MenuItemPrice,Qty,Standard,Selected,GroupID,"
                                   "ifnull(GroupName,'') from MenuSuiteSub order by rowid"),
            (Rows{{"02002", "10.0", "1.0", "例", "1", "1", "热菜"},
                  {"01003", "10.0", "1.0", "整只", "1", "2", ""},
                  {"ck001", "10.0", "1.0", "Can", "1", "2", ""},
                  {"05002", "0.0", "1.5", "碗", "1", "3", "饮料"}}));
}

TEST_P(MenuSuiteTest, RepeatedSetMealCodeIsRejectedAndTheFirstKeepsItsDishes) {
  sxtest::HostCapture host;
  Sheet s;
  s.Put(3, {{1, "A1"}, {2, "第一"}});
  s.Put(4, {{1, "A1"}, {2, "第二"}});
  s.Put(5, {{1, "a1"}});
  s.Section(7, "menusuiteitem");
  s.Dish(9, "A1", "1", "热菜", "02001", "例");
  ASSERT_TRUE(Import(s)) << message;
  EXPECT_EQ(host.Texts(1), (std::vector<std::string>{Error("第4行:套餐编号A1重复!"),
                                                     Error("第5行:套餐编号a1重复!")}));
  EXPECT_EQ(sxtest::SqlRows(store, "select MenuSuiteNo,MenuSuiteName from MenuSuite"), (Rows{{"A1", "第一"}}));
  EXPECT_EQ(sxtest::SqlColumn(store, "select MenuItemCode from MenuSuiteSub"), (std::vector<std::string>{"02001"}));
}

TEST_P(MenuSuiteTest, ImportReplacesEachSetMealInItsOwnTransaction) {
  sxtest::SqlExec(store, R"(
    INSERT INTO MenuSuite(MenuSuiteNo,MenuSuiteName,UsePlan) VALUES ('S1','旧',0), ('S9','别动',0);
    INSERT INTO MenuSuiteSub(MenuSuiteNo,MenuItemCode,Qty) VALUES ('S1','01001',1), ('S1','01002',1), ('S9','01001',1);)");
  sxtest::HostCapture host;
  Sheet s;
  s.Put(3, {{1, "S1"}, {2, "新"}});
  s.Put(4, {{1, "S10"}, {2, "编号太长"}});  // refused by the database: rolled back, logged
  s.Put(5, {{1, "S2"}, {2, "无菜"}});
  s.Section(7, "menusuiteitem");
  s.Dish(9, "S1", "1", "热菜", "02001", "例");
  s.Dish(10, "S10", "1", "热菜", "02001", "例");
  ASSERT_TRUE(Import(s)) << message;
  EXPECT_EQ(host.Texts(1).size(), 1u);
  EXPECT_EQ(sxtest::SqlRows(store, "select MenuSuiteNo,MenuSuiteName,SaleOutByHand from MenuSuite order by 1"),
            (Rows{{"S1", "新", "0"}, {"S2", "无菜", "0"}, {"S9", "别动", ""}}));
  EXPECT_EQ(sxtest::SqlRows(store, "select MenuSuiteNo,MenuItemCode from MenuSuiteSub order by 1,2"),
            (Rows{{"S1", "02001"}, {"S9", "01001"}}));
}

TEST_P(MenuSuiteTest, NonIntegerIntervalOfAPlanEndsTheImportBeforeAnyWrite) {
  sxtest::HostCapture host;
  Sheet s;
  s.Put(3, {{1, "S1"}, {2, "无计划"}, {13, "x"}});  // ignored without a plan
  s.Plan(4, "S2", {"2024-01-01", "", "1", "每周", "", "0"});
  EXPECT_FALSE(Import(s));
  EXPECT_NE(message.find("第4行"), std::string::npos) << message;
  EXPECT_NE(message.find("每周"), std::string::npos) << message;
  EXPECT_TRUE(sxtest::SqlRows(store, "select * from MenuSuite").empty());
  EXPECT_EQ(host.Texts(0).back(), "完毕!");
}

TEST_P(MenuSuiteTest, StoreImportRefusedWhileTheChainControlsSetMeals) {
  sxtest::SqlExec(store, "INSERT INTO Group_Brand(ControlMenuSuite) VALUES (1)");
  sxtest::HostCapture host;
  Sheet s;
  s.Put(3, {{1, "S1"}, {2, "套餐"}});
  EXPECT_FALSE(Import(s));
  EXPECT_EQ(message, "套餐由集团统一下发,不能在门店导入!");
  EXPECT_TRUE(host.lines.empty());
  EXPECT_TRUE(sxtest::SqlRows(store, "select * from MenuSuite").empty());
}

TEST_P(MenuSuiteTest, GroupBranchesAreCheckedAndListedByZone) {
  sxtest::SqlExec(group, R"(
    INSERT INTO Group_Hotel(HotelID,HotelName,BrandID,ZoneID,UseTag,HotelTag) VALUES
      ('SH09','停用店','01',11,0,1), ('SH08','仓库','01',11,1,2), ('BJ01','北京店','02',11,1,1);
    INSERT INTO Group_MenuSuite(BrandID,msCode,msName) VALUES ('01','G1','旧'), ('02','G1','别的品牌');
    INSERT INTO Group_MenuSuiteHotelID(BrandID,msCode,HotelID) VALUES ('01','G1','SH01'), ('02','G1','BJ01');)");
  sxtest::HostCapture host;
  Sheet s;
  s.Put(3, {{1, "G1"}, {2, "分店"}, {18, "0"}});
  s.Put(4, {{1, "G2"}, {2, "全部"}, {18, "1"}});
  s.Put(5, {{1, "G3"}, {2, "无分店"}});
  for (int r = 6; r <= 9; ++r) s.Put(r, {{1, "G" + std::to_string(r - 2)}, {2, "错"}});
  s.Section(11, "menusuitehotel");
  s.Put(13, {{1, "G1"}, {2, "GZ01"}});
  s.Put(14, {{2, "SH02"}});
  s.Put(15, {{2, "sh01"}});
  s.Put(16, {{1, "G2"}, {2, "SH01"}});
  s.Put(17, {{1, "G4"}, {3, "没有店号"}});
  s.Put(18, {{1, "G5"}, {2, "SH09"}});
  s.Put(19, {{1, "G6"}, {2, "SH08"}});
  s.Put(20, {{1, "G7"}, {2, "BJ01"}});
  ASSERT_TRUE(Import(s, "01")) << message;
  EXPECT_EQ(host.Texts(1), (std::vector<std::string>{
                               Error("第17行:套餐G4没有指定可用的店号!"),
                               Error("第18行:在品牌01中，没有找到分店:SH09"),
                               Error("第19行:在品牌01中，没有找到分店:SH08"),
                               Error("第20行:在品牌01中，没有找到分店:BJ01"),
                           }));
  EXPECT_EQ(sxtest::SqlRows(group, "select BrandID,msCode,msName,AllShare,ifnull(ZoneInfo,'<null>') "
                                   "from Group_MenuSuite order by 1,2"),
            (Rows{{"01", "G1", "分店", "0",
                   "[华东区]\r\n    上海徐汇店\r\n    上海静安店\r\n[华南区]\r\n    广州天河店"},
                  {"01", "G2", "全部", "1", "<null>"},
                  {"01", "G3", "无分店", "0", ""},
                  {"02", "G1", "别的品牌", "", "<null>"}}));
  EXPECT_EQ(sxtest::SqlRows(group, kGroupHotels),
            (Rows{{"01", "G1", "GZ01"}, {"01", "G1", "sh01"}, {"01", "G1", "SH02"}, {"01", "G2", "SH01"},
                  {"02", "G1", "BJ01"}}));
  EXPECT_EQ(sxtest::SqlColumn(group, "select count(*) from Group_DownloadVersion "
                                     "where BrandID='01' and MenuSuiteVersion is not null"),
            (std::vector<std::string>{"1"}));
}

TEST_P(MenuSuiteTest, ZoneQueryRunsOnlyForSetMealsWithBranches) {
  // Without the zone table the zone query fails: a set meal without branches
  // never runs it, one with branches ends the import.
  sxtest::SqlExec(group, "DROP TABLE Group_Zone");
  sxtest::HostCapture host;
  Sheet s;
  s.Put(3, {{1, "G1"}, {2, "无分店"}});
  s.Put(4, {{1, "G2"}, {2, "有分店"}});
  s.Section(6, "menusuitehotel");
  s.Put(8, {{1, "G2"}, {2, "SH01"}});
  EXPECT_FALSE(Import(s, "01"));
  EXPECT_NE(message.find("Group_Zone"), std::string::npos) << message;
  EXPECT_EQ(sxtest::SqlColumn(group, "select msCode from Group_MenuSuite"), (std::vector<std::string>{"G1"}));
}

// ---- Export and round trip -------------------------------------------------------

TEST_P(MenuSuiteTest, ExportWritesPlanCellsOnlyWhenInForceAndGroupsWhereTheyChange) {
  sxtest::SqlExec(store, R"(
    INSERT INTO MenuSuite(MenuSuiteNo,MenuSuiteName,UsePlan,PlanType,EveryOf,EveryDetail,PlanStartDate,PlanEndDate,
                          PlanEndTag,DayControlType,MealSectionCode,TimeID) VALUES
      ('X1','无计划',0,2,1,3,'2024-01-01','2024-02-01',1,2,NULL,1),
      ('X2','无结束',1,2,1,3,'2024-01-01','2024-02-01',0,2,NULL,22),
      ('X3','缺值',1,1,1,-1,NULL,NULL,1,2,NULL,99),
      ('X4','按班次',1,1,1,-1,'2024-01-01 00:00:00','2024-12-31',1,1,1,NULL);
    INSERT INTO MenuSuiteSub(MenuSuiteNo,MenuItemCode,MenuItemPrice,Qty,Standard,Selected,GroupID,GroupName) VALUES
      ('X1','02001',30,1,'例',1,'1','热菜'), ('X1','02002',28.5,2,'例',0,'1','热菜'),
      ('X2','01001',10,1,'例',1,'1','凉菜'),
      ('X3','01002',12,1,'例',1,'1','凉菜'), ('X3','88888',1,1,'',1,'1','凉菜'),
      ('X4','01004',8,1,'例',1,'A','小吃'), ('X4','01001',8,1,'例',0,'a','小吃');)");
  CellMap c = Export();
  EXPECT_EQ(RowOf(c, 1, 3), (std::vector<std::string>{"", "套餐清单", "2.5.2011.1N"}));
  EXPECT_EQ(At(c, 2, 17), "可用时段");
  EXPECT_EQ(At(c, 2, 18), "");
  // Columns 9 to 17: use plan, start, end, type, every, detail, day control, shift, time section.
  auto plan = [&](int row) {
    auto cells = RowOf(c, row, 17);
    return std::vector<std::string>(cells.begin() + 8, cells.end());
  };
  EXPECT_EQ(plan(3), (std::vector<std::string>{"0", "", "", "2", "1", "3", "2", "", ""}));
  EXPECT_EQ(plan(4), (std::vector<std::string>{"1", "2024-01-01", "", "2", "1", "3", "2", "", "08:00-10:30"}));
  EXPECT_EQ(plan(5), (std::vector<std::string>{"1", "", "", "1", "1", "-1", "2", "", ""}));
  EXPECT_EQ(plan(6), (std::vector<std::string>{"1", "2024-01-01", "2024-12-31", "1", "1", "-1", "1", "午餐", ""}));
  EXPECT_EQ(At(c, 8, 0), "menusuiteitem");
  EXPECT_EQ(RowOf(c, 9, 9), (std::vector<std::string>{"套餐编号", "分类编码", "分类名称", "菜品编码", "菜品名称",
                                                      "规格", "价格", "数量", "缺省选中(0:候选/1:选中)"}));
  EXPECT_EQ(RowOf(c, 10, 9), (std::vector<std::string>{"X1", "1", "热菜", "02001", "宫保鸡丁", "例", "30", "1", "1"}));
  EXPECT_EQ(RowOf(c, 11, 9), (std::vector<std::string>{"", "", "", "02002", "鱼香肉丝", "例", "28.5", "2", "0"}));
  // Same group ID, another name: both written. Same ID and name: neither.
  EXPECT_EQ(RowOf(c, 12, 3), (std::vector<std::string>{"X2", "1", "凉菜"}));
  EXPECT_EQ(RowOf(c, 13, 4), (std::vector<std::string>{"X3", "", "", "01002"}));
  // A dish missing from the menu is left out; IDs differing in case only are one group.
  EXPECT_EQ(RowOf(c, 14, 4), (std::vector<std::string>{"X4", "A", "小吃", "01004"}));
  EXPECT_EQ(RowOf(c, 15, 4), (std::vector<std::string>{"", "", "", "01001"}));
  EXPECT_EQ(c.rbegin()->first.first, 15);  // no branch section in a store
  for (const auto& x : sxtest::ReadXlsx(book)) EXPECT_EQ(x.type, "s") << x.row << "," << x.column;

  // Imported into an empty store, every group keeps its own name; the set meal
  // without a start date cannot come back.
  sxtest::SqlExec(store, "DELETE FROM MenuSuite; DELETE FROM MenuSuiteSub;");
  sxtest::HostCapture host;
  char buffer[256] = {};
  ASSERT_EQ(ImportMenuSuite(Conn(store).c_str(), book.c_str(), buffer), 1) << buffer;
  EXPECT_EQ(sxtest::SqlRows(store, "select MenuSuiteNo,MenuItemCode,GroupID,GroupName from MenuSuiteSub "
                                   "order by 1,2"),
            (Rows{{"X1", "02001", "1", "热菜"},
                  {"X1", "02002", "1", "热菜"},
                  {"X2", "01001", "1", "凉菜"},
                  {"X4", "01001", "A", "小吃"},
                  {"X4", "01004", "A", "小吃"}}));
  EXPECT_EQ(host.Texts(1), (std::vector<std::string>{Error("第5行:X3套餐没有指定计划起始日期!"),
                                                     Error("第13行:没有找到编号为\"X3\"的套餐!")}));
}

TEST_P(MenuSuiteTest, GroupExportHasTheBranchSectionAlsoWhenEmpty) {
  sxtest::SqlExec(group, "INSERT INTO Group_MenuSuite(BrandID,msCode,msName,UsePlan,AllShare) VALUES "
                         "('01','G1','一',0,1), ('02','G2','别的品牌',0,1);");
  CellMap c = Export("01");
  EXPECT_EQ(RowOf(c, 1, 3), (std::vector<std::string>{"01", "套餐清单", "2.5.2011.1G"}));
  EXPECT_EQ(At(c, 2, 18), "所有店可用");
  EXPECT_EQ(At(c, 3, 1), "G1");
  EXPECT_EQ(At(c, 3, 18), "1");
  EXPECT_EQ(At(c, 5, 0), "menusuiteitem");
  EXPECT_EQ(At(c, 8, 0), "menusuitehotel");
  EXPECT_EQ(RowOf(c, 9, 3), (std::vector<std::string>{"套餐编号", "分店标识", "分店名称"}));
  EXPECT_EQ(c.rbegin()->first.first, 9);
}

TEST_P(MenuSuiteTest, SampleSetMealsSurviveExportAndImportIntoAnEmptyDatabase) {
  for (Edition edition : {Edition::Store, Edition::Group}) {
    bool isGroup = edition == Edition::Group;
    std::string& db = isGroup ? group : store;
    std::string from = dir.File(isGroup ? "sample_group.db" : "sample_store.db");
    sxtest::CreateDatabase(from, edition);
    sxtest::SqlExec(from, SampleSql(edition));
    std::swap(db, from);  // export from the full sample
    Export(isGroup ? "01" : "");
    std::swap(db, from);
    sxtest::HostCapture host;
    char buffer[256] = {};
    int ok = isGroup ? ImportGroupMenuSuite(Conn(group).c_str(), "01", book.c_str(), buffer)
                     : ImportMenuSuite(Conn(store).c_str(), book.c_str(), buffer);
    ASSERT_EQ(ok, 1) << buffer;
    EXPECT_TRUE(host.Texts(1).empty()) << host.Texts(1).front();
    for (const char* sql : isGroup ? std::vector<const char*>{kGroupSuites, kGroupItems, kGroupHotels}
                                   : std::vector<const char*>{kStoreSuites, kStoreItems}) {
      Rows expected = sxtest::SqlRows(from, sql);
      EXPECT_GE(expected.size(), 4u) << sql;
      EXPECT_EQ(sxtest::SqlRows(db, sql), expected) << sql;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Engines, MenuSuiteTest, ::testing::Values(sxtest::Engine::Native, sxtest::Engine::Odbc),
                         [](const auto& info) { return sxtest::EngineName(info.param); });
