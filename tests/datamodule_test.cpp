// The data module: schema version check, central control flag, download
// version stamp and the item write transaction, on real SQLite databases.
#include <gtest/gtest.h>

#include <fstream>

#include "datamodule/udmio.h"
#include "transfer/Run.h"
#include "ui/uLogMessage.h"
#include "support/OdbcSupport.h"
#include "support/TestSupport.h"

using sx::Tdmio;
using sxtest::Edition;

namespace {

struct DataModuleTest : ::testing::Test {
  sxtest::TempDir dir;
  std::string store = dir.File("store.db");
  std::string group = dir.File("group.db");
  void SetUp() override {
    sxtest::CreateDatabase(store, Edition::Store);
    sxtest::CreateDatabase(group, Edition::Group);
  }
};

// The same behaviour through the native engine and through ODBC.
struct DataModuleOnEngineTest : DataModuleTest, ::testing::WithParamInterface<sxtest::Engine> {
  void SetUp() override {
    if (GetParam() == sxtest::Engine::Odbc && !sxtest::RegisterOdbcDrivers())
      GTEST_SKIP() << "the SQLite ODBC driver is not installed";
    DataModuleTest::SetUp();
  }
  std::string Cs(const std::string& path) const { return sxtest::ConnectionStringFor(GetParam(), path); }
};

// Connects and checks the schema version as every transfer begins: an import
// that reads nothing.
void NoWork(sx::ImportRun&) {}
bool Start(const std::string& connection, bool group, std::string& message) {
  return sx::RunImport(&NoWork, connection, group ? sx::Edition::Group("B1") : sx::Edition::Store(),
                       "", message);
}

std::string EngineParamName(const ::testing::TestParamInfo<sxtest::Engine>& info) {
  return sxtest::EngineName(info.param);
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(BothEngines, DataModuleOnEngineTest,
                         ::testing::Values(sxtest::Engine::Native, sxtest::Engine::Odbc), EngineParamName);

TEST_P(DataModuleOnEngineTest, MatchingVersionPassesWithoutPrompt) {
  sxtest::HostCapture host;
  std::string msg;
  EXPECT_TRUE(Start(Cs(store), false, msg));
  EXPECT_TRUE(Start(Cs(group), true, msg));
  EXPECT_TRUE(host.prompts.empty());
}

TEST_P(DataModuleOnEngineTest, LowerCaseEditionLetterPasses) {
  sxtest::SqlExec(store, "update Version set VersionNo='2.5.2011.1n'");
  sxtest::HostCapture host;
  std::string msg;
  EXPECT_TRUE(Start(Cs(store), false, msg));
  EXPECT_TRUE(host.prompts.empty());
}

TEST_P(DataModuleOnEngineTest, TrailingBlankPromptsAndNoKeepsMessageEmpty) {
  sxtest::SqlExec(store, "update Version set VersionNo='2.5.2011.1N '");
  sxtest::HostCapture host(false);
  std::string msg;
  EXPECT_FALSE(Start(Cs(store), false, msg));
  EXPECT_EQ(msg, "");
  ASSERT_EQ(host.prompts.size(), 1u);
  EXPECT_EQ(host.prompts[0],
            "请确认|当前Quelvo数据库版本号:2.5.2011.1N \r\n与本程序支持的版本号:2.5.2011.1N不符,\r\n"
            "请问要继续吗？");
}

TEST_P(DataModuleOnEngineTest, EmptyVersionTablePromptsWithEmptyVersionAndYesGoesOn) {
  sxtest::SqlExec(group, "delete from Group_Version");
  sxtest::HostCapture host(true);
  std::string msg;
  EXPECT_TRUE(Start(Cs(group), true, msg));
  ASSERT_EQ(host.prompts.size(), 1u);
  EXPECT_EQ(host.prompts[0],
            "请确认|当前集团版数据库版本号:\r\n与本程序支持的版本号:2.5.2011.1G不符,\r\n请问要继续吗？");
}

TEST_P(DataModuleOnEngineTest, OtherEditionsStampPrompts) {
  sxtest::SqlExec(group, "update Group_Version set VersionNo='2.5.2011.1N'");
  sxtest::HostCapture host(false);
  std::string msg;
  EXPECT_FALSE(Start(Cs(group), true, msg));
  EXPECT_EQ(host.prompts.size(), 1u);
}

TEST_P(DataModuleOnEngineTest, MissingVersionTableFailsWithoutPrompt) {
  sxtest::HostCapture host;
  std::string msg;
  EXPECT_FALSE(Start(Cs(store), true, msg));  // a store database has no Group_Version
  EXPECT_EQ(msg, "当前数据库是门店数据库,此功能用于集团版数据库");
  EXPECT_TRUE(host.prompts.empty());
}

TEST_F(DataModuleTest, MissingDatabaseFileIsAnErrorAndNotCreated) {
  Tdmio dm;
  EXPECT_THROW(dm.Connect(dir.File("absent.db")), sx::Error);
  EXPECT_FALSE(std::ifstream(dir.File("absent.db")).good());
}

TEST_F(DataModuleTest, UnknownConnectionStringIsNamed) {
  Tdmio dm;
  try {
    dm.Connect("hello world");
    FAIL();
  } catch (const sx::Error& e) {
    EXPECT_NE(std::string(e.what()).find("hello world"), std::string::npos);
  }
}

TEST_P(DataModuleOnEngineTest, CentralControlFlagRefusesOnlyOne) {
  Tdmio dm;
  dm.Connect(GetParam() == sxtest::Engine::Native ? "Provider=SQLite;Data Source=" + store
                                                  : Cs(store));
  EXPECT_TRUE(dm.ImportAllowed("ControlMenu"));  // no brand row
  sxtest::SqlExec(store, "insert into Group_Brand(BrandID,ControlMenu) values('B1',NULL)");
  EXPECT_TRUE(dm.ImportAllowed("ControlMenu"));
  sxtest::SqlExec(store, "update Group_Brand set ControlMenu=0");
  EXPECT_TRUE(dm.ImportAllowed("ControlMenu"));
  sxtest::SqlExec(store, "update Group_Brand set ControlMenu=2");
  EXPECT_TRUE(dm.ImportAllowed("ControlMenu"));
  sxtest::SqlExec(store, "update Group_Brand set ControlMenu=1");
  EXPECT_FALSE(dm.ImportAllowed("ControlMenu"));
}

TEST_P(DataModuleOnEngineTest, FirstStampInsertsAndLaterOnesUpdate) {
  Tdmio dm;
  dm.Connect(Cs(group));
  dm.WriteItem([&] { dm.StampDownloadVersion(sx::Edition::Group("B1"), "MenuVersion"); });
  EXPECT_EQ(sxtest::SqlColumn(group, "select BrandID||':'||(MenuVersion is not null) from Group_DownloadVersion"),
            std::vector<std::string>{"B1:1"});
  sxtest::SqlExec(group, "update Group_DownloadVersion set MenuVersion='old'");
  dm.WriteItem([&] { dm.StampDownloadVersion(sx::Edition::Group("B1"), "MenuVersion"); });
  EXPECT_EQ(sxtest::SqlColumn(group, "select BrandID||':'||(MenuVersion<>'old') from Group_DownloadVersion"),
            std::vector<std::string>{"B1:1"});
}

TEST_P(DataModuleOnEngineTest, FailingItemRollsBackAloneAndIsLogged) {
  sxtest::HostCapture host;
  Tdmio dm;
  dm.Connect(Cs(group));
  sx::ImportRun run(dm, sx::Edition::Group("B1"), "");
  auto insertBrand = [&](const std::string& id) {
    dm.qSet.Close();
    dm.qSet.SetSQL("insert into Group_Brand(BrandID) values(:brandid)");
    dm.qSet.SetString("brandid", 8, id);
    dm.BeginWrite();
    dm.qSet.ExecSQL();
  };
  run.WriteItem("正在导入\"A\"...", [&] { insertBrand("A"); });
  run.WriteItem("正在导入\"B\"...", [&] {
    insertBrand("B");
    insertBrand("A");  // duplicate key: the whole item rolls back
  });
  run.WriteItem("正在导入\"C\"...", [&] { insertBrand("C"); });
  EXPECT_FALSE(dm.ac1.InTransaction());
  EXPECT_EQ(sxtest::SqlColumn(group, "select BrandID from Group_Brand order by BrandID"),
            (std::vector<std::string>{"A", "C"}));
  auto errors = host.Texts(1);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("错误:", 0), 0u);
  EXPECT_EQ(host.Texts(0), (std::vector<std::string>{"正在导入\"A\"...", "正在导入\"B\"...",
                                                      "正在导入\"C\"..."}));
  sx::ui::TfLogMessage::Log().Finish();
}

TEST_P(DataModuleOnEngineTest, OverlongStringParameterIsRefusedWithItsName) {
  Tdmio dm;
  dm.Connect(Cs(group));
  dm.qSet.SetSQL("insert into Group_Brand(BrandID) values(:brandid)");
  try {
    dm.qSet.SetString("brandid", 8, "退菜退菜退");  // width 10 in code page 936
    FAIL();
  } catch (const sx::Error& e) {
    std::string m = e.what();
    EXPECT_NE(m.find("brandid"), std::string::npos);
    EXPECT_NE(m.find("8"), std::string::npos);
    EXPECT_NE(m.find("退菜退菜退"), std::string::npos);
  }
  EXPECT_NO_THROW(dm.qSet.SetString("brandid", 8, "退菜退菜"));
}
