// Minimum charges through the exported functions, on the native engine and
// through the SQLite ODBC driver.
#include <gtest/gtest.h>

#include "setupxfer.h"
#include "support/OdbcSupport.h"
#include "support/TestSupport.h"

using sxtest::Cell;
using sxtest::Edition;

namespace {

using Rows = std::vector<std::vector<std::string>>;

// Tables T1 to T4 without minimum charges, two time sections and four dishes.
constexpr const char* kSetup = R"(
  INSERT INTO HotelTable(TableNo,RoomNo,LowestPayType) VALUES ('T1','A',-1), ('T2','A',-1), ('T3','A',-1), ('T4','A',NULL);
  INSERT INTO TimeSection VALUES (1,'1899-12-30 11:00:00','1899-12-30 16:59:00'), (2,'1899-12-30 17:00:00','1899-12-30 23:59:00');
  INSERT INTO MenuType(MenuTypeCode,MenuTypeName,Deleted) VALUES ('01','凉菜',0), ('02','热菜',0), ('05','主食',0), ('06','酒水',0);
  INSERT INTO MenuItem(MenuItemCode,MenuItemCName,MenuTypeCode,DishStatus,Deleted) VALUES
    ('01001','拍黄瓜','01',1,0), ('02001','宫保鸡丁','02',1,0), ('0600A','红酒','06',1,0), ('05001','米饭','05',1,0);
)";

constexpr const char* kTableQuery = "select TableNo,LowestPay,LowestPayType,ExcludeDishs from HotelTable order by 1";
constexpr const char* kPlanQuery = "select TableNo,TimeID,LowestPay from LowestPayTimePlan order by 1,2";

// A lowestpay sheet: marker, header, then rows from column 1.
std::vector<Cell> Sheet(const Rows& rows) {
  std::vector<Cell> cells = {{1, 0, "lowestpay"}, {1, 2, "最低消费清单"}, {2, 1, "餐桌编号"}};
  int row = 3;
  for (const auto& values : rows) {
    for (std::size_t c = 0; c < values.size(); ++c)
      if (!values[c].empty()) cells.push_back({row, static_cast<int>(c) + 1, values[c]});
    ++row;
  }
  return cells;
}

struct LowestPayTest : ::testing::TestWithParam<sxtest::Engine> {
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

TEST_P(LowestPayTest, ExportLayoutAndRoundTrip) {
  sxtest::SqlExec(store, R"(
    UPDATE HotelTable SET LowestPay=800,LowestPayType=2,ExcludeDishs='0600A' || char(13,10) || 'GONE' || char(13,10) ||
      '05001' || char(13,10) || ' 01001 ' || char(13,10) WHERE TableNo='T1';
    UPDATE HotelTable SET LowestPay=300,LowestPayType=2,ExcludeDishs=NULL WHERE TableNo='T2';
    UPDATE HotelTable SET LowestPay=50,LowestPayType=1,ExcludeDishs='02001' || char(13,10) WHERE TableNo='T3';
    INSERT INTO LowestPayTimePlan VALUES ('T1',1,600), ('T1',2,1000);
  )");
  sxtest::HostCapture host;
  ASSERT_EQ(ExportLowestPay(Conn(store).c_str(), error), 1) << error;
  std::vector<std::string> rows;
  for (const auto& c : sxtest::ReadXlsx(host.workbooks.at(0)))
    if (c.row > 2) rows.push_back(std::to_string(c.row) + ":" + std::to_string(c.column) + ":" + c.value);
  // T2 by time section without any further section takes one row; T4 with no
  // type is left out; GONE is no dish.
  EXPECT_EQ(rows, (std::vector<std::string>{
                      "3:1:T1", "3:2:按时段", "3:3:平常时段", "3:4:800", "3:5:0600A", "3:6:红酒",
                      "4:3:11:00-16:59", "4:4:600", "4:5:05001", "4:6:米饭",
                      "5:3:17:00-23:59", "5:4:1000", "5:5:01001", "5:6:拍黄瓜",
                      "6:1:T2", "6:2:按时段", "6:3:平常时段", "6:4:300",
                      "7:1:T3", "7:2:按每人", "7:4:50", "7:5:02001", "7:6:宫保鸡丁"}));

  std::string store2 = dir.File("s2.db");
  sxtest::CreateDatabase(store2, Edition::Store);
  sxtest::SqlExec(store2, kSetup);
  ASSERT_EQ(ImportLowestPay(Conn(store2).c_str(), host.workbooks[0].c_str(), error), 1) << error;
  EXPECT_TRUE(host.Texts(1).empty()) << host.Texts(1).at(0);
  EXPECT_EQ(sxtest::SqlRows(store2, kPlanQuery), sxtest::SqlRows(store, kPlanQuery));
  EXPECT_EQ(sxtest::SqlRows(store2, kTableQuery),
            (Rows{{"T1", "800.0", "2", "0600A\r\n05001\r\n01001\r\n"}, {"T2", "300.0", "2", ""},
                  {"T3", "50.0", "1", "02001\r\n"}, {"T4", "", "", ""}}));
}

TEST_P(LowestPayTest, RowChecksAndContinuationRows) {
  sxtest::SqlExec(store, "INSERT INTO LowestPayTimePlan VALUES ('T1',9,1)");
  std::string path = dir.File("in.xlsx");
  sxtest::MakeXlsx(path, Sheet({{"t1", "2", "", "500", "05001"},
                                {"", "", "11:00-16:59", "", "01001"},      // no amount: dish not taken
                                {"", "", "12:00-13:00", "300", "02001"},   // unknown section: dish taken
                                {"", "", "17:00 - 23:59", "900", "05001"},
                                {"", "", "", "", "0600a"},
                                {"", "", "", "", "XXXXX"},
                                {"T2", "按每人", "11:00-16:59", "30"},
                                {"", "", "17:00-23:59", "40"},            // ignored for type 1
                                {"T3", "随便"},
                                {"T3", "按时段", "午市"},
                                {"T3", "固定", "", "-5"},
                                {"T3", "0", "", "abc"},
                                {"T9", "固定", "", "10"}}));
  sxtest::HostCapture host;
  ASSERT_EQ(ImportLowestPay(Conn(store).c_str(), path.c_str(), error), 1) << error;
  EXPECT_EQ(host.Texts(1), (std::vector<std::string>{
                               "错误:第4行:t1餐桌没有指定最低消费金额!", "错误:第5行:没有找到时间段:12:00-13:00",
                               "错误:第8行:没有找到菜品:XXXXX", "错误:第11行:T3餐桌没有指定最低消费类型!",
                               "错误:第12行:T3餐桌指定的时段不是平常时段!第一个时段必须是平常时段!",
                               "错误:第13行:T3餐桌指定的最低消费金额不能小于0!",
                               "错误:第14行:T3餐桌指定的最低消费金额不是有效数值!"}));
  EXPECT_EQ(sxtest::SqlRows(store, kTableQuery),
            (Rows{{"T1", "500.0", "2", "05001\r\n02001\r\n0600A\r\n"}, {"T2", "30.0", "1", ""},
                  {"T3", "", "-1", ""}, {"T4", "", "", ""}}));
  EXPECT_EQ(sxtest::SqlRows(store, kPlanQuery), (Rows{{"T1", "2", "900.0"}}));
  std::vector<std::string> info = host.Texts(0);
  EXPECT_NE(std::find(info.begin(), info.end(), "正在导入T9的最低消费..."), info.end());
}

INSTANTIATE_TEST_SUITE_P(Engines, LowestPayTest,
                         ::testing::Values(sxtest::Engine::Native, sxtest::Engine::Odbc),
                         [](const auto& info) { return sxtest::EngineName(info.param); });
