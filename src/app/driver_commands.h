// driver install and driver remove: look for devcon.exe in the current
// directory, explain where to get it when it is missing, launch it otherwise.
#pragma once

#include <string>

#include "app/invocation.h"
#include "runtime/error.h"

namespace dorvane {

// True when devcon.exe in the current directory is a file whose last-write
// time can be written as a DOS date and time.
bool DevconPresent(Platform& platform);

// The command bodies: *launched is false when devcon.exe is absent,
// otherwise whether the shell started it.
Error InstallDriver(Invocation& run, const std::string& inf_path,
                    bool* launched);
Error UninstallDriver(Invocation& run, bool* launched);

Error RunDriverInstall(Invocation& run);
Error RunDriverRemove(Invocation& run);

}  // namespace dorvane
