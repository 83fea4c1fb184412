// Finds names ignoring ASCII letter case in O(1): parameter names of a
// statement, column names of a result. An open-addressing table over the
// positions of a list of names kept by the caller.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sx::db {

class NameIndex {
 public:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  // Indexes names[0..n); for equal names the first counts.
  void Build(const std::vector<std::string>& names);
  void Clear() { table_.clear(); }
  bool Built() const { return !table_.empty(); }
  // The position of name in the list given to Build, or kNone.
  std::size_t Find(const std::vector<std::string>& names, std::string_view name) const;

  static std::uint64_t Hash(std::string_view s);

 private:
  struct Entry {
    std::uint64_t hash = 0;
    std::size_t position = kNone;
  };
  std::vector<Entry> table_;  // a power of two, at least twice the names
};

}  // namespace sx::db
