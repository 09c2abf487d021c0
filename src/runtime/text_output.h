// Standard output as the tool writes it: lines ended by CR LF, buffered in
// 128 bytes. On a console the buffer goes out at every line end; on a file or
// pipe when it fills and at exit. Every line is followed by the write-error
// test: a failed write raises EInOutError. The bytes of a failed write are
// lost, and so is the rest of the line they cut: no line is written without
// its beginning. When what was delivered before the failure ends inside a
// line, the next output starts by ending that line (with LF alone after its
// CR), so nothing is glued onto that line's head.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/platform.h"
#include "runtime/error.h"

namespace dorvane {

class TextOutput {
 public:
  static constexpr std::size_t kBufferSize = 128;

  explicit TextOutput(Platform& platform);
  TextOutput(const TextOutput&) = delete;
  TextOutput& operator=(const TextOutput&) = delete;

  // Writes text followed by CR LF.
  Error WriteLine(std::string_view text);
  // Writes out whatever is buffered.
  Error Flush();

 private:
  void Append(std::string_view bytes);
  void WriteBuffer();
  Error TakeWriteError();

  Platform& platform_;
  Handle handle_;
  bool console_;
  char buffer_[kBufferSize];
  std::size_t used_ = 0;
  bool failed_ = false;            // a write failed since the last test
  bool dropping_line_ = false;     // until the next line end
  char last_delivered_ = '\n';     // a line start, before any output
  const char* line_end_due_ = "";  // before the next output
  std::uint32_t error_ = 0;
};

}  // namespace dorvane
