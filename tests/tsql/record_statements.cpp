// Records every statement the workers send, as translated for SQL Server,
// while they run on SQLite: each kind's export and import in each edition,
// against the sample data: a check-only import and a round trip into the
// same database (updates), then imports into copies whose tables the kind
// writes are empty or half empty, and into an empty database (inserts).
// Writes one JSON object a line: {"sql": statement, "from": "kind edition
// step", "params": [{"name", "type", "size"}...]}.
//   record_statements OUT.jsonl
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <set>
#include <span>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "boundary/CallFrame.h"
#include "db/Dialect.h"
#include "db/Observer.h"
#include "support/TestSupport.h"
#include "transfer/Kinds.h"

extern const char* const setupxfer_sql_sample_store;
extern const char* const setupxfer_sql_sample_group;

namespace {

struct KindEntry {
  const sx::Kind* kind;
  bool group;
};

const std::vector<KindEntry>& AllKinds() {
  static const std::vector<KindEntry> all = {
#define SX_KIND(name, ...) {&sx::kinds::name, true},
#define SX_STORE_KIND(name, ...) {&sx::kinds::name, false},
#include "transfer/KindList.inc"
#undef SX_KIND
#undef SX_STORE_KIND
  };
  return all;
}

// The table an insert, update or delete statement writes; empty for others.
std::string WrittenTable(const std::string& sql) {
  std::vector<std::string> words;
  std::string word;
  for (char c : sql + " ") {
    if (std::isalnum(static_cast<unsigned char>(c)) || c == '_') {
      word += c;
    } else if (!word.empty()) {
      words.push_back(word);
      if (words.size() == 3) break;
      word.clear();
    }
  }
  if (words.size() < 3) return "";
  std::string verb = words[0];
  for (char& c : verb) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (verb == "update") return words[1];
  if (verb == "insert" || verb == "delete") return words[2];
  return "";
}

const char* TypeName(sx::db::ParamType type) {
  switch (type) {
    case sx::db::ParamType::String: return "string";
    case sx::db::ParamType::Integer: return "integer";
    case sx::db::ParamType::Float: return "float";
    case sx::db::ParamType::DateTime: return "datetime";
    case sx::db::ParamType::Memo: return "memo";
  }
  return "";
}

// What one statement was sent with: the first step, and each parameter's
// type and largest declared size.
struct Recorded {
  std::string from;
  std::map<std::string, std::pair<std::string, int>> params;
};

// Keeps each distinct statement as translated for SQL Server, and the tables written.
class Recorder final : public sx::db::StatementObserver {
 public:
  std::string step;
  std::map<std::string, Recorded> statements;
  std::set<std::string> written;

  void Prepared(const std::string& tsql) override {
    std::string sqlServer = sx::db::TranslateStatement(tsql, sx::db::DialectKind::SqlServer);
    auto& r = statements[sqlServer];
    if (r.from.empty()) r.from = step;
    last_ = &r;
    if (std::string table = WrittenTable(tsql); !table.empty()) written.insert(table);
  }

  // A run follows its statement's preparation; later runs come by the text sent.
  void Ran(const std::string& sent, std::span<const sx::db::BoundParam* const> params, bool, long,
           const char*) override {
    auto [it, added] = bySent_.try_emplace(sent, last_);
    last_ = nullptr;
    if (!it->second) return;
    for (const auto* p : params) {
      auto& [type, size] = it->second->params[p->name];
      type = TypeName(p->type);
      size = std::max(size, p->size);
    }
  }

 private:
  Recorded* last_ = nullptr;
  std::map<std::string, Recorded*> bySent_;
};

std::string Json(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

const char* kBrand = "01";

std::string WithBrand(std::string sql) {
  for (std::size_t at; (at = sql.find("{BRAND}")) != std::string::npos;) sql.replace(at, 7, "'01'");
  return sql;
}

void NewDatabase(const std::string& path, bool group, bool sample) {
  sxtest::CreateDatabase(path, group ? sxtest::Edition::Group : sxtest::Edition::Store);
  if (group) sxtest::SqlExec(path, "INSERT INTO Group_Brand(BrandID,BrandName) VALUES('01','01')");
  if (sample) sxtest::SqlExec(path, WithBrand(group ? setupxfer_sql_sample_group : setupxfer_sql_sample_store));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: record_statements OUT.jsonl\n";
    return 2;
  }
  Recorder recorder;
  sx::db::SetStatementObserver(&recorder);
  int failures = 0;
  for (bool group : {false, true}) {
    sxtest::TempDir dir;
    std::string sample = dir.File("sample.db"), fresh = dir.File("fresh.db");
    NewDatabase(sample, group, true);
    const char* brand = group ? kBrand : nullptr;
    std::string edition = group ? " group" : " store";
    sxtest::HostCapture host;
    for (const auto& k : AllKinds()) {
      if (group && !k.group) continue;
      std::string name = std::string(k.kind->name) + edition;
      char error[256] = {0};
      recorder.step = name + " export";
      std::size_t before = host.workbooks.size();
      if (!sx::boundary::Export(*k.kind, sample.c_str(), brand, error) || host.workbooks.size() == before) {
        std::cerr << recorder.step << " failed: " << error << "\n";
        ++failures;
        continue;
      }
      std::string workbook = host.workbooks.back();
      recorder.step = name + " import (check only)";
      sx::SetCheckOnly(true);
      bool checked = sx::boundary::Import(*k.kind, sample.c_str(), brand, workbook.c_str(), error);
      sx::SetCheckOnly(false);
      if (!checked) {
        std::cerr << recorder.step << " failed: " << error << "\n";
        ++failures;
      }
      recorder.step = name + " import (round trip)";
      recorder.written.clear();
      if (!sx::boundary::Import(*k.kind, sample.c_str(), brand, workbook.c_str(), error)) {
        std::cerr << recorder.step << " failed: " << error << "\n";
        ++failures;
      }
      // The import inserts into copies of the sample without the kind's own
      // rows or the later half of them (rows that others refer to tend to
      // come first), and into a database without data.
      for (const char* into : {"empty tables", "half-empty tables", "an empty database"}) {
        std::filesystem::remove(fresh);
        if (into[0] == 'a') {
          NewDatabase(fresh, group, false);
        } else {
          std::filesystem::copy_file(sample, fresh);
          for (const auto& table : recorder.written)
            if (table != "Group_DownloadVersion")
              sxtest::SqlExec(fresh, "DELETE FROM " + table +
                                         (into[0] == 'h' ? " WHERE rowid > (SELECT count(*)/2 FROM " + table + ")" : ""));
        }
        recorder.step = name + " import (into " + into + ")";
        if (!sx::boundary::Import(*k.kind, fresh.c_str(), brand, workbook.c_str(), error)) {
          std::cerr << recorder.step << " failed: " << error << "\n";
          ++failures;
        }
      }
    }
  }
  sx::db::SetStatementObserver(nullptr);

  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  for (const auto& [sql, r] : recorder.statements) {
    out << "{\"sql\": " << Json(sql) << ", \"from\": " << Json(r.from) << ", \"params\": [";
    const char* comma = "";
    for (const auto& [name, typeSize] : r.params) {
      out << comma << "{\"name\": " << Json(name) << ", \"type\": \"" << typeSize.first
          << "\", \"size\": " << typeSize.second << "}";
      comma = ", ";
    }
    out << "]}\n";
  }
  out.close();
  if (!out) {
    std::cerr << "cannot write " << argv[1] << "\n";
    return 1;
  }
  std::cout << recorder.statements.size() << " distinct statements recorded in " << argv[1] << "\n";
  return failures == 0 ? 0 : 1;
}
