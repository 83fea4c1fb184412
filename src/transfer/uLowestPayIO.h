// Minimum charges of a store's tables: a fixed amount, an amount per guest or
// amounts by time section, and the dishes that do not count towards it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "transfer/Run.h"

namespace sx {

// The amount of one further time section of a table.
struct TLPTimePlanItem {
  std::string TableNo;
  std::int32_t TimeID = 0;
  double LowestPay = 0;
};

// One table's minimum charge.
struct TLowestPayItem {
  std::string TableNo;  // upper case
  std::int32_t LowestPayType = 0;  // 0 fixed, 1 per guest, 2 by time section
  double LowestPay = 0;  // for type 2 the amount of the normal time section
  std::vector<std::string> excludedDishes;  // menu item codes, upper case, without repeats
  std::vector<TLPTimePlanItem> timePlans;   // type 2 only
};

namespace uLowestPayIO {
void Export(ExportRun& run);
void Import(ImportRun& run);
}  // namespace uLowestPayIO

}  // namespace sx
