// UTF-8 encoding and decoding, for the engines and readers that meet UTF-16
// or numbered characters. Malformed input never stops a conversion: it
// becomes U+FFFD.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace sx {

constexpr char32_t kReplacementCharacter = 0xFFFD;

// Appends a Unicode scalar value as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);

// The character that starts at s[at], and its length in bytes. A byte that
// does not start a well-formed character (overlong forms, surrogates and
// values beyond U+10FFFF included) is U+FFFD of length 1.
struct DecodedChar {
  char32_t cp;
  std::size_t length;
};
DecodedChar DecodeUtf8(std::string_view s, std::size_t at);

// UTF-16 code units of any 16-bit unit type (wchar_t on Windows, an ODBC
// driver's SQLWCHAR) as UTF-8; a lone surrogate becomes U+FFFD.
template <typename Unit>
std::string Utf16ToUtf8(const Unit* units, std::size_t n) {
  static_assert(sizeof(Unit) == 2, "UTF-16 code units");
  std::string out;
  out.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    char32_t u = static_cast<char16_t>(units[i]);
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n && static_cast<char16_t>(units[i + 1]) >= 0xDC00 &&
        static_cast<char16_t>(units[i + 1]) <= 0xDFFF) {
      u = 0x10000 + ((u - 0xD800) << 10) + (static_cast<char16_t>(units[i + 1]) - 0xDC00);
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      u = kReplacementCharacter;
    }
    AppendUtf8(out, u);
  }
  return out;
}

}  // namespace sx
