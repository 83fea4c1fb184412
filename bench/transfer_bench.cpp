// transfer_bench [N] [--kind NAME] [--keep DIR]: times the export and import of
// each kind through the library's exported functions on a store database with
// synthetic rows (N dishes for the menu, default 20000), against three raw
// references: the same sheet written straight with libxlsxwriter, read
// straight with libzip + expat, and the same rows written straight into
// SQLite with the statements and transactions of the import. Each phase runs
// in a child process of its own so that its peak memory (max RSS) is its own.
// Each kind is one entry of kKinds.
#include <expat.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xlsxwriter.h>
#include <zip.h>

#include <chrono>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <filesystem>
#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "setupxfer.h"

extern const char* const setupxfer_sql_store;

namespace {

using Clock = std::chrono::steady_clock;
double Since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

// ---- What a phase reports to the parent ----------------------------------------

struct Report {
  double seconds = 0;
  double readSeconds = 0;  // import: from its start line to its first item line
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

sqlite3* OpenDb(const std::string& path) {
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) throw std::runtime_error("cannot open " + path);
  return db;
}

sqlite3* CreateStore(const std::string& path) {
  std::filesystem::remove(path);
  sqlite3* db = OpenDb(path);
  Exec(db, setupxfer_sql_store);
  Exec(db,
       "INSERT INTO Subject(SubjectCode,SubjectName,SubjectClass) VALUES"
       " ('510101','菜品收入',2), ('510102','酒水收入',2), ('217101','应交增值税',2);"
       "INSERT INTO Dept(DeptCode,DeptName,IsProduct) VALUES"
       " ('01','热菜厨房',1), ('02','凉菜间',1), ('03','面点间',1), ('04','吧台',1);");
  return db;
}

sqlite3_stmt* PrepareOrThrow(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &st, nullptr) != SQLITE_OK)
    throw std::runtime_error(std::string(sqlite3_errmsg(db)) + " in: " + sql);
  return st;
}

void StepOrThrow(sqlite3* db, sqlite3_stmt* st) {
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
  }
  if (rc != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db));
  sqlite3_reset(st);
}

constexpr int kMenuTypes = 200;

std::string TypeCode(int t) {
  const char* digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  return {digits[t / 36], digits[t % 36]};
}

// N dishes spread evenly over the types; every fourth dish has five standards.
void FillMenu(sqlite3* db, int n) {
  Exec(db, "BEGIN");
  sqlite3_stmt* st = PrepareOrThrow(db,
                                    "INSERT INTO MenuType(MenuTypeCode,MenuTypeName,MenuTypeEName,MenuTypeAlias,"
                                    "SubjectCode,DeptCode,ServiceRate,UnDiscountTag,IsDrink,Deleted) "
                                    "VALUES(?,?,?,'菜品',?,?,10,0,?,0)");
  for (int t = 0; t < kMenuTypes; ++t) {
    std::string code = TypeCode(t), name = "类别" + std::to_string(t + 1);
    std::string ename = "Type " + std::to_string(t + 1);
    sqlite3_bind_text(st, 1, code.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 3, ename.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 4, t % 10 == 9 ? "510102" : "510101", -1, SQLITE_STATIC);
    sqlite3_bind_text(st, 5, t % 10 == 9 ? "04" : "01", -1, SQLITE_STATIC);
    sqlite3_bind_int(st, 6, t % 10 == 9);
    StepOrThrow(db, st);
  }
  sqlite3_finalize(st);
  st = PrepareOrThrow(
      db,
      "INSERT INTO MenuItem(MenuItemCode,MenuItemCName,MenuItemEName,MenuTypeCode,DeptCode,"
      "Standard,MenuItemPrice,MemberPrice,CostPrice,"
      "Standard2,MenuItemPrice2,MemberPrice2,CostPrice2,Standard3,MenuItemPrice3,MemberPrice3,CostPrice3,"
      "Standard4,MenuItemPrice4,MemberPrice4,CostPrice4,Standard5,MenuItemPrice5,MemberPrice5,CostPrice5,"
      "Mask,HelpCode,MessageTag,NeedSaleOut,CanBonusPay,MakeTime,QtyConfine,TaxRate,DishStatus,Deleted) "
      "VALUES(?,?,?,?,?,'例',?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,1,0,1,?,0,6,1,0)");
  const char* sizes[] = {"小份", "中份", "大份", "特大份"};
  for (int i = 0; i < n; ++i) {
    char code[16];
    std::snprintf(code, sizeof code, "%05d", i + 1);
    std::string name = "招牌菜品" + std::to_string(i + 1);
    std::string ename = "Dish number " + std::to_string(i + 1);
    std::string type = TypeCode(static_cast<int>(static_cast<long>(i) * kMenuTypes / n));
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
    StepOrThrow(db, st);
  }
  sqlite3_finalize(st);
  Exec(db, "COMMIT");
}

// N distinct texts in a one-column list table.
void FillList(sqlite3* db, const char* table, const char* column, const char* prefix, int n) {
  Exec(db, "BEGIN");
  sqlite3_stmt* st =
      PrepareOrThrow(db, std::string("INSERT INTO ") + table + "(" + column + ") VALUES(?)");
  for (int i = 0; i < n; ++i) {
    std::string text = prefix + std::to_string(i + 1);
    sqlite3_bind_text(st, 1, text.c_str(), -1, SQLITE_TRANSIENT);
    StepOrThrow(db, st);
  }
  sqlite3_finalize(st);
  Exec(db, "COMMIT");
}

// ---- The raw SQLite reference ------------------------------------------------------

// The rows of a select on the source database, read as the writing goes:
// reading them costs a few per cent of writing them, and holds no memory.
class Source {
 public:
  Source(sqlite3* db, const std::string& sql) : st_(PrepareOrThrow(db, sql)) {
    for (int i = 0; i < sqlite3_column_count(st_); ++i) columns.emplace_back(sqlite3_column_name(st_, i));
  }
  ~Source() { sqlite3_finalize(st_); }
  Source(const Source&) = delete;
  Source& operator=(const Source&) = delete;

  // Moves to the next row; false after the last.
  bool Next() {
    started_ = true;
    return !done_ && !(done_ = sqlite3_step(st_) != SQLITE_ROW);
  }
  // Whether the current row's column 0 is `key`: walks the rows of one parent
  // when both selects are ordered by the parent's key.
  bool Under(const std::string& key) const { return started_ && !done_ && Text(0) == key; }
  sqlite3_value* Value(std::size_t column) const { return sqlite3_column_value(st_, static_cast<int>(column)); }
  std::string Text(std::size_t column) const {
    const unsigned char* t = sqlite3_column_text(st_, static_cast<int>(column));
    return t ? reinterpret_cast<const char*>(t) : "";
  }
  std::size_t Column(const char* name) const {
    std::size_t c = Find(name);
    if (c == columns.size()) throw std::runtime_error(std::string("no source column ") + name);
    return c;
  }
  // The column of that name, letter case aside; columns.size() when none.
  std::size_t Find(const char* name) const {
    std::size_t c = 0;
    while (c < columns.size() && strcasecmp(columns[c].c_str(), name) != 0) ++c;
    return c;
  }

  std::vector<std::string> columns;

 private:
  sqlite3_stmt* st_;
  bool started_ = false, done_ = false;
};

// One of the import's statements, prepared once, its ":name" parameters
// taking their values from the source column that the insert statement
// `insert` pairs with the same name.
class RawStatement {
 public:
  RawStatement(sqlite3* db, const char* sql, const char* insert, const Source& source) : db_(db) {
    st_ = PrepareOrThrow(db, sql);
    // The names of "insert into T(columns) values(values)", blanks dropped.
    std::string text;
    for (const char* c = insert; *c; ++c)
      if (!std::isspace(static_cast<unsigned char>(*c))) text += *c;
    auto list = [&](std::size_t open) {
      std::vector<std::string> items;
      std::size_t close = text.find(')', open);
      std::string inner = text.substr(open + 1, close - open - 1);
      for (std::size_t a = 0, b; a <= inner.size(); a = b + 1) {
        b = inner.find(',', a);
        if (b == std::string::npos) b = inner.size();
        items.push_back(inner.substr(a, b - a));
      }
      return items;
    };
    std::size_t values = text.find(")values(");
    if (values == std::string::npos) throw std::runtime_error(std::string("not an insert: ") + insert);
    auto columns = list(text.find('('));
    auto params = list(values + 7);
    for (int i = 1; i <= sqlite3_bind_parameter_count(st_); ++i) {
      std::string name = sqlite3_bind_parameter_name(st_, i);
      std::size_t k = 0;
      while (k < params.size() && params[k] != name) ++k;
      if (k >= columns.size()) throw std::runtime_error("no column for " + name);
      sourceColumn_.push_back(source.Column(columns[k].c_str()));
    }
  }
  ~RawStatement() { sqlite3_finalize(st_); }
  RawStatement(const RawStatement&) = delete;
  RawStatement& operator=(const RawStatement&) = delete;

  // Runs with the values of the source's current row; the count of rows changed.
  int Run(const Source& row) {
    for (std::size_t i = 0; i < sourceColumn_.size(); ++i)
      sqlite3_bind_value(st_, static_cast<int>(i + 1), row.Value(sourceColumn_[i]));
    StepOrThrow(db_, st_);
    return sqlite3_changes(db_);
  }

 private:
  sqlite3* db_;
  sqlite3_stmt* st_ = nullptr;
  std::vector<std::size_t> sourceColumn_;
};

// The import's statements, as it issues them into a store database.
constexpr const char* kMenuTypeUpdate = R"(
update MenuType
set MenuTypeName=:tname,MenuTypeEName=:tname2,MenuTypeEName2=:tname3,SubjectCode=:subjectcode,
    ServiceRate=:servicerate,DeptCode=:deptcode,MenuTypeAlias=:menutypealias,UnDiscountTag=:undiscounttag,
    IsDrink=:isdrink,Deleted=0
where MenuTypeCode=:tcode)";

constexpr const char* kMenuTypeInsert = R"(
insert into MenuType(MenuTypeCode,MenuTypeName,MenuTypeEName,MenuTypeEName2,SubjectCode,ServiceRate,DeptCode,
                     MenuTypeAlias,UnDiscountTag,IsDrink,Deleted)
values(:tcode,:tname,:tname2,:tname3,:subjectcode,:servicerate,:deptcode,
       :menutypealias,:undiscounttag,:isdrink,0))";

constexpr const char* kMenuItemUpdate = R"(
update MenuItem
set MenuItemCName=:itemname,MenuItemEName=:itemname2,MenuItemEName2=:itemname3,MenuTypeCode=:tcode,
    Standard=:standard,MenuItemPrice=:itemprice,MemberPrice=:memberprice,CostPrice=:costprice,
    Standard2=:standard2,MenuItemPrice2=:itemprice2,MemberPrice2=:memberprice2,CostPrice2=:costprice2,
    Standard3=:standard3,MenuItemPrice3=:itemprice3,MemberPrice3=:memberprice3,CostPrice3=:costprice3,
    Standard4=:standard4,MenuItemPrice4=:itemprice4,MemberPrice4=:memberprice4,CostPrice4=:costprice4,
    Standard5=:standard5,MenuItemPrice5=:itemprice5,MemberPrice5=:memberprice5,CostPrice5=:costprice5,
    Mask=:mask,HelpCode=:helpcode,MessageTag=:messagetag,TimePriceTag=:timepricetag,
    QtyNotSureTag=:qtynotsuretag,TimeTag=:timetag,NeedSaleOut=:needsaleout,
    CanChangeNamePrice=:canchangenameprice,AddStandard=:addstandard,CanBonusPay=:canbonuspay,AskQty=:askqty,
    AskMemo=:askmemo,AskScanQty=:askscanqty,MakeTime=:maketime,CannotGift=:cannotgift,
    CanBackWORight=:canbackworight,BarCode=:barcode,NeedMaker=:needmaker,DeptCode=:deptcode,
    CanRemark=:canremark,QtyConfine=:qtyconfine,DefaultMemo=:defaultmemo,TaxRate=:taxrate,
    DishStatus=1,Deleted=0
where MenuItemCode=:itemcode)";

constexpr const char* kMenuItemInsert = R"(
insert into MenuItem(MenuItemCode,MenuItemCName,MenuItemEName,MenuItemEName2,MenuTypeCode,
                     Standard,MenuItemPrice,MemberPrice,CostPrice,Standard2,MenuItemPrice2,MemberPrice2,CostPrice2,
                     Standard3,MenuItemPrice3,MemberPrice3,CostPrice3,Standard4,MenuItemPrice4,MemberPrice4,CostPrice4,
                     Standard5,MenuItemPrice5,MemberPrice5,CostPrice5,Mask,HelpCode,MessageTag,TimePriceTag,
                     QtyNotSureTag,TimeTag,NeedSaleOut,CanChangeNamePrice,AddStandard,CanBonusPay,AskQty,AskMemo,
                     AskScanQty,MakeTime,CannotGift,CanBackWORight,BarCode,NeedMaker,DeptCode,CanRemark,QtyConfine,
                     DefaultMemo,TaxRate,HopeRate,HopeRate2,HopeRate3,HopeRate4,HopeRate5,PhotoTag,DishStatus,
                     Deleted)
values(:itemcode,:itemname,:itemname2,:itemname3,:tcode,
       :standard,:itemprice,:memberprice,:costprice,:standard2,:itemprice2,:memberprice2,:costprice2,
       :standard3,:itemprice3,:memberprice3,:costprice3,:standard4,:itemprice4,:memberprice4,:costprice4,
       :standard5,:itemprice5,:memberprice5,:costprice5,:mask,:helpcode,:messagetag,:timepricetag,
       :qtynotsuretag,:timetag,:needsaleout,:canchangenameprice,:addstandard,:canbonuspay,:askqty,:askmemo,
       :askscanqty,:maketime,:cannotgift,:canbackworight,:barcode,:needmaker,:deptcode,:canremark,:qtyconfine,
       :defaultmemo,:taxrate,0,0,0,0,0,0,1,
       0))";

// Each type with its dishes in one transaction: update, and insert when no row changed.
void RawMenu(sqlite3* source, sqlite3* target) {
  Source types(source, "select * from MenuType order by MenuTypeCode");
  Source items(source, "select * from MenuItem order by MenuTypeCode,MenuItemCode");
  RawStatement typeUpdate(target, kMenuTypeUpdate, kMenuTypeInsert, types);
  RawStatement typeInsert(target, kMenuTypeInsert, kMenuTypeInsert, types);
  RawStatement itemUpdate(target, kMenuItemUpdate, kMenuItemInsert, items);
  RawStatement itemInsert(target, kMenuItemInsert, kMenuItemInsert, items);
  std::size_t typeCode = types.Column("MenuTypeCode"), itemType = items.Column("MenuTypeCode");
  bool more = items.Next();
  while (types.Next()) {
    Exec(target, "BEGIN");
    if (typeUpdate.Run(types) < 1) typeInsert.Run(types);
    for (std::string code = types.Text(typeCode); more && items.Text(itemType) == code; more = items.Next())
      if (itemUpdate.Run(items) < 1) itemInsert.Run(items);
    Exec(target, "COMMIT");
  }
  if (more) throw std::runtime_error("dishes out of their types' order");
}

// A one-column list: each text checked, then inserted in a transaction of its own.
void RawList(sqlite3* source, sqlite3* target, const char* table, const char* column) {
  Source texts(source, std::string("select ") + column + " from " + table);
  std::string check = std::string("select count(*) from ") + table + " where " + column + "=:text";
  std::string insert = std::string("insert into ") + table + "(" + column + ") values(:text)";
  sqlite3_stmt* exists = PrepareOrThrow(target, check);
  RawStatement add(target, insert.c_str(), insert.c_str(), texts);
  while (texts.Next()) {
    sqlite3_bind_value(exists, 1, texts.Value(0));
    bool found = sqlite3_step(exists) == SQLITE_ROW && sqlite3_column_int(exists, 0) != 0;
    sqlite3_reset(exists);
    if (found) continue;
    Exec(target, "BEGIN");
    add.Run(texts);
    Exec(target, "COMMIT");
  }
  sqlite3_finalize(exists);
}

// ---- Generic raw writing --------------------------------------------------------

// One of the import's statements, prepared once. Each ":name" parameter takes
// the value of the column of that name (letter case aside) in the row it runs
// with, unless Set gave it a number of its own (a key the target assigned).
class Stmt {
 public:
  Stmt(sqlite3* db, const char* sql) : db_(db), st_(PrepareOrThrow(db, sql)) {
    for (int i = 1; i <= sqlite3_bind_parameter_count(st_); ++i)
      names_.emplace_back(sqlite3_bind_parameter_name(st_, i) + 1);
    own_.resize(names_.size());
  }
  ~Stmt() { sqlite3_finalize(st_); }
  Stmt(const Stmt&) = delete;
  Stmt& operator=(const Stmt&) = delete;

  Stmt& Set(const char* name, sqlite3_int64 value) {
    for (std::size_t i = 0; i < names_.size(); ++i)
      if (strcasecmp(names_[i].c_str(), name) == 0) own_[i] = value;
    return *this;
  }
  // Runs with the row's values; the count of rows changed.
  int Run(const Source& row) {
    Bind(row);
    StepOrThrow(db_, st_);
    return sqlite3_changes(db_);
  }
  // A select: the first column of its first row, 0 when it has none.
  sqlite3_int64 Scalar(const Source& row) {
    Bind(row);
    sqlite3_int64 value = sqlite3_step(st_) == SQLITE_ROW ? sqlite3_column_int64(st_, 0) : 0;
    sqlite3_reset(st_);
    return value;
  }

 private:
  void Bind(const Source& row) {
    if (&row != boundTo_) {
      columns_.clear();
      for (const auto& name : names_) columns_.push_back(row.Find(name.c_str()));
      boundTo_ = &row;
    }
    for (std::size_t i = 0; i < names_.size(); ++i) {
      int k = static_cast<int>(i + 1);
      if (own_[i])
        sqlite3_bind_int64(st_, k, *own_[i]);
      else if (columns_[i] < row.columns.size())
        sqlite3_bind_value(st_, k, row.Value(columns_[i]));
      else
        throw std::runtime_error("no value for :" + names_[i]);
    }
  }

  sqlite3* db_;
  sqlite3_stmt* st_;
  std::vector<std::string> names_;
  std::vector<std::optional<sqlite3_int64>> own_;
  const Source* boundTo_ = nullptr;
  std::vector<std::size_t> columns_;
};

// One item of the import: its statements in a transaction of their own.
template <class Body>
void Item(sqlite3* db, Body body) {
  Exec(db, "BEGIN");
  body();
  Exec(db, "COMMIT");
}

// Update, and insert when no row changed; true when it inserted.
bool Upsert(Stmt& update, Stmt& insert, const Source& row) {
  if (update.Run(row) > 0) return false;
  insert.Run(row);
  return true;
}

// ---- Generating rows ------------------------------------------------------------

// "INSERT ... SELECT ... FROM s" over s(i) = 0 .. count-1.
void Gen(sqlite3* db, long count, const std::string& insertSelect) {
  Exec(db, ("WITH RECURSIVE s(i) AS (VALUES(0) UNION ALL SELECT i+1 FROM s WHERE i<" + std::to_string(count - 1) +
            ") " + insertSelect)
               .c_str());
}

// SQL for the code of `width` base-36 digits of the integer expression `x`.
std::string Code36(const std::string& x, int width = 2) {
  std::string code;
  long scale = 1;
  for (int d = 1; d < width; ++d) scale *= 36;
  for (; scale >= 1; scale /= 36)
    code += std::string(code.empty() ? "" : "||") + "substr('0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ',((" + x +
            ")/" + std::to_string(scale) + ")%36+1,1)";
  return code;
}

std::string Num(long n) { return std::to_string(n); }

// Menu types and dishes as the import of a kind looks them up.
constexpr const char* kMenuRefs =
    "INSERT INTO MenuType SELECT * FROM src.MenuType; INSERT INTO MenuItem SELECT * FROM src.MenuItem;";

// ---- Set meals: N/20 set meals of 10 dishes ---------------------------------------

// Set meal codes have two characters: 65 that differ beyond letter case.
std::string SuiteCode(const std::string& x) {
  const std::string a = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ!#$%&()*+,-./:;<=>?@[]^_`{|}~";
  const std::string base = Num(static_cast<long>(a.size()));
  return "substr('" + a + "',(" + x + ")/" + base + "+1,1)||substr('" + a + "',(" + x + ")%" + base + "+1,1)";
}

void FillMenuSuite(sqlite3* db, int n) {
  FillMenu(db, n);
  long suites = n / 20;
  Gen(db, suites,
      "INSERT INTO MenuSuite(MenuSuiteNo,MenuSuiteName,ConfineMenuSuite,UsePlan,SuiteBarCode,PromID,QuickUse,"
      "PrintTogether,MenuSuiteAlias,SaleOutByHand) SELECT " +
          SuiteCode("i") + ",'套餐'||(i+1),i%2,0,'','',1,0,'午市',0 FROM s");
  Gen(db, suites * 10,
      "INSERT INTO MenuSuiteSub(MenuSuiteNo,MenuItemCode,MenuItemPrice,Qty,Standard,Selected,GroupID,GroupName) "
      "SELECT " +
          SuiteCode("i/10") + ",printf('%05d',(i*7)%" + Num(n) +
          "+1),10+i%50,1+i%2,'例',i%10<6,CASE WHEN i%10<5 THEN '1' ELSE '2' END,"
          "CASE WHEN i%10<5 THEN '凉菜' ELSE '热菜' END FROM s");
}

void RawMenuSuite(sqlite3* source, sqlite3* target) {
  Source suites(source, "select * from MenuSuite order by MenuSuiteNo");
  Source items(source, "select * from MenuSuiteSub order by MenuSuiteNo,GroupID,Selected desc");
  Stmt deleteItems(target, "delete from MenuSuiteSub where MenuSuiteNo=:menusuiteno");
  Stmt deleteSuite(target, "delete from MenuSuite where MenuSuiteNo=:menusuiteno");
  Stmt insertSuite(target, R"(
insert into MenuSuite(MenuSuiteNo,MenuSuiteName,ConfineMenuSuite,PlanType,EveryOf,EveryDetail,PlanStartDate,
                      PlanEndDate,PlanEndTag,DayControlType,MealSectionCode,TimeID,UsePlan,SuiteBarCode,PromID,
                      QuickUse,PrintTogether,MenuSuiteAlias,SaleOutByHand)
values(:menusuiteno,:menusuitename,:confinemenusuite,:plantype,:everyof,:everydetail,:planstartdate,
       :planenddate,:planendtag,:daycontroltype,:mealsectioncode,:timeid,:useplan,:suitebarcode,:promid,
       :quickuse,:printtogether,:menusuitealias,0))");
  Stmt insertItem(target, R"(
insert into MenuSuiteSub(MenuSuiteNo,MenuItemCode,MenuItemPrice,Qty,Standard,Selected,GroupID,GroupName)
values(:menusuiteno,:menuitemcode,:menuitemprice,:qty,:standard,:selected,:groupid,:groupname))");
  items.Next();
  while (suites.Next())
    Item(target, [&] {
      deleteItems.Run(suites);
      deleteSuite.Run(suites);
      insertSuite.Run(suites);
      for (std::string key = suites.Text(0); items.Under(key); items.Next()) insertItem.Run(items);
    });
}

// ---- Discount types: N/200 types of 100 lines, every tenth with two exception dishes

void FillCardType(sqlite3* db, int n) {
  FillMenu(db, n);
  long types = std::max(1, n / 200);
  Gen(db, types,
      "INSERT INTO CardType(CardTypeCode,CardTypeName,CardTypeEName,CardTypeEName2,AllowJifen) "
      "SELECT printf('%04d',i+1),'折扣'||(i+1),'Member '||(i+1),'',i%2 FROM s");
  // The first two dishes of the line's menu type are its exceptions.
  std::string first = "((i%100)*" + Num(n) + "+" + Num(kMenuTypes - 1) + ")/" + Num(kMenuTypes);
  Gen(db, types * 100,
      "INSERT INTO DiscountSuite(CardTypeCode,MenuTypeCode,Discount,Excludes) SELECT printf('%04d',i/100+1)," +
          Code36("i%100") + ",80+i%20,CASE WHEN i%10=0 THEN printf('%05d'," + first +
          "+1)||'@70'||char(13,10)||printf('%05d'," + first + "+2)||char(13,10) ELSE '' END FROM s");
}

void RawCardType(sqlite3* source, sqlite3* target) {
  Source types(source, "select * from CardType order by CardTypeCode");
  Source lines(source, "select * from DiscountSuite order by CardTypeCode,MenuTypeCode,MenuSuiteNo");
  Stmt deleteLines(target, "delete from DiscountSuite where CardTypeCode=:cardtypecode");
  Stmt deleteType(target, "delete from CardType where CardTypeCode=:cardtypecode");
  Stmt insertType(target, R"(
insert into CardType(CardTypeCode,CardTypeName,CardTypeEName,CardTypeEName2,AllowJifen)
values(:cardtypecode,:cardtypename,:cardtypeename,:cardtypeename2,:allowjifen))");
  Stmt insertLine(target, R"(
insert into DiscountSuite(CardTypeCode,MenuTypeCode,Discount,Excludes,MenuSuiteNo)
values(:cardtypecode,:menutypecode,:discount,:excludes,:menusuiteno))");
  lines.Next();
  while (types.Next())
    Item(target, [&] {
      deleteLines.Run(types);
      deleteType.Run(types);
      insertType.Run(types);
      for (std::string key = types.Text(0); lines.Under(key); lines.Next()) insertLine.Run(lines);
    });
}

// ---- Payment subjects: N/20 under one first-level subject -------------------------

void FillSubject2(sqlite3* db, int n) {
  Exec(db, "INSERT INTO Subject(SubjectCode,SubjectName,SubjectClass) VALUES"
           " ('1002','银行存款',1), ('5101','主营业务收入',1), ('2171','应交税费',1)");
  Gen(db, std::max(1, n / 20),
      "INSERT INTO Subject(SubjectCode,SubjectName,SubjectEName,SubjectEName2,SubjectClass,SubjectType,PayTag,"
      "PayMemoTag,NoChange,PayVisible,QuickUse,CanInvoice,BillCost,UseAmount,Company,PostCode,Address,Tele,Fax,"
      "Contact,Mobile,CreditLimit,Remark) SELECT '1002'||printf('%04d',i+1),'银行卡'||(i+1),'Bank card '||(i+1),"
      "'',2,i%2,0,1,0,1,1,0,0,0,'招商银行','518000','深圳市福田区深南大道'||(i+1)||'号',"
      "'0755-8888'||printf('%04d',i),'','张经理','13800138000',0,'' FROM s");
}

void RawSubject2(sqlite3* source, sqlite3* target) {
  Source subjects(source,
                  "select *,SubjectEName as subjectname2,SubjectEName2 as subjectname3 from Subject "
                  "where SubjectClass=2 order by SubjectCode");
  Stmt update(target, R"(
update Subject
set SubjectName=:subjectname,SubjectEName=:subjectname2,SubjectEName2=:subjectname3,PayTag=:paytag,
    SubjectType=:subjecttype,Company=:company,PostCode=:postcode,Address=:address,Tele=:tele,Fax=:fax,
    Contact=:contact,CreditLimit=:creditlimit,QuickUse=:quickuse,PayMemoTag=:paymemotag,Mobile=:mobile,
    Remark=:remark,NoChange=:nochange,PayVisible=:payvisible,BillCost=:billcost,UseAmount=:useAmount,
    CanInvoice=:caninvoice
where SubjectCode=:subjectcode)");
  Stmt insert(target, R"(
insert into Subject(SubjectCode,SubjectName,SubjectEName,SubjectEName2,PayTag,SubjectClass,SubjectType,Company,
                    PostCode,Address,Tele,Fax,Contact,CreditLimit,QuickUse,PayMemoTag,Mobile,Remark,NoChange,
                    PayVisible,BillCost,UseAmount,CanInvoice)
values(:subjectcode,:subjectname,:subjectname2,:subjectname3,:paytag,2,:subjecttype,:company,
       :postcode,:address,:tele,:fax,:contact,:creditlimit,:quickuse,:paymemotag,:mobile,:remark,:nochange,
       :payvisible,:billcost,:useamount,:caninvoice))");
  while (subjects.Next()) Item(target, [&] { Upsert(update, insert, subjects); });
}

// ---- Rooms and tables: N/200 rooms of 5 menu types, N/10 tables -------------------

void FillRooms(sqlite3* db, int n) {
  FillMenu(db, kMenuTypes);
  long rooms = std::max(1, n / 200), tables = std::max(1, n / 10);
  Gen(db, rooms,
      "INSERT INTO Room(RoomNo,RoomName,ServiceRate,RoomServTag,RoomDrinkTag,OrderNo,NoServiceFee,Deleted) "
      "SELECT 'R'||printf('%03d',i+1),'厅'||(i+1),10,0,0,0,i%5=0,0 FROM s");
  Gen(db, rooms * 5,
      "INSERT INTO RoomMenuType(RoomNo,MenuTypeCode) SELECT 'R'||printf('%03d',i/5+1)," + Code36("(i%5)*7") +
          " FROM s");
  Gen(db, tables,
      "INSERT INTO HotelTable(TableNo,RoomNo,BillNo,TableStatus,SeatQty,OnePrice,CanOnePrice,QuickUse,OrderNo,"
      "TableAlias,UsePinTai,OutUse,Remark,Deleted) SELECT printf('%04d',i+1),'R'||printf('%03d',i*" +
          Num(rooms) + "/" + Num(tables) + "+1),'0',0,4+i%8,0,0,0,0,'桌'||(i+1),0,0,'',0 FROM s");
}

void RawRooms(sqlite3* source, sqlite3* target) {
  Source rooms(source, "select * from Room order by RoomNo");
  Source types(source, "select RoomNo,MenuTypeCode from RoomMenuType order by RoomNo,MenuTypeCode");
  Source tables(source, "select RoomNo,*,TableAlias as tablename from HotelTable order by RoomNo,TableNo");
  Stmt deleteTypes(target, "delete from RoomMenuType where RoomNo=:roomno");
  Stmt updateRoom(target, R"(
update Room
set RoomName=:roomname,ServiceRate=:servicerate,NoServiceFee=:noservicefee,Deleted=:deleted
where RoomNo=:roomno)");
  Stmt insertRoom(target, R"(
insert into Room(RoomNo,RoomName,ServiceRate,RoomServTag,RoomDrinkTag,OrderNo,NoServiceFee,Deleted)
values(:roomno,:roomname,:servicerate,0,0,0,:noservicefee,:deleted))");
  Stmt insertType(target, "insert into RoomMenuType(RoomNo,MenuTypeCode) values(:roomno,:menutypecode)");
  Stmt updateTable(target, R"(
update HotelTable
set RoomNo=:roomno,SeatQty=:seatqty,OnePrice=:oneprice,CanOnePrice=:canoneprice,QuickUse=:quickuse,
TableAlias=:tablename,UsePinTai=:usepintai,OutUse=:outuse,Remark=:remark,Deleted=:deleted
where TableNo=:tableno)");
  Stmt insertTable(target, R"(
insert into HotelTable(TableNo,RoomNo,BillNo,TableStatus,SeatQty,OnePrice,CanOnePrice,QuickUse,OrderNo,
TableAlias,UsePinTai,OutUse,Remark,Deleted)
values(:tableno,:roomno,0,0,:seatqty,:oneprice,:canoneprice,:quickuse,0,
:tablename,:usepintai,:outuse,:remark,:deleted))");
  types.Next();
  tables.Next();
  while (rooms.Next())
    Item(target, [&] {
      std::string key = rooms.Text(0);
      deleteTypes.Run(rooms);
      Upsert(updateRoom, insertRoom, rooms);
      for (; types.Under(key); types.Next()) insertType.Run(types);
      for (; tables.Under(key); tables.Next()) Upsert(updateTable, insertTable, tables);
    });
}

// ---- Gift dish control: N/1000 roles of 5 packages of 20 contents; N/10 users ------

void FillGiftDishControl(sqlite3* db, int n) {
  FillMenu(db, kMenuTypes);  // dish i in menu type i
  long roles = std::max(1, n / 1000), users = std::max(1, n / 10);
  Gen(db, roles, "INSERT INTO GiftDishRole(RoleName,OnlyReserverTable) SELECT '赠送角色'||(i+1),i%2 FROM s");
  Gen(db, roles * 5,
      "INSERT INTO GiftDishPackge(RoleID,PackgeName,QtyConfine,AmountConfine,ResetInterval,ControlType) "
      "SELECT i/5+1,'赠送包'||(i%5+1),10,500,i%4,i%3 FROM s");
  Gen(db, roles * 100,
      "INSERT INTO GiftDishRoleItem(PackgeID,RoleID,MenuTypeCode,MenuItemCode) SELECT i/20+1,i/100+1," +
          Code36("i%200") + ",CASE WHEN i%2=1 THEN printf('%05d',i%200+1) END FROM s");
  Gen(db, users,
      "INSERT INTO HotelUser(UserID,UserName,DeptCode,Password,Rights,Rights2,Rights3,Sex,Deleted,PassNo,"
      "GiftRoleID) SELECT printf('%04d',i+1),'员工'||(i+1),'01','x',0,0,0,0,0,'P'||i,i%" +
          Num(roles) + "+1 FROM s");
}

void RawGiftDishControl(sqlite3* source, sqlite3* target) {
  Source roles(source,
               "select ID,RoleName as rolename,OnlyReserverTable as onlyreservertable from GiftDishRole order by ID");
  Source packages(source,
                  "select RoleID,ID,PackgeName as packgename,QtyConfine as qtyconfine,AmountConfine as "
                  "amountconfine,ResetInterval as resetinterval,ControlType as controltype "
                  "from GiftDishPackge order by RoleID,ID");
  Source contents(source,
                  "select PackgeID,MenuTypeCode as menutypecode,MenuItemCode as menuitemcode "
                  "from GiftDishRoleItem order by RoleID,PackgeID,ID");
  Source users(source,
               "select UserID as userid,GiftRoleID from HotelUser where GiftRoleID is not null "
               "order by GiftRoleID,UserID");
  Stmt updateRole(target, "update GiftDishRole set OnlyReserverTable=:onlyreservertable where RoleName=:rolename");
  Stmt insertRole(target,
                  "insert into GiftDishRole(RoleName,OnlyReserverTable) values(:rolename,:onlyreservertable)");
  Stmt roleNumber(target, "select ID from GiftDishRole where RoleName=:rolename");
  Stmt deletePackages(target, "delete from GiftDishPackge where RoleID=:roleid");
  Stmt deleteContents(target, "delete from GiftDishRoleItem where RoleID=:roleid");
  Stmt insertPackage(target, R"(
insert into GiftDishPackge(RoleID,PackgeName,QtyConfine,AmountConfine,ResetInterval,ControlType)
values(:roleid,:packgename,:qtyconfine,:amountconfine,:resetinterval,:controltype))");
  Stmt packageNumber(target, "select max(ID) as ID from GiftDishPackge where RoleID=:roleid and PackgeName=:packgename");
  Stmt insertContent(target, R"(
insert into GiftDishRoleItem(PackgeID,RoleID,MenuTypeCode,MenuItemCode)
values(:packgeid,:roleid,:menutypecode,:menuitemcode))");
  Stmt updateUser(target, "update HotelUser set GiftRoleID=:giftroleid where UserID=:userid");
  std::map<std::string, sqlite3_int64> numbers;
  packages.Next();
  contents.Next();
  while (roles.Next())
    Item(target, [&] {
      Upsert(updateRole, insertRole, roles);
      sqlite3_int64 role = roleNumber.Scalar(roles);
      numbers[roles.Text(0)] = role;
      deletePackages.Set("roleid", role).Run(roles);
      deleteContents.Set("roleid", role).Run(roles);
      for (std::string key = roles.Text(0); packages.Under(key); packages.Next()) {
        insertPackage.Set("roleid", role).Run(packages);
        sqlite3_int64 package = packageNumber.Set("roleid", role).Scalar(packages);
        for (std::string id = packages.Text(1); contents.Under(id); contents.Next())
          insertContent.Set("roleid", role).Set("packgeid", package).Run(contents);
      }
    });
  while (users.Next())
    Item(target, [&] { updateUser.Set("giftroleid", numbers.at(users.Text(1))).Run(users); });
}

// ---- Minimum charges: on every table of the rooms; every third by time section ----

void FillLowestPay(sqlite3* db, int n) {
  FillRooms(db, n);
  Exec(db,
       "INSERT INTO TimeSection(TimeID,StartTime,EndTime) VALUES"
       " (0,'1899-12-30 00:00:00','1899-12-30 10:59:00'), (1,'1899-12-30 11:00:00','1899-12-30 16:59:00'),"
       " (2,'1899-12-30 17:00:00','1899-12-30 23:59:00');"
       "UPDATE HotelTable SET LowestPayType=CAST(TableNo AS INTEGER)%3,"
       " LowestPay=100+CAST(TableNo AS INTEGER)%10*50,"
       " ExcludeDishs=printf('%05d',CAST(TableNo AS INTEGER)%200+1)||char(13,10)||"
       "   printf('%05d',(CAST(TableNo AS INTEGER)+1)%200+1)||char(13,10);"
       "INSERT INTO LowestPayTimePlan(TableNo,TimeID,LowestPay)"
       " SELECT TableNo,1,600 FROM HotelTable WHERE LowestPayType=2"
       " UNION ALL SELECT TableNo,2,1000 FROM HotelTable WHERE LowestPayType=2;");
}

void RawLowestPay(sqlite3* source, sqlite3* target) {
  Source tables(source,
                "select TableNo,LowestPay as lowestpay,LowestPayType as lowestpaytype,ExcludeDishs as excludedishs "
                "from HotelTable where LowestPayType>=0 order by TableNo");
  Source plans(source,
               "select TableNo,TimeID as timeid,LowestPay as lowestpay from LowestPayTimePlan order by TableNo,TimeID");
  Stmt deletePlans(target, "delete from LowestPayTimePlan where TableNo=:tableno");
  Stmt update(target, R"(
update HotelTable
set LowestPay=:lowestpay,LowestPayType=:lowestpaytype,ExcludeDishs=:excludedishs
where TableNo=:tableno)");
  Stmt insertPlan(target, "insert into LowestPayTimePlan(TableNo,TimeID,LowestPay) values(:tableno,:timeid,:lowestpay)");
  plans.Next();
  while (tables.Next())
    Item(target, [&] {
      deletePlans.Run(tables);
      bool found = update.Run(tables) > 0;
      for (std::string key = tables.Text(0); plans.Under(key); plans.Next())
        if (found) insertPlan.Run(plans);
    });
}

// ---- Time plans and price plans: N/10 plans of 10 dishes, every fourth for lunch only

void FillPricePlan(sqlite3* db, int n) {
  FillMenu(db, n);
  long plans = std::max(1, n / 10);
  Exec(db,
       "INSERT INTO MealSection(MealSectionCode,MealSectionName,Deleted,StartTime,EndTime)"
       " VALUES(0,'午餐',0,'1899-12-30 11:00:00','1899-12-30 14:00:00')");
  Gen(db, plans,
      "INSERT INTO TimePlan(PlanCode,PlanName,PromID,PlanUseTag,PlanStartDate,PlanEndDate,PlanEndTag,PlanType,"
      "EveryOf,EveryDetail,DayControlType) SELECT i+1,'特价计划'||(i+1),'',1,'2024-01-01',NULL,0,2,1,31,"
      "i%4=0 FROM s");
  Exec(db, "INSERT INTO TimePlanConfine(PlanCode,MealSectionCode) SELECT PlanCode,0 FROM TimePlan"
           " WHERE DayControlType=1");
  Gen(db, plans * 10,
      "INSERT INTO PricePlan(PlanCode,MenuItemCode,NewPrice,MaxQty) SELECT i/10+1,printf('%05d',(i*13)%" + Num(n) +
          "+1),8+i%40,0 FROM s");
}

void RawPricePlan(sqlite3* source, sqlite3* target) {
  Source plans(source, "select * from TimePlan order by PlanCode");
  Source confines(source, "select PlanCode,MealSectionCode,TimeID from TimePlanConfine order by PlanCode");
  Source prices(source, "select * from PricePlan order by PlanCode,MenuItemCode");
  Stmt deletes[] = {{target, "delete from PricePlan where PlanCode=:plancode"},
                    {target, "delete from TimePlanConfine where PlanCode=:plancode"},
                    {target, "delete from TimePlan where PlanCode=:plancode"}};
  Stmt insertPlan(target, R"(
insert into TimePlan(PlanCode,PlanName,PlanUseTag,PlanType,EveryOf,EveryDetail,PlanStartDate,PlanEndDate,PlanEndTag,
                     DayControlType,PromID)
values(:plancode,:planname,:planusetag,:plantype,:everyof,:everydetail,:planstartdate,:planenddate,:planendtag,
       :daycontroltype,:promid))");
  Stmt insertConfine(target,
                     "insert into TimePlanConfine(PlanCode,MealSectionCode,TimeID) values(:plancode,:mealsectioncode,:timeid)");
  Stmt insertPrice(target, R"(
insert into PricePlan(PlanCode,MenuItemCode,NewPrice,NewPrice2,NewPrice3,NewPrice4,NewPrice5,MaxQty)
values(:plancode,:menuitemcode,:newprice,:newprice2,:newprice3,:newprice4,:newprice5,:maxqty))");
  confines.Next();
  prices.Next();
  while (plans.Next())
    Item(target, [&] {
      for (Stmt& d : deletes) d.Run(plans);
      insertPlan.Run(plans);
      std::string key = plans.Text(0);
      for (; confines.Under(key); confines.Next()) insertConfine.Run(confines);
      for (; prices.Under(key); prices.Next()) insertPrice.Run(prices);
    });
}

// ---- Store items: N items in N/100 types, all in one transaction --------------------

void FillStoreItems(sqlite3* db, int n) {
  long types = std::max(1, n / 100);
  Gen(db, types,
      "INSERT INTO S_ItemType(TypeCode,TypeName,SubjectCode51,SubjectCode54,SubjectCode12,Deleted) "
      "SELECT printf('%03d',i+1),'物品类别'||(i+1),'510101',NULL,NULL,0 FROM s");
  Gen(db, n,
      "INSERT INTO S_Item(ItemCode,ItemName,TypeCode,StoreUnit,StoreRate,CalcUnit,CalcRate,Org_StoreUnit,Org_Rate,"
      "HelpCode,MaxQty,MinQty,Add_StoreUnit,MaxPrice,BarCode,Deleted) SELECT printf('%06d',i+1),'库存物品'||(i+1),"
      "printf('%03d',i*" +
          Num(types) + "/" + Num(n) +
          "+1),'箱',100,'克',1000,'箱',1,'KCWP'||(i+1),100,10,'个',0,'69'||printf('%011d',i),0 FROM s");
}

void RawStoreItems(sqlite3* source, sqlite3* target) {
  Source types(source,
               "select TypeCode as tcode,TypeName as tname,SubjectCode51,SubjectCode54,SubjectCode12 "
               "from S_ItemType order by TypeCode");
  Source items(source,
               "select TypeCode as tcode,ItemCode,ItemName,StoreUnit,CalcUnit,CalcRate,Org_StoreUnit as org_unit,"
               "Org_Rate,HelpCode,MaxQty,MinQty,Add_StoreUnit,MaxPrice,BarCode from S_Item order by TypeCode,ItemCode");
  Stmt updateType(target, R"(
update S_ItemType
set TypeName=:tname,Deleted=0,SubjectCode51=:subjectcode51,SubjectCode54=:subjectcode54,
    SubjectCode12=:subjectcode12
where TypeCode=:tcode)");
  Stmt insertType(target, R"(
insert into S_ItemType(TypeCode,TypeName,SubjectCode51,SubjectCode54,SubjectCode12,Deleted)
values(:tcode,:tname,:subjectcode51,:subjectcode54,:subjectcode12,0))");
  Stmt updateItem(target, R"(
update S_Item
set ItemName=:itemname,TypeCode=:tcode,StoreUnit=:storeunit,CalcUnit=:calcunit,CalcRate=:calcrate,
    Org_StoreUnit=:org_unit,Org_Rate=:org_rate,HelpCode=:helpcode,MaxQty=:maxqty,MinQty=:minqty,
    Add_StoreUnit=:add_storeunit,MaxPrice=:maxprice,BarCode=:barcode,Deleted=0
where ItemCode=:itemcode)");
  Stmt insertItem(target, R"(
insert into S_Item(ItemCode,ItemName,TypeCode,StoreUnit,StoreRate,CalcUnit,CalcRate,Org_StoreUnit,Org_Rate,
                   HelpCode,MaxQty,MinQty,Add_StoreUnit,MaxPrice,BarCode)
values(:itemcode,:itemname,:tcode,:storeunit,100,:calcunit,:calcrate,:org_unit,:org_rate,
       :helpcode,:maxqty,:minqty,:add_storeunit,:maxprice,:barcode))");
  items.Next();
  // A store's items all belong to its one family: one transaction.
  Item(target, [&] {
    while (types.Next()) {
      Upsert(updateType, insertType, types);
      for (std::string key = types.Text(0); items.Under(key); items.Next()) Upsert(updateItem, insertItem, items);
    }
  });
}

// ---- Cost cards: every fourth dish, 4 stock items each ------------------------------

void FillBOM(sqlite3* db, int n) {
  FillMenu(db, n);
  FillStoreItems(db, 500);
  // Dishes 2, 6, 10, ... have one standard.
  Gen(db, n / 4 * 4,
      "INSERT INTO CostCard(CostCardNo,ItemCode,CostQty,CostRate,AutoTag) SELECT printf('%05d',(i/4)*4+2)||'1',"
      "printf('%06d',(i*37)%500+1),50+i%200,90,i%2 FROM s");
}

void RawBOM(sqlite3* source, sqlite3* target) {
  Source dishes(source,
                "select distinct substr(CostCardNo,1,length(CostCardNo)-1) as mcode from CostCard order by 1");
  Source lines(source,
               "select substr(CostCardNo,1,length(CostCardNo)-1) as mcode,CostCardNo,ItemCode,CostQty,CostRate,AutoTag "
               "from CostCard order by CostCardNo,ItemCode");
  // As the import issues it, its functions translated for SQLite.
  Stmt deleteCards(target, R"(
delete from CostCard
where length(rtrim(CostCardNo,' '))=length(rtrim(:mcode,' '))+1
  and Upper(substr(CostCardNo,1,length(rtrim(:mcode,' '))))=Upper(:mcode))");
  Stmt insertLine(target, R"(
insert into CostCard(CostCardNo,ItemCode,CostQty,CostRate,AutoTag)
values(:costcardno,:itemcode,:costqty,:costrate,:autotag))");
  lines.Next();
  while (dishes.Next())
    Item(target, [&] {
      deleteCards.Run(dishes);
      for (std::string key = dishes.Text(0); lines.Under(key); lines.Next()) insertLine.Run(lines);
    });
}

// ---- Remarks: requests of every fourth dish, of every menu type, and public ones -----

void FillRemark(sqlite3* db, int n) {
  FillMenu(db, n);
  Exec(db,
       "UPDATE MenuType SET Remark='加辣@2.00@0,JL'||char(13,10)||'少盐,SY'||char(13,10)||'打包@1.00@1,DB';"
       "UPDATE MenuItem SET Remark='三分熟,SFS'||char(13,10)||'七分熟,QFS' WHERE CAST(MenuItemCode AS INTEGER)%4=0;"
       "INSERT INTO GuestNeeds(ID,Needs) VALUES(0,'不要香菜,BYXC'||char(13,10)||'多放葱,DFC');");
}

// One item per owner: the dishes', then the menu types', then the public requests.
void RawRemark(sqlite3* source, sqlite3* target) {
  Source items(source,
               "select MenuItemCode as menuitemcode,Remark as remark from MenuItem where Remark is not null "
               "order by MenuItemCode");
  Source types(source,
               "select MenuTypeCode as menutypecode,Remark as remark from MenuType where Remark is not null "
               "order by MenuTypeCode");
  Source needs(source, "select Needs as needs from GuestNeeds order by ID");
  Stmt updateItem(target, "update MenuItem set Remark=:remark where MenuItemCode=:menuitemcode");
  Stmt updateType(target, "update MenuType set Remark=:remark where MenuTypeCode=:menutypecode");
  Stmt deleteNeeds(target, "delete from GuestNeeds");
  Stmt insertNeeds(target, "insert into GuestNeeds(ID,Needs) values(0,:needs)");
  while (items.Next()) Item(target, [&] { updateItem.Run(items); });
  while (types.Next()) Item(target, [&] { updateType.Run(types); });
  if (needs.Next())
    Item(target, [&] {
      deleteNeeds.Run(needs);
      insertNeeds.Run(needs);
    });
}

// ---- Departments and users: N users over 200 departments, one second-level each ----

void FillDeptUsers(sqlite3* db, int n) {
  Exec(db,
       "INSERT INTO CardType(CardTypeCode,CardTypeName) VALUES ('V1','会员九折'), ('V2','会员八五折');"
       "INSERT INTO S_Store(StoreCode,StoreName) VALUES (1,'主仓库');");
  Gen(db, kMenuTypes,
      "INSERT OR REPLACE INTO Dept(DeptCode,DeptName,IsProduct) SELECT " + Code36("i") +
          ",'部门'||(i+1),i%4=0 FROM s");
  Gen(db, kMenuTypes,
      "INSERT INTO Dept2(Dept2Code,DeptCode,Dept2Name,Dept2Alias,StoreTag) SELECT " + Code36("i") + "||'01'," +
          Code36("i") + ",'二级部门'||(i+1),'',0 FROM s");
  // Whole roles (ordering, cashier, manager); every tenth user also part of one.
  Gen(db, n,
      "INSERT INTO HotelUser(UserID,UserName,DeptCode,Password,Rights,Rights2,Rights3,Sex,Phone,CardTypeList,"
      "OrderLimitAmt,MaxPreDiscount,Deleted,PassNo) SELECT " +
          Code36("i", 4) + ",'员工'||(i+1)," + Code36("i*" + Num(kMenuTypes) + "/" + Num(n)) +
          ",'x',CASE i%3 WHEN 0 THEN 70660 WHEN 1 THEN 1215632902 ELSE -736100472 END,"
          "CASE i%3 WHEN 0 THEN -2012872703 WHEN 1 THEN -1979317719 ELSE -2084605385 END,"
          "(CASE i%3 WHEN 2 THEN 2293764 ELSE 131073 END)|(CASE WHEN i%10=0 THEN 256 ELSE 0 END),"
          "i%2,'138'||(10000000+i),CASE WHEN i%5=0 THEN 'V1'||char(13,10)||'V2'||char(13,10) ELSE '' END,0,"
          "CASE WHEN i%7=0 THEN 100 ELSE 0 END,0,'1101011990'||(10000000+i) FROM s");
}

// One item per department: itself, its users (each read before it is written),
// its second-level departments.
void RawDeptUsers(sqlite3* source, sqlite3* target) {
  Source depts(source, "select * from Dept order by DeptCode");
  Source users(source, "select DeptCode,* from HotelUser order by DeptCode,UserID");
  Source dept2s(source, "select DeptCode,* from Dept2 order by DeptCode,Dept2Code");
  Stmt updateDept(target, "update Dept set DeptName=:deptname,IsProduct=:isproduct where DeptCode=:deptcode");
  Stmt insertDept(target, "insert into Dept(DeptCode,DeptName,IsProduct) values(:deptcode,:deptname,:isproduct)");
  Stmt userRights(target, "select Rights,Rights2,Rights3 from HotelUser where UserID=:userid");
  Stmt updateUser(target, R"(
update HotelUser
set DeptCode=:deptcode,UserName=:username,Rights=:rights,Rights2=:rights2,Rights3=:rights3,Sex=:sex,Phone=:phone,
    CardTypeList=:cardtypelist,OrderLimitAmt=:orderlimitamt,MaxPreDiscount=:maxprediscount,Deleted=:deleted,
    PassNo=:passno
where UserID=:userid)");
  Stmt insertUser(target, R"(
insert into HotelUser(UserID,UserName,DeptCode,Password,Rights,Rights2,Rights3,Sex,Phone,CardTypeList,OrderLimitAmt,
                      MaxPreDiscount,Deleted,PassNo)
values(:userid,:username,:deptcode,:password,:rights,:rights2,:rights3,:sex,:phone,:cardtypelist,:orderlimitamt,
       :maxprediscount,:deleted,:passno))");
  Stmt updateDept2(target, R"(
update Dept2
set Dept2Name=:dept2name,StoreCode=:storecode,Dept2Alias=:dept2alias,StoreTag=:storetag,
    AutoSaleDept2Code=:autosaledept2code
where Dept2Code=:dept2code)");
  Stmt insertDept2(target, R"(
insert into Dept2(Dept2Code,Dept2Name,Dept2Alias,DeptCode,StoreCode,StoreTag,AutoSaleDept2Code)
values(:dept2code,:dept2name,:dept2alias,:deptcode,:storecode,:storetag,:autosaledept2code))");
  Stmt dept2Rights(target, R"(
update Dept2
set Rights=(select Rights from Dept where DeptCode=:deptcode),
    Rights2=(select Rights2 from Dept where DeptCode=:deptcode),
    Rights3=(select Rights3 from Dept where DeptCode=:deptcode)
where Dept2Code=:dept2code)");
  users.Next();
  dept2s.Next();
  while (depts.Next())
    Item(target, [&] {
      std::string key = depts.Text(0);
      Upsert(updateDept, insertDept, depts);
      for (; users.Under(key); users.Next()) {
        userRights.Scalar(users);
        Upsert(updateUser, insertUser, users);
      }
      for (; dept2s.Under(key); dept2s.Next())
        if (Upsert(updateDept2, insertDept2, dept2s)) dept2Rights.Run(dept2s);
    });
}

// ---- Shifts and time sections: N/1000 shifts, N/100 time sections --------------------

void FillShift(sqlite3* db, int n) {
  Gen(db, std::max(1, n / 1000),
      "INSERT INTO MealSection(MealSectionCode,MealSectionName,Deleted,StartTime,EndTime) SELECT i,'班次'||(i+1),"
      "0,printf('1899-12-30 %02d:00:00',i%24),printf('1899-12-30 %02d:59:00',i%24) FROM s");
  Gen(db, std::max(1, n / 100),
      "INSERT INTO TimeSection(TimeID,StartTime,EndTime) SELECT i,printf('1899-12-30 %02d:%02d:00',i%24,i%60),"
      "printf('1899-12-30 %02d:59:00',i%24) FROM s");
}

void RawShift(sqlite3* source, sqlite3* target) {
  Source shifts(source, "select * from MealSection order by MealSectionCode");
  Source sections(source, "select * from TimeSection order by TimeID");
  Stmt updateShift(target, R"(
update MealSection
set MealSectionName=:mealsectionname,Deleted=:deleted,StartTime=:starttime,EndTime=:endtime
where MealSectionCode=:mealsectioncode)");
  Stmt insertShift(target, R"(
insert into MealSection(MealSectionCode,MealSectionName,Deleted,StartTime,EndTime)
values(:mealsectioncode,:mealsectionname,:deleted,:starttime,:endtime))");
  Stmt updateSection(target, "update TimeSection set StartTime=:starttime,EndTime=:endtime where TimeID=:timeid");
  Stmt insertSection(target, "insert into TimeSection(StartTime,EndTime,TimeID) values(:starttime,:endtime,:timeid)");
  while (shifts.Next()) Item(target, [&] { Upsert(updateShift, insertShift, shifts); });
  while (sections.Next()) Item(target, [&] { Upsert(updateSection, insertSection, sections); });
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

// ---- The kinds ---------------------------------------------------------------------

struct Kind {
  const char* name;  // for --kind
  const char* rows;  // what the counted rows are
  void (*fill)(sqlite3* db, int n);  // the source store for the benchmark size N
  // Run on each target store with the source attached as "src": the
  // reference rows the import checks against, copied.
  const char* refs;
  SxBool (*exportFn)(const char* connection, char* errorText);
  SxBool (*importFn)(const char* connection, const char* fileName, char* errorText);
  // The kind's rows: the import must leave as many as the source holds.
  const char* countSql;
  // Writes the same rows straight into SQLite.
  void (*raw)(sqlite3* source, sqlite3* target);
};

void FillBackReasons(sqlite3* db, int n) { FillList(db, "BackReason", "BackReasonDesc", "退菜理由", std::max(1, n / 100)); }
void FillGiftReasons(sqlite3* db, int n) { FillList(db, "GiftReason", "GiftReasonDesc", "赠送理由", std::max(1, n / 100)); }
void FillRepriceReasons(sqlite3* db, int n) {
  FillList(db, "RepriceReason", "RepriceReasonDesc", "变价理由", std::max(1, n / 100));
}

// clang-format off
const Kind kKinds[] = {
    {"menu", "dishes", FillMenu, "", ExportMenu, ImportMenu, "select count(*) from MenuItem", RawMenu},
    {"menusuite", "set meal dishes", FillMenuSuite, kMenuRefs, ExportMenuSuite, ImportMenuSuite,
     "select count(*) from MenuSuiteSub", RawMenuSuite},
    {"cardtype", "discount lines", FillCardType, kMenuRefs, ExportCardType, ImportCardType,
     "select count(*) from DiscountSuite", RawCardType},
    {"subject2", "payment subjects", FillSubject2, "INSERT INTO Subject SELECT * FROM src.Subject WHERE SubjectClass=1",
     ExportSubject2, ImportSubject2, "select count(*) from Subject where SubjectClass=2", RawSubject2},
    {"roomtables", "tables and room menu types", FillRooms, kMenuRefs, ExportRoomTables, ImportRoomTables,
     "select (select count(*) from HotelTable)+(select count(*) from RoomMenuType)", RawRooms},
    {"giftdishcontrol", "gift contents and users", FillGiftDishControl,
     "INSERT INTO MenuType SELECT * FROM src.MenuType; INSERT INTO MenuItem SELECT * FROM src.MenuItem;"
     "INSERT INTO HotelUser SELECT * FROM src.HotelUser; UPDATE HotelUser SET GiftRoleID=NULL;",
     ExportGiftDishControl, ImportGiftDishControl,
     "select (select count(*) from GiftDishRoleItem)+(select count(*) from HotelUser where GiftRoleID is not null)",
     RawGiftDishControl},
    {"lowestpay", "tables and time sections", FillLowestPay,
     "INSERT INTO MenuType SELECT * FROM src.MenuType; INSERT INTO MenuItem SELECT * FROM src.MenuItem;"
     "INSERT INTO Room SELECT * FROM src.Room; INSERT INTO HotelTable SELECT * FROM src.HotelTable;"
     "UPDATE HotelTable SET LowestPay=NULL,LowestPayType=NULL,ExcludeDishs=NULL;"
     "INSERT INTO TimeSection SELECT * FROM src.TimeSection;",
     ExportLowestPay, ImportLowestPay,
     "select (select count(*) from LowestPayTimePlan)+(select count(*) from HotelTable where LowestPayType>=0)",
     RawLowestPay},
    {"priceplan", "price lines", FillPricePlan,
     "INSERT INTO MenuType SELECT * FROM src.MenuType; INSERT INTO MenuItem SELECT * FROM src.MenuItem;"
     "INSERT INTO MealSection SELECT * FROM src.MealSection;",
     ExportPricePlan, ImportPricePlan, "select count(*) from PricePlan", RawPricePlan},
    {"storeitems", "store items", FillStoreItems, "", ExportStoreItems, ImportStoreItems,
     "select count(*) from S_Item", RawStoreItems},
    {"bom", "cost card lines", FillBOM,
     "INSERT INTO MenuType SELECT * FROM src.MenuType; INSERT INTO MenuItem SELECT * FROM src.MenuItem;"
     "INSERT INTO S_ItemType SELECT * FROM src.S_ItemType; INSERT INTO S_Item SELECT * FROM src.S_Item;",
     ExportBOM, ImportBOM, "select count(*) from CostCard", RawBOM},
    {"backreason", "return reasons", FillBackReasons, "", ExportBackReason, ImportBackReason,
     "select count(*) from BackReason", [](sqlite3* s, sqlite3* t) { RawList(s, t, "BackReason", "BackReasonDesc"); }},
    {"giftreason", "gift reasons", FillGiftReasons, "", ExportGiftReason, ImportGiftReason,
     "select count(*) from GiftReason", [](sqlite3* s, sqlite3* t) { RawList(s, t, "GiftReason", "GiftReasonDesc"); }},
    {"repricereason", "reprice reasons", FillRepriceReasons, "", ExportRepriceReason, ImportRepriceReason,
     "select count(*) from RepriceReason",
     [](sqlite3* s, sqlite3* t) { RawList(s, t, "RepriceReason", "RepriceReasonDesc"); }},
    {"remark", "owners of requests", FillRemark,
     "INSERT INTO MenuType SELECT * FROM src.MenuType; INSERT INTO MenuItem SELECT * FROM src.MenuItem;"
     "UPDATE MenuType SET Remark=NULL; UPDATE MenuItem SET Remark=NULL;",
     ExportRemark, ImportRemark,
     "select (select count(*) from MenuItem where Remark<>'')+(select count(*) from MenuType where Remark<>'')"
     "+(select count(*) from GuestNeeds)",
     RawRemark},
    {"deptusers", "users and second-level departments", FillDeptUsers,
     "INSERT INTO CardType SELECT * FROM src.CardType; INSERT INTO S_Store SELECT * FROM src.S_Store;",
     ExportDeptUsers, ImportDeptUsers, "select (select count(*) from HotelUser)+(select count(*) from Dept2)",
     RawDeptUsers},
    {"shift", "shifts and time sections", FillShift, "", ExportShift, ImportShift,
     "select (select count(*) from MealSection)+(select count(*) from TimeSection)", RawShift},
};
// clang-format on

// ---- The library's phases --------------------------------------------------------

struct ImportClock {
  Clock::time_point start, firstItem;
  bool started = false, writing = false;
  long errors = 0;
};

// The reading phase ends at the first "正在导入" line, which each item logs
// as its writing starts.
void OnImportLog(void* context, int kind, const char* text) {
  auto* c = static_cast<ImportClock*>(context);
  if (kind == 1) {
    if (++c->errors <= 3) std::fprintf(stderr, "  import error: %s\n", text);
  }
  if (kind != 0) return;
  if (!c->started && std::strncmp(text, "开始从", std::strlen("开始从")) == 0) {
    c->started = true;
    c->start = Clock::now();
  } else if (c->started && !c->writing && std::strncmp(text, "正在导入", std::strlen("正在导入")) == 0) {
    c->writing = true;
    c->firstItem = Clock::now();
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
  sqlite3* h = OpenDb(db);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(h, sql, -1, &st, nullptr);
  long n = st && sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : -1;
  sqlite3_finalize(st);
  sqlite3_close(h);
  return n;
}

void Need(const Phase& p, const std::string& what) {
  if (!p.ok) {
    std::fprintf(stderr, "transfer_bench: %s failed: %s\n", what.c_str(), p.report.error);
    std::exit(1);
  }
}

// Runs every phase of one kind and prints its lines of the table.
void Bench(const Kind& kind, int n, const std::string& dir) {
  std::string source = dir + "/" + kind.name + "-store.db", target = dir + "/" + kind.name + "-import.db";
  std::string rawTarget = dir + "/" + kind.name + "-raw.db";
  std::string exported = dir + "/" + kind.name + ".xlsx", raw = dir + "/" + kind.name + "-raw.xlsx";

  Need(RunPhase([&](Report& r) {
         auto t = Clock::now();
         sqlite3* db = CreateStore(source);
         kind.fill(db, n);
         sqlite3_close(db);
         for (const std::string& path : {target, rawTarget}) {
           db = CreateStore(path);
           Exec(db, ("ATTACH '" + source + "' AS src").c_str());
           Exec(db, kind.refs);
           Exec(db, "DETACH src");
           sqlite3_close(db);
         }
         r.seconds = Since(t);
       }),
       std::string("generating the databases of ") + kind.name);

  long rows = Count(source, kind.countSql);

  Phase exportPhase = RunPhase([&](Report& r) {
    SetLogHandler(&OnQuietLog, nullptr);
    SetWorkbookHandler(&OnWorkbook, &r);
    auto t = Clock::now();
    if (!kind.exportFn(source.c_str(), r.error)) throw std::runtime_error(r.error);
    r.seconds = Since(t);
  });
  Need(exportPhase, std::string("the export of ") + kind.name);
  // The export leaves its workbook where the host's files go, maybe on another device.
  std::filesystem::copy_file(exportPhase.report.text, exported, std::filesystem::copy_options::overwrite_existing);
  std::filesystem::remove(exportPhase.report.text);
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
    if (!kind.importFn(target.c_str(), exported.c_str(), r.error)) throw std::runtime_error(r.error);
    r.seconds = Since(t);
    if (!clock.writing) clock.firstItem = Clock::now();
    r.readSeconds = std::chrono::duration<double>(clock.firstItem - clock.start).count();
    r.count = clock.errors;
  });
  Need(importPhase, std::string("the import of ") + kind.name);
  long imported = Count(target, kind.countSql);
  if (imported != rows || importPhase.report.count != 0)
    std::fprintf(stderr, "transfer_bench: the %s import left %ld of %ld rows with %ld error lines\n", kind.name,
                 imported, rows, importPhase.report.count);

  Phase rawSqlite = RunPhase([&](Report& r) {
    sqlite3* from = OpenDb(source);
    sqlite3* to = OpenDb(rawTarget);
    auto t = Clock::now();
    kind.raw(from, to);
    r.seconds = Since(t);
    sqlite3_close(from);
    sqlite3_close(to);
  });
  Need(rawSqlite, std::string("the raw SQLite write of ") + kind.name);
  long written = Count(rawTarget, kind.countSql);
  if (written != rows)
    std::fprintf(stderr, "transfer_bench: the raw SQLite write of %s left %ld of %ld rows\n", kind.name, written,
                 rows);

  auto line = [&](const char* phase, double seconds, long rssKb, const char* against, double reference) {
    char ratio[64] = "";
    if (against) std::snprintf(ratio, sizeof ratio, "%.2fx %s", seconds / reference, against);
    std::printf("%-15s %-20s %8.3f %10.0f %9.1f %8.1f   %s\n", kind.name, phase, seconds, rows / seconds,
                rssKb / 1024.0, rssKb * 1024.0 / static_cast<double>(fileSize), ratio);
  };
  const Report& im = importPhase.report;
  double writing = im.seconds - im.readSeconds;
  std::printf("%-15s %ld %s; workbook %.2f MB, %ld text cells\n", kind.name, rows, kind.rows,
              fileSize / (1024.0 * 1024.0), rawRead.report.count);
  line("export", exportPhase.report.seconds, exportPhase.maxRssKb, "raw write", rawWrite.report.seconds);
  line("  raw write", rawWrite.report.seconds, rawWrite.maxRssKb, nullptr, 0);
  line("import", im.seconds, importPhase.maxRssKb, nullptr, 0);
  line("  reading phase", im.readSeconds, importPhase.maxRssKb, "raw read", rawRead.report.seconds);
  line("  raw read", rawRead.report.seconds, rawRead.maxRssKb, nullptr, 0);
  line("  writing phase", writing, importPhase.maxRssKb, "raw SQLite", rawSqlite.report.seconds);
  line("  raw SQLite", rawSqlite.report.seconds, rawSqlite.maxRssKb, nullptr, 0);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  int n = 20000;
  std::string dir, only;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--keep" && i + 1 < argc) {
      dir = argv[++i];
    } else if (a == "--kind" && i + 1 < argc) {
      only = argv[++i];
    } else if (a == "-h" || a == "--help") {
      std::printf("usage: transfer_bench [N] [--kind NAME] [--keep DIR]\n"
                  "  N            dishes in the synthetic menu (default 20000, 200 to 99999);\n"
                  "               the other kinds scale with it\n"
                  "  --kind NAME  only this kind:");
      for (const auto& k : kKinds) std::printf(" %s", k.name);
      std::printf("\n  --keep DIR   work in DIR and keep its files\n");
      return 0;
    } else {
      n = std::atoi(a.c_str());
    }
  }
  if (n < kMenuTypes || n > 99999) {
    std::fprintf(stderr, "transfer_bench: N must be between %d and 99999\n", kMenuTypes);
    return 2;
  }
  bool keep = !dir.empty();
  if (!keep) {
    char tmpl[] = "/tmp/transfer_bench-XXXXXX";
    if (!mkdtemp(tmpl)) return 1;
    dir = tmpl;
  }
  std::filesystem::create_directories(dir);

  std::printf("transfer_bench: N = %d; %ld processors online\n", n, sysconf(_SC_NPROCESSORS_ONLN));
  std::printf("%-15s %-20s %8s %10s %9s %8s   %s\n", "kind", "phase", "seconds", "rows/s", "maxRSS MB", "RSS/file",
              "ratio");
  bool any = false;
  for (const auto& kind : kKinds)
    if (only.empty() || only == kind.name) {
      Bench(kind, n, dir);
      any = true;
    }
  if (!keep) std::filesystem::remove_all(dir);
  if (!any) {
    std::fprintf(stderr, "transfer_bench: no kind is called '%s'\n", only.c_str());
    return 2;
  }
  return 0;
}
