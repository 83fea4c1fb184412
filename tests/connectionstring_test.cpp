// Reading the host's connection strings: the OLE DB strings of SQL Server
// become ODBC strings for the platform's driver, and every form reaches the
// engine it names.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "base/Error.h"
#include "db/ConnectionString.h"
#include "db/Database.h"
#include "support/OdbcSupport.h"
#include "support/TestSupport.h"

using sx::db::OleDbToOdbc;
using sx::db::SqlServerDriver;

namespace {

const SqlServerDriver kMsDriver{"ODBC Driver 17 for SQL Server", false};

// The message of the sx::Error that translating `oleDb` throws, or "" when none.
std::string TranslationError(const std::string& oleDb) {
  try {
    OleDbToOdbc(oleDb);
  } catch (const sx::Error& e) {
    return e.what();
  }
  return "";
}

}  // namespace

TEST(OleDbToOdbcTest, HostAndSqlLoginBecomeFreeTdsString) {
  EXPECT_EQ(OleDbToOdbc("Provider=SQLOLEDB.1;Persist Security Info=False;User ID=sa;Password=pw;"
                        "Initial Catalog=Quelvo;Data Source=POS-SERVER"),
            "Driver={FreeTDS};Server=POS-SERVER;Database=Quelvo;UID=sa;PWD=pw;"
            "TDS_Version=7.4;ClientCharset=UTF-8");
}

TEST(OleDbToOdbcTest, EveryProviderOfSqlServerIsTranslated) {
  for (const char* p : {"SQLOLEDB", "SQLOLEDB.1", "SQLNCLI", "SQLNCLI10", "SQLNCLI11", "MSOLEDBSQL", "sqloledb"})
    EXPECT_NE(OleDbToOdbc(std::string("Provider=") + p + ";Data Source=h").find("Server=h;"), std::string::npos)
        << p;
  EXPECT_NE(TranslationError("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=h"), "");
}

TEST(OleDbToOdbcTest, ServerFormsAreKeptForEachDriver) {
  // FreeTDS takes the port apart and cannot use the local shortcuts.
  EXPECT_EQ(OleDbToOdbc("Provider=SQLOLEDB;Data Source=10.0.0.5,1433"),
            "Driver={FreeTDS};Server=10.0.0.5;Port=1433;TDS_Version=7.4;ClientCharset=UTF-8");
  EXPECT_EQ(OleDbToOdbc("Provider=SQLOLEDB;Data Source=srv\\SQLEXPRESS"),
            "Driver={FreeTDS};Server=srv\\SQLEXPRESS;TDS_Version=7.4;ClientCharset=UTF-8");
  EXPECT_EQ(OleDbToOdbc("Provider=SQLOLEDB;Data Source=(local)"),
            "Driver={FreeTDS};Server=localhost;TDS_Version=7.4;ClientCharset=UTF-8");
  EXPECT_EQ(OleDbToOdbc("Provider=SQLOLEDB;Server=.\\SQLEXPRESS"),
            "Driver={FreeTDS};Server=localhost\\SQLEXPRESS;TDS_Version=7.4;ClientCharset=UTF-8");
  // Microsoft's drivers take them as they are.
  EXPECT_EQ(OleDbToOdbc("Provider=SQLNCLI11;Data Source=10.0.0.5,1433;Database=db", kMsDriver),
            "Driver={ODBC Driver 17 for SQL Server};Server=10.0.0.5,1433;Database=db;Encrypt=no");
  EXPECT_EQ(OleDbToOdbc("Provider=SQLOLEDB;Data Source=.", kMsDriver),
            "Driver={ODBC Driver 17 for SQL Server};Server=(local);Encrypt=no");
}

TEST(OleDbToOdbcTest, KeysMatchWithoutCaseAndSynonymsAreKnown) {
  EXPECT_EQ(OleDbToOdbc("provider=sqloledb;SERVER=h;DATABASE=d;uid=u;pwd=p"),
            OleDbToOdbc("Provider=SQLOLEDB;Data Source=h;Initial Catalog=d;User ID=u;Password=p"));
}

TEST(OleDbToOdbcTest, IntegratedSecurityUsesTheWindowsLogin) {
  for (const char* s : {"Provider=SQLOLEDB;Integrated Security=SSPI;Data Source=h;User ID=u;Password=p",
                        "Provider=SQLOLEDB;Trusted_Connection=yes;Data Source=h"})
    EXPECT_EQ(OleDbToOdbc(s, kMsDriver),
              "Driver={ODBC Driver 17 for SQL Server};Server=h;Trusted_Connection=yes;Encrypt=no")
        << s;
}

TEST(OleDbToOdbcTest, QuotedValuesAndPasswordsWithSemicolonsSurvive) {
  EXPECT_EQ(OleDbToOdbc("Provider=SQLOLEDB;Data Source=h;User ID='sa';Password=\"a;b\"\"c\""),
            "Driver={FreeTDS};Server=h;UID=sa;PWD={a;b\"c};TDS_Version=7.4;ClientCharset=UTF-8");
  EXPECT_EQ(OleDbToOdbc("Provider=SQLOLEDB;Data Source=h;Password='it''s}{x'"),
            "Driver={FreeTDS};Server=h;PWD={it's}}{x};TDS_Version=7.4;ClientCharset=UTF-8");
  EXPECT_EQ(OleDbToOdbc("Provider=SQLOLEDB;Data Source=h;Password= spaced ;"),
            "Driver={FreeTDS};Server=h;PWD=spaced;TDS_Version=7.4;ClientCharset=UTF-8");
  EXPECT_EQ(OleDbToOdbc("Provider=SQLOLEDB;Data Source=h;Password=' spaced '"),
            "Driver={FreeTDS};Server=h;PWD={ spaced };TDS_Version=7.4;ClientCharset=UTF-8");
  // A password that starts with a quote is braced, so that it reads back
  // whole instead of opening a quoted value (found by fuzzing).
  for (auto [quoted, password] : {std::pair{"'\"b'", "\"b"}, std::pair{"\"'x'y\"", "'x'y"}}) {
    std::string odbc = OleDbToOdbc(std::string("Provider=SQLOLEDB;Data Source=h;Password=") + quoted);
    auto pairs = sx::db::SplitConnectionString(odbc, true);
    ASSERT_EQ(pairs.size(), 5u) << odbc;
    EXPECT_EQ(pairs[2], (std::pair<std::string, std::string>{"PWD", password})) << odbc;
  }
}

TEST(OleDbToOdbcTest, MalformedStringsSayWhatIsWrongWithoutThePassword) {
  struct Case {
    std::string text, expected;
  };
  const Case cases[] = {
      {"Provider=SQLOLEDB;Data Source=h;Password='Secr3t;x", "never closed"},
      {"Provider=SQLOLEDB;Data Source=h;Password=Secr3t;Secr3tTail", "no '='"},
      {"Provider=SQLOLEDB;Data Source=h;Password='Secr3t'junk", "followed by more text"},
      {"Provider=SQLOLEDB;=Secr3t", "no key"},
      {"Provider=SQLOLEDB;User ID=sa;Password=Secr3t", "names no server"},
      {"Provider=SQLOLEDB;Data Source=h,port;Password=Secr3t", "port"},
      {"Provider=SQLOLEDB;Data Source=h,70000;Password=Secr3t", "port"},
      {"Provider=SQLOLEDB;Data Source=h\\;Password=Secr3t", "instance"},
      {"Provider=Other;Data Source=h;Password=Secr3t", "provider"},
  };
  for (const auto& c : cases) {
    std::string message = TranslationError(c.text);
    EXPECT_NE(message.find(c.expected), std::string::npos) << c.text << " -> " << message;
    EXPECT_EQ(message.find("Secr3t"), std::string::npos) << message;
  }
}

TEST(ConnectionStringRoutingTest, MalformedSqlServerStringFailsOnConnect) {
  sx::db::Connection c;
  c.SetConnectionString("Provider=SQLOLEDB;Data Source=h;Password='Secr3t");
  try {
    c.Open();
    FAIL();
  } catch (const sx::Error& e) {
    EXPECT_NE(std::string(e.what()).find("never closed"), std::string::npos) << e.what();
    EXPECT_EQ(std::string(e.what()).find("Secr3t"), std::string::npos) << e.what();
  }
}

TEST(ConnectionStringRoutingTest, EveryFormReachesItsEngine) {
  if (!sxtest::RegisterOdbcDrivers()) GTEST_SKIP() << "the SQLite ODBC driver is not installed";
  sxtest::TempDir dir;
  std::string path = dir.File("store.db");
  sxtest::CreateDatabase(path, sxtest::Edition::Store);
  // A braced ODBC value may hold ";" and is handed to the driver as it stands.
  for (const std::string& cs : {path, "Provider=SQLite;Data Source=" + path, "Driver=SQLite3;Database=" + path,
                                "Driver={SQLite3};Database=" + path + ";PWD={a;b}}c}"}) {
    sx::db::Connection c;
    c.SetConnectionString(cs);
    ASSERT_NO_THROW(c.Open()) << cs;
    sx::db::Query q(c);
    q.SetSQL("select VersionNo from Version");
    q.Open();
    EXPECT_EQ(q.Fields(0).AsString(), "2.5.2011.1N") << cs;
  }
}

TEST(ConnectionStringRoutingTest, MissingDatabaseFileIsNeverCreated) {
  if (!sxtest::RegisterOdbcDrivers()) GTEST_SKIP() << "the SQLite ODBC driver is not installed";
  sxtest::TempDir dir;
  std::string path = dir.File("absent.db");
  for (const std::string& cs : {path, "Provider=SQLite;Data Source=" + path,
                                "Driver=SQLite3;Database=" + path, "Driver={SQLite3};Database=" + path + ";"}) {
    sx::db::Connection c;
    c.SetConnectionString(cs);
    EXPECT_THROW(c.Open(), sx::Error) << cs;
    EXPECT_FALSE(std::filesystem::exists(path)) << cs;
  }
}

TEST(SqlServerConnectionTest, UnreachableServerFailsFastWithTheDriversMessage) {
  sxtest::RegisterOdbcDrivers();
  if (!sxtest::HaveFreeTds()) GTEST_SKIP() << "the FreeTDS ODBC driver is not installed";
  sx::db::Connection c;
  // Port 1 on this machine: nothing listens there.
  c.SetConnectionString(
      "Provider=SQLOLEDB.1;Password='Secr3t;x}y';Persist Security Info=True;User ID=sa;"
      "Initial Catalog=Quelvo;Data Source=127.0.0.1,1");
  auto start = std::chrono::steady_clock::now();
  try {
    c.Open();
    FAIL() << "connected to a closed port";
  } catch (const sx::db::DbError& e) {
    std::string message = e.what();
    EXPECT_NE(message.find("FreeTDS"), std::string::npos) << message;
    EXPECT_NE(message.find("Unable to connect"), std::string::npos) << message;
    EXPECT_EQ(message.find("Secr3t"), std::string::npos) << message;
    EXPECT_EQ(message.find("x}y"), std::string::npos) << message;
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  EXPECT_FALSE(c.Connected());
}
