// The workbook engine on files it did not write (made by openpyxl, xlwt and
// by hand), on its own exports read back by openpyxl, on hostile files, and
// through `setupxfer sheet`.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "support/TestSupport.h"
#include "workbook/SheetCells.h"
#include "workbook/WorkbookEngine.h"
#include "workbook/uExcelOperation.h"

using namespace sx;
using sxtest::TempDir;

namespace {

using sxtest::Outcome;
using sxtest::RunShell;

void MakeFixture(const std::string& kind, const std::string& path) {
  Outcome o = RunShell(sxtest::WorkbookTool() + " " + kind + " '" + path + "'");
  ASSERT_EQ(o.status, 0) << "fixture " << kind << " could not be made";
}

std::map<std::pair<int, int>, std::string> AllCells(TExcelOperation& excel) {
  std::map<std::pair<int, int>, std::string> cells;
  excel.Engine()->ForEachCell([&](int r, int c, const std::string& t) { cells[{r, c}] = t; });
  return cells;
}

}  // namespace

// ---- reading what users saved ------------------------------------------------

TEST(WorkbookReading, ImportSeesWhatTheUserSeesInAnOpenpyxlWorkbook) {
  TempDir dir;
  std::string file = dir.File("typed.xlsx");
  MakeFixture("cells", file);
  TExcelOperation excel;
  std::string message;
  ASSERT_TRUE(excel.OpenWorkbook(file, message)) << message;
  EXPECT_EQ(excel.ReadCell(1, 0), "padded text");
  EXPECT_EQ(excel.ReadCell(1, 1), "");  // blanks only
  EXPECT_EQ(excel.ReadCell(1, 2), "3");
  EXPECT_EQ(excel.ReadCell(1, 3), "12.5");
  EXPECT_EQ(excel.ReadCell(1, 4), "0.1");
  EXPECT_EQ(excel.ReadCell(2, 0), "2024-03-05");
  EXPECT_EQ(excel.ReadCell(2, 1), "08:30");
  EXPECT_EQ(excel.ReadCell(2, 2), "2024-03-05 17:45:10");
  EXPECT_EQ(excel.ReadCell(2, 3), "1");
  EXPECT_EQ(excel.ReadCell(2, 4), "0");
  EXPECT_EQ(excel.ReadCell(3, 26), "far right");  // column AA
  EXPECT_EQ(excel.ReadCell(4, 0), "#N/A");
  EXPECT_EQ(excel.ReadCell(4, 1), "12.5");  // "0.00" is not a date format
  EXPECT_EQ(excel.ReadCell(4, 2), "007");
  EXPECT_EQ(excel.ReadCell(4, 3), "2023-03-15");  // built-in date format 14
  EXPECT_EQ(excel.ReadCell(4, 4), "1234567.891");
  EXPECT_EQ(excel.ReadCell(5, 0), "退菜理由清单");
  EXPECT_EQ(excel.ReadCell(5, 1), "plain");  // one shared string, two cells
  EXPECT_EQ(excel.ReadCell(5, 2), "plain");
  EXPECT_EQ(excel.ReadCell(1, 5), "");  // styled but empty
  EXPECT_EQ(excel.ReadCell(99, 0), "");
  // Only the active sheet (the second) is read, and only cells with text.
  auto cells = AllCells(excel);
  EXPECT_EQ(cells.size(), 18u);
  EXPECT_EQ(cells.count({1, 1}), 0u);
  for (const auto& [at, text] : cells) EXPECT_NE(text, "not the active sheet");
}

TEST(WorkbookReading, ImportReadsInlineRichFormulaAndErrorCellsOfOtherProducers) {
  TempDir dir;
  std::string file = dir.File("raw.xlsx");
  MakeFixture("raw", file);
  TExcelOperation excel;
  std::string message;
  ASSERT_TRUE(excel.OpenWorkbook(file, message)) << message;
  EXPECT_EQ(excel.ReadCell(1, 0), "inline");
  EXPECT_EQ(excel.ReadCell(1, 1), "Bold and italic");  // rich text, phonetic run left out
  EXPECT_EQ(excel.ReadCell(1, 2), "plain");
  EXPECT_EQ(excel.ReadCell(2, 0), "3");  // cached value of =1+2
  EXPECT_EQ(excel.ReadCell(2, 1), "ab");
  EXPECT_EQ(excel.ReadCell(2, 2), "#DIV/0!");
  EXPECT_EQ(excel.ReadCell(2, 3), "");  // a formula without a cached value
  // The workbook counts dates from 1904.
  EXPECT_EQ(excel.ReadCell(3, 0), "1904-01-01");
  EXPECT_EQ(excel.ReadCell(3, 1), "2024-01-02");
  EXPECT_EQ(excel.ReadCell(3, 2), "12:00");  // a time without a day
  // A row and cells without references follow on from the previous ones.
  EXPECT_EQ(excel.ReadCell(4, 0), "7");
  EXPECT_EQ(excel.ReadCell(4, 1), "1");
  EXPECT_EQ(excel.ReadCell(4, 3), "rich");
  EXPECT_EQ(excel.ReadCell(4, 4), "CR\rhere _x0041_");
}

TEST(WorkbookReading, DatesOfA1904WorkbookReadAsTheUserSeesThem) {
  TempDir dir;
  std::string file = dir.File("mac.xlsx");
  MakeFixture("epoch1904", file);
  TExcelOperation excel;
  std::string message;
  ASSERT_TRUE(excel.OpenWorkbook(file, message)) << message;
  EXPECT_EQ(excel.ReadCell(1, 0), "2024-03-05");
  EXPECT_EQ(excel.ReadCell(1, 1), "2001-01-02 06:07");
}

TEST(WorkbookReading, OldXlsWorkbooksReadLikeXlsxOnes) {
  TempDir dir;
  // Named .xlsx on purpose: the format is recognised by content.
  std::string file = dir.File("old.xlsx");
  MakeFixture("xls", file);
  TExcelOperation excel;
  std::string message;
  ASSERT_TRUE(excel.OpenWorkbook(file, message)) << message;
  EXPECT_EQ(excel.ReadCell(1, 0), "padded text");
  EXPECT_EQ(excel.ReadCell(1, 1), "");
  EXPECT_EQ(excel.ReadCell(1, 2), "3");
  EXPECT_EQ(excel.ReadCell(1, 3), "12.5");
  EXPECT_EQ(excel.ReadCell(1, 4), "0.1");
  EXPECT_EQ(excel.ReadCell(2, 0), "2024-03-05");
  EXPECT_EQ(excel.ReadCell(2, 1), "08:30");
  EXPECT_EQ(excel.ReadCell(2, 2), "2024-03-05 17:45:10");
  EXPECT_EQ(excel.ReadCell(2, 3), "1");
  EXPECT_EQ(excel.ReadCell(2, 4), "0");
  EXPECT_EQ(excel.ReadCell(3, 26), "far right");
  EXPECT_EQ(excel.ReadCell(4, 0), "#N/A");
  EXPECT_EQ(excel.ReadCell(4, 1), "#VALUE!");
  EXPECT_EQ(excel.ReadCell(4, 2), "007");
  EXPECT_EQ(excel.ReadCell(5, 0), "退菜理由清单");
  EXPECT_EQ(AllCells(excel).size(), 14u);  // the active (first) sheet only
}

// ---- exporting -------------------------------------------------------------------

TEST(WorkbookExport, HandedOverWorkbookHoldsTextCellsExactlyWhereWritten) {
  sxtest::HostCapture host;
  std::map<std::string, std::string> written = {
      {"A1", "menusuite"}, {"C1", "a/b:c 清单"}, {"D1", "2.5.2011.1N"}, {"B3", "007"},
      {"C3", "12.5"},      {"AA3", "far"},       {"B20000", " padded "}};
  {
    TExcelOperation excel;
    std::string message;
    ASSERT_TRUE(excel.NewWorkbook(message)) << message;
    // Out of order, and one cell overwritten.
    excel.WriteCell(20000, 1, " padded ");
    excel.WriteCell(3, 26, "far");
    excel.WriteCell(3, 2, "wrong");
    excel.WriteCell(3, 2, "12.5");
    excel.WriteCell(3, 1, "007");
    excel.WriteCell(1, 3, "2.5.2011.1N");
    excel.WriteCell(1, 2, "a/b:c 清单");
    excel.WriteCell(1, 0, "menusuite");
    EXPECT_EQ(excel.ReadCell(3, 2), "12.5");
    host.workbooks.push_back(excel.HandOver());
  }
  ASSERT_EQ(host.workbooks.size(), 1u);
  std::filesystem::path path = host.workbooks[0];
  EXPECT_EQ(path.parent_path(), std::filesystem::temp_directory_path());
  EXPECT_EQ(path.extension(), ".xlsx");
  EXPECT_EQ(path.filename().string().rfind("a_b_c 清单_", 0), 0u) << path;

  Outcome dump = RunShell(sxtest::WorkbookTool() + " dump '" + path.string() + "'");
  ASSERT_EQ(dump.status, 0);
  std::set<std::string> lines;
  size_t start = 0;
  while (start < dump.out.size()) {
    size_t end = dump.out.find('\n', start);
    lines.insert(dump.out.substr(start, end - start));
    start = end + 1;
  }
  std::set<std::string> expected;
  for (const auto& [at, text] : written) expected.insert(at + "\ts\t@\t" + text);
  EXPECT_EQ(lines, expected);

  // The reader takes back what was written, trimmed.
  TExcelOperation back;
  std::string message;
  ASSERT_TRUE(back.OpenWorkbook(path.string(), message)) << message;
  EXPECT_EQ(back.ReadCell(3, 1), "007");
  EXPECT_EQ(back.ReadCell(20000, 1), "padded");
  std::filesystem::remove(path);
}

TEST(WorkbookExport, ColumnsFormattedAsTextKeepWhatIsTypedIntoThemText) {
  sxtest::HostCapture host;
  {
    TExcelOperation excel;
    std::string message;
    ASSERT_TRUE(excel.NewWorkbook(message)) << message;
    excel.WriteCell(1, 0, "menutype");
    for (int column : {3, 1, 2, 27}) excel.FormatColumnAsText(column);
    excel.FormatColumnAsText(1);  // twice is once
    excel.WriteCell(2, 1, "编号");
    EXPECT_THROW(excel.FormatColumnAsText(16384), std::exception);
    host.workbooks.push_back(excel.HandOver());
  }
  ASSERT_EQ(host.workbooks.size(), 1u);
  Outcome columns = RunShell(sxtest::WorkbookTool() + " columns '" + host.workbooks[0] + "'");
  EXPECT_EQ(columns.status, 0);
  // Every empty cell of B, C, D and AB takes its column's format; A has none.
  EXPECT_EQ(columns.out, "AB\t@\nB\t@\nC\t@\nD\t@\n");
  Outcome cells = RunShell(sxtest::WorkbookTool() + " dump '" + host.workbooks[0] + "'");
  EXPECT_EQ(cells.out, "A1\ts\t@\tmenutype\nB2\ts\t@\t编号\n");
  std::filesystem::remove(host.workbooks[0]);
}

TEST(WorkbookExport, ExportsInTheSameSecondNeverOverwriteEachOther) {
  sxtest::HostCapture host;
  for (int i = 0; i < 3; ++i) {
    TExcelOperation excel;
    std::string message;
    ASSERT_TRUE(excel.NewWorkbook(message));
    excel.WriteCell(1, 2, "同名");
    excel.WriteCell(2, 1, std::to_string(i));
    host.workbooks.push_back(excel.HandOver());
  }
  ASSERT_EQ(host.workbooks.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    TExcelOperation excel;
    std::string message;
    ASSERT_TRUE(excel.OpenWorkbook(host.workbooks[static_cast<size_t>(i)], message)) << message;
    EXPECT_EQ(excel.ReadCell(2, 1), std::to_string(i));
    std::filesystem::remove(host.workbooks[static_cast<size_t>(i)]);
  }
}

TEST(WorkbookExport, WorkbookThatCannotBeSavedIsNotHandedOver) {
  sxtest::HostCapture host;
  const char* old = std::getenv("TMPDIR");
  std::string saved = old ? old : "";
  setenv("TMPDIR", "/nonexistent/folder", 1);
  auto engine = WorkbookEngine::Create();
  engine->WriteCell(1, 2, "title");
  try {
    engine->HandOver();
    ADD_FAILURE() << "the hand-over succeeded";
  } catch (const std::exception& e) {
    EXPECT_NE(std::string(e.what()).find("Cannot save the workbook"), std::string::npos) << e.what();
  }
  {
    TExcelOperation excel;  // dropped without a hand-over: nothing to save
    std::string message;
    ASSERT_TRUE(excel.NewWorkbook(message));
    excel.WriteCell(1, 0, "x");
  }
  if (old)
    setenv("TMPDIR", saved.c_str(), 1);
  else
    unsetenv("TMPDIR");
  EXPECT_TRUE(host.workbooks.empty());
}

TEST(WorkbookExport, CellsOutsideTheSheetAreRefused) {
  auto engine = WorkbookEngine::Create();
  EXPECT_THROW(engine->WriteCell(0, 0, "x"), std::exception);
  EXPECT_THROW(engine->WriteCell(1048577, 0, "x"), std::exception);
  EXPECT_THROW(engine->WriteCell(1, 16384, "x"), std::exception);
  engine->WriteCell(1048576, 16383, "corner");
  EXPECT_EQ(engine->ReadCell(1048576, 16383), "corner");
}

TEST(SheetCellsTest, CellsInAnyOrderAreKeptSortedAndTheLastTextWins) {
  SheetCells cells;
  // Backwards, as a crafted file may list them: rows and columns descending.
  auto start = std::chrono::steady_clock::now();
  for (int row = 60000; row >= 1; --row)
    for (int column = 1; column >= 0; --column) cells.Set(row, column, std::to_string(row * 10 + column));
  cells.Set(5, 1, "again");
  cells.Set(1, 9, "tail");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  ASSERT_NE(cells.Find(5, 1), nullptr);
  EXPECT_EQ(*cells.Find(5, 1), "again");
  EXPECT_EQ(*cells.Find(60000, 1), "600001");
  EXPECT_EQ(cells.Find(3, 3), nullptr);
  EXPECT_EQ(cells.Count(), 120001u);
  int previousRow = 0, previousColumn = -1;
  bool ordered = true;
  cells.ForEach([&](int row, int column, const std::string&) {
    ordered = ordered && (row > previousRow || (row == previousRow && column > previousColumn));
    previousRow = row;
    previousColumn = column;
  });
  EXPECT_TRUE(ordered);
}

// ---- hostile and broken files ---------------------------------------------------------

TEST(WorkbookHostileFiles, EachFailsQuicklyWithAMessageNamingTheFile) {
  TempDir dir;
  std::map<std::string, std::string> reasons = {
      {"malformed", "not well-formed"}, {"laughs", "document type"},   {"dimension", "dimension"},
      {"cellref", "cell reference"},    {"rownumber", "row number"},  {"nosheet", "not a workbook"},
      {"bomb", "more data"}};
  std::vector<std::pair<std::string, std::string>> files;  // path, expected reason
  for (const auto& [kind, reason] : reasons) {
    files.emplace_back(dir.File(kind + ".xlsx"), reason);
    MakeFixture(kind, files.back().first);
  }
  // Broken copies of a sound workbook.
  std::string sound = dir.File("sound.xlsx");
  MakeFixture("cells", sound);
  std::string bytes;
  {
    std::ifstream in(sound, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  auto write = [&](const std::string& name, const std::string& data) {
    std::ofstream(dir.File(name), std::ios::binary) << data;
    return dir.File(name);
  };
  files.emplace_back(write("truncated.xlsx", bytes.substr(0, bytes.size() / 2)), "zip");
  // Damage the packed data of the active sheet (the second).
  std::string corrupt = bytes;
  size_t sheet = corrupt.find("xl/worksheets/sheet2.xml");
  ASSERT_NE(sheet, std::string::npos);
  for (size_t i = sheet + 30; i < sheet + 80; ++i) corrupt[i] = static_cast<char>(~corrupt[i]);
  files.emplace_back(write("corrupt.xlsx", corrupt), "");
  files.emplace_back(write("notes.xlsx", "just some text\n"), "not an Excel workbook");
  files.emplace_back(write("empty.xlsx", ""), "not an Excel workbook");
  files.emplace_back(write("fake.xls", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(600, 'x')), "");
  files.emplace_back(dir.File("missing.xlsx"), "No such file");

  for (const auto& [file, reason] : files) {
    auto start = std::chrono::steady_clock::now();
    TExcelOperation excel;
    std::string message;
    EXPECT_FALSE(excel.OpenWorkbook(file, message)) << file;
    EXPECT_FALSE(excel.Attached());
    EXPECT_NE(message.find("'" + file + "'"), std::string::npos) << message;
    EXPECT_NE(message.find(reason), std::string::npos) << message;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20)) << file;
  }
}

// ---- setupxfer sheet --------------------------------------------------------------------

TEST(SheetCommand, ReadsAnXlsSavedByLibreOffice) {
  // Saved by LibreOffice Calc ("MS Excel 97" filter) from a sheet typed with
  // blanks, numbers, a date, a time, a date-time, a boolean and a far column.
  std::string file = std::string(SETUPXFER_SOURCE_DIR) + "/tests/fixtures/libreoffice-cells.xls";
  Outcome ok = RunShell("'" + sxtest::ToolPath() + "' sheet '" + file + "'");
  EXPECT_EQ(ok.status, 0);
  EXPECT_EQ(ok.out,
            "1\t0\tpadded text\n1\t2\t3\n1\t3\t12.5\n1\t4\t0.1\n"
            "2\t0\t2024-03-05\n2\t1\t08:30\n2\t2\t2024-03-05 17:45:10\n2\t3\t1\n"
            "3\t26\tfar right\n4\t2\t007\n5\t0\t退菜理由清单\n5\t1\t退菜理由清单\n");
}

TEST(SheetCommand, PrintsOneEscapedLinePerCellAndFailsOnABadFile) {
  TempDir dir;
  std::string file = dir.File("escapes.xlsx");
  MakeFixture("escapes", file);
  std::string tool = sxtest::ToolPath();
  Outcome ok = RunShell("'" + tool + "' sheet '" + file + "'");
  EXPECT_EQ(ok.status, 0);
  EXPECT_EQ(ok.out, "1\t0\ttab\\there\n1\t1\ttwo\\nlines\n2\t0\tback\\\\slash\n");

  Outcome bad = RunShell("'" + tool + "' sheet '" + dir.File("missing.xlsx") + "' 2>&1");
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.out.find(dir.File("missing.xlsx")), std::string::npos) << bad.out;

  Outcome help = RunShell("'" + tool + "' sheet --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("usage: setupxfer sheet FILE"), std::string::npos);
}
