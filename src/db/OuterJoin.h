// Rewrites the legacy outer join operator into explicit joins.
#pragma once
#include <string>
#include <string_view>

namespace sx::db {

// Turns every "a.x*=b.y" (and "b.y=*a.x") of a statement, in derived tables
// and subqueries too, into one FROM chain of explicit joins:
//   from A a,B b,C c where a.x*=b.y and b.k='1' and a.z=c.z
//   -> from A a left outer join B b on a.x=b.y and b.k='1'
//      inner join C c on 1=1 where a.z=c.z
// A WHERE condition that names only an outer-joined table (and constants)
// moves to that table's ON clause, as the legacy operator filtered that table
// before joining; all other conditions stay in WHERE. A query block without
// the operator is copied unchanged. Throws sx::db::DbError when a statement
// with the operator has a shape that cannot be rewritten faithfully.
std::string RewriteOuterJoins(std::string_view statement);

}  // namespace sx::db
