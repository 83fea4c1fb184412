// Payment subjects through the exported functions, on both engines.
#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "setupxfer.h"
#include "support/OdbcSupport.h"
#include "support/TestSupport.h"

using sxtest::Cell;
using sxtest::Edition;
using Rows = std::vector<std::vector<std::string>>;

namespace {

// The second-level subjects of the store, or of brand B1, every column.
std::string RowQuery(bool group) {
  return std::string("select SubjectCode,SubjectName,") +
         (group ? "SubjectName2,SubjectName3" : "SubjectEName,SubjectEName2") +
         ",SubjectClass,SubjectType,PayTag,PayMemoTag,NoChange,PayVisible,QuickUse,CanInvoice,BillCost,UseAmount,"
         "Contact,Mobile,Tele,Fax,Company,PostCode,Address,CreditLimit,Remark from " +
         (group ? "Group_Subject where BrandID='B1' and" : "Subject where") + " SubjectClass=2 order by SubjectCode";
}

struct Subject2Test : ::testing::TestWithParam<sxtest::Engine> {
  sxtest::TempDir dir;
  std::string store = dir.File("store.db");
  std::string group = dir.File("group.db");
  char error[300] = {};

  void SetUp() override {
    if (GetParam() == sxtest::Engine::Odbc && !sxtest::RegisterOdbcDrivers())
      GTEST_SKIP() << "no SQLite ODBC driver";
    sxtest::CreateDatabase(store, Edition::Store);
    sxtest::CreateDatabase(group, Edition::Group);
    sxtest::SqlExec(store, "insert into Subject(SubjectCode,SubjectName,SubjectClass) values('1002','银行',1),('2171','税',1)");
    sxtest::SqlExec(group, "insert into Group_Subject(BrandID,SubjectCode,SubjectName,SubjectClass) values"
                           "('B1','1002','银行',1),('B2','2171','别的品牌',1)");
  }
  std::string Conn(const std::string& path) const { return sxtest::ConnectionStringFor(GetParam(), path); }

  // A sheet of subject rows from row 3, each a map of column to text.
  std::string Sheet(const std::vector<std::map<int, std::string>>& rows) {
    std::vector<Cell> cells{{1, 2, "二级科目清单"}, {2, 0, "科目代码"}, {2, 1, "科目名称"}};
    int r = 3;
    for (const auto& row : rows) {
      for (const auto& [c, t] : row) cells.push_back({r, c, t});
      ++r;
    }
    std::string path = dir.File("subjects.xlsx");
    sxtest::MakeXlsx(path, cells);
    return path;
  }
};

}  // namespace

TEST_P(Subject2Test, RowsAreCheckedAndFlagsRead) {
  auto file = Sheet({
      {{0, "10020001"}, {1, "现金"}, {4, "借方"}, {5, "是"}, {6, "1"}, {7, "否"}, {9, "是"}, {11, "100"},
       {12, "20.5"}, {20, "-3"}, {21, "长备注"}},
      {{0, "10020002"}, {1, "挂账"}, {5, "0"}, {6, "yes"}},  // empty direction gives credit
      {{0, "30010001"}, {1, "无一级"}},
      {{0, "1002"}, {1, "改一级"}},
      {{0, "10020003"}},
      {{0, "10020004"}, {1, "金额错"}, {11, "abc"}},
      {{0, "10020005"}, {1, "可用错"}, {12, "1,5"}},
      {{0, "10020006"}, {1, "透支错"}, {20, "x"}},
  });
  sxtest::HostCapture host;
  ASSERT_EQ(ImportSubject2(Conn(store).c_str(), file.c_str(), error), 1) << error;
  EXPECT_EQ(host.Texts(1), (std::vector<std::string>{
                               "错误:第5行:没有找到30010001一级科目:3001",
                               "错误:第6行:1002是一级科目代码,不能作为二级科目导入!",
                               "错误:第7行:10020003没有指定科目名称!",
                               "错误:第8行:10020004账单金额不是有效数值!",
                               "错误:第9行:10020005可用金额不是有效数值!",
                               "错误:第10行:10020006透支额度不是有效数值!"}));
  EXPECT_EQ(sxtest::SqlRows(store, RowQuery(false)),
            (Rows{{"10020001", "现金", "", "", "2", "0", "0", "1", "0", "0", "1", "0", "100.0", "20.5", "", "", "",
                   "", "", "", "", "-3.0", "长备注"},
                  {"10020002", "挂账", "", "", "2", "1", "1", "0", "0", "0", "0", "0", "0.0", "0.0", "", "", "", "",
                   "", "", "", "0.0", ""}}));
  EXPECT_EQ(sxtest::SqlColumn(store, "select SubjectName from Subject where SubjectCode='1002'"),
            std::vector<std::string>{"银行"});
}

TEST_P(Subject2Test, RoundTripsReadBackTheStoredValues) {
  for (bool isGroup : {false, true}) {
    SCOPED_TRACE(isGroup ? "group" : "store");
    const std::string& from = isGroup ? group : store;
    // Code, names, class 2, direction, pay tag and flags, amounts, contacts, limit, remark.
    std::string cols = isGroup ? "BrandID,SubjectCode,SubjectName,SubjectName2,SubjectName3"
                               : "SubjectCode,SubjectName,SubjectEName,SubjectEName2";
    sxtest::SqlExec(from, "insert into " + std::string(isGroup ? "Group_Subject(" : "Subject(") + cols +
                              ",SubjectClass,SubjectType,PayTag,PayMemoTag,NoChange,PayVisible,QuickUse,CanInvoice,"
                              "BillCost,UseAmount,Contact,Mobile,Tele,Fax,Company,PostCode,Address,CreditLimit,Remark)"
                              " values(" + (isGroup ? "'B1'," : "") +
                              "'10020001','现金','Cash','',2,0,0,1,0,1,0,1,100,12.5,'张','139','010-1','','公司','100000',"
                              "'地址',5000,'备注'),(" + (isGroup ? "'B1'," : "") +
                              "'10020002','挂账','','',2,1,1,0,1,0,1,0,0,0,'','','','','','','',0,'')");
    sxtest::HostCapture host;
    ASSERT_EQ(isGroup ? ExportGroupSubject2(Conn(from).c_str(), "B1", error)
                      : ExportSubject2(Conn(from).c_str(), error),
              1)
        << error;
    std::map<std::pair<int, int>, std::string> cells;
    for (const auto& c : sxtest::ReadXlsx(host.workbooks.at(0))) cells[{c.row, c.column}] = c.value;
    auto at = [&](int r, int c) { return cells[std::make_pair(r, c)]; };
    EXPECT_EQ(at(1, 1), isGroup ? "B1" : "");
    EXPECT_EQ(at(1, 3), isGroup ? "2.5.2011.1G" : "2.5.2011.1N");
    EXPECT_EQ(at(3, 4) + at(3, 5) + at(3, 6) + at(3, 7), "借方是是否");
    EXPECT_EQ(at(4, 4) + at(4, 5), "贷方否");

    std::string to = dir.File(isGroup ? "group2.db" : "store2.db");
    sxtest::CreateDatabase(to, isGroup ? Edition::Group : Edition::Store);
    sxtest::SqlExec(to, isGroup ? "insert into Group_Subject(BrandID,SubjectCode,SubjectClass) values('B1','1002',1)"
                                : "insert into Subject(SubjectCode,SubjectClass) values('1002',1)");
    const std::string& book = host.workbooks.at(0);
    ASSERT_EQ(isGroup ? ImportGroupSubject2(Conn(to).c_str(), "B1", book.c_str(), error)
                      : ImportSubject2(Conn(to).c_str(), book.c_str(), error),
              1)
        << error;
    EXPECT_TRUE(host.Texts(1).empty());
    EXPECT_EQ(sxtest::SqlRows(to, RowQuery(isGroup)), sxtest::SqlRows(from, RowQuery(isGroup)));
    if (isGroup) {
      EXPECT_EQ(sxtest::SqlColumn(to, "select BrandID from Group_DownloadVersion where SubjectVersion is not null"),
                std::vector<std::string>{"B1"});
    }
  }
}

TEST_P(Subject2Test, GroupChecksTheBrandsFirstLevelAndStoreImportHonoursCentralControl) {
  auto file = Sheet({{{0, "21710001"}, {1, "税金"}}});
  sxtest::HostCapture host;
  ASSERT_EQ(ImportGroupSubject2(Conn(group).c_str(), "B1", file.c_str(), error), 1) << error;
  EXPECT_EQ(host.Texts(1), std::vector<std::string>{"错误:第3行:没有找到21710001一级科目:2171"});
  sxtest::SqlExec(store, "insert into Group_Brand(BrandID,ControlSubject) values('B1',1)");
  EXPECT_EQ(ImportSubject2(Conn(store).c_str(), file.c_str(), error), 0);
  EXPECT_STREQ(error, "科目由集团统一下发,不能在门店导入!");
}

INSTANTIATE_TEST_SUITE_P(Engines, Subject2Test, ::testing::Values(sxtest::Engine::Native, sxtest::Engine::Odbc),
                         [](const auto& info) { return sxtest::EngineName(info.param); });
