// Store items through the exported functions, as a host calls them, on the
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

const std::string kHeader = "物品大类代码";

std::string GroupSample(const std::string& brand) {
  std::string sql = setupxfer_sql_sample_group;
  for (std::size_t at; (at = sql.find("{BRAND}")) != std::string::npos;) sql.replace(at, 7, "'" + brand + "'");
  return sql;
}

// A sheet under construction: the family section from row 1.
struct Sheet {
  std::vector<Cell> cells{{1, 0, "storefamily"}, {2, 1, kHeader}};
  void Put(int row, std::map<int, std::string> values) {
    for (auto& [c, t] : values) cells.push_back({row, c, t});
  }
  void Marker(int row, const std::string& key) { Put(row, {{0, key}}), Put(row + 1, {{1, kHeader}}); }
};

struct StoreItemsTest : ::testing::TestWithParam<sxtest::Engine> {
  sxtest::TempDir dir;
  std::string store = dir.File("store.db");
  std::string group = dir.File("group.db");
  std::string book = dir.File("items.xlsx");
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

  // Exports a database (group: for brand B1) and returns the workbook.
  std::string Export(const std::string& db, sxtest::HostCapture& host) {
    char error[256] = {};
    bool ok = IsStore(db) ? ExportStoreItems(Conn(db).c_str(), error)
                          : ExportGroupStoreItems(Conn(db).c_str(), "B1", error);
    EXPECT_TRUE(ok) << error;
    return host.workbooks.empty() ? "" : host.workbooks.back();
  }
  bool Import(const std::string& db, const std::string& file, const char* brand = "B1") {
    char error[256] = {};
    bool ok = IsStore(db) ? ImportStoreItems(Conn(db).c_str(), file.c_str(), error)
                          : ImportGroupStoreItems(Conn(db).c_str(), brand, file.c_str(), error);
    message = error;
    return ok;
  }
  bool Import(const std::string& db, const Sheet& sheet, const char* brand = "B1") {
    sxtest::MakeXlsx(book, sheet.cells);
    return Import(db, book, brand);
  }
};

const char* kStoreTypes =
    "select TypeCode,TypeName,SubjectCode51,SubjectCode54,SubjectCode12 from S_ItemType "
    "where ifnull(Deleted,0)=0 order by TypeCode";
const char* kStoreItems =
    "select ItemCode,ItemName,TypeCode,StoreUnit,StoreRate,CalcUnit,CalcRate,Org_StoreUnit,Org_Rate,HelpCode,"
    "MaxQty,MinQty,Add_StoreUnit,MaxPrice,BarCode from S_Item where ifnull(Deleted,0)=0 order by ItemCode";
const char* kGroupRows[] = {
    "select fCode,fName from Group_StoreFamily order by fCode",
    "select tCode,fCode,tName,tName2,tName3 from Group_StoreType order by tCode",
    "select tCode,BrandID,SubjectCode54,SubjectCode12,SubjectCode51 from Group_StoreType_Subject order by tCode",
    "select ItemCode,ItemName,ItemName2,ItemName3,tCode,fCode,StoreUnit,StoreRate,CalcUnit,CalcRate,Org_Unit,"
    "Org_Rate,HelpCode,MaxQty,MinQty,Add_StoreUnit,MaxPrice,BarCode from Group_StoreItem order by ItemCode",
};

}  // namespace

TEST_P(StoreItemsTest, StoreRoundTripIsTheIdentityAndUndeletes) {
  sxtest::HostCapture host;
  std::string file = Export(store, host);
  auto cells = sxtest::ReadXlsx(file);
  // One default family carries every live type.
  EXPECT_EQ(cells[4].value, "物品大类名称");
  EXPECT_EQ(cells[5].value + cells[6].value, "0缺省大类");

  std::string empty = dir.File("empty-store.db");
  sxtest::CreateDatabase(empty, Edition::Store);
  sxtest::SqlExec(empty, setupxfer_sql_sample_store);
  sxtest::SqlExec(empty, "delete from S_ItemType; delete from S_Item");
  ASSERT_TRUE(Import(empty, file)) << message;
  EXPECT_TRUE(host.Texts(1).empty());
  EXPECT_EQ(sxtest::SqlRows(empty, kStoreTypes), sxtest::SqlRows(store, kStoreTypes));
  EXPECT_EQ(sxtest::SqlRows(empty, kStoreItems), sxtest::SqlRows(store, kStoreItems));
  EXPECT_EQ(sxtest::SqlRows(store, kStoreItems).size(), 8u);

  // Back into its own database: rows updated in place, deleted ones revived.
  sxtest::SqlExec(store, "update S_Item set Deleted=1,ItemName='x' where ItemCode='010001';"
                         "update S_ItemType set Deleted=1 where TypeCode='04'");
  auto before = sxtest::SqlRows(store, "select count(*) from S_Item");
  ASSERT_TRUE(Import(store, file)) << message;
  EXPECT_EQ(sxtest::SqlRows(store, kStoreItems), sxtest::SqlRows(empty, kStoreItems));
  EXPECT_EQ(sxtest::SqlRows(store, kStoreTypes), sxtest::SqlRows(empty, kStoreTypes));
  EXPECT_EQ(sxtest::SqlRows(store, "select count(*) from S_Item"), before);
}

TEST_P(StoreItemsTest, GroupRoundTripIsTheIdentity) {
  sxtest::HostCapture host;
  std::string file = Export(group, host);
  std::string empty = dir.File("empty-group.db");
  sxtest::CreateDatabase(empty, Edition::Group);
  sxtest::SqlExec(empty, GroupSample("B1"));
  sxtest::SqlExec(empty, "delete from Group_StoreFamily; delete from Group_StoreType;"
                         "delete from Group_StoreType_Subject; delete from Group_StoreItem");
  ASSERT_TRUE(Import(empty, file)) << message;
  EXPECT_TRUE(host.Texts(1).empty());
  for (const char* sql : kGroupRows) EXPECT_EQ(sxtest::SqlRows(empty, sql), sxtest::SqlRows(group, sql)) << sql;
}

TEST_P(StoreItemsTest, RowChecksLogTheirMessageAndDropTheRow) {
  // Each bad row and the message it logs; the good rows around them are kept.
  struct Case {
    std::map<int, std::string> row;
    std::string error;  // empty: accepted
  };
  const std::vector<Case> families = {
      {{{1, "1"}, {2, "食品"}}, ""},
      {{{1, "7"}}, "7没有指定物品大类名称!"},
  };
  const std::vector<Case> types = {
      {{{1, "1"}, {2, "01"}, {3, "蔬菜"}, {6, "540101"}}, ""},
      {{{2, "02"}, {3, "肉禽"}, {8, "121101"}}, ""},  // continuation: family 1
      {{{1, "8"}, {2, "05"}, {3, "调料"}}, "没有找到编号为\"8\"的物品大类!"},
      {{{1, "1"}, {2, "06"}}, "\"06\"没有指定物品类别名称!"},
      {{{2, "07"}, {3, "干货"}, {6, "540101"}, {10, "999"}}, "没有找到科目:999"},
  };
  const std::vector<Case> items = {
      {{{1, "1"}, {2, "01"}, {3, "A1"}, {4, "黄瓜"}, {10, "2.5"}, {11, "500"}}, ""},
      {{{3, "A2"}, {4, "土豆"}, {13, ""}}, ""},
      {{{2, "07"}, {3, "A3"}, {4, "干货"}}, "没有找到编号为\"07\"的物品类别!"},
      {{{2, "02"}, {4, "鸡"}}, "物品没有指定编号!"},
      {{{3, "A4"}}, "物品没有指定名称!"},
      {{{3, "A5"}, {4, "x"}, {10, "abc"}}, "订货与库存规格之间的换算系数不是数值!"},
      {{{3, "A6"}, {4, "x"}, {10, "-1"}}, "订货与库存规格之间的换算系数不能小于0!"},
      {{{3, "A7"}, {4, "x"}, {11, "2.5"}}, "2.5不是整数!"},
      {{{3, "A8"}, {4, "x"}, {11, "-3"}}, "-3不能小于0!"},
      {{{3, "A9"}, {4, "x"}, {13, "少"}}, "最小库存量不是数值!"},
      {{{3, "B1"}, {4, "x"}, {14, "-0.5"}}, "最大库存量不能小于0!"},
      {{{3, "B2"}, {4, "x"}, {15, "贵"}}, "价格采购上限(0表示不限制)不是数值!"},
      {{{1, "2"}, {3, "B3"}, {4, "x"}}, "没有找到编号为\"2\"的物品大类!"},
  };
  Sheet sheet;
  std::vector<std::string> expected;
  int row = 3;
  auto put = [&](const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      sheet.Put(row, c.row);
      if (!c.error.empty()) expected.push_back("错误:第" + std::to_string(row) + "行:" + c.error);
      ++row;
    }
  };
  put(families);
  sheet.Marker(++row, "storetype");
  row += 2;
  put(types);
  sheet.Marker(++row, "storeitem");
  row += 2;
  put(items);
  sxtest::HostCapture host;
  ASSERT_TRUE(Import(store, sheet)) << message;
  EXPECT_EQ(host.Texts(1), expected);
  EXPECT_EQ(sxtest::SqlRows(store, "select TypeCode,TypeName,SubjectCode54,SubjectCode12 from S_ItemType "
                                   "where TypeCode in ('01','02') order by TypeCode"),
            (Rows{{"01", "蔬菜", "540101", ""}, {"02", "肉禽", "", "121101"}}));
  EXPECT_EQ(sxtest::SqlRows(store, "select ItemCode,TypeCode,Org_Rate,CalcRate,MinQty,StoreRate from S_Item "
                                   "where ItemCode like 'A%' order by ItemCode"),
            (Rows{{"A1", "01", "2.5", "500", "0.0", "100"}, {"A2", "01", "0.0", "0", "0.0", "100"}}));
}

TEST_P(StoreItemsTest, GroupRefusesCodesBeginningWithZ) {
  Sheet sheet;
  sheet.Put(3, {{1, "1"}, {2, "食品"}});
  sheet.Marker(5, "storetype");
  sheet.Put(7, {{1, "1"}, {2, "01"}, {3, "蔬菜"}});
  sheet.Put(8, {{2, "z01"}, {3, "自有"}});
  sheet.Marker(10, "storeitem");
  sheet.Put(12, {{1, "1"}, {2, "Z01"}, {3, "A1"}, {4, "x"}});
  sheet.Put(13, {{2, "01"}, {3, "ZX1"}, {4, "x"}});
  sheet.Put(14, {{3, "zz"}, {4, "x"}});
  sheet.Put(15, {{3, "A2"}, {4, "x"}});
  const std::string type = "集团不允许有字母\"Z\"开头的物品类别代码!";
  const std::string item = "集团不允许有字母\"Z\"开头的物品代码!";
  sxtest::HostCapture host;
  ASSERT_TRUE(Import(group, sheet)) << message;
  EXPECT_EQ(host.Texts(1), (std::vector<std::string>{"错误:第8行:" + type, "错误:第12行:" + type, "错误:第13行:" + item,
                                                     "错误:第14行:" + item}));
  EXPECT_EQ(sxtest::SqlColumn(group, "select ItemCode from Group_StoreItem where tCode='01' and fCode='1' "
                                     "and ItemCode like 'A%'"),
            std::vector<std::string>{"A2"});

  // The store's own codes may begin with Z.
  sxtest::HostCapture storeHost;
  ASSERT_TRUE(Import(store, sheet)) << message;
  EXPECT_TRUE(storeHost.Texts(1).empty());
  EXPECT_EQ(sxtest::SqlColumn(store, "select ItemCode from S_Item where TypeCode='Z01'"),
            std::vector<std::string>{"A1"});
}

TEST_P(StoreItemsTest, GroupWriterReplacesSubjectsAndStampsEveryBrand) {
  sxtest::SqlExec(group, "insert into Group_DownloadVersion(BrandID,MaterialVersion) values('B2','2000-01-01')");
  Sheet sheet;
  sheet.Put(3, {{1, "1"}, {2, "食品原料"}});
  sheet.Put(4, {{1, "3"}, {2, "低值易耗"}});
  sheet.Marker(6, "storetype");
  sheet.Put(8, {{1, "1"}, {2, "01"}, {3, "蔬菜"}});  // no subjects
  sheet.Put(9, {{1, "3"}, {2, "31"}, {3, "餐具"}, {4, "Tableware"}});
  sxtest::HostCapture host;
  ASSERT_TRUE(Import(group, sheet)) << message;
  EXPECT_EQ(sxtest::SqlRows(group, "select tCode,BrandID,SubjectCode54 is null,SubjectCode12 is null,"
                                   "SubjectCode51 is null from Group_StoreType_Subject where tCode in ('01','31') order by tCode"),
            (Rows{{"01", "B1", "1", "1", "1"}, {"31", "B1", "1", "1", "1"}}));
  EXPECT_EQ(sxtest::SqlRows(group, "select tCode,fCode,tName,tName2 from Group_StoreType where tCode='31'"),
            (Rows{{"31", "3", "餐具", "Tableware"}}));
  auto stamps = sxtest::SqlRows(group, "select BrandID,MaterialVersion from Group_DownloadVersion order by BrandID");
  ASSERT_EQ(stamps.size(), 2u);
  EXPECT_EQ(stamps[0][0], "B1");
  EXPECT_EQ(stamps[1][0], "B2");
  EXPECT_NE(stamps[1][1], "2000-01-01");
  EXPECT_EQ(host.Texts(0)[1], "正在导入库存物品1 食品原料...");
}

TEST_P(StoreItemsTest, FailingFamilyIsRolledBackWholeAndTheNextIsWritten) {
  // Family 1 holds an item code too long for its column; family 3 a code and
  // names that only the group database keeps, too long for it.
  const std::string longText(60, 'n');
  Sheet sheet;
  sheet.Put(3, {{1, "1"}, {2, "食品"}});
  sheet.Put(4, {{1, "2"}, {2, "酒水"}});
  sheet.Put(5, {{1, "3-long-family-code"}, {2, "杂项"}});
  sheet.Marker(7, "storetype");
  sheet.Put(9, {{1, "1"}, {2, "51"}, {3, "新蔬菜"}});
  sheet.Put(10, {{1, "2"}, {2, "52"}, {3, "新酒水"}});
  sheet.Put(11, {{1, "3-long-family-code"}, {2, "53"}, {3, "杂项"}, {4, longText}});
  sheet.Marker(13, "storeitem");
  sheet.Put(15, {{1, "1"}, {2, "51"}, {3, std::string(31, '9')}, {4, "过长"}});
  sheet.Put(16, {{1, "2"}, {2, "52"}, {3, "520001"}, {4, "啤酒"}});
  sheet.Put(17, {{1, "3-long-family-code"}, {2, "53"}, {3, "530001"}, {4, "纸巾"}, {5, longText + longText}});
  for (const std::string& db : {store, group}) {
    sxtest::HostCapture host;
    ASSERT_TRUE(Import(db, sheet)) << message;
    bool inStore = db == store;
    EXPECT_EQ(host.Texts(1).size(), inStore ? 1u : 2u);
    std::string types = inStore ? "select TypeCode from S_ItemType where TypeCode>'50' order by 1"
                                : "select tCode from Group_StoreType where tCode>'50' order by 1";
    std::vector<std::string> written = {"52", "53"};
    if (!inStore) written.pop_back();
    EXPECT_EQ(sxtest::SqlColumn(db, types), written);
  }
}

TEST_P(StoreItemsTest, StoreImportRefusedUnderCentralControl) {
  sxtest::SqlExec(store, "insert into Group_Brand(BrandID,ControlMaterial) values('B1',1)");
  sxtest::HostCapture host;
  EXPECT_FALSE(Import(store, Sheet{}));
  EXPECT_EQ(message, "库存物品由集团统一下发,不能在门店导入!");
  EXPECT_TRUE(host.lines.empty());
}

INSTANTIATE_TEST_SUITE_P(Engines, StoreItemsTest, ::testing::Values(sxtest::Engine::Native, sxtest::Engine::Odbc),
                         [](const auto& info) { return sxtest::EngineName(info.param); });
