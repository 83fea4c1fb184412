// Gift dish control through the exported functions, on the native engine and
// through the SQLite ODBC driver.
#include <gtest/gtest.h>

#include <map>

#include "setupxfer.h"
#include "support/OdbcSupport.h"
#include "support/TestSupport.h"

using sxtest::Cell;
using sxtest::Edition;

namespace {

using Rows = std::vector<std::vector<std::string>>;

constexpr const char* kSetup = R"(
  INSERT INTO MenuType(MenuTypeCode,MenuTypeName,Deleted) VALUES ('01','凉菜',0), ('02','热菜',0);
  INSERT INTO MenuItem(MenuItemCode,MenuItemCName,MenuTypeCode,DishStatus,Deleted) VALUES
    ('01001','拍黄瓜','01',1,0), ('02001','宫保鸡丁','02',1,0);
  INSERT INTO HotelUser(UserID,UserName) VALUES ('U1','张三'), ('U2','李四'), ('U3','王五'), ('U4','赵六');
)";

constexpr const char* kRoleQuery = "select ID,RoleName,OnlyReserverTable from GiftDishRole order by ID";
constexpr const char* kPackageQuery =
    "select ID,RoleID,PackgeName,QtyConfine,AmountConfine,ResetInterval,ControlType from GiftDishPackge order by ID";
constexpr const char* kContentQuery = "select PackgeID,RoleID,MenuTypeCode,MenuItemCode from GiftDishRoleItem order by ID";
constexpr const char* kUserQuery = "select UserID,GiftRoleID from HotelUser order by UserID";

// A sheet of sections, each a key and its data rows (values from column 1).
std::vector<Cell> Sheet(const std::vector<std::pair<std::string, Rows>>& sections) {
  std::vector<Cell> cells;
  int row = 1;
  for (const auto& [key, rows] : sections) {
    cells.push_back({row, 0, key});
    cells.push_back({++row, 1, "赠送角色编号"});
    ++row;
    for (const auto& values : rows) {
      for (std::size_t c = 0; c < values.size(); ++c)
        if (!values[c].empty()) cells.push_back({row, static_cast<int>(c) + 1, values[c]});
      ++row;
    }
    ++row;
  }
  return cells;
}

struct GiftDishControlTest : ::testing::TestWithParam<sxtest::Engine> {
  sxtest::TempDir dir;
  std::string store = dir.File("store.db");
  char error[300] = {};

  void SetUp() override {
    if (GetParam() == sxtest::Engine::Odbc && !sxtest::RegisterOdbcDrivers())
      GTEST_SKIP() << "no SQLite ODBC driver";
    sxtest::CreateDatabase(store, Edition::Store);
    sxtest::SqlExec(store, kSetup);
  }
  std::string Conn(const std::string& path) const { return sxtest::ConnectionStringFor(GetParam(), path); }
};

}  // namespace

TEST_P(GiftDishControlTest, ExportLayoutAndRoundTrip) {
  sxtest::SqlExec(store, R"(
    INSERT INTO GiftDishRole VALUES (1,'经理',1), (2,'领班',0);
    INSERT INTO GiftDishPackge VALUES (1,1,'酒水包',10,0,1,0), (2,1,'总额包',0,500,3,2), (3,2,'凉菜包',5,0,0,1);
    INSERT INTO GiftDishRoleItem VALUES (1,1,1,'02','02001'), (2,1,1,'01',NULL), (3,3,2,'01','01001');
    UPDATE HotelUser SET GiftRoleID=1 WHERE UserID='U1';
    UPDATE HotelUser SET GiftRoleID=2 WHERE UserID='U2';
  )");
  sxtest::HostCapture host;
  ASSERT_EQ(ExportGiftDishControl(Conn(store).c_str(), error), 1) << error;
  std::map<int, std::string> rows;
  for (const auto& c : sxtest::ReadXlsx(host.workbooks.at(0)))
    if (c.row > 2) rows[c.row] += std::to_string(c.column) + ":" + c.value + " ";
  EXPECT_EQ(rows, (std::map<int, std::string>{
                      {3, "1:1 2:经理 3:是 "}, {4, "1:2 2:领班 3:否 "}, {6, "0:giftpackges "},
                      {7, "1:赠送角色编号 2:赠送角色名称 3:赠送包编号 4:赠送包名称 5:赠送数量上限(0表示不限) "
                          "6:赠送金额上限(0表示不限) 7:限制范围(0:按单/1:每日/2:每周/3:每月) "
                          "8:限制类型(0:包内容允许赠送/1:包内容禁止赠送/2:只控制总额,没有包内容) "},
                      {8, "1:1 2:经理 3:1 4:酒水包 5:10 6:0 7:按日 8:允许赠送 "},
                      {9, "3:2 4:总额包 5:0 6:500 7:按月 8:总额控制 "},
                      {10, "1:2 2:领班 3:3 4:凉菜包 5:5 6:0 7:按单 8:禁止赠送 "},
                      {12, "0:giftrules "},
                      {13, "1:赠送角色编号 2:赠送角色名称 3:赠送包编号 4:赠送包名称 5:包内容编号 6:菜类编号 7:菜类名称 "
                           "8:菜品编号 9:菜品名称 "},
                      {14, "1:1 2:经理 3:1 4:酒水包 5:1 6:02 7:热菜 8:02001 9:宫保鸡丁 "},
                      {15, "5:2 6:01 7:凉菜 "},
                      {16, "1:2 2:领班 3:3 4:凉菜包 5:3 6:01 7:凉菜 8:01001 9:拍黄瓜 "},
                      {18, "0:userroles "},
                      {19, "1:赠送角色编号 2:赠送角色名称 3:员工编号 4:员工姓名 "},
                      {20, "1:1 2:经理 3:U1 4:张三 "},
                      {21, "1:2 2:领班 3:U2 4:李四 "}}));

  std::string store2 = dir.File("s2.db");
  sxtest::CreateDatabase(store2, Edition::Store);
  sxtest::SqlExec(store2, kSetup);
  ASSERT_EQ(ImportGiftDishControl(Conn(store2).c_str(), host.workbooks[0].c_str(), error), 1) << error;
  EXPECT_TRUE(host.Texts(1).empty()) << host.Texts(1).at(0);
  for (const char* q : {kRoleQuery, kPackageQuery, kContentQuery, kUserQuery})
    EXPECT_EQ(sxtest::SqlRows(store2, q), sxtest::SqlRows(store, q)) << q;
}

TEST_P(GiftDishControlTest, RolesReplacePackagesAndUsersFollowCommittedRolesOnly) {
  sxtest::SqlExec(store, R"(
    INSERT INTO GiftDishRole VALUES (1,'经理',0), (2,'其他',0);
    INSERT INTO GiftDishPackge VALUES (1,2,'保留包',1,0,0,0), (2,1,'旧包',1,0,0,0);
    INSERT INTO GiftDishRoleItem VALUES (1,1,2,'02',NULL), (2,2,1,'01',NULL);
    UPDATE HotelUser SET GiftRoleID=2;
  )");
  std::string longName(130, 'x');
  for (std::size_t i = 0; i < 2; ++i) longName += longName;  // longer than the column takes
  std::string path = dir.File("in.xlsx");
  sxtest::MakeXlsx(path, Sheet({{"giftroles", {{"A", "经理", "1"}, {"B", "新角色"}, {"a", "重复码"}, {"X", "经理"},
                                               {"D", ""}, {"C", "坏角色"}}},
                                {"giftpackges", {{"A", "", "p1", "同名包", "x"},
                                                 {"", "", "p1", "同名包", "1", "2", "每日", "9"},
                                                 {"B", "", "p1", "同名包", "", "", "按日", "禁止赠送"},
                                                 {"C", "", "p1", longName},
                                                 {"Z", "", "p9", "包"},
                                                 {"B", "", "", "无编号"},
                                                 {"A", "", "p3", "负额", "", "-1"}}},
                                {"giftrules", {{"A", "", "p1", "", "c1", "02", "", "01001"},
                                               {"B", "", "P1", "", "c2", "", "", "02001"},
                                               {"", "", "", "", "c3", "01"},
                                               {"A", "", "p2", "", "c4", "01"},
                                               {"A", "", "p1", "", "c5"},
                                               {"A", "", "p1", "", "c6", "99"},
                                               {"A", "", "p1", "", "c7", "", "", "XXXXX"}}},
                                {"userroles", {{"A", "", "u1"}, {"B", "", "U2"}, {"C", "", "U3"}, {"Q", "", "U4"},
                                               {"A", "", "U9"}}}}));
  sxtest::HostCapture host;
  ASSERT_EQ(ImportGiftDishControl(Conn(store).c_str(), path.c_str(), error), 1) << error;
  std::vector<std::string> errors = host.Texts(1);
  ASSERT_EQ(errors.size(), 15u);
  EXPECT_NE(errors[13].find("packgename"), std::string::npos) << errors[13];
  errors.erase(errors.begin() + 13);
  EXPECT_EQ(errors, (std::vector<std::string>{
                        "错误:第5行:赠送角色编号a重复!", "错误:第6行:赠送角色名称经理重复!",
                        "错误:第7行:没有指定赠送角色名称!",
                        "错误:第12行:赠送数量上限(0表示不限)不是数值!", "错误:第16行:没有找到编号为\"Z\"的赠送角色!",
                        "错误:第17行:没有指定赠送包编号!", "错误:第18行:赠送金额上限(0表示不限)不能小于0!",
                        "错误:第25行:没有找到编号为\"p2\"的赠送包!",
                        "错误:第26行:包内容既没有指定菜类，也没有指定菜品!", "错误:第27行:没有找到菜类:99",
                        "错误:第28行:没有找到菜品:XXXXX", "错误:第35行:编号Q的角色不存在!",
                        "错误:第36行:没有找到用户编号:U9", "错误:员工U3的赠送角色C 坏角色没有找到!"}));
  EXPECT_EQ(sxtest::SqlRows(store, kRoleQuery), (Rows{{"1", "经理", "1"}, {"2", "其他", "0"}, {"3", "新角色", "0"}}));
  // 经理's old package is gone and its number is not given again; the other
  // role keeps its package; each same-named package gets its own contents.
  EXPECT_EQ(sxtest::SqlRows(store, kPackageQuery),
            (Rows{{"1", "2", "保留包", "1.0", "0.0", "0", "0"}, {"3", "1", "同名包", "1.0", "2.0", "0", "0"},
                  {"4", "3", "同名包", "0.0", "0.0", "1", "1"}}));
  EXPECT_EQ(sxtest::SqlRows(store, kContentQuery),
            (Rows{{"1", "2", "02", ""}, {"3", "1", "01", "01001"}, {"4", "3", "02", "02001"}, {"4", "3", "01", ""}}));
  EXPECT_EQ(sxtest::SqlRows(store, kUserQuery), (Rows{{"U1", "1"}, {"U2", "3"}, {"U3", "2"}, {"U4", "2"}}));
}

INSTANTIATE_TEST_SUITE_P(Engines, GiftDishControlTest,
                         ::testing::Values(sxtest::Engine::Native, sxtest::Engine::Odbc),
                         [](const auto& info) { return sxtest::EngineName(info.param); });
