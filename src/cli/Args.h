// A small command-line parser: positional arguments and --options.
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

namespace cli {

struct Args {
  std::vector<std::string> positional;
  std::map<std::string, std::string> values;  // options that take a value
  std::set<std::string> flags;                // options without a value
  std::string error;                          // set when the command line is wrong

  bool Has(const std::string& flag) const { return flags.count(flag) != 0; }
  std::string Value(const std::string& option) const {
    auto it = values.find(option);
    return it == values.end() ? std::string() : it->second;
  }
  bool HasValue(const std::string& option) const { return values.count(option) != 0; }
};

// Parses argv[first..]; `withValue` lists the options that take a value,
// `flags` the ones that do not. "--help" and "-h" are always flags.
Args Parse(int argc, char** argv, int first, const std::set<std::string>& withValue,
           const std::set<std::string>& flags);

}  // namespace cli
