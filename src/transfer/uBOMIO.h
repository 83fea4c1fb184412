// Cost cards: for each standard (portion size) of a dish, the stock items its
// sale consumes, with net quantity, net yield rate and automatic issue.
#pragma once
#include <string>
#include <vector>

#include "transfer/Run.h"

namespace sx {

// The records live in the unit's namespace: the menu unit has a record of the
// same name.
namespace uBOMIO {

// One line of a cost card: a stock item and its quantities.
struct TBOMItem {
  std::string itemCode;
  double costQty = 0;   // net quantity
  double costRate = 0;  // net yield rate in percent
  int autoTag = 0;      // 1: issued from stock automatically
};

// The cost card of one standard of a dish.
struct TMenuStandard {
  std::string name;
  int number = 1;  // 1 to 5: Standard to Standard5
  std::vector<TBOMItem> lines;
};

// A dish with the cost cards of its standards.
struct TMenuItem {
  std::string code;
  std::string name;
  std::vector<TMenuStandard> standards;
};

void Export(ExportRun& run);
void Import(ImportRun& run);

}  // namespace uBOMIO

}  // namespace sx
