// Chooses the engine from the host's connection string.
#include <string>

#include "base/Error.h"
#include "base/Text.h"
#include "db/Backend.h"

namespace sx::db {

namespace {

bool EndsWithIgnoringCase(const std::string& s, std::string_view suffix) {
  return s.size() >= suffix.size() &&
         SameTextIgnoringCase(std::string_view(s).substr(s.size() - suffix.size()), suffix);
}

// Splits "key=value;key=value" into pairs; keys are trimmed, values may be quoted.
std::vector<std::pair<std::string, std::string>> SplitPairs(const std::string& cs) {
  std::vector<std::pair<std::string, std::string>> pairs;
  std::size_t i = 0;
  while (i < cs.size()) {
    std::size_t eq = cs.find('=', i);
    if (eq == std::string::npos) {
      if (!Trim(cs.substr(i)).empty()) pairs.emplace_back(Trim(cs.substr(i)), std::string());
      break;
    }
    std::string key = Trim(cs.substr(i, eq - i));
    std::size_t v = eq + 1;
    while (v < cs.size() && cs[v] == ' ') ++v;
    std::string value;
    if (v < cs.size() && (cs[v] == '"' || cs[v] == '\'')) {
      char q = cs[v++];
      while (v < cs.size()) {
        if (cs[v] == q && v + 1 < cs.size() && cs[v + 1] == q) {
          value += q;
          v += 2;
        } else if (cs[v] == q) {
          ++v;
          break;
        } else {
          value += cs[v++];
        }
      }
      std::size_t semi = cs.find(';', v);
      i = semi == std::string::npos ? cs.size() : semi + 1;
    } else {
      std::size_t semi = cs.find(';', v);
      std::size_t end = semi == std::string::npos ? cs.size() : semi;
      value = Trim(cs.substr(v, end - v));
      i = end + 1;
    }
    pairs.emplace_back(key, value);
  }
  return pairs;
}

}  // namespace

std::unique_ptr<Backend> OpenBackend(const std::string& connectionString) {
  std::string cs = Trim(connectionString);
  if (cs.empty()) throw Error("The connection string is empty");
  if (cs.find('=') == std::string::npos) {
    if (EndsWithIgnoringCase(cs, ".db") || EndsWithIgnoringCase(cs, ".sqlite") ||
        EndsWithIgnoringCase(cs, ".sqlite3"))
      return OpenSqlite(cs);
    throw Error("The connection string is not understood: '" + cs +
                "' is neither a key=value list nor a path ending in .db, .sqlite or .sqlite3");
  }
  auto pairs = SplitPairs(cs);
  std::string provider, dataSource;
  bool odbc = false;
  for (const auto& [k, v] : pairs) {
    if (SameTextIgnoringCase(k, "Provider")) provider = v;
    if (SameTextIgnoringCase(k, "Data Source")) dataSource = v;
    if (SameTextIgnoringCase(k, "Driver") || SameTextIgnoringCase(k, "DSN")) odbc = true;
  }
  if (SameTextIgnoringCase(provider, "SQLite")) {
    if (dataSource.empty()) throw Error("The SQLite connection string names no Data Source");
    return OpenSqlite(dataSource);
  }
#ifdef SETUPXFER_HAVE_ODBC
  if (odbc) return OpenOdbc(cs);
#endif
  (void)odbc;
  if (!provider.empty())
    throw Error("The connection string names a provider that is not supported: '" + provider + "'");
  throw Error("The connection string names no provider this library supports "
              "(Provider=SQLite;Data Source=PATH or a path to a .db file)");
}

}  // namespace sx::db
