// The SQL Server schemas keep in step with the embedded engine's: the same
// tables with the same columns, each of a matching type, in both editions;
// and the tool prints them.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "base/Text.h"
#include "db/SqlTokens.h"
#include "support/TestSupport.h"

namespace {

namespace sql = sx::db::sql;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Table -> column -> type (the first word after the name), names in lower
// case, from every "CREATE TABLE name (...)" of a DDL text.
using Tables = std::map<std::string, std::map<std::string, std::string>>;

Tables ParseTables(const std::string& text) {
  Tables tables;
  auto items = sql::TopLevelItems(text);
  for (std::size_t k = 0; k + 3 < items.size(); ++k) {
    if (!sql::IsWord(text, items[k], "create") || !sql::IsWord(text, items[k + 1], "table")) continue;
    auto& columns = tables[sx::LowerCase(sql::Text(text, items[k + 2]))];
    std::string_view body = sql::Inner(text, items[k + 3]);
    auto parts = sql::TopLevelItems(body);
    bool first = true;  // the next item starts a column or constraint
    for (std::size_t i = 0; i < parts.size(); ++i) {
      if (sql::IsPunct(body, parts[i], ",")) {
        first = true;
      } else if (first) {
        first = false;
        std::string name = sx::LowerCase(sql::Text(body, parts[i]));
        if (name == "primary" || name == "constraint" || name == "unique" || name == "foreign") continue;
        columns[name] = i + 1 < parts.size() ? sx::LowerCase(sql::Text(body, parts[i + 1])) : "";
      }
    }
  }
  return tables;
}

// The SQL Server types that hold what each SQLite type holds here.
bool TypesMatch(const std::string& sqlite, const std::string& sqlServer) {
  if (sqlite == "integer") return sqlServer == "int" || sqlServer == "float";
  if (sqlite == "real") return sqlServer == "float";
  if (sqlite == "text") return sqlServer == "varchar" || sqlServer == "datetime";
  return false;
}

TEST(SqlServerSchema, HasTheSameTablesColumnsAndTypesAsTheEmbeddedSchema) {
  for (const char* edition : {"store", "group"}) {
    SCOPED_TRACE(edition);
    std::string dir = std::string(SETUPXFER_SOURCE_DIR) + "/sql/";
    Tables sqlite = ParseTables(ReadFile(dir + edition + ".sql"));
    Tables sqlServer = ParseTables(ReadFile(dir + "sqlserver/" + edition + ".sql"));
    ASSERT_GT(sqlite.size(), 25u);
    for (const auto& [table, columns] : sqlite) {
      ASSERT_TRUE(sqlServer.count(table)) << "table " << table << " is missing for SQL Server";
      const auto& other = sqlServer.at(table);
      for (const auto& [column, type] : columns) {
        ASSERT_TRUE(other.count(column)) << table << "." << column << " is missing for SQL Server";
        EXPECT_TRUE(TypesMatch(type, other.at(column)))
            << table << "." << column << ": " << type << " here, " << other.at(column) << " for SQL Server";
      }
      EXPECT_EQ(columns.size(), other.size()) << table << " has other columns for SQL Server";
    }
    EXPECT_EQ(sqlite.size(), sqlServer.size()) << "SQL Server has other tables";
  }
}

TEST(SqlServerSchema, ParsingFindsColumnsAndSkipsConstraints) {
  Tables t = ParseTables(
      "-- c\nCREATE TABLE A (x int identity(1,1) PRIMARY KEY, y varchar(8) NULL,\n"
      "  PRIMARY KEY (x, y));\nCREATE TABLE b (Z TEXT COLLATE NOCASE);");
  EXPECT_EQ(t, (Tables{{"a", {{"x", "int"}, {"y", "varchar"}}}, {"b", {{"z", "text"}}}}));
}

TEST(SqlServerSchema, ToolPrintsTheSchemaOfEachDialectAndEdition) {
  std::string tool = "'" + sxtest::ToolPath() + "' init-db ";
  std::string dir = std::string(SETUPXFER_SOURCE_DIR) + "/sql/";
  for (const char* edition : {"store", "group"}) {
    auto out = sxtest::RunShell(tool + "--print-ddl sqlserver --edition " + edition);
    EXPECT_EQ(out.status, 0);
    EXPECT_EQ(out.out, ReadFile(dir + "sqlserver/" + edition + ".sql"));
    out = sxtest::RunShell(tool + "--print-ddl sqlite --edition " + edition);
    EXPECT_EQ(out.out, ReadFile(dir + edition + ".sql"));
  }
  for (const char* wrong : {"--print-ddl oracle --edition store", "--print-ddl sqlserver",
                            "x.db --print-ddl sqlserver --edition store",
                            "--print-ddl sqlserver --edition group --sample"})
    EXPECT_EQ(sxtest::RunShell(tool + wrong + " 2>/dev/null").status, 2) << wrong;
}

}  // namespace
