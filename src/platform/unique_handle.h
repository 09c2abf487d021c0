// Move-only owners of platform handles: the handle is closed exactly once,
// on every path, and only when it is valid.
#pragma once

#include <utility>

#include "platform/platform.h"

namespace dorvane {

struct CloseWithCloseHandle {
  static void Close(Platform& p, Handle h) { p.CloseHandle(h); }
};
struct CloseWithFindClose {
  static void Close(Platform& p, Handle h) { p.FindClose(h); }
};

template <typename Closer>
class UniqueAny {
 public:
  UniqueAny() = default;
  UniqueAny(Platform& platform, Handle handle)
      : platform_(&platform), handle_(handle) {}
  UniqueAny(const UniqueAny&) = delete;
  UniqueAny& operator=(const UniqueAny&) = delete;
  UniqueAny(UniqueAny&& other) noexcept
      : platform_(other.platform_), handle_(other.release()) {}
  UniqueAny& operator=(UniqueAny&& other) noexcept {
    if (this != &other) {
      Platform* platform = other.platform_;
      Handle handle = other.release();
      reset();
      platform_ = platform;
      handle_ = handle;
    }
    return *this;
  }
  ~UniqueAny() { reset(); }

  // Null and INVALID_HANDLE_VALUE are both "no handle".
  bool is_valid() const { return handle_ != kInvalidHandle && handle_ != 0; }
  explicit operator bool() const { return is_valid(); }
  Handle get() const { return handle_; }

  Handle release() {
    Handle handle = handle_;
    handle_ = kInvalidHandle;
    return handle;
  }
  void reset() {
    if (is_valid()) Closer::Close(*platform_, handle_);
    handle_ = kInvalidHandle;
  }

 private:
  Platform* platform_ = nullptr;
  Handle handle_ = kInvalidHandle;
};

using UniqueHandle = UniqueAny<CloseWithCloseHandle>;
using UniqueFindHandle = UniqueAny<CloseWithFindClose>;

}  // namespace dorvane
