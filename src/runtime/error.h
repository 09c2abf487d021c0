// Error objects of the runtime's Exception family. The tool raises errors by
// returning them: an operation that fails hands back a non-empty Error, and
// every caller either handles it or passes it on.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace dorvane {

enum class ErrorClass : std::uint8_t {
  kNone,
  kException,
  kEConvertError,
  kEInOutError,
};

class [[nodiscard]] Error {
 public:
  Error() = default;  // no error

  // code_address: where the error was raised, for the uncaught-error report.
  Error(ErrorClass error_class, std::string message,
        std::uintptr_t code_address)
      : class_(error_class),
        message_(std::move(message)),
        code_address_(code_address) {}

  explicit operator bool() const { return class_ != ErrorClass::kNone; }
  ErrorClass error_class() const { return class_; }
  const char* class_name() const;
  const std::string& message() const { return message_; }
  std::uintptr_t code_address() const { return code_address_; }

 private:
  ErrorClass class_ = ErrorClass::kNone;
  std::string message_;
  std::uintptr_t code_address_ = 0;
};

// An error object of the named class, its code address the function's own;
// the caller raises it by returning it.
Error MakeException(std::string message);
Error MakeConvertError(std::string message);
// "I/O error " followed by the Windows error number.
Error MakeInOutError(std::uint32_t windows_error);

}  // namespace dorvane
