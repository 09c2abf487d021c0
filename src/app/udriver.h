// Udriver: launching devcon.exe to install or remove the driver package.
// The launch does not wait; true means only that the shell started it.
#pragma once

#include <string>

#include "platform/platform.h"

namespace dorvane {

// devcon.exe install "INF" ROOT\PhDskMnt
bool InstallDriverPackage(Platform& platform, const std::string& inf_path);
// devcon.exe remove ROOT\PhDskMnt
bool RemoveDriverPackage(Platform& platform);

}  // namespace dorvane
