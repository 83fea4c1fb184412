// One table of cell cases, read alike by the conversion itself and by every
// workbook reader of this platform.
#include <gtest/gtest.h>

#include "base/Text.h"
#include "support/CaseWorkbooks.h"
#include "support/CellCases.h"
#include "support/TestSupport.h"
#include "workbook/CellFormat.h"
#include "workbook/uExcelOperation.h"

using namespace sx;
using sxtest::CellCases;

namespace {

void ExpectCasesRead(const std::string& file) {
  TExcelOperation excel;
  std::string message;
  ASSERT_TRUE(excel.OpenWorkbook(file, message)) << message;
  auto cases = CellCases();
  for (std::size_t i = 0; i < cases.size(); ++i)
    EXPECT_EQ(excel.ReadCell(static_cast<int>(i) + 1, 1), cases[i].text) << cases[i].name;
}

}  // namespace

TEST(CellText, EveryCaseReadsAsItsText) {
  for (const auto& c : CellCases()) EXPECT_EQ(Trim(CellText(c.value)), c.text) << c.name;
  EXPECT_EQ(ErrorText(99), "#ERROR!");
  EXPECT_EQ(ErrorCode("#N/A"), 0x2A);
  EXPECT_EQ(ErrorCode("N/A"), std::nullopt);
}

TEST(CellText, TheXlsxReaderReadsEveryCaseAlike) {
  sxtest::TempDir dir;
  std::string file = dir.File("cases.xlsx");
  sxtest::WriteCasesXlsx(file, CellCases());
  ExpectCasesRead(file);
}

TEST(CellText, OnlyTheFormatDecidesWhetherANumberIsADate) {
  EXPECT_FALSE(IsDateFormatCode("@"));
  EXPECT_FALSE(IsDateFormatCode("0.00"));
  EXPECT_FALSE(IsDateFormatCode("General"));
  EXPECT_FALSE(IsDateFormatCode("[Red]#,##0;[Blue]-#,##0"));
  EXPECT_FALSE(IsDateFormatCode("0\" days\""));
  EXPECT_TRUE(IsDateFormatCode("yyyy-mm-dd;@"));
  EXPECT_TRUE(IsDateFormatCode("mmm"));
  EXPECT_TRUE(IsDateFormatCode("[$-804]yyyy\"年\"m\"月\""));
  EXPECT_TRUE(IsDateFormatCode("h:mm AM/PM"));
  EXPECT_TRUE(IsDateFormatCode("[h]:mm"));
  EXPECT_TRUE(IsDateFormatCode("mm:ss"));
  EXPECT_TRUE(IsDateFormatId(14));
  EXPECT_TRUE(IsDateFormatId(20));
  EXPECT_TRUE(IsDateFormatId(22));
  EXPECT_TRUE(IsDateFormatId(57));
  EXPECT_FALSE(IsDateFormatId(0));
  EXPECT_FALSE(IsDateFormatId(49));
  // ISO dates of a file become serials of the same day.
  EXPECT_EQ(SerialOf({2024, 3, 5}), 45356);
  EXPECT_EQ(SerialOf({1900, 1, 1}), 1);
  EXPECT_EQ(SerialOf(DateTime::TimeOfDay(12, 0)), 0.5);
}

TEST(CellText, TheXlsReaderReadsEveryCaseAlike) {
  sxtest::TempDir dir;
  std::string file = dir.File("cases.xls");
  sxtest::WriteXls(file, sxtest::CasesBiff(CellCases()));
  ExpectCasesRead(file);
}
