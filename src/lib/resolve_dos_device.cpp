#include "lib/resolve_dos_device.h"

#include <vector>

namespace dorvane {

std::string ResolveDosDevice(Platform& platform, const std::string& name) {
  std::string edited;
  for (char c : name) {
    if (c != '\\') edited += c;
  }
  std::vector<char> buffer(65535, '\0');
  std::uint32_t stored;
  for (;;) {
    stored =
        platform.QueryDosDeviceA(edited.c_str(), buffer.data(),
                                 static_cast<std::uint32_t>(buffer.size() - 1));
    if (stored != 0 || platform.GetLastError() != kErrorInsufficientBuffer) {
      break;
    }
    if (buffer.size() * 2 > kMaxDosDeviceBuffer) {
      stored = 0;
      break;
    }
    buffer.resize(buffer.size() * 2, '\0');
  }
  if (stored >= buffer.size()) stored = 0;  // an answer longer than allowed
  buffer[stored] = '\0';
  return std::string(buffer.data());
}

}  // namespace dorvane
