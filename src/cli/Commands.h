// The tool's commands; each returns the process exit status.
#pragma once

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

}  // namespace cli

int RunSheetCommand(int argc, char** argv);
