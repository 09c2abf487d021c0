#include "runtime/uncaught_report.h"

#include <vector>

#include "runtime/ansi_characters.h"
#include "runtime/format.h"
#include "runtime/standard_error.h"

namespace dorvane {
namespace {

// The file name, without directory, of the module holding the address, and
// the address as an offset from the module's load address. The module is
// found through the memory region holding the address, as every NT-family
// Windows can: an image region's allocation base is the module's handle.
void LocateCode(Platform& platform, std::uintptr_t address, std::string* name,
                std::uintptr_t* offset) {
  *offset = address;
  MemoryBasicInformation region;
  if (platform.VirtualQuery(reinterpret_cast<const void*>(address), &region,
                            sizeof region) == 0 ||
      region.Type != kMemImage) {
    return;
  }
  Handle module = reinterpret_cast<Handle>(region.AllocationBase);
  *offset = address - module;
  char path[260];
  std::uint32_t length = platform.GetModuleFileNameA(module, path, sizeof path);
  if (length >= sizeof path) return;  // cut short: no name, not a wrong one
  path[length] = '\0';
  // The name begins after the last separator, found character by
  // character: the second byte of a double-byte one may look like one.
  // Without the stepping (no user32) there is no name, not a wrong one.
  const char* begin = path;
  for (const char* p = path; *p != '\0';) {
    const char* next = NextCharacter(platform, p);
    if (next == nullptr) return;
    if (*p == '\\' || *p == '/') begin = next;
    p = next;
  }
  *name = begin;
}

}  // namespace

std::string FormatUncaughtReport(Platform& platform, const Error& error) {
  std::string module;
  std::uintptr_t offset = 0;
  LocateCode(platform, error.code_address(), &module, &offset);
  std::string report = "Exception ";
  report += error.class_name();
  report += " in module " + module + " at ";
  // Eight digits hold any offset into a module; a bare address on a 64-bit
  // build may need more, and gets them.
  report += FormatHex(offset, 8);
  report += ".\r\n" + error.message();
  if (!error.message().empty() && error.message().back() != '.') {
    report += '.';
  }
  report += "\r\n";
  return report;
}

void WriteUncaughtReport(Platform& platform, const Error& error) {
  std::string report = FormatUncaughtReport(platform, error);
  std::vector<char> oem(report.size() + 1);
  const bool converted = platform.CharToOemA(report.c_str(), oem.data());
  WriteStandardError(platform,
                     {converted ? oem.data() : report.c_str(), "\r\n"});
}

}  // namespace dorvane
