// Checks the tool makes before it calls the library, so that a wrong argument
// ends with a clear message and exit status 2 instead of an import that
// quietly writes nothing or the wrong thing. Each returns what is wrong, or
// an empty text when nothing is.
#pragma once
#include <string>

namespace cli {

// The brand ID of a group call: 1 to 8 characters (counted as the host's code
// page counts them) and a row of the database's Group_Brand. A database that
// cannot be read here is left to the library, whose message says why.
std::string BrandProblem(const std::string& connection, const std::string& brand);

// A new SQLite database's file name: the other commands open a bare path only
// when it ends in .db, .sqlite or .sqlite3 and has no blanks at either end,
// and a file name has at most 255 bytes.
std::string DatabaseFileProblem(const std::string& path);

// Where an export puts its workbook: an .xlsx file that is not there yet,
// unless `replace` allows replacing it.
std::string WorkbookTargetProblem(const std::string& path, bool replace);

}  // namespace cli
