#include "Args.h"

namespace cli {

Args Parse(int argc, char** argv, int first, const std::set<std::string>& withValue,
           const std::set<std::string>& flags) {
  Args args;
  for (int i = first; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      args.flags.insert("--help");
    } else if (withValue.count(a)) {
      if (i + 1 >= argc) {
        args.error = a + " needs a value";
        return args;
      }
      args.values[a] = argv[++i];
    } else if (flags.count(a)) {
      args.flags.insert(a);
    } else if (a.size() > 1 && a[0] == '-') {
      args.error = "unknown option " + a;
      return args;
    } else {
      args.positional.push_back(a);
    }
  }
  return args;
}

}  // namespace cli
