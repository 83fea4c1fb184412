// Set meals: packages of dishes sold under one code, their dishes arranged in
// groups of default and candidate dishes, an optional time plan and, in a
// group database, the branch restaurants of the brand that offer them.
#pragma once
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "transfer/Run.h"

namespace sx {

// A dish of a set meal, read from an item row.
struct TMenuSuiteItem {
  std::string suiteCode;
  std::string dishCode;
  double price = 0;
  double qty = 0;
  std::string standard;
  bool selected = false;  // chosen by default; otherwise a candidate
  std::string groupId;
  std::string groupName;
};

// A branch restaurant a group set meal is limited to.
struct TMenuSuiteLocation {
  std::string suiteCode;
  std::string hotelId;
};

// A set meal read from a set meal row, with its dishes and branches.
struct TMenuSuite {
  std::string code;
  std::string name;
  bool restricted = false;
  int planType = 0;     // 1 daily, 2 weekly, 3 monthly
  int everyOf = 0;      // every x days, weeks or months
  int everyDetail = 0;  // weekday bit mask or day of the month; -1 for daily plans
  DateTime planStart;
  DateTime planEnd;
  bool planEndTag = false;  // an end date is given
  int dayControlType = 0;   // 0 all day, 1 one shift, 2 one time section
  int shiftCode = 0;
  int timeId = 0;
  bool usePlan = false;
  std::string barCode;
  std::string promId;
  bool quickUse = false;
  bool printTogether = false;
  std::string alias;
  bool allShare = false;  // group: offered by every branch of the brand
  std::string zoneInfo;   // group: the branches listed by zone
  std::vector<TMenuSuiteItem> items;
  std::vector<TMenuSuiteLocation> branches;
};

namespace uMenuSuiteIO {
void Export(ExportRun& run);
void Import(ImportRun& run);
}  // namespace uMenuSuiteIO

}  // namespace sx
