// menu_bench [N] [--keep DIR]: times the menu export and import of a store
// database with a synthetic menu of N dishes (default 20000) over 200 menu
// types, through the library's exported functions, and as the reference the
// same sheet written straight with libxlsxwriter and read straight with
// libzip + expat. Each phase runs in a child process of its own so that its
// peak memory (max RSS) is its own.
#include <expat.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xlsxwriter.h>
#include <zip.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "setupxfer.h"

extern const char* const setupxfer_sql_store;

namespace {

constexpr int kTypes = 200;

using Clock = std::chrono::steady_clock;
double Since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

// ---- What a phase reports to the parent ----------------------------------------

struct Report {
  double seconds = 0;
  double readSeconds = 0;  // import: from the start line to the first type line
  long count = 0;          // rows or cells handled, or error lines
  char text[1024] = {};
  char error[256] = {};
};

struct Phase {
  Report report;
  long maxRssKb = 0;
  bool ok = false;
};

// Runs `body` in a child process and collects its report and peak memory.
Phase RunPhase(const std::function<void(Report&)>& body) {
  int fds[2];
  if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    close(fds[0]);
    Report r;
    int code = 0;
    try {
      body(r);
    } catch (const std::exception& e) {
      std::snprintf(r.error, sizeof r.error, "%s", e.what());
      code = 1;
    }
    if (write(fds[1], &r, sizeof r) != static_cast<ssize_t>(sizeof r)) code = 2;
    _exit(code);
  }
  close(fds[1]);
  Phase phase;
  ssize_t got = read(fds[0], &phase.report, sizeof phase.report);
  close(fds[0]);
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  phase.maxRssKb = usage.ru_maxrss;
  phase.ok = got == static_cast<ssize_t>(sizeof phase.report) && WIFEXITED(status) &&
             WEXITSTATUS(status) == 0;
  return phase;
}

// ---- The synthetic store ---------------------------------------------------------

void Exec(sqlite3* db, const char* sql) {
  char* err = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
    std::string msg = err ? err : "sqlite error";
    sqlite3_free(err);
    throw std::runtime_error(msg);
  }
}

sqlite3* CreateStore(const std::string& path) {
  std::filesystem::remove(path);
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) throw std::runtime_error("cannot create " + path);
  Exec(db, setupxfer_sql_store);
  Exec(db,
       "INSERT INTO Subject(SubjectCode,SubjectName,SubjectClass) VALUES"
       " ('510101','菜品收入',2), ('510102','酒水收入',2), ('217101','应交增值税',2);"
       "INSERT INTO Dept(DeptCode,DeptName,IsProduct) VALUES"
       " ('01','热菜厨房',1), ('02','凉菜间',1), ('03','面点间',1), ('04','吧台',1);");
  return db;
}

std::string TypeCode(int t) {
  const char* digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  return {digits[t / 36], digits[t % 36]};
}

// N dishes spread evenly over the types; every fourth dish has five standards.
void FillMenu(sqlite3* db, int n) {
  Exec(db, "BEGIN");
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db,
                     "INSERT INTO MenuType(MenuTypeCode,MenuTypeName,MenuTypeEName,MenuTypeAlias,"
                     "SubjectCode,DeptCode,ServiceRate,UnDiscountTag,IsDrink,Deleted) "
                     "VALUES(?,?,?,'菜品',?,?,10,0,?,0)",
                     -1, &st, nullptr);
  for (int t = 0; t < kTypes; ++t) {
    std::string code = TypeCode(t), name = "类别" + std::to_string(t + 1);
    std::string ename = "Type " + std::to_string(t + 1);
    sqlite3_bind_text(st, 1, code.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 3, ename.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 4, t % 10 == 9 ? "510102" : "510101", -1, SQLITE_STATIC);
    sqlite3_bind_text(st, 5, t % 10 == 9 ? "04" : "01", -1, SQLITE_STATIC);
    sqlite3_bind_int(st, 6, t % 10 == 9);
    sqlite3_step(st);
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  sqlite3_prepare_v2(
      db,
      "INSERT INTO MenuItem(MenuItemCode,MenuItemCName,MenuItemEName,MenuTypeCode,DeptCode,"
      "Standard,MenuItemPrice,MemberPrice,CostPrice,"
      "Standard2,MenuItemPrice2,MemberPrice2,CostPrice2,Standard3,MenuItemPrice3,MemberPrice3,CostPrice3,"
      "Standard4,MenuItemPrice4,MemberPrice4,CostPrice4,Standard5,MenuItemPrice5,MemberPrice5,CostPrice5,"
      "Mask,HelpCode,MessageTag,NeedSaleOut,CanBonusPay,MakeTime,QtyConfine,TaxRate,DishStatus,Deleted) "
      "VALUES(?,?,?,?,?,'例',?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,1,0,1,?,0,6,1,0)",
      -1, &st, nullptr);
  const char* sizes[] = {"小份", "中份", "大份", "特大份"};
  for (int i = 0; i < n; ++i) {
    char code[16];
    std::snprintf(code, sizeof code, "%05d", i + 1);
    std::string name = "招牌菜品" + std::to_string(i + 1);
    std::string ename = "Dish number " + std::to_string(i + 1);
    std::string type = TypeCode(static_cast<int>(static_cast<long>(i) * kTypes / n));
    double price = 10 + (i % 90);
    int k = 1;
    sqlite3_bind_text(st, k++, code, -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, k++, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, k++, ename.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, k++, type.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, k++, i % 3 == 0 ? "02" : "01", -1, SQLITE_STATIC);
    sqlite3_bind_double(st, k++, price);
    sqlite3_bind_double(st, k++, price * 0.9);
    sqlite3_bind_double(st, k++, price * 0.4);
    bool five = i % 4 == 0;
    for (int s = 0; s < 4; ++s) {
      if (five) {
        sqlite3_bind_text(st, k++, sizes[s], -1, SQLITE_STATIC);
        sqlite3_bind_double(st, k++, price * (s + 2));
        sqlite3_bind_double(st, k++, price * (s + 2) * 0.9);
        sqlite3_bind_double(st, k++, price * (s + 2) * 0.4);
      } else {
        for (int j = 0; j < 4; ++j) sqlite3_bind_null(st, k++);
      }
    }
    sqlite3_bind_int(st, k++, five ? 15 : 0);
    std::string help = "ZP" + std::to_string(i + 1);
    sqlite3_bind_text(st, k++, help.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(st, k++, 5 + i % 20);
    if (sqlite3_step(st) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db));
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  Exec(db, "COMMIT");
}

// ---- Raw reading with libzip + expat ---------------------------------------------

struct RawCell {
  int row;
  int column;
  std::string text;
};

// Reads every text cell of the first sheet, resolving shared strings.
class RawReader {
 public:
  std::vector<RawCell> Read(const std::string& path) {
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!zip) throw std::runtime_error("cannot open " + path);
    if (zip_name_locate(zip, "xl/sharedStrings.xml", 0) >= 0) {
      inSheet_ = false;
      Parse(zip, "xl/sharedStrings.xml");
    }
    inSheet_ = true;
    Parse(zip, "xl/worksheets/sheet1.xml");
    zip_close(zip);
    return std::move(cells_);
  }

 private:
  void Parse(zip_t* zip, const char* name) {
    zip_file_t* file = zip_fopen(zip, name, 0);
    if (!file) throw std::runtime_error(std::string("missing part ") + name);
    XML_Parser parser = XML_ParserCreate(nullptr);
    XML_SetUserData(parser, this);
    XML_SetElementHandler(parser, &RawReader::Start, &RawReader::End);
    XML_SetCharacterDataHandler(parser, &RawReader::Text);
    std::vector<char> buffer(1 << 16);
    for (;;) {
      zip_int64_t n = zip_fread(file, buffer.data(), buffer.size());
      if (n < 0) throw std::runtime_error("cannot read part");
      if (XML_Parse(parser, buffer.data(), static_cast<int>(n), n == 0) != XML_STATUS_OK)
        throw std::runtime_error("bad XML");
      if (n == 0) break;
    }
    XML_ParserFree(parser);
    zip_fclose(file);
  }

  static void Start(void* self, const XML_Char* name, const XML_Char** attrs) {
    auto* r = static_cast<RawReader*>(self);
    if (!std::strcmp(name, "t") || !std::strcmp(name, "v")) {
      r->collecting_ = true;
      if (!std::strcmp(name, "v")) r->text_.clear();
    } else if (!std::strcmp(name, "si") || !std::strcmp(name, "is")) {
      r->text_.clear();
    } else if (!std::strcmp(name, "c")) {
      r->shared_ = false;
      r->text_.clear();
      for (int i = 0; attrs[i]; i += 2) {
        if (!std::strcmp(attrs[i], "r")) r->Reference(attrs[i + 1]);
        if (!std::strcmp(attrs[i], "t")) r->shared_ = !std::strcmp(attrs[i + 1], "s");
      }
    }
  }
  static void End(void* self, const XML_Char* name) {
    auto* r = static_cast<RawReader*>(self);
    if (!std::strcmp(name, "t") || !std::strcmp(name, "v")) r->collecting_ = false;
    if (!r->inSheet_ && !std::strcmp(name, "si")) r->strings_.push_back(std::move(r->text_));
    if (r->inSheet_ && !std::strcmp(name, "c")) {
      std::string text = r->shared_ ? r->strings_.at(std::stoul(r->text_)) : std::move(r->text_);
      if (!text.empty()) r->cells_.push_back({r->row_, r->column_, std::move(text)});
      r->text_.clear();
    }
  }
  static void Text(void* self, const XML_Char* s, int len) {
    auto* r = static_cast<RawReader*>(self);
    if (r->collecting_) r->text_.append(s, static_cast<std::size_t>(len));
  }
  void Reference(const char* ref) {
    int column = 0;
    for (; *ref >= 'A' && *ref <= 'Z'; ++ref) column = column * 26 + (*ref - 'A' + 1);
    column_ = column - 1;
    row_ = std::atoi(ref);
  }

  bool inSheet_ = false, collecting_ = false, shared_ = false;
  int row_ = 0, column_ = 0;
  std::string text_;
  std::vector<std::string> strings_;
  std::vector<RawCell> cells_;
};

// ---- Raw writing with libxlsxwriter ----------------------------------------------

void RawWrite(const std::string& path, const std::string& tmpdir, const std::vector<RawCell>& cells) {
  lxw_workbook_options options = {};
  options.constant_memory = LXW_TRUE;
  options.tmpdir = const_cast<char*>(tmpdir.c_str());
  lxw_workbook* wb = workbook_new_opt(path.c_str(), &options);
  lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
  lxw_format* text = workbook_add_format(wb);
  format_set_num_format(text, "@");
  for (const auto& c : cells)
    worksheet_write_string(ws, static_cast<lxw_row_t>(c.row - 1), static_cast<lxw_col_t>(c.column),
                           c.text.c_str(), text);
  if (workbook_close(wb) != LXW_NO_ERROR) throw std::runtime_error("libxlsxwriter failed");
}

// ---- The library's phases --------------------------------------------------------

struct ImportClock {
  Clock::time_point start, firstType;
  bool started = false, writing = false;
  long errors = 0;
};

void OnImportLog(void* context, int kind, const char* text) {
  auto* c = static_cast<ImportClock*>(context);
  if (kind == 1) {
    if (++c->errors <= 3) std::fprintf(stderr, "  import error: %s\n", text);
  }
  if (kind != 0) return;
  if (!c->started && std::strncmp(text, "开始从", std::strlen("开始从")) == 0) {
    c->started = true;
    c->start = Clock::now();
  } else if (!c->writing && std::strncmp(text, "正在导入菜谱", std::strlen("正在导入菜谱")) == 0) {
    c->writing = true;
    c->firstType = Clock::now();
  }
}

void OnQuietLog(void*, int, const char*) {}

void OnWorkbook(void* context, const char* path) {
  std::snprintf(static_cast<Report*>(context)->text, sizeof(Report::text), "%s", path);
}

long FileSize(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : 0;
}

long Count(const std::string& db, const char* sql) {
  sqlite3* h = nullptr;
  sqlite3_open(db.c_str(), &h);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(h, sql, -1, &st, nullptr);
  long n = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : -1;
  sqlite3_finalize(st);
  sqlite3_close(h);
  return n;
}

void Need(const Phase& p, const char* what) {
  if (!p.ok) {
    std::fprintf(stderr, "menu_bench: %s failed: %s\n", what, p.report.error);
    std::exit(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  int n = 20000;
  std::string dir;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--keep" && i + 1 < argc) {
      dir = argv[++i];
    } else if (a == "-h" || a == "--help") {
      std::printf("usage: menu_bench [N] [--keep DIR]\n"
                  "  N      dishes in the synthetic menu (default 20000, at most 99999)\n"
                  "  --keep DIR  work in DIR and keep its files\n");
      return 0;
    } else {
      n = std::atoi(a.c_str());
    }
  }
  if (n < kTypes || n > 99999) {
    std::fprintf(stderr, "menu_bench: N must be between %d and 99999\n", kTypes);
    return 2;
  }
  bool keep = !dir.empty();
  if (!keep) {
    char tmpl[] = "/tmp/menu_bench-XXXXXX";
    if (!mkdtemp(tmpl)) return 1;
    dir = tmpl;
  }
  std::filesystem::create_directories(dir);
  std::string source = dir + "/store.db", target = dir + "/import.db";
  std::string exported = dir + "/menu.xlsx", raw = dir + "/raw.xlsx";

  std::printf("menu_bench: %d dishes over %d menu types, every fourth with five standards; "
              "%ld processors online\n", n, kTypes, sysconf(_SC_NPROCESSORS_ONLN));
  Need(RunPhase([&](Report& r) {
         auto t = Clock::now();
         sqlite3* db = CreateStore(source);
         FillMenu(db, n);
         sqlite3_close(db);
         sqlite3_close(CreateStore(target));
         r.seconds = Since(t);
       }),
       "generating the databases");

  Phase exportPhase = RunPhase([&](Report& r) {
    SetLogHandler(&OnQuietLog, nullptr);
    SetWorkbookHandler(&OnWorkbook, &r);
    auto t = Clock::now();
    if (!ExportMenu(source.c_str(), r.error)) throw std::runtime_error(r.error);
    r.seconds = Since(t);
  });
  Need(exportPhase, "ExportMenu");
  std::filesystem::rename(exportPhase.report.text, exported);
  long fileSize = FileSize(exported);

  Phase rawWrite = RunPhase([&](Report& r) {
    std::vector<RawCell> cells = RawReader().Read(exported);  // not timed
    auto t = Clock::now();
    RawWrite(raw, dir, cells);
    r.seconds = Since(t);
    r.count = static_cast<long>(cells.size());
  });
  Need(rawWrite, "the libxlsxwriter write");

  Phase rawRead = RunPhase([&](Report& r) {
    auto t = Clock::now();
    std::vector<RawCell> cells = RawReader().Read(exported);
    r.seconds = Since(t);
    r.count = static_cast<long>(cells.size());
  });
  Need(rawRead, "the libzip + expat read");

  Phase importPhase = RunPhase([&](Report& r) {
    ImportClock clock;
    SetLogHandler(&OnImportLog, &clock);
    auto t = Clock::now();
    if (!ImportMenu(target.c_str(), exported.c_str(), r.error)) throw std::runtime_error(r.error);
    r.seconds = Since(t);
    r.readSeconds = std::chrono::duration<double>(clock.firstType - clock.start).count();
    r.count = clock.errors;
  });
  Need(importPhase, "ImportMenu");
  long imported = Count(target, "select count(*) from MenuItem");
  if (imported != n || importPhase.report.count != 0)
    std::fprintf(stderr, "menu_bench: the import wrote %ld of %d dishes with %ld error lines\n",
                 imported, n, importPhase.report.count);

  double rows = n + kTypes;
  double mb = 1024.0 * 1024.0;
  auto line = [&](const char* name, double seconds, long rssKb, const std::string& ratio) {
    std::printf("%-34s %9.3f %12.0f %10.1f %9.1f   %s\n", name, seconds, rows / seconds,
                rssKb / 1024.0, rssKb * 1024.0 / static_cast<double>(fileSize), ratio.c_str());
  };
  auto ratio = [](const char* what, double a, double b) {
    char s[64];
    std::snprintf(s, sizeof s, "%s %.2fx", what, a / b);
    return std::string(s);
  };
  const Report& im = importPhase.report;
  std::printf("workbook: %.2f MB, %ld text cells, %.0f data rows\n\n", fileSize / mb,
              rawRead.report.count, rows);
  std::printf("%-34s %9s %12s %10s %9s   %s\n", "phase", "seconds", "rows/s", "maxRSS MB",
              "RSS/file", "ratio");
  line("ExportMenu", exportPhase.report.seconds, exportPhase.maxRssKb,
       ratio("export/raw write", exportPhase.report.seconds, rawWrite.report.seconds));
  line("  raw write (libxlsxwriter)", rawWrite.report.seconds, rawWrite.maxRssKb, "");
  line("ImportMenu", im.seconds, importPhase.maxRssKb, "");
  line("  reading phase", im.readSeconds, importPhase.maxRssKb,
       ratio("read/raw read", im.readSeconds, rawRead.report.seconds));
  line("  writing phase", im.seconds - im.readSeconds, importPhase.maxRssKb, "");
  line("  raw read (libzip + expat)", rawRead.report.seconds, rawRead.maxRssKb, "");

  if (!keep) std::filesystem::remove_all(dir);
  return 0;
}
