// Any text as a connection string: split and translated, or refused with
// sx::Error; a translated string splits again in the ODBC form.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/Error.h"
#include "db/ConnectionString.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string cs(reinterpret_cast<const char*>(data), size);
  try {
    sx::db::SplitConnectionString(cs, true);
  } catch (const sx::Error&) {
  }
  try {
    sx::db::SplitConnectionString(cs, false);
  } catch (const sx::Error&) {
  }
  std::string odbc;
  try {
    odbc = sx::db::OleDbToOdbc(cs);
  } catch (const sx::Error&) {
    return 0;
  }
  // What the translation makes must read back as ODBC.
  sx::db::SplitConnectionString(odbc, true);
  return 0;
}
