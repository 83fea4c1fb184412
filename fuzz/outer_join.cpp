// Any text as an SQL statement for the outer-join rewriter: rewritten, or
// refused with sx::Error; a rewritten statement holds no "*=" or "=*" outside
// string literals and rewrites to itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/Error.h"
#include "db/OuterJoin.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string sql(reinterpret_cast<const char*>(data), size);
  std::string once;
  try {
    once = sx::db::RewriteOuterJoins(sql);
  } catch (const sx::Error&) {
    return 0;
  }
  if (sx::db::RewriteOuterJoins(once) != once) std::abort();
  return 0;
}
