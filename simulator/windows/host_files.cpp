// The host's answers that need nothing of the host's own interfaces.
#include "simulator/windows/host_files.h"

#include <cstring>
#include <fstream>

#include "runtime/bytes.h"

namespace dorvane::sim {

bool HostFileIsProgram(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  char header[0x40] = {};
  if (!file.read(header, sizeof header) || header[0] != 'M' ||
      header[1] != 'Z') {
    return false;
  }
  const std::uint32_t at =
      GetU32(reinterpret_cast<const std::uint8_t*>(header + 0x3C));
  char signature[4] = {};
  return file.seekg(at) && file.read(signature, sizeof signature) &&
         std::memcmp(signature, "PE\0\0", 4) == 0;
}

}  // namespace dorvane::sim
