// Any bytes as an .xls file, or, when they do not start like a compound file,
// as its workbook stream: read or refused with sx::Error, nothing else.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "base/Error.h"
#include "workbook/WorkbookFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  sx::SheetCells cells;
  try {
    if (size >= 8 && std::memcmp(data, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) == 0)
      sx::ReadXlsBytes(data, size, cells);
    else
      sx::ReadBiffStream(std::string_view(reinterpret_cast<const char*>(data), size), cells);
  } catch (const sx::Error&) {
  }
  return 0;
}
