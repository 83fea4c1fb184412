// Workbook files holding the cell cases, one case a row in column B, written
// byte by byte so that each value is exactly what the case says.
#pragma once
#include <string>
#include <vector>

#include "support/CellCases.h"

namespace sxtest {

// An .xlsx with each case as the cell type a spreadsheet program writes
// (inline string, number with a style of the case's format, boolean, error).
void WriteCasesXlsx(const std::string& path, const std::vector<CellCase>& cases);

}  // namespace sxtest
