#include "base/Text.h"

namespace sx {

std::string Trim(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return std::string(s.substr(b, e - b));
}

std::string UpperCase(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return r;
}

std::string LowerCase(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return r;
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::size_t Cp936Width(std::string_view utf8) {
  std::size_t width = 0;
  for (unsigned char c : utf8) {
    if (c < 0x80) width += 1;         // ASCII
    else if ((c & 0xC0) != 0x80) width += 2;  // lead byte of a multi-byte character
  }
  return width;
}

std::string_view CutAtCharBoundary(std::string_view utf8, std::size_t maxBytes) {
  if (utf8.size() <= maxBytes) return utf8;
  std::size_t cut = maxBytes;
  // Step back over continuation bytes to the lead byte of the cut character.
  while (cut > 0 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80) --cut;
  return utf8.substr(0, cut);
}

std::string QuotedStr(std::string_view value) {
  std::string r;
  r.reserve(value.size() + 2);
  r += '\'';
  for (char c : value) {
    if (c == '\'') r += '\'';
    r += c;
  }
  r += '\'';
  return r;
}

}  // namespace sx
