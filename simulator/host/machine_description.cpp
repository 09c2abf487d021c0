#include "simulator/host/machine_description.h"

#include <cstdio>
#include <sstream>

#include "simulator/code_pages.h"

namespace dorvane::sim {
namespace {

const char* KindText(DeviceKind kind) {
  switch (kind) {
    case DeviceKind::kScsiPort:
      return "SCSI port";
    case DeviceKind::kRaidPort:
      return "RAID port (not the driver)";
    case DeviceKind::kDriverAdapter:
      return "the driver's adapter";
    case DeviceKind::kDisk:
      return "disk";
  }
  return "?";
}

std::string Hex(std::uint32_t value, int width) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", width, value);
  return text;
}

}  // namespace

std::string DescribeMachine(const SimMachine& m) {
  std::ostringstream out;
  out << "platform: " << (m.is_nt ? "Windows NT 5.1" : "Windows 98 (not NT)")
      << ", ANSI code page " << m.code_page << "\n";
  out << "driver: " << (m.driver_installed ? "installed" : "not installed");
  int port = m.AdapterPort();
  if (m.driver_installed && port >= 0) {
    out << ", adapter \\\\.\\scsi" << port << ":";
  }
  out << "\n";

  out << "DOS names:\n";
  for (const DosName& d : m.dos_names) {
    out << "  " << d.name << " -> " << d.target << "\n";
  }
  out << "devices:\n";
  for (const Device& d : m.devices) {
    out << "  " << d.object_name << ": " << KindText(d.kind) << "\n";
  }
  out << "physical drives:\n";
  for (const PhysicalDrive& d : m.drives) {
    out << "  PhysicalDrive" << d.drive_number << ": port " << unsigned{d.port}
        << ", address "
        << Hex((unsigned{d.lun} << 16) | (unsigned{d.target_id} << 8) |
                   d.path_id,
               6)
        << ", " << d.cylinders << "/" << d.tracks_per_cylinder << "/"
        << d.sectors_per_track << " x " << d.bytes_per_sector << ", media "
        << d.media_type;
    if (d.virtual_disk) out << ", virtual disk " << Hex(d.device_number, 6);
    if (d.refuse_open) out << ", refuses open";
    if (d.refuse_geometry) out << ", refuses geometry";
    if (d.refuse_address) out << ", refuses address";
    out << "\n";
  }
  out << "virtual disks: " << m.driver.count << "\n";
  for (std::uint32_t i = 0; i < m.driver.count; ++i) {
    const dm_disk& d = m.driver.disks[i];
    out << "  " << Hex(d.number, 6) << ": " << d.size << " bytes, flags 0x"
        << Hex(d.flags, 8) << ", name \""
        << Utf16ToUtf8(d.name, d.name_length / 2u) << "\"\n";
  }
  out << "pending failures:\n";
  for (const FailRule& r : m.failures) {
    out << "  " << r.call << ": after " << r.after << " more call(s), "
        << r.count << " fail(s) with error " << r.error << "\n";
  }
  out << "shell launches answer " << m.shell_result
      << (m.shell_result > 32 ? " (accepted)" : " (refused)") << "\n";
  out << "recorded launches:\n";
  for (const Launch& l : m.launches) {
    out << "  " << l.file << " " << l.parameters << " -> " << l.result;
    if (!l.outcome.empty()) out << " (" << l.outcome << ")";
    out << "\n";
  }
  return out.str();
}

}  // namespace dorvane::sim
