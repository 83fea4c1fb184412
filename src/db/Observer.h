// A process-wide observer of what connections send to their engines, for
// diagnosis (the statement trace) and for checking statements in the tests.
// None is set by default; then each statement costs one pointer test.
#pragma once
#include <span>
#include <string>

#include "db/Backend.h"

namespace sx::db {

class StatementObserver {
 public:
  virtual ~StatementObserver() = default;
  // A connection reached its engine, which speaks `dialect`.
  virtual void Connected(DialectKind /*dialect*/) {}
  // A statement text as the caller wrote it, each time a connection prepares
  // it for its engine (once per distinct text while it stays cached).
  virtual void Prepared(const std::string& /*tsql*/) {}
  // One run of a statement as sent to the engine, with its parameters in "?"
  // order; `rows` is the count of rows read (query) or affected (execute);
  // `error` is the engine's message when the run failed, else null.
  virtual void Ran(const std::string& /*sent*/, std::span<const BoundParam* const> /*params*/,
                   bool /*query*/, long /*rows*/, const char* /*error*/) {}
  // "begin transaction", "commit", "rollback", or "savepoint", "release
  // savepoint" or "rollback to savepoint" and the savepoint's name.
  virtual void Transaction(const char* /*what*/) {}
};

// Sets the observer (null: none). The caller keeps it alive while it is set.
void SetStatementObserver(StatementObserver* observer);
StatementObserver* CurrentStatementObserver();

}  // namespace sx::db
