// The report for an error that escaped every handler, on standard error.
#pragma once

#include <string>

#include "platform/platform.h"
#include "runtime/error.h"

namespace dorvane {

// "Exception CLASS in module MODULE at OFFSET." CR LF, the message with a
// full stop added when it has none, CR LF, in the ANSI code page.
std::string FormatUncaughtReport(Platform& platform, const Error& error);

// Converts the report to the OEM code page, writes it and one more CR LF.
void WriteUncaughtReport(Platform& platform, const Error& error);

}  // namespace dorvane
