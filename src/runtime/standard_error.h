// Standard error, written directly (it has no buffer). A write that fails is
// left alone: there is nowhere else to report it.
#pragma once

#include <initializer_list>
#include <string_view>

#include "platform/platform.h"

namespace dorvane {

// One WriteFile per piece, on the handle asked for once.
void WriteStandardError(Platform& platform,
                        std::initializer_list<std::string_view> pieces);

}  // namespace dorvane
