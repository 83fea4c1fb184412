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
  bool Next() { return !done_ && !(done_ = sqlite3_step(st_) != SQLITE_ROW); }
  sqlite3_value* Value(std::size_t column) const { return sqlite3_column_value(st_, static_cast<int>(column)); }
  std::string Text(std::size_t column) const {
    const unsigned char* t = sqlite3_column_text(st_, static_cast<int>(column));
    return t ? reinterpret_cast<const char*>(t) : "";
  }
  std::size_t Column(const char* name) const {
    for (std::size_t c = 0; c < columns.size(); ++c)
      if (strcasecmp(columns[c].c_str(), name) == 0) return c;
    throw std::runtime_error(std::string("no source column ") + name);
  }

  std::vector<std::string> columns;

 private:
  sqlite3_stmt* st_;
  bool done_ = false;
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
  const char* rows;  // what a row is
  int (*size)(int n);  // rows for the benchmark size N
  void (*fill)(sqlite3* db, int rows);
  SxBool (*exportFn)(const char* connection, char* errorText);
  SxBool (*importFn)(const char* connection, const char* fileName, char* errorText);
  const char* countSql;  // rows of the kind after the import
  long (*expected)(int rows);
  // Writes the same rows straight into SQLite.
  void (*raw)(sqlite3* source, sqlite3* target);
};

int Whole(int n) { return n; }
int Hundredth(int n) { return std::max(1, n / 100); }
long Same(int rows) { return rows; }

// clang-format off
const Kind kKinds[] = {
    {"menu", "dishes", Whole, FillMenu, ExportMenu, ImportMenu, "select count(*) from MenuItem", Same, RawMenu},
    {"backreason", "return reasons", Hundredth,
     [](sqlite3* db, int rows) { FillList(db, "BackReason", "BackReasonDesc", "退菜理由", rows); },
     ExportBackReason, ImportBackReason, "select count(*) from BackReason", Same,
     [](sqlite3* s, sqlite3* t) { RawList(s, t, "BackReason", "BackReasonDesc"); }},
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
  int rows = kind.size(n);
  std::string source = dir + "/" + kind.name + "-store.db", target = dir + "/" + kind.name + "-import.db";
  std::string rawTarget = dir + "/" + kind.name + "-raw.db";
  std::string exported = dir + "/" + kind.name + ".xlsx", raw = dir + "/" + kind.name + "-raw.xlsx";

  Need(RunPhase([&](Report& r) {
         auto t = Clock::now();
         sqlite3* db = CreateStore(source);
         kind.fill(db, rows);
         sqlite3_close(db);
         sqlite3_close(CreateStore(target));
         sqlite3_close(CreateStore(rawTarget));
         r.seconds = Since(t);
       }),
       std::string("generating the databases of ") + kind.name);

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
  if (imported != kind.expected(rows) || importPhase.report.count != 0)
    std::fprintf(stderr, "transfer_bench: the %s import wrote %ld of %ld rows with %ld error lines\n", kind.name,
                 imported, kind.expected(rows), importPhase.report.count);

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
  if (written != kind.expected(rows))
    std::fprintf(stderr, "transfer_bench: the raw SQLite write of %s wrote %ld of %ld rows\n", kind.name, written,
                 kind.expected(rows));

  auto line = [&](const char* phase, double seconds, long rssKb, const char* against, double reference) {
    char ratio[64] = "";
    if (against) std::snprintf(ratio, sizeof ratio, "%.2fx %s", seconds / reference, against);
    std::printf("%-11s %-20s %8.3f %10.0f %9.1f %8.1f   %s\n", kind.name, phase, seconds, rows / seconds,
                rssKb / 1024.0, rssKb * 1024.0 / static_cast<double>(fileSize), ratio);
  };
  const Report& im = importPhase.report;
  double writing = im.seconds - im.readSeconds;
  std::printf("%-11s %d %s; workbook %.2f MB, %ld text cells\n", kind.name, rows, kind.rows,
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
  std::printf("%-11s %-20s %8s %10s %9s %8s   %s\n", "kind", "phase", "seconds", "rows/s", "maxRSS MB", "RSS/file",
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
