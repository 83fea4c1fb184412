// Time plans and price plans: dated promotions (time plans) that may be
// confined to meal sections or time sections of the day and, in a group
// database, to listed branch restaurants, each with its price lines (special
// prices for the five standards of a dish, with an optional quantity limit).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "transfer/Run.h"

namespace sx {

// A meal section (MealSectionCode) or a time section (TimeID) that confines a
// plan; the other code is -1.
struct TTimePlanConfineItem {
  std::int32_t PlanCode = 0;
  std::int32_t MealSectionCode = -1;
  std::int32_t TimeID = -1;
};

// A branch restaurant a group plan applies to.
struct TTimePlanHotelItem {
  std::int32_t PlanCode = 0;
  std::string HotelID;
};

// One price line: the prices of the dish's five standards (0: no special
// price) and the quantity limit (0: none).
struct TPricePlanItem {
  std::int32_t PlanCode = 0;
  std::string MenuItemCode;
  double NewPrice = 0, NewPrice2 = 0, NewPrice3 = 0, NewPrice4 = 0, NewPrice5 = 0;
  double MaxQty = 0;
};

// A time plan read from the sheet, with everything that belongs to it.
struct TTimePlanItem {
  std::int32_t PlanCode = 0;
  std::string PlanName, PlanName2, PlanName3;
  std::string PromID;
  std::int32_t PlanUseTag = 0;
  std::int32_t PlanType = 1;     // 1 day, 2 week, 3 month
  std::int32_t EveryOf = 1;      // every x of PlanType
  std::int32_t EveryDetail = -1; // weekday mask or day of the month; -1 daily
  DateTime PlanStartDate;
  DateTime PlanEndDate;          // meaningful with PlanEndTag 1
  std::int32_t PlanEndTag = 0;
  std::int32_t AllShare = 0;     // group: all branch restaurants of the brand
  std::string ZoneInfo;          // group: built just before writing
  std::int32_t DayControlType = 0;  // 0 whole day, 1 meal sections, 2 time sections
  std::vector<TTimePlanConfineItem> confines;
  std::vector<TTimePlanHotelItem> hotels;
  std::vector<TPricePlanItem> prices;
};

namespace uPricePlanIO {
void Export(ExportRun& run);
void Import(ImportRun& run);
}  // namespace uPricePlanIO

}  // namespace sx
