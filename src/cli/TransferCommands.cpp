// export, import and kinds: run the library's exported functions as a host does.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "Args.h"
#include "Commands.h"
#include "Kinds.h"

namespace cli {

namespace {

constexpr std::size_t kErrorBufferSize = 256;

int ConfirmYes(void*, const char*, const char*) { return 1; }

// Collects the path of the workbook an export hands over.
void TakeWorkbook(void* context, const char* path) { *static_cast<std::string*>(context) = path; }

struct LogCounts {
  int info = 0;
  int errors = 0;
  bool colour = false;
};

void PrintLogLine(void* context, int kind, const char* text) {
  auto* counts = static_cast<LogCounts*>(context);
  if (kind == 0) {
    ++counts->info;
    std::printf("%s\n", text);
  } else if (kind == 1) {
    ++counts->errors;
    if (counts->colour)
      std::printf("\x1b[31m%s\x1b[0m\n", text);
    else
      std::printf("%s\n", text);
  }
  std::fflush(stdout);
}

// Tells what a false result means: an empty message is the declined version prompt.
int ReportFailure(const char* what, const char* errorText, bool yes) {
  if (errorText[0] != '\0') {
    std::fprintf(stderr, "setupxfer: %s failed: %s\n", what, errorText);
  } else if (!yes) {
    std::fprintf(stderr,
                 "setupxfer: %s stopped: the database's schema version does not match the "
                 "version this library supports, and going on was declined.\n"
                 "Run again with --yes to go on anyway.\n",
                 what);
  } else {
    std::fprintf(stderr, "setupxfer: %s failed\n", what);
  }
  return kFailed;
}

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

const char* kExportUsage =
    "usage: setupxfer export KIND --db CONN [--brand ID] [-o FILE] [--yes]\n"
    "Exports one kind of data into a new workbook.\n"
    "  --db CONN     connection string, or a path to an SQLite database file\n"
    "  --brand ID    export the brand's data from a group database\n"
    "  -o FILE       where to put the workbook (default: the library's temporary file)\n"
    "  --yes         go on when the database's schema version does not match\n";

const char* kImportUsage =
    "usage: setupxfer import KIND FILE --db CONN [--brand ID] [--yes]\n"
    "Imports a filled workbook into the database, printing the log as it comes.\n"
    "  --db CONN     connection string, or a path to an SQLite database file\n"
    "  --brand ID    import into the brand's data of a group database\n"
    "  --yes         go on when the database's schema version does not match\n"
    "Exit status: 0 done, 1 failed, 2 usage error, 3 done with rejected rows or failed items.\n";

}  // namespace

int Export(int argc, char** argv) {
  Args args = Parse(argc, argv, 2, {"--db", "--brand", "-o"}, {"--yes"});
  int status = kOk;
  if (Usage(args, kExportUsage, status)) return status;
  if (args.positional.size() != 1 || !args.HasValue("--db")) {
    std::fprintf(stderr, "%s", kExportUsage);
    return kUsage;
  }
  bool group = args.HasValue("--brand");
  const Kind* kind = KindFor(args.positional[0], group, status);
  if (!kind) return status;

  std::string workbook;
  SetWorkbookHandler(&TakeWorkbook, &workbook);
  if (args.Has("--yes")) SetConfirmHandler(&ConfirmYes, nullptr);
  char errorText[kErrorBufferSize] = {0};
  std::string db = args.Value("--db");
  SxBool ok = group ? kind->groupExport(db.c_str(), args.Value("--brand").c_str(), errorText)
                    : kind->storeExport(db.c_str(), errorText);
  SetWorkbookHandler(nullptr, nullptr);
  SetConfirmHandler(nullptr, nullptr);
  if (!ok) return ReportFailure("the export", errorText, args.Has("--yes"));

  if (workbook.empty()) {
    std::fprintf(stderr, "setupxfer: the export handed over no workbook\n");
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
        std::fprintf(stderr, "setupxfer: cannot write %s: %s (the workbook stays at %s)\n",
                     target.c_str(), ec.message().c_str(), workbook.c_str());
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
  Args args = Parse(argc, argv, 2, {"--db", "--brand"}, {"--yes"});
  int status = kOk;
  if (Usage(args, kImportUsage, status)) return status;
  if (args.positional.size() != 2 || !args.HasValue("--db")) {
    std::fprintf(stderr, "%s", kImportUsage);
    return kUsage;
  }
  bool group = args.HasValue("--brand");
  const Kind* kind = KindFor(args.positional[0], group, status);
  if (!kind) return status;

  LogCounts counts;
  counts.colour = isatty(STDOUT_FILENO) != 0;
  SetLogHandler(&PrintLogLine, &counts);
  if (args.Has("--yes")) SetConfirmHandler(&ConfirmYes, nullptr);
  char errorText[kErrorBufferSize] = {0};
  std::string db = args.Value("--db");
  const std::string& file = args.positional[1];
  SxBool ok = group ? kind->groupImport(db.c_str(), args.Value("--brand").c_str(), file.c_str(),
                                        errorText)
                    : kind->storeImport(db.c_str(), file.c_str(), errorText);
  SetLogHandler(nullptr, nullptr);
  SetConfirmHandler(nullptr, nullptr);
  std::printf("%d information lines, %d error lines\n", counts.info, counts.errors);
  if (!ok) return ReportFailure("the import", errorText, args.Has("--yes"));
  return counts.errors > 0 ? kRowsRejected : kOk;
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
