// setupxfer sheet FILE: shows a workbook as an import sees it, one line per
// non-empty cell: row (from 1), tab, column (from 0), tab, the trimmed text
// with backslash, tab, CR and LF escaped.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "Commands.h"
#include "workbook/WorkbookEngine.h"
#include "workbook/uExcelOperation.h"

namespace {

int SheetUsage(FILE* out) {
  std::fprintf(out,
               "usage: setupxfer sheet FILE\n"
               "Prints every non-empty cell of the workbook's active sheet as an import reads it,\n"
               "one line per cell: row (from 1), tab, column (from 0, column A), tab, text.\n"
               "In the text a backslash, tab, CR and LF are written as \\\\, \\t, \\r and \\n.\n");
  return out == stdout ? cli::kOk : cli::kUsage;
}

std::string Escaped(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace

int RunSheetCommand(int argc, char** argv) {
  // argv[0] is the tool, argv[1] "sheet".
  if (argc == 3 && (std::strcmp(argv[2], "--help") == 0 || std::strcmp(argv[2], "-h") == 0))
    return SheetUsage(stdout);
  if (argc != 3) return SheetUsage(stderr);

  sx::TExcelOperation excel;
  std::string message;
  if (!excel.OpenWorkbook(argv[2], message)) {
    std::fprintf(stderr, "setupxfer: %s\n", message.c_str());
    return cli::kFailed;
  }
  excel.Engine()->ForEachCell([](int row, int column, const std::string& text) {
    std::string line = std::to_string(row) + '\t' + std::to_string(column) + '\t' + Escaped(text) + '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
  });
  if (std::fflush(stdout) != 0) {
    std::fprintf(stderr, "setupxfer: cannot write the cells: %s\n", std::strerror(errno));
    return cli::kFailed;
  }
  return cli::kOk;
}
