// Remarks: the guest requests offered for dishes, each optionally with a
// surcharge. The database keeps them as texts of lines, one text per menu
// type, per menu item and one of public requests; the sheet spreads them into
// one row per request.
#pragma once
#include <string>
#include <vector>

#include "transfer/Run.h"

namespace sx {

// One request: "name@price@type,mnemonic" in the stored text.
struct TRemarkItem {
  std::string name;
  double price = 0;
  int surchargeType = 0;  // 0 price x quantity, 1 price, 2 price x guests,
                          // 3 price x quantity x guests, 4 price x a quantity entered
  std::string helpCode;   // mnemonic code
};

// The requests of one owner.
struct TMenuRemarkItem {
  enum Kind { Public = 0, MenuType = 1, MenuItem = 2 };
  std::string code;  // empty for the public requests
  std::string name;
  Kind kind = Public;
  std::vector<TRemarkItem> remarks;
};

namespace uRemarkIO {
void Export(ExportRun& run);
void Import(ImportRun& run);
}  // namespace uRemarkIO

}  // namespace sx
