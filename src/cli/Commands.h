// The tool's commands; each returns the process exit status.
#pragma once
#include <string>

namespace cli {

// Exit statuses.
enum Exit {
  kOk = 0,
  kFailed = 1,          // the transfer returned false
  kUsage = 2,           // the command line was wrong
  kRowsRejected = 3,    // an import succeeded but logged error lines
};

int InitDb(int argc, char** argv);
int Export(int argc, char** argv);
int Import(int argc, char** argv);
int ListKinds(int argc, char** argv);
int Template(int argc, char** argv);

// Creates a new SQLite database file with the edition's schema (a group
// database with the brand's row), and the sample rows when asked; returns
// what failed, or an empty text. A file that failed is removed.
std::string CreateDatabase(const std::string& path, bool group, const std::string& brand, bool sample);

}  // namespace cli

int RunSheetCommand(int argc, char** argv);
