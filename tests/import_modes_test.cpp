// Check-only imports, import reports and empty templates, through the tool,
// for every kind of the list.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

#include "setupxfer.h"
#include "support/OdbcSupport.h"
#include "support/TestSupport.h"

using sxtest::Outcome;

namespace {

struct KindCase {
  const char* name;
  bool group;  // the kind exists for the group database too
};

const KindCase kKinds[] = {
#define SX_KIND(name, ...) {#name, true},
#define SX_STORE_KIND(name, ...) {#name, false},
#include "transfer/KindList.inc"
#undef SX_KIND
#undef SX_STORE_KIND
};

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The tool's output without its last line (the summary with the time taken).
std::string WithoutSummary(const std::string& out) {
  std::size_t end = out.rfind('\n', out.size() >= 2 ? out.size() - 2 : 0);
  return end == std::string::npos ? "" : out.substr(0, end + 1);
}

const std::string kClosing = "检查模式：未写入任何数据\n";

// A check's log as the real import's would read: without the closing line
// (empty when that line is missing) and the summary.
std::string AsRealLog(const std::string& out) {
  std::string log = WithoutSummary(out);
  std::size_t closing = log.rfind(kClosing);
  return closing == std::string::npos || log.compare(closing + kClosing.size(), std::string::npos, "完毕!\n") != 0
             ? ""
             : log.erase(closing, kClosing.size());
}

struct ImportModesTest : ::testing::Test {
  sxtest::TempDir dir;
  std::string tool = sxtest::ToolPath();

  Outcome Run(const std::string& args) { return sxtest::RunShell("'" + tool + "' " + args + " 2>&1 </dev/null"); }
  static std::string Q(const std::string& s) { return "'" + s + "'"; }

  // A sample database of the edition (brand B01 in a group database).
  std::string Sample(const std::string& name, bool group) {
    std::string path = dir.File(name);
    Outcome o = Run("init-db " + Q(path) + (group ? " --edition group --brand B01" : " --edition store") + " --sample");
    EXPECT_EQ(o.status, 0) << o.out;
    return path;
  }
};

}  // namespace

// Each kind's sample data, exported and imported back with --check: the
// database file keeps every byte, and the log is the real import's plus the
// closing line.
TEST_F(ImportModesTest, CheckWritesNothingAndLogsWhatTheImportLogs) {
  for (bool group : {false, true}) {
    std::string source = Sample(group ? "g.db" : "s.db", group);
    std::string brand = group ? " --brand B01" : "";
    for (const KindCase& k : kKinds) {
      if (group && !k.group) continue;
      SCOPED_TRACE(std::string(k.name) + (group ? " group" : " store"));
      std::string book = dir.File(std::string(k.name) + (group ? "-g" : "-s") + ".xlsx");
      std::string db = dir.File("target.db");
      std::filesystem::copy_file(source, db, std::filesystem::copy_options::overwrite_existing);
      ASSERT_EQ(Run("export " + std::string(k.name) + brand + " --db " + Q(source) + " -o " + Q(book)).status, 0);
      std::string before = Bytes(db);
      std::string args = "import " + std::string(k.name) + " " + Q(book) + brand + " --db " + Q(db);
      Outcome check = Run(args + " --check");
      EXPECT_TRUE(Bytes(db) == before) << "the database changed";
      Outcome real = Run(args);
      EXPECT_EQ(check.status, real.status);
      EXPECT_NE(real.out.find("完毕!"), std::string::npos) << real.out;
      EXPECT_EQ(AsRealLog(check.out), WithoutSummary(real.out));
    }
  }
}

// A later item sees an earlier one as written (users take gift roles that
// are new to the database), and a failing item is undone alone; through the
// native engine and through ODBC.
TEST_F(ImportModesTest, CheckSeesEarlierItemsAndUndoesFailingOnes) {
  std::string source = Sample("s.db", false);
  std::vector<sxtest::Engine> engines{sxtest::Engine::Native};
  if (sxtest::RegisterOdbcDrivers()) engines.push_back(sxtest::Engine::Odbc);
  struct Case {
    const char* kind;
    std::string setup;  // run on the target before the imports
    const char* says;   // in both logs
  } cases[] = {
      {"giftdishcontrol", "delete from GiftDishRoleItem; delete from GiftDishRole; update HotelUser set GiftRoleID=null",
       "正在导入员工0001的赠送角色"},
      {"backreason", "delete from BackReason; create trigger refuse before insert on BackReason when "
                     "new.BackReasonDesc = '乙' begin select raise(abort, 'refused'); end", "refused"},
  };
  for (sxtest::Engine engine : engines) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.kind) + " " + sxtest::EngineName(engine));
      std::string name = std::string(c.kind) + sxtest::EngineName(engine);
      std::string book = dir.File(name + ".xlsx"), db = dir.File(name + ".db");
      if (std::string(c.kind) == "backreason")
        sxtest::MakeXlsx(book, {{1, 0, "backreason"}, {2, 1, "退菜理由"}, {3, 1, "甲"}, {4, 1, "乙"}, {5, 1, "丙"}});
      else
        ASSERT_EQ(Run("export " + std::string(c.kind) + " --db " + Q(source) + " -o " + Q(book)).status, 0);
      std::filesystem::copy_file(source, db);
      sxtest::SqlExec(db, c.setup);
      std::string before = Bytes(db);
      std::string args = "import " + std::string(c.kind) + " " + Q(book) + " --db " +
                         Q(sxtest::ConnectionStringFor(engine, db));
      Outcome check = Run(args + " --check");
      EXPECT_TRUE(Bytes(db) == before) << "the database changed";
      Outcome real = Run(args);
      EXPECT_EQ(check.status, real.status);
      EXPECT_EQ(AsRealLog(check.out), WithoutSummary(real.out));
      EXPECT_NE(real.out.find(c.says), std::string::npos) << real.out;
      EXPECT_EQ(real.out.find("没有找到"), std::string::npos) << real.out;
    }
  }
}

namespace {

// Keeps the last report an import handed over.
void KeepReport(void* context, const char* json) { *static_cast<std::string*>(context) = json; }

}  // namespace

// A workbook of return reasons with a known mix: two written, one refused by
// the database, one rejected row. The totals agree with the rows written,
// through the tool's --report and through the exported handler.
TEST_F(ImportModesTest, ReportCountsWhatTheImportDid) {
  std::string book = dir.File("mix.xlsx");
  sxtest::MakeXlsx(book, {{1, 0, "backreason"}, {2, 1, "退菜理由"}, {3, 1, "甲"}, {4, 1, "乙"},
                          {5, 1, std::string(300, 'x')}, {6, 1, "丙"}});
  for (bool group : {false, true}) {
    SCOPED_TRACE(group ? "exported function, group" : "tool, store");
    std::string db = Sample(group ? "g.db" : "s.db", group);
    std::string table = group ? "Group_BackReason" : "BackReason";
    sxtest::SqlExec(db, "delete from " + table + "; create trigger refuse before insert on " + table +
                            " when new.BackReasonDesc = '乙' begin select raise(abort, 'refused'); end");
    std::string json;
    if (group) {
      sxtest::HostCapture host;
      SetReportHandler(&KeepReport, &json);
      char error[256] = {};
      EXPECT_EQ(ImportGroupBackReason(db.c_str(), "B01", book.c_str(), error), 1) << error;
      SetReportHandler(nullptr, nullptr);
    } else {
      std::string file = dir.File("report.json");
      Outcome o = Run("import backreason " + Q(book) + " --db " + Q(db) + " --report " + Q(file));
      EXPECT_EQ(o.status, 3) << o.out;
      EXPECT_NE(o.out.find("\n2 items written, 1 row rejected, 1 item failed in "), std::string::npos) << o.out;
      json = Bytes(file);
    }
    nlohmann::json r = nlohmann::json::parse(json);
    EXPECT_EQ(r["totals"], nlohmann::json::parse(
                               R"({"items": 3, "written": 2, "failed": 1, "rejectedRows": 1, "otherErrors": 0})"));
    EXPECT_EQ(std::to_string(r["totals"]["written"].get<int>()),
              sxtest::SqlColumn(db, "select count(*) from " + table).at(0));
    EXPECT_EQ(r["rejectedRows"][0]["row"], 5);
    EXPECT_EQ(r["items"][1]["key"], "退菜理由\"乙\"");
    EXPECT_EQ(r["items"][1]["written"], false);
    EXPECT_NE(r["items"][1]["messages"][0].get<std::string>().find("refused"), std::string::npos);
    EXPECT_EQ(r["kind"], "backreason");
    EXPECT_EQ(r["edition"], group ? "group" : "store");
    EXPECT_EQ(r["brand"], group ? "B01" : "");
    EXPECT_EQ(r["file"], book);
    EXPECT_EQ(r["done"], true);
    EXPECT_LE(r["start"].get<std::string>(), r["end"].get<std::string>());
  }
}

// Every kind's template holds its markers (with the brand) and captions, and
// importing it untouched into a database with data changes nothing and logs
// no error. (The store's store items keep their one fixed family row.)
TEST_F(ImportModesTest, UntouchedTemplateImportsCleanly) {
  for (bool group : {false, true}) {
    std::string source = Sample(group ? "g.db" : "s.db", group);
    std::string brand = group ? " --brand B01" : "";
    std::string before = Bytes(source);
    for (const KindCase& k : kKinds) {
      if (group && !k.group) continue;
      SCOPED_TRACE(std::string(k.name) + (group ? " group" : " store"));
      std::string book = dir.File(std::string("t-") + k.name + (group ? "-g" : "-s") + ".xlsx");
      Outcome made = Run("template " + std::string(k.name) + brand + " -o " + Q(book));
      ASSERT_EQ(made.status, 0) << made.out;
      Outcome cells = Run("sheet " + Q(book));
      EXPECT_NE(cells.out.find(group ? "1\t1\tB01\n" : "1\t3\t2.5.2011.1N\n"), std::string::npos) << cells.out;
      Outcome im = Run("import " + std::string(k.name) + " " + Q(book) + brand + " --db " + Q(source));
      EXPECT_EQ(im.status, 0) << im.out;
      EXPECT_EQ(im.out.find("错误"), std::string::npos) << im.out;
      EXPECT_NE(im.out.find(" written, 0 rows rejected in "), std::string::npos) << im.out;
      EXPECT_TRUE(Bytes(source) == before) << "the database changed";
    }
  }
}
