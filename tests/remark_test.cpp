// Remarks through the exported functions, on the native engine and through
// the SQLite ODBC driver.
#include <gtest/gtest.h>

#include "setupxfer.h"
#include "support/OdbcSupport.h"
#include "support/TestSupport.h"

using sxtest::Cell;
using sxtest::Edition;

namespace {

using Rows = std::vector<std::vector<std::string>>;

const char* kTypeCaption = "加收类型(0-价格x数量/1-价格/2-价格x人数/3-价格x数量x人数/4-价格x自定义数量)";

// Menu types A1 and 02 and dishes 01001 (of A1) and 02001; 02002 is not on sale.
constexpr const char* kStoreMenu = R"(
  INSERT INTO MenuType(MenuTypeCode,MenuTypeName,Deleted) VALUES ('A1','凉菜',0), ('02','热菜',0);
  INSERT INTO MenuItem(MenuItemCode,MenuItemCName,MenuTypeCode,DishStatus,Deleted) VALUES
    ('01001','拍黄瓜','A1',1,0), ('02001','宫保鸡丁','02',1,0), ('02002','停售菜','02',0,0);
)";
constexpr const char* kGroupMenu = R"(
  INSERT INTO Group_MenuType(BrandID,tCode,tName,Deleted) VALUES ('B1','A1','凉菜',0), ('B1','02','热菜',0);
  INSERT INTO Group_MenuItem(BrandID,ItemCode,ItemName,tCode,DishStatus,Deleted) VALUES
    ('B1','01001','拍黄瓜','A1',1,0), ('B1','02001','宫保鸡丁','02',1,0), ('B2','09001','别的品牌','02',1,0);
)";

// A remark sheet of rows {name, price, type, mnemonic, type code, type name, item code, item name}.
std::vector<Cell> RemarkSheet(const std::vector<std::vector<std::string>>& rows) {
  std::vector<Cell> cells = {{1, 0, "remark"}, {1, 2, "客人要求清单"}, {2, 1, "客人要求"}, {2, 3, kTypeCaption}};
  int row = 3;
  for (const auto& values : rows) {
    for (std::size_t c = 0; c < values.size(); ++c)
      if (!values[c].empty()) cells.push_back({row, static_cast<int>(c) + 1, values[c]});
    ++row;
  }
  return cells;
}

struct RemarkTest : ::testing::TestWithParam<sxtest::Engine> {
  sxtest::TempDir dir;
  std::string store = dir.File("store.db");
  std::string group = dir.File("group.db");
  char error[300] = {};

  void SetUp() override {
    if (GetParam() == sxtest::Engine::Odbc && !sxtest::RegisterOdbcDrivers())
      GTEST_SKIP() << "no SQLite ODBC driver";
    sxtest::CreateDatabase(store, Edition::Store);
    sxtest::CreateDatabase(group, Edition::Group);
    sxtest::SqlExec(store, kStoreMenu);
    sxtest::SqlExec(group, kGroupMenu);
  }
  std::string Conn(const std::string& path) const { return sxtest::ConnectionStringFor(GetParam(), path); }
  bool Import(const std::vector<std::vector<std::string>>& rows) {
    std::string path = dir.File("in.xlsx");
    sxtest::MakeXlsx(path, RemarkSheet(rows));
    return ImportRemark(Conn(store).c_str(), path.c_str(), error) != 0;
  }
  std::string Remark(const std::string& table, const std::string& key, const std::string& code) {
    return sxtest::SqlColumn(store, "select Remark from " + table + " where " + key + "='" + code + "'").at(0);
  }
  Rows Needs() { return sxtest::SqlRows(store, "select ID,Needs from GuestNeeds"); }
};

}  // namespace

TEST_P(RemarkTest, ExportWritesItemsThenTypesThenPublicRequests) {
  sxtest::SqlExec(store, "UPDATE MenuItem SET Remark='少辣@2.00@1,SL\r\n\r\n不要香菜' WHERE MenuItemCode='01001';"
                         "UPDATE MenuType SET Remark=' 加冰 , JB ' WHERE MenuTypeCode='02';"
                         "INSERT INTO GuestNeeds VALUES (0,'打包@1.50@0\r\n分开上')");
  sxtest::HostCapture host;
  ASSERT_EQ(ExportRemark(Conn(store).c_str(), error), 1) << error;
  std::vector<std::string> rows;
  for (const auto& c : sxtest::ReadXlsx(host.workbooks.at(0)))
    if (c.row != 2) rows.push_back(std::to_string(c.row) + ":" + std::to_string(c.column) + ":" + c.value);
  EXPECT_EQ(rows, (std::vector<std::string>{
                      "1:0:remark", "1:2:客人要求清单", "1:3:2.5.2011.1N",
                      "3:1:少辣", "3:2:2.00", "3:3:1", "3:4:SL", "3:7:01001", "3:8:拍黄瓜",
                      "4:1:不要香菜", "4:7:01001", "4:8:拍黄瓜",
                      "5:1:加冰", "5:4:JB", "5:5:02", "5:6:热菜",
                      "6:1:打包", "6:2:1.50", "6:3:0", "7:1:分开上"}));
}

TEST_P(RemarkTest, RoundTripsOfBothEditionsReproduceTheTexts) {
  sxtest::SqlExec(store, "UPDATE MenuItem SET Remark='少辣@2.00@1,SL\r\n不要香菜' WHERE MenuItemCode='01001';"
                         "UPDATE MenuType SET Remark='加冰,JB' WHERE MenuTypeCode='02';"
                         "INSERT INTO GuestNeeds VALUES (0,'打包@1.50@3\r\n分开上,FKS')");
  sxtest::SqlExec(group, "UPDATE Group_MenuItem SET Remark='走葱\r\n加蛋@3.00@0' WHERE ItemCode='02001';"
                         "INSERT INTO Group_GuestNeeds(BrandID,Needs) VALUES ('B1','加急'),('B2','别的品牌')");
  sxtest::HostCapture host;
  ASSERT_EQ(ExportRemark(Conn(store).c_str(), error), 1) << error;
  ASSERT_EQ(ExportGroupRemark(Conn(group).c_str(), "B1", error), 1) << error;
  std::string store2 = dir.File("s2.db"), group2 = dir.File("g2.db");
  sxtest::CreateDatabase(store2, Edition::Store);
  sxtest::CreateDatabase(group2, Edition::Group);
  sxtest::SqlExec(store2, kStoreMenu);
  sxtest::SqlExec(group2, kGroupMenu);
  ASSERT_EQ(ImportRemark(Conn(store2).c_str(), host.workbooks[0].c_str(), error), 1) << error;
  ASSERT_EQ(ImportGroupRemark(Conn(group2).c_str(), "B1", host.workbooks[1].c_str(), error), 1) << error;
  EXPECT_TRUE(host.Texts(1).empty());
  for (const char* q : {"select MenuItemCode,Remark from MenuItem order by 1", "select MenuTypeCode,Remark from MenuType order by 1",
                        "select Needs from GuestNeeds"})
    EXPECT_EQ(sxtest::SqlRows(store2, q), sxtest::SqlRows(store, q)) << q;
  for (const char* q : {"select ItemCode,Remark from Group_MenuItem where BrandID='B1' order by 1",
                        "select BrandID,Needs from Group_GuestNeeds where BrandID='B1'"})
    EXPECT_EQ(sxtest::SqlRows(group2, q), sxtest::SqlRows(group, q)) << q;
}

TEST_P(RemarkTest, PricesAndSurchargeTypesOfTheStoredLines) {
  sxtest::HostCapture host;
  ASSERT_TRUE(Import({{"免费", "0", "3", "MF"},
                      {"空价"},
                      {"加料", "12.5", "2"},
                      {"退款", "-3", "1"},
                      {"无类型", "5"},
                      {"坏价", "abc"},
                      {"类型五", "1", "5"},
                      {"类型负", "1", "-1"},
                      {"类型字", "1", "x"}}));
  EXPECT_EQ(Needs(), (Rows{{"0", "免费,MF\r\n空价\r\n加料@12.50@2\r\n退款\r\n无类型@5.00@0"}}));
  EXPECT_EQ(host.Texts(1), (std::vector<std::string>{"错误:第8行:\"坏价\"的价格不是有效数值!",
                                                     "错误:第9行:\"类型五\"的加收类型必须在0-4之间!",
                                                     "错误:第10行:\"类型负\"的加收类型必须在0-4之间!",
                                                     "错误:第11行:\"类型字\"的加收类型必须在0-4之间!"}));
}

TEST_P(RemarkTest, RowsFindTheirOwnersAndOnlyNamedOwnersChange) {
  sxtest::SqlExec(store, "UPDATE MenuType SET Remark='旧类' WHERE MenuTypeCode='02';"
                         "UPDATE MenuItem SET Remark='旧菜' WHERE MenuItemCode='02001';"
                         "INSERT INTO GuestNeeds VALUES (0,'旧公共')");
  sxtest::HostCapture host;
  ASSERT_TRUE(Import({{"甲", "", "", "", "a1", "凉菜"},                  // the list's code "A1"
                      {"乙", "", "", "", "A1"},                          // the same group
                      {"丙", "", "", "", "XX", "", "01001", "拍黄瓜"},   // unknown type: the dish
                      {"丁", "", "", "", "02", "热菜", "01001"},         // both known: the dish only
                      {"戊", "", "", "", "", "", "02002"},               // not on sale: dropped
                      {"己", "", "", "", "", "", "99999"}}));
  EXPECT_EQ(Remark("MenuType", "MenuTypeCode", "A1"), "甲\r\n乙");
  EXPECT_EQ(Remark("MenuItem", "MenuItemCode", "01001"), "丙\r\n丁");
  EXPECT_EQ(Remark("MenuType", "MenuTypeCode", "02"), "旧类");
  EXPECT_EQ(Remark("MenuItem", "MenuItemCode", "02001"), "旧菜");
  EXPECT_EQ(Needs(), (Rows{{"0", "旧公共"}}));  // no public request in the sheet
  EXPECT_EQ(host.Texts(1), (std::vector<std::string>{"错误:第5行:没有找到菜类代码:XX",
                                                     "错误:第7行:没有找到菜品代码:02002",
                                                     "错误:第8行:没有找到菜品代码:99999"}));
  EXPECT_EQ(host.Texts(0).at(1), "正在导入客人要求\"凉菜\"...");
}

TEST_P(RemarkTest, SeparatorsInANameOrMnemonicRejectTheRow) {
  sxtest::HostCapture host;
  ASSERT_TRUE(Import({{"a@b"}, {"a,b"}, {"a\nb"}, {"好", "", "", "H,X"}, {"好", "", "", "H\nX"}, {"可以", "", "", "K@1"}}));
  EXPECT_EQ(Needs(), (Rows{{"0", "可以,K@1"}}));
  EXPECT_EQ(host.Texts(1), (std::vector<std::string>{"错误:第3行:\"a@b\"不能含有@、逗号或换行!",
                                                     "错误:第4行:\"a,b\"不能含有@、逗号或换行!",
                                                     "错误:第5行:\"a\nb\"不能含有@、逗号或换行!",
                                                     "错误:第6行:\"好\"的助记码不能含有逗号或换行!",
                                                     "错误:第7行:\"好\"的助记码不能含有逗号或换行!"}));
}

TEST_P(RemarkTest, GroupImportReplacesOnlyTheBrandsPublicRequests) {
  sxtest::SqlExec(group, "INSERT INTO Group_GuestNeeds(BrandID,Needs) VALUES ('B1','旧'),('B1','旧2'),('B2','别的')");
  std::string path = dir.File("in.xlsx");
  sxtest::MakeXlsx(path, RemarkSheet({{"加急"}, {"走葱", "", "", "", "", "", "01001"}}));
  sxtest::HostCapture host;
  ASSERT_EQ(ImportGroupRemark(Conn(group).c_str(), "B1", path.c_str(), error), 1) << error;
  EXPECT_EQ(sxtest::SqlRows(group, "select BrandID,Needs from Group_GuestNeeds order by BrandID"),
            (Rows{{"B1", "加急"}, {"B2", "别的"}}));
  EXPECT_EQ(sxtest::SqlColumn(group, "select Remark from Group_MenuItem where ItemCode='01001'"),
            std::vector<std::string>{"走葱"});
  EXPECT_EQ(sxtest::SqlColumn(group, "select count(*) from Group_DownloadVersion"), std::vector<std::string>{"0"});
}

INSTANTIATE_TEST_SUITE_P(Engines, RemarkTest, ::testing::Values(sxtest::Engine::Native, sxtest::Engine::Odbc),
                         [](const auto& info) { return sxtest::EngineName(info.param); });
