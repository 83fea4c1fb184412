// Turns a statement written in the host server's T-SQL into what an engine runs.
#pragma once
#include <string>

#include "db/Backend.h"

namespace sx::db {

// Rewrites one statement for an engine:
//  - every engine: the legacy outer join "a.x*=b.y" becomes an explicit
//    LEFT OUTER JOIN chain with the same meaning;
//  - SQLite also: IsNull, GetDate(), Left, Len and "top N".
// Named ":name" parameters are kept as they are.
std::string TranslateStatement(const std::string& tsql, DialectKind kind);

}  // namespace sx::db
