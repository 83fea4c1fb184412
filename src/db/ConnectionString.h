// Reading the host's connection strings: the key=value lists of OLE DB and
// ODBC, and the translation of an OLE DB string for SQL Server into the ODBC
// string of the platform's SQL Server driver.
#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sx::db {

// The ODBC driver for SQL Server that a translated string names.
struct SqlServerDriver {
  std::string name;      // as registered with the driver manager, e.g. "FreeTDS"
  bool freeTds = false;  // FreeTDS takes a separate Port, TDS_Version and ClientCharset
};

// FreeTDS as the tdsodbc package registers it.
SqlServerDriver FreeTdsDriver();

// True for the OLE DB providers of SQL Server (SQLOLEDB, SQLNCLI, MSOLEDBSQL...).
bool IsSqlServerProvider(std::string_view provider);

// Splits "key=value;key=value". Keys are trimmed; a value may be enclosed in
// '...' or "..." with the quote doubled inside, and with `braces` also in
// {...} with "}}" inside (the ODBC form). Throws sx::Error on a malformed
// list; the message names the key or the position, never a value.
std::vector<std::pair<std::string, std::string>> SplitConnectionString(const std::string& cs,
                                                                       bool braces);

// Translates an OLE DB connection string for SQL Server into an ODBC one for
// `driver`: Data Source/Server, Initial Catalog/Database, User ID/UID,
// Password/PWD, Integrated Security=SSPI or Trusted_Connection=yes,
// Application Name and Workstation ID; other keys are left out. Throws
// sx::Error saying what is wrong; the message never holds the password.
std::string OleDbToOdbc(const std::string& oleDb, const SqlServerDriver& driver);
std::string OleDbToOdbc(const std::string& oleDb);  // for FreeTDS

// An ODBC attribute value as it can stand in a connection string: braced,
// with "}" doubled, when it holds ";", "{", "}" or blanks at either end.
std::string OdbcValue(std::string_view value);

}  // namespace sx::db
