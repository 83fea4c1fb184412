// The cell cases every workbook engine must read alike: a value as the
// spreadsheet holds it, the number format it is shown with, and the text an
// import reads. The Linux tests write them into .xlsx and .xls files; the
// Windows test hands them to the test Excel as automation values.
#pragma once
#include <string>
#include <vector>

#include "workbook/CellFormat.h"

namespace sxtest {

struct CellCase {
  const char* name;
  sx::CellValue value;
  const char* format;  // the number format the file gives the cell; "" for General
  const char* text;    // what ReadCell gives
};

inline std::vector<CellCase> CellCases() {
  using sx::CellValue;
  const double t0830 = (8 * 60 + 30) / 1440.0;
  const double d20240305 = 45356;
  const double t174510 = (17 * 3600 + 45 * 60 + 10) / 86400.0;
  const double t1745 = (17 * 60 + 45) / 1440.0;
  return {
      {"empty", CellValue::Empty(), "", ""},
      {"text", CellValue::OfText("退菜理由"), "", "退菜理由"},
      {"text padded", CellValue::OfText("  padded \t"), "", "padded"},
      {"text of digits", CellValue::OfText("0012"), "@", "0012"},
      {"true", CellValue::OfBoolean(true), "", "1"},
      {"false", CellValue::OfBoolean(false), "", "0"},
      {"#N/A", CellValue::OfError(0x2A), "", "#N/A"},
      {"#VALUE!", CellValue::OfError(0x0F), "", "#VALUE!"},
      {"#DIV/0!", CellValue::OfError(0x07), "0.00", "#DIV/0!"},
      {"#REF!", CellValue::OfError(0x17), "", "#REF!"},
      {"#NAME?", CellValue::OfError(0x1D), "", "#NAME?"},
      {"#NUM!", CellValue::OfError(0x24), "", "#NUM!"},
      {"#NULL!", CellValue::OfError(0x00), "", "#NULL!"},
      {"integer", CellValue::OfNumber(3), "", "3"},
      {"negative", CellValue::OfNumber(-2.75), "", "-2.75"},
      {"fraction", CellValue::OfNumber(0.1), "", "0.1"},
      {"sum noise", CellValue::OfNumber(0.1 + 0.2), "", "0.3"},
      {"price in a 0.00 format", CellValue::OfNumber(12.5), "0.00", "12.5"},
      {"a third", CellValue::OfNumber(1.0 / 3), "", "0.333333333333333"},
      {"barcode", CellValue::OfNumber(6901234567892), "", "6901234567892"},
      {"15 digits", CellValue::OfNumber(999999999999999), "", "999999999999999"},
      {"1e15", CellValue::OfNumber(1e15), "", "1e+15"},
      {"18 digits", CellValue::OfNumber(123456789012345678.0), "0", "1.23456789012346e+17"},
      {"below 1e-5", CellValue::OfNumber(0.00001234), "", "1.234e-05"},
      {"small", CellValue::OfNumber(0.000123), "", "0.000123"},
      {"tiny", CellValue::OfNumber(0.000001), "", "1e-06"},
      {"date", CellValue::OfNumber(d20240305, true), "yyyy-mm-dd", "2024-03-05"},
      {"time", CellValue::OfNumber(t0830, true), "hh:mm", "08:30"},
      {"time with seconds", CellValue::OfNumber(0.5 + 1.0 / 86400, true), "hh:mm", "12:00:01"},
      {"date-time", CellValue::OfNumber(d20240305 + t174510, true), "yyyy-mm-dd hh:mm:ss", "2024-03-05 17:45:10"},
      {"date-time in a date format", CellValue::OfNumber(d20240305 + t1745, true), "yyyy-mm-dd",
       "2024-03-05 17:45"},
      {"date in a time format", CellValue::OfNumber(d20240305, true), "hh:mm", "2024-03-05"},
      {"time in a date format", CellValue::OfNumber(t0830, true), "yyyy/m/d", "08:30"},
      {"midnight", CellValue::OfNumber(0, true), "hh:mm", "00:00"},
      {"time with noise", CellValue::OfNumber(t0830 - 1e-9, true), "hh:mm", "08:30"},
      {"day with noise", CellValue::OfNumber(d20240305 + 0.999999999, true), "yyyy-mm-dd", "2024-03-06"},
      {"before the phantom day", CellValue::OfNumber(59, true), "yyyy-mm-dd", "1900-02-28"},
      {"after the phantom day", CellValue::OfNumber(61, true), "yyyy-mm-dd", "1900-03-01"},
      {"negative date", CellValue::OfNumber(-1, true), "yyyy-mm-dd", "-1"},
      {"beyond 9999", CellValue::OfNumber(3000000, true), "yyyy-mm-dd", "3000000"},
  };
}

}  // namespace sxtest
