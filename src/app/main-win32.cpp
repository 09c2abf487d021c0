// Entry point of the Windows console program.
#include "app/dorvane.h"
#include "platform/platform-win32.h"

int main() { return dorvane::RunDorvane(dorvane::Win32Platform()); }
