// A cell's value as a spreadsheet holds it, and the one conversion of that
// value to the text an import reads. Every workbook engine (the .xlsx and .xls
// readers, Excel through automation) builds a CellValue and calls CellText, so
// a cell reads the same whichever engine read it.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "base/DateTime.h"

namespace sx {

struct CellValue {
  enum class Type { Empty, Text, Number, Boolean, Error };
  Type type = Type::Empty;
  std::string text;   // Text
  double number = 0;  // Number; Boolean: zero is false
  // Number: its format shows a date or a time, so number is a serial day
  // count of the 1900 date system (1 is 1900-01-01, with the system's
  // phantom 1900-02-29 as 60; a time of day is the fraction).
  bool date = false;
  int error = 0;  // Error: the error's code, as in ErrorText

  static CellValue Empty() { return {}; }
  static CellValue OfText(std::string t) { return {Type::Text, std::move(t)}; }
  static CellValue OfNumber(double n, bool isDate = false) { return {Type::Number, {}, n, isDate}; }
  static CellValue OfBoolean(bool b) { return {Type::Boolean, {}, b ? 1.0 : 0.0}; }
  static CellValue OfError(int code) { return {Type::Error, {}, 0, false, code}; }
};

// The text of a cell value, untrimmed:
// - text as it is; empty as "";
// - booleans "1" and "0", as a yes/no column reads them;
// - errors their text: "#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME?",
//   "#NUM!", "#N/A" (and "#GETTING_DATA", "#SPILL!", "#CALC!"); an unknown
//   code as "#ERROR!";
// - a date or time by its value, rounded to the nearest second: a whole day
//   "YYYY-MM-DD", a time without a day "HH:NN", both "YYYY-MM-DD HH:NN", and
//   ":SS" after the minutes when the seconds are not zero. A serial before 0
//   or after 9999-12-31 reads as a number;
// - a number as NumberText.
std::string CellText(const CellValue& value);

// A number's decimal text with at most 15 significant digits, shortest first:
// 12 -> "12", 12.5 -> "12.5", 0.1 -> "0.1", 6901234567892 -> "6901234567892".
// Written without an exponent from 1e-5 up to below 1e15 in magnitude; a
// number beyond (which no price, quantity or code typed as a number reaches
// exactly) is written with one: 1e15 -> "1e+15", 0.000001 -> "1e-06".
std::string NumberText(double value);

// The text of an error code (the codes of .xls files: 0x00 #NULL!, 0x07
// #DIV/0!, 0x0F #VALUE!, 0x17 #REF!, 0x1D #NAME?, 0x24 #NUM!, 0x2A #N/A), and
// the code of an error's text.
std::string ErrorText(int code);
std::optional<int> ErrorCode(std::string_view text);

// Whether a number format shows a date or a time: a built-in format id (no
// format code of its own), or a format code, whose date and time tokens (y,
// m, d, h, s, and the elapsed [h], [m], [s]) count outside quoted text,
// escapes and brackets.
bool IsDateFormatId(int numFmtId);
bool IsDateFormatCode(std::string_view code);

// The serial of the 1900 date system of a date-time, and of a serial of the
// 1904 system.
// A serial between 0 and 1 is a time without a day in both systems; 0 itself
// is the 1904 system's first day.
double SerialOf(const DateTime& dt);
inline double From1904(double serial) { return serial > 0 && serial < 1 ? serial : serial + 1462; }

}  // namespace sx
