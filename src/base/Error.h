// Failures inside the library travel as exceptions derived from std::runtime_error;
// the workers and the call frame turn them into messages for the host.
#pragma once
#include <stdexcept>
#include <string>

namespace sx {

// A failure whose message is shown to the user as it stands.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A sheet value that a strict conversion did not accept.
class ConvertError : public Error {
 public:
  using Error::Error;
};

}  // namespace sx
