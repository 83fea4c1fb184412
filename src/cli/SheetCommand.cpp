// sheet: prints the cells of a workbook as an import reads them.
#include <cstdio>

#include "Commands.h"

int RunSheetCommand(int /*argc*/, char** /*argv*/) {
  std::fprintf(stderr, "setupxfer: sheet: reading workbooks is not available in this build\n");
  return cli::kFailed;
}
