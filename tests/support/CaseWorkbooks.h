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

// The workbook stream of an Excel 97 .xls with the cases: text in the shared
// strings table (its first string broken across a CONTINUE record) or, for
// "0012", as a formula's saved text result, numbers
// as RK or NUMBER records with a cell style of the case's format, booleans
// and errors as BOOLERR records. Its second sheet, empty, comes first; the
// window record makes the cases' sheet the active one.
std::string CasesBiff(const std::vector<CellCase>& cases);
// Writes a workbook stream into a new compound file (an .xls) with libgsf;
// Excel 5 and 95 name the stream "Book".
void WriteXls(const std::string& path, const std::string& workbookStream, const char* streamName = "Workbook");

}  // namespace sxtest
