#include "workbook/CellFormat.h"

#include <cctype>
#include <cmath>
#include <cstdint>

#include "base/DateTime.h"

namespace sx {

NumberKind BuiltInFormatKind(int id) {
  if (id >= 14 && id <= 17) return NumberKind::Date;
  if ((id >= 18 && id <= 21) || (id >= 45 && id <= 47)) return NumberKind::Time;
  if (id == 22) return NumberKind::DateTime;
  // The East Asian built-ins: dates, and the times of 32-35, 55 and 56.
  if ((id >= 32 && id <= 35) || id == 55 || id == 56) return NumberKind::Time;
  if ((id >= 27 && id <= 31) || id == 36 || (id >= 50 && id <= 58)) return NumberKind::Date;
  return NumberKind::Number;
}

NumberKind FormatCodeKind(std::string_view code) {
  bool y = false, m = false, d = false, h = false, s = false;
  for (std::size_t i = 0; i < code.size(); ++i) {
    char c = code[i];
    if (c == '"') {
      std::size_t end = code.find('"', i + 1);
      if (end == std::string_view::npos) break;
      i = end;
    } else if (c == '\\' || c == '_' || c == '*') {
      ++i;  // the next character is literal or padding
    } else if (c == '[') {
      std::size_t end = code.find(']', i + 1);
      if (end == std::string_view::npos) break;
      std::string_view inner = code.substr(i + 1, end - i - 1);
      // Elapsed time: [h], [hh], [m], [mm], [s], [ss]; other brackets hold
      // colours, conditions and locales.
      if (!inner.empty() && inner.find_first_not_of(inner[0]) == std::string_view::npos) {
        char e = static_cast<char>(std::tolower(static_cast<unsigned char>(inner[0])));
        if (e == 'h' || e == 'm' || e == 's') h = true;
      }
      i = end;
    } else {
      switch (std::tolower(static_cast<unsigned char>(c))) {
        case 'y': y = true; break;
        case 'm': m = true; break;
        case 'd': d = true; break;
        case 'h': h = true; break;
        case 's': s = true; break;
        default: break;
      }
    }
  }
  bool time = h || s;
  bool date = y || d || (m && !time);
  if (date && time) return NumberKind::DateTime;
  if (date) return NumberKind::Date;
  if (time) return NumberKind::Time;
  return NumberKind::Number;
}

namespace {

// Civil date of a count of days since 1970-01-01.
void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
  z += 719468;
  std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  std::int64_t doe = z - era * 146097;
  std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  std::int64_t y = yoe + era * 400;
  std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  std::int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(y + (month <= 2 ? 1 : 0));
}

}  // namespace

std::string NumberText(double value, NumberKind kind, bool date1904) {
  // 2958465 is 9999-12-31 in the 1900 system.
  if (kind == NumberKind::Number || !std::isfinite(value) || value < 0 || value >= 2958466)
    return FloatToText(value);
  auto seconds = static_cast<std::int64_t>(std::llround(value * 86400.0));
  std::int64_t days = seconds / 86400;
  int secondOfDay = static_cast<int>(seconds % 86400);
  // Days since 1970-01-01: the 1904 system counts from 1904-01-01; the 1900
  // system from 1899-12-30, but before its phantom 1900-02-29 (serial 60)
  // from 1899-12-31.
  std::int64_t unixDays;
  if (date1904)
    unixDays = days - 24107;
  else
    unixDays = days < 61 ? days - 25568 : days - 25569;
  DateTime dt;
  CivilFromDays(unixDays, dt.year, dt.month, dt.day);
  dt.hour = secondOfDay / 3600;
  dt.minute = secondOfDay / 60 % 60;
  dt.second = secondOfDay % 60;
  const char* time = dt.second != 0 ? "HH:NN:SS" : "HH:NN";
  switch (kind) {
    case NumberKind::Date: return FormatDateTime("YYYY-MM-DD", dt);
    case NumberKind::Time: return FormatDateTime(time, dt);
    default: return FormatDateTime(std::string("YYYY-MM-DD ") + time, dt);
  }
}

}  // namespace sx
