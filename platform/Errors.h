#pragma once
// The program's exception classes. Uncaught, each reaches the default error report,
// which shows its text in a message box.
#include <stdexcept>
#include <string>

namespace vandrel {

// The general exception type: every error the program raises derives from it.
class Exception : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The runtime's input/output errors ("File not found", "Invalid numeric input", ...).
class EInOutError : public Exception {
 public:
  using Exception::Exception;
};

// A text that is not a number of the expected kind (strict conversions).
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace vandrel
