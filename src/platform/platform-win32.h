// The Win32 backend of the platform seam: every call goes straight to the
// Windows API. Its source is the only file that includes <windows.h>.
#pragma once

#include "platform/platform.h"

namespace dorvane {

// The process's one Win32 platform; it lives until the process ends.
Platform& Win32Platform();

}  // namespace dorvane
