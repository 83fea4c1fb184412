// Any bytes as an .xlsx file: read or refused with sx::Error, nothing else.
#include <cstddef>
#include <cstdint>

#include "base/Error.h"
#include "workbook/WorkbookFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  sx::SheetCells cells;
  try {
    sx::ReadXlsxBytes(data, size, cells);
  } catch (const sx::Error&) {
  }
  return 0;
}
