// Which database a transfer works on: a store's own database, or a chain's
// group database on behalf of one brand. The edition picks the statements,
// the schema version stamp and the sizes that differ between the two, and it
// alone binds the brand ID into statements.
#pragma once
#include <string>

namespace sx {

// Schema version stamps of the two editions.
inline constexpr const char* kStoreStamp = "2.5.2011.1N";
inline constexpr const char* kGroupStamp = "2.5.2011.1G";

// The size of a brand ID wherever it is written.
inline constexpr int kBrandIdSize = 8;

class Edition {
 public:
  static Edition Store() { return Edition(false, {}); }
  static Edition Group(std::string brandId) { return Edition(true, std::move(brandId)); }

  bool IsGroup() const { return group_; }
  // Empty in the store edition.
  const std::string& BrandId() const { return brandId_; }
  const char* Stamp() const { return group_ ? kGroupStamp : kStoreStamp; }

  // The store or the group form of a statement, a size or a name.
  template <class T>
  T Pick(T store, T group) const {
    return group_ ? group : store;
  }

 private:
  Edition(bool group, std::string brandId) : group_(group), brandId_(std::move(brandId)) {}
  bool group_;
  std::string brandId_;
};

}  // namespace sx
