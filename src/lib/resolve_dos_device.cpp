#include "lib/resolve_dos_device.h"

#include <vector>

namespace dorvane {

std::string ResolveDosDevice(Platform& platform, const std::string& name) {
  std::string edited;
  for (char c : name) {
    if (c != '\\') edited += c;
  }
  // The call is never offered the buffer's last byte, so the answer's text
  // ends inside the buffer whatever count comes back.
  std::vector<char> buffer(kFirstDosDeviceBuffer, '\0');
  for (int doublings = 0;; ++doublings) {
    const std::uint32_t stored =
        platform.QueryDosDeviceA(edited.c_str(), buffer.data(),
                                 static_cast<std::uint32_t>(buffer.size() - 1));
    if (stored != 0) return std::string(buffer.data());
    if (platform.GetLastError() != kErrorInsufficientBuffer ||
        doublings == kMaxDosDeviceDoublings) {
      return std::string();
    }
    buffer.resize(buffer.size() * 2, '\0');
  }
}

}  // namespace dorvane
