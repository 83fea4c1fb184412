#include "Kinds.h"

#include <string_view>

namespace cli {

const std::vector<Kind>& Kinds() {
  static const std::vector<Kind> kinds = {
#define SX_KIND(name, description, storeExport, storeImport, groupExport, groupImport, unit)  \
  {#name, description, #storeExport, #storeImport, &storeExport, &storeImport, #groupExport, \
   #groupImport, &groupExport, &groupImport, std::string_view(#unit) != "Pending"},
#define SX_STORE_KIND(name, description, storeExport, storeImport, unit)                              \
  {#name, description, #storeExport, #storeImport, &storeExport, &storeImport, nullptr, nullptr, nullptr, \
   nullptr, std::string_view(#unit) != "Pending"},
#include "transfer/KindList.inc"
#undef SX_KIND
#undef SX_STORE_KIND
  };
  return kinds;
}

const Kind* FindKind(const std::string& name) {
  for (const auto& k : Kinds())
    if (name == k.name) return &k;
  return nullptr;
}

}  // namespace cli
