#include "base/DateTime.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "base/Error.h"

namespace sx {

DateTime DateTime::TimeOfDay(int hour, int minute, int second) {
  DateTime dt;
  dt.hour = hour;
  dt.minute = minute;
  dt.second = second;
  return dt;
}

bool IsValidDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  int max = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
  return day <= max;
}

std::string FormatDateTime(std::string_view pattern, const DateTime& dt) {
  std::string out;
  char buf[8];
  for (std::size_t i = 0; i < pattern.size();) {
    auto take = [&](std::string_view token, int value, int width) {
      if (pattern.substr(i, token.size()) != token) return false;
      std::snprintf(buf, sizeof buf, "%0*d", width, value);
      out += buf;
      i += token.size();
      return true;
    };
    if (take("YYYY", dt.year, 4) || take("MM", dt.month, 2) || take("DD", dt.day, 2) ||
        take("HH", dt.hour, 2) || take("NN", dt.minute, 2) || take("SS", dt.second, 2))
      continue;
    out += pattern[i++];
  }
  return out;
}

DateTime Now() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &t);
#else
  localtime_r(&t, &tm);
#endif
  DateTime dt;
  dt.year = tm.tm_year + 1900;
  dt.month = tm.tm_mon + 1;
  dt.day = tm.tm_mday;
  dt.hour = tm.tm_hour;
  dt.minute = tm.tm_min;
  dt.second = tm.tm_sec;
  return dt;
}

namespace {

// Reads 1 to maxDigits decimal digits at pos.
std::optional<int> Digits(std::string_view s, std::size_t& pos, std::size_t maxDigits) {
  std::size_t start = pos;
  int value = 0;
  while (pos < s.size() && pos - start < maxDigits && s[pos] >= '0' && s[pos] <= '9')
    value = value * 10 + (s[pos++] - '0');
  if (pos == start) return std::nullopt;
  return value;
}

// Time of day "H:N[:S]" from pos to the end of s.
bool ParseTimePart(std::string_view s, std::size_t pos, DateTime& dt, bool allowFraction) {
  auto h = Digits(s, pos, 2);
  if (!h || pos >= s.size() || s[pos] != ':') return false;
  ++pos;
  auto n = Digits(s, pos, 2);
  if (!n) return false;
  int sec = 0;
  if (pos < s.size() && s[pos] == ':') {
    ++pos;
    auto sv = Digits(s, pos, 2);
    if (!sv) return false;
    sec = *sv;
    if (allowFraction && pos < s.size() && s[pos] == '.') {
      ++pos;
      while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') ++pos;
    }
  }
  if (pos != s.size() || *h > 23 || *n > 59 || sec > 59) return false;
  dt.hour = *h;
  dt.minute = *n;
  dt.second = sec;
  return true;
}

std::optional<DateTime> ParseDate(std::string_view s, bool storedForm) {
  std::size_t pos = 0;
  auto y = Digits(s, pos, 4);
  if (!y || pos != 4 || pos >= s.size()) return std::nullopt;
  char sep = s[pos];
  if (sep != '-' && !(sep == '/' && !storedForm)) return std::nullopt;
  ++pos;
  auto m = Digits(s, pos, 2);
  if (!m || pos >= s.size() || s[pos] != sep) return std::nullopt;
  ++pos;
  auto d = Digits(s, pos, 2);
  if (!d || !IsValidDate(*y, *m, *d)) return std::nullopt;
  DateTime dt;
  dt.year = *y;
  dt.month = *m;
  dt.day = *d;
  if (pos == s.size()) return dt;
  if (s[pos] != ' ' && !(storedForm && s[pos] == 'T')) return std::nullopt;
  while (pos < s.size() && s[pos] == ' ') ++pos;
  if (!ParseTimePart(s, pos, dt, storedForm)) return std::nullopt;
  return dt;
}

}  // namespace

std::optional<std::int32_t> TryStrToInt(std::string_view s) {
  std::size_t pos = 0;
  bool negative = false;
  if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) negative = s[pos++] == '-';
  if (pos == s.size()) return std::nullopt;
  std::int64_t value = 0;
  for (; pos < s.size(); ++pos) {
    if (s[pos] < '0' || s[pos] > '9') return std::nullopt;
    value = value * 10 + (s[pos] - '0');
    if (value > 2147483648LL) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > 2147483647LL) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::optional<double> TryStrToFloat(std::string_view s) {
  // Validate the shape first: from_chars alone would accept "inf", "nan" and hex.
  std::size_t pos = 0;
  if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) ++pos;
  std::size_t intDigits = 0, fracDigits = 0;
  while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') ++pos, ++intDigits;
  if (pos < s.size() && s[pos] == '.') {
    ++pos;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') ++pos, ++fracDigits;
  }
  if (intDigits + fracDigits == 0) return std::nullopt;
  if (pos < s.size() && (s[pos] == 'e' || s[pos] == 'E')) {
    ++pos;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) ++pos;
    std::size_t expDigits = 0;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') ++pos, ++expDigits;
    if (expDigits == 0) return std::nullopt;
  }
  if (pos != s.size()) return std::nullopt;
  std::string_view body = s;
  if (!body.empty() && body[0] == '+') body.remove_prefix(1);
  double value = 0;
  auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), value);
  if (ec != std::errc() || end != body.data() + body.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::optional<DateTime> TryStrToDate(std::string_view s) { return ParseDate(s, false); }

std::optional<DateTime> TryStrToTime(std::string_view s) {
  DateTime dt;
  if (!ParseTimePart(s, 0, dt, false)) return std::nullopt;
  return dt;
}

std::int32_t StrToInt(std::string_view text) {
  if (auto v = TryStrToInt(text)) return *v;
  throw ConvertError("'" + std::string(text) + "' is not a valid integer value");
}

double StrToFloat(std::string_view text) {
  if (auto v = TryStrToFloat(text)) return *v;
  throw ConvertError("'" + std::string(text) + "' is not a valid floating point value");
}

DateTime StrToDate(std::string_view text) {
  if (auto v = TryStrToDate(text)) return *v;
  throw ConvertError("'" + std::string(text) + "' is not a valid date");
}

DateTime StrToTime(std::string_view text) {
  if (auto v = TryStrToTime(text)) return *v;
  throw ConvertError("'" + std::string(text) + "' is not a valid time");
}

std::optional<DateTime> ParseStoredDateTime(std::string_view text) {
  if (auto d = ParseDate(text, true)) return d;
  DateTime dt;
  if (ParseTimePart(text, 0, dt, true)) return dt;
  return std::nullopt;
}

std::string FloatToText(double value) {
  if (!std::isfinite(value)) return std::isnan(value) ? "NAN" : (value > 0 ? "INF" : "-INF");
  char buf[64];
  // The shortest of %.1g .. %.15g that reads back as the %.15g value, with an
  // exponent only where %.15g has one (100 is "100", not "1e+02").
  std::snprintf(buf, sizeof buf, "%.15g", value);
  double target = std::strtod(buf, nullptr);
  bool exponent = std::strchr(buf, 'e') != nullptr;
  for (int precision = 1; precision < 15; ++precision) {
    char shorter[64];
    std::snprintf(shorter, sizeof shorter, "%.*g", precision, value);
    if (std::strtod(shorter, nullptr) == target && (exponent || std::strchr(shorter, 'e') == nullptr)) {
      std::snprintf(buf, sizeof buf, "%s", shorter);
      break;
    }
  }
  std::string s = buf;
  if (s == "-0") s = "0";
  return s;
}

}  // namespace sx
