// The tool's entry: runs one invocation against a platform and returns the
// process exit code.
#pragma once

#include "platform/platform.h"

namespace dorvane {

int RunDorvane(Platform& platform);

}  // namespace dorvane
