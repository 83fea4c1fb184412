#include "datamodule/RefList.h"

#include <charconv>
#include <cmath>

#include "base/DateTime.h"
#include "base/Text.h"
#include "db/Database.h"

namespace sx {

namespace {

bool IsNumber(const db::Value& v) {
  return std::holds_alternative<std::int64_t>(v) || std::holds_alternative<double>(v);
}

// The key a stored value is indexed by.
std::string StoredKey(const db::Value& v, Case match) {
  if (auto* i = std::get_if<std::int64_t>(&v)) return std::to_string(*i);
  if (auto* d = std::get_if<double>(&v)) return FloatToText(*d);
  if (auto* s = std::get_if<std::string>(&v)) return match == Case::Ignore ? LowerCase(*s) : *s;
  return {};
}

// The key a searched text is looked up by, in the column's type; nothing when
// the text cannot be a value of that type.
std::optional<std::string> SearchKey(std::string_view value, bool numeric, Case match) {
  if (!numeric) return match == Case::Ignore ? LowerCase(value) : std::string(value);
  std::string t = Trim(value);
  std::int64_t i = 0;
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), i);
  if (!t.empty() && ec == std::errc() && end == t.data() + t.size()) return std::to_string(i);
  if (auto f = TryStrToFloat(t)) return FloatToText(*f);
  return std::nullopt;
}

}  // namespace

std::size_t RefList::ColumnIndex(std::string_view column) const {
  for (std::size_t i = 0; i < rows_.columns.size(); ++i)
    if (SameTextIgnoringCase(rows_.columns[i], column)) return i;
  throw db::DbError("Item cannot be found in the collection: field '" + std::string(column) + "'");
}

const RefList::Index& RefList::IndexOf(std::size_t column, Case match) const {
  auto& indexes = indexes_[match == Case::Ignore ? 0 : 1];
  auto it = indexes.find(column);
  if (it != indexes.end()) return it->second;
  Index index;
  for (std::size_t r = 0; r < rows_.rows.size(); ++r) {
    const auto& row = rows_.rows[r];
    if (column >= row.size() || std::holds_alternative<std::monostate>(row[column])) continue;
    // try_emplace keeps the first of equal keys, as a forward search would.
    index.try_emplace(StoredKey(row[column], match), r);
  }
  return indexes.emplace(column, std::move(index)).first->second;
}

std::optional<RefList::Row> RefList::Find(std::string_view column, std::string_view value,
                                          Case match) const {
  std::size_t c = ColumnIndex(column);
  bool numeric = false;
  for (const auto& row : rows_.rows)
    if (c < row.size() && !std::holds_alternative<std::monostate>(row[c])) {
      numeric = IsNumber(row[c]);
      break;
    }
  std::optional<std::string> key = SearchKey(value, numeric, match);
  if (!key) return std::nullopt;
  const Index& index = IndexOf(c, match);
  auto found = index.find(*key);
  if (found == index.end()) return std::nullopt;
  return Row(*this, found->second);
}

const db::Value& RefList::Row::At(std::string_view column) const {
  static const db::Value kNull;
  const auto& row = list_->rows_.rows[index_];
  std::size_t c = list_->ColumnIndex(column);
  return c < row.size() ? row[c] : kNull;
}

std::string RefList::Row::Text(std::string_view column) const {
  const db::Value& v = At(column);
  if (auto* i = std::get_if<std::int64_t>(&v)) return std::to_string(*i);
  if (auto* d = std::get_if<double>(&v)) return FloatToText(*d);
  if (auto* s = std::get_if<std::string>(&v)) return *s;
  return {};
}

std::int64_t RefList::Row::Integer(std::string_view column) const {
  const db::Value& v = At(column);
  if (auto* i = std::get_if<std::int64_t>(&v)) return *i;
  if (auto* d = std::get_if<double>(&v)) return static_cast<std::int64_t>(std::llround(*d));
  if (auto* s = std::get_if<std::string>(&v)) return TryStrToInt(Trim(*s)).value_or(0);
  return 0;
}

bool RefList::Row::IsNull(std::string_view column) const {
  return std::holds_alternative<std::monostate>(At(column));
}

}  // namespace sx
