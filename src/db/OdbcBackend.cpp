// The ODBC engine (SQL Server through unixODBC/FreeTDS or the system's ODBC).
#include "base/Error.h"
#include "db/Backend.h"

namespace sx::db {

std::unique_ptr<Backend> OpenOdbc(const std::string& /*odbcConnectionString*/) {
  throw Error("ODBC connections are not available in this build");
}

}  // namespace sx::db
