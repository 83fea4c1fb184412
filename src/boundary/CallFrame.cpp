#include "boundary/CallFrame.h"

#include <cstring>

#include "base/Text.h"
#include "boundary/HostText.h"
#include "transfer/Kinds.h"

namespace sx::boundary {

void CopyErrorText(const std::string& message, char* errorText) {
  if (!errorText) return;
  std::string host = ToHostText(message);
  std::string_view cut = CutAtHostCharBoundary(host, kErrorTextMax);
  std::memcpy(errorText, cut.data(), cut.size());
  errorText[cut.size()] = '\0';
}

unsigned char Call(char* errorText, const std::function<bool(std::string& message)>& body) {
  bool result = false;
  std::string message;
  try {
    ComApartment com;  // initialises and uninitialises COM for the call
    result = body(message);
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

namespace {

Edition EditionOf(const char* brandId) {
  return brandId ? Edition::Group(FromHostText(brandId)) : Edition::Store();
}

// A kind that is not built answers without touching anything.
bool NotAvailable(const Kind& kind, std::string& message) {
  message = std::string(kind.name) + " is not available in this version";
  return false;
}

}  // namespace

unsigned char Export(const Kind& kind, const char* connection, const char* brandId,
                     char* errorText) {
  return Call(errorText, [&](std::string& message) {
    if (!kind.Available()) return NotAvailable(kind, message);
    return RunExport(kind.exportWorker, FromHostText(connection), EditionOf(brandId), message);
  });
}

unsigned char Import(const Kind& kind, const char* connection, const char* brandId,
                     const char* fileName, char* errorText) {
  return Call(errorText, [&](std::string& message) {
    if (!kind.Available()) return NotAvailable(kind, message);
    return RunImport(kind.importWorker, FromHostText(connection), EditionOf(brandId),
                     FromHostText(fileName), message, kind.name);
  });
}

}  // namespace sx::boundary
