// The .xls reader on a file LibreOffice saved, and on damaged and crafted
// workbook streams inside sound compound files.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

#include "support/CaseWorkbooks.h"
#include "support/TestSupport.h"
#include "workbook/WorkbookEngine.h"
#include "workbook/uExcelOperation.h"

using namespace sx;

namespace {

std::map<std::pair<int, int>, std::string> CellsOf(const std::string& file, std::string& message) {
  std::map<std::pair<int, int>, std::string> cells;
  TExcelOperation excel;
  if (!excel.OpenWorkbook(file, message)) return cells;
  excel.Engine()->ForEachCell([&](int r, int c, const std::string& t) { cells[{r, c}] = t; });
  return cells;
}

std::uint16_t U16(const std::string& s, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8);
}

// The offset of the nth record of a type in a workbook stream.
std::size_t FindRecord(const std::string& stream, unsigned type, int nth = 0) {
  for (std::size_t at = 0; at + 4 <= stream.size(); at += 4 + U16(stream, at + 2))
    if (U16(stream, at) == type && nth-- == 0) return at;
  ADD_FAILURE() << "no record " << type;
  return 0;
}

void Set32(std::string& s, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
}

}  // namespace

TEST(XlsReader, ReadsTheActiveSecondSheetOfALibreOfficeWorkbook) {
  std::string file = std::string(SETUPXFER_SOURCE_DIR) + "/tests/fixtures/libreoffice-second-sheet.xls";
  std::string message;
  auto cells = CellsOf(file, message);
  EXPECT_EQ(message, "");
  std::map<std::pair<int, int>, std::string> expected = {
      {{1, 0}, "menutype"},     {{1, 1}, "1"},        {{1, 2}, "0"},       {{1, 3}, "1"},  // TRUE, FALSE, =1=1
      {{2, 1}, "#N/A"},         {{2, 2}, "#DIV/0!"},  {{2, 3}, "#VALUE!"},                 // formulas' errors
      {{3, 1}, "3"},                                                                        // =1+2
      {{4, 1}, "2024-03-05"},   {{4, 2}, "08:30"},    {{4, 3}, "12.5"},
      {{5, 1}, "退菜理由清单"}, {{5, 2}, "6901234567892"}, {{5, 3}, "9"}};
  EXPECT_EQ(cells, expected);
}

TEST(XlsReader, DamagedOrCraftedStreamsFailWithAReason) {
  const std::string sound = sxtest::CasesBiff(sxtest::CellCases());
  auto patched = [&](auto&& patch) {
    std::string s = sound;
    patch(s);
    return s;
  };
  std::size_t sst = FindRecord(sound, 0x00FC);
  struct Case {
    const char* name;
    std::string stream;
    const char* reason;
  };
  std::vector<Case> cases = {
      {"cut in the middle", sound.substr(0, sound.size() / 2), "truncated"},
      {"cut inside a record", sound.substr(0, FindRecord(sound, 0x0085) + 6), "truncated"},
      {"password", patched([](std::string& s) { s.insert(20, std::string("\x2F\x00\x02\x00\x00\x00", 6)); }),
       "password"},
      {"sheet beyond the end",
       patched([&](std::string& s) { Set32(s, FindRecord(s, 0x0085, 1) + 4, 0x7FFFFFF0); }), "beyond the end"},
      {"sheet not at a sheet",
       patched([&](std::string& s) { Set32(s, FindRecord(s, 0x0085, 1) + 4, 20); }), "does not begin"},
      {"strings claimed", patched([&](std::string& s) { Set32(s, sst + 8, 0x7FFFFFFF); }), "too many strings"},
      {"strings missing", patched([&](std::string& s) { Set32(s, sst + 8, 5); }), "truncated"},
      {"string beyond the table",
       patched([&](std::string& s) { Set32(s, FindRecord(s, 0x00FD) + 10, 1000); }), "shared string 1000"},
      {"string longer than its record", patched([&](std::string& s) { s[sst + 12] = '\x7F'; }), "truncated"},
      {"cell beyond the columns",
       patched([&](std::string& s) { s[FindRecord(s, 0x027E) + 7] = '\x7F'; }), "outside"},
      {"not a workbook", patched([](std::string& s) { s[6] = 0x10; }), "does not begin a workbook"},
      {"Excel 4", patched([](std::string& s) { s[5] = 0x04; }), "older than Excel 5"},
      {"empty", "", "does not begin a workbook"},
  };
  sxtest::TempDir dir;
  for (const auto& c : cases) {
    std::string file = dir.File("crafted.xls");
    sxtest::WriteXls(file, c.stream);
    std::string message;
    auto cells = CellsOf(file, message);
    EXPECT_NE(message.find("'" + file + "'"), std::string::npos) << c.name << ": " << message;
    EXPECT_NE(message.find(c.reason), std::string::npos) << c.name << ": " << message;
  }
}

TEST(XlsReader, ReadsAnExcel95WorkbookInItsCodePage) {
  auto rec = [](unsigned type, const std::string& data) {
    std::string r = {static_cast<char>(type & 0xFF), static_cast<char>(type >> 8),
                     static_cast<char>(data.size() & 0xFF), static_cast<char>(data.size() >> 8)};
    return r + data;
  };
  const std::string bof = std::string("\x00\x05\x05\x00", 4) + std::string(4, '\0');
  const std::string sheetBof = std::string("\x00\x05\x10\x00", 4) + std::string(4, '\0');
  // "退菜" in code page 936, a number and a one-byte name.
  std::string sheet = rec(0x0809, sheetBof) +
                      rec(0x0204, std::string("\x00\x00\x01\x00\x00\x00\x04\x00\xCD\xCB\xB2\xCB", 12)) +
                      rec(0x0203, std::string("\x01\x00\x01\x00\x00\x00", 6) +
                                      std::string("\x00\x00\x00\x00\x00\x00\x29\x40", 8)) +
                      rec(0x000A, "");
  std::string head = rec(0x0809, bof) + rec(0x0042, std::string("\xA8\x03", 2));
  std::string bound = rec(0x0085, std::string(8, '\0') + "\x01S");
  std::string globals = head + bound + rec(0x000A, "");
  Set32(globals, head.size() + 4, static_cast<std::uint32_t>(globals.size()));  // the sheet's offset
  sxtest::TempDir dir;
  std::string file = dir.File("excel95.xls");
  sxtest::WriteXls(file, globals + sheet, "Book");
  std::string message;
  auto cells = CellsOf(file, message);
  EXPECT_EQ(message, "");
  EXPECT_EQ(cells, (std::map<std::pair<int, int>, std::string>{{{1, 1}, "退菜"}, {{2, 1}, "12.5"}}));
}
