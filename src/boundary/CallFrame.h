// The call frame that wraps every transfer worker: creates the data module,
// runs the worker, and turns any failure into result 0 plus a message in the
// caller's error text buffer. No exception leaves it.
#pragma once
#include <string>

#include "datamodule/udmio.h"

namespace sx::boundary {

using StoreExportWorker = bool (*)(Tdmio&, const std::string& connection, std::string& message);
using GroupExportWorker = bool (*)(Tdmio&, const std::string& connection,
                                   const std::string& brandId, std::string& message);
using StoreImportWorker = bool (*)(Tdmio&, const std::string& connection,
                                   const std::string& fileName, std::string& message);
using GroupImportWorker = bool (*)(Tdmio&, const std::string& connection,
                                   const std::string& brandId, const std::string& fileName,
                                   std::string& message);

// Size of the message part of the error text buffer, in bytes.
inline constexpr std::size_t kErrorTextMax = 250;

// Copies at most 250 bytes of message, cut at a whole character, and a NUL.
void CopyErrorText(const std::string& message, char* errorText);

unsigned char RunStoreExport(StoreExportWorker w, const char* connection, char* errorText);
unsigned char RunGroupExport(GroupExportWorker w, const char* connection, const char* brandId,
                  char* errorText);
unsigned char RunStoreImport(StoreImportWorker w, const char* connection, const char* fileName,
                  char* errorText);
unsigned char RunGroupImport(GroupImportWorker w, const char* connection, const char* brandId,
                  const char* fileName, char* errorText);

}  // namespace sx::boundary
