#include "boundary/CallFrame.h"

#include <cstring>
#include <functional>
#include <memory>

#include "base/Text.h"
#include "boundary/HostText.h"

namespace sx::boundary {

void CopyErrorText(const std::string& message, char* errorText) {
  if (!errorText) return;
  std::string host = ToHostText(message);
  std::string_view cut = CutAtHostCharBoundary(host, kErrorTextMax);
  std::memcpy(errorText, cut.data(), cut.size());
  errorText[cut.size()] = '\0';
}

namespace {

// Steps 1 to 9 of the frame around one worker call.
unsigned char Frame(char* errorText, const std::function<bool(Tdmio&, std::string&)>& call) {
  bool result = false;
  std::string message;
  try {
    ComApartment com;  // initialises and uninitialises COM for the call
    auto dm = std::make_unique<Tdmio>();
    try {
      result = call(*dm, message);
    } catch (...) {
      dm.reset();
      throw;
    }
    dm.reset();
    if (!result) CopyErrorText(message, errorText);
  } catch (const std::exception& e) {
    result = false;
    CopyErrorText(e.what(), errorText);
  } catch (...) {
    result = false;
    CopyErrorText("Unknown error", errorText);
  }
  return result ? 1 : 0;
}

}  // namespace

unsigned char RunStoreExport(StoreExportWorker w, const char* connection, char* errorText) {
  return Frame(errorText, [&](Tdmio& dm, std::string& msg) {
    return w(dm, FromHostText(connection), msg);
  });
}

unsigned char RunGroupExport(GroupExportWorker w, const char* connection, const char* brandId,
                  char* errorText) {
  return Frame(errorText, [&](Tdmio& dm, std::string& msg) {
    return w(dm, FromHostText(connection), FromHostText(brandId), msg);
  });
}

unsigned char RunStoreImport(StoreImportWorker w, const char* connection, const char* fileName,
                  char* errorText) {
  return Frame(errorText, [&](Tdmio& dm, std::string& msg) {
    return w(dm, FromHostText(connection), FromHostText(fileName), msg);
  });
}

unsigned char RunGroupImport(GroupImportWorker w, const char* connection, const char* brandId,
                  const char* fileName, char* errorText) {
  return Frame(errorText, [&](Tdmio& dm, std::string& msg) {
    return w(dm, FromHostText(connection), FromHostText(brandId), FromHostText(fileName), msg);
  });
}

}  // namespace sx::boundary
