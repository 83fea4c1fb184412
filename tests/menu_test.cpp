// Menu types and menu items through the exported functions, as a host calls
// them: workbooks made and read with openpyxl, databases with sqlite3.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "setupxfer.h"
#include "support/TestSupport.h"

extern const char* const setupxfer_sql_sample_store;
extern const char* const setupxfer_sql_sample_group;

using sxtest::Cell;
using sxtest::Edition;

namespace {

const std::string kTypeCaption = "菜品类别代码(最多2个字符)";

// Reference data both editions need: income and tax subjects (5102 is a
// payment subject too, but not an income one) and departments, of which 09
// does not produce.
const char* kStoreReference = R"(
  INSERT INTO Subject(SubjectCode,SubjectName,SubjectClass) VALUES
    ('510101','菜品收入',2), ('217101','应交增值税',2), ('5102','其他收入',2), ('5101','主营业务收入',1);
  INSERT INTO Dept(DeptCode,DeptName,IsProduct) VALUES ('01','热菜',1), ('02','凉菜',1), ('09','前厅',0);
)";
const char* kGroupReference = R"(
  INSERT INTO Group_Subject(BrandID,SubjectCode,SubjectName,SubjectClass) VALUES
    ('B1','510101','菜品收入',2), ('B1','217101','应交增值税',2), ('B2','510199','别的品牌',2);
  INSERT INTO Group_Hotel_Dept(BrandID,DeptCode,DeptName,IsProduct) VALUES
    ('B1','01','热菜',1), ('B1','02','凉菜',1), ('B2','03','别的品牌',1);
)";

// A menu sheet under construction: row 1 the type marker, row 2 the header.
struct Sheet {
  std::vector<Cell> cells{{1, 0, "menutype"}, {1, 2, "菜单"}, {2, 1, kTypeCaption}};
  void Put(int row, std::map<int, std::string> values) {
    for (auto& [c, t] : values) cells.push_back({row, c, t});
  }
  void Type(int row, const std::string& code, const std::string& name,
            const std::string& subject = "510101", const std::string& dept = "01") {
    Put(row, {{1, code}, {2, name}, {6, subject}, {8, dept}});
  }
  // The item section's marker and header rows.
  void Items(int row) {
    Put(row, {{0, "menuitem"}});
    Put(row + 1, {{1, kTypeCaption}});
  }
};

struct MenuTest : ::testing::Test {
  sxtest::TempDir dir;
  std::string db = dir.File("store.db");
  std::string book = dir.File("menu.xlsx");
  std::string message;

  void SetUp() override {
    sxtest::CreateDatabase(db, Edition::Store);
    sxtest::SqlExec(db, kStoreReference);
  }

  // Writes the sheet and imports it into the store database; the caller's
  // HostCapture sees what the host would.
  bool Import(const Sheet& sheet) {
    sxtest::MakeXlsx(book, sheet.cells);
    char buffer[256] = {};
    bool ok = ImportMenu(db.c_str(), book.c_str(), buffer) != 0;
    message = buffer;
    return ok;
  }
  std::vector<std::vector<std::string>> Rows(const std::string& sql) {
    return sxtest::SqlRows(db, sql);
  }
};

std::string Error(const std::string& text) { return "错误:" + text; }

// The sample data that `setupxfer init-db --sample` loads, for brand 01.
std::string SampleSql(Edition edition) {
  if (edition == Edition::Store) return setupxfer_sql_sample_store;
  std::string sql = setupxfer_sql_sample_group;
  for (std::size_t at; (at = sql.find("{BRAND}")) != std::string::npos;) sql.replace(at, 7, "'01'");
  return sql;
}

// Runs `sql` on `path` with the database `other` attached as "sample".
void SqlExecWith(const std::string& path, const std::string& other, const std::string& sql) {
  sxtest::SqlExec(path, "ATTACH DATABASE '" + other + "' AS sample; " + sql +
                            " DETACH DATABASE sample;");
}

}  // namespace

// ---- Reading: carry-over, section order, checks ---------------------------------

TEST_F(MenuTest, DishesTakeTypeAndDepartmentFromTheRowsAbove) {
  sxtest::HostCapture host;
  Sheet s;
  s.Type(3, "A1", "凉菜", "510101", "02");
  s.Type(4, "B2", "热菜");
  s.Items(6);
  s.Put(8, {{1, "a1"}, {2, "10001"}, {3, "拍黄瓜"}});        // type found ignoring case
  s.Put(9, {{2, "10002"}, {3, "皮蛋豆腐"}, {6, "01"}});      // carries A1
  s.Put(10, {{1, "B2"}, {2, "20001"}, {3, "宫保鸡丁"}});      // carries department 01 across types
  s.Put(11, {{2, "20002"}, {3, "麻婆豆腐"}});
  s.Put(12, {{1, "ZZ"}, {2, "30001"}, {3, "无类别"}});
  s.Put(13, {{2, "30002"}, {3, "也无类别"}});                 // carries ZZ from a dropped row
  ASSERT_TRUE(Import(s)) << message;
  EXPECT_EQ(Rows("select MenuItemCode,MenuTypeCode,DeptCode from MenuItem order by 1"),
            (std::vector<std::vector<std::string>>{{"10001", "A1", "02"},
                                                   {"10002", "A1", "01"},
                                                   {"20001", "B2", "01"},
                                                   {"20002", "B2", "01"}}));
  EXPECT_EQ(host.Texts(1), (std::vector<std::string>{
                               Error("第12行:没有找到编号为\"ZZ\"的菜品类别!"),
                               Error("第13行:没有找到编号为\"ZZ\"的菜品类别!")}));
  auto info = host.Texts(0);
  EXPECT_EQ(info.front(), "开始从" + book + "导入菜单...");
  EXPECT_EQ(info.back(), "完毕!");
  EXPECT_EQ(host.Finishes(), 1);
}

TEST_F(MenuTest, DishesListedBeforeTheirTypesAreRejected) {
  sxtest::HostCapture host;
  Sheet s;
  s.cells = {{1, 0, "menuitem"}, {2, 1, kTypeCaption}};
  s.Put(3, {{1, "01"}, {2, "10001"}, {3, "拍黄瓜"}});
  s.Put(5, {{0, "menutype"}});
  s.Type(6, "01", "凉菜");
  ASSERT_TRUE(Import(s)) << message;
  EXPECT_EQ(host.Texts(1),
            (std::vector<std::string>{Error("第3行:没有找到编号为\"01\"的菜品类别!")}));
  EXPECT_EQ(Rows("select MenuTypeCode from MenuType"), (std::vector<std::vector<std::string>>{{"01"}}));
  EXPECT_TRUE(Rows("select * from MenuItem").empty());
}

TEST_F(MenuTest, DishRowsWithoutTypeCodeKeepTheEmptyRowCount) {
  // Rows with column 0 or 1 filled restart the count; dish rows below a type's
  // first dish do not, so five empty rows in total end the sheet.
  sxtest::HostCapture host;
  Sheet s;
  s.Type(3, "01", "凉菜");
  s.Items(5);
  s.Put(7, {{1, "01"}, {2, "10001"}, {3, "一"}});
  s.Put(10, {{2, "10002"}, {3, "二"}});  // rows 8, 9 empty
  s.Put(13, {{2, "10003"}, {3, "三"}});  // rows 11, 12 empty: four in all
  s.Put(15, {{2, "10004"}, {3, "四"}});  // row 14 the fifth: never read
  ASSERT_TRUE(Import(s)) << message;
  EXPECT_EQ(sxtest::SqlColumn(db, "select MenuItemCode from MenuItem order by 1"),
            (std::vector<std::string>{"10001", "10002", "10003"}));
}

TEST_F(MenuTest, TypeRowsAreCheckedInOrder) {
  sxtest::HostCapture host;
  Sheet s;
  s.Put(3, {{1, "01"}, {6, "510101"}, {8, "01"}, {3, "no name"}});
  s.Put(4, {{2, "无代码"}, {6, "510101"}, {8, "01"}});
  s.Type(5, "02", "无科目", "", "");
  s.Type(6, "03", "其他收入", "5102", "01");  // a listed subject, but not income: prefix first
  s.Type(7, "04", "没有的科目", "510199", "");
  s.Type(8, "05", "无部门", "510101", "");
  s.Type(9, "06", "前厅", "510101", "09");
  s.Type(10, "07", "税金", "217101", "02");  // accepted
  ASSERT_TRUE(Import(s)) << message;
  EXPECT_EQ(host.Texts(1),
            (std::vector<std::string>{
                Error("第3行:\"01\"没有指定菜品类别名称!"),
                Error("第4行:\"无代码\"没有指定菜品类别代码!"),
                Error("第5行:\"02 无科目\"没有指定该类菜品结账时对应的收入科目!"),
                Error("第6行:\"03 其他收入\"指定的该类菜品结账时对应的收入科目,"
                      "不是5101开头的主营业务收入科目或2171开头的应交税金科目!"),
                Error("第7行:没有找到科目:510199"),
                Error("第8行:\"05 无部门\"没有指定该类菜品所属出品部门代码(一级部门)!"),
                Error("第9行:没有找到制作部门:09"),
            }));
  EXPECT_EQ(sxtest::SqlColumn(db, "select MenuTypeCode from MenuType"),
            (std::vector<std::string>{"07"}));
}

TEST_F(MenuTest, DishRowsAreCheckedInOrderAndStopAtTheFirstFault) {
  sxtest::HostCapture host;
  Sheet s;
  s.Type(3, "01", "凉菜");
  s.Items(5);
  s.Put(7, {{1, "01"}, {2, "10001"}, {3, "价格错"}, {9, "abc"}, {48, "x"}});
  s.Put(8, {{2, "10002"}, {3, "成本错"}, {9, "1.5"}, {19, "-1"}, {48, "x"}});
  s.Put(9, {{1, "01"}, {3, "无编号"}});
  s.Put(10, {{2, "10004"}});
  s.Put(11, {{2, "10005"}, {3, "税率"}, {48, "-0.5"}});
  s.Put(12, {{2, "10006"}, {3, "分钟"}, {42, "1.5"}});
  s.Put(13, {{2, "10007"}, {3, "分钟"}, {42, "-3"}});
  s.Put(14, {{2, "10008"}, {3, "日期"}, {49, "2024-13-01"}});
  s.Put(15, {{2, "10009"}, {3, "部门"}, {6, "09"}});
  s.Put(16, {{2, "10010"}, {3, "好的"}, {6, "02"}, {9, "1.5"}, {42, "12"}, {49, "2024-03-05"}});
  ASSERT_TRUE(Import(s)) << message;
  EXPECT_EQ(host.Texts(1), (std::vector<std::string>{
                               Error("第7行:价格不是数值!"),
                               Error("第8行:成本价3不能小于0!"),
                               Error("第9行:菜品没有指定编号!"),
                               Error("第10行:菜品没有指定名称!"),
                               Error("第11行:税率(%)不能小于0!"),
                               Error("第12行:标准制作时间(分钟)不是整数!"),
                               Error("第13行:标准制作时间(分钟)不能小于0!"),
                               Error("第14行:启用日期不是YYYY-MM-DD格式的日期!"),
                               Error("第15行:没有找到制作部门:09"),
                           }));
  EXPECT_EQ(Rows("select MenuItemCode,MenuItemPrice,MakeTime,DeptCode from MenuItem"),
            (std::vector<std::vector<std::string>>{{"10010", "1.5", "12", "02"}}));
}

TEST_F(MenuTest, AnErrorCellOfAnXlsPriceColumnIsRejectedOnItsRow) {
  sxtest::HostCapture host;
  book = dir.File("menu.xls");
  Sheet s;
  s.Type(3, "01", "凉菜");
  s.Items(5);
  s.Put(7, {{1, "01"}, {2, "10001"}, {3, "价格错"}, {9, "#N/A"}});
  s.Put(8, {{2, "10002"}, {3, "好的"}, {9, "2.5"}});
  ASSERT_TRUE(Import(s)) << message;
  EXPECT_EQ(host.Texts(1), (std::vector<std::string>{Error("第7行:价格不是数值!")}));
  EXPECT_EQ(Rows("select MenuItemCode,MenuItemPrice from MenuItem"),
            (std::vector<std::vector<std::string>>{{"10002", "2.5"}}));
}

// ---- Values written -------------------------------------------------------------

TEST_F(MenuTest, StandardsSetTheMaskAndDropAmountsWithoutAName) {
  sxtest::HostCapture host;
  Sheet s;
  s.Type(3, "01", "凉菜");
  s.Items(5);
  s.Put(7, {{1, "01"}, {2, "10001"}, {3, "两种"}, {8, "小"}, {9, "10"}, {12, "大"}, {13, "18"},
            {14, "16"}, {15, "7"}});
  s.Put(8, {{2, "10002"}, {3, "三种"}, {8, "例"}, {9, "10"}, {13, "99"}, {16, "中"}, {17, "20"},
            {24, "特大"}, {25, "40"}});
  ASSERT_TRUE(Import(s)) << message;
  EXPECT_EQ(Rows("select MenuItemCode,Mask,Standard2,MenuItemPrice2,MemberPrice2,CostPrice2,"
                 "Standard3,MenuItemPrice3,Standard5,MenuItemPrice5,MemberPrice5 from MenuItem "
                 "order by 1"),
            (std::vector<std::vector<std::string>>{
                {"10001", "1", "大", "18.0", "16.0", "7.0", "", "", "", "", ""},
                {"10002", "10", "", "", "", "", "中", "20.0", "特大", "40.0", "0.0"}}));
  // Standard 1 is written even with empty amounts.
  EXPECT_EQ(Rows("select MemberPrice,CostPrice from MenuItem where MenuItemCode='10002'"),
            (std::vector<std::vector<std::string>>{{"0.0", "0.0"}}));
}

TEST_F(MenuTest, YesNoCellsAndPortionsPerGuestWhichMustBeACount) {
  sxtest::HostCapture host;
  Sheet s;
  s.Type(3, "01", "凉菜");
  s.Put(3, {{10, "abc"}, {11, "是"}, {12, "Y"}});
  s.Items(5);
  s.Put(7, {{1, "01"}, {2, "10001"}, {3, "甲"}, {29, "是"}, {30, "Y"}, {31, "yes"}, {32, "2"},
            {33, "1"}, {46, "3"}});
  s.Put(8, {{2, "10002"}, {3, "乙"}, {46, "是"}});
  s.Put(9, {{2, "10003"}, {3, "丙"}, {46, "多"}});
  s.Put(10, {{2, "10004"}, {3, "丁"}, {46, "-4"}});
  s.Put(11, {{2, "10005"}, {3, "戊"}, {46, "2.5"}});
  s.Put(12, {{2, "10006"}, {3, "己"}, {46, "99999999999"}});
  s.Put(13, {{2, "10007"}, {3, "庚"}});
  ASSERT_TRUE(Import(s)) << message;
  EXPECT_EQ(host.Texts(1), (std::vector<std::string>{
                               Error("第9行:点菜数量不超过人数几倍不是整数!"),
                               Error("第10行:点菜数量不超过人数几倍不能小于0!"),
                               Error("第11行:点菜数量不超过人数几倍不是整数!"),
                               Error("第12行:点菜数量不超过人数几倍不是整数!")}));
  EXPECT_EQ(Rows("select ServiceRate,UnDiscountTag,IsDrink from MenuType"),
            (std::vector<std::vector<std::string>>{{"0", "1", "0"}}));
  EXPECT_EQ(Rows("select MessageTag,NeedSaleOut,QtyNotSureTag,CanChangeNamePrice,TimePriceTag,"
                 "AskQty,QtyConfine from MenuItem order by MenuItemCode"),
            (std::vector<std::vector<std::string>>{{"1", "0", "0", "0", "1", "0", "3"},
                                                   {"0", "0", "0", "0", "0", "0", "1"},
                                                   {"0", "0", "0", "0", "0", "0", "0"}}));
}

TEST_F(MenuTest, SecondImportUpdatesAndRevivesDeletedDishes) {
  sxtest::SqlExec(db, R"(
    INSERT INTO MenuType(MenuTypeCode,MenuTypeName,SubjectCode,DeptCode,Deleted) VALUES ('01','旧名','510101','01',1);
    INSERT INTO MenuItem(MenuItemCode,MenuItemCName,MenuTypeCode,DishStatus,Deleted,PhotoTag) VALUES
      ('10001','旧菜','01',0,1,1), ('10002','停用','01',0,0,1);)");
  Sheet s;
  s.Type(3, "01", "凉菜");
  s.Items(5);
  s.Put(7, {{1, "01"}, {2, "10001"}, {3, "拍黄瓜"}, {9, "12"}});
  s.Put(8, {{2, "10002"}, {3, "皮蛋豆腐"}, {9, "16"}});
  s.Put(9, {{2, "10003"}, {3, "口水鸡"}, {9, "48"}});
  for (int pass = 0; pass < 2; ++pass) {
    sxtest::HostCapture host;
    ASSERT_TRUE(Import(s)) << message;
    EXPECT_TRUE(host.Texts(1).empty());
  }
  EXPECT_EQ(Rows("select MenuTypeCode,MenuTypeName,Deleted from MenuType"),
            (std::vector<std::vector<std::string>>{{"01", "凉菜", "0"}}));
  // Updated rows keep what the import does not write (PhotoTag).
  EXPECT_EQ(Rows("select MenuItemCode,MenuItemCName,DishStatus,Deleted,PhotoTag from MenuItem "
                 "order by 1"),
            (std::vector<std::vector<std::string>>{{"10001", "拍黄瓜", "1", "0", "1"},
                                                   {"10002", "皮蛋豆腐", "1", "0", "1"},
                                                   {"10003", "口水鸡", "1", "0", "0"}}));
}

TEST_F(MenuTest, FailingDishRollsBackItsWholeTypeOnly) {
  sxtest::HostCapture host;
  Sheet s;
  s.Type(3, "01", "凉菜");
  s.Type(4, "02", "热菜");
  s.Items(6);
  s.Put(8, {{1, "01"}, {2, "10001"}, {3, "好的"}});
  s.Put(9, {{2, "10002"}, {3, std::string(51, 'x')}});  // longer than the column takes
  s.Put(10, {{1, "02"}, {2, "20001"}, {3, "宫保鸡丁"}});
  ASSERT_TRUE(Import(s)) << message;
  EXPECT_EQ(sxtest::SqlColumn(db, "select MenuTypeCode from MenuType"),
            (std::vector<std::string>{"02"}));
  EXPECT_EQ(sxtest::SqlColumn(db, "select MenuItemCode from MenuItem"),
            (std::vector<std::string>{"20001"}));
  ASSERT_EQ(host.Texts(1).size(), 1u);
  EXPECT_NE(host.Texts(1)[0].find("itemname"), std::string::npos) << host.Texts(1)[0];
  auto info = host.Texts(0);
  EXPECT_NE(std::find(info.begin(), info.end(), "正在导入菜谱01 凉菜..."), info.end());
  EXPECT_NE(std::find(info.begin(), info.end(), "正在导入菜谱02 热菜..."), info.end());
}

// ---- Central control and failures -----------------------------------------------

TEST_F(MenuTest, StoreImportRefusedWhileTheChainControlsTheMenu) {
  Sheet s;
  s.Type(3, "01", "凉菜");
  sxtest::SqlExec(db, "INSERT INTO Group_Brand(BrandID,ControlMenu) VALUES ('B1',1)");
  {
    sxtest::HostCapture host;
    EXPECT_FALSE(Import(s));
    EXPECT_EQ(message, "菜单由集团统一下发,不能在门店导入!");
    EXPECT_TRUE(host.lines.empty());
    EXPECT_TRUE(Rows("select * from MenuType").empty());
  }
  for (const char* value : {"2", "0", "NULL"}) {
    sxtest::SqlExec(db, std::string("UPDATE Group_Brand SET ControlMenu=") + value);
    sxtest::HostCapture host;
    EXPECT_TRUE(Import(s)) << value << ": " << message;
  }
  EXPECT_EQ(Rows("select MenuTypeCode from MenuType").size(), 1u);
}

TEST_F(MenuTest, UnreadableWorkbookFailsButEndsTheLog) {
  sxtest::HostCapture host;
  char buffer[256] = {};
  std::string missing = dir.File("missing.xlsx");
  EXPECT_EQ(ImportMenu(db.c_str(), missing.c_str(), buffer), 0);
  EXPECT_NE(std::string(buffer).find("missing.xlsx"), std::string::npos) << buffer;
  EXPECT_EQ(host.Texts(0).back(), "完毕!");
  EXPECT_EQ(host.Finishes(), 1);
}

// ---- Group edition --------------------------------------------------------------

TEST_F(MenuTest, GroupImportStampsTheBrandOncePerTypeAndKeepsOtherBrands) {
  std::string gdb = dir.File("group.db");
  sxtest::CreateDatabase(gdb, Edition::Group);
  sxtest::SqlExec(gdb, kGroupReference);
  sxtest::SqlExec(gdb, "INSERT INTO Group_MenuItem(BrandID,ItemCode,ItemName,tCode,DishStatus,Deleted) "
                       "VALUES ('B2','10001','别的品牌','01',1,0)");
  Sheet s;
  s.Type(3, "01", "凉菜", "510101", "02");
  s.Type(4, "02", "热菜");
  s.Type(5, "03", "别的科目", "510199", "01");  // B2's subject
  s.Items(7);
  s.Put(9, {{1, "01"}, {2, "10001"}, {3, "拍黄瓜"}, {49, "2024/3/5"}});
  s.Put(10, {{1, "02"}, {2, "20001"}, {3, "宫保鸡丁"}, {49, "2024-03-06 10:30"}});
  sxtest::MakeXlsx(book, s.cells);
  sxtest::HostCapture host;
  char buffer[256] = {};
  ASSERT_EQ(ImportGroupMenu(gdb.c_str(), "B1", book.c_str(), buffer), 1) << buffer;
  EXPECT_EQ(host.Texts(1), (std::vector<std::string>{Error("第5行:没有找到科目:510199")}));
  EXPECT_EQ(sxtest::SqlRows(gdb, "select BrandID,tCode,DeptCode,Deleted from Group_MenuType order by 2"),
            (std::vector<std::vector<std::string>>{{"B1", "01", "02", "0"}, {"B1", "02", "01", "0"}}));
  // The use date is kept as the date alone.
  EXPECT_EQ(sxtest::SqlRows(gdb, "select BrandID,ItemCode,ItemName,tCode,UseDate,Mask from "
                                 "Group_MenuItem order by 1,2"),
            (std::vector<std::vector<std::string>>{{"B1", "10001", "拍黄瓜", "01", "2024-03-05", "0"},
                                                   {"B1", "20001", "宫保鸡丁", "02", "2024-03-06", "0"},
                                                   {"B2", "10001", "别的品牌", "01", "", ""}}));
  auto stamp = sxtest::SqlRows(gdb, "select BrandID,MenuVersion from Group_DownloadVersion");
  ASSERT_EQ(stamp.size(), 1u);
  EXPECT_EQ(stamp[0][0], "B1");
  EXPECT_EQ(stamp[0][1].size(), 19u) << stamp[0][1];
}

// ---- Export and round trip ------------------------------------------------------

namespace {

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

}  // namespace

TEST_F(MenuTest, ExportWritesTypeCodeOncePerTypeAndOnlyPositiveAmounts) {
  sxtest::SqlExec(db, R"(
    INSERT INTO MenuType(MenuTypeCode,MenuTypeName,SubjectCode,DeptCode,ServiceRate,Deleted) VALUES
      ('A1','凉菜','510101','02',10,0), ('B2','无科目','599999','77',0,NULL), ('C3','已删','510101','01',0,1);
    INSERT INTO MenuItem(MenuItemCode,MenuItemCName,MenuTypeCode,DeptCode,Standard,MenuItemPrice,MemberPrice,CostPrice,Standard2,MenuItemPrice2,TaxRate,QtyConfine,DishStatus,Deleted) VALUES
      ('10001','拍黄瓜','A1','02','例',0,0,-2,'',NULL,6,3,1,0),
      ('10002','皮蛋豆腐','a1','02','例',16,15,4,'大',20,0,0,1,NULL),
      ('10003','停用','A1','02','例',1,1,1,NULL,NULL,0,0,0,0),
      ('10004','删除','A1','02','例',1,1,1,NULL,NULL,0,0,1,1),
      ('10005','无部门','B2','77','例',9,NULL,NULL,NULL,NULL,NULL,NULL,1,0);)");
  sxtest::HostCapture host;
  char buffer[256] = {};
  ASSERT_EQ(ExportMenu(db.c_str(), buffer), 1) << buffer;
  ASSERT_EQ(host.workbooks.size(), 1u);
  CellMap c = Cells(host.workbooks[0]);
  EXPECT_EQ(At(c, 1, 0), "menutype");
  EXPECT_EQ(At(c, 1, 1), "");
  EXPECT_EQ(At(c, 1, 2), "菜单");
  EXPECT_EQ(At(c, 1, 3), "2.5.2011.1N");
  EXPECT_EQ(At(c, 2, 12), "是否酒水(0-否/1-是)");
  EXPECT_EQ(At(c, 3, 1), "A1");
  EXPECT_EQ(At(c, 3, 7), "菜品收入");
  EXPECT_EQ(At(c, 3, 9), "凉菜");
  EXPECT_EQ(At(c, 3, 10), "10");
  EXPECT_EQ(At(c, 4, 1), "B2");  // subject and department missing: names empty
  EXPECT_EQ(At(c, 4, 7), "");
  EXPECT_EQ(At(c, 4, 9), "");
  EXPECT_EQ(At(c, 5, 1), "");  // the deleted type is not exported
  EXPECT_EQ(At(c, 6, 0), "menuitem");
  EXPECT_EQ(At(c, 7, 49), "启用日期");
  // 10001: price 0 written, member price 0 and negative cost left empty.
  EXPECT_EQ(At(c, 8, 1), "A1");
  EXPECT_EQ(At(c, 8, 2), "10001");
  EXPECT_EQ(At(c, 8, 7), "凉菜");
  EXPECT_EQ(At(c, 8, 9), "0");
  EXPECT_EQ(At(c, 8, 10), "");
  EXPECT_EQ(At(c, 8, 11), "");
  EXPECT_EQ(At(c, 8, 46), "3");
  EXPECT_EQ(At(c, 8, 48), "6");
  EXPECT_EQ(At(c, 8, 49), "");
  // 10002: "a1" differs from "A1" by case only and is written again.
  EXPECT_EQ(At(c, 9, 1), "a1");
  EXPECT_EQ(At(c, 9, 12), "大");
  EXPECT_EQ(At(c, 9, 13), "20");
  EXPECT_EQ(At(c, 9, 48), "");
  // Disabled and deleted dishes are not exported.
  EXPECT_EQ(At(c, 10, 2), "10005");
  EXPECT_EQ(At(c, 10, 1), "B2");
  EXPECT_EQ(At(c, 10, 7), "");
  EXPECT_EQ(At(c, 11, 2), "");
  // Every written cell is text.
  for (const auto& x : sxtest::ReadXlsx(host.workbooks[0])) {
    EXPECT_EQ(x.type, "s") << x.row << "," << x.column;
  }
}

TEST_F(MenuTest, EmptyMenuStillHasBothSections) {
  sxtest::HostCapture host;
  char buffer[256] = {};
  ASSERT_EQ(ExportMenu(db.c_str(), buffer), 1) << buffer;
  ASSERT_EQ(host.workbooks.size(), 1u);
  CellMap c = Cells(host.workbooks[0]);
  EXPECT_EQ(At(c, 2, 1), kTypeCaption);
  EXPECT_EQ(At(c, 4, 0), "menuitem");
  EXPECT_EQ(At(c, 5, 1), kTypeCaption);
  EXPECT_EQ(At(c, 5, 2), "菜编码(最多5个字符)");
  EXPECT_EQ(c.size(), 3u + 12 + 1 + 49);
}

namespace {

// Live menu of a database, read with the same column names in both editions;
// empty texts and NULL read alike.
const char* kStoreMenu =
    "select t.MenuTypeCode,t.MenuTypeName,ifnull(t.MenuTypeEName,''),ifnull(t.MenuTypeEName2,''),"
    "t.MenuTypeAlias,t.SubjectCode,t.DeptCode,t.ServiceRate,t.UnDiscountTag,t.IsDrink "
    "from MenuType t where ifnull(t.Deleted,0)=0 order by 1";
const char* kGroupMenu =
    "select t.tCode,t.tName,ifnull(t.tName2,''),ifnull(t.tName3,''),t.MenuTypeAlias,t.SubjectCode,"
    "t.DeptCode,t.ServiceRate,t.UnDiscountTag,t.IsDrink from Group_MenuType t "
    "where t.BrandID='01' and ifnull(t.Deleted,0)=0 order by 1";

std::string ItemQuery(bool group) {
  std::string cols = group ? "ItemCode,ItemName,ifnull(ItemName2,''),ifnull(ItemName3,''),tCode,"
                           : "MenuItemCode,MenuItemCName,ifnull(MenuItemEName,''),"
                             "ifnull(MenuItemEName2,''),MenuTypeCode,";
  cols += "DeptCode,ifnull(Standard,''),";
  for (int k = 1; k <= 5; ++k) {
    std::string n = k == 1 ? "" : std::to_string(k);
    std::string price = group ? "ItemPrice" + n : "MenuItemPrice" + n;
    if (k > 1) cols += "ifnull(Standard" + n + ",''),";
    cols += "ifnull(" + price + ",0.0),ifnull(MemberPrice" + n + ",0.0),ifnull(CostPrice" + n +
            ",0.0),";
  }
  for (const char* c : {"Mask", "MessageTag", "TimePriceTag", "QtyNotSureTag", "TimeTag",
                        "NeedSaleOut", "CanChangeNamePrice", "CanBonusPay", "AskQty", "AskMemo",
                        "AskScanQty", "MakeTime", "CannotGift", "CanBackWORight", "NeedMaker",
                        "CanRemark", "QtyConfine"})
    cols += std::string("ifnull(") + c + ",0),";
  cols += "ifnull(TaxRate,0.0),";
  for (const char* c : {"HelpCode", "AddStandard", "BarCode", "DefaultMemo"})
    cols += std::string("ifnull(") + c + ",''),";
  cols += group ? "ifnull(UseDate,'')" : "1";
  return "select " + cols + (group ? " from Group_MenuItem where BrandID='01' and "
                                   : " from MenuItem where ") +
         "DishStatus=1 and ifnull(Deleted,0)=0 order by 1";
}

// Compares two results cell by cell, naming the row's key and the column.
void ExpectSameRows(const std::vector<std::vector<std::string>>& actual,
                    const std::vector<std::vector<std::string>>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t r = 0; r < actual.size(); ++r)
    for (std::size_t c = 0; c < actual[r].size(); ++c)
      EXPECT_EQ(actual[r][c], expected[r][c]) << "row " << expected[r][0] << ", column " << c;
}

}  // namespace

TEST_F(MenuTest, StoreMenuSurvivesExportAndImportIntoAnEmptyStore) {
  std::string from = dir.File("sample.db");
  sxtest::CreateDatabase(from, Edition::Store);
  sxtest::SqlExec(from, SampleSql(Edition::Store));
  std::string exported;
  {
    sxtest::HostCapture host;
    char buffer[256] = {};
    ASSERT_EQ(ExportMenu(from.c_str(), buffer), 1) << buffer;
    ASSERT_EQ(host.workbooks.size(), 1u);
    std::filesystem::copy_file(host.workbooks[0], book);
  }
  SqlExecWith(db, from,
              "DELETE FROM Subject; DELETE FROM Dept; "
              "INSERT INTO Subject SELECT * FROM sample.Subject; "
              "INSERT INTO Dept SELECT * FROM sample.Dept;");
  sxtest::HostCapture host;
  char buffer[256] = {};
  ASSERT_EQ(ImportMenu(db.c_str(), book.c_str(), buffer), 1) << buffer;
  EXPECT_TRUE(host.Texts(1).empty()) << host.Texts(1)[0];
  auto types = sxtest::SqlRows(from, kStoreMenu);
  EXPECT_EQ(types.size(), 6u);
  EXPECT_EQ(sxtest::SqlRows(db, kStoreMenu), types);
  auto items = sxtest::SqlRows(from, ItemQuery(false));
  EXPECT_GE(items.size(), 30u);
  ExpectSameRows(sxtest::SqlRows(db, ItemQuery(false)), items);
}

TEST_F(MenuTest, GroupMenuSurvivesExportAndImportIntoAnEmptyBrand) {
  std::string from = dir.File("sample.db"), to = dir.File("group.db");
  sxtest::CreateDatabase(from, Edition::Group);
  sxtest::SqlExec(from, SampleSql(Edition::Group));
  sxtest::CreateDatabase(to, Edition::Group);
  {
    sxtest::HostCapture host;
    char buffer[256] = {};
    ASSERT_EQ(ExportGroupMenu(from.c_str(), "01", buffer), 1) << buffer;
    ASSERT_EQ(host.workbooks.size(), 1u);
    CellMap c = Cells(host.workbooks[0]);
    EXPECT_EQ(At(c, 1, 1), "01");
    EXPECT_EQ(At(c, 1, 3), "2.5.2011.1G");
    std::filesystem::copy_file(host.workbooks[0], book);
  }
  SqlExecWith(to, from,
              "INSERT INTO Group_Subject SELECT * FROM sample.Group_Subject; "
              "INSERT INTO Group_Hotel_Dept SELECT * FROM sample.Group_Hotel_Dept;");
  sxtest::HostCapture host;
  char buffer[256] = {};
  ASSERT_EQ(ImportGroupMenu(to.c_str(), "01", book.c_str(), buffer), 1) << buffer;
  EXPECT_TRUE(host.Texts(1).empty()) << host.Texts(1)[0];
  auto types = sxtest::SqlRows(from, kGroupMenu);
  EXPECT_EQ(types.size(), 6u);
  EXPECT_EQ(sxtest::SqlRows(to, kGroupMenu), types);
  auto items = sxtest::SqlRows(from, ItemQuery(true));
  EXPECT_GE(items.size(), 30u);
  ExpectSameRows(sxtest::SqlRows(to, ItemQuery(true)), items);
  EXPECT_EQ(sxtest::SqlColumn(to, "select count(*) from Group_DownloadVersion where BrandID='01' "
                                  "and MenuVersion is not null"),
            (std::vector<std::string>{"1"}));
}

TEST_F(MenuTest, GroupExportWritesAStoredUseDateThatIsNoDateAsItStands) {
  std::string group = dir.File("group.db");
  sxtest::CreateDatabase(group, Edition::Group);
  sxtest::SqlExec(group, R"(
    INSERT INTO Group_MenuType(BrandID,tCode,tName,Deleted) VALUES ('B1','01','凉菜',0);
    INSERT INTO Group_MenuItem(BrandID,ItemCode,ItemName,tCode,DishStatus,Deleted,UseDate) VALUES
      ('B1','1','甲','01',1,0,'2024-03-05 00:00:00'), ('B1','2','乙','01',1,0,'2024/3/5');)");
  sxtest::HostCapture host;
  char buffer[256] = {};
  ASSERT_EQ(ExportGroupMenu(group.c_str(), "B1", buffer), 1) << buffer;
  CellMap c = Cells(host.workbooks.at(0));
  EXPECT_EQ(At(c, 7, 49), "2024-03-05");
  EXPECT_EQ(At(c, 8, 49), "2024/3/5");
}
