// driver install and driver remove: look for devcon.exe in the current
// directory, explain where to get it when it is missing, launch it otherwise,
// and write the outcome.
#pragma once

#include <string_view>

#include "app/invocation.h"
#include "runtime/error.h"

namespace dorvane {

// The driver command that argument 2 names; an unknown sub-word does
// nothing.
Error RunDriverPackageCommand(Invocation& run, std::string_view sub_word);

}  // namespace dorvane
