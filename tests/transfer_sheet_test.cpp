// The transfer sheet's writer and reading loop on sheets held in memory.
#include <gtest/gtest.h>

#include <map>

#include "support/TestSupport.h"
#include "ui/uLogMessage.h"
#include "transfer/Run.h"
#include "transfer/Sheet.h"

using namespace sx;

namespace {

// A sheet filled cell by cell, read back by the loop.
struct SheetFixture : ::testing::Test {
  sxtest::HostCapture host;
  TExcelOperation xls;
  std::vector<int> readRows;

  void SetUp() override {
    std::string msg;
    ASSERT_TRUE(xls.NewWorkbook(msg)) << msg;
  }
  void Put(int row, std::initializer_list<std::pair<int, const char*>> cells) {
    for (auto [c, t] : cells) xls.WriteCell(row, c, t);
  }
  ReadingLoop OneSection(const std::string& key = "backreason") {
    ReadingLoop loop;
    loop.sections.push_back({.key = key, .read = [this](int r) { readRows.push_back(r); }});
    loop.headerCaptions = {"退菜理由"};
    return loop;
  }
};

}  // namespace

TEST_F(SheetFixture, FourEmptyRowsAreBridgedButFiveEndTheSheet) {
  Put(1, {{0, "backreason"}});
  Put(2, {{1, "退菜理由"}});
  Put(3, {{1, "a"}});
  Put(8, {{1, "b"}});   // rows 4-7 empty: four
  Put(14, {{1, "c"}});  // rows 9-13 empty: five
  ReadSections(xls, OneSection());
  EXPECT_EQ(readRows, (std::vector<int>{3, 8}));
}

TEST_F(SheetFixture, RepeatedHeaderAndRowsBeforeTheMarkerAreSkipped) {
  Put(1, {{1, "before any marker"}});
  Put(2, {{0, "BackReason"}});  // keys compare in lower case
  Put(3, {{1, "退菜理由"}});
  Put(4, {{1, "a"}});
  Put(5, {{1, "退菜理由"}});
  Put(6, {{1, "b"}, {2, "ignored"}});
  Put(7, {{2, "column 1 empty: not a data row"}});
  ReadSections(xls, OneSection());
  EXPECT_EQ(readRows, (std::vector<int>{4, 6}));
}

TEST_F(SheetFixture, SheetWithoutKnownKeyReadsNothing) {
  Put(1, {{0, "giftreason"}});
  Put(2, {{1, "x"}});
  ReadSections(xls, OneSection());
  EXPECT_TRUE(readRows.empty());
}

TEST_F(SheetFixture, ContinuationRowsAndCarriedCodeForgottenAtMarkers) {
  // Column 1 carries a code; continuation rows leave it empty but fill column 2.
  std::string carried;
  std::vector<std::string> seen;
  ReadingLoop loop;
  auto read = [&](int r) {
    std::string code = xls.ReadCell(r, 1);
    if (code.empty()) code = carried;
    carried = code;
    seen.push_back(code + ":" + xls.ReadCell(r, 2));
  };
  loop.sections.push_back({.key = "head", .read = read});
  loop.sections.push_back({.key = "lines", .read = read, .continuationColumns = {2},
                           .onEnter = [&] { carried.clear(); }});
  Put(1, {{0, "head"}});
  Put(2, {{1, "H1"}, {2, "x"}});
  Put(3, {{2, "not a continuation in head"}});
  Put(4, {{0, "lines"}});
  Put(5, {{2, "orphan"}});
  Put(6, {{1, "A"}, {2, "1"}});
  Put(7, {{2, "2"}});
  ReadSections(xls, loop);
  EXPECT_EQ(seen, (std::vector<std::string>{"H1:x", ":orphan", "A:1", "A:2"}));
}

TEST_F(SheetFixture, ContinuationRowsThatKeepTheCountStillEndAfterFiveBlankKeyRows) {
  ReadingLoop loop;
  loop.sections.push_back({.key = "menuitem", .read = [&](int r) { readRows.push_back(r); },
                           .continuationColumns = {2}, .continuationKeepsCount = true});
  Put(1, {{0, "menuitem"}});
  Put(2, {{1, "T1"}, {2, "a"}});
  for (int r = 3; r <= 5; ++r) Put(r, {{2, "x"}});  // continuation rows
  Put(8, {{2, "y"}});   // after two empty rows: read, the count stays at two
  Put(12, {{2, "z"}});  // after three more empty rows: five in all, not read
  ReadSections(xls, loop);
  EXPECT_EQ(readRows, (std::vector<int>{2, 3, 4, 5, 8}));
}

TEST_F(SheetFixture, SectionlessTableStartsAtItsFirstRow) {
  Put(1, {{0, "title row"}});
  Put(3, {{0, "1001"}});
  Put(5, {{0, "1002"}});
  Put(11, {{0, "1003"}});
  std::vector<int> rows;
  ReadTable(xls, 3, 0, [&](int r) { rows.push_back(r); });
  EXPECT_EQ(rows, (std::vector<int>{3, 5}));
}

TEST(SheetWriterTest, CellsAnywhereMoveTheNextRowBelowThem) {
  sxtest::HostCapture host;
  TExcelOperation xls;
  std::string msg;
  ASSERT_TRUE(xls.NewWorkbook(msg));
  SheetWriter w(xls);
  w.Row({"a"});
  w.Cell(4, 5, "down");
  w.Cell(2, 6, "up");
  EXPECT_EQ(w.NextRow(), 5);
  w.Row({"b"});
  EXPECT_EQ(xls.ReadCell(4, 5), "down");
  EXPECT_EQ(xls.ReadCell(2, 6), "up");
  EXPECT_EQ(xls.ReadCell(5, 1), "b");
}

TEST(SheetWriterTest, GroupExportWritesBrandStoreExportLeavesItEmpty) {
  sxtest::HostCapture host;
  for (bool group : {false, true}) {
    TExcelOperation xls;
    std::string msg;
    ASSERT_TRUE(xls.NewWorkbook(msg));
    SheetWriter w(xls);
    w.FirstMarker("shift", group ? "B01" : "", "班次时间段", group ? kGroupStamp : kStoreStamp);
    w.Header({"班次名称", "班次代码"});
    w.Row({"早班", "", "x"});
    w.Marker("timesection");
    w.Header({"起始时间(时:分)"});
    EXPECT_EQ(xls.ReadCell(1, 0), "shift");
    EXPECT_EQ(xls.ReadCell(1, 1), group ? "B01" : "");
    EXPECT_EQ(xls.ReadCell(1, 2), "班次时间段");
    EXPECT_EQ(xls.ReadCell(1, 3), group ? "2.5.2011.1G" : "2.5.2011.1N");
    EXPECT_EQ(xls.ReadCell(2, 0), "");
    EXPECT_EQ(xls.ReadCell(2, 2), "班次代码");
    EXPECT_EQ(xls.ReadCell(3, 3), "x");
    EXPECT_EQ(xls.ReadCell(4, 0), "");  // separator row
    EXPECT_EQ(xls.ReadCell(5, 0), "timesection");
    EXPECT_EQ(xls.ReadCell(6, 1), "起始时间(时:分)");
  }
}

namespace {
bool gRead = false;
void ReadsReasons(ImportRun& run) {
  run.ReadSections("退菜理由", ReadingLoop{});
  gRead = true;
}
}  // namespace

TEST(RunImportTest, UnopenableWorkbookStillLogsStartAndEnd) {
  sxtest::TempDir dir;
  sxtest::CreateDatabase(dir.File("s.db"), sxtest::Edition::Store);
  sxtest::HostCapture host;
  std::string msg;
  gRead = false;
  EXPECT_FALSE(RunImport(&ReadsReasons, dir.File("s.db"), Edition::Store(), "/nonexistent/x.xlsx", msg));
  EXPECT_FALSE(gRead);
  EXPECT_NE(msg.find("/nonexistent/x.xlsx"), std::string::npos);
  EXPECT_EQ(host.Texts(0),
            (std::vector<std::string>{"开始从/nonexistent/x.xlsx导入退菜理由...", "完毕!"}));
  EXPECT_EQ(host.Finishes(), 1);
}

TEST(RowMessageTest, PrefixCarriesTheRowNumber) {
  EXPECT_EQ(RowMessage(12, "x"), "第12行:x");
  EXPECT_TRUE(YesNo("1"));
  EXPECT_TRUE(YesNo("是"));
  EXPECT_FALSE(YesNo("否"));
  EXPECT_FALSE(YesNo(""));
  EXPECT_FALSE(YesNo("yes"));
}

TEST(ExportCellTest, OnChangeRulesLeaveRepeatedValuesEmpty) {
  struct Case {
    Written rule;
    std::vector<std::string> written;
  };
  const std::vector<std::string> values = {"", "A1", "A1", "a1", "B2", ""};
  for (const Case& c : {Case{Written::OnChange, {"", "A1", "", "a1", "B2", ""}},
                        Case{Written::OnChangeIgnoringCase, {"", "A1", "", "", "B2", ""}}}) {
    std::string previous;
    std::vector<std::string> written;
    for (const std::string& v : values) {
      db::Value value = v;
      written.push_back(ExportCell(db::Field(&value), c.rule, previous));
    }
    EXPECT_EQ(written, c.written);
  }
}
