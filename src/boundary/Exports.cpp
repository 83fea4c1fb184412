// The exported functions, made from the list of kinds: each hands its kind,
// edition and arguments to the call frame. Nothing else of the library is
// visible from outside.
#include "boundary/CallFrame.h"
#include "boundary/HostText.h"
#include "boundary/setupxfer.h"
#include "db/Trace.h"
#include "transfer/Kinds.h"
#include "transfer/Run.h"
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

SX_API void SX_CALL SetReportHandler(void (*fn)(void*, const char*), void* context) {
  sx::ui::SetReportHandler(fn, context);
}

SX_API void SX_CALL SetCheckOnly(int on) { sx::SetCheckOnly(on != 0); }

SX_API SxBool SX_CALL SetTraceFile(const char* path) {
  try {
    std::string file = sx::boundary::FromHostText(path);
    if (file.empty()) {
      sx::db::StopTrace();
      return 1;
    }
    std::string error;
    return sx::db::StartTrace(file, error) ? 1 : 0;
  } catch (...) {
    return 0;  // nothing leaves an exported function
  }
}

#define SX_STORE_FUNCTIONS(name, storeExport, storeImport)                            \
  SX_STORE_EXPORT(storeExport) {                                                      \
    return sx::boundary::Export(sx::kinds::name, connection, nullptr, errorText);     \
  }                                                                                   \
  SX_STORE_IMPORT(storeImport) {                                                      \
    return sx::boundary::Import(sx::kinds::name, connection, nullptr, fileName, errorText); \
  }
#define SX_GROUP_FUNCTIONS(name, groupExport, groupImport)                                  \
  SX_GROUP_EXPORT(groupExport) {                                                            \
    return sx::boundary::Export(sx::kinds::name, connection, brandId ? brandId : "", errorText); \
  }                                                                                         \
  SX_GROUP_IMPORT(groupImport) {                                                            \
    return sx::boundary::Import(sx::kinds::name, connection, brandId ? brandId : "", fileName, \
                                errorText);                                                 \
  }
#define SX_KIND(name, description, storeExport, storeImport, groupExport, groupImport, unit) \
  SX_STORE_FUNCTIONS(name, storeExport, storeImport)                                          \
  SX_GROUP_FUNCTIONS(name, groupExport, groupImport)
#define SX_STORE_KIND(name, description, storeExport, storeImport, unit) \
  SX_STORE_FUNCTIONS(name, storeExport, storeImport)
#include "transfer/KindList.inc"

}  // extern "C"
