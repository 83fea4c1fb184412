#include "db/Database.h"

#include <charconv>
#include <cmath>

#include "base/Text.h"

namespace sx::db {

// ---- Connection -----------------------------------------------------------

Connection::~Connection() {
  try {
    Close();
  } catch (...) {
    // Closing during destruction must not throw.
  }
}

void Connection::Open() {
  if (backend_) return;
  backend_ = OpenBackend(connectionString_);
  dialect_ = std::make_unique<Dialect>(backend_->Dialect());
  inTransaction_ = false;
}

void Connection::Close() {
  if (!backend_) return;
  if (inTransaction_) {
    inTransaction_ = false;
    backend_->Rollback();
  }
  backend_.reset();
  dialect_.reset();
}

Backend& Connection::Engine() {
  if (!backend_) throw DbError("Operation is not allowed when the connection is closed");
  return *backend_;
}

void Connection::BeginTrans() {
  Engine().Begin();
  inTransaction_ = true;
}

void Connection::CommitTrans() {
  Engine().Commit();
  inTransaction_ = false;
}

void Connection::RollbackTrans() {
  inTransaction_ = false;
  Engine().Rollback();
}

namespace {

bool IsIdentChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

}  // namespace

std::string Connection::Prepare(const std::string& tsql, const std::vector<BoundParam>& params,
                                std::vector<BoundParam>& ordered) {
  Engine();
  const std::string& text = dialect_->Translate(tsql);
  // Replace each ":name" outside string literals and quoted names by "?",
  // collecting the parameters in order of appearance.
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    char c = text[i];
    if (c == '\'' || c == '"' || c == '[') {
      char close = c == '[' ? ']' : c;
      std::size_t j = text.find(close, i + 1);
      // A doubled quote inside a literal continues it.
      while (j != std::string::npos && close != ']' && j + 1 < text.size() && text[j + 1] == close)
        j = text.find(close, j + 2);
      std::size_t end = j == std::string::npos ? text.size() : j + 1;
      out.append(text, i, end - i);
      i = end;
      continue;
    }
    if (c == ':' && i + 1 < text.size() && IsIdentChar(text[i + 1]) &&
        (i == 0 || (text[i - 1] != ':' && !IsIdentChar(text[i - 1])))) {
      std::size_t j = i + 1;
      while (j < text.size() && IsIdentChar(text[j])) ++j;
      std::string_view name(text.data() + i + 1, j - i - 1);
      const BoundParam* found = nullptr;
      for (const auto& p : params)
        if (SameTextIgnoringCase(p.name, name)) found = &p;
      if (!found) throw DbError("Parameter '" + std::string(name) + "' has no value");
      ordered.push_back(*found);
      out += '?';
      i = j;
      continue;
    }
    out += c;
    ++i;
  }
  return out;
}

ResultSet Connection::RunQuery(const std::string& tsql, const std::vector<BoundParam>& params) {
  std::vector<BoundParam> ordered;
  std::string sql = Prepare(tsql, params, ordered);
  return Engine().Query(sql, ordered);
}

long Connection::RunExecute(const std::string& tsql, const std::vector<BoundParam>& params) {
  std::vector<BoundParam> ordered;
  std::string sql = Prepare(tsql, params, ordered);
  return Engine().Execute(sql, ordered);
}

// ---- Field ----------------------------------------------------------------

bool Field::IsNull() const { return std::holds_alternative<std::monostate>(*v_); }

std::string Field::AsString() const {
  if (auto* i = std::get_if<std::int64_t>(v_)) return std::to_string(*i);
  if (auto* d = std::get_if<double>(v_)) return FloatToText(*d);
  if (auto* s = std::get_if<std::string>(v_)) return *s;
  return {};
}

std::int64_t Field::AsInteger() const {
  if (auto* i = std::get_if<std::int64_t>(v_)) return *i;
  if (auto* d = std::get_if<double>(v_)) return static_cast<std::int64_t>(std::llround(*d));
  if (auto* s = std::get_if<std::string>(v_)) {
    std::string t = Trim(*s);
    if (t.empty()) return 0;
    std::int64_t value = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (ec == std::errc() && end == t.data() + t.size()) return value;
    if (auto f = TryStrToFloat(t)) return static_cast<std::int64_t>(std::llround(*f));
    throw DbError("'" + *s + "' is not a valid integer value");
  }
  return 0;
}

double Field::AsFloat() const {
  if (auto* i = std::get_if<std::int64_t>(v_)) return static_cast<double>(*i);
  if (auto* d = std::get_if<double>(v_)) return *d;
  if (auto* s = std::get_if<std::string>(v_)) {
    std::string t = Trim(*s);
    if (t.empty()) return 0;
    if (auto f = TryStrToFloat(t)) return *f;
    throw DbError("'" + *s + "' is not a valid floating point value");
  }
  return 0;
}

DateTime Field::AsDateTime() const {
  if (auto* s = std::get_if<std::string>(v_)) {
    if (auto dt = ParseStoredDateTime(Trim(*s))) return *dt;
    throw DbError("'" + *s + "' is not a valid date and time");
  }
  if (IsNull()) return DateTime{};
  throw DbError("'" + AsString() + "' is not a valid date and time");
}

// ---- Query ----------------------------------------------------------------

void Query::Close() {
  active_ = false;
  result_ = ResultSet{};
  row_ = 0;
  locateIndex_.clear();
}

void Query::SetSQL(std::string text) {
  if (active_) throw DbError("Operation is not allowed when the object is open");
  sql_ = std::move(text);
  params_.clear();
}

BoundParam& Query::Declare(std::string_view name, ParamType type) {
  for (auto& p : params_)
    if (SameTextIgnoringCase(p.name, name)) {
      p = BoundParam{std::string(name), type, true, {}, {}, 0};
      return p;
    }
  params_.push_back(BoundParam{std::string(name), type, true, {}, {}, 0});
  return params_.back();
}

void Query::SetString(std::string_view name, int size, std::string_view value) {
  if (size > 0 && Cp936Width(value) > static_cast<std::size_t>(size))
    throw DbError("Parameter '" + std::string(name) + "' takes at most " + std::to_string(size) +
                  " characters; the value '" + std::string(value) + "' is longer");
  BoundParam& p = Declare(name, ParamType::String);
  p.isNull = false;
  p.size = size;
  p.value = std::string(value);
}

void Query::SetOptionalString(std::string_view name, int size, std::string_view value) {
  if (value.empty())
    SetNull(name, ParamType::String, size);
  else
    SetString(name, size, value);
}

void Query::SetInteger(std::string_view name, std::int64_t value) {
  BoundParam& p = Declare(name, ParamType::Integer);
  p.isNull = false;
  p.value = value;
}

void Query::SetFloat(std::string_view name, double value) {
  BoundParam& p = Declare(name, ParamType::Float);
  p.isNull = false;
  p.value = value;
}

void Query::SetDateTime(std::string_view name, const DateTime& value) {
  BoundParam& p = Declare(name, ParamType::DateTime);
  p.isNull = false;
  p.dateTime = value;
  p.value = FormatDateTime("YYYY-MM-DD HH:NN:SS", value);
}

void Query::SetMemo(std::string_view name, std::string_view value) {
  BoundParam& p = Declare(name, ParamType::Memo);
  p.isNull = false;
  p.value = std::string(value);
}

void Query::SetNull(std::string_view name, ParamType type, int size) { Declare(name, type).size = size; }

void Query::Open() {
  if (active_) return;
  result_ = connection_.RunQuery(sql_, params_);
  row_ = 0;
  locateIndex_.clear();
  active_ = true;
}

long Query::ExecSQL() {
  if (active_) throw DbError("Operation is not allowed when the object is open");
  return connection_.RunExecute(sql_, params_);
}

void Query::Next() {
  if (!Eof()) ++row_;
}

std::size_t Query::ColumnIndex(std::string_view name) const {
  for (std::size_t i = 0; i < result_.columns.size(); ++i)
    if (SameTextIgnoringCase(result_.columns[i], name)) return i;
  throw DbError("Item cannot be found in the collection: field '" + std::string(name) + "'");
}

const Value* Query::Current(std::size_t column) const {
  static const Value kNull;
  if (!active_) throw DbError("Operation is not allowed when the object is closed");
  if (row_ >= result_.rows.size())
    throw DbError("Either BOF or EOF is True, or the current record has been deleted");
  const auto& row = result_.rows[row_];
  return column < row.size() ? &row[column] : &kNull;
}

Field Query::FieldByName(std::string_view name) const { return Field(Current(ColumnIndex(name))); }

Field Query::Fields(std::size_t index) const {
  if (active_ && index >= result_.columns.size())
    throw DbError("Item cannot be found in the collection: field " + std::to_string(index));
  return Field(Current(index));
}

bool Query::Locate(std::string_view column, std::string_view value, bool ignoreCase) {
  if (!active_) throw DbError("Operation is not allowed when the object is closed");
  std::size_t col = ColumnIndex(column);
  std::string key = std::to_string(col) + (ignoreCase ? "i" : "e");
  auto it = locateIndex_.find(key);
  if (it == locateIndex_.end()) {
    std::unordered_map<std::string, std::size_t> index;
    for (std::size_t r = 0; r < result_.rows.size(); ++r) {
      std::string text = Field(&result_.rows[r][col]).AsString();
      // try_emplace keeps the first row of equal keys, as a forward search would.
      index.try_emplace(ignoreCase ? LowerCase(text) : text, r);
    }
    it = locateIndex_.emplace(key, std::move(index)).first;
  }
  auto found = it->second.find(ignoreCase ? LowerCase(value) : std::string(value));
  if (found == it->second.end()) return false;
  row_ = found->second;
  return true;
}

}  // namespace sx::db
