// A value or the error that kept an operation from producing it, for
// operations whose result the caller reads.
#pragma once

#include <cassert>
#include <utility>

#include "runtime/error.h"

namespace dorvane {

template <typename T>
class [[nodiscard]] Expected {
 public:
  Expected(T value) : value_(std::move(value)) {}  // NOLINT: implicit
  // An empty error would read as a value that was never given.
  Expected(Error error) : error_(std::move(error)) {  // NOLINT: implicit
    assert(error_);
  }

  bool has_value() const { return !error_; }
  // Only a value can be read: an error holds none.
  const T& operator*() const {
    assert(has_value());
    return value_;
  }
  const Error& error() const { return error_; }

 private:
  T value_{};
  Error error_;
};

}  // namespace dorvane
