// Store items: the stock catalogue of item families, the item types under
// them with their accounting subjects, and the stock items under the types
// with their units, conversion factors and stock limits.
#pragma once
#include <string>
#include <vector>

#include "transfer/Run.h"

namespace sx {

// A stock item read from an item row.
struct TStoreItemItem {
  std::string ItemCode;
  std::string ItemName;
  std::string ItemName2;
  std::string ItemName3;
  std::string StoreUnit;      // stock unit
  std::string Org_StoreUnit;  // ordering unit
  std::string CalcUnit;       // cost card unit
  double Org_Rate = 0;        // ordering unit to stock unit
  int CalcRate = 0;           // stock unit to cost card unit
  std::string Add_StoreUnit;  // counting unit
  double MinQty = 0;
  double MaxQty = 0;
  double MaxPrice = 0;  // purchase price ceiling; 0 none
  std::string BarCode;
  std::string HelpCode;
};

// An item type read from a type row, with the items attached to it.
struct TStoreTypeItem {
  std::string TypeCode;
  std::string TypeName;
  std::string tName2;
  std::string tName3;
  std::string SubjectCode54;  // cost subject on requisition
  std::string SubjectCode12;  // asset subject of the stock
  std::string SubjectCode51;  // income subject on sale
  std::vector<TStoreItemItem> items;
};

// An item family read from a family row, with its types.
struct TStoreFamilyItem {
  std::string fCode;
  std::string fName;
  std::vector<TStoreTypeItem> types;
};

namespace uStoreItemsIO {
void Export(ExportRun& run);
void Import(ImportRun& run);
}  // namespace uStoreItemsIO

}  // namespace sx
