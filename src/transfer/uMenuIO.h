// Menu items: the menu types (dish categories) and their menu items (dishes)
// with up to five standards (portion sizes) and prices.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "transfer/Run.h"

namespace sx {

// One standard (portion size) of a dish and its prices.
struct TMenuStandard {
  std::string name;
  double price = 0;
  double costPrice = 0;
  double memberPrice = 0;
};

// A dish read from an item row of the sheet.
struct TMenuItemItem {
  std::string code;
  std::string typeCode;  // as written in the row (after carry-over)
  std::string name;
  std::string name2;
  std::string name3;
  std::string helpCode;
  int messageTag = 0;          // kitchen print
  int timePriceTag = 0;        // market price
  int qtyNotSureTag = 0;       // quantity to be confirmed
  int timeTag = 0;             // timed
  int needSaleOut = 0;         // sell-out alarm
  int canChangeNamePrice = 0;  // temporary dish
  std::string addStandard;
  int canBonusPay = 0;  // vouchers accepted
  int askQty = 0;
  int askMemo = 0;
  int askScanQty = 0;
  int makeTime = 0;  // minutes
  int cannotGift = 0;
  int canBackWORight = 0;  // free return
  std::string barCode;
  int needMaker = 0;  // ask for the technician
  std::string deptCode;
  std::string useDate;  // "YYYY-MM-DD" or empty
  int canRemark = 0;
  int qtyConfine = 0;  // at most this many portions per guest; 0 none
  std::string defaultMemo;
  double taxRate = 0;
  std::array<TMenuStandard, 5> standards;
};

// A menu type read from a type row, with the dishes attached to it.
struct TMenuTypeItem {
  std::string code;
  std::string name;
  std::string name2;
  std::string name3;
  std::string subjectCode;
  std::string deptCode;
  int serviceRate = 0;
  std::string alias;
  int unDiscountTag = 0;
  int isDrink = 0;
  std::vector<TMenuItemItem> items;
};

namespace uMenuIO {
void Export(ExportRun& run);
void Import(ImportRun& run);
}  // namespace uMenuIO

}  // namespace sx
