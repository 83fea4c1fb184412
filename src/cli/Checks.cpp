#include "Checks.h"

#include <filesystem>
#include <string_view>

#include "base/Error.h"
#include "base/Text.h"
#include "db/Database.h"

namespace cli {

namespace {

constexpr std::size_t kBrandSize = 8;
constexpr std::size_t kFileNameMax = 255;
constexpr std::size_t kBrandsListed = 10;

bool EndsWithIgnoringCase(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() &&
         sx::SameTextIgnoringCase(s.substr(s.size() - suffix.size()), suffix);
}

// The last component of a path as given, without touching the file system.
std::string_view FileName(std::string_view path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string BrandProblem(const std::string& connection, const std::string& brand) {
  if (brand.empty()) return "--brand is empty; give the brand ID of the group database";
  if (sx::Cp936Width(brand) > kBrandSize)
    return "--brand '" + brand + "' is too long: a brand ID has at most 8 characters " +
           "(a Chinese character counts as 2)";
  std::string brands;
  try {
    sx::db::Connection db;
    db.SetConnectionString(connection);
    db.Open();
    sx::db::Query q(db);
    // A store database has a Group_Brand table too; the library says what a
    // store database given to a group function is.
    q.SetSQL("select count(*) from Group_Version");
    q.Open();
    q.Close();
    q.SetSQL("select BrandID from Group_Brand order by BrandID");
    q.Open();
    std::size_t listed = 0;
    for (; !q.Eof(); q.Next()) {
      std::string id = q.Fields(0).AsString();
      if (id == brand) return "";
      if (listed++ < kBrandsListed) brands += (brands.empty() ? "" : ", ") + id;
      else if (listed == kBrandsListed + 1) brands += ", ...";
    }
  } catch (const std::exception&) {
    return "";  // not readable here (or no group database): the library says why
  }
  return "brand '" + brand + "' is not in the database's Group_Brand table" +
         (brands.empty() ? std::string(", which is empty") : " (its brands: " + brands + ")");
}

std::string DatabaseFileProblem(const std::string& path) {
  std::string_view name = FileName(path);
  if (name.empty()) return "'" + path + "' names a folder, not a database file";
  if (name.size() > kFileNameMax)
    return "the file name is " + std::to_string(name.size()) + " bytes long; at most " +
           std::to_string(kFileNameMax) + " bytes";
  if (sx::Trim(path) != path)
    return "'" + path + "' has blanks at its start or end; the other commands would not find it";
  if (!EndsWithIgnoringCase(name, ".db") && !EndsWithIgnoringCase(name, ".sqlite") &&
      !EndsWithIgnoringCase(name, ".sqlite3"))
    return "'" + path + "' does not end in .db, .sqlite or .sqlite3, which the other commands " +
           "need to open it by its path";
  return "";
}

std::string WorkbookTargetProblem(const std::string& path, bool replace) {
  std::string_view name = FileName(path);
  if (!EndsWithIgnoringCase(name, ".xlsx") || name.size() == 5)
    return "-o '" + path + "': the workbook is an .xlsx file; give a name ending in .xlsx";
  if (name.size() > kFileNameMax)
    return "-o: the file name is " + std::to_string(name.size()) + " bytes long; at most " +
           std::to_string(kFileNameMax) + " bytes";
  std::error_code ec;
  auto status = std::filesystem::symlink_status(path, ec);
  if (std::filesystem::is_directory(status)) return "-o '" + path + "' is a folder";
  if (std::filesystem::exists(status) && !replace)
    return "-o '" + path + "' exists already; add --force to replace it";
  return "";
}

}  // namespace cli
