// The Windows library has no SQLite engine of its own: a database file is
// reached through an ODBC driver instead.
#include "base/Error.h"
#include "db/Backend.h"

namespace sx::db {

std::unique_ptr<Backend> OpenSqlite(const std::string& path) {
  throw Error("SQLite files are not supported in this build; use an ODBC connection string (" + path + ")");
}

}  // namespace sx::db
