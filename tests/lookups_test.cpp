// Reference lists on real SQLite databases made from the schema files, with
// rows put in by SQLite's own API: which rows each edition's list holds, the
// names callers read them by, and how Find matches.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "datamodule/udmio.h"
#include "support/TestSupport.h"

using sx::Tdmio;
using sxtest::Edition;
using Rows = std::vector<std::vector<std::string>>;

namespace {

// True when the database layer runs statements that use the server's IsNull.
// Several lists filter with it; their tests wait for it instead of failing.
bool IsNullAccepted(const std::string& path) {
  sx::db::Connection c;
  c.SetConnectionString(path);
  c.Open();
  try {
    c.RunQuery("select IsNull(null,1)", {});
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

#define REQUIRE_ISNULL()                                                        \
  if (!IsNullAccepted(store)) GTEST_SKIP() << "IsNull is not translated yet"

// Every row of a list, reading the named columns as text.
Rows Read(const sx::RefList& list, std::initializer_list<const char*> columns) {
  Rows rows;
  for (std::size_t r = 0; r < list.Size(); ++r) {
    std::vector<std::string> row;
    for (const char* c : columns) row.push_back(list.At(r).Text(c));
    rows.push_back(std::move(row));
  }
  return rows;
}

sx::Edition Brand(const std::string& id) { return sx::Edition::Group(id); }
const sx::Edition kStore = sx::Edition::Store();

struct LookupsTest : ::testing::Test {
  sxtest::TempDir dir;
  std::string store = dir.File("store.db");
  std::string group = dir.File("group.db");
  Tdmio ds;  // on the store database
  Tdmio dg;  // on the group database
  void SetUp() override {
    sxtest::CreateDatabase(store, Edition::Store);
    sxtest::CreateDatabase(group, Edition::Group);
    ds.Connect(store);
    dg.Connect(group);
  }
};

}  // namespace

TEST_F(LookupsTest, StoreMenuItemsLeaveOutDisabledAndDeletedDishesAndDishesOfDeletedTypes) {
  REQUIRE_ISNULL();
  sxtest::SqlExec(store,
                  "insert into MenuType(MenuTypeCode,MenuTypeName,Deleted) values"
                  "('T1','热菜',NULL),('T2','凉菜',0),('T9','旧菜',1);"
                  "insert into MenuItem(MenuItemCode,MenuItemCName,Standard,Standard2,Standard3,"
                  "Standard4,Standard5,MenuTypeCode,DishStatus,Deleted) values"
                  "('B01','鱼','大','中','小','4','5','T1',1,NULL),"
                  "('A01','鸡','','','','','','T2',1,0),"
                  "('C01','停售',NULL,NULL,NULL,NULL,NULL,'T1',0,0),"
                  "('C02','无状态',NULL,NULL,NULL,NULL,NULL,'T1',NULL,0),"
                  "('C03','已删',NULL,NULL,NULL,NULL,NULL,'T1',1,1),"
                  "('C04','旧类',NULL,NULL,NULL,NULL,NULL,'T9',1,0),"
                  "('C05','无类',NULL,NULL,NULL,NULL,NULL,'TX',1,0)");
  auto list = ds.MenuItems(kStore);
  EXPECT_EQ(Read(list, {"MenuItemCode", "MenuItemCName", "Standard", "Standard2", "Standard3",
                            "Standard4", "Standard5", "MenuTypeCode", "MenuTypeName"}),
            (Rows{{"A01", "鸡", "", "", "", "", "", "T2", "凉菜"},
                  {"B01", "鱼", "大", "中", "小", "4", "5", "T1", "热菜"}}));
  EXPECT_FALSE(list.Find("MenuItemCode", "C01"));
  EXPECT_FALSE(list.Find("MenuItemCode", "C04"));
}

TEST_F(LookupsTest, GroupMenuItemsHoldOnlyTheBrandsLiveDishes) {
  REQUIRE_ISNULL();
  sxtest::SqlExec(group,
                  "insert into Group_MenuType(BrandID,tCode,tName,Deleted) values"
                  "('B1','T1','热菜',0),('B1','T9','旧菜',1),('B2','T1','别家',0),('B2','T2','别家2',0);"
                  "insert into Group_MenuItem(BrandID,ItemCode,ItemName,Standard,Standard2,Standard3,"
                  "Standard4,Standard5,tCode,DishStatus,Deleted) values"
                  "('B1','I02','鱼','大','中','小','特','微','T1',1,NULL),"
                  "('B1','I01','鸡',NULL,NULL,NULL,NULL,NULL,'T1',1,0),"
                  "('B1','X01','停售',NULL,NULL,NULL,NULL,NULL,'T1',0,0),"
                  "('B1','X02','已删',NULL,NULL,NULL,NULL,NULL,'T1',1,1),"
                  "('B1','X03','旧类',NULL,NULL,NULL,NULL,NULL,'T9',1,0),"
                  "('B1','X04','别家类',NULL,NULL,NULL,NULL,NULL,'T2',1,0),"
                  "('B2','Y01','别家菜',NULL,NULL,NULL,NULL,NULL,'T1',1,0)");
  auto list = dg.MenuItems(Brand("B1"));
  EXPECT_EQ(Read(list, {"MenuItemCode", "MenuItemCName", "Standard", "Standard2", "Standard3",
                            "Standard4", "Standard5", "MenuTypeCode", "MenuTypeName"}),
            (Rows{{"I01", "鸡", "", "", "", "", "", "T1", "热菜"},
                  {"I02", "鱼", "大", "中", "小", "特", "微", "T1", "热菜"}}));
  list = dg.MenuItems(Brand("B2"));
  EXPECT_EQ(Read(list, {"MenuItemCode", "MenuTypeName"}), (Rows{{"Y01", "别家"}}));
}

TEST_F(LookupsTest, StoreUsersComeFromTheUserViewWithAnEmptyBranch) {
  sxtest::SqlExec(store,
                  "insert into HotelUser(UserID,UserName,PassNo) values"
                  "('02','李四','P2'),('01','张三',NULL)");
  auto list = ds.Users(kStore);
  EXPECT_EQ(Read(list, {"UserID", "UserName", "PassNo", "HotelID"}),
            (Rows{{"01", "张三", "", ""}, {"02", "李四", "P2", ""}}));
}

TEST_F(LookupsTest, GroupUsersAreTheLiveUsersOfTheBrandsBranchesInUse) {
  REQUIRE_ISNULL();
  sxtest::SqlExec(group,
                  "insert into Group_Hotel(HotelID,HotelName,BrandID,UseTag) values"
                  "('H2','二店','B1',1),('H1','一店','B1',1),('H3','停用','B1',0),"
                  "('H4','空标志','B1',NULL),('H9','别家','B2',1);"
                  "insert into Group_Hotel_User(PassNo,UserID,UserName,HotelID,Deleted) values"
                  "('P1','u1','甲','H2',0),('P2','U1','乙','H1',NULL),('P3','02','丙','H1',0),"
                  "('P4','03','已删','H1',1),('P5','04','停店','H3',0),('P6','05','空店','H4',0),"
                  "('P7','06','别家','H9',0)");
  auto list = dg.Users(Brand("B1"));
  EXPECT_EQ(Read(list, {"UserID", "UserName", "PassNo", "HotelID"}),
            (Rows{{"02", "丙", "P3", "H1"}, {"U1", "乙", "P2", "H1"}, {"u1", "甲", "P1", "H2"}}));
  // Of two matching rows Find stops on the first in list order.
  ASSERT_TRUE(list.Find("UserID", "u1"));
  EXPECT_EQ(list.Find("UserID", "u1")->Text("HotelID"), "H1");
  ASSERT_TRUE(list.Find("UserID", "u1", sx::Case::Exact));
  EXPECT_EQ(list.Find("UserID", "u1", sx::Case::Exact)->Text("HotelID"), "H2");
}

TEST_F(LookupsTest, StoreItemsLeaveOutDeletedOnesAndTheGroupCatalogueIgnoresTheBrand) {
  REQUIRE_ISNULL();
  sxtest::SqlExec(store,
                  "insert into S_Item(ItemCode,ItemName,StoreUnit,CalcUnit,Deleted) values"
                  "('M2','面粉','袋','克',0),('M1','盐','包','克',NULL),('M3','旧','个','个',1)");
  sxtest::SqlExec(group,
                  "insert into Group_StoreItem(ItemCode,ItemName,StoreUnit,CalcUnit,Deleted) values"
                  "('G1','油','桶','升',NULL),('G2','旧','个','个',1)");
  auto list = ds.StoreItems(kStore);
  EXPECT_EQ(Read(list, {"ItemCode", "ItemName", "StoreUnit", "CalcUnit"}),
            (Rows{{"M1", "盐", "包", "克"}, {"M2", "面粉", "袋", "克"}}));
  list = dg.StoreItems(Brand("ANY"));
  EXPECT_EQ(Read(list, {"ItemCode", "ItemName", "StoreUnit", "CalcUnit"}),
            (Rows{{"G1", "油", "桶", "升"}}));
}

TEST_F(LookupsTest, MenuTypesLeaveOutDeletedOnesAndOtherBrands) {
  REQUIRE_ISNULL();
  sxtest::SqlExec(store,
                  "insert into MenuType(MenuTypeCode,MenuTypeName,Deleted) values"
                  "('T2','凉菜',0),('T1','热菜',NULL),('T9','旧',1)");
  sxtest::SqlExec(group,
                  "insert into Group_MenuType(BrandID,tCode,tName,Deleted) values"
                  "('B1','T1','热菜',0),('B1','T9','旧',1),('B2','T2','别家',0)");
  auto list = ds.MenuTypes(kStore);
  EXPECT_EQ(Read(list, {"MenuTypeCode", "MenuTypeName"}),
            (Rows{{"T1", "热菜"}, {"T2", "凉菜"}}));
  list = dg.MenuTypes(Brand("B1"));
  EXPECT_EQ(Read(list, {"MenuTypeCode", "MenuTypeName"}), (Rows{{"T1", "热菜"}}));
}

TEST_F(LookupsTest, MealSectionsLeaveOutDeletedOnesAndGroupShiftsReadAsMealSections) {
  REQUIRE_ISNULL();
  sxtest::SqlExec(store,
                  "insert into MealSection(MealSectionCode,MealSectionName,Deleted) values"
                  "(2,'晚市',0),(1,'午市',NULL),(3,'旧',1)");
  sxtest::SqlExec(group,
                  "insert into Group_Shift(BrandID,ShiftCode,ShiftName,Deleted) values"
                  "('B1',5,'早班',0),('B1',6,'旧',1),('B2',7,'别家',0)");
  auto list = ds.MealSections(kStore);
  EXPECT_EQ(Read(list, {"MealSectionCode", "MealSectionName"}),
            (Rows{{"1", "午市"}, {"2", "晚市"}}));
  list = dg.MealSections(Brand("B1"));
  EXPECT_EQ(Read(list, {"MealSectionCode", "MealSectionName"}), (Rows{{"5", "早班"}}));
}

TEST_F(LookupsTest, SubjectsAreTheBrandsPaymentSubjectsOnly) {
  sxtest::SqlExec(store,
                  "insert into Subject(SubjectCode,SubjectName,SubjectClass) values"
                  "('5101','收入',1),('510102','酒水',2),('510101','菜品',2)");
  sxtest::SqlExec(group,
                  "insert into Group_Subject(BrandID,SubjectCode,SubjectName,SubjectClass) values"
                  "('B1','5101','收入',1),('B1','510101','菜品',2),('B2','510102','别家',2)");
  auto list = ds.Subjects(kStore);
  EXPECT_EQ(Read(list, {"SubjectCode", "SubjectName"}),
            (Rows{{"510101", "菜品"}, {"510102", "酒水"}}));
  list = dg.Subjects(Brand("B1"));
  EXPECT_EQ(Read(list, {"SubjectCode", "SubjectName"}), (Rows{{"510101", "菜品"}}));
}

TEST_F(LookupsTest, DepartmentsAreTheBrandsProductionDepartmentsOnly) {
  sxtest::SqlExec(store,
                  "insert into Dept(DeptCode,DeptName,IsProduct) values"
                  "('02','凉菜间',1),('01','厨房',1),('09','财务',0),('08','空',NULL)");
  sxtest::SqlExec(group,
                  "insert into Group_Hotel_Dept(BrandID,DeptCode,DeptName,IsProduct) values"
                  "('B1','01','厨房',1),('B1','09','财务',0),('B2','02','别家',1)");
  auto list = ds.Depts(kStore);
  EXPECT_EQ(Read(list, {"DeptCode", "DeptName"}), (Rows{{"01", "厨房"}, {"02", "凉菜间"}}));
  list = dg.Depts(Brand("B1"));
  EXPECT_EQ(Read(list, {"DeptCode", "DeptName"}), (Rows{{"01", "厨房"}}));
}

TEST_F(LookupsTest, TimeSectionsAreTheBrandsOnes) {
  sxtest::SqlExec(store,
                  "insert into TimeSection(TimeID,StartTime,EndTime) values"
                  "(2,'17:00','21:00'),(1,'11:00','14:00')");
  sxtest::SqlExec(group,
                  "insert into Group_TimeSection(BrandID,TimeID,StartTime,EndTime) values"
                  "('B1',3,'06:00','09:30'),('B2',4,'10:00','11:00')");
  auto list = ds.TimeSections(kStore);
  EXPECT_EQ(Read(list, {"TimeID", "StartTime", "EndTime"}),
            (Rows{{"1", "11:00", "14:00"}, {"2", "17:00", "21:00"}}));
  list = dg.TimeSections(Brand("B1"));
  EXPECT_EQ(Read(list, {"TimeID", "StartTime", "EndTime"}),
            (Rows{{"3", "06:00", "09:30"}}));
}

TEST_F(LookupsTest, CardTypesAndStoresReadTheSameInBothEditions) {
  for (const std::string& path : {store, group}) {
    sxtest::SqlExec(path,
                    "insert into CardType(CardTypeCode,CardTypeName) values('V2','金卡'),('V1','银卡');"
                    "insert into S_Store(StoreCode,StoreName) values(2,'酒水库'),(1,'总库')");
  }
  for (Tdmio* dm : {&ds, &dg}) {
    EXPECT_EQ(Read(dm->CardTypes(), {"CardTypeCode", "CardTypeName"}),
              (Rows{{"V1", "银卡"}, {"V2", "金卡"}}));
    EXPECT_EQ(Read(dm->Stores(), {"StoreCode", "StoreName"}),
              (Rows{{"1", "总库"}, {"2", "酒水库"}}));
  }
}

TEST_F(LookupsTest, BranchRestaurantsAreTheBrandsBranchesInUseByZone) {
  sxtest::SqlExec(group,
                  "insert into Group_Zone(ZoneID,ZoneName) values(2,'西区'),(1,'东区');"
                  "insert into Group_Hotel(HotelID,HotelName,BrandID,ZoneID,UseTag) values"
                  "('H3','三店','B1',1,1),('H1','一店','B1',2,1),('H2','二店','B1',1,1),"
                  "('H4','停用','B1',1,0),('H5','无区','B1',9,1),('H9','别家','B2',1,1)");
  auto list = dg.HotelIDs(Brand("B1"));
  EXPECT_EQ(Read(list, {"HotelID", "HotelName", "ZoneID", "ZoneName"}),
            (Rows{{"H2", "二店", "1", "东区"},
                  {"H3", "三店", "1", "东区"},
                  {"H1", "一店", "2", "西区"}}));
}

TEST_F(LookupsTest, FindMatchesWholeCodesWithOrWithoutLetterCase) {
  sxtest::SqlExec(store,
                  "insert into Dept(DeptCode,DeptName,IsProduct) values"
                  "('A1','厨房',1),('AB12','面点',1)");
  auto list = ds.Depts(kStore);
  ASSERT_TRUE(list.Find("DeptCode", "a1"));
  EXPECT_EQ(list.Find("DeptCode", "a1")->Text("DeptName"), "厨房");
  ASSERT_TRUE(list.Find("DeptCode", "ab12"));
  EXPECT_EQ(list.Find("DeptCode", "ab12")->Text("DeptName"), "面点");
  EXPECT_FALSE(list.Find("DeptCode", "a1", sx::Case::Exact));
  ASSERT_TRUE(list.Find("DeptCode", "A1", sx::Case::Exact));
  EXPECT_EQ(list.Find("DeptCode", "A1", sx::Case::Exact)->Text("DeptName"), "厨房");
  // Neither a prefix nor a longer code, nor a name in the key column, matches.
  EXPECT_FALSE(list.Find("DeptCode", "AB1"));
  EXPECT_FALSE(list.Find("DeptCode", "A"));
  EXPECT_FALSE(list.Find("DeptCode", "A12"));
  EXPECT_FALSE(list.Find("DeptCode", "厨房"));
  EXPECT_TRUE(list.Find("DeptName", "厨房"));
}

TEST_F(LookupsTest, QuoteInBrandIdIsOnlyPartOfTheValue) {
  sxtest::SqlExec(group,
                  "insert into Group_Hotel_Dept(BrandID,DeptCode,DeptName,IsProduct) values"
                  "('B1','01','厨房',1),('O''K','02','奥克',1);"
                  "insert into Group_Subject(BrandID,SubjectCode,SubjectName,SubjectClass) values"
                  "('B1','510101','菜品',2);"
                  "insert into Group_TimeSection(BrandID,TimeID,StartTime,EndTime) values"
                  "('B1',1,'11:00','14:00');"
                  "insert into Group_Zone(ZoneID,ZoneName) values(1,'东区');"
                  "insert into Group_Hotel(HotelID,HotelName,BrandID,ZoneID,UseTag) values"
                  "('H1','一店','B1',1,1)");
  for (const char* brand : {"B'1", "x' or '1'='1", "'", "B1'--"}) {
    SCOPED_TRACE(brand);
    EXPECT_EQ(dg.Depts(Brand(brand)).Size(), 0u);
    EXPECT_EQ(dg.Subjects(Brand(brand)).Size(), 0u);
    EXPECT_EQ(dg.TimeSections(Brand(brand)).Size(), 0u);
    EXPECT_EQ(dg.HotelIDs(Brand(brand)).Size(), 0u);
  }
  // A brand whose ID holds a quote reads its own rows.
  EXPECT_EQ(Read(dg.Depts(Brand("O'K")), {"DeptCode", "DeptName"}), (Rows{{"02", "奥克"}}));
}

TEST_F(LookupsTest, ListsAreIndependentValues) {
  sxtest::SqlExec(store,
                  "insert into CardType(CardTypeCode,CardTypeName) values('V1','银卡');"
                  "insert into TimeSection(TimeID,StartTime,EndTime) values(1,'11:00','14:00')");
  auto cards = ds.CardTypes();
  cards = ds.CardTypes();
  EXPECT_EQ(cards.Size(), 1u);
  auto times = ds.TimeSections(kStore);
  EXPECT_EQ(Read(times, {"TimeID"}), (Rows{{"1"}}));
  EXPECT_TRUE(cards.Find("CardTypeCode", "v1"));  // loading another list leaves this one as it was
  EXPECT_THROW(times.Find("CardTypeCode", "V1"), sx::Error);
}

TEST_F(LookupsTest, FindComparesAsTheColumnsType) {
  sxtest::SqlExec(store, "insert into TimeSection(TimeID,StartTime,EndTime) values(1,'11:00','14:00')");
  auto times = ds.TimeSections(kStore);
  for (const char* found : {"1", "01", " 1", "1.0"}) EXPECT_TRUE(times.Find("TimeID", found)) << found;
  for (const char* missing : {"2", "1a", "", "一"}) EXPECT_FALSE(times.Find("TimeID", missing)) << missing;
  EXPECT_TRUE(times.Find("StartTime", "11:00"));
  EXPECT_FALSE(times.Find("StartTime", "11:0"));
}

TEST_F(LookupsTest, GroupListOnAStoreDatabaseRaisesTheDatabaseError) {
  try {
    ds.Depts(Brand("B1"));
    FAIL();
  } catch (const sx::Error& e) {
    EXPECT_NE(std::string(e.what()).find("Group_Hotel_Dept"), std::string::npos);
  }
}
