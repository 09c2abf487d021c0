#include "app/list_report.h"

#include <algorithm>
#include <iterator>

#include "adapter/control_messages.h"
#include "adapter/virtual_disk_requests.h"
#include "int13ext/physical_drive_lookup.h"
#include "runtime/format.h"

namespace dorvane {
namespace {

// FileName up to its first zero unit, in the system's ANSI code page, the
// one the names were typed in (AddVirtualDisk converts with the same).
std::string BackingName(Platform& platform, const DeviceConfig& config) {
  const std::uint16_t* end =
      std::find(std::begin(config.FileName), std::end(config.FileName), 0);
  const int units = static_cast<int>(end - config.FileName);
  if (units == 0) return std::string();
  // Room for the widest code page: four bytes for any unit.
  char text[kFileNameUnits * 4];
  int bytes = platform.WideCharToMultiByte(kCpAcp, 0, config.FileName, units,
                                           text, sizeof text);
  return std::string(text, static_cast<std::size_t>(std::max(bytes, 0)));
}

// One disk's line; any error raised here replaces the line.
Error ReportDisk(Platform& platform, TextOutput& out,
                 const std::string& adapter_path, std::uint8_t adapter_port,
                 std::uint32_t number) {
  // An undescribed disk shows as all zero, so the answer is not consulted.
  DeviceConfig config;
  Expected<bool> described =
      QueryVirtualDisk(platform, adapter_path, number, &config);
  if (!described.has_value()) return described.error();
  const std::string address = FormatHex(number, 6);
  std::string line = address;
  line += '\t';
  line += FormatSigned(config.DiskSize / kMegabyte);
  line += '\t';
  line += (config.Flags & kMemoryBackedFlag) != 0
              ? std::string("memory")
              : BackingName(platform, config);
  DrivePath drive_path;
  if (FindPhysicalDrive(platform, adapter_port, address, &drive_path)) {
    line += '\t';
    line += drive_path.text;
  }
  return out.WriteLine(line);
}

}  // namespace

Error ListVirtualDisks(Platform& platform, TextOutput& out,
                       const std::string& adapter_path,
                       std::uint8_t adapter_port) {
  // The report holds its own adapter handle from its first request to its
  // last line.
  UniqueHandle adapter = OpenAdapter(platform, adapter_path);
  if (!adapter) return out.WriteLine("createfile failed");
  std::uint8_t request[kAdapterRequestSize];
  StartRequest(request, sizeof request, CtlQueryAdapter);
  std::uint32_t returned = 0;
  if (!SendRequest(platform, adapter.get(), request, sizeof request,
                   &returned)) {
    return out.WriteLine("DeviceIoControl failed:" +
                         FormatUnsigned(platform.GetLastError()));
  }
  AdapterDeviceList list;
  DecodeAdapterDeviceList(request, &list);
  if (Error error = out.WriteLine("ok " + FormatUnsigned(list.DeviceCount) +
                                  " virtualdisk(s) found")) {
    return error;
  }
  const std::uint32_t slots =
      std::min(list.DeviceCount, static_cast<std::uint32_t>(kAdapterSlots));
  for (std::uint32_t i = 0; i < slots; ++i) {
    Error error = ReportDisk(platform, out, adapter_path, adapter_port,
                             list.DeviceNumbers[i]);
    if (!error) continue;
    if (Error write_error = out.WriteLine(error.message())) return write_error;
  }
  return Error();
}

}  // namespace dorvane
