// Discount types: a named discount scheme with its discount lines, each a
// percentage for one menu type or one set meal with its exception dishes.
#pragma once
#include <string>
#include <vector>

#include "transfer/Run.h"

namespace sx {

// A discount line.
struct TCardTypeItem {
  std::string CardTypeCode;  // as read on the row, after carrying
  std::string MenuTypeCode;  // empty when the line names a set meal
  int Discount = 0;          // percentage, 0 to 100
  std::string MenuSuiteNo;   // empty when the line names a menu type
  // Exception dishes: a dish code, with "@" and its own percentage when it has one.
  std::vector<std::string> Excludes;
};

// A discount type read from the sheet, owning its lines.
struct TCardType {
  std::string CardTypeCode;
  std::string CardTypeName;
  std::string CardTypeEName;
  std::string CardTypeEName2;
  bool AllowJifen = false;  // members may still earn points
  std::vector<TCardTypeItem> lines;
  bool rejected = false;  // removed from the import by a faulty line
};

namespace uCardTypeIO {
void Export(ExportRun& run);
void Import(ImportRun& run);
}  // namespace uCardTypeIO

}  // namespace sx
