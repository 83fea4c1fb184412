// A reference list: the rows of one lookup statement, loaded once per import
// and searched by a key column. Each list is a value of its own with its own
// index, so that a worker may hold as many lists as it needs at once.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "db/Backend.h"

namespace sx {

enum class Case { Ignore, Exact };

class RefList {
 public:
  // One row of the list, read by column name.
  class Row {
   public:
    Row(const RefList& list, std::size_t index) : list_(&list), index_(index) {}
    // The value as text (NULL as empty text, numbers in decimal).
    std::string Text(std::string_view column) const;
    std::int64_t Integer(std::string_view column) const;
    bool IsNull(std::string_view column) const;
    std::size_t Index() const { return index_; }

   private:
    const db::Value& At(std::string_view column) const;
    const RefList* list_;
    std::size_t index_;
  };

  RefList() = default;
  explicit RefList(db::ResultSet rows) : rows_(std::move(rows)) {}

  std::size_t Size() const { return rows_.rows.size(); }
  Row At(std::size_t index) const { return Row(*this, index); }

  // The first row, in list order, whose column equals the value. The value is
  // compared as the column's type: text ignoring letter case or exactly, and
  // numbers as numbers, so that "01" finds the integer key 1. Throws when the
  // list has no such column.
  std::optional<Row> Find(std::string_view column, std::string_view value,
                          Case match = Case::Ignore) const;

  // The column's position; throws naming it when the list has none.
  std::size_t ColumnIndex(std::string_view column) const;

 private:
  using Index = std::unordered_map<std::string, std::size_t>;
  const Index& IndexOf(std::size_t column, Case match) const;

  db::ResultSet rows_;
  // Built on first use per column and kind of match.
  mutable std::unordered_map<std::size_t, Index> indexes_[2];
};

}  // namespace sx
