// Gift dish control of a store: the gift roles, the packages of each role
// (ceilings over a period and what their contents allow), the contents of
// each package and the gift role of each user.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "transfer/Run.h"

namespace sx {

// One content line of a package: a menu type, or a menu item with its type.
struct TGiftRule {
  std::string code;  // links rows of the sheet only
  std::string MenuTypeCode;
  std::string MenuItemCode;
};

struct TGiftPackge {
  std::string code;  // links rows of the sheet only
  std::int64_t number = 0;  // GiftDishPackge.ID once written
  std::string PackgeName;
  double QtyConfine = 0;     // 0: no ceiling
  double AmountConfine = 0;  // 0: no ceiling
  int ResetInterval = 0;     // 0 per bill, 1 per day, 2 per week, 3 per month
  int ControlType = 0;       // 0 contents may be given, 1 may not, 2 only the total
  std::vector<TGiftRule> contents;
};

struct TGiftRole {
  std::string code;  // links rows of the sheet only
  std::optional<std::int64_t> number;  // GiftDishRole.ID, once the role is committed
  std::string RoleName;  // the role's key in the database
  int OnlyReserverTable = 0;
  std::vector<TGiftPackge> packages;
};

// One user's role, as the sheet names it.
struct TUserGiftRole {
  std::string UserID;
  std::string roleCode;
  std::string roleName;
};

namespace uGiftDishControl {
void Export(ExportRun& run);
void Import(ImportRun& run);
}  // namespace uGiftDishControl

}  // namespace sx
