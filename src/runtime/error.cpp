#include "runtime/error.h"

#include "runtime/format.h"

namespace dorvane {

const char* Error::class_name() const {
  switch (class_) {
    case ErrorClass::kException:
      return "Exception";
    case ErrorClass::kEConvertError:
      return "EConvertError";
    case ErrorClass::kEInOutError:
      return "EInOutError";
    case ErrorClass::kNone:
      break;
  }
  return "";
}

// Each records its own entry point as the failing code address: a stable
// address inside the tool's module.
Error MakeException(std::string message) {
  return Error(ErrorClass::kException, std::move(message),
               reinterpret_cast<std::uintptr_t>(&MakeException));
}

Error MakeConvertError(std::string message) {
  return Error(ErrorClass::kEConvertError, std::move(message),
               reinterpret_cast<std::uintptr_t>(&MakeConvertError));
}

Error MakeInOutError(std::uint32_t windows_error) {
  return Error(ErrorClass::kEInOutError,
               "I/O error " + FormatUnsigned(windows_error),
               reinterpret_cast<std::uintptr_t>(&MakeInOutError));
}

}  // namespace dorvane
