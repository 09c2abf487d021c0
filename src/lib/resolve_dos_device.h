// What a DOS device name currently points to.
#pragma once

#include <string>

#include "platform/platform.h"

namespace dorvane {

// The answer buffer starts at 64 KiB less a byte and doubles while too small,
// at most 8 times (to just under 16 MiB); a name whose targets need more is
// taken as having no target.
constexpr std::size_t kFirstDosDeviceBuffer = 65535;
constexpr int kMaxDosDeviceDoublings = 8;

// The first target that QueryDosDeviceA lists for the name (backslashes
// removed from it first); empty text when the name has no target.
std::string ResolveDosDevice(Platform& platform, const std::string& name);

}  // namespace dorvane
