// export, import, template and kinds: run the library's exported functions as a host does.
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>

#include <nlohmann/json.hpp>

#include "Args.h"
#include "Checks.h"
#include "Commands.h"
#include "Kinds.h"
#include "base/Text.h"

namespace cli {

namespace {

constexpr std::size_t kErrorBufferSize = 256;

int ConfirmYes(void*, const char*, const char*) { return 1; }

// Collects the path of the workbook an export hands over.
void TakeWorkbook(void* context, const char* path) { *static_cast<std::string*>(context) = path; }

// Prints the import's log lines as they come, error lines in red on a terminal.
void PrintLogLine(void* context, int kind, const char* text) {
  if (kind == 2) return;
  if (kind == 1 && *static_cast<bool*>(context))
    std::printf("\x1b[31m%s\x1b[0m\n", text);
  else
    std::printf("%s\n", text);
  std::fflush(stdout);
}

// Collects the report of an import.
void TakeReport(void* context, const char* json) { *static_cast<std::string*>(context) = json; }

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

// Moves a handed-over workbook to `target`; false, having said why, when it
// cannot be written there.
bool MoveWorkbook(const std::string& workbook, const std::filesystem::path& target, const char* what) {
  std::error_code ec;
  std::filesystem::rename(workbook, target, ec);
  if (!ec) return true;
  // Another file system: copy, then remove the temporary file.
  ec.clear();
  std::filesystem::copy_file(workbook, target, std::filesystem::copy_options::overwrite_existing, ec);
  if (ec) {
    std::fprintf(stderr, "setupxfer: %s failed: cannot write %s: %s (the workbook stays at %s)\n", what,
                 target.c_str(), ec.message().c_str(), workbook.c_str());
    return false;
  }
  std::filesystem::remove(workbook, ec);
  return true;
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
    "usage: setupxfer import KIND FILE --db CONN [--brand ID] [--check] [--report FILE] [--yes]\n"
    "                        [--trace FILE]\n"
    "Imports a filled workbook into the database, printing the log as it comes, then\n"
    "what was done and how long it took: a line starting with 正在导入 is an item,\n"
    "written unless an error line follows it; an error line starting with 第 (a row\n"
    "number) is a rejected row. A failed import prints \"failed\" and its reason instead.\n"
    "  --db CONN     connection string, or a path to an SQLite database file\n"
    "  --brand ID    import into the brand's data of a group database\n"
    "  --check       run the whole import and write nothing: the log tells what the\n"
    "                import would do; the database is left as it was\n"
    "  --report FILE write what the import did as JSON: each item written or not with\n"
    "                its messages, the rejected rows, the totals, the file, kind,\n"
    "                edition, brand, start and end time (also for a failed import)\n"
    "  --yes         go on when the database's schema version does not match\n"
    "  --trace FILE  write every statement sent to the database, its parameters and\n"
    "                the rows it read or affected to FILE (never a password)\n"
    "Exit status: 0 done, 1 failed, 2 usage error, 3 done with rejected rows or failed items.\n";

const char* kTemplateUsage =
    "usage: setupxfer template KIND [--brand ID] -o FILE.xlsx [--force]\n"
    "Writes the kind's empty workbook: every section's marker row and column captions,\n"
    "the columns formatted as text, no data. No database is needed; importing the\n"
    "untouched template changes nothing.\n"
    "  --brand ID    the template of a group database's brand (the ID goes into the marker)\n"
    "  -o FILE.xlsx  the new workbook\n"
    "  --force       replace FILE.xlsx when it exists\n";

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
    if (!MoveWorkbook(workbook, args.Value("-o"), "the export")) return kFailed;
    workbook = args.Value("-o");
  }
  std::printf("%s\n", workbook.c_str());
  return kOk;
}

int Import(int argc, char** argv) {
  Args args = Parse(argc, argv, 2, {"--db", "--brand", "--report", "--trace"}, {"--yes", "--check"});
  int status = kOk;
  if (Usage(args, kImportUsage, status)) return status;
  if (std::string problem = MissingArgument(args, {"KIND", "FILE"}); !problem.empty())
    return UsageError(problem, kImportUsage);
  bool group = args.HasValue("--brand");
  const Kind* kind = KindFor(args.positional[0], group, status);
  if (!kind) return status;
  if (!BrandAccepted(args, status)) return status;
  // The report's file must be writable before anything is imported.
  if (args.HasValue("--report") && !std::ofstream(args.Value("--report"), std::ios::binary | std::ios::app))
    return UsageError("cannot write the report '" + args.Value("--report") + "'", "");
  if (!TraceStarted(args, status)) return status;

  bool colour = isatty(STDOUT_FILENO) != 0;
  std::string report;
  SetLogHandler(&PrintLogLine, &colour);
  SetReportHandler(&TakeReport, &report);
  if (args.Has("--yes")) SetConfirmHandler(&ConfirmYes, nullptr);
  bool check = args.Has("--check");
  SetCheckOnly(check ? 1 : 0);
  char errorText[kErrorBufferSize] = {0};
  std::string db = args.Value("--db");
  const std::string& file = args.positional[1];
  auto started = std::chrono::steady_clock::now();
  SxBool ok = group ? kind->groupImport(db.c_str(), args.Value("--brand").c_str(), file.c_str(),
                                        errorText)
                    : kind->storeImport(db.c_str(), file.c_str(), errorText);
  std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
  SetLogHandler(nullptr, nullptr);
  SetReportHandler(nullptr, nullptr);
  SetConfirmHandler(nullptr, nullptr);
  SetTraceFile(nullptr);
  SetCheckOnly(0);

  if (args.HasValue("--report") && !report.empty()) {
    std::ofstream out(args.Value("--report"), std::ios::binary | std::ios::trunc);
    out << report << "\n";
    out.close();
    if (!out) {
      std::fprintf(stderr, "setupxfer: cannot write the report %s\n", args.Value("--report").c_str());
      return kFailed;
    }
  }
  if (!ok) return ReportFailure("the import", errorText, args.Has("--yes"));

  nlohmann::json parsed = nlohmann::json::parse(report, nullptr, false);
  nlohmann::json totals = parsed.is_object() ? parsed.value("totals", nlohmann::json::object()) : nlohmann::json::object();
  int written = totals.value("written", 0), failed = totals.value("failed", 0);
  int rejected = totals.value("rejectedRows", 0), others = totals.value("otherErrors", 0);
  std::string summary = Plural(written, "item", "items") + (check ? " would be written, " : " written, ") +
                        Plural(rejected, "row", "rows") + " rejected";
  if (failed > 0) summary += ", " + Plural(failed, "item", "items") + " failed";
  if (others > 0) summary += ", " + Plural(others, "other error", "other errors");
  char seconds[64];
  std::snprintf(seconds, sizeof seconds, " in %.1f s%s", took.count(), check ? "; nothing was written" : "");
  std::printf("%s%s\n", summary.c_str(), seconds);
  return rejected + failed + others > 0 ? kRowsRejected : kOk;
}

namespace {

// A temporary folder, removed with the object.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "setupxfer-XXXXXX").string();
    if (mkdtemp(pattern.data())) path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& Path() const { return path_; }  // empty when it could not be made

 private:
  std::string path_;
};

}  // namespace

int Template(int argc, char** argv) {
  Args args = Parse(argc, argv, 2, {"--brand", "-o"}, {"--force"});
  int status = kOk;
  if (Usage(args, kTemplateUsage, status)) return status;
  if (args.positional.empty()) return UsageError("KIND is missing", kTemplateUsage);
  if (args.positional.size() > 1) return UsageError("unexpected argument '" + args.positional[1] + "'", kTemplateUsage);
  if (!args.HasValue("-o")) return UsageError("-o is missing: give the new workbook, e.g. menu.xlsx", kTemplateUsage);
  bool group = args.HasValue("--brand");
  const Kind* kind = KindFor(args.positional[0], group, status);
  if (!kind) return status;
  std::string brand = args.Value("--brand");
  if (group && (sx::Trim(brand).empty() || sx::Cp936Width(brand) > 8))
    return UsageError("a brand ID has 1 to 8 characters (a Chinese character counts as 2)", "");
  if (std::string problem = WorkbookTargetProblem(args.Value("-o"), args.Has("--force")); !problem.empty())
    return UsageError(problem, "");

  // The kind's export from an empty database of the edition writes every
  // section's marker and captions and no data row.
  ScratchFolder scratch;
  if (scratch.Path().empty()) {
    std::fprintf(stderr, "setupxfer: the template failed: cannot make a temporary folder\n");
    return kFailed;
  }
  std::string db = scratch.Path() + "/empty.db";
  if (std::string failure = CreateDatabase(db, group, brand, false); !failure.empty()) {
    std::fprintf(stderr, "setupxfer: the template failed: %s\n", failure.c_str());
    return kFailed;
  }
  std::string workbook;
  SetWorkbookHandler(&TakeWorkbook, &workbook);
  char errorText[kErrorBufferSize] = {0};
  SxBool ok = group ? kind->groupExport(db.c_str(), brand.c_str(), errorText) : kind->storeExport(db.c_str(), errorText);
  SetWorkbookHandler(nullptr, nullptr);
  if (!ok) return ReportFailure("the template", errorText, true);
  if (workbook.empty()) {
    std::fprintf(stderr, "setupxfer: the template failed: the export handed over no workbook\n");
    return kFailed;
  }
  if (!MoveWorkbook(workbook, args.Value("-o"), "the template")) return kFailed;
  std::printf("%s\n", args.Value("-o").c_str());
  return kOk;
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
