// Cost cards through the exported functions, as a host calls them, on the
// native engine and through the SQLite ODBC driver.
#include <gtest/gtest.h>

#include <map>

#include "setupxfer.h"
#include "support/OdbcSupport.h"
#include "support/TestSupport.h"

extern const char* const setupxfer_sql_sample_store;
extern const char* const setupxfer_sql_sample_group;

using sxtest::Cell;
using sxtest::Edition;
using Rows = std::vector<std::vector<std::string>>;

namespace {

std::string GroupSample(const std::string& brand) {
  std::string sql = setupxfer_sql_sample_group;
  for (std::size_t at; (at = sql.find("{BRAND}")) != std::string::npos;) sql.replace(at, 7, "'" + brand + "'");
  return sql;
}

const char* kStoreCards = "select CostCardNo,ItemCode,CostQty,CostRate,AutoTag from CostCard order by 1,2";
const char* kGroupCards =
    "select BrandID,MenuItemCode,StoreItemCode,CostQty,CostRate,AutoTag from Group_CostCard order by 1,2,3";

// A cost card sheet: marker and header, then lines of columns 1 to 12.
struct Sheet {
  std::vector<Cell> cells{{1, 0, "bom"}, {2, 1, "菜品编号"}};
  int next = 3;
  Sheet& Line(std::map<int, std::string> values) {
    for (auto& [c, t] : values) cells.push_back({next, c, t});
    ++next;
    return *this;
  }
};

// A card line: dish, dish name, standard, item, quantity, rate, auto flag.
std::map<int, std::string> L(const std::string& dish, const std::string& name, const std::string& standard,
                             const std::string& item, const std::string& qty = "1",
                             const std::string& rate = "100", const std::string& autoTag = "") {
  std::map<int, std::string> m{{1, dish}, {2, name}, {3, standard}, {5, item}, {10, qty}, {11, rate}, {12, autoTag}};
  std::erase_if(m, [](const auto& kv) { return kv.second.empty(); });
  return m;
}

struct BOMTest : ::testing::TestWithParam<sxtest::Engine> {
  sxtest::TempDir dir;
  std::string store = dir.File("store.db");
  std::string group = dir.File("group.db");
  std::string book = dir.File("bom.xlsx");
  std::string message;

  void SetUp() override {
    if (GetParam() == sxtest::Engine::Odbc && !sxtest::RegisterOdbcDrivers())
      GTEST_SKIP() << "no SQLite ODBC driver";
    sxtest::CreateDatabase(store, Edition::Store);
    sxtest::CreateDatabase(group, Edition::Group);
    sxtest::SqlExec(store, setupxfer_sql_sample_store);
    sxtest::SqlExec(group, GroupSample("B1"));
  }
  // Which exported functions a database file is for: by its name.
  static bool IsStore(const std::string& path) { return path.find("store") != std::string::npos; }
  std::string Conn(const std::string& path) const { return sxtest::ConnectionStringFor(GetParam(), path); }

  bool Export(const std::string& db, sxtest::HostCapture& host) {
    char error[256] = {};
    bool ok = IsStore(db) ? ExportBOM(Conn(db).c_str(), error) : ExportGroupBOM(Conn(db).c_str(), "B1", error);
    message = error;
    return ok && !host.workbooks.empty();
  }
  bool Import(const std::string& db, const std::string& file) {
    char error[256] = {};
    bool ok = IsStore(db) ? ImportBOM(Conn(db).c_str(), file.c_str(), error)
                          : ImportGroupBOM(Conn(db).c_str(), "B1", file.c_str(), error);
    message = error;
    return ok;
  }
  bool Import(const std::string& db, const Sheet& sheet) {
    sxtest::MakeXlsx(book, sheet.cells);
    return Import(db, book);
  }
  Rows Cards(const std::string& db, const std::string& dish) {
    return sxtest::SqlRows(db, "select CostCardNo,ItemCode,CostQty,CostRate,AutoTag from CostCard "
                               "where CostCardNo like '" + dish + "%' order by 1,2");
  }
};

}  // namespace

TEST_P(BOMTest, RoundTripIsTheIdentityInBothEditions) {
  for (const std::string& db : {store, group}) {
    const char* cards = IsStore(db) ? kStoreCards : kGroupCards;
    auto before = sxtest::SqlRows(db, cards);
    sxtest::HostCapture host;
    ASSERT_TRUE(Export(db, host)) << message;
    // Every card's lines are replaced by the same lines; cards the sheet does
    // not name are left alone.
    sxtest::SqlExec(db, IsStore(db) ? "update CostCard set CostQty=-1" : "update Group_CostCard set CostQty=-1");
    ASSERT_TRUE(Import(db, host.workbooks[0])) << message;
    EXPECT_TRUE(host.Texts(1).empty());
    EXPECT_EQ(sxtest::SqlRows(db, cards), before);
    EXPECT_EQ(before.size(), IsStore(db) ? 12u : 11u);
  }
}

TEST_P(BOMTest, ExportWritesTheDishAndStandardOnTheFirstLineOfEachCard) {
  sxtest::SqlExec(store, "delete from CostCard; insert into CostCard values"
                         "('010032','020001',500,90,2),('010032','010001',100,85.5,0),('010031','020001',0.25,90,NULL)");
  sxtest::HostCapture host;
  ASSERT_TRUE(Export(store, host)) << message;
  std::map<int, std::vector<std::string>> rows;
  for (const auto& c : sxtest::ReadXlsx(host.workbooks[0]))
    if (c.row >= 3) rows[c.row].push_back(std::to_string(c.column) + "=" + c.value);
  using V = std::vector<std::string>;
  EXPECT_EQ(rows[3], (V{"1=01003", "2=口水鸡", "3=半只", "4=48", "5=020001", "6=鸡胸肉", "7=公斤", "8=克",
                        "9=1公斤=1000克", "10=0.25", "11=90", "12=否"}));
  EXPECT_EQ(rows[4], (V{"1=01003", "2=口水鸡", "3=整只", "4=88", "5=010001", "6=黄瓜", "7=斤", "8=克",
                        "9=1斤=500克", "10=100", "11=85.5", "12=否"}));
  EXPECT_EQ(rows[5], (V{"5=020001", "6=鸡胸肉", "7=公斤", "8=克", "9=1公斤=1000克", "10=500", "11=90", "12=是"}));
  // AutoTag 2 was written as 是 and comes back as 1.
  ASSERT_TRUE(Import(store, host.workbooks[0])) << message;
  EXPECT_EQ(sxtest::SqlColumn(store, "select AutoTag from CostCard where CostCardNo='010032' and ItemCode='020001'"),
            std::vector<std::string>{"1"});
}

TEST_P(BOMTest, CardNumberNotEndingInADigitFailsTheExport) {
  // The text after the dish code, and the conversion error it gives.
  const std::map<std::string, std::string> cases = {
      {"A", "'A' is not a valid integer value"},
      {"菜", "'菜' is not a valid integer value"},  // a whole character, never part of one
  };
  for (const auto& [suffix, error] : cases) {
    sxtest::SqlExec(store, "delete from CostCard; insert into CostCard values('01001" + suffix + "','010001',1,1,1)");
    sxtest::HostCapture host;
    EXPECT_FALSE(Export(store, host));
    EXPECT_EQ(message, error);
  }
  // Standard digits outside 1 to 5 name the first standard.
  sxtest::SqlExec(store, "delete from CostCard; insert into CostCard values('010030','010001',1,1,1)");
  sxtest::HostCapture host;
  ASSERT_TRUE(Export(store, host)) << message;
  auto cells = sxtest::ReadXlsx(host.workbooks[0]);
  EXPECT_EQ(cells.at(17).value, "半只");
}

TEST_P(BOMTest, DeleteMatchesTheDishCodeLiterally) {
  // Dishes whose codes hold the like operator's pattern characters, and
  // cards those patterns would also match.
  sxtest::SqlExec(store, R"(
    insert into MenuItem(MenuItemCode,MenuItemCName,MenuTypeCode,Standard,DishStatus,Deleted) values
      ('a_','下划线','01','例',1,0), ('ab','别的菜','01','例',1,0), ('%','百分号','01','例',1,0);
    delete from CostCard;
    insert into CostCard values ('A_1','010001',1,1,0), ('A_2','010001',1,1,0), ('ab1','010002',1,1,0),
      ('a_12','010002',1,1,0), ('%3','010001',1,1,0), ('x1','010002',1,1,0), ('%%1','010002',1,1,0))");
  Sheet sheet;
  sheet.Line(L("a_", "下划线", "例", "020001", "2")).Line(L("%", "百分号", "例", "020002", "3"));
  sxtest::HostCapture host;
  ASSERT_TRUE(Import(store, sheet)) << message;
  EXPECT_EQ(sxtest::SqlRows(store, "select CostCardNo,ItemCode from CostCard order by 1"),
            (Rows{{"%%1", "010002"}, {"%1", "020002"}, {"a_1", "020001"}, {"a_12", "010002"},
                  {"ab1", "010002"}, {"x1", "010002"}}));

  // The same in the group database, where the brand bounds the delete too.
  sxtest::SqlExec(group, R"(
    insert into Group_MenuItem(BrandID,ItemCode,ItemName,tCode,Standard,DishStatus,Deleted)
      values ('B1','a_','下划线','01','例',1,0);
    delete from Group_CostCard;
    insert into Group_CostCard values ('B1','A_1','010001',1,1,0), ('B1','ab1','010002',1,1,0),
      ('B2','a_1','010002',1,1,0))");
  Sheet one;
  one.Line(L("a_", "下划线", "例", "020001"));
  ASSERT_TRUE(Import(group, one)) << message;
  EXPECT_EQ(sxtest::SqlRows(group, "select BrandID,MenuItemCode,StoreItemCode from Group_CostCard order by 1,2"),
            (Rows{{"B1", "a_1", "020001"}, {"B1", "ab1", "010002"}, {"B2", "a_1", "010002"}}));
}

TEST_P(BOMTest, StandardsAreFoundByNameAndRemembered) {
  Sheet sheet;
  // Only standard 2 of 01003: all its cards are replaced.
  sheet.Line(L("01003", "口水鸡", "整只", "020001", "600"))
      .Line(L("", "", "", "010002", "20"))  // same dish and standard
      // A name none of the dish's standards has: standard 1.
      .Line(L("02001", "宫保鸡丁", "大份", "020001"))
      // Only column 1 among the first four: the remembered standard (of another dish).
      .Line(L("01005", "", "", "010001"))
      // The dish name without a standard: an empty name, which the dish's
      // missing second standard does not match.
      .Line(L("01001", "拍黄瓜", "", "010002"))
      .Line(L("03002", "", "大份", "030001"));
  sxtest::HostCapture host;
  ASSERT_TRUE(Import(store, sheet)) << message;
  EXPECT_TRUE(host.Texts(1).empty());
  EXPECT_EQ(Cards(store, "01003"), (Rows{{"010032", "010002", "20.0", "100.0", "0"},
                                         {"010032", "020001", "600.0", "100.0", "0"}}));
  EXPECT_EQ(sxtest::SqlColumn(store, "select distinct CostCardNo from CostCard where CostCardNo in "
                                     "('020011','020012','010053','010011','010012','030023') order by 1"),
            (std::vector<std::string>{"010011", "010053", "020011", "030023"}));
}

TEST_P(BOMTest, LineChecksDropOnlyTheirLine) {
  struct Case {
    std::map<int, std::string> line;
    std::string error;  // empty: accepted
  };
  const std::vector<Case> cases = {
      {L("99999", "无", "例", "010001"), "没有找到编号为\"99999\"的菜品!"},
      {L("02001", "宫保鸡丁", "例", "nope"), "没有找到编号为\"nope\"的物品!"},
      {L("", "", "", "010001", "", "90"), "净料用量不是数值!"},
      {L("", "", "", "010001", "x", "90"), "净料用量不是数值!"},
      {L("", "", "", "010001", "0", "90"), "净料用量不能小于等于0!"},
      {L("", "", "", "010001", "-1", "90"), "净料用量不能小于等于0!"},
      {L("", "", "", "010001", "1", ""), "净料率%不是数值!"},
      {L("", "", "", "010001", "1", "0"), "净料率%不能小于等于0!"},
      {L("", "", "", "010001", "0.5", "85", "是"), ""},
      {L("", "", "", "010002", "1", "1", "1"), ""},
      {L("", "", "", "020001", "1", "1", "否"), ""},
      {L("", "", "", "020002", "1", "1", "0"), ""},
      {L("", "", "", "030001", "1", "1", "Y"), ""},
      {L("", "", "", "030002", "1", "1", ""), ""},
  };
  Sheet sheet;
  std::vector<std::string> expected;
  for (const Case& c : cases) {
    if (!c.error.empty()) expected.push_back("错误:第" + std::to_string(sheet.next) + "行:" + c.error);
    sheet.Line(c.line);
  }
  sxtest::HostCapture host;
  ASSERT_TRUE(Import(store, sheet)) << message;
  EXPECT_EQ(host.Texts(1), expected);
  EXPECT_EQ(Cards(store, "02001"),
            (Rows{{"020011", "010001", "0.5", "85.0", "1"}, {"020011", "010002", "1.0", "1.0", "1"},
                  {"020011", "020001", "1.0", "1.0", "0"}, {"020011", "020002", "1.0", "1.0", "0"},
                  {"020011", "030001", "1.0", "1.0", "0"}, {"020011", "030002", "1.0", "1.0", "0"}}));
}

TEST_P(BOMTest, ProgressLinesStampsAndCentralControl) {
  Sheet sheet;
  sheet.Line(L("01001", "拍黄瓜", "例", "010001"));
  {
    sxtest::HostCapture host;
    ASSERT_TRUE(Import(store, sheet)) << message;
    EXPECT_EQ(host.Texts(0).at(1), "正在导入成本卡BOM\"01001 拍黄瓜...");
  }
  {
    sxtest::HostCapture host;
    ASSERT_TRUE(Import(group, sheet)) << message;
    EXPECT_EQ(host.Texts(0).at(1), "正在导入成本卡BOM\"01001 拍黄瓜\"...");
    auto stamp = sxtest::SqlRows(group, "select BrandID,CostCardVersion,MaterialVersion from Group_DownloadVersion");
    ASSERT_EQ(stamp.size(), 1u);
    EXPECT_EQ(stamp[0][0], "B1");
    EXPECT_EQ(stamp[0][1].size(), 19u);
    EXPECT_EQ(stamp[0][2], "");
  }
  sxtest::SqlExec(store, "insert into Group_Brand(BrandID,ControlCostCard) values('B1',1)");
  sxtest::HostCapture host;
  EXPECT_FALSE(Import(store, sheet));
  EXPECT_EQ(message, "成本卡BOM由集团统一下发,不能在门店导入!");
  EXPECT_TRUE(host.lines.empty());
}

TEST_P(BOMTest, FailingDishKeepsItsOldCards) {
  // A dish code too long for a card number fails its dish alone.
  sxtest::SqlExec(store, R"(
    insert into MenuItem(MenuItemCode,MenuItemCName,MenuTypeCode,Standard,DishStatus,Deleted)
      values ('123456','长编号','01','例',1,0);
    insert into CostCard values ('1234561','010001',1,1,0))");
  Sheet sheet;
  sheet.Line(L("123456", "长编号", "例", "020001")).Line(L("01001", "拍黄瓜", "例", "020002"));
  sxtest::HostCapture host;
  ASSERT_TRUE(Import(store, sheet)) << message;
  EXPECT_EQ(host.Texts(1).size(), 1u);
  EXPECT_EQ(Cards(store, "123456"), (Rows{{"1234561", "010001", "1.0", "1.0", "0"}}));
  EXPECT_EQ(Cards(store, "01001"), (Rows{{"010011", "020002", "1.0", "100.0", "0"}}));
}

INSTANTIATE_TEST_SUITE_P(Engines, BOMTest, ::testing::Values(sxtest::Engine::Native, sxtest::Engine::Odbc),
                         [](const auto& info) { return sxtest::EngineName(info.param); });
