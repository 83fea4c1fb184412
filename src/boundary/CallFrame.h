// The call frame around every exported transfer function: COM for the call,
// the kind's worker through the transfer's step sequence, and any failure
// turned into result 0 plus a message in the caller's error text buffer. No
// exception leaves it.
#pragma once
#include <functional>
#include <string>

namespace sx {
struct Kind;
}

namespace sx::boundary {

// Size of the message part of the error text buffer, in bytes.
inline constexpr std::size_t kErrorTextMax = 250;

// Copies at most 250 bytes of message, cut at a whole character, and a NUL.
void CopyErrorText(const std::string& message, char* errorText);

// Runs `body` inside the frame; its false result copies its message.
unsigned char Call(char* errorText, const std::function<bool(std::string& message)>& body);

// The four shapes. A null brand ID means the store edition; null strings read
// as empty.
unsigned char Export(const Kind& kind, const char* connection, const char* brandId,
                     char* errorText);
unsigned char Import(const Kind& kind, const char* connection, const char* brandId,
                     const char* fileName, char* errorText);

}  // namespace sx::boundary
