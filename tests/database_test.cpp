// The database layer behaves alike on the native SQLite engine and through
// ODBC (the SQLite ODBC driver); fixtures are made and checked with SQLite's
// own API.
#include <gtest/gtest.h>

#include <string>

#include "db/Database.h"
#include "support/OdbcSupport.h"
#include "support/TestSupport.h"

using sx::db::Connection;
using sx::db::DbError;
using sx::db::Query;
using sxtest::Engine;

namespace {

struct DatabaseTest : ::testing::TestWithParam<Engine> {
  sxtest::TempDir dir;
  std::string path = dir.File("group.db");
  Connection connection;

  void SetUp() override {
    if (GetParam() == Engine::Odbc && !sxtest::RegisterOdbcDrivers())
      GTEST_SKIP() << "the SQLite ODBC driver is not installed";
    sxtest::CreateDatabase(path, sxtest::Edition::Group);
    sxtest::SqlExec(path,
                    "create table Probe(ID integer primary key, Name varchar(40), Qty integer, "
                    "Price float, Stamp datetime, Note text)");
    connection.SetConnectionString(sxtest::ConnectionStringFor(GetParam(), path));
    connection.Open();
  }

  std::vector<std::vector<std::string>> Rows(const std::string& sql) { return sxtest::SqlRows(path, sql); }
};

std::string EngineParamName(const ::testing::TestParamInfo<Engine>& info) {
  return sxtest::EngineName(info.param);
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(BothEngines, DatabaseTest, ::testing::Values(Engine::Native, Engine::Odbc),
                         EngineParamName);

TEST_P(DatabaseTest, ChineseTextRoundTripsExactly) {
  // Includes a character outside the basic plane, which UTF-16 keeps as a pair.
  const std::string name = "退菜理由·宫保鸡丁𠀋";
  Query q(connection);
  q.SetSQL("insert into Group_Brand(BrandID,BrandName) values(:brandid,:brandname)");
  q.SetString("brandid", 8, "品牌1");
  q.SetString("brandname", 40, name);
  EXPECT_EQ(q.ExecSQL(), 1);
  EXPECT_EQ(Rows("select BrandID,BrandName from Group_Brand"),
            (std::vector<std::vector<std::string>>{{"品牌1", name}}));

  q.SetSQL("select BrandName from Group_Brand where BrandID=:brandid");
  q.SetString("brandid", 8, "品牌1");
  q.Open();
  ASSERT_FALSE(q.Eof());
  EXPECT_EQ(q.FieldByName("brandname").AsString(), name);
}

TEST_P(DatabaseTest, ChineseTextInsideTheStatementMatchesStoredText) {
  // Statements splice sheet values as quoted literals; they must reach the
  // engine unchanged, not only bound parameters.
  sxtest::SqlExec(path, "insert into Group_Brand(BrandID,BrandName) values('B1','上错菜')");
  Query q(connection);
  q.SetSQL("select count(*) from Group_Brand where BrandName='上错菜'");
  q.Open();
  EXPECT_EQ(q.Fields(0).AsInteger(), 1);
  q.Close();
  q.SetSQL("update Group_Brand set BrandName='客人''s 要求' where BrandID='B1'");
  EXPECT_EQ(q.ExecSQL(), 1);
  EXPECT_EQ(Rows("select BrandName from Group_Brand"),
            (std::vector<std::vector<std::string>>{{"客人's 要求"}}));
}

TEST_P(DatabaseTest, ParametersOfEveryTypeAndNullAreStored) {
  Query q(connection);
  q.SetSQL("insert into Probe(ID,Name,Qty,Price,Stamp,Note) values(:id,:name,:qty,:price,:stamp,:note)");
  q.SetInteger("id", 1);
  q.SetString("name", 40, "O'Brien; \"quoted\"");
  q.SetInteger("qty", 5000000000);  // beyond 32 bits
  q.SetFloat("price", 12.5);
  q.SetDateTime("stamp", sx::DateTime{2011, 5, 20, 13, 45, 7});
  q.SetMemo("note", "备注");
  EXPECT_EQ(q.ExecSQL(), 1);
  q.SetSQL("insert into Probe(ID,Name,Qty,Price,Stamp,Note) values(:id,:name,:qty,:price,:stamp,:note)");
  q.SetInteger("id", 2);
  q.SetOptionalString("name", 40, "");
  q.SetNull("qty", sx::db::ParamType::Integer);
  q.SetNull("price", sx::db::ParamType::Float);
  q.SetNull("stamp", sx::db::ParamType::DateTime);
  q.SetNull("note", sx::db::ParamType::Memo);
  EXPECT_EQ(q.ExecSQL(), 1);

  EXPECT_EQ(Rows("select ID,Name,Qty,Price,Stamp,Note,typeof(Qty),typeof(Price) from Probe order by ID"),
            (std::vector<std::vector<std::string>>{
                {"1", "O'Brien; \"quoted\"", "5000000000", "12.5", "2011-05-20 13:45:07", "备注", "integer",
                 "real"},
                {"2", "", "", "", "", "", "null", "null"}}));
  EXPECT_EQ(Rows("select count(*) from Probe where Name is null and Note is null")[0][0], "1");

  q.SetSQL("select ID,Name,Qty,Price,Stamp,Note from Probe order by ID");
  q.Open();
  EXPECT_EQ(q.FieldByName("Qty").AsInteger(), 5000000000);
  EXPECT_DOUBLE_EQ(q.FieldByName("Price").AsFloat(), 12.5);
  EXPECT_EQ(q.FieldByName("Stamp").AsDateTime(), (sx::DateTime{2011, 5, 20, 13, 45, 7}));
  EXPECT_EQ(q.FieldByName("Stamp").AsString(), "2011-05-20 13:45:07");
  q.Next();
  for (const char* column : {"Name", "Qty", "Price", "Stamp", "Note"}) {
    EXPECT_TRUE(q.FieldByName(column).IsNull()) << column;
    EXPECT_EQ(q.FieldByName(column).AsString(), "") << column;
  }
  EXPECT_EQ(q.FieldByName("Qty").AsInteger(), 0);
}

TEST_P(DatabaseTest, LongTextIsReadWhole) {
  std::string note;
  for (int i = 0; i < 3000; ++i) note += i % 7 == 0 ? "a" : "长";
  note += "𠀋end";
  Query q(connection);
  q.SetSQL("insert into Probe(ID,Note) values(1,:note)");
  q.SetMemo("note", note);
  q.ExecSQL();
  EXPECT_EQ(Rows("select Note from Probe")[0][0], note);
  q.SetSQL("select Note from Probe");
  q.Open();
  EXPECT_EQ(q.Fields(0).AsString(), note);
}

TEST_P(DatabaseTest, ExecuteCountsRowsAffected) {
  sxtest::SqlExec(path, "insert into Probe(ID,Qty) values(1,1),(2,1),(3,2)");
  Query q(connection);
  q.SetSQL("update Probe set Name='x' where Qty=:qty");
  q.SetInteger("qty", 1);
  EXPECT_EQ(q.ExecSQL(), 2);
  q.SetInteger("qty", 9);
  EXPECT_EQ(q.ExecSQL(), 0);
  q.SetSQL("delete from Probe");
  EXPECT_EQ(q.ExecSQL(), 3);
}

TEST_P(DatabaseTest, CommitKeepsAndRollbackDiscards) {
  Query q(connection);
  EXPECT_FALSE(connection.InTransaction());
  connection.BeginTrans();
  EXPECT_TRUE(connection.InTransaction());
  q.SetSQL("insert into Probe(ID,Name) values(1,'kept')");
  q.ExecSQL();
  connection.CommitTrans();
  EXPECT_FALSE(connection.InTransaction());

  connection.BeginTrans();
  q.SetSQL("insert into Probe(ID,Name) values(2,'dropped')");
  q.ExecSQL();
  connection.RollbackTrans();
  EXPECT_FALSE(connection.InTransaction());
  EXPECT_EQ(sxtest::SqlColumn(path, "select Name from Probe"), std::vector<std::string>{"kept"});

  // Back in auto-commit: a write outside a transaction is visible at once.
  q.SetSQL("insert into Probe(ID,Name) values(3,'auto')");
  q.ExecSQL();
  EXPECT_EQ(sxtest::SqlColumn(path, "select Name from Probe order by ID"),
            (std::vector<std::string>{"kept", "auto"}));
}

TEST_P(DatabaseTest, ClosingInsideATransactionRollsItBack) {
  connection.BeginTrans();
  Query q(connection);
  q.SetSQL("insert into Probe(ID,Name) values(1,'x')");
  q.ExecSQL();
  connection.Close();
  EXPECT_TRUE(sxtest::SqlRows(path, "select * from Probe").empty());
}

TEST_P(DatabaseTest, ErrorsCarryTheEnginesMessage) {
  Query q(connection);
  q.SetSQL("select * from NoSuchTable");
  try {
    q.Open();
    FAIL() << "no error";
  } catch (const DbError& e) {
    EXPECT_NE(std::string(e.what()).find("no such table: NoSuchTable"), std::string::npos) << e.what();
  }
  sxtest::SqlExec(path, "insert into Group_Brand(BrandID) values('B1')");
  q.SetSQL("insert into Group_Brand(BrandID) values(:brandid)");
  q.SetString("brandid", 8, "B1");
  try {
    q.ExecSQL();
    FAIL() << "no error";
  } catch (const DbError& e) {
    EXPECT_NE(std::string(e.what()).find("UNIQUE constraint failed"), std::string::npos) << e.what();
  }
  // The connection is still usable after a failed statement.
  q.SetSQL("select count(*) from Group_Brand");
  q.Open();
  EXPECT_EQ(q.Fields(0).AsInteger(), 1);
}

// ---- Statements prepared once and run again ------------------------------------

TEST_P(DatabaseTest, OneStatementRunsManyTimesWithNewValues) {
  // The import's shape: update, and insert when no row changed, on one query.
  const std::string update = "update Probe set Name=:name,Qty=:qty where ID=:id";
  const std::string insert = "insert into Probe(ID,Name,Qty) values(:id,:name,:qty)";
  Query q(connection);
  connection.BeginTrans();
  for (int round = 0; round < 2; ++round)
    for (int id = 1; id <= 200; ++id) {
      q.SetSQL(update);
      q.SetInteger("ID", id);  // names match ignoring case
      q.SetString("name", 40, "菜" + std::to_string(id * 10 + round));
      q.SetInteger("qty", id % 2 == 0 ? id : 0);
      if (q.ExecSQL() < 1) {
        q.SetSQL(insert);
        q.SetInteger("id", id);
        q.SetString("name", 40, "菜" + std::to_string(id * 10 + round));
        q.SetNull("qty", sx::db::ParamType::Integer);
        EXPECT_EQ(q.ExecSQL(), 1);
      }
    }
  connection.CommitTrans();
  EXPECT_EQ(Rows("select count(*),sum(Qty),min(Name),max(Name) from Probe")[0],
            (std::vector<std::string>{"200", "10100", "菜1001", "菜991"}));

  // A query run again sees its new value; each run closes its cursor.
  q.SetSQL("select Name from Probe where ID=:id");
  for (int id : {7, 8, 7, 199}) {
    q.SetInteger("id", id);
    q.Open();
    ASSERT_EQ(q.RecordCount(), 1u);
    EXPECT_EQ(q.Fields(0).AsString(), "菜" + std::to_string(id * 10 + 1));
    q.Close();
  }
  // SetSQL forgets the values of the previous run.
  q.SetSQL("select Name from Probe where ID=:id");
  EXPECT_THROW(q.Open(), DbError);
}

TEST_P(DatabaseTest, FailedRunLeavesTheStatementReusableAndRollbackWorks) {
  Query q(connection);
  const std::string insert = "insert into Probe(ID,Name) values(:id,:name)";
  auto run = [&](int id, const char* name) {
    q.SetSQL(insert);
    q.SetInteger("id", id);
    q.SetString("name", 40, name);
    return q.ExecSQL();
  };
  connection.BeginTrans();
  EXPECT_EQ(run(1, "a"), 1);
  EXPECT_THROW(run(1, "duplicate"), DbError);
  EXPECT_EQ(run(2, "b"), 1);
  connection.RollbackTrans();
  EXPECT_TRUE(Rows("select * from Probe").empty());

  // The same statements after the rollback, in auto-commit and in a new transaction.
  EXPECT_EQ(run(3, "c"), 1);
  EXPECT_THROW(run(3, "duplicate"), DbError);
  connection.BeginTrans();
  EXPECT_EQ(run(4, "d"), 1);
  connection.CommitTrans();
  EXPECT_EQ(sxtest::SqlColumn(path, "select Name from Probe order by ID"), (std::vector<std::string>{"c", "d"}));
  // A failing query leaves its statement reusable too.
  q.SetSQL("select Name from Probe where ID=:id and 1/(:d) is not null");
  q.SetInteger("id", 3);
  q.SetString("d", 0, "x");
  q.Open();  // SQLite divides text as 0: no row, no error
  EXPECT_TRUE(q.Eof());
  q.Close();
  q.SetInteger("id", 4);
  q.SetInteger("d", 1);
  q.Open();
  EXPECT_EQ(q.Fields(0).AsString(), "d");
}

TEST_P(DatabaseTest, ManyDistinctStatementsAndOnesDroppedFromTheCache) {
  Query kept(connection), other(connection);
  kept.SetSQL("select :v+1");
  kept.SetInteger("v", 1);
  kept.Open();
  EXPECT_EQ(kept.Fields(0).AsInteger(), 2);
  kept.Close();
  // More distinct texts than the cache holds push the first one out.
  for (std::size_t i = 0; i < Connection::kStatementCacheSize + 20; ++i) {
    other.SetSQL("select :v+" + std::to_string(i) + " as n");
    other.SetInteger("v", 1000);
    other.Open();
    EXPECT_EQ(other.FieldByName("n").AsInteger(), static_cast<std::int64_t>(1000 + i));
    other.Close();
  }
  kept.SetInteger("v", 41);
  kept.Open();
  EXPECT_EQ(kept.Fields(0).AsInteger(), 42);
  kept.Close();
  // A query holding a dropped statement while another has the same text again.
  other.SetSQL("select :v+1");
  other.SetInteger("v", 5);
  other.Open();
  kept.SetInteger("v", 6);
  kept.Open();
  EXPECT_EQ(other.Fields(0).AsInteger(), 6);
  EXPECT_EQ(kept.Fields(0).AsInteger(), 7);
}

TEST_P(DatabaseTest, KeptStatementFollowsASchemaChange) {
  // The SQLite ODBC driver describes the columns before SQLite notices the
  // change, even for a statement prepared anew.
  if (GetParam() == Engine::Odbc) GTEST_SKIP() << "the driver cannot see new columns of a connected database";
  sxtest::SqlExec(path, "insert into Probe(ID,Name) values(1,'a')");
  Query q(connection);
  q.SetSQL("select * from Probe");
  q.Open();
  EXPECT_EQ(q.Fields(1).AsString(), "a");
  q.Close();
  sxtest::SqlExec(path, "alter table Probe add column Extra varchar(10) default 'x'");
  q.Open();
  EXPECT_EQ(q.FieldByName("Extra").AsString(), "x");
}

TEST_P(DatabaseTest, LineBreaksAndIndentationReadAsBlanks) {
  sxtest::SqlExec(path,
                  "insert into Probe(ID,Name,Qty) values(1,'B1',5),(2,'B2',5),(3,'B9',5),(4,'B1',1);"
                  "insert into Group_Brand(BrandID,BrandName) values('B1','一'),('B2',null)");
  const std::string oneLine =
      "select top 3 p.ID,IsNull(b.BrandName,'none') as BrandName from Probe p,Group_Brand b "
      "where p.Name*=b.BrandID and p.Qty>=:minqty order by p.ID";
  const std::string layout = R"(select top 3
	p.ID,
	IsNull(b.BrandName, 'none') as BrandName
from Probe p,
     Group_Brand b
where p.Name *= b.BrandID
  and p.Qty >=
      :minqty
order by p.ID
)";
  std::string crlf;
  for (char c : layout) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  for (const std::string& sql : {oneLine, layout, crlf}) {
    Query q(connection);
    q.SetSQL(sql);
    q.SetInteger("minqty", 5);
    q.Open();
    std::vector<std::string> got;
    for (; !q.Eof(); q.Next()) got.push_back(q.Fields(0).AsString() + q.Fields(1).AsString());
    EXPECT_EQ(got, (std::vector<std::string>{"1一", "2none", "3none"})) << sql;
  }
}

TEST_P(DatabaseTest, NamesMatchIgnoringCaseAndTheFirstOfEqualColumnsCounts) {
  // Forty parameters, one written twice in two cases, set in reverse order.
  std::string sql = "select :P0";
  for (int i = 1; i < 40; ++i) sql += "+:p" + std::to_string(i);
  sql += "+:p0 as Total, 7 as TOTAL";
  Query q(connection);
  q.SetSQL(sql);
  for (int i = 39; i >= 0; --i) q.SetInteger((i % 2 ? "P" : "p") + std::to_string(i), i);
  q.SetInteger("unused", 1);  // a name the statement lacks is ignored
  q.Open();
  EXPECT_EQ(q.FieldByName("total").AsInteger(), 780);
  EXPECT_EQ(q.FieldByName("TOTAL").AsInteger(), 780);
  EXPECT_THROW(q.FieldByName("p0"), DbError);
}
