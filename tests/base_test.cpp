// Text conversions of sheet values and shared text helpers.
#include <gtest/gtest.h>

#include "base/DateTime.h"
#include "base/Error.h"
#include "base/Text.h"
#include "base/Utf8.h"

using namespace sx;

TEST(StrictConversions, IntegersAcceptOnlySignAndDigitsWithin32Bits) {
  EXPECT_EQ(StrToInt("42"), 42);
  EXPECT_EQ(StrToInt("-7"), -7);
  EXPECT_EQ(StrToInt("+7"), 7);
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
  for (const char* bad : {"", "-", "12abc", "1.0", " 1", "2147483648", "0x10", "1e3", "１"})
    EXPECT_FALSE(TryStrToInt(bad).has_value()) << bad;
}

TEST(StrictConversions, FloatsRejectNanInfHexAndTrailingText) {
  EXPECT_DOUBLE_EQ(StrToFloat("12.5"), 12.5);
  EXPECT_DOUBLE_EQ(StrToFloat("-.5"), -0.5);
  EXPECT_DOUBLE_EQ(StrToFloat("3."), 3.0);
  EXPECT_DOUBLE_EQ(StrToFloat("1e3"), 1000.0);
  for (const char* bad : {"", ".", "nan", "inf", "-inf", "0x1p3", "1,000", "12abc", "1e", "1e400"})
    EXPECT_FALSE(TryStrToFloat(bad).has_value()) << bad;
}

TEST(StrictConversions, FailedConversionNamesTheText) {
  try {
    StrToFloat("12abc");
    FAIL();
  } catch (const ConvertError& e) {
    EXPECT_NE(std::string(e.what()).find("12abc"), std::string::npos);
  }
}

TEST(StrictConversions, DatesAcceptDashSlashAndShortParts) {
  EXPECT_EQ(FormatDateTime("YYYY-MM-DD", StrToDate("2024-03-05")), "2024-03-05");
  EXPECT_EQ(FormatDateTime("YYYY-MM-DD", StrToDate("2024/3/5")), "2024-03-05");
  EXPECT_EQ(FormatDateTime("YYYY-MM-DD HH:NN:SS", StrToDate("2024-03-05 8:30")),
            "2024-03-05 08:30:00");
  for (const char* bad : {"2024-02-30", "2024-13-01", "24-03-05", "2024-03", "2024-03-05x", "2024-03/05"})
    EXPECT_FALSE(TryStrToDate(bad).has_value()) << bad;
}

TEST(StrictConversions, TimesOfDayCarryDayZero) {
  DateTime t = StrToTime("08:30");
  EXPECT_EQ(FormatDateTime("YYYY-MM-DD HH:NN:SS", t), "1899-12-30 08:30:00");
  EXPECT_EQ(FormatDateTime("HH:NN", StrToTime("23:59:59")), "23:59");
  for (const char* bad : {"24:00", "8", "08:60", "08:30:", "8.30"})
    EXPECT_FALSE(TryStrToTime(bad).has_value()) << bad;
}

TEST(StoredDateTimes, EngineFormsAreRead) {
  EXPECT_EQ(FormatDateTime("YYYY-MM-DD HH:NN:SS", *ParseStoredDateTime("2024-01-02")),
            "2024-01-02 00:00:00");
  EXPECT_EQ(FormatDateTime("YYYY-MM-DD HH:NN:SS", *ParseStoredDateTime("2024-01-02 03:04:05.123")),
            "2024-01-02 03:04:05");
  EXPECT_EQ(FormatDateTime("YYYY-MM-DD HH:NN:SS", *ParseStoredDateTime("17:45:00")),
            "1899-12-30 17:45:00");
}

TEST(FloatText, ShortestFormWithFifteenDigits) {
  EXPECT_EQ(FloatToText(12), "12");
  EXPECT_EQ(FloatToText(12.5), "12.5");
  EXPECT_EQ(FloatToText(0.1), "0.1");
  EXPECT_EQ(FloatToText(0.1 + 0.2), "0.3");
  EXPECT_EQ(FloatToText(-0.0), "0");
  EXPECT_EQ(FloatToText(123456.789), "123456.789");
  EXPECT_EQ(FloatToText(100), "100");
  EXPECT_EQ(FloatToText(-2500), "-2500");
  EXPECT_EQ(FloatToText(1e20), "1e+20");
}

TEST(TextHelpers, QuotedStrDoublesQuotes) {
  EXPECT_EQ(QuotedStr("it's"), "'it''s'");
  EXPECT_EQ(QuotedStr(""), "''");
}

TEST(TextHelpers, Cp936WidthCountsTwoPerChineseCharacter) {
  EXPECT_EQ(Cp936Width("abc"), 3u);
  EXPECT_EQ(Cp936Width("退菜a"), 5u);
}

TEST(TextHelpers, TrimRemovesControlCharacters) {
  EXPECT_EQ(Trim(" \t\r\n 退菜 \x01"), "退菜");
  EXPECT_EQ(Trim("   "), "");
}

TEST(Utf8, MalformedBytesBecomeOneReplacementEach) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"a菜😀", "a菜😀"},
      {"\xC0\xAF", "\uFFFD\uFFFD"},          // overlong "/"
      {"\xED\xA0\x80", "\uFFFD\uFFFD\uFFFD"},  // a surrogate
      {"\xF4\x90\x80\x80", "\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
      {"\xE8\x8F", "\uFFFD\uFFFD"},          // cut short
      {"\x80" "a", "\uFFFD" "a"},
  };
  for (const Case& c : cases) {
    std::string out;
    for (std::size_t i = 0; i < c.in.size();) {
      DecodedChar d = DecodeUtf8(c.in, i);
      AppendUtf8(out, d.cp);
      i += d.length;
    }
    EXPECT_EQ(out, c.out) << c.in;
  }
}

TEST(Utf8, Utf16PairsJoinAndLoneSurrogatesAreReplaced) {
  const char16_t pair[] = {u'a', 0xD83D, 0xDE00, 0xDC00, 0xD800};
  EXPECT_EQ(Utf16ToUtf8(pair, 5), "a😀\uFFFD\uFFFD");
}
