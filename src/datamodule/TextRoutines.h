// Text routines for list-valued sheet cells: comma-separated entries, line
// breaks turned into commas. Byte-wise and case-sensitive; no side effects.
#pragma once
#include <string>
#include <string_view>

namespace sx {

// Replaces every occurrence of oldText in source by newText, searching again
// from the start after each replacement. Returns source unchanged when
// oldText is empty or occurs inside newText (the replacement would not end).
std::string ReplaceAll(std::string_view source, std::string_view oldText, std::string_view newText);

// The number of separator-delimited tokens in source after trimming blanks and
// control characters from both ends: 0 for nothing left, and an empty token
// after a trailing separator counts.
int CountTokens(std::string_view source, std::string_view separator);

// The token at index (from 0) of source split at separator, untrimmed; empty
// text when there are fewer tokens.
std::string Token(std::string_view source, std::string_view separator, int index);

}  // namespace sx
