// Savepoints in each dialect's own statements.
#include "db/Backend.h"

namespace sx::db {

namespace {

void Run(Backend& engine, const std::string& sql) { engine.Prepare(sql)->Execute({}); }

}  // namespace

// SQL Server starts the transaction of a connection without auto-commit only
// at its first data statement, and SAVE TRANSACTION is none: it is begun here
// when still missing, and ends with the connection's rollback.
void Backend::Savepoint(const std::string& name) {
  if (Dialect() == DialectKind::SqlServer)
    Run(*this, "IF @@TRANCOUNT = 0 BEGIN TRANSACTION; SAVE TRANSACTION " + name);
  else
    Run(*this, "SAVEPOINT " + name);
}

// SQL Server keeps a savepoint's writes without releasing it.
void Backend::ReleaseSavepoint(const std::string& name) {
  if (Dialect() == DialectKind::Sqlite) Run(*this, "RELEASE " + name);
}

void Backend::RollbackToSavepoint(const std::string& name) {
  if (Dialect() == DialectKind::SqlServer) {
    Run(*this, "ROLLBACK TRANSACTION " + name);
  } else {
    Run(*this, "ROLLBACK TO " + name);
    Run(*this, "RELEASE " + name);
  }
}

}  // namespace sx::db
