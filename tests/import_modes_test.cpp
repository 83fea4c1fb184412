// Check-only imports, import reports and empty templates, through the tool,
// for every kind of the list.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

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
