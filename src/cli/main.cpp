// setupxfer: the command-line tool. Transfers go through the functions the
// library exports, exactly as a host calls them.
#include <cstdio>
#include <cstring>
#include <string>

#include "Commands.h"

namespace {

int Usage(FILE* out) {
  std::fprintf(out,
               "usage: setupxfer COMMAND [ARGS]\n"
               "Moves a restaurant application's setup data between its database and workbooks.\n"
               "\n"
               "commands:\n"
               "  init-db PATH --edition store|group [--brand ID] [--sample]\n"
               "                 create a new SQLite database\n"
               "  init-db --print-ddl sqlite|sqlserver --edition store|group\n"
               "                 print the schema of an edition in an engine's dialect\n"
               "  export KIND --db CONN [--brand ID] [-o FILE] [--trace FILE] [--yes]\n"
               "                 export one kind of data into a new workbook\n"
               "  import KIND FILE --db CONN [--brand ID] [--check] [--report FILE]\n"
               "                [--trace FILE] [--yes]\n"
               "                 import a filled workbook\n"
               "  template KIND [--brand ID] -o FILE\n"
               "                 write the kind's empty workbook, without a database\n"
               "  kinds          list the kinds of data\n"
               "  sheet FILE     print every non-empty cell as an import reads it\n"
               "\n"
               "'setupxfer COMMAND --help' tells more about a command.\n");
  return out == stdout ? cli::kOk : cli::kUsage;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "setupxfer: COMMAND is missing\n");
    return Usage(stderr);
  }
  std::string command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") return Usage(stdout);
  if (command == "init-db") return cli::InitDb(argc, argv);
  if (command == "export") return cli::Export(argc, argv);
  if (command == "import") return cli::Import(argc, argv);
  if (command == "template") return cli::Template(argc, argv);
  if (command == "kinds") return cli::ListKinds(argc, argv);
  if (command == "sheet") return RunSheetCommand(argc, argv);
  std::fprintf(stderr, "setupxfer: unknown command '%s'\n", command.c_str());
  return Usage(stderr);
}
