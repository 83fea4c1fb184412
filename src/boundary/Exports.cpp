// The exported functions: each passes its arguments to its worker through the
// call frame. Nothing else of the library is visible from outside.
#include "boundary/CallFrame.h"
#include "boundary/setupxfer.h"
#include "transfer/uMenuIO.h"
#include "transfer/uReasonIO.h"
#include "ui/Host.h"


extern "C" {

SX_API void SX_CALL SetApplicationHandle(void* handle) { sx::ui::SetApplicationHandle(handle); }

SX_API void SX_CALL SetLogHandler(void (*fn)(void*, int, const char*), void* context) {
  sx::ui::SetLogHandler(fn, context);
}

SX_API void SX_CALL SetConfirmHandler(int (*fn)(void*, const char*, const char*), void* context) {
  sx::ui::SetConfirmHandler(fn, context);
}

SX_API void SX_CALL SetWorkbookHandler(void (*fn)(void*, const char*), void* context) {
  sx::ui::SetWorkbookHandler(fn, context);
}

// The four shapes: each export hands its worker to the call frame.
#define STORE_EXPORT(name) \
  SX_STORE_EXPORT(name) { return sx::boundary::RunStoreExport(&sx::name, connection, errorText); }
#define GROUP_EXPORT(name)                                                         \
  SX_GROUP_EXPORT(name) {                                                          \
    return sx::boundary::RunGroupExport(&sx::name, connection, brandId, errorText); \
  }
#define STORE_IMPORT(name)                                                          \
  SX_STORE_IMPORT(name) {                                                           \
    return sx::boundary::RunStoreImport(&sx::name, connection, fileName, errorText); \
  }
#define GROUP_IMPORT(name)                                                                   \
  SX_GROUP_IMPORT(name) {                                                                    \
    return sx::boundary::RunGroupImport(&sx::name, connection, brandId, fileName, errorText); \
  }

STORE_EXPORT(ExportBackReason)
GROUP_EXPORT(ExportGroupBackReason)
STORE_IMPORT(ImportBackReason)
GROUP_IMPORT(ImportGroupBackReason)
STORE_EXPORT(ExportGiftReason)
GROUP_EXPORT(ExportGroupGiftReason)
STORE_IMPORT(ImportGiftReason)
GROUP_IMPORT(ImportGroupGiftReason)
STORE_EXPORT(ExportRepriceReason)
GROUP_EXPORT(ExportGroupRepriceReason)
STORE_IMPORT(ImportRepriceReason)
GROUP_IMPORT(ImportGroupRepriceReason)
STORE_EXPORT(ExportMenu)
GROUP_EXPORT(ExportGroupMenu)
STORE_IMPORT(ImportMenu)
GROUP_IMPORT(ImportGroupMenu)

}  // extern "C"
