// The host's strings on Windows: the system's ANSI code page (936 on the
// host's systems), converted to and from the library's UTF-8; COM
// initialised for the thread around every call.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <objbase.h>

#include "base/Text.h"
#include "base/WideText.h"
#include "boundary/HostText.h"

namespace sx::boundary {

std::string FromHostText(const char* text) {
  if (!text || !*text) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (n <= 1) return {};
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), n);
  wide.resize(static_cast<std::size_t>(n - 1));  // without the NUL
  return Narrow(wide);
}

std::string ToHostText(const std::string& utf8) {
  std::wstring wide = Widen(utf8);
  if (wide.empty()) return {};
  int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                              nullptr);
  std::string host(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), host.data(), n, nullptr,
                      nullptr);
  return host;
}

std::string_view CutAtHostCharBoundary(std::string_view host, std::size_t maxBytes) {
  if (host.size() <= maxBytes) return host;
  UINT acp = GetACP();
  if (acp == CP_UTF8) return CutAtCharBoundary(host, maxBytes);
  // A lead byte of a double-byte code page takes its trail byte along.
  std::size_t at = 0;
  while (at < host.size()) {
    std::size_t width = IsDBCSLeadByteEx(acp, static_cast<BYTE>(host[at])) ? 2 : 1;
    if (at + width > maxBytes) break;
    at += width;
  }
  return host.substr(0, at);
}

// Uninitialises only what this call initialised: a thread whose apartment the
// host set up as multithreaded (RPC_E_CHANGED_MODE) keeps it untouched.
ComApartment::ComApartment() : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}

ComApartment::~ComApartment() {
  if (initialised_) CoUninitialize();
}

}  // namespace sx::boundary
