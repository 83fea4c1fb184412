// Shifts and time sections through the exported functions, on the native
// engine and through the SQLite ODBC driver.
#include <gtest/gtest.h>

#include <cstring>

#include "setupxfer.h"
#include "support/OdbcSupport.h"
#include "support/TestSupport.h"

using sxtest::Cell;
using sxtest::Edition;

namespace {

using Rows = std::vector<std::vector<std::string>>;

const char* kShiftHeader[] = {"班次名称", "班次代码(从0自动开始,可不填)", "停止使用(0-可用/1-停止)",
                              "营业起始时间(时:分)", "营业截止时间(时:分)"};
const char* kSectionHeader[] = {"起始时间(时:分)", "截止之间(时:分)", "时间段代码(从0自动开始,可不填)"};

// A sheet of shift rows {name, code, stopped, start, end} and time section
// rows {start, end, code}, laid out as an export writes it.
std::vector<Cell> ShiftSheet(const std::vector<std::vector<std::string>>& shifts,
                             const std::vector<std::vector<std::string>>& sections) {
  std::vector<Cell> cells = {{1, 0, "shift"}, {1, 2, "班次时间段"}, {1, 3, "2.5.2011.1N"}};
  int row = 2;
  auto put = [&](const auto& values) {
    int c = 1;
    for (const auto& v : values) {
      if (!std::string(v).empty()) cells.push_back({row, c, v});
      ++c;
    }
    ++row;
  };
  put(kShiftHeader);
  for (const auto& s : shifts) put(s);
  ++row;
  cells.push_back({row++, 0, "timesection"});
  put(kSectionHeader);
  for (const auto& t : sections) put(t);
  return cells;
}

struct ShiftTest : ::testing::TestWithParam<sxtest::Engine> {
  sxtest::TempDir dir;
  std::string store = dir.File("store.db");
  std::string group = dir.File("group.db");
  char error[300] = {};

  void SetUp() override {
    if (GetParam() == sxtest::Engine::Odbc && !sxtest::RegisterOdbcDrivers())
      GTEST_SKIP() << "no SQLite ODBC driver";
    sxtest::CreateDatabase(store, Edition::Store);
    sxtest::CreateDatabase(group, Edition::Group);
  }
  std::string Conn(const std::string& path) const { return sxtest::ConnectionStringFor(GetParam(), path); }
  std::string Book(const std::vector<Cell>& cells) {
    std::string path = dir.File("in.xlsx");
    sxtest::MakeXlsx(path, cells);
    return path;
  }
  bool ImportStore(const std::vector<Cell>& cells) {
    return ImportShift(Conn(store).c_str(), Book(cells).c_str(), error) != 0;
  }
  Rows Shifts() { return sxtest::SqlRows(store, "select * from MealSection order by MealSectionCode"); }
  Rows Sections() { return sxtest::SqlRows(store, "select * from TimeSection order by TimeID"); }
};

constexpr const char* kStoreRows = R"(
  INSERT INTO MealSection VALUES (0,'早餐',0,'1899-12-30 07:00:00','1899-12-30 10:00:00'),
    (1,'午餐',0,'11:00','1899-12-30 14:30:00'), (2,'夜宵',1,NULL,NULL);
  INSERT INTO TimeSection VALUES (0,'1899-12-30 00:00:00','1899-12-30 11:59:00'),
    (1,'1899-12-30 12:00:00','1899-12-30 23:59:00');
)";

}  // namespace

TEST_P(ShiftTest, StoreExportWritesBothSectionsWithTimesOfDay) {
  sxtest::SqlExec(store, kStoreRows);
  sxtest::HostCapture host;
  ASSERT_EQ(ExportShift(Conn(store).c_str(), error), 1) << error;
  std::vector<std::string> rows;
  for (const auto& c : sxtest::ReadXlsx(host.workbooks.at(0)))
    if (c.row != 2 && c.row != 8) rows.push_back(std::to_string(c.row) + ":" + std::to_string(c.column) + ":" + c.value);
  EXPECT_EQ(rows, (std::vector<std::string>{
                      "1:0:shift", "1:2:班次时间段", "1:3:2.5.2011.1N",
                      "3:1:早餐", "3:2:0", "3:3:0", "3:4:07:00", "3:5:10:00",
                      "4:1:午餐", "4:2:1", "4:3:0", "4:4:11:00", "4:5:14:30",
                      "5:1:夜宵", "5:2:2", "5:3:1",  // no times
                      "7:0:timesection",
                      "9:1:00:00", "9:2:11:59", "9:3:0", "10:1:12:00", "10:2:23:59", "10:3:1"}));
}

TEST_P(ShiftTest, RoundTripsOfBothEditionsAreTheIdentity) {
  sxtest::SqlExec(store, kStoreRows);
  sxtest::SqlExec(group,
                  "INSERT INTO Group_Shift VALUES ('B1',0,'午市',0,'1899-12-30 11:00:00','1899-12-30 14:00:00'),"
                  "('B1',1,'晚市',1,'1899-12-30 17:00:00',NULL),('B2',0,'别的',0,NULL,NULL);"
                  "INSERT INTO Group_TimeSection VALUES ('B1',0,'1899-12-30 08:00:00','1899-12-30 20:00:00')");
  sxtest::HostCapture host;
  ASSERT_EQ(ExportShift(Conn(store).c_str(), error), 1) << error;
  ASSERT_EQ(ExportGroupShift(Conn(group).c_str(), "B1", error), 1) << error;
  // Times are written back in the stored form of the import.
  sxtest::SqlExec(store, "update MealSection set StartTime='1899-12-30 11:00:00' where MealSectionCode=1");
  std::string emptyStore = dir.File("s2.db"), emptyGroup = dir.File("g2.db");
  sxtest::CreateDatabase(emptyStore, Edition::Store);
  sxtest::CreateDatabase(emptyGroup, Edition::Group);
  ASSERT_EQ(ImportShift(Conn(emptyStore).c_str(), host.workbooks[0].c_str(), error), 1) << error;
  ASSERT_EQ(ImportGroupShift(Conn(emptyGroup).c_str(), "B1", host.workbooks[1].c_str(), error), 1) << error;
  EXPECT_TRUE(host.Texts(1).empty());
  for (const char* q : {"select * from MealSection order by 1", "select * from TimeSection order by 1"})
    EXPECT_EQ(sxtest::SqlRows(emptyStore, q), sxtest::SqlRows(store, q)) << q;
  for (const char* q : {"select * from Group_Shift where BrandID='B1' order by 2",
                        "select * from Group_TimeSection where BrandID='B1' order by 2"})
    EXPECT_EQ(sxtest::SqlRows(emptyGroup, q), sxtest::SqlRows(group, q)) << q;
  // The group export names the brand and shows only its rows.
  auto cells = sxtest::ReadXlsx(host.workbooks[1]);
  EXPECT_EQ(cells.at(1).value, "B1");
  for (const auto& c : cells) EXPECT_NE(c.value, "别的");
}

TEST_P(ShiftTest, CodesArePositionsAndLaterCodesAreUntouched) {
  sxtest::SqlExec(store, "INSERT INTO MealSection VALUES (0,'旧0',0,NULL,NULL),(1,'旧1',0,NULL,NULL),(3,'旧3',0,NULL,NULL)");
  // The code column has no effect; the stopped flag is 1 for "1" and "是" only.
  ASSERT_TRUE(ImportStore(ShiftSheet({{"晚餐", "7", "是", "17:00", "21:00"},
                                      {"早餐", "", "否", "8", ""},
                                      {"午餐", "0", "1", "", ""},
                                      {"班次名称"},  // a repeated header row takes no position
                                      {"宵夜", "", "x", "", ""}},
                                     {})));
  EXPECT_EQ(Shifts(), (Rows{{"0", "晚餐", "1", "1899-12-30 17:00:00", "1899-12-30 21:00:00"},
                            {"1", "早餐", "0", "1899-12-30 08:00:00", ""},
                            {"2", "午餐", "1", "", ""},
                            {"3", "宵夜", "0", "", ""}}));
  EXPECT_EQ(sxtest::SqlColumn(store, "select count(*) from TimeSection"), std::vector<std::string>{"0"});
}

TEST_P(ShiftTest, TimeChecksOfTheRowReaders) {
  sxtest::HostCapture host;
  ASSERT_TRUE(ImportStore(ShiftSheet({{"甲", "", "", "24:00", ""},
                                      {"乙", "", "", "8:30", "下午"},
                                      {"丙", "", "", "08:5", "23:59"}},
                                     {{"0:00", "8:60"}, {"9:00", ""}, {"7", "07:30"}, {"1:2:3", "4"}})));
  EXPECT_EQ(host.Texts(1), (std::vector<std::string>{"错误:第3行:营业开始时间24:00不符合时间格式HH:MM!",
                                                     "错误:第4行:营业截止时间下午不符合时间格式HH:MM!",
                                                     "错误:第9行:截止时间8:60不符合时间格式HH:MM!",
                                                     "错误:第10行:截止时间不符合时间格式HH:MM!",
                                                     // a time with seconds passes the reader only
                                                     "错误:'1:2:3:00' is not a valid time"}));
  EXPECT_EQ(Shifts(), (Rows{{"2", "丙", "0", "1899-12-30 08:05:00", "1899-12-30 23:59:00"}}));
  EXPECT_EQ(Sections(), (Rows{{"2", "1899-12-30 07:00:00", "1899-12-30 07:30:00"}}));
}

TEST_P(ShiftTest, RejectedRowKeepsItsCodeSoLaterShiftsKeepTheirs) {
  sxtest::SqlExec(store, "INSERT INTO MealSection VALUES (0,'早餐',0,NULL,NULL),(1,'午餐',0,NULL,NULL),(2,'晚餐',0,NULL,NULL)");
  sxtest::SqlExec(store, "INSERT INTO TimeSection VALUES (0,'a','b'),(1,'c','d')");
  ASSERT_TRUE(ImportStore(ShiftSheet({{"早市"}, {"午市", "", "", "12点"}, {"晚市"}}, {{"8点", "9:00"}, {"9:00", "10:00"}})));
  EXPECT_EQ(Shifts(), (Rows{{"0", "早市", "0", "", ""}, {"1", "午餐", "0", "", ""}, {"2", "晚市", "0", "", ""}}));
  EXPECT_EQ(Sections(), (Rows{{"0", "a", "b"}, {"1", "1899-12-30 09:00:00", "1899-12-30 10:00:00"}}));
}

TEST_P(ShiftTest, CentralControlRefusesEachSectionOfAStoreImportOnItsOwn) {
  sxtest::SqlExec(store, "INSERT INTO Group_Brand(BrandID,ControlShift,ControlTimeSection) VALUES ('B1',1,0)");
  sxtest::HostCapture host;
  std::string file = Book(ShiftSheet({{"早餐"}}, {{"8:00", "9:00"}}));
  ASSERT_EQ(ImportShift(Conn(store).c_str(), file.c_str(), error), 1);
  EXPECT_EQ(host.Texts(0), (std::vector<std::string>{"开始从" + file + "导入班次时间段...",
                                                     "班次由集团统一下发,不能在门店导入!",
                                                     "正在导入时间段\"8:00-9:00\"...", "完毕!"}));
  EXPECT_TRUE(Shifts().empty());
  EXPECT_EQ(Sections().size(), 1u);

  sxtest::SqlExec(store, "UPDATE Group_Brand SET ControlShift=0,ControlTimeSection=1");
  ASSERT_EQ(ImportShift(Conn(store).c_str(), file.c_str(), error), 1);
  EXPECT_EQ(host.Texts(0).at(6), "时间段由集团统一下发,不能在门店导入!");
  EXPECT_EQ(Shifts().size(), 1u);
}

TEST_P(ShiftTest, GroupImportStampsEveryWrittenItemAndIgnoresCentralControl) {
  sxtest::SqlExec(group, "INSERT INTO Group_Brand(BrandID,ControlShift,ControlTimeSection) VALUES ('B1',1,1);"
                         "INSERT INTO Group_Shift VALUES ('B1',0,'旧',0,NULL,NULL),('B2',0,'别的',0,NULL,NULL)");
  sxtest::HostCapture host;
  std::string file = Book(ShiftSheet({{"新"}}, {{"8:00", "9:00"}}));
  ASSERT_EQ(ImportGroupShift(Conn(group).c_str(), "B1", file.c_str(), error), 1) << error;
  EXPECT_EQ(sxtest::SqlRows(group, "select BrandID,ShiftName from Group_Shift order by BrandID"),
            (Rows{{"B1", "新"}, {"B2", "别的"}}));
  EXPECT_EQ(sxtest::SqlRows(group, "select * from Group_TimeSection"),
            (Rows{{"B1", "0", "1899-12-30 08:00:00", "1899-12-30 09:00:00"}}));
  auto stamp = sxtest::SqlRows(group, "select BrandID,length(ShiftVersion),length(TimeSectionVersion) "
                                      "from Group_DownloadVersion");
  EXPECT_EQ(stamp, (Rows{{"B1", "19", "19"}}));
}

TEST_P(ShiftTest, ReadsTimeCellsOfASheetSavedByLibreOffice) {
  // Typed in LibreOffice Calc as times of day and saved as .xlsx.
  std::string file = std::string(SETUPXFER_SOURCE_DIR) + "/tests/fixtures/libreoffice-shift.xlsx";
  sxtest::HostCapture host;
  ASSERT_EQ(ImportShift(Conn(store).c_str(), file.c_str(), error), 1) << error;
  EXPECT_TRUE(host.Texts(1).empty());
  EXPECT_EQ(Shifts(), (Rows{{"0", "早餐", "0", "1899-12-30 07:30:00", "1899-12-30 10:00:00"},
                            {"1", "晚餐", "1", "1899-12-30 17:00:00", "1899-12-30 21:30:00"}}));
  EXPECT_EQ(Sections(), (Rows{{"0", "1899-12-30 06:00:00", "1899-12-30 18:00:00"}}));
}

INSTANTIATE_TEST_SUITE_P(Engines, ShiftTest, ::testing::Values(sxtest::Engine::Native, sxtest::Engine::Odbc),
                         [](const auto& info) { return sxtest::EngineName(info.param); });
