#include "db/Database.h"

#include <charconv>
#include <cmath>
#include <list>
#include <unordered_map>

#include "base/Text.h"
#include "db/Observer.h"
#include "db/SqlTokens.h"

namespace sx::db {

// ---- Names ignoring case ------------------------------------------------------------

std::uint64_t NameIndex::Hash(std::string_view s) {
  std::uint64_t h = 1469598103934665603ull;  // FNV-1a over the lower-case letters
  for (char c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  }
  return h;
}

void NameIndex::Build(const std::vector<std::string>& names) {
  std::size_t size = 8;
  while (size < 2 * names.size()) size *= 2;
  table_.assign(size, Entry{});
  for (std::size_t p = 0; p < names.size(); ++p) {
    if (Find(names, names[p]) != kNone) continue;
    std::uint64_t h = Hash(names[p]);
    std::size_t i = static_cast<std::size_t>(h) & (size - 1);
    while (table_[i].position != kNone) i = (i + 1) & (size - 1);
    table_[i] = Entry{h, p};
  }
}

std::size_t NameIndex::Find(const std::vector<std::string>& names, std::string_view name) const {
  if (table_.empty()) return kNone;
  std::uint64_t h = Hash(name);
  for (std::size_t i = static_cast<std::size_t>(h) & (table_.size() - 1);; i = (i + 1) & (table_.size() - 1)) {
    const Entry& e = table_[i];
    if (e.position == kNone) return kNone;
    if (e.hash == h && SameTextIgnoringCase(names[e.position], name)) return e.position;
  }
}

// ---- The statement cache --------------------------------------------------------

// One distinct statement text: its named parameters, computed once, and the
// engine's prepared statement, made on its first run.
struct CachedStatement {
  static constexpr std::size_t kNoSlot = NameIndex::kNone;

  explicit CachedStatement(std::string tsql) : text(std::move(tsql)) {
    for (const auto& t : sql::Tokenize(text)) {
      if (t.kind != sql::TokenKind::Param) continue;
      std::string_view name(text.data() + t.begin + 1, t.end - t.begin - 1);
      bool seen = false;
      for (const auto& n : names) seen = seen || SameTextIgnoringCase(n, name);
      if (!seen) names.emplace_back(name);
    }
    slots.Build(names);
  }

  std::size_t Slot(std::string_view name) const { return slots.Find(names, name); }

  const std::string text;
  // Each distinct name as first written, in order of first appearance: its slot.
  std::vector<std::string> names;
  NameIndex slots;

  // For the open engine: the statement, its text as sent, and the slot of
  // each of its "?".
  std::unique_ptr<PreparedStatement> prepared;
  std::string sent;
  std::vector<std::size_t> positions;

  // Its place in the connection's cache while listed there. Only a listed
  // statement holds a prepared one, so closing the connection reaches them all.
  bool listed = false;
  std::list<std::shared_ptr<CachedStatement>>::iterator place;
};

// The statements of one connection, the most recently used first; the least
// recently used are dropped beyond kStatementCacheSize.
class Connection::Cache {
 public:
  std::shared_ptr<CachedStatement> Find(std::string_view text) {
    auto it = index_.find(text);
    if (it == index_.end()) return nullptr;
    Touch(**it->second);
    return *it->second;
  }

  void Touch(CachedStatement& s) { lru_.splice(lru_.begin(), lru_, s.place); }

  void Add(const std::shared_ptr<CachedStatement>& s) {
    lru_.push_front(s);
    s->place = lru_.begin();
    s->listed = true;
    index_[s->text] = s->place;
    while (lru_.size() > kStatementCacheSize) Drop(*lru_.back());
  }

  // Drops every statement; those still held by a query are prepared again
  // when next run.
  void Clear() {
    while (!lru_.empty()) Drop(*lru_.back());
  }

 private:
  void Drop(CachedStatement& s) {
    s.prepared.reset();
    s.sent.clear();
    s.positions.clear();
    s.listed = false;
    index_.erase(s.text);
    lru_.erase(s.place);  // may release s
  }

  std::list<std::shared_ptr<CachedStatement>> lru_;
  std::unordered_map<std::string_view, std::list<std::shared_ptr<CachedStatement>>::iterator> index_;
};

// ---- Observer -------------------------------------------------------------

namespace {
StatementObserver* observer = nullptr;
}

void SetStatementObserver(StatementObserver* o) { observer = o; }
StatementObserver* CurrentStatementObserver() { return observer; }

// ---- Connection -----------------------------------------------------------

Connection::Connection() : cache_(std::make_unique<Cache>()) {}

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
  inTransaction_ = false;
  if (observer) observer->Connected(backend_->Dialect());
}

void Connection::Close() {
  if (!backend_) return;
  // Prepared statements go before the engine that made them.
  cache_->Clear();
  if (inTransaction_) {
    inTransaction_ = false;
    backend_->Rollback();
  }
  backend_.reset();
}

Backend& Connection::Engine() {
  if (!backend_) throw DbError("Operation is not allowed when the connection is closed");
  return *backend_;
}

void Connection::BeginTrans() {
  if (observer) observer->Transaction("begin transaction");
  Engine().Begin();
  inTransaction_ = true;
}

void Connection::CommitTrans() {
  if (observer) observer->Transaction("commit");
  Engine().Commit();
  inTransaction_ = false;
}

void Connection::RollbackTrans() {
  if (observer) observer->Transaction("rollback");
  inTransaction_ = false;
  Engine().Rollback();
}

void Connection::Savepoint(const std::string& name) {
  if (!inTransaction_) throw DbError("A savepoint needs an open transaction");
  if (observer) observer->Transaction(("savepoint " + name).c_str());
  Engine().Savepoint(name);
}

void Connection::ReleaseSavepoint(const std::string& name) {
  if (observer) observer->Transaction(("release savepoint " + name).c_str());
  Engine().ReleaseSavepoint(name);
}

void Connection::RollbackToSavepoint(const std::string& name) {
  if (observer) observer->Transaction(("rollback to savepoint " + name).c_str());
  Engine().RollbackToSavepoint(name);
}

std::shared_ptr<CachedStatement> Connection::Statement(const std::string& tsql) {
  if (auto found = cache_->Find(tsql)) return found;
  auto s = std::make_shared<CachedStatement>(tsql);
  cache_->Add(s);
  return s;
}

PreparedStatement& Connection::Ready(const std::shared_ptr<CachedStatement>& statement,
                                     std::span<const BoundParam* const> bySlot) {
  ready_ = nullptr;
  ordered_.clear();
  Backend& engine = Engine();
  std::shared_ptr<CachedStatement> listed;
  CachedStatement* s = statement.get();
  if (s->listed) {
    cache_->Touch(*s);
  } else if ((listed = cache_->Find(s->text))) {
    s = listed.get();  // the same text, so the same slots
  } else {
    cache_->Add(statement);
  }
  if (!s->prepared) {
    if (observer) observer->Prepared(s->text);
    // Translate once, then turn each ":name" into "?" and note its slot.
    std::string text = TranslateStatement(s->text, engine.Dialect());
    std::string sql;
    sql.reserve(text.size());
    std::vector<std::size_t> positions;
    std::size_t copied = 0;
    for (const auto& t : sql::Tokenize(text)) {
      if (t.kind != sql::TokenKind::Param) continue;
      std::string_view name(text.data() + t.begin + 1, t.end - t.begin - 1);
      std::size_t slot = s->Slot(name);
      if (slot == CachedStatement::kNoSlot) throw DbError("Parameter '" + std::string(name) + "' has no value");
      sql.append(text, copied, t.begin - copied);
      sql += '?';
      copied = t.end;
      positions.push_back(slot);
    }
    sql.append(text, copied);
    s->sent = std::move(sql);
    ready_ = s;
    s->prepared = engine.Prepare(s->sent);
    s->positions = std::move(positions);
  }
  for (std::size_t slot : s->positions) {
    const BoundParam* p = slot < bySlot.size() ? bySlot[slot] : nullptr;
    if (!p) throw DbError("Parameter '" + s->names[slot] + "' has no value");
    ordered_.push_back(p);
  }
  ready_ = s;
  return *s->prepared;
}

ResultSet Connection::RunQuery(const std::shared_ptr<CachedStatement>& statement,
                               std::span<const BoundParam* const> bySlot) {
  if (!observer) return Ready(statement, bySlot).Query(ordered_);
  try {
    ResultSet rows = Ready(statement, bySlot).Query(ordered_);
    observer->Ran(ready_->sent, ordered_, true, static_cast<long>(rows.rows.size()), nullptr);
    return rows;
  } catch (const std::exception& e) {
    Failed(*statement, true, e.what());
    throw;
  }
}

long Connection::RunExecute(const std::shared_ptr<CachedStatement>& statement,
                            std::span<const BoundParam* const> bySlot) {
  if (!observer) return Ready(statement, bySlot).Execute(ordered_);
  try {
    long affected = Ready(statement, bySlot).Execute(ordered_);
    observer->Ran(ready_->sent, ordered_, false, affected, nullptr);
    return affected;
  } catch (const std::exception& e) {
    Failed(*statement, false, e.what());
    throw;
  }
}

void Connection::Failed(const CachedStatement& statement, bool query, const char* error) {
  // A failure before the text was translated shows the caller's text, no parameters.
  if (ready_)
    observer->Ran(ready_->sent, ordered_, query, 0, error);
  else
    observer->Ran(statement.text, {}, query, 0, error);
}

namespace {

// Each parameter of `params` in the statement's slots; the last of equal names counts.
std::vector<const BoundParam*> BySlot(const CachedStatement& s, const std::vector<BoundParam>& params) {
  std::vector<const BoundParam*> bySlot(s.names.size(), nullptr);
  for (const auto& p : params)
    if (std::size_t slot = s.Slot(p.name); slot != CachedStatement::kNoSlot) bySlot[slot] = &p;
  return bySlot;
}

}  // namespace

ResultSet Connection::RunQuery(const std::string& tsql, const std::vector<BoundParam>& params) {
  auto s = Statement(tsql);
  return RunQuery(s, BySlot(*s, params));
}

long Connection::RunExecute(const std::string& tsql, const std::vector<BoundParam>& params) {
  auto s = Statement(tsql);
  return RunExecute(s, BySlot(*s, params));
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
  columnIndex_.Clear();
  row_ = 0;
}

void Query::SetSQL(std::string text) {
  if (active_) throw DbError("Operation is not allowed when the object is open");
  sql_ = std::move(text);
  statement_ = connection_.Statement(sql_);
  const auto& names = statement_->names;
  params_.resize(names.size());
  for (std::size_t i = 0; i < names.size(); ++i)
    if (params_[i].name != names[i]) params_[i].name = names[i];
  bound_.assign(names.size(), nullptr);
}

BoundParam& Query::Declare(std::string_view name, ParamType type) {
  if (!statement_) SetSQL(sql_);
  std::size_t slot = statement_->Slot(name);
  BoundParam& p = slot == CachedStatement::kNoSlot ? unused_ : params_[slot];
  // The value is overwritten by the caller; a string keeps its buffer.
  p.type = type;
  p.isNull = true;
  p.size = 0;
  p.dateTime = DateTime{};
  if (slot != CachedStatement::kNoSlot) bound_[slot] = &p;
  return p;
}

namespace {

void AssignText(Value& v, std::string_view text) {
  if (auto* s = std::get_if<std::string>(&v))
    s->assign(text);
  else
    v = std::string(text);
}

}  // namespace

void Query::SetString(std::string_view name, int size, std::string_view value) {
  if (size > 0 && Cp936Width(value) > static_cast<std::size_t>(size))
    throw DbError("Parameter '" + std::string(name) + "' takes at most " + std::to_string(size) +
                  " characters; the value '" + std::string(value) + "' is longer");
  BoundParam& p = Declare(name, ParamType::String);
  p.isNull = false;
  p.size = size;
  AssignText(p.value, value);
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
  AssignText(p.value, value);
}

void Query::SetNull(std::string_view name, ParamType type, int size) { Declare(name, type).size = size; }

void Query::Open() {
  if (active_) return;
  if (!statement_) SetSQL(sql_);
  result_ = connection_.RunQuery(statement_, bound_);
  columnIndex_.Clear();
  row_ = 0;
  active_ = true;
}

long Query::ExecSQL() {
  if (active_) throw DbError("Operation is not allowed when the object is open");
  if (!statement_) SetSQL(sql_);
  return connection_.RunExecute(statement_, bound_);
}

void Query::Next() {
  if (!Eof()) ++row_;
}

std::size_t Query::ColumnIndex(std::string_view name) const {
  if (!columnIndex_.Built()) columnIndex_.Build(result_.columns);
  std::size_t i = columnIndex_.Find(result_.columns, name);
  if (i != NameIndex::kNone) return i;
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

}  // namespace sx::db
