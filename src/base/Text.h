// Small text helpers shared by every layer. Strings are UTF-8 throughout.
#pragma once
#include <string>
#include <string_view>

namespace sx {

// Removes characters at or below the space character from both ends.
std::string Trim(std::string_view s);

// ASCII upper/lower case; other characters are left as they are.
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);

// True when both texts are equal ignoring the case of ASCII letters.
bool SameTextIgnoringCase(std::string_view a, std::string_view b);

// Width of a text in code page 936: 1 per ASCII character, 2 per other character.
std::size_t Cp936Width(std::string_view utf8);

// The longest prefix of at most maxBytes bytes that ends on a whole UTF-8 character.
std::string_view CutAtCharBoundary(std::string_view utf8, std::size_t maxBytes);

// An SQL string literal: the value between single quotes, inner quotes doubled.
std::string QuotedStr(std::string_view value);

}  // namespace sx
