// Departments and users: first-level departments, the second-level
// departments under them (store database only) and the users (staff members)
// of each first-level department, whose rights the sheet shows as eleven roles.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "transfer/Run.h"

namespace sx {

// What every user an import adds gets as its stored password: this library's
// stored form of an empty password. The user logs in with an empty password
// and sets one in the application. Existing users keep theirs.
inline constexpr const char* kDefaultPasswordDigest = "sXu0EmptyPwdQ7fK2nB9dH4";

// A user read from a row of the users section.
struct TUserItem {
  std::string PassNo;  // identity document number; the group key
  std::string UserID;
  std::string UserName;
  int Sex = 0;  // 1 female, 0 male
  std::string Phone;
  double MaxPreDiscount = 0;  // largest discount amount per bill
  int Deleted = 0;
  std::string CardTypeList;  // discount types not to grant, each followed by CR LF
  double OrderLimitAmt = 0;  // 0 means no limit
  std::string HotelID;       // branch restaurant; written by the group import only
  std::uint32_t roles = 0;   // bit k: the sheet gives the user role k
};

// A second-level department read from a row of the dept2 section.
struct TDept2Item {
  std::string Dept2Code;
  std::string Dept2Name;
  int StoreTag = 0;   // 1 when it takes part in stock keeping
  int StoreCode = 0;  // its storehouse; 0 when StoreTag is 0
  std::string Dept2Alias;
  std::string autoSaleName;       // the automatic issue department as the sheet names it
  std::string AutoSaleDept2Code;  // the same, resolved to its code
};

// A first-level department with the second-level departments and users that
// the sheet puts under it.
struct TDeptItem {
  std::string DeptCode;
  std::string DeptName;
  int IsProduct = 0;
  std::vector<TDept2Item> dept2s;
  std::vector<TUserItem> users;
};

namespace uDeptUsersIO {
void Export(ExportRun& run);
void Import(ImportRun& run);
}  // namespace uDeptUsersIO

}  // namespace sx
