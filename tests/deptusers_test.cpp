// Departments and users through the exported functions, as a host calls them:
// workbooks made and read with openpyxl, databases with sqlite3, on the native
// engine and through the SQLite ODBC driver.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>

#include "setupxfer.h"
#include "support/OdbcSupport.h"
#include "support/TestSupport.h"
#include "transfer/uDeptUsersIO.h"

extern const char* const setupxfer_sql_sample_store;
extern const char* const setupxfer_sql_sample_group;

using sxtest::Cell;
using Rows = std::vector<std::vector<std::string>>;

namespace {

const std::string kDeptCaption = "一级部门代码(不超过2位)";

// Role masks of the sheet's role columns (Rights, Rights2, Rights3).
using Bits = std::array<std::uint32_t, 3>;
constexpr Bits kOrdering{0x00011404, 0x88060001, 0x00020001};  // column 13
constexpr Bits kHeadWaiter{0xD01BDD00, 0x83BF0203, 0x00030004};  // column 17
constexpr Bits kStoreKeeper{0x00000010, 0x00000500, 0x0008000A};  // column 18
constexpr Bits kManager{0xD41FFF08, 0x83BF7227, 0x00230004};  // column 22
// Bits outside every role, and part of the ordering role.
constexpr Bits kStray{0, 0, 0x80000000};
constexpr Bits kPartOfOrdering{0x00011400, 0, 0};

Bits operator|(Bits a, Bits b) { return {a[0] | b[0], a[1] | b[1], a[2] | b[2]}; }

// The rights as stored: signed 32-bit integers in decimal.
std::vector<std::string> Stored(Bits b) {
  std::vector<std::string> out;
  for (auto v : b) out.push_back(std::to_string(static_cast<std::int32_t>(v)));
  return out;
}
std::string StoredList(Bits b) {
  auto s = Stored(b);
  return s[0] + "," + s[1] + "," + s[2];
}

const char* kStoreReference = R"(
  INSERT INTO CardType(CardTypeCode,CardTypeName) VALUES ('V1','会员九折'), ('V2','会员八五折'), ('VIP','贵宾');
  INSERT INTO S_Store(StoreCode,StoreName) VALUES (1,'主仓库'), (2,'酒水仓');
)";
const char* kGroupReference = R"(
  INSERT INTO CardType(CardTypeCode,CardTypeName) VALUES ('V1','会员九折'), ('V2','会员八五折');
  INSERT INTO Group_Zone(ZoneID,ZoneName) VALUES (1,'华北区');
  INSERT INTO Group_Hotel(HotelID,HotelName,BrandID,ZoneID,UseTag) VALUES
    ('A01','王府井店','B1',1,1), ('A02','国贸店','B1',1,1), ('A03','望京店','B1',1,1), ('C01','别店','B2',1,1);
)";

// A workbook under construction: row 1 the dept marker, row 2 its header.
struct Book {
  std::vector<Cell> cells{{1, 0, "dept"}, {1, 2, "部门及人员"}, {2, 1, kDeptCaption}};
  void Put(int row, const std::map<int, std::string>& values) {
    for (auto& [c, t] : values) cells.push_back({row, c, t});
  }
  // A later section's marker and header rows.
  void Section(int row, const std::string& key) {
    Put(row, {{0, key}});
    Put(row + 1, {{1, kDeptCaption}});
  }
};

struct DeptUsersTest : ::testing::TestWithParam<sxtest::Engine> {
  sxtest::TempDir dir;
  std::string store = dir.File("store.db");
  std::string group = dir.File("group.db");
  std::string book = dir.File("deptusers.xlsx");
  char error[300];

  void SetUp() override {
    if (GetParam() == sxtest::Engine::Odbc && !sxtest::RegisterOdbcDrivers())
      GTEST_SKIP() << "no SQLite ODBC driver";
    sxtest::CreateDatabase(store, sxtest::Edition::Store);
    sxtest::CreateDatabase(group, sxtest::Edition::Group);
    sxtest::SqlExec(store, kStoreReference);
    sxtest::SqlExec(group, kGroupReference);
    std::memset(error, 0, sizeof error);
  }
  std::string Conn(const std::string& path) const { return sxtest::ConnectionStringFor(GetParam(), path); }

  bool ImportStore(const Book& b) {
    sxtest::MakeXlsx(book, b.cells);
    return ImportDeptUsers(Conn(store).c_str(), book.c_str(), error) != 0;
  }
  bool ImportGroup(const Book& b) {
    sxtest::MakeXlsx(book, b.cells);
    return ImportGroupDept(Conn(group).c_str(), "B1", book.c_str(), error) != 0;
  }
  // The cells of the workbook an export handed over: (row, column) to text.
  std::map<std::pair<int, int>, std::string> Exported(const sxtest::HostCapture& host) {
    std::map<std::pair<int, int>, std::string> cells;
    for (const auto& c : sxtest::ReadXlsx(host.workbooks.at(0))) cells[{c.row, c.column}] = c.value;
    return cells;
  }
};

std::string Error(const std::string& text) { return "错误:" + text; }

// The sample data of `setupxfer init-db --sample`, for brand B1.
std::string Sample(sxtest::Edition edition) {
  if (edition == sxtest::Edition::Store) return setupxfer_sql_sample_store;
  std::string sql = setupxfer_sql_sample_group;
  for (std::size_t at; (at = sql.find("{BRAND}")) != std::string::npos;) sql.replace(at, 7, "'B1'");
  return sql;
}

}  // namespace

// ---- Reading: row checks, carry-over, resolution ------------------------------------

TEST_P(DeptUsersTest, UserRowsAreCheckedInOrderAndCarryTheirDepartment) {
  sxtest::HostCapture host;
  Book b;
  b.Put(3, {{1, "01"}, {2, "热菜"}});
  b.Put(4, {{1, "09"}, {2, "前厅"}});
  b.Put(5, {{2, "无代码部门"}});  // an empty code is accepted
  b.Put(6, {{1, "02"}});
  b.Section(8, "users");
  b.Put(10, {{1, "01"}, {2, "1001"}, {3, "张三"}, {4, "P1"}, {5, "女"}, {6, "X9"}});
  b.Put(11, {{2, "1002"}, {3, "李四"}, {4, "P2"}, {5, "M"}});
  b.Put(12, {{1, "ZZ"}, {2, "1003"}, {3, "王五"}, {4, "P3"}});
  b.Put(13, {{2, "1004"}, {3, "赵六"}, {4, "P4"}});
  b.Put(14, {{1, "09"}, {3, "无编号"}, {4, "P5"}});
  b.Put(15, {{2, "1006"}, {4, "P6"}});
  b.Put(16, {{2, "1007"}, {3, "钱七"}});
  b.Put(17, {{2, "1008"}, {3, "孙八"}, {4, "P8"}, {9, "abc"}});
  b.Put(18, {{2, "1009"}, {3, "周九"}, {4, "P9"}, {10, "-1"}});
  b.Put(19, {{2, "1010"}, {3, "吴十"}, {4, "P10"}, {5, "f"}, {9, "300"}, {10, "0"}, {12, "v1, V2,,X9"}});
  ASSERT_TRUE(ImportStore(b)) << error;
  EXPECT_EQ(host.Texts(1), (std::vector<std::string>{
                               Error("第6行:\"02\"没有指定一级部门名称!"),
                               Error("第12行:没有找到编号为\"ZZ\"的一级部门!"),
                               Error("第13行:没有找到编号为\"ZZ\"的一级部门!"),
                               Error("第14行:用户没有指定编号!"),
                               Error("第15行:用户没有指定名字!"),
                               Error("第16行:用户没有指定证件号!"),
                               Error("第17行:下单限额(0或空表示不限)不是数值!"),
                               Error("第18行:每单允许最大折扣金额不能小于0!"),
                               Error("第19行:没有找到优惠代码:X9"),
                           }));
  EXPECT_EQ(sxtest::SqlRows(store, "select DeptCode,DeptName from Dept order by 1"),
            (Rows{{"", "无代码部门"}, {"01", "热菜"}, {"09", "前厅"}}));
  EXPECT_EQ(sxtest::SqlRows(store, "select UserID,DeptCode,Sex,OrderLimitAmt=300,MaxPreDiscount=0,CardTypeList "
                                   "from HotelUser order by 1"),
            (Rows{{"1001", "01", "1", "0", "1", ""},
                  {"1002", "01", "0", "0", "1", ""},
                  {"1010", "09", "1", "1", "1", "v1\r\nV2\r\n"}}));
}

TEST_P(DeptUsersTest, RowsOfASectionBeforeTheirDepartmentsAreRejected) {
  sxtest::HostCapture host;
  Book b;
  b.cells = {{1, 0, "users"}, {2, 1, kDeptCaption}};
  b.Put(3, {{1, "01"}, {2, "1001"}, {3, "张三"}, {4, "P1"}});
  b.Section(5, "dept");
  b.Put(7, {{1, "01"}, {2, "热菜"}});
  ASSERT_TRUE(ImportStore(b)) << error;
  EXPECT_EQ(host.Texts(1), (std::vector<std::string>{Error("第3行:没有找到编号为\"01\"的一级部门!")}));
  EXPECT_TRUE(sxtest::SqlRows(store, "select * from HotelUser").empty());
}

TEST_P(DeptUsersTest, SecondLevelDepartmentsResolveTheirIssuingDepartment) {
  sxtest::SqlExec(store, "insert into Dept(DeptCode,DeptName,Rights,Rights2,Rights3) values('01','旧热菜',7,8,9);"
                         "insert into Dept2(Dept2Code,DeptCode,Dept2Name,Rights) values('0101','02','旧炒锅',5);");
  sxtest::HostCapture host;
  Book b;
  b.Put(3, {{1, "01"}, {2, "热菜"}});
  b.Put(4, {{1, "05"}, {2, "吧台"}});
  b.Section(6, "dept2");
  b.Put(8, {{2, "0100"}, {3, "无上级"}});  // nothing carried yet
  b.Put(9, {{1, "01"}, {2, "0101"}, {3, "炒锅"}, {4, "厨房"}, {5, "1"}, {6, "主仓库"}});
  b.Put(10, {{2, "0102"}, {3, "蒸灶"}, {5, "是"}, {6, "主仓库"}, {7, "炒锅"}});
  b.Put(11, {{2, "0103"}, {3, "备餐"}, {5, "0"}, {6, "主仓库"}, {7, "炒锅"}});
  b.Put(12, {{2, "0104"}, {3, "砧板"}, {5, "1"}, {6, "主仓库"}, {7, "打荷"}});
  b.Put(13, {{2, "0105"}, {3, "打荷"}, {5, "1"}, {6, "主仓库"}, {7, "备餐"}});
  b.Put(14, {{2, "0106"}, {3, "冷库"}, {5, "1"}, {6, "冻库"}});
  b.Put(15, {{1, "05"}, {2, "0501"}, {3, "吧台"}, {5, "1"}, {6, "酒水仓"}, {7, "不存在"}});
  b.Put(16, {{1, "05"}, {3, "无代码"}});
  b.Put(17, {{1, "05"}, {2, "0502"}});
  ASSERT_TRUE(ImportStore(b)) << error;
  EXPECT_EQ(host.Texts(1), (std::vector<std::string>{
                               Error("第8行:\"没有找到对应的一级部门信息!"),
                               Error("第14行:没有找到仓库:冻库"),
                               Error("第14行:\"没有找到二级部门\"冷库\"的自动出库仓库\"冻库\"对应的仓库编号!"),
                               Error("第16行:\"\"没有指定二级部门代码!"),
                               Error("第17行:\"0502\"没有指定二级部门名称!"),
                               // Resolved from the last to the first: 打荷 goes before 砧板 looks for it.
                               Error("\"0105 打荷\"对应的自动出库领料部门\"备餐\"不能参与进销存!"),
                               Error("\"0104 砧板\"对应的自动出库领料部门\"打荷\"不存在!"),
                               Error("\"0501 吧台\"对应的自动出库领料部门\"不存在\"不存在!"),
                           }));
  // 0101 stays under its department and keeps its rights; new ones copy theirs.
  EXPECT_EQ(sxtest::SqlRows(store, "select Dept2Code,DeptCode,Dept2Name,StoreCode,StoreTag,AutoSaleDept2Code,"
                                   "Rights,Rights3 from Dept2 order by 1"),
            (Rows{{"0101", "02", "炒锅", "1", "1", "0101", "5", ""},
                  {"0102", "01", "蒸灶", "1", "1", "0101", "7", "9"},
                  {"0103", "01", "备餐", "", "0", "", "7", "9"}}));
}

// ---- Writing: rights, passwords, control flags, transactions --------------------------

TEST_P(DeptUsersTest, UpdatesChangeOnlyTheRolesTheSheetChanges) {
  struct Case {
    const char* userId;
    std::optional<Bits> stored;  // none: a new user
    std::map<int, std::string> roles;
    Bits expected;
  };
  const Case cases[] = {
      // As exported: 17 and 22 shown, the stray bits and the role held in part not.
      {"0001", kManager | kStray | kPartOfOrdering, {{17, "1"}, {22, "1"}, {13, "0"}},
       kManager | kStray | kPartOfOrdering},
      {"0002", kManager | kStray, {{17, "1"}, {22, "0"}}, kHeadWaiter | kStray},
      {"0003", kPartOfOrdering | kStray, {{18, "1"}}, kPartOfOrdering | kStray | kStoreKeeper},
      {"0004", kStoreKeeper | kStray, {{18, "是"}}, kStray},
      {"0005", kOrdering, {}, Bits{}},
      {"0006", std::nullopt, {{22, "1"}, {13, "是"}}, kManager},
  };
  int row = 5;
  Book b;
  b.Put(3, {{1, "09"}, {2, "前厅"}});
  b.Section(4, "users");
  for (const auto& c : cases) {
    if (c.stored)
      sxtest::SqlExec(store, "insert into HotelUser(UserID,UserName,DeptCode,Password,Rights,Rights2,Rights3) "
                             "values('" + std::string(c.userId) + "','旧名','09','pw" + c.userId + "'," +
                                 StoredList(*c.stored) + ")");
    std::map<int, std::string> cells = c.roles;
    cells.insert({{1, "09"}, {2, c.userId}, {3, "员工"}, {4, std::string("P") + c.userId}});
    b.Put(++row, cells);
  }
  sxtest::HostCapture host;
  ASSERT_TRUE(ImportStore(b)) << error;
  EXPECT_TRUE(host.Texts(1).empty());
  for (const auto& c : cases) {
    Rows rows = sxtest::SqlRows(store, "select Rights,Rights2,Rights3,Password,UserName from HotelUser "
                                       "where UserID='" + std::string(c.userId) + "'");
    ASSERT_EQ(rows.size(), 1u) << c.userId;
    std::vector<std::string> expected = Stored(c.expected);
    expected.push_back(c.stored ? std::string("pw") + c.userId : sx::kDefaultPasswordDigest);
    expected.push_back("员工");
    EXPECT_EQ(rows[0], expected) << c.userId;
  }
}

TEST_P(DeptUsersTest, ControlFlagsKeepDepartmentsOrUsersAsTheyAre) {
  struct Case {
    int controlDept, controlUser;
    Rows depts, users;
    std::vector<std::string> notes;
  };
  std::string kept = StoredList(kStoreKeeper);
  const Case cases[] = {
      {0, 0, {{"01", "热菜"}, {"09", "前厅"}},
       {{"0001", "员工", StoredList(kOrdering), "pw"}, {"0002", "新人", StoredList(kManager), sx::kDefaultPasswordDigest},
        {"0003", "厨师", "0,0,0", sx::kDefaultPasswordDigest}},
       {}},
      // The new user takes its department's rights, none when it has none.
      {1, 0, {{"09", "旧前厅"}},
       {{"0001", "员工", kept, "pw"}, {"0002", "新人", StoredList(kOrdering), sx::kDefaultPasswordDigest},
        {"0003", "厨师", "0,0,0", sx::kDefaultPasswordDigest}},
       {"部门设置由集团总部统一控制,因此不导入09 前厅!", "部门权限由集团总部统一控制,因此不导入该用户的权限设置!"}},
      {0, 1, {{"01", "热菜"}, {"09", "前厅"}}, {{"0001", "旧名", kept, "pw"}},
       {"人员设置由集团总部统一控制,因此不导入09 前厅 部门下的员工信息!"}},
  };
  for (const auto& c : cases) {
    std::string which = std::to_string(c.controlDept) + std::to_string(c.controlUser);
    store = dir.File("store" + which + ".db");
    sxtest::CreateDatabase(store, sxtest::Edition::Store);
    sxtest::SqlExec(store, kStoreReference);
    sxtest::SqlExec(store, "insert into Group_Brand(BrandID,ControlDept,ControlUser) values('B1'," +
                               std::to_string(c.controlDept) + "," + std::to_string(c.controlUser) + ");" +
                               "insert into Dept(DeptCode,DeptName,Rights,Rights2,Rights3) values('09','旧前厅'," +
                               StoredList(kOrdering) + ");" +
                               "insert into HotelUser(UserID,UserName,DeptCode,Password,Rights,Rights2,Rights3) "
                               "values('0001','旧名','09','pw'," + kept + ")");
    Book b;
    b.Put(3, {{1, "09"}, {2, "前厅"}});
    b.Put(4, {{1, "01"}, {2, "热菜"}});
    b.Section(5, "dept2");
    b.Put(7, {{1, "09"}, {2, "0901"}, {3, "大厅"}});
    b.Section(9, "users");
    b.Put(11, {{1, "09"}, {2, "0001"}, {3, "员工"}, {4, "P1"}, {13, "1"}});
    b.Put(12, {{2, "0002"}, {3, "新人"}, {4, "P2"}, {22, "1"}});
    b.Put(13, {{1, "01"}, {2, "0003"}, {3, "厨师"}, {4, "P3"}});
    sxtest::HostCapture host;
    ASSERT_TRUE(ImportStore(b)) << error;
    EXPECT_EQ(sxtest::SqlRows(store, "select DeptCode,DeptName from Dept order by 1"), c.depts) << which;
    Rows users = sxtest::SqlRows(store, "select UserID,UserName,Rights||','||Rights2||','||Rights3,Password "
                                        "from HotelUser order by 1");
    EXPECT_EQ(users, c.users) << which;
    EXPECT_EQ(sxtest::SqlRows(store, "select Dept2Code from Dept2"), (Rows{{"0901"}})) << which;
    auto info = host.Texts(0);
    for (const auto& note : c.notes) EXPECT_NE(std::find(info.begin(), info.end(), note), info.end()) << note;
    EXPECT_TRUE(host.Texts(1).empty()) << which;
  }
}

TEST_P(DeptUsersTest, AFailingUserRollsBackItsDepartmentAlsoWhenDepartmentsAreControlled) {
  sxtest::SqlExec(store, "insert into Group_Brand(BrandID,ControlDept,ControlUser) values('B1',1,0)");
  sxtest::HostCapture host;
  Book b;
  b.Put(3, {{1, "09"}, {2, "前厅"}});
  b.Put(4, {{1, "01"}, {2, "热菜"}});
  b.Section(6, "users");
  b.Put(8, {{1, "09"}, {2, "0001"}, {3, "员工"}, {4, "P1"}});
  b.Put(9, {{2, "0002"}, {3, "名字长得放不下了"}, {4, "P2"}});
  b.Put(10, {{1, "01"}, {2, "0003"}, {3, "厨师"}, {4, "P3"}});
  ASSERT_TRUE(ImportStore(b)) << error;
  EXPECT_EQ(host.Texts(1).size(), 1u);
  EXPECT_EQ(sxtest::SqlRows(store, "select UserID from HotelUser"), (Rows{{"0003"}}));
  EXPECT_EQ(host.Texts(0).back(), "完毕!");
}

TEST_P(DeptUsersTest, GroupImportMovesAPersonAndStampsBothBranches) {
  sxtest::SqlExec(group, "insert into Group_Hotel_User(PassNo,UserID,UserName,HotelID,DeptCode,Password,Rights,"
                         "Rights2,Rights3) values('P1','0001','张三','A01','09','pw'," +
                             StoredList(kManager | kStray) + ")");
  sxtest::HostCapture host;
  Book b;
  b.Put(3, {{1, "09"}, {2, "前厅"}});
  b.Section(5, "dept2");  // no second-level departments in a group: skipped
  b.Put(7, {{1, "09"}, {2, "0901"}, {3, "大厅"}});
  b.Section(8, "users");
  b.Put(10, {{1, "09"}, {2, "0007"}, {3, "张三"}, {4, "p1"}, {6, "a02"}, {17, "1"}, {22, "1"}});
  b.Put(11, {{2, "0008"}, {3, "李四"}, {4, "P2"}, {13, "1"}});
  b.Put(12, {{2, "0009"}, {3, "王五"}, {4, "P3"}, {6, "C01"}, {7, "别店"}});
  ASSERT_TRUE(ImportGroup(b)) << error;
  EXPECT_EQ(host.Texts(1), (std::vector<std::string>{Error("第12行:分店C01/别店不在品牌B1中!")}));
  EXPECT_EQ(sxtest::SqlRows(group, "select PassNo,UserID,HotelID,Rights||','||Rights2||','||Rights3,Password "
                                   "from Group_Hotel_User order by 1"),
            (Rows{{"P1", "0007", "a02", StoredList(kManager | kStray), "pw"},
                  {"P2", "0008", "a02", StoredList(kOrdering), sx::kDefaultPasswordDigest}}));
  EXPECT_EQ(sxtest::SqlRows(group, "select HotelID,UserVersion is not null from Group_Hotel order by 1"),
            (Rows{{"A01", "1"}, {"A02", "1"}, {"A03", "0"}, {"C01", "0"}}));
  EXPECT_EQ(sxtest::SqlRows(group, "select BrandID,DeptCode,DeptName from Group_Hotel_Dept"),
            (Rows{{"B1", "09", "前厅"}}));
  EXPECT_EQ(sxtest::SqlRows(group, "select BrandID,DeptVersion is not null from Group_DownloadVersion"),
            (Rows{{"B1", "1"}}));
  EXPECT_EQ(host.Texts(0).front(), "开始从" + book + "导入部门...");
}

// ---- Export and round trip -------------------------------------------------------------

TEST_P(DeptUsersTest, ExportShowsWholeRolesAndListsAsTheSheetWants) {
  sxtest::SqlExec(store, R"(
    insert into Dept(DeptCode,DeptName,IsProduct) values('01','热菜',1), ('09','前厅',0);
    insert into Dept2(Dept2Code,DeptCode,Dept2Name,StoreCode,StoreTag,AutoSaleDept2Code) values
      ('0101','01','炒锅',1,1,'0101'), ('0102','01','蒸灶',9,1,'0199'), ('0901','09','大厅',NULL,0,NULL);
    insert into HotelUser(UserID,UserName,DeptCode,Rights,Rights2,Rights3,Sex,CardTypeList,MaxPreDiscount) values
      ('0001','王','09',)" + StoredList(kManager) + R"(,1,'V1'||char(13)||char(10)||'V2'||char(10),0),
      ('0002','李','09',)" + StoredList(kOrdering | kPartOfOrdering) + R"(,0,NULL,12.5);
  )");
  sxtest::HostCapture host;
  ASSERT_EQ(ExportDeptUsers(Conn(store).c_str(), error), 1) << error;
  auto cells = Exported(host);
  auto at = [&](int r, int c) { return cells.count({r, c}) ? cells[{r, c}] : std::string("-"); };
  EXPECT_EQ(at(1, 0) + at(1, 3), "dept2.5.2011.1N");
  EXPECT_EQ(at(6, 0), "dept2");
  // Department code once per department; a missing storehouse or issuing department leaves empty cells.
  EXPECT_EQ((std::vector<std::string>{at(8, 1), at(8, 6), at(8, 7), at(9, 1), at(9, 6), at(9, 7), at(10, 1)}),
            (std::vector<std::string>{"01", "主仓库", "炒锅", "-", "-", "-", "09"}));
  EXPECT_EQ(at(12, 0), "users");
  std::string roles1, roles2;
  for (int c = 13; c <= 23; ++c) roles1 += at(14, c), roles2 += at(15, c);
  EXPECT_EQ(roles1, "00001000010");  // the head waiter's role lies within the manager's
  EXPECT_EQ(roles2, "10000000000");
  EXPECT_EQ((std::vector<std::string>{at(14, 1), at(14, 5), at(14, 10), at(14, 12), at(15, 1), at(15, 10)}),
            (std::vector<std::string>{"09", "1", "-", "V1,V2,", "-", "12.5"}));
}

TEST_P(DeptUsersTest, GroupExportWritesTheBranchOnlyWhereItChanges) {
  sxtest::SqlExec(group, R"(
    insert into Group_Hotel_Dept(BrandID,DeptCode,DeptName,IsProduct) values('B1','09','前厅',0), ('B2','08','别的',0);
    insert into Group_Hotel_User(PassNo,UserID,UserName,HotelID,DeptCode) values
      ('P1','0001','王','A01','09'), ('P2','0002','李','A01','09'), ('P3','0001','赵','A02','09'),
      ('P4','0001','孙','C01','09');
  )");
  sxtest::HostCapture host;
  ASSERT_EQ(ExportGroupDept(Conn(group).c_str(), "B1", error), 1) << error;
  auto cells = Exported(host);
  auto at = [&](int r, int c) { return cells.count({r, c}) ? cells[{r, c}] : std::string("-"); };
  EXPECT_EQ(at(1, 1) + at(1, 3), "B12.5.2011.1G");
  EXPECT_EQ(at(3, 1) + at(4, 1), "09-");
  EXPECT_EQ(at(5, 0), "users");
  std::vector<std::string> users;
  for (int r = 7; r <= 10; ++r) users.push_back(at(r, 1) + "|" + at(r, 4) + "|" + at(r, 6) + "|" + at(r, 7) + "|" + at(r, 9));
  EXPECT_EQ(users, (std::vector<std::string>{"09|P1|A01|王府井店|0", "-|P2|-|-|0", "-|P3|A02|国贸店|0", "-|-|-|-|-"}));
}

TEST_P(DeptUsersTest, SampleSurvivesExportAndImportIntoAnEmptyDatabase) {
  const std::string users = "select UserID,UserName,DeptCode,Rights,Rights2,Rights3,Sex,Phone,CardTypeList,"
                            "OrderLimitAmt,MaxPreDiscount,Deleted,PassNo,Password from HotelUser order by 1";
  std::string from = dir.File("from.db");
  sxtest::CreateDatabase(from, sxtest::Edition::Store);
  sxtest::SqlExec(from, Sample(sxtest::Edition::Store));
  // Whole roles only, so that the new database can reproduce them.
  sxtest::SqlExec(from, "update HotelUser set Rights3=131073 where UserID='0002'");
  sxtest::SqlExec(store, "insert into S_Store(StoreCode,StoreName) values(3,'干货仓')");
  sxtest::HostCapture host;
  ASSERT_EQ(ExportDeptUsers(Conn(from).c_str(), error), 1) << error;
  ASSERT_EQ(ImportDeptUsers(Conn(store).c_str(), host.workbooks.at(0).c_str(), error), 1) << error;
  EXPECT_TRUE(host.Texts(1).empty());
  EXPECT_EQ(sxtest::SqlRows(store, users), sxtest::SqlRows(from, users));
  const std::string depts = "select DeptCode,DeptName,IsProduct from Dept order by 1";
  EXPECT_EQ(sxtest::SqlRows(store, depts), sxtest::SqlRows(from, depts));
  const std::string dept2s = "select Dept2Code,DeptCode,Dept2Name,Dept2Alias,StoreCode,StoreTag,AutoSaleDept2Code "
                             "from Dept2 order by 1";
  EXPECT_EQ(sxtest::SqlRows(store, dept2s), sxtest::SqlRows(from, dept2s));

  // Importing the same sheet into its own database changes nothing.
  const std::string all = "select * from HotelUser order by UserID";
  Rows before = sxtest::SqlRows(from, all);
  ASSERT_EQ(ImportDeptUsers(Conn(from).c_str(), host.workbooks.at(0).c_str(), error), 1) << error;
  EXPECT_EQ(sxtest::SqlRows(from, all), before);
}

TEST_P(DeptUsersTest, GroupSampleSurvivesExportAndImportIntoAnEmptyBrand) {
  const std::string users = "select PassNo,UserID,UserName,HotelID,DeptCode,Password,Rights,Rights2,Rights3,Sex,"
                            "Phone,CardTypeList,MaxPreDiscount,Deleted from Group_Hotel_User order by 1";
  std::string from = dir.File("from.db");
  sxtest::CreateDatabase(from, sxtest::Edition::Group);
  sxtest::SqlExec(from, Sample(sxtest::Edition::Group));
  // The new database has the same branches and card types; one person holds a role in part.
  sxtest::SqlExec(group, "delete from Group_Hotel; delete from Group_Zone; delete from CardType;");
  sxtest::SqlExec(group, "attach '" + from + "' as f; insert into Group_Zone select * from f.Group_Zone;"
                         "insert into Group_Hotel select * from f.Group_Hotel;"
                         "insert into CardType select * from f.CardType; detach f;");
  sxtest::SqlExec(from, "update Group_Hotel_User set Rights3=Rights3|256 where PassNo='110102199005202345'");
  sxtest::HostCapture host;
  ASSERT_EQ(ExportGroupDept(Conn(from).c_str(), "B1", error), 1) << error;
  Rows before = sxtest::SqlRows(from, users);
  ASSERT_EQ(ImportGroupDept(Conn(from).c_str(), "B1", host.workbooks.at(0).c_str(), error), 1) << error;
  EXPECT_EQ(sxtest::SqlRows(from, users), before);  // every bit kept, the part role included

  ASSERT_EQ(ImportGroupDept(Conn(group).c_str(), "B1", host.workbooks.at(0).c_str(), error), 1) << error;
  sxtest::SqlExec(from, "update Group_Hotel_User set Rights3=Rights3&~256 where PassNo='110102199005202345'");
  EXPECT_EQ(sxtest::SqlRows(group, users), sxtest::SqlRows(from, users));
  const std::string depts = "select BrandID,DeptCode,DeptName,IsProduct from Group_Hotel_Dept order by 2";
  EXPECT_EQ(sxtest::SqlRows(group, depts), sxtest::SqlRows(from, depts));
}

INSTANTIATE_TEST_SUITE_P(Engines, DeptUsersTest, ::testing::Values(sxtest::Engine::Native, sxtest::Engine::Odbc),
                         [](const auto& info) { return sxtest::EngineName(info.param); });
