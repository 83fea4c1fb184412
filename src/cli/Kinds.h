// The kinds of data the tool knows, with the library's exported functions,
// made from the library's list of kinds.
#pragma once
#include <string>
#include <vector>

#include "setupxfer.h"

namespace cli {

using StoreExportFn = SxBool(SX_CALL*)(const char*, char*);
using GroupExportFn = SxBool(SX_CALL*)(const char*, const char*, char*);
using StoreImportFn = SxBool(SX_CALL*)(const char*, const char*, char*);
using GroupImportFn = SxBool(SX_CALL*)(const char*, const char*, const char*, char*);

struct Kind {
  const char* name;  // the exported function's name without Export/Import/Group, lower case
  const char* description;
  const char* storeExportName;
  const char* storeImportName;
  StoreExportFn storeExport;
  StoreImportFn storeImport;
  const char* groupExportName;  // null: the kind has no group edition
  const char* groupImportName;
  GroupExportFn groupExport;
  GroupImportFn groupImport;
  bool available;  // false while this version does not provide the kind
};

const std::vector<Kind>& Kinds();
const Kind* FindKind(const std::string& name);

}  // namespace cli
