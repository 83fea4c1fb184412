#include "db/Dialect.h"

namespace sx::db {

std::string TranslateStatement(const std::string& tsql, DialectKind /*kind*/) { return tsql; }

const std::string& Dialect::Translate(const std::string& tsql) {
  auto it = cache_.find(tsql);
  if (it == cache_.end()) it = cache_.emplace(tsql, TranslateStatement(tsql, kind_)).first;
  return it->second;
}

}  // namespace sx::db
