#include "support/OdbcSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/TestSupport.h"

namespace sxtest {

namespace {

struct Registration {
  bool sqlite = false;
  bool freeTds = false;
  TempDir dir;

  Registration() {
#ifdef SETUPXFER_HAVE_ODBC
    std::string sqliteDriver = SETUPXFER_SQLITE_ODBC_DRIVER;
    std::string tdsDriver = SETUPXFER_FREETDS_ODBC_DRIVER;
    std::error_code ec;
    sqlite = !sqliteDriver.empty() && std::filesystem::exists(sqliteDriver, ec);
    freeTds = !tdsDriver.empty() && std::filesystem::exists(tdsDriver, ec);
    std::ofstream ini(dir.File("odbcinst.ini"));
    if (sqlite) ini << "[SQLite3]\nDescription=SQLite3 ODBC Driver\nDriver=" << sqliteDriver << "\n\n";
    if (freeTds) ini << "[FreeTDS]\nDescription=FreeTDS\nDriver=" << tdsDriver << "\n\n";
    ini.close();
    std::ofstream(dir.File("odbc.ini")).close();
    setenv("ODBCSYSINI", dir.path().c_str(), 1);
    setenv("ODBCINI", dir.File("odbc.ini").c_str(), 1);
#endif
  }
};

Registration& Registered() {
  static Registration registration;
  return registration;
}

}  // namespace

bool RegisterOdbcDrivers() { return Registered().sqlite; }

bool HaveFreeTds() { return Registered().freeTds; }

std::string ConnectionStringFor(Engine engine, const std::string& path) {
  if (engine == Engine::Native) return path;
  return "Driver=SQLite3;Database=" + path;
}

std::string EngineName(Engine engine) { return engine == Engine::Native ? "Native" : "Odbc"; }

}  // namespace sxtest
