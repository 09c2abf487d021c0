// The commands that create and remove virtual disks: removall and the add,
// new and remove forms of vm, pm and file, with file shm.
#pragma once

#include <string_view>

#include "app/invocation.h"
#include "runtime/error.h"

namespace dorvane {

// The vm, pm and file commands, by argument 1 and argument 2. Any other
// word, and an unknown sub-word, does nothing. A remove whose id does not
// convert returns the conversion error unhandled.
Error RunDiskCommand(Invocation& run, std::string_view word,
                     std::string_view sub_word);

Error RunRemoveAll(Invocation& run);

}  // namespace dorvane
