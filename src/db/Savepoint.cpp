// Savepoints in each dialect's own statements.
#include "db/Backend.h"

namespace sx::db {

namespace {

void Run(Backend& engine, const std::string& sql) { engine.Prepare(sql)->Execute({}); }

}  // namespace

// SQL Server opens the transaction of a connection without auto-commit only
// at its first statement that reads or writes a table, which the caller has
// run by then; SAVE TRANSACTION outside one fails.
void Backend::Savepoint(const std::string& name) {
  Run(*this, (Dialect() == DialectKind::SqlServer ? "SAVE TRANSACTION " : "SAVEPOINT ") + name);
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
