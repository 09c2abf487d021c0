// What a DOS device name currently points to.
#pragma once

#include <string>

#include "platform/platform.h"

namespace dorvane {

// The largest answer buffer tried; a name whose targets need more is taken
// as having no target.
constexpr std::size_t kMaxDosDeviceBuffer = 16u * 1024 * 1024;

// The first target that QueryDosDeviceA lists for the name (backslashes
// removed from it first); empty text when the name has no target.
std::string ResolveDosDevice(Platform& platform, const std::string& name);

}  // namespace dorvane
