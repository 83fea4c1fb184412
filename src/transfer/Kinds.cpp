#include "transfer/Kinds.h"

#include "transfer/uBOMIO.h"
#include "transfer/uCardTypeIO.h"
#include "transfer/uDeptUsersIO.h"
#include "transfer/uGiftDishControl.h"
#include "transfer/uLowestPayIO.h"
#include "transfer/uMenuIO.h"
#include "transfer/uMenuSuiteIO.h"
#include "transfer/uPricePlanIO.h"
#include "transfer/uReasonIO.h"
#include "transfer/uRemarkIO.h"
#include "transfer/uShiftIO.h"
#include "transfer/uStoreItemsIO.h"
#include "transfer/uSubject2IO.h"
#include "transfer/uTableIO.h"

namespace sx {

// The workers of a kind that is not built yet.
namespace Pending {
constexpr ExportWorker Export = nullptr;
constexpr ImportWorker Import = nullptr;
}  // namespace Pending

namespace kinds {
#define SX_KIND(name, description, storeExport, storeImport, groupExport, groupImport, unit) \
  const Kind name{#name, description, unit::Export, unit::Import, true};
#define SX_STORE_KIND(name, description, storeExport, storeImport, unit) \
  const Kind name{#name, description, unit::Export, unit::Import, false};
#include "transfer/KindList.inc"
#undef SX_KIND
#undef SX_STORE_KIND
}  // namespace kinds

}  // namespace sx
