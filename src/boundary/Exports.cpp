// The exported functions: each passes its arguments to its worker through the
// call frame. Nothing else of the library is visible from outside.
#include "boundary/CallFrame.h"
#include "boundary/setupxfer.h"
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

}  // extern "C"
