// Reason lists: return, gift and reprice reasons, each a plain list of texts.
#pragma once
#include <string>

#include "transfer/Run.h"

namespace sx {

// A reason text read from the sheet.
struct TReasonItem {
  std::string text;
};
using TBackReasonItem = TReasonItem;
using TGiftReasonItem = TReasonItem;
using TRepriceReasonItem = TReasonItem;

namespace uBackReasonIO {
void Export(ExportRun& run);
void Import(ImportRun& run);
}  // namespace uBackReasonIO

namespace uGiftReasonIO {
void Export(ExportRun& run);
void Import(ImportRun& run);
}  // namespace uGiftReasonIO

namespace uRepriceReasonIO {
void Export(ExportRun& run);
void Import(ImportRun& run);
}  // namespace uRepriceReasonIO

}  // namespace sx
