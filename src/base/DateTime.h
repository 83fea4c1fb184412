// Calendar date and time of day, and the strict text conversions that the
// row readers and the database layer use. Independent of the machine's locale.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sx {

// A date-time value. A time of day alone carries the day zero 1899-12-30,
// as the host server's date-time type does.
struct DateTime {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0;

  static DateTime TimeOfDay(int hour, int minute, int second = 0);
  bool operator==(const DateTime&) const = default;
  auto operator<=>(const DateTime&) const = default;
};

// True for a valid calendar date (proleptic Gregorian, years 1 to 9999).
bool IsValidDate(int year, int month, int day);

// Formats by pattern: "YYYY", "MM", "DD", "HH", "NN", "SS" are replaced, other
// characters kept; e.g. "YYYY-MM-DD", "HH:NN", "YYYY-MM-DD HH:NN:SS".
std::string FormatDateTime(std::string_view pattern, const DateTime& dt);

// The current local time.
DateTime Now();

// Strict conversions of sheet texts. Each throws ConvertError naming the text.
//  - StrToInt: optional sign and decimal digits, within 32 bits.
//  - StrToFloat: optional sign, digits, optional fraction and exponent, finite.
//  - StrToDate: "YYYY-MM-DD" (also "/" and one-digit month or day), optionally
//    followed by a blank and a time of day.
//  - StrToTime: "H:N" or "H:N:S", hours 0-23, minutes and seconds 0-59.
std::int32_t StrToInt(std::string_view text);
double StrToFloat(std::string_view text);
DateTime StrToDate(std::string_view text);
DateTime StrToTime(std::string_view text);

// The same conversions without an exception.
std::optional<std::int32_t> TryStrToInt(std::string_view text);
std::optional<double> TryStrToFloat(std::string_view text);
std::optional<DateTime> TryStrToDate(std::string_view text);
std::optional<DateTime> TryStrToTime(std::string_view text);

// Reads a date-time as a database engine stores it: "YYYY-MM-DD",
// "YYYY-MM-DD HH:NN[:SS[.fff]]" (also with "T") or a bare time of day.
std::optional<DateTime> ParseStoredDateTime(std::string_view text);

// Shortest decimal text of a number with at most 15 significant digits and no
// trailing ".0": 12 -> "12", 12.5 -> "12.5", 0.1 -> "0.1".
std::string FloatToText(double value);

}  // namespace sx
