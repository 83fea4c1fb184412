#include "base/Text.h"
#include "boundary/HostText.h"

namespace sx::boundary {

std::string FromHostText(const char* text) { return text ? std::string(text) : std::string(); }
std::string ToHostText(const std::string& utf8) { return utf8; }
std::string_view CutAtHostCharBoundary(std::string_view host, std::size_t maxBytes) {
  return CutAtCharBoundary(host, maxBytes);
}

ComApartment::ComApartment() = default;
ComApartment::~ComApartment() = default;

}  // namespace sx::boundary
