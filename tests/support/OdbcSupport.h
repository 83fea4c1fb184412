// ODBC drivers for the tests, registered in a private odbcinst.ini so that
// nothing on the machine is read or written.
#pragma once
#include <string>

namespace sxtest {

// Registers the SQLite ODBC driver as "SQLite3" and FreeTDS as "FreeTDS" in
// an odbcinst.ini of the test process's own and points ODBCSYSINI at it.
// Must run before the first ODBC call; later calls do nothing. Returns false
// when this build has no ODBC or the SQLite ODBC driver is not installed.
bool RegisterOdbcDrivers();

// True when the FreeTDS driver is installed and registered by RegisterOdbcDrivers.
bool HaveFreeTds();

// How a test reaches a database file: the native engine or the SQLite ODBC driver.
enum class Engine { Native, Odbc };

// The connection string for a database file through `engine`.
std::string ConnectionStringFor(Engine engine, const std::string& path);

// "Native" or "Odbc", for test names.
std::string EngineName(Engine engine);

}  // namespace sxtest
