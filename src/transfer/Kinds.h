// The kinds of data as the library knows them, made from the list of kinds.
#pragma once
#include "transfer/Run.h"

namespace sx {

struct Kind {
  const char* name;         // what the tool calls it, e.g. "backreason"
  const char* description;  // in English, for the tool
  ExportWorker exportWorker;  // both null while the kind is not available
  ImportWorker importWorker;
  bool hasGroupEdition;

  bool Available() const { return exportWorker && importWorker; }
};

namespace kinds {
#define SX_KIND(name, ...) extern const Kind name;
#define SX_STORE_KIND(name, ...) extern const Kind name;
#include "transfer/KindList.inc"
#undef SX_KIND
#undef SX_STORE_KIND
}  // namespace kinds

}  // namespace sx
