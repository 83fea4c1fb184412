// How a spreadsheet shows a number: as a number, or as a date, a time of day
// or both, depending on the cell's number format.
#pragma once
#include <string>
#include <string_view>

namespace sx {

enum class NumberKind { Number, Date, Time, DateTime };

// The kind of a built-in number format id (no format code of its own).
NumberKind BuiltInFormatKind(int numFmtId);
// The kind of a format code: date and time tokens (y, m, d, h, s, and the
// elapsed [h], [m], [s]) count outside quoted text, escapes and brackets.
NumberKind FormatCodeKind(std::string_view code);

// The text of a serial date-time number under a number format kind:
// "YYYY-MM-DD", "HH:NN" or "HH:NN:SS", "YYYY-MM-DD HH:NN[:SS]"; a plain
// number, or a serial outside the years 1900 to 9999, as its shortest decimal
// text with at most 15 significant digits.
std::string NumberText(double value, NumberKind kind, bool date1904);

}  // namespace sx
