// The statement adapter: legacy outer joins rewritten for every engine, and
// the server's functions for SQLite, checked on their text and by the rows
// the statements return from real SQLite databases.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <ctime>
#include <regex>

#include "db/Database.h"
#include "support/TestSupport.h"

using sx::db::DialectKind;
using sx::db::TranslateStatement;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

std::string ForServer(const std::string& s) { return TranslateStatement(s, DialectKind::SqlServer); }
std::string ForSqlite(const std::string& s) { return TranslateStatement(s, DialectKind::Sqlite); }

// Checks what SQL Server needs of a rewritten statement: no legacy operator
// left, and every FROM list one chain of joins (no comma at its top level).
void ExpectSingleChains(const std::string& sql) {
  EXPECT_THAT(sql, Not(HasSubstr("*=")));
  EXPECT_THAT(sql, Not(HasSubstr("=*")));
  std::string lower = sql;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  // Depth of each "from": a FROM list runs until where/order/group or its closing parenthesis.
  for (std::size_t at = lower.find(" from "); at != std::string::npos; at = lower.find(" from ", at + 1)) {
    int depth = 0;
    bool quoted = false;
    for (std::size_t i = at + 6; i < lower.size(); ++i) {
      char c = lower[i];
      if (c == '\'') quoted = !quoted;
      if (quoted) continue;
      if (c == '(') ++depth;
      if (c == ')' && depth-- == 0) break;
      if (depth == 0 && (lower.compare(i, 7, " where ") == 0 || lower.compare(i, 7, " order ") == 0 ||
                         lower.compare(i, 7, " group ") == 0))
        break;
      EXPECT_FALSE(depth == 0 && c == ',') << "comma in a FROM list at " << i << ": " << sql;
    }
  }
}

}  // namespace

// ---- The rewrite on small statements ----------------------------------------

TEST(OuterJoinRewrite, SingleOuterJoinBecomesLeftOuterJoin) {
  EXPECT_EQ(ForServer("select a.x,b.y from A a,B b where a.k*=b.k"),
            "select a.x,b.y from A a left outer join B b on a.k=b.k");
  EXPECT_EQ(ForServer("select a.x from A a,B b where b.k=*a.k order by a.x"),
            "select a.x from A a left outer join B b on b.k=a.k order by a.x");
}

TEST(OuterJoinRewrite, FilterOnInnerTableMovesToOnAndOuterFilterStays) {
  EXPECT_EQ(ForServer("select * from A a,B b where a.u=2 and a.k*=b.k and b.t='1' and b.d between 1 and 5 "
                      "order by a.x"),
            "select * from A a left outer join B b on a.k=b.k and b.t='1' and b.d between 1 and 5 "
            "where a.u=2 order by a.x");
  // A condition naming both tables is no filter of the inner table alone.
  EXPECT_EQ(ForServer("select * from A a,B b where a.k*=b.k and b.t=a.t"),
            "select * from A a left outer join B b on a.k=b.k where b.t=a.t");
}

TEST(OuterJoinRewrite, TwoOuterJoinsOnOneTable) {
  EXPECT_EQ(ForServer("select t.*,c.m,h.h from T t,C c,H h where t.p*=c.p and t.p*=h.p and t.b='B1' "
                      "and c.b='B1' and h.b='B1' order by t.p"),
            "select t.*,c.m,h.h from T t left outer join C c on t.p=c.p and c.b='B1' "
            "left outer join H h on t.p=h.p and h.b='B1' where t.b='B1' order by t.p");
}

TEST(OuterJoinRewrite, PlainTablesJoinInOneChainAndInnerTablesFollowTheirOuter) {
  EXPECT_EQ(ForServer("select * from I i,P p,M m where i.p=p.id and i.m*=m.m"),
            "select * from I i inner join P p on 1=1 left outer join M m on i.m=m.m where i.p=p.id");
  EXPECT_EQ(ForServer("select * from B b,A a where a.k*=b.k"), "select * from A a left outer join B b on a.k=b.k");
  // A chain of outer joins: C hangs on B, which hangs on A.
  EXPECT_EQ(ForServer("select * from C c,B b,A a where b.j*=c.j and a.k*=b.k"),
            "select * from A a left outer join B b on a.k=b.k left outer join C c on b.j=c.j");
}

TEST(OuterJoinRewrite, DerivedTablesAndSubqueriesAreRewrittenToo) {
  EXPECT_EQ(ForServer("select g.*,t.n from (select r.*,m.c from R r,M m where r.k*=m.k) as g,T t "
                      "where g.c*=t.c order by g.k"),
            "select g.*,t.n from (select r.*,m.c from R r left outer join M m on r.k=m.k) as g "
            "left outer join T t on g.c=t.c order by g.k");
  EXPECT_EQ(ForServer("select x from T where x in (select a.x from A a,B b where a.k*=b.k)"),
            "select x from T where x in (select a.x from A a left outer join B b on a.k=b.k)");
  EXPECT_EQ(ForServer("select a.x from A a,B b where a.k*=b.k union all select c.x from C c"),
            "select a.x from A a left outer join B b on a.k=b.k union all select c.x from C c");
}

TEST(OuterJoinRewrite, LiteralsAndParametersAreKept) {
  const std::string plain = "select * from A where x='a*=b' and y=:brandid";
  EXPECT_EQ(ForServer(plain), plain);
  EXPECT_EQ(ForSqlite(plain), plain);
  EXPECT_EQ(ForServer("select a.x from A a,B b where a.k*=b.k and b.s='p*=q and r.s' and b.brand=:brandid"),
            "select a.x from A a left outer join B b on a.k=b.k and b.s='p*=q and r.s' and b.brand=:brandid");
}

TEST(OuterJoinRewrite, StatementsWithoutTheOperatorStayByteForByteForTheServer) {
  for (std::string s : {"select  IsNull(a,0) , Left(b,2),Len(c)  from t -- note *=\n where GetDate()>d",
                        "select top 5 * from T order by x", "Update V set S=GetDate() where B=:brandid",
                        "select (a from", "select a.x from A a,B b where a.k=b.k"})
    EXPECT_EQ(ForServer(s), s);
}

TEST(OuterJoinRewrite, UnsupportedShapesFailWithAMessageInsteadOfWrongSql) {
  auto fails = [](const std::string& s, const std::string& words) {
    try {
      ForServer(s);
      ADD_FAILURE() << "no error for: " << s;
    } catch (const sx::db::DbError& e) {
      EXPECT_THAT(e.what(), HasSubstr(words)) << s;
      EXPECT_THAT(e.what(), HasSubstr(s));
    }
  };
  fails("select * from A a,B b where a.k*=b.k or a.x=1", "OR");
  fails("select * from A a,B b where a.k*=b.k and Deleted=0", "'Deleted'");
  fails("select * from A a join C c on a.i=c.i,B b where a.k*=b.k", "JOIN");
  fails("select * from A a,B b where a.k*=b.k and b.j*=a.j", "cycle");
  fails("select * from A a,B b where a.k*=z.k", "missing from the FROM list");
  fails("select * from A a,B b where a.k+b.k*=b.j", "two tables");
  fails("select * from A a,B a where a.k*=a.j", "used twice");
  // Found by fuzzing: the rewrite joined "a.k*" and "=b.k" into the operator again.
  fails("select * from A a,B b where a.k**=b.k", "not a column");
  fails("select * from A a,B b where a.k=*=b.k", "not a column");
}

// ---- Every outer join statement of the system, on real data -----------------

namespace {

struct OuterJoinOnData : ::testing::Test {
  sxtest::TempDir dir;
  std::string db = dir.File("joins.db");

  void SetUp() override {
    sqlite3* h = nullptr;
    ASSERT_EQ(sqlite3_open_v2(db.c_str(), &h, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr), SQLITE_OK);
    sqlite3_close(h);
  }

  // Runs the statement through the access layer; each row as "a|b|c" over
  // the given columns, NULL as "NULL".
  std::vector<std::string> Rows(const std::string& statement, const std::vector<std::string>& columns,
                                bool sorted = false) {
    sx::db::Connection c;
    c.SetConnectionString(db);
    c.Open();
    sx::db::Query q(c);
    q.SetSQL(statement);
    q.Open();
    std::vector<std::string> rows;
    for (; !q.Eof(); q.Next()) {
      std::string row;
      for (std::size_t i = 0; i < columns.size(); ++i) {
        auto f = q.FieldByName(columns[i]);
        row += (i ? "|" : "") + (f.IsNull() ? std::string("NULL") : f.AsString());
      }
      rows.push_back(row);
    }
    if (sorted) std::sort(rows.begin(), rows.end());
    ExpectSingleChains(ForServer(statement));
    return rows;
  }
};

}  // namespace

TEST_F(OuterJoinOnData, StoreSetMealsKeepMealsWithoutShiftOrTimeSection) {
  sxtest::SqlExec(db,
                  "create table MenuSuite(MenuSuiteNo text, MenuSuiteName text, MealSectionCode int, TimeID int);"
                  "create table MealSection(MealSectionCode int, MealSectionName text);"
                  "create table TimeSection(TimeID int, StartTime text, EndTime text);"
                  "insert into MenuSuite values('1','A',1,1),('2','B',9,1),('3','C',null,null);"
                  "insert into MealSection values(1,'Lunch');"
                  "insert into TimeSection values(1,'11:00','14:00');");
  EXPECT_THAT(Rows("select m.*,s.MealSectionName,t.StartTime,t.EndTime from MenuSuite m,MealSection s,"
                   "TimeSection t where m.MealSectionCode*=s.MealSectionCode  and m.TimeID*=t.TimeID "
                   "order by MenuSuiteNo",
                   {"MenuSuiteNo", "MealSectionName", "StartTime", "EndTime"}),
              ElementsAre("1|Lunch|11:00|14:00", "2|NULL|11:00|14:00", "3|NULL|NULL|NULL"));
}

TEST_F(OuterJoinOnData, GroupSetMealsKeepMealsWhoseShiftBelongsToAnotherBrand) {
  sxtest::SqlExec(db,
                  "create table Group_MenuSuite(BrandID text, msCode text, MealSectionCode int, TimeID int);"
                  "create table Group_Shift(BrandID text, ShiftCode int, ShiftName text);"
                  "create table Group_TimeSection(BrandID text, TimeID int, StartTime text, EndTime text);"
                  "insert into Group_MenuSuite values('B1','A',1,1),('B1','B',2,2),('B2','C',1,1);"
                  "insert into Group_Shift values('B1',1,'Early'),('B2',1,'Other'),('B2',2,'Late');"
                  "insert into Group_TimeSection values('B1',1,'08:00','10:00'),('B2',1,'09:00','11:00'),"
                  "('B2',2,'12:00','13:00');");
  EXPECT_THAT(Rows("select m.*,s.ShiftName,t.StartTime,t.EndTime from Group_MenuSuite m,Group_Shift s,"
                   "Group_TimeSection t where m.BrandID='B1' and m.MealSectionCode*=s.ShiftCode and "
                   "s.BrandID='B1' and m.TimeID*=t.TimeID and t.BrandID='B1' order by m.msCode",
                   {"msCode", "ShiftName", "StartTime"}),
              ElementsAre("A|Early|08:00", "B|NULL|NULL"));
}

TEST_F(OuterJoinOnData, StoreDiscountLinesKeepLinesWithoutTypeOrSetMeal) {
  sxtest::SqlExec(db,
                  "create table DiscountSuite(CardTypeCode text, MenuTypeCode text, MenuSuiteNo text, Rate int);"
                  "create table MenuType(MenuTypeCode text, MenuTypeName text);"
                  "create table MenuSuite(MenuSuiteNo text, MenuSuiteName text);"
                  "insert into DiscountSuite values('C1','T1',null,90),('C1',null,'S1',80),('C2','T9','S9',70);"
                  "insert into MenuType values('T1','Hot');"
                  "insert into MenuSuite values('S1','Feast');");
  EXPECT_THAT(Rows("select i.*,m.MenuTypeName,ms.MenuSuiteName from DiscountSuite i,MenuType m,MenuSuite ms "
                   "where i.MenuTypeCode*=m.MenuTypeCode and i.MenuSuiteNo*=ms.MenuSuiteNo "
                   "order by i.CardTypeCode,i.MenuTypeCode,i.MenuSuiteNo",
                   {"CardTypeCode", "Rate", "MenuTypeName", "MenuSuiteName"}),
              ElementsAre("C1|80|NULL|Feast", "C1|90|Hot|NULL", "C2|70|NULL|NULL"));
}

TEST_F(OuterJoinOnData, GroupDiscountLinesKeepLinesWhoseTypeIsOfAnotherBrand) {
  sxtest::SqlExec(db,
                  "create table CardTypeItems(BrandID text, CardTypeCode text, MenuTypeCode text, MenuSuiteNo text);"
                  "create table Group_MenuType(BrandID text, tCode text, tName text);"
                  "create table Group_MenuSuite(BrandID text, msCode text, msName text);"
                  "insert into CardTypeItems values('B1','C1','T1',null),('B1','C1',null,'S2'),"
                  "('B1','C2','T2','S1'),('B2','C3','T1','S1');"
                  "insert into Group_MenuType values('B1','T1','Hot'),('B2','T1','Other'),('B2','T2','Cold');"
                  "insert into Group_MenuSuite values('B1','S1','Feast'),('B2','S2','Other');");
  EXPECT_THAT(Rows("select i.*,m.tName as MenuTypeName,ms.msName as MenuSuiteName from CardTypeItems i,"
                   "Group_MenuType m,Group_MenuSuite ms where i.MenuTypeCode*=m.tCode and i.MenuSuiteNo*=ms.msCode "
                   "and i.BrandID='B1' and m.BrandID='B1' and ms.BrandID='B1' "
                   "order by i.CardTypeCode,i.MenuTypeCode,i.MenuSuiteNo",
                   {"CardTypeCode", "MenuTypeCode", "MenuTypeName", "MenuSuiteName"}),
              ElementsAre("C1|NULL|NULL|NULL", "C1|T1|Hot|NULL", "C2|T2|NULL|Feast"));
}

TEST_F(OuterJoinOnData, RoomsWithoutMenuTypesGiveOneRowWithEmptyColumns) {
  sxtest::SqlExec(db,
                  "create table Room(RoomNo text, RoomName text);"
                  "create table RoomMenuType(RoomNo text, MenuTypeCode text);"
                  "create table MenuType(MenuTypeCode text, MenuTypeName text);"
                  "insert into Room values('R1','Hall'),('R2','Garden');"
                  "insert into RoomMenuType values('R1','T1'),('R1','T9');"
                  "insert into MenuType values('T1','Hot');");
  const std::string statement =
      "select g.*,t.MenuTypeName from (select r.*,m.MenuTypeCode from Room r,RoomMenuType m where "
      "r.RoomNo*=m.RoomNo) as g,MenuType t where g.MenuTypeCode*=t.MenuTypeCode order by g.RoomNo,g.MenuTypeCode";
  EXPECT_THAT(Rows(statement, {"RoomNo", "RoomName", "MenuTypeCode", "MenuTypeName"}),
              ElementsAre("R1|Hall|T1|Hot", "R1|Hall|T9|NULL", "R2|Garden|NULL|NULL"));
  EXPECT_EQ(ForServer(statement),
            "select g.*,t.MenuTypeName from (select r.*,m.MenuTypeCode from Room r left outer join RoomMenuType m "
            "on r.RoomNo=m.RoomNo) as g left outer join MenuType t on g.MenuTypeCode=t.MenuTypeCode "
            "order by g.RoomNo,g.MenuTypeCode");
}

TEST_F(OuterJoinOnData, GiftRulesKeepRulesWithoutDishOrTypeButNeedPackageAndRole) {
  sxtest::SqlExec(db,
                  "create table GiftDishRoleItem(ID int, RoleID int, PackgeID int, MenuTypeCode text, "
                  "MenuItemCode text);"
                  "create table GiftDishPackge(ID int, PackgeName text);"
                  "create table GiftDishRole(ID int, RoleName text);"
                  "create table MenuItem(MenuItemCode text, MenuItemCName text);"
                  "create table MenuType(MenuTypeCode text, MenuTypeName text);"
                  "insert into GiftDishRoleItem values(1,1,1,'T1',null),(2,1,1,null,'M1'),(3,1,1,'T9','M9'),"
                  "(4,9,1,'T1','M1'),(5,1,9,'T1','M1');"
                  "insert into GiftDishPackge values(1,'Pack');"
                  "insert into GiftDishRole values(1,'Role');"
                  "insert into MenuItem values('M1','Tea');"
                  "insert into MenuType values('T1','Drinks');");
  const std::string statement =
      "select i.*,p.PackgeName,r.RoleName,m.MenuItemCName,t.MenuTypeName from GiftDishRoleItem i,GiftDishPackge p,"
      "GiftDishRole r,MenuItem m,MenuType t where i.PackgeID=p.ID and i.RoleID=r.ID and "
      "i.MenuTypeCode*=t.MenuTypeCode and i.MenuItemCode*=m.MenuItemCode order by i.RoleID,i.PackgeID,i.ID";
  EXPECT_THAT(Rows(statement, {"ID", "PackgeName", "RoleName", "MenuItemCName", "MenuTypeName"}),
              ElementsAre("1|Pack|Role|NULL|Drinks", "2|Pack|Role|Tea|NULL", "3|Pack|Role|NULL|NULL"));
}

TEST_F(OuterJoinOnData, MinimumChargesKeepTablesWithoutPlansAndDropNegativeTypes) {
  sxtest::SqlExec(db,
                  "create table HotelTable(TableNo text, LowestPay real, LowestPayType int, ExcludeDishs text);"
                  "create table LowestPayTimePlan(TableNo text, TimeID int, LowestPay real);"
                  "create table TimeSection(TimeID int, StartTime text, EndTime text);"
                  "insert into HotelTable values('01',10,0,''),('02',20,1,''),('03',30,-1,''),('04',40,null,'');"
                  "insert into LowestPayTimePlan values('01',1,100),('01',9,50),('03',1,70);"
                  "insert into TimeSection values(1,'11:00','14:00');");
  EXPECT_THAT(Rows("select g.*,s.StartTime,s.EndTime from (select t.TableNo,t.LowestPay,t.LowestPayType,"
                   "t.ExcludeDishs,p.TimeID,p.LowestPay as LowestPayTimeID from HotelTable t,LowestPayTimePlan p "
                   "where t.TableNo*=p.TableNo) g,TimeSection s where g.TimeID*=s.TimeID and g.LowestPayType>=0 "
                   "order by g.TableNo",
                   {"TableNo", "TimeID", "LowestPayTimeID", "StartTime"}, true),
              ElementsAre("01|1|100|11:00", "01|9|50|NULL", "02|NULL|NULL|NULL"));
}

TEST_F(OuterJoinOnData, StorePlansWithoutConfinementStillGiveARow) {
  sxtest::SqlExec(db,
                  "create table TimePlan(PlanCode text, PlanName text);"
                  "create table TimePlanConfine(PlanCode text, MealSectionCode int, TimeID int);"
                  "insert into TimePlan values('P1','Weekday'),('P2','Weekend');"
                  "insert into TimePlanConfine values('P1',1,1),('P1',2,3);");
  EXPECT_THAT(Rows("select t.*,c.MealSectionCode,c.TimeID from TimePlan t,TimePlanConfine c "
                   "where t.PlanCode*=c.PlanCode order by t.PlanCode",
                   {"PlanCode", "PlanName", "MealSectionCode", "TimeID"}, true),
              ElementsAre("P1|Weekday|1|1", "P1|Weekday|2|3", "P2|Weekend|NULL|NULL"));
}

TEST_F(OuterJoinOnData, GroupPlansCrossConfinementAndBranchesOfTheBrandOnly) {
  sxtest::SqlExec(db,
                  "create table Group_TimePlan(BrandID text, PlanCode text, PlanName text);"
                  "create table Group_TimePlanConfine(BrandID text, PlanCode text, MealSectionCode int, TimeID int);"
                  "create table Group_TimePlanHotelID(BrandID text, PlanCode text, HotelID text);"
                  "insert into Group_TimePlan values('B1','P1','a'),('B1','P2','b'),('B1','P3','c'),('B2','P9','z');"
                  "insert into Group_TimePlanConfine values('B1','P1',1,1),('B1','P1',2,2),('B2','P1',7,7),"
                  "('B2','P2',8,8),('B2','P9',1,1);"
                  "insert into Group_TimePlanHotelID values('B1','P1','H1'),('B1','P1','H2'),('B1','P2','H1'),"
                  "('B2','P3','H9');");
  EXPECT_THAT(Rows("select t.*,c.MealSectionCode,c.TimeID,h.HotelID from Group_TimePlan t,Group_TimePlanConfine c,"
                   "Group_TimePlanHotelID h where t.PlanCode*=c.PlanCode and t.PlanCode*=h.PlanCode and "
                   "t.BrandID='B1' and c.BrandID='B1' and h.BrandID='B1' order by t.PlanCode",
                   {"PlanCode", "MealSectionCode", "HotelID"}, true),
              ElementsAre("P1|1|H1", "P1|1|H2", "P1|2|H1", "P1|2|H2", "P2|NULL|H1", "P3|NULL|NULL"));
}

TEST_F(OuterJoinOnData, GroupStoreTypesWithoutSubjectsOfTheBrandAreListed) {
  sxtest::SqlExec(db,
                  "create table Group_StoreType(tCode text, tName text, tName2 text, tName3 text, fCode int, "
                  "Deleted int);"
                  "create table Group_StoreType_Subject(BrandID text, tCode text, SubjectCode12 text, "
                  "SubjectCode54 text, SubjectCode51 text);"
                  "insert into Group_StoreType values('01','Meat','','',1,0),('02','Fish','','',1,null),"
                  "('03','Gone','','',1,1),('04','Veg','','',2,null);"
                  "insert into Group_StoreType_Subject values('B1','01','a','b','c'),('B2','02','x','y','z');");
  EXPECT_THAT(Rows("select t.tCode as TypeCode,t.tName as TypeName,t.tName2,t.tName3,t.fCode,s.SubjectCode12,"
                   "s.SubjectCode54,s.SubjectCode51 from Group_StoreType t,Group_StoreType_Subject s where "
                   "IsNull(t.Deleted,0)=0 and t.tCode*=s.tCode and s.BrandID='B1' order by t.fCode,t.tCode",
                   {"TypeCode", "SubjectCode12", "SubjectCode51"}),
              ElementsAre("01|a|c", "02|NULL|NULL", "04|NULL|NULL"));
}

TEST_F(OuterJoinOnData, StoreMenuTypesAndItemsWithoutSubjectOrDeptAreExported) {
  sxtest::SqlExec(db,
                  "create table MenuType(MenuTypeCode text, MenuTypeName text, MenuTypeEName text, "
                  "MenuTypeEName2 text, ServiceRate real, SubjectCode text, DeptCode text, MenuTypeAlias text, "
                  "UnDiscountTag int, IsDrink int, Deleted int);"
                  "create table Subject(SubjectCode text, SubjectName text);"
                  "create table Dept(DeptCode text, DeptName text);"
                  "create table MenuItem(MenuItemCode text, MenuTypeCode text, DeptCode text, Deleted int, "
                  "DishStatus int);"
                  "insert into MenuType values('T1','Hot','','',0,'S1','D1','',0,0,0),"
                  "('T2','Cold','','',0,'S9','D9','',0,0,null),('T3','Gone','','',0,'S1','D1','',0,0,1);"
                  "insert into Subject values('S1','Food');"
                  "insert into Dept values('D1','Kitchen');"
                  "insert into MenuItem values('M1','T1','D1',0,1),('M2','T1','D9',null,1),('M3','T1','D1',1,1),"
                  "('M4','T1','D1',0,0);");
  EXPECT_THAT(Rows("select t.MenuTypeCode,t.MenuTypeName,t.MenuTypeEName,t.MenuTypeEName2,t.ServiceRate,"
                   "t.SubjectCode,s.SubjectName,t.DeptCode,d.DeptName,t.MenuTypeAlias,t.UnDiscountTag,t.IsDrink "
                   "from MenuType t,Subject s,Dept d where IsNull(t.Deleted,0)=0 and t.SubjectCode*=s.SubjectCode "
                   "and t.DeptCode*=d.DeptCode order by t.MenuTypeCode",
                   {"MenuTypeCode", "SubjectName", "DeptName"}),
              ElementsAre("T1|Food|Kitchen", "T2|NULL|NULL"));
  EXPECT_THAT(Rows("select m.*,d.DeptName,null as UseDate from MenuItem m,Dept d where IsNull(m.Deleted,0)=0 "
                   "and m.DishStatus=1 and m.DeptCode*=d.DeptCode order by m.MenuTypeCode,m.MenuItemCode",
                   {"MenuItemCode", "DeptName", "UseDate"}),
              ElementsAre("M1|Kitchen|NULL", "M2|NULL|NULL"));
}

TEST_F(OuterJoinOnData, GroupMenuTypesAndItemsKeepRowsWhoseSubjectOrDeptIsOfAnotherBrand) {
  sxtest::SqlExec(db,
                  "create table Group_MenuType(BrandID text, tCode text, tName text, tName2 text, tName3 text, "
                  "SubjectCode text, ServiceRate real, DeptCode text, MenuTypeAlias text, UnDiscountTag int, "
                  "IsDrink int, Deleted int);"
                  "create table Group_Subject(BrandID text, SubjectCode text, SubjectName text);"
                  "create table Group_Hotel_Dept(BrandID text, DeptCode text, DeptName text);"
                  "create table Group_MenuItem(BrandID text, tCode text, ItemCode text, ItemName text, "
                  "ItemPrice real, ItemName2 text, ItemName3 text, ItemPrice2 real, ItemPrice3 real, "
                  "ItemPrice4 real, ItemPrice5 real, DeptCode text, Deleted int, DishStatus int);"
                  "insert into Group_MenuType values('B1','T1','Hot','','','S1',0,'D1','',0,0,0),"
                  "('B1','T2','Cold','','','S2',0,'D2','',0,0,null),('B1','T3','Gone','','','S1',0,'D1','',0,0,1),"
                  "('B2','T4','Other','','','S1',0,'D1','',0,0,0);"
                  "insert into Group_Subject values('B1','S1','Food'),('B2','S1','Other'),('B2','S2','Drink');"
                  "insert into Group_Hotel_Dept values('B1','D1','Kitchen'),('B2','D1','Other'),('B2','D2','Bar');"
                  "insert into Group_MenuItem values('B1','T1','M1','Tea',1,'','',0,0,0,0,'D1',0,1),"
                  "('B1','T1','M2','Rice',1,'','',0,0,0,0,'D2',null,1),"
                  "('B1','T1','M3','Gone',1,'','',0,0,0,0,'D1',1,1),"
                  "('B1','T1','M4','Off',1,'','',0,0,0,0,'D1',0,2),"
                  "('B2','T1','M5','Other',1,'','',0,0,0,0,'D1',0,1);");
  EXPECT_THAT(Rows("select t.tCode as MenuTypeCode,t.tName as MenuTypeName,t.tName2 as MenuTypeEName,t.tName3 as "
                   "MenuTypeEName2,t.SubjectCode,s.SubjectName,t.ServiceRate,t.DeptCode,d.DeptName,t.MenuTypeAlias,"
                   "t.UnDiscountTag,t.IsDrink from Group_MenuType t,Group_Subject s,Group_Hotel_Dept d where "
                   "t.BrandID='B1' and t.SubjectCode*=s.SubjectCode and s.BrandID='B1' and t.DeptCode*=d.DeptCode "
                   "and d.BrandID='B1' and IsNull(t.Deleted,0)=0 order by t.tCode",
                   {"MenuTypeCode", "SubjectName", "DeptName"}),
              ElementsAre("T1|Food|Kitchen", "T2|NULL|NULL"));
  EXPECT_THAT(Rows("select m.*,m.tCode as MenuTypeCode,m.ItemCode as MenuItemCode,m.ItemName as MenuItemCName,"
                   "m.ItemPrice as MenuItemPrice,m.ItemName2 as MenuItemEName,m.ItemName3 as MenuItemEName2,"
                   "m.ItemPrice2 as MenuItemPrice2,m.ItemPrice3 as MenuItemPrice3,m.ItemPrice4 as MenuItemPrice4,"
                   "m.ItemPrice5 as MenuItemPrice5,d.DeptName from Group_MenuItem m,Group_Hotel_Dept d where "
                   "IsNull(m.Deleted,0)=0 and m.DishStatus=1 and m.DeptCode*=d.DeptCode and m.BrandID='B1' and "
                   "d.BrandID='B1' order by m.tCode,m.ItemCode",
                   {"MenuItemCode", "MenuItemCName", "DeptName"}),
              ElementsAre("M1|Tea|Kitchen", "M2|Rice|NULL"));
}

TEST_F(OuterJoinOnData, SecondLevelDepartmentsWithoutStorehouseOrIssueDeptAreListed) {
  sxtest::SqlExec(db,
                  "create table Dept2(DeptCode text, Dept2Code text, Dept2Name text, Dept2Alias text, "
                  "StoreCode text, StoreTag int, AutoSaleDept2Code text);"
                  "create table S_Store(StoreCode text, StoreName text);"
                  "insert into Dept2 values('D1','01','Wok','','ST1',1,'02'),('D1','02','Grill','','ST9',0,null),"
                  "('D2','03','Bar','',null,0,'99');"
                  "insert into S_Store values('ST1','Main');");
  EXPECT_THAT(Rows("select d2.DeptCode,d2.Dept2Code,d2.Dept2Name,d2.Dept2Alias,d2.StoreCode,d2.StoreTag,"
                   "d2.AutoSaleDept2Code,s.StoreName,d22.Dept2Name as AutoSaleDept2Name from Dept2 d2,S_Store s,"
                   "Dept2 d22 where d2.StoreCode*=s.StoreCode and d2.AutoSaleDept2Code*=d22.Dept2Code "
                   "order by d2.DeptCode,d2.Dept2Code",
                   {"Dept2Code", "StoreName", "AutoSaleDept2Name"}),
              ElementsAre("01|Main|Grill", "02|NULL|NULL", "03|NULL|NULL"));
}

TEST_F(OuterJoinOnData, ParametersInMovedConditionsAreStillBound) {
  sxtest::SqlExec(db,
                  "create table A(k text);create table B(k text, brand text, v text);"
                  "insert into A values('1'),('2');insert into B values('1','B1','x'),('2','B2','y');");
  sx::db::Connection c;
  c.SetConnectionString(db);
  c.Open();
  sx::db::Query q(c);
  q.SetSQL("select a.k,b.v from A a,B b where a.k*=b.k and b.brand=:brandid order by a.k");
  q.SetString("brandid", 8, "B1");
  q.Open();
  std::vector<std::string> rows;
  for (; !q.Eof(); q.Next()) rows.push_back(q.Fields(0).AsString() + "|" + q.FieldByName("v").AsString());
  EXPECT_THAT(rows, ElementsAre("1|x", "2|"));
}

// ---- The server's functions on SQLite ----------------------------------------

TEST_F(OuterJoinOnData, ServerFunctionsGiveTheServersResultsOnSqlite) {
  sxtest::SqlExec(db,
                  "create table T(Code text, Note text);"
                  "insert into T values('1001',null),('AB  ','n'),('  a ','m');");
  EXPECT_THAT(Rows("select Code,IsNull(Note,'none') as N,ISNULL(Note,'x') as U from T order by Code",
                   {"N", "U"}),
              ElementsAre("m|m", "none|x", "n|n"));
  // Len counts leading blanks but not trailing ones; Left takes that many characters.
  EXPECT_THAT(Rows("select Len(Code) as L,Left(Code,Len(Code)-1) as P,len(null) as Z from T order by Code",
                   {"L", "P", "Z"}),
              ElementsAre("3|  |NULL", "4|100|NULL", "2|A|NULL"));
  EXPECT_THAT(Rows("select 'IsNull(a,b) GetDate() top 5 Left(x,1)' as V", {"V"}),
              ElementsAre("IsNull(a,b) GetDate() top 5 Left(x,1)"));
}

TEST_F(OuterJoinOnData, GetDateGivesTheLocalTimeAsText) {
  sxtest::SqlExec(db, "create table V(BrandID text, Stamp text);insert into V values('B1',null);");
  std::time_t before = std::time(nullptr);
  sx::db::Connection c;
  c.SetConnectionString(db);
  c.Open();
  sx::db::Query q(c);
  q.SetSQL("Update V set Stamp=GetDate() where BrandID=:brandid");
  q.SetString("brandid", 8, "B1");
  EXPECT_EQ(q.ExecSQL(), 1);
  std::time_t after = std::time(nullptr);
  std::string stamp = sxtest::SqlColumn(db, "select Stamp from V")[0];
  ASSERT_TRUE(std::regex_match(stamp, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)"))) << stamp;
  auto local = [](std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
    return std::string(buf);
  };
  EXPECT_GE(stamp, local(before));
  EXPECT_LE(stamp, local(after));
}

TEST_F(OuterJoinOnData, TopLimitsTheRowsOfItsOwnQuery) {
  sxtest::SqlExec(db, "create table T(x int);insert into T values(3),(1),(2),(2);");
  EXPECT_THAT(Rows("select top 2 x from T order by x", {"x"}), ElementsAre("1", "2"));
  EXPECT_THAT(Rows("select distinct top 2 x from T order by x desc", {"x"}), ElementsAre("3", "2"));
  EXPECT_THAT(Rows("select TOP (1) x from T order by x desc;", {"x"}), ElementsAre("3"));
  EXPECT_THAT(Rows("select x from T where x in (select top 1 x from T order by x desc) order by x", {"x"}),
              ElementsAre("3"));
  EXPECT_EQ(ForSqlite("select distinct top 5 a from t order by a"), "select distinct a from t order by a limit 5");
}
