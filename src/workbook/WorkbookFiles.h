// The workbook file formats the engine reads and writes. Each function throws
// sx::Error with a reason; the engine adds the file's name.
#pragma once
#include <set>
#include <string>
#include <string_view>

#include "workbook/SheetCells.h"

namespace sx {

// Upper bounds on what a read workbook may cost, whatever its files claim.
inline constexpr std::size_t kMaxPartBytes = 256u << 20;   // one unpacked part
inline constexpr std::size_t kMaxTotalBytes = 512u << 20;  // all unpacked parts
inline constexpr std::size_t kMaxCells = 5000000;          // cells with text

// Reads the active worksheet of an Office Open XML workbook (.xlsx): each
// cell's text as the spreadsheet shows it, trimmed; empty cells are left out.
void ReadXlsxSheet(const std::string& fileName, SheetCells& cells);
void ReadXlsxBytes(const void* data, std::size_t size, SheetCells& cells);

// Reads the active worksheet of a BIFF workbook (.xls, Excel 5 and later)
// likewise, from a file or from the bytes of one.
void ReadXlsSheet(const std::string& fileName, SheetCells& cells);
void ReadXlsBytes(const void* data, std::size_t size, SheetCells& cells);
// Reads the records of a BIFF workbook stream, as held in an .xls file.
void ReadBiffStream(std::string_view stream, SheetCells& cells);

// Writes the cells into a new .xlsx file: one worksheet, every cell a string
// formatted as text ("@"), and the given columns formatted as text as a
// whole, so that what a person types into their empty cells stays text.
void WriteXlsxSheet(const std::string& fileName, const SheetCells& cells, const std::set<int>& textColumns = {});

}  // namespace sx
