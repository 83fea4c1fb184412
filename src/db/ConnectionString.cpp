// Chooses the engine from the host's connection string, and translates the
// OLE DB strings of SQL Server into ODBC ones.
#include "db/ConnectionString.h"

#include <initializer_list>
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

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The value of the last pair whose key is one of `keys`, or nullptr.
const std::string* Find(const std::vector<std::pair<std::string, std::string>>& pairs,
                        std::initializer_list<std::string_view> keys) {
  const std::string* found = nullptr;
  for (const auto& [k, v] : pairs)
    for (auto key : keys)
      if (SameTextIgnoringCase(k, key)) found = &v;
  return found;
}

bool IsTrue(const std::string& v) {
  return SameTextIgnoringCase(v, "yes") || SameTextIgnoringCase(v, "true") ||
         SameTextIgnoringCase(v, "sspi");
}

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

SqlServerDriver FreeTdsDriver() { return {"FreeTDS", true}; }

bool IsSqlServerProvider(std::string_view provider) {
  for (std::string_view p : {"SQLOLEDB", "SQLOLEDB.1", "SQLNCLI", "SQLNCLI10", "SQLNCLI11",
                             "SQLNCLI10.1", "SQLNCLI11.1", "MSOLEDBSQL", "MSOLEDBSQL19"})
    if (SameTextIgnoringCase(provider, p)) return true;
  return false;
}

std::vector<std::pair<std::string, std::string>> SplitConnectionString(const std::string& cs,
                                                                       bool braces) {
  std::vector<std::pair<std::string, std::string>> pairs;
  std::size_t i = 0, entry = 0;
  while (i < cs.size()) {
    ++entry;
    std::size_t eq = cs.find('=', i), semi = cs.find(';', i);
    if (eq == std::string::npos || (semi != std::string::npos && semi < eq)) {
      // An empty entry (";;" or a trailing ";") is allowed, text without "=" is not.
      std::size_t end = semi == std::string::npos ? cs.size() : semi;
      if (!Trim(std::string_view(cs).substr(i, end - i)).empty())
        throw Error("The connection string is malformed: entry " + std::to_string(entry) +
                    " has no '=' between a key and its value");
      i = end + 1;
      continue;
    }
    std::string key = Trim(std::string_view(cs).substr(i, eq - i));
    if (key.empty())
      throw Error("The connection string is malformed: entry " + std::to_string(entry) +
                  " has a value but no key");
    std::size_t v = eq + 1;
    while (v < cs.size() && IsBlank(cs[v])) ++v;
    std::string value;
    char open = v < cs.size() ? cs[v] : '\0';
    if (open == '\'' || open == '"' || (braces && open == '{')) {
      char close = open == '{' ? '}' : open;
      bool closed = false;
      for (++v; v < cs.size(); ++v) {
        if (cs[v] == close) {
          if (v + 1 < cs.size() && cs[v + 1] == close) {
            value += close;
            ++v;
            continue;
          }
          closed = true;
          ++v;
          break;
        }
        value += cs[v];
      }
      if (!closed)
        throw Error("The connection string is malformed: the value of '" + key +
                    "' opens a quote that is never closed");
      while (v < cs.size() && IsBlank(cs[v])) ++v;
      if (v < cs.size() && cs[v] != ';')
        throw Error("The connection string is malformed: the quoted value of '" + key +
                    "' is followed by more text before the next ';'");
      i = v + 1;
    } else {
      std::size_t end = cs.find(';', v);
      if (end == std::string::npos) end = cs.size();
      value = Trim(std::string_view(cs).substr(v, end - v));
      i = end + 1;
    }
    pairs.emplace_back(std::move(key), std::move(value));
  }
  return pairs;
}

std::string OdbcValue(std::string_view value) {
  // A leading quote would open a quoted value for a reader of the string.
  bool brace = value.find_first_of(";{}") != std::string_view::npos ||
               (!value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) || value.front() == '"' ||
                                   value.front() == '\''));
  if (!brace) return std::string(value);
  std::string out = "{";
  for (char c : value) {
    out += c;
    if (c == '}') out += '}';
  }
  out += '}';
  return out;
}

std::string OleDbToOdbc(const std::string& oleDb) { return OleDbToOdbc(oleDb, FreeTdsDriver()); }

std::string OleDbToOdbc(const std::string& oleDb, const SqlServerDriver& driver) {
  auto pairs = SplitConnectionString(oleDb, false);
  const std::string* provider = Find(pairs, {"Provider"});
  if (!provider || !IsSqlServerProvider(*provider))
    throw Error("The connection string does not name a SQL Server provider (Provider=SQLOLEDB)");

  const std::string* source = Find(pairs, {"Data Source", "Server", "Address", "Addr",
                                           "Network Address"});
  if (!source || source->empty())
    throw Error("The connection string names no server (Data Source)");

  // Data Source: host, host,port, host\instance, "(local)" or "." for this machine.
  std::string host = *source, port, instance;
  if (host.size() > 4 && SameTextIgnoringCase(std::string_view(host).substr(0, 4), "tcp:"))
    host.erase(0, 4);
  if (auto comma = host.find(','); comma != std::string::npos) {
    port = Trim(std::string_view(host).substr(comma + 1));
    host = Trim(std::string_view(host).substr(0, comma));
    if (!AllDigits(port) || port.size() > 5 || std::stoi(port) < 1 || std::stoi(port) > 65535)
      throw Error("The connection string names a server port that is not a number from 1 to 65535: '" +
                  port + "'");
  }
  if (auto slash = host.find('\\'); slash != std::string::npos) {
    instance = Trim(std::string_view(host).substr(slash + 1));
    host = Trim(std::string_view(host).substr(0, slash));
    if (instance.empty())
      throw Error("The connection string names a server with an empty instance name: '" + *source + "'");
  }
  if (host.empty()) throw Error("The connection string names a server without a host: '" + *source + "'");
  bool local = host == "." || SameTextIgnoringCase(host, "(local)");
  if (local) host = driver.freeTds ? "localhost" : "(local)";

  std::string server = host;
  if (!instance.empty()) server += "\\" + instance;
  std::string out = "Driver={" + driver.name + "}";
  if (driver.freeTds) {
    out += ";Server=" + OdbcValue(server);
    if (!port.empty()) out += ";Port=" + port;
  } else {
    if (!port.empty()) server += "," + port;
    out += ";Server=" + OdbcValue(server);
  }
  if (const std::string* db = Find(pairs, {"Initial Catalog", "Database"}); db && !db->empty())
    out += ";Database=" + OdbcValue(*db);

  const std::string* integrated = Find(pairs, {"Integrated Security"});
  const std::string* trusted = Find(pairs, {"Trusted_Connection"});
  if ((integrated && IsTrue(*integrated)) || (trusted && IsTrue(*trusted))) {
    out += ";Trusted_Connection=yes";
  } else {
    if (const std::string* user = Find(pairs, {"User ID", "UID", "User"}))
      out += ";UID=" + OdbcValue(*user);
    if (const std::string* pwd = Find(pairs, {"Password", "PWD"}))
      out += ";PWD=" + OdbcValue(*pwd);
  }
  if (const std::string* app = Find(pairs, {"Application Name"}); app && !app->empty())
    out += ";APP=" + OdbcValue(*app);
  if (const std::string* ws = Find(pairs, {"Workstation ID"}); ws && !ws->empty())
    out += ";WSID=" + OdbcValue(*ws);

  if (driver.freeTds) {
    out += ";TDS_Version=7.4;ClientCharset=UTF-8";
  } else {
    // The OLE DB providers encrypt only when asked; newer drivers would insist.
    const std::string* encrypt = Find(pairs, {"Use Encryption for Data", "Encrypt"});
    out += std::string(";Encrypt=") + (encrypt && IsTrue(*encrypt) ? "yes" : "no");
    const std::string* trust = Find(pairs, {"Trust Server Certificate", "TrustServerCertificate"});
    if (trust && IsTrue(*trust)) out += ";TrustServerCertificate=yes";
  }
  return out;
}

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

  // An ODBC string goes to the driver manager as it stands; its braced values
  // may hold ";", which the OLE DB reading would take apart.
  std::vector<std::pair<std::string, std::string>> pairs;
  try {
    pairs = SplitConnectionString(cs, false);
  } catch (const Error&) {
    auto odbcPairs = SplitConnectionString(cs, true);
    if (!Find(odbcPairs, {"Driver", "DSN"})) throw;
    pairs = std::move(odbcPairs);
  }
  bool odbc = Find(pairs, {"Driver", "DSN"}) != nullptr;
  const std::string* found = Find(pairs, {"Provider"});
  std::string provider = found ? *found : std::string();
#ifdef SETUPXFER_HAVE_ODBC
  if (odbc) {
    // The SQLite driver creates a missing database file unless told not to;
    // a transfer must fail on a wrong path rather than leave an empty file.
    const std::string* driver = Find(pairs, {"Driver"});
    if (driver && LowerCase(*driver).find("sqlite") != std::string::npos && !Find(pairs, {"NoCreat"}))
      cs += (cs.back() == ';' ? "" : ";") + std::string("NoCreat=1");
    return OpenOdbc(cs);
  }
  if (IsSqlServerProvider(provider)) return OpenSqlServer(cs);
#endif
  if (SameTextIgnoringCase(provider, "SQLite")) {
    const std::string* source = Find(pairs, {"Data Source"});
    if (!source || source->empty()) throw Error("The SQLite connection string names no Data Source");
    return OpenSqlite(*source);
  }
  if (odbc || IsSqlServerProvider(provider))
    throw Error("SQL Server connections are not available in this build (no ODBC support)");
  if (!provider.empty())
    throw Error("The connection string names a provider that is not supported: '" + provider + "'");
  throw Error("The connection string names no provider this library supports "
              "(Provider=SQLOLEDB for SQL Server, Driver= or DSN= for ODBC, "
              "Provider=SQLite;Data Source=PATH or a path to a .db file)");
}

}  // namespace sx::db
