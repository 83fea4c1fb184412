// setupxfer: the command-line tool. It calls the library only through the
// functions the library exports, as a host does.
#include <cstdio>
#include <cstring>
#include <string>

#include "setupxfer.h"

namespace {

int Usage(FILE* out) {
  std::fprintf(out,
               "usage: setupxfer COMMAND [ARGS]\n"
               "Moves a restaurant application's setup data between its database and workbooks.\n"
               "\n"
               "commands:\n"
               "  --help      show this text\n");
  return out == stdout ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage(stderr);
  std::string command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") return Usage(stdout);
  std::fprintf(stderr, "setupxfer: unknown command '%s'\n", command.c_str());
  return Usage(stderr);
}
