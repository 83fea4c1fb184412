// deptusers_bench [N]: times the departments-and-users export and import of a
// store database with N users (default 20000) over 200 departments, through
// the library's exported functions: the export, the import into an empty
// store, and the import back into the store it came from (which must change
// no user). Run by hand from a Release build.
#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "setupxfer.h"

extern const char* const setupxfer_sql_store;

namespace {

constexpr int kDepts = 200;

using Clock = std::chrono::steady_clock;
double Since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

void Exec(sqlite3* db, const std::string& sql) {
  char* err = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    std::string msg = err ? err : "sqlite error";
    sqlite3_free(err);
    throw std::runtime_error(msg);
  }
}

// A code of `width` characters in base 36.
std::string Code(int n, int width) {
  const char* digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::string s(width, '0');
  for (int i = width - 1; i >= 0; --i, n /= 36) s[i] = digits[n % 36];
  return s;
}

void CreateStore(const std::string& path, int users) {
  std::filesystem::remove(path);
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) throw std::runtime_error("cannot create " + path);
  Exec(db, setupxfer_sql_store);
  Exec(db, "INSERT INTO CardType(CardTypeCode,CardTypeName) VALUES ('V1','会员九折'), ('V2','会员八五折');"
           "INSERT INTO S_Store(StoreCode,StoreName) VALUES (1,'主仓库');");
  if (users == 0) return (void)sqlite3_close(db);
  Exec(db, "BEGIN");
  for (int d = 0; d < kDepts; ++d)
    Exec(db, "INSERT INTO Dept(DeptCode,DeptName,IsProduct) VALUES('" + Code(d, 2) + "','部门" +
                 std::to_string(d + 1) + "'," + std::to_string(d % 4 == 0) + ")");
  // Whole roles: ordering, cashier and manager; every tenth user also holds
  // part of a role, which an unchanged import must keep.
  const char* rights[] = {"70660,-2012872703,131073", "1215632902,-1979317719,131073",
                          "-736100472,-2084605385,2293764"};
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db,
                     "INSERT INTO HotelUser(UserID,UserName,DeptCode,Password,Rights,Rights2,Rights3,Sex,Phone,"
                     "CardTypeList,OrderLimitAmt,MaxPreDiscount,Deleted,PassNo) "
                     "VALUES(?,?,?,'x',?,?,?,?,?,?,0,?,0,?)",
                     -1, &st, nullptr);
  for (int u = 0; u < users; ++u) {
    std::string id = Code(u, 4), name = "员工" + std::to_string(u + 1), dept = Code(u * kDepts / users, 2);
    std::string phone = "138" + std::to_string(10000000 + u), passno = "1101011990" + std::to_string(10000000 + u);
    int a = 0, b = 0, c = 0;
    std::sscanf(rights[u % 3], "%d,%d,%d", &a, &b, &c);
    if (u % 10 == 0) c |= 0x100;
    int k = 1;
    sqlite3_bind_text(st, k++, id.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, k++, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, k++, dept.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(st, k++, a);
    sqlite3_bind_int(st, k++, b);
    sqlite3_bind_int(st, k++, c);
    sqlite3_bind_int(st, k++, u % 2);
    sqlite3_bind_text(st, k++, phone.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, k++, u % 5 == 0 ? "V1\r\nV2\r\n" : "", -1, SQLITE_STATIC);
    sqlite3_bind_double(st, k++, u % 7 == 0 ? 100 : 0);
    sqlite3_bind_text(st, k++, passno.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(st) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db));
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  Exec(db, "COMMIT");
  sqlite3_close(db);
}

// A digest of every user row, to tell whether an import changed any.
std::string UsersDigest(const std::string& path) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "select count(*), total(Rights), total(Rights2), total(Rights3), group_concat(UserName) "
                         "from (select * from HotelUser order by UserID)", -1, &st, nullptr);
  std::string digest;
  if (sqlite3_step(st) == SQLITE_ROW)
    for (int i = 0; i < 4; ++i) digest += std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, i))) + ",";
  if (sqlite3_column_bytes(st, 4) > 0) digest += std::to_string(std::hash<std::string>{}(
      reinterpret_cast<const char*>(sqlite3_column_text(st, 4))));
  sqlite3_finalize(st);
  sqlite3_close(db);
  return digest;
}

long errorLines = 0;
void OnLog(void*, int kind, const char* text) {
  if (kind == 1 && ++errorLines <= 3) std::fprintf(stderr, "  import error: %s\n", text);
}
std::string exported;
void OnWorkbook(void*, const char* path) { exported = path; }

}  // namespace

int main(int argc, char** argv) {
  int n = argc > 1 ? std::atoi(argv[1]) : 20000;
  if (n < kDepts || n > 36 * 36 * 36 * 36) {
    std::fprintf(stderr, "usage: deptusers_bench [N]   (N users, 200 to 1679616)\n");
    return 2;
  }
  char tmpl[] = "/tmp/deptusers_bench-XXXXXX";
  if (!mkdtemp(tmpl)) return 1;
  std::string dir = tmpl, source = dir + "/store.db", target = dir + "/empty.db";
  CreateStore(source, n);
  CreateStore(target, 0);
  SetLogHandler(&OnLog, nullptr);
  SetWorkbookHandler(&OnWorkbook, nullptr);
  char error[256] = {};
  std::printf("deptusers_bench: %d users over %d departments\n", n, kDepts);

  auto t = Clock::now();
  if (!ExportDeptUsers(source.c_str(), error)) return std::fprintf(stderr, "export: %s\n", error), 1;
  std::printf("%-36s %8.3f s %10.0f users/s\n", "ExportDeptUsers", Since(t), n / Since(t));

  t = Clock::now();
  if (!ImportDeptUsers(target.c_str(), exported.c_str(), error)) return std::fprintf(stderr, "import: %s\n", error), 1;
  double s = Since(t);
  std::printf("%-36s %8.3f s %10.0f users/s\n", "ImportDeptUsers into an empty store", s, n / s);

  std::string before = UsersDigest(source);
  t = Clock::now();
  if (!ImportDeptUsers(source.c_str(), exported.c_str(), error)) return std::fprintf(stderr, "import: %s\n", error), 1;
  s = Since(t);
  std::printf("%-36s %8.3f s %10.0f users/s\n", "ImportDeptUsers unchanged, in place", s, n / s);

  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  bool unchanged = UsersDigest(source) == before;
  std::printf("max RSS %.1f MB; %ld error lines; the unchanged import %s\n", usage.ru_maxrss / 1024.0, errorLines,
              unchanged ? "changed no user" : "CHANGED USERS");
  std::filesystem::remove_all(dir);
  std::filesystem::remove(exported);
  return errorLines == 0 && unchanged ? 0 : 1;
}
