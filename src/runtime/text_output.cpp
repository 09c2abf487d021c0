#include "runtime/text_output.h"

#include <algorithm>
#include <cstring>

namespace dorvane {

TextOutput::TextOutput(Platform& platform)
    : platform_(platform),
      handle_(platform.GetStdHandle(kStdOutputHandle)),
      console_(platform.GetFileType(handle_) == kFileTypeChar) {}

Error TextOutput::WriteLine(std::string_view text) {
  Append(text);
  Append("\r\n");
  if (console_) WriteBuffer();
  return TakeWriteError();
}

Error TextOutput::Flush() {
  WriteBuffer();
  return TakeWriteError();
}

void TextOutput::Append(std::string_view bytes) {
  while (!bytes.empty()) {
    if (dropping_line_) {
      const std::size_t line_end = bytes.find('\n');
      if (line_end == std::string_view::npos) return;
      bytes.remove_prefix(line_end + 1);
      dropping_line_ = false;
      continue;
    }
    if (*line_end_due_ != '\0') {
      const char* line_end = line_end_due_;
      line_end_due_ = "";
      Append(line_end);
      continue;
    }
    std::size_t room = kBufferSize - used_;
    std::size_t take = std::min(bytes.size(), room);
    std::memcpy(buffer_ + used_, bytes.data(), take);
    used_ += take;
    bytes.remove_prefix(take);
    if (used_ == kBufferSize) WriteBuffer();
  }
}

void TextOutput::WriteBuffer() {
  // The buffer is given up whether or not the write succeeds, so that a
  // failed write is reported once and never repeated.
  const char* data = buffer_;
  const std::size_t cut = used_;
  std::size_t left = used_;
  used_ = 0;
  while (left > 0) {
    std::uint32_t written = 0;
    const bool wrote = platform_.WriteFile(
        handle_, data, static_cast<std::uint32_t>(left), &written);
    // A write that takes nothing would be repeated forever.
    if (!wrote || written == 0) {
      const std::uint32_t error =
          wrote ? kErrorDiskFull : platform_.GetLastError();
      if (!failed_) error_ = error;
      failed_ = true;
      // The rest of a line cut here would arrive without its beginning.
      dropping_line_ = buffer_[cut - 1] != '\n';
      // A delivered head of a line stays; whatever follows starts afresh.
      line_end_due_ = last_delivered_ == '\n'   ? ""
                      : last_delivered_ == '\r' ? "\n"
                                                : "\r\n";
      return;
    }
    std::size_t taken = std::min<std::size_t>(written, left);
    last_delivered_ = data[taken - 1];
    data += taken;
    left -= taken;
  }
}

Error TextOutput::TakeWriteError() {
  if (!failed_) return Error();
  failed_ = false;
  return MakeInOutError(error_);
}

}  // namespace dorvane
