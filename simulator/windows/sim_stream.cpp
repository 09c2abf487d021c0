#include "simulator/windows/sim_stream.h"

#include "platform/platform.h"
#include "simulator/windows/windows_values.h"

namespace dorvane::sim {

bool MemoryStream::Write(const void* data, std::uint32_t size,
                         std::uint32_t* written, std::uint32_t* /*error*/) {
  const std::uint32_t taken = size < max_write ? size : max_write;
  text_.append(static_cast<const char*>(data), taken);
  write_sizes.push_back(taken);
  *written = taken;
  return true;
}

std::uint32_t MemoryStream::FileType() const {
  return console_ ? kFileTypeChar : kFileTypePipe;
}

bool WriteText(SimStream& stream, const std::string& text) {
  std::uint32_t written = 0;
  std::uint32_t error = 0;
  return stream.Write(text.data(), static_cast<std::uint32_t>(text.size()),
                      &written, &error);
}

}  // namespace dorvane::sim
