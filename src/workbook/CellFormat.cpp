#include "workbook/CellFormat.h"

#include <cctype>
#include <cmath>
#include <cstdint>

#include "base/DateTime.h"

namespace sx {

bool IsDateFormatId(int id) {
  // 14-22 and 45-47 everywhere; 27-36 and 50-58 the East Asian dates and times.
  return (id >= 14 && id <= 22) || (id >= 45 && id <= 47) || (id >= 27 && id <= 36) || (id >= 50 && id <= 58);
}

bool IsDateFormatCode(std::string_view code) {
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
  return y || m || d || h || s;
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

// Count of days since 1970-01-01 of a civil date.
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
  y -= m <= 2 ? 1 : 0;
  std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  std::int64_t yoe = y - era * 400;
  std::int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

}  // namespace

double SerialOf(const DateTime& dt) {
  std::int64_t days = DaysFromCivil(dt.year, dt.month, dt.day) + 25569;
  // 1900-01-01 is serial 1 and 1900-03-01 serial 61, past the phantom
  // 1900-02-29; a time of day alone, on 1899-12-30, is serial 0 and its time.
  if (days >= 2 && days < 61) --days;
  return static_cast<double>(days) + (dt.hour * 3600 + dt.minute * 60 + dt.second) / 86400.0;
}

std::string NumberText(double value) { return FloatToText(value); }

namespace {

struct ErrorName {
  int code;
  const char* text;
};
constexpr ErrorName kErrors[] = {{0x00, "#NULL!"}, {0x07, "#DIV/0!"},       {0x0F, "#VALUE!"}, {0x17, "#REF!"},
                                 {0x1D, "#NAME?"}, {0x24, "#NUM!"},         {0x2A, "#N/A"},    {0x2B, "#GETTING_DATA"},
                                 {0x2D, "#SPILL!"}, {0x32, "#CALC!"}};

}  // namespace

std::string ErrorText(int code) {
  for (const auto& e : kErrors)
    if (e.code == code) return e.text;
  return "#ERROR!";
}

std::optional<int> ErrorCode(std::string_view text) {
  for (const auto& e : kErrors)
    if (text == e.text) return e.code;
  return std::nullopt;
}

std::string CellText(const CellValue& value) {
  switch (value.type) {
    case CellValue::Type::Empty: return {};
    case CellValue::Type::Text: return value.text;
    case CellValue::Type::Boolean: return value.number != 0 ? "1" : "0";
    case CellValue::Type::Error: return ErrorText(value.error);
    case CellValue::Type::Number: break;
  }
  double serial = value.number;
  // 2958465 is 9999-12-31.
  if (!value.date || !std::isfinite(serial) || serial < 0 || serial >= 2958466) return NumberText(serial);
  auto seconds = static_cast<std::int64_t>(std::llround(serial * 86400.0));
  std::int64_t days = seconds / 86400;
  int secondOfDay = static_cast<int>(seconds % 86400);
  DateTime dt;
  // Days since 1970-01-01: serial 1 is 1900-01-01; from serial 61 on the
  // phantom 1900-02-29 (serial 60) counts as a day.
  CivilFromDays(days < 61 ? days - 25568 : days - 25569, dt.year, dt.month, dt.day);
  dt.hour = secondOfDay / 3600;
  dt.minute = secondOfDay / 60 % 60;
  dt.second = secondOfDay % 60;
  const char* time = dt.second != 0 ? "HH:NN:SS" : "HH:NN";
  if (days == 0) return FormatDateTime(time, dt);
  if (secondOfDay == 0) return FormatDateTime("YYYY-MM-DD", dt);
  return FormatDateTime(std::string("YYYY-MM-DD ") + time, dt);
}

}  // namespace sx
