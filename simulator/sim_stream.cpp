#include "simulator/sim_stream.h"

namespace dorvane::sim {

bool MemoryStream::Write(const void* data, std::uint32_t size,
                         std::uint32_t* written, std::uint32_t* /*error*/) {
  text_.append(static_cast<const char*>(data), size);
  write_sizes.push_back(size);
  *written = size;
  return true;
}

bool WriteText(SimStream& stream, const std::string& text) {
  std::uint32_t written = 0;
  std::uint32_t error = 0;
  return stream.Write(text.data(), static_cast<std::uint32_t>(text.size()),
                      &written, &error);
}

}  // namespace dorvane::sim
