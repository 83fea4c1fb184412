// UTF-8 and the UTF-16 of Windows' wide-character interfaces. Windows only
// (WideTextWin32.cpp); the library's own strings stay UTF-8.
#pragma once
#include <string>
#include <string_view>

namespace sx {

// UTF-8 as UTF-16; invalid sequences become U+FFFD.
std::wstring Widen(std::string_view utf8);
// UTF-16 as UTF-8; lone surrogates become U+FFFD.
std::string Narrow(std::wstring_view wide);

}  // namespace sx
