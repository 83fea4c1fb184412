#include "db/Trace.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "base/DateTime.h"
#include "base/Text.h"
#include "db/Observer.h"

namespace sx::db {

namespace {

const char* ParamTypeName(ParamType type) {
  switch (type) {
    case ParamType::String: return "string";
    case ParamType::Integer: return "integer";
    case ParamType::Float: return "float";
    case ParamType::DateTime: return "datetime";
    case ParamType::Memo: return "memo";
  }
  return "?";
}

class TraceFile final : public StatementObserver {
 public:
  explicit TraceFile(const std::filesystem::path& path) : out_(path, std::ios::binary | std::ios::trunc) {}
  bool Good() const { return out_.good(); }

  void Connected(DialectKind dialect) override {
    Line("-- connected; dialect " + std::string(dialect == DialectKind::SqlServer ? "SQL Server" : "SQLite"));
  }

  void Ran(const std::string& sent, std::span<const BoundParam* const> params, bool query, long rows,
           const char* error) override {
    std::string text = sent + "\n";
    for (std::size_t i = 0; i < params.size(); ++i) {
      const BoundParam& p = *params[i];
      text += "   " + std::to_string(i + 1) + " " + p.name + " " + ParamTypeName(p.type);
      if (p.size > 0) text += "(" + std::to_string(p.size) + ")";
      text += " = " + TraceValue(p) + "\n";
    }
    if (error)
      text += "   -> error: " + std::string(error);
    else if (query)
      text += "   -> " + std::to_string(rows) + (rows == 1 ? " row" : " rows");
    else
      text += "   -> " + std::to_string(rows) + (rows == 1 ? " row affected" : " rows affected");
    Line(text);
  }

  void Transaction(const char* what) override { Line(what); }

 private:
  void Line(const std::string& text) {
    out_ << text << '\n';
    out_.flush();  // what was traced survives a crash of the host
  }

  std::ofstream out_;
};

std::unique_ptr<TraceFile> trace;

}  // namespace

std::string TraceValue(const BoundParam& param) {
  std::string lower = LowerCase(param.name);
  if (lower.find("password") != std::string::npos || lower.find("pwd") != std::string::npos) return "***";
  if (param.isNull) return "NULL";
  if (auto* i = std::get_if<std::int64_t>(&param.value)) return std::to_string(*i);
  if (auto* d = std::get_if<double>(&param.value)) return FloatToText(*d);
  if (auto* s = std::get_if<std::string>(&param.value)) return QuotedStr(*s);
  return "NULL";
}

bool StartTrace(const std::string& utf8Path, std::string& error) {
  StopTrace();
  std::u8string u8(utf8Path.begin(), utf8Path.end());
  auto file = std::make_unique<TraceFile>(std::filesystem::path(u8));
  if (!file->Good()) {
    error = "cannot write the trace file " + utf8Path;
    return false;
  }
  trace = std::move(file);
  SetStatementObserver(trace.get());
  return true;
}

void StopTrace() {
  if (CurrentStatementObserver() == trace.get()) SetStatementObserver(nullptr);
  trace.reset();
}

}  // namespace sx::db
