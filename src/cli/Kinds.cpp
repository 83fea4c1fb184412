#include "Kinds.h"

namespace cli {

const std::vector<Kind>& Kinds() {
  static const std::vector<Kind> kinds = {
      {"backreason", "return reasons", "ExportBackReason", &ExportBackReason, &ImportBackReason,
       "ExportGroupBackReason", &ExportGroupBackReason, &ImportGroupBackReason},
      {"giftreason", "gift reasons", "ExportGiftReason", &ExportGiftReason, &ImportGiftReason,
       "ExportGroupGiftReason", &ExportGroupGiftReason, &ImportGroupGiftReason},
      {"repricereason", "reprice reasons", "ExportRepriceReason", &ExportRepriceReason,
       &ImportRepriceReason, "ExportGroupRepriceReason", &ExportGroupRepriceReason,
       &ImportGroupRepriceReason},
      {"menu", "menu types and menu items", "ExportMenu", &ExportMenu, &ImportMenu,
       "ExportGroupMenu", &ExportGroupMenu, &ImportGroupMenu},
  };
  return kinds;
}

const Kind* FindKind(const std::string& name) {
  for (const auto& k : Kinds())
    if (name == k.name) return &k;
  return nullptr;
}

}  // namespace cli
