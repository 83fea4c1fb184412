// Rooms and tables through the exported functions, on the native engine and
// through the SQLite ODBC driver.
#include <gtest/gtest.h>

#include "setupxfer.h"
#include "support/OdbcSupport.h"
#include "support/TestSupport.h"

using sxtest::Cell;
using sxtest::Edition;

namespace {

using Rows = std::vector<std::vector<std::string>>;

constexpr const char* kMenuTypes = R"(
  INSERT INTO MenuType(MenuTypeCode,MenuTypeName,Deleted) VALUES
    ('01','凉菜',0), ('02','热菜',0), ('A3','海鲜',0), ('09','停用',1);
)";

constexpr const char* kRoomQuery = "select RoomNo,RoomName,ServiceRate,NoServiceFee,Deleted from Room order by 1";
constexpr const char* kMenuTypeQuery = "select RoomNo,MenuTypeCode from RoomMenuType order by 1,2";
constexpr const char* kTableQuery =
    "select TableNo,RoomNo,TableAlias,SeatQty,OnePrice,CanOnePrice,QuickUse,UsePinTai,OutUse,Remark,Deleted "
    "from HotelTable order by 1";

// A sheet of sections, each a key and its data rows (values from column 1).
std::vector<Cell> Sheet(const std::vector<std::pair<std::string, Rows>>& sections) {
  std::vector<Cell> cells;
  int row = 1;
  for (const auto& [key, rows] : sections) {
    cells.push_back({row, 0, key});
    if (row == 1) cells.push_back({row, 2, "房间餐桌清单"});
    cells.push_back({++row, 1, "房间编号"});
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

struct RoomTablesTest : ::testing::TestWithParam<sxtest::Engine> {
  sxtest::TempDir dir;
  std::string store = dir.File("store.db");
  char error[300] = {};

  void SetUp() override {
    if (GetParam() == sxtest::Engine::Odbc && !sxtest::RegisterOdbcDrivers())
      GTEST_SKIP() << "no SQLite ODBC driver";
    sxtest::CreateDatabase(store, Edition::Store);
    sxtest::SqlExec(store, kMenuTypes);
  }
  std::string Conn(const std::string& path) const { return sxtest::ConnectionStringFor(GetParam(), path); }
  bool Import(const std::vector<Cell>& cells) {
    std::string path = dir.File("in.xlsx");
    sxtest::MakeXlsx(path, cells);
    return ImportRoomTables(Conn(store).c_str(), path.c_str(), error) != 0;
  }
};

}  // namespace

TEST_P(RoomTablesTest, ExportThenImportIntoAnEmptyDatabaseGivesTheSameRows) {
  sxtest::SqlExec(store, R"(
    INSERT INTO Room VALUES ('A','大厅',0,0,0,1,1,0), ('B01','牡丹厅',12.5,0,0,2,0,0), ('C','露台',0,0,0,3,0,1);
    INSERT INTO RoomMenuType VALUES ('A','01'), ('A','02'), ('B01','A3');
    INSERT INTO HotelTable(TableNo,RoomNo,BillNo,TableStatus,SeatQty,OnePrice,CanOnePrice,QuickUse,OrderNo,
                           TableAlias,UsePinTai,OutUse,Remark,Deleted) VALUES
      ('A01','A','0',0,4,0,0,0,1,'大厅1号',1,0,NULL,0), ('A02','A','0',0,2,0,0,1,2,'快餐台',0,1,'靠门',0),
      ('B1','B01','0',0,12,300.5,1,0,3,'牡丹',0,0,'卡拉OK',0), ('C1','C','0',0,6,0,0,0,4,'露台1号',0,0,NULL,1);
  )");
  sxtest::HostCapture host;
  ASSERT_EQ(ExportRoomTables(Conn(store).c_str(), error), 1) << error;
  // Room columns only on a room's first row; a room without menu types keeps
  // one row; the table section's room code only where it changes.
  std::vector<std::string> cells;
  for (const auto& c : sxtest::ReadXlsx(host.workbooks.at(0)))
    if (c.column <= 2 || c.column == 6) cells.push_back(std::to_string(c.row) + ":" + std::to_string(c.column) + ":" + c.value);
  EXPECT_EQ(cells, (std::vector<std::string>{
                       "1:0:room", "1:2:房间餐桌清单", "2:1:房间编号", "2:2:房间名称", "2:6:可用菜类编码",
                       "3:1:A", "3:2:大厅", "3:6:01", "4:6:02", "5:1:B01", "5:2:牡丹厅", "5:6:A3", "6:1:C", "6:2:露台",
                       "8:0:table", "9:1:房间编号", "9:2:餐桌编号", "9:6:不计时消费金额",
                       "10:1:A", "10:2:A01", "10:6:0", "11:2:A02", "11:6:0", "12:1:B01", "12:2:B1", "12:6:300.5",
                       "13:1:C", "13:2:C1", "13:6:0"}));

  std::string store2 = dir.File("s2.db");
  sxtest::CreateDatabase(store2, Edition::Store);
  sxtest::SqlExec(store2, kMenuTypes);
  ASSERT_EQ(ImportRoomTables(Conn(store2).c_str(), host.workbooks[0].c_str(), error), 1) << error;
  EXPECT_TRUE(host.Texts(1).empty()) << host.Texts(1).at(0);
  for (const char* q : {kRoomQuery, kMenuTypeQuery, kTableQuery})
    EXPECT_EQ(sxtest::SqlRows(store2, q), sxtest::SqlRows(store, q)) << q;
}

TEST_P(RoomTablesTest, RoomRowsGatherMenuTypesAndRefuseBadRooms) {
  // R1 exists with menu type 02, which the import replaces.
  sxtest::SqlExec(store, "INSERT INTO Room VALUES ('R1','旧名',5,0,0,0,0,0); INSERT INTO RoomMenuType VALUES ('R1','02');");
  sxtest::HostCapture host;
  ASSERT_TRUE(Import(Sheet({{"room",
                       {{"R1", "大厅", "10", "是", "0", "01"},
                        {"", "", "", "", "", "a3"},
                        {"R1", "新名", "", "", "", "01"},  // same code again: continues R1
                        {"R2", "包间", "", "", "", "A3"},
                        {"r1", "再来", "", "", "", "a3"},  // R1 read before: continues, keeps its types
                        {"X1", "", "", "", "", "01"},
                        {"X2", "包间", "abc"},
                        {"X3", "包间", "-1"},
                        {"X4", "包间", "", "", "", "09"},  // deleted menu type: the room is dropped
                        {"", "", "", "", "", "01"},
                        {"R2", "", "", "", "", "zz"}}}})));
  EXPECT_EQ(host.Texts(1), (std::vector<std::string>{"错误:第8行:X1没有指定房间名称!",
                                                     "错误:第9行:X2房间指定的服务费率不是有效数值!",
                                                     "错误:第10行:X3房间指定的服务费率不能小于0!", "错误:第11行:没有找到菜类:09",
                                                     "错误:第12行:X4房间不存在!", "错误:第13行:没有找到菜类:zz"}));
  EXPECT_EQ(sxtest::SqlRows(store, kRoomQuery), (Rows{{"R1", "大厅", "10.0", "1", "0"}, {"R2", "包间", "0.0", "0", "0"}}));
  EXPECT_EQ(sxtest::SqlRows(store, kMenuTypeQuery), (Rows{{"R1", "01"}, {"R1", "A3"}, {"R2", "A3"}}));
  EXPECT_EQ(host.Texts(0).at(1), "正在导入房间R1 大厅...");
}

TEST_P(RoomTablesTest, TablesOnlyUnderRoomsOfTheWorkbook) {
  sxtest::SqlExec(store, "INSERT INTO Room VALUES ('R9','库中',0,0,0,0,0,0);"
                         "INSERT INTO HotelTable(TableNo,RoomNo,TableAlias,SeatQty) VALUES ('T5','R9','旧桌',8);");
  sxtest::HostCapture host;
  ASSERT_TRUE(Import(Sheet({{"room", {{"R1", "大厅"}, {"R2", "包间"}}},
                      {"table",
                       {{"R1", "T1", "一号", "4", "1", "4.5", "0", "是", "0", "靠窗", "0"},
                        {"", "T2", "", "4.5"},
                        {"", "T3", "", "-1"},
                        {"", "T4", "", "", "", "x"},
                        {"", "", "无号"},
                        {"R9", "T6"},
                        {"r2", "T5", "移来", "", "", "-2"}}}})));
  EXPECT_EQ(host.Texts(1), (std::vector<std::string>{
                               "错误:第9行:T2餐桌的座位数量不是有效数值!", "错误:第10行:T3餐桌的座位数量不能小于0!",
                               "错误:第11行:T4餐桌的不计时消费金额不是有效数值!", "错误:第12行:R1没有指定餐桌编号!",
                               "错误:第13行:没有找到编号为\"R9\"的房间!", "错误:第14行:T5餐桌的不计时消费金额不能小于0!"}));
  EXPECT_EQ(sxtest::SqlRows(store, kTableQuery),
            (Rows{{"T1", "R1", "一号", "4", "4.5", "1", "0", "1", "0", "靠窗", "0"},
                  {"T5", "R9", "旧桌", "8", "", "", "", "", "", "", ""}}));
}

TEST_P(RoomTablesTest, RowsBeforeAnyMarkerCountAsEmpty) {
  // Five rows with only column 2 filled end the sheet before the marker, so
  // the import finds no marker and says so.
  std::vector<Cell> cells;
  for (int r = 1; r <= 5; ++r) cells.push_back({r, 2, "说明"});
  for (const Cell& c : Sheet({{"room", {{"R1", "大厅"}}}})) cells.push_back({c.row + 5, c.column, c.text});
  sxtest::HostCapture host;
  ASSERT_FALSE(Import(cells));
  EXPECT_TRUE(sxtest::SqlRows(store, kRoomQuery).empty());
  EXPECT_EQ(host.Texts(0).back(), "完毕!");
}

INSTANTIATE_TEST_SUITE_P(Engines, RoomTablesTest,
                         ::testing::Values(sxtest::Engine::Native, sxtest::Engine::Odbc),
                         [](const auto& info) { return sxtest::EngineName(info.param); });
