// export, import and kinds: run the library's exported functions as a host does.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

#include "Args.h"
#include "Checks.h"
#include "Commands.h"
#include "Kinds.h"

namespace cli {

namespace {

constexpr std::size_t kErrorBufferSize = 256;

int ConfirmYes(void*, const char*, const char*) { return 1; }

// Collects the path of the workbook an export hands over.
void TakeWorkbook(void* context, const char* path) { *static_cast<std::string*>(context) = path; }

// What an import did, counted from the log lines it sends: an information
// line that starts with "正在导入" is an item to write, and an error line
// right after it means that item failed; an error line that starts with "第"
// (a row number) is a rejected row.
struct LogCounts {
  int items = 0;
  int failedItems = 0;
  int rejectedRows = 0;
  int otherErrors = 0;
  bool afterItem = false;  // the last line was an item's
  bool colour = false;
};

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

void PrintLogLine(void* context, int kind, const char* text) {
  auto* counts = static_cast<LogCounts*>(context);
  std::string_view line = text;
  if (kind == 0) {
    counts->afterItem = StartsWith(line, "正在导入");
    if (counts->afterItem) ++counts->items;
    std::printf("%s\n", text);
  } else if (kind == 1) {
    std::string_view bare = StartsWith(line, "错误:") ? line.substr(std::strlen("错误:")) : line;
    if (StartsWith(bare, "第"))
      ++counts->rejectedRows;
    else if (counts->afterItem)
      ++counts->failedItems;
    else
      ++counts->otherErrors;
    counts->afterItem = false;
    if (counts->colour)
      std::printf("\x1b[31m%s\x1b[0m\n", text);
    else
      std::printf("%s\n", text);
  }
  std::fflush(stdout);
}

std::string Plural(int n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Tells what a false result means: an empty message is the declined version prompt.
int ReportFailure(const char* what, const char* errorText, bool yes) {
  if (errorText[0] != '\0') {
    std::fprintf(stderr, "setupxfer: %s failed: %s\n", what, errorText);
  } else if (!yes) {
    std::fprintf(stderr,
                 "setupxfer: %s failed: the database's schema version does not match the "
                 "version this library supports, and going on was declined.\n"
                 "Run again with --yes to go on anyway.\n",
                 what);
  } else {
    std::fprintf(stderr, "setupxfer: %s failed\n", what);
  }
  return kFailed;
}

// Handles --help and a malformed command line; true when the command ends here.
bool Usage(const Args& args, const char* text, int& status) {
  if (args.Has("--help")) {
    std::printf("%s", text);
    status = kOk;
    return true;
  }
  if (!args.error.empty()) {
    std::fprintf(stderr, "setupxfer: %s\n%s", args.error.c_str(), text);
    status = kUsage;
    return true;
  }
  return false;
}

// Prints what is wrong with the command line and the usage; returns kUsage.
int UsageError(const std::string& problem, const char* text) {
  std::fprintf(stderr, "setupxfer: %s\n%s", problem.c_str(), text);
  return kUsage;
}

// The positional arguments and --db, in the order the usage names them.
std::string MissingArgument(const Args& args, std::initializer_list<const char*> names) {
  std::size_t i = 0;
  for (const char* name : names) {
    if (i >= args.positional.size()) return std::string(name) + " is missing";
    ++i;
  }
  if (args.positional.size() > i) return "unexpected argument '" + args.positional[i] + "'";
  if (!args.HasValue("--db")) return "--db is missing: give the database's connection string or file";
  if (args.Value("--db").empty()) return "--db is empty";
  return "";
}

const Kind* KindFor(const std::string& name, bool group, int& status) {
  const Kind* kind = FindKind(name);
  if (!kind) {
    std::fprintf(stderr, "setupxfer: unknown kind '%s' (see 'setupxfer kinds')\n", name.c_str());
    status = kUsage;
    return nullptr;
  }
  if (group && !kind->groupExport) {
    std::fprintf(stderr, "setupxfer: %s exists for the store database only; drop --brand\n",
                 kind->name);
    status = kUsage;
    return nullptr;
  }
  return kind;
}

// For a group call, checks --brand against the database; true when it may go on.
bool BrandAccepted(const Args& args, int& status) {
  if (!args.HasValue("--brand")) return true;
  std::string problem = BrandProblem(args.Value("--db"), args.Value("--brand"));
  if (problem.empty()) return true;
  std::fprintf(stderr, "setupxfer: %s\n", problem.c_str());
  status = kUsage;
  return false;
}

// Starts the statement trace that --trace asks for; true when the command may go on.
bool TraceStarted(const Args& args, int& status) {
  if (!args.HasValue("--trace")) return true;
  std::string file = args.Value("--trace");
  if (!file.empty() && SetTraceFile(file.c_str())) return true;
  std::fprintf(stderr, "setupxfer: cannot write the trace file '%s'\n", file.c_str());
  status = kUsage;
  return false;
}

const char* kExportUsage =
    "usage: setupxfer export KIND --db CONN [--brand ID] [-o FILE.xlsx [--force]] [--yes]\n"
    "                        [--trace FILE]\n"
    "Exports one kind of data into a new workbook and prints the workbook's path.\n"
    "  --db CONN     connection string, or a path to an SQLite database file\n"
    "  --brand ID    export the brand's data from a group database\n"
    "  -o FILE.xlsx  move the workbook there; without -o it stays where the library saves it:\n"
    "                a new file in the temporary folder ($TMPDIR, else /tmp) named after the\n"
    "                sheet's title and the time, e.g. /tmp/退菜理由清单_20260105_093000.xlsx\n"
    "  --force       replace FILE.xlsx when it exists\n"
    "  --yes         go on when the database's schema version does not match\n"
    "  --trace FILE  write every statement sent to the database, its parameters and\n"
    "                the rows it read or affected to FILE (never a password)\n";

const char* kImportUsage =
    "usage: setupxfer import KIND FILE --db CONN [--brand ID] [--yes] [--trace FILE]\n"
    "Imports a filled workbook into the database, printing the log as it comes, then\n"
    "what was done and how long it took. Counted from the log: a line starting with\n"
    "正在导入 is an item, written unless an error line follows it; an error line\n"
    "starting with 第 (a row number) is a rejected row. A failed import prints\n"
    "\"failed\" and its reason instead.\n"
    "  --db CONN     connection string, or a path to an SQLite database file\n"
    "  --brand ID    import into the brand's data of a group database\n"
    "  --yes         go on when the database's schema version does not match\n"
    "  --trace FILE  write every statement sent to the database, its parameters and\n"
    "                the rows it read or affected to FILE (never a password)\n"
    "Exit status: 0 done, 1 failed, 2 usage error, 3 done with rejected rows or failed items.\n";

}  // namespace

int Export(int argc, char** argv) {
  Args args = Parse(argc, argv, 2, {"--db", "--brand", "-o", "--trace"}, {"--yes", "--force"});
  int status = kOk;
  if (Usage(args, kExportUsage, status)) return status;
  if (std::string problem = MissingArgument(args, {"KIND"}); !problem.empty())
    return UsageError(problem, kExportUsage);
  if (args.Has("--force") && !args.HasValue("-o"))
    return UsageError("--force goes with -o FILE.xlsx", kExportUsage);
  bool group = args.HasValue("--brand");
  const Kind* kind = KindFor(args.positional[0], group, status);
  if (!kind) return status;
  if (args.HasValue("-o")) {
    std::string problem = WorkbookTargetProblem(args.Value("-o"), args.Has("--force"));
    if (!problem.empty()) return UsageError(problem, "");
  }
  if (!BrandAccepted(args, status) || !TraceStarted(args, status)) return status;

  std::string workbook;
  SetWorkbookHandler(&TakeWorkbook, &workbook);
  if (args.Has("--yes")) SetConfirmHandler(&ConfirmYes, nullptr);
  char errorText[kErrorBufferSize] = {0};
  std::string db = args.Value("--db");
  SxBool ok = group ? kind->groupExport(db.c_str(), args.Value("--brand").c_str(), errorText)
                    : kind->storeExport(db.c_str(), errorText);
  SetWorkbookHandler(nullptr, nullptr);
  SetConfirmHandler(nullptr, nullptr);
  SetTraceFile(nullptr);
  if (!ok) return ReportFailure("the export", errorText, args.Has("--yes"));

  if (workbook.empty()) {
    std::fprintf(stderr, "setupxfer: the export failed: it handed over no workbook\n");
    return kFailed;
  }
  if (args.HasValue("-o")) {
    std::filesystem::path target = args.Value("-o");
    std::error_code ec;
    std::filesystem::rename(workbook, target, ec);
    if (ec) {  // another file system: copy, then remove the temporary file
      ec.clear();
      std::filesystem::copy_file(workbook, target,
                                 std::filesystem::copy_options::overwrite_existing, ec);
      if (ec) {
        std::fprintf(stderr, "setupxfer: the export failed: cannot write %s: %s (the workbook "
                     "stays at %s)\n", target.c_str(), ec.message().c_str(), workbook.c_str());
        return kFailed;
      }
      std::filesystem::remove(workbook, ec);
    }
    workbook = target.string();
  }
  std::printf("%s\n", workbook.c_str());
  return kOk;
}

int Import(int argc, char** argv) {
  Args args = Parse(argc, argv, 2, {"--db", "--brand", "--trace"}, {"--yes"});
  int status = kOk;
  if (Usage(args, kImportUsage, status)) return status;
  if (std::string problem = MissingArgument(args, {"KIND", "FILE"}); !problem.empty())
    return UsageError(problem, kImportUsage);
  bool group = args.HasValue("--brand");
  const Kind* kind = KindFor(args.positional[0], group, status);
  if (!kind) return status;
  if (!BrandAccepted(args, status) || !TraceStarted(args, status)) return status;

  LogCounts counts;
  counts.colour = isatty(STDOUT_FILENO) != 0;
  SetLogHandler(&PrintLogLine, &counts);
  if (args.Has("--yes")) SetConfirmHandler(&ConfirmYes, nullptr);
  char errorText[kErrorBufferSize] = {0};
  std::string db = args.Value("--db");
  const std::string& file = args.positional[1];
  auto started = std::chrono::steady_clock::now();
  SxBool ok = group ? kind->groupImport(db.c_str(), args.Value("--brand").c_str(), file.c_str(),
                                        errorText)
                    : kind->storeImport(db.c_str(), file.c_str(), errorText);
  std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
  SetLogHandler(nullptr, nullptr);
  SetConfirmHandler(nullptr, nullptr);
  SetTraceFile(nullptr);
  if (!ok) return ReportFailure("the import", errorText, args.Has("--yes"));

  std::string summary = Plural(counts.items - counts.failedItems, "item", "items") + " written, " +
                        Plural(counts.rejectedRows, "row", "rows") + " rejected";
  if (counts.failedItems > 0) summary += ", " + Plural(counts.failedItems, "item", "items") + " failed";
  if (counts.otherErrors > 0)
    summary += ", " + Plural(counts.otherErrors, "other error", "other errors");
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, " in %.1f s", took.count());
  std::printf("%s%s\n", summary.c_str(), seconds);
  return counts.rejectedRows + counts.failedItems + counts.otherErrors > 0 ? kRowsRejected : kOk;
}

int ListKinds(int argc, char** argv) {
  Args args = Parse(argc, argv, 2, {}, {});
  int status = kOk;
  if (Usage(args, "usage: setupxfer kinds\nLists the kinds of data and their functions.\n", status))
    return status;
  std::printf("%-16s %-27s %-44s %-50s\n", "KIND", "DATA", "STORE", "GROUP (--brand)");
  for (const auto& k : Kinds()) {
    std::string storeFns = std::string(k.storeExportName) + "/" + k.storeImportName;
    std::string groupFns =
        k.groupExportName ? std::string(k.groupExportName) + "/" + k.groupImportName : "-";
    std::printf("%-16s %-27s %-44s %-50s%s\n", k.name, k.description, storeFns.c_str(), groupFns.c_str(),
                k.available ? "" : " not available in this version");
  }
  return kOk;
}

}  // namespace cli
