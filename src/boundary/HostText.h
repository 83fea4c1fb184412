// Conversion between the host's strings and the library's UTF-8, and the
// per-call COM apartment. Off Windows the host speaks UTF-8 and there is no COM.
#pragma once
#include <string>
#include <string_view>

namespace sx::boundary {

// A NUL-terminated host string as UTF-8; null reads as empty.
std::string FromHostText(const char* text);
// UTF-8 as the host's string.
std::string ToHostText(const std::string& utf8);
// The longest prefix of at most maxBytes bytes ending on a whole host character.
std::string_view CutAtHostCharBoundary(std::string_view host, std::size_t maxBytes);

// CoInitialize in the constructor, CoUninitialize in the destructor.
class ComApartment {
 public:
  ComApartment();
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool initialised_ = false;  // CoInitialize succeeded, so CoUninitialize is owed
};

}  // namespace sx::boundary
