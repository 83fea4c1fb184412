// Reason lists: return, gift and reprice reasons, each a plain list of texts.
#pragma once
#include <string>

#include "datamodule/udmio.h"

namespace sx {

// A reason text read from the sheet.
struct TReasonItem {
  std::string text;
};
using TBackReasonItem = TReasonItem;
using TGiftReasonItem = TReasonItem;
using TRepriceReasonItem = TReasonItem;

bool ExportBackReason(Tdmio& dm, const std::string& connection, std::string& message);
bool ExportGroupBackReason(Tdmio& dm, const std::string& connection, const std::string& brandId,
                           std::string& message);
bool ImportBackReason(Tdmio& dm, const std::string& connection, const std::string& fileName,
                      std::string& message);
bool ImportGroupBackReason(Tdmio& dm, const std::string& connection, const std::string& brandId,
                           const std::string& fileName, std::string& message);

bool ExportGiftReason(Tdmio& dm, const std::string& connection, std::string& message);
bool ExportGroupGiftReason(Tdmio& dm, const std::string& connection, const std::string& brandId,
                           std::string& message);
bool ImportGiftReason(Tdmio& dm, const std::string& connection, const std::string& fileName,
                      std::string& message);
bool ImportGroupGiftReason(Tdmio& dm, const std::string& connection, const std::string& brandId,
                           const std::string& fileName, std::string& message);

bool ExportRepriceReason(Tdmio& dm, const std::string& connection, std::string& message);
bool ExportGroupRepriceReason(Tdmio& dm, const std::string& connection,
                              const std::string& brandId, std::string& message);
bool ImportRepriceReason(Tdmio& dm, const std::string& connection, const std::string& fileName,
                         std::string& message);
bool ImportGroupRepriceReason(Tdmio& dm, const std::string& connection,
                              const std::string& brandId, const std::string& fileName,
                              std::string& message);

}  // namespace sx
