#include "simulator/sim_machine.h"

#include <algorithm>

#include "simulator/windows_names.h"

namespace dorvane::sim {
namespace {

// "scsi12:" -> 12; -1 for any other name.
int ScsiPortOfName(const std::string& name) {
  if (name.size() < 6 || !SameWindowsName(name.substr(0, 4), "scsi") ||
      name.back() != ':') {
    return -1;
  }
  int port = 0;
  for (std::size_t i = 4; i + 1 < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9' || port > 255) return -1;
    port = port * 10 + (name[i] - '0');
  }
  return port;
}

std::string DriveObjectName(std::uint32_t drive_number) {
  return "\\Device\\Harddisk" + std::to_string(drive_number) + "\\DR0";
}

// Defining an existing name replaces its target.
void DefineDosName(SimMachine& machine, const std::string& name,
                   const std::string& target) {
  for (DosName& dos_name : machine.dos_names) {
    if (SameWindowsName(dos_name.name, name)) {
      dos_name.target = target;
      return;
    }
  }
  machine.dos_names.push_back(DosName{name, target});
}

void AddDevice(SimMachine& machine, const std::string& object_name,
               DeviceKind kind, std::uint32_t drive_number = 0) {
  for (Device& device : machine.devices) {
    if (SameWindowsName(device.object_name, object_name)) {
      device.kind = kind;
      device.drive_number = drive_number;
      return;
    }
  }
  machine.devices.push_back(Device{object_name, kind, drive_number});
}

void RemoveDrive(SimMachine& machine, std::uint32_t drive_number) {
  auto& drives = machine.drives;
  drives.erase(std::remove_if(drives.begin(), drives.end(),
                              [&](const PhysicalDrive& d) {
                                return d.drive_number == drive_number;
                              }),
               drives.end());
  const std::string object_name = DriveObjectName(drive_number);
  const std::string dos_name = "PhysicalDrive" + std::to_string(drive_number);
  auto& devices = machine.devices;
  devices.erase(std::remove_if(devices.begin(), devices.end(),
                               [&](const Device& d) {
                                 return SameWindowsName(d.object_name,
                                                        object_name);
                               }),
                devices.end());
  auto& dos_names = machine.dos_names;
  dos_names.erase(std::remove_if(dos_names.begin(), dos_names.end(),
                                 [&](const DosName& d) {
                                   return SameWindowsName(d.name, dos_name);
                                 }),
                  dos_names.end());
}

// The SCSI port number N of the scsiN: name that points at the driver's
// adapter; -1 when there is none.
int AdapterPort(const SimMachine& machine) {
  int best = -1;
  for (const DosName& dos_name : machine.dos_names) {
    int port = ScsiPortOfName(dos_name.name);
    const Device* device = machine.FindDevice(dos_name.target);
    if (port >= 0 && device != nullptr &&
        device->kind == DeviceKind::kDriverAdapter &&
        (best < 0 || port < best)) {
      best = port;
    }
  }
  return best;
}

}  // namespace

bool IsSupportedCodePage(std::uint32_t code_page) {
  return code_page == kCodePage1252 || code_page == kCodePageUtf8 ||
         code_page == kCodePage932;
}

SimMachine SimMachine::Default(bool with_driver) {
  SimMachine machine;
  DefineDosName(machine, "scsi0:", "\\Device\\Ide\\IdePort0");
  AddDevice(machine, "\\Device\\Ide\\IdePort0", DeviceKind::kScsiPort);
  DefineDosName(machine, "scsi1:", "\\Device\\RaidPort1");
  AddDevice(machine, "\\Device\\RaidPort1", DeviceKind::kRaidPort);
  machine.driver_installed = false;
  if (with_driver) machine.InstallDriver();
  machine.AddDrive(0, 0);
  return machine;
}

void SimMachine::Fail(const std::string& call, std::uint32_t error,
                      std::uint32_t count, std::uint32_t after) {
  failures.push_back(FailRule{call, error, count, after});
}

bool SimMachine::ConsumeFailure(const std::string& call, std::uint32_t* error) {
  // Every rule of the call counts the call for itself; the first rule that
  // is in its failing stretch gives the error.
  bool fail = false;
  for (FailRule& rule : failures) {
    if (rule.call != call) continue;
    if (rule.after > 0) {
      --rule.after;
    } else if (rule.count > 0) {
      --rule.count;
      rule.fired = true;
      if (!fail) *error = rule.error;
      fail = true;
    }
  }
  failures.erase(std::remove_if(failures.begin(), failures.end(),
                                [](const FailRule& rule) {
                                  return rule.after == 0 && rule.count == 0;
                                }),
                 failures.end());
  return fail;
}

const DosName* SimMachine::FindDosName(const std::string& name) const {
  for (const DosName& dos_name : dos_names) {
    if (SameWindowsName(dos_name.name, name)) return &dos_name;
  }
  return nullptr;
}

const Device* SimMachine::FindDevice(const std::string& object_name) const {
  for (const Device& device : devices) {
    if (SameWindowsName(device.object_name, object_name)) return &device;
  }
  return nullptr;
}

PhysicalDrive& SimMachine::AddDrive(std::uint32_t drive_number,
                                    std::uint8_t port, std::uint8_t path_id,
                                    std::uint8_t target_id, std::uint8_t lun) {
  RemoveDrive(*this, drive_number);
  PhysicalDrive drive;
  drive.drive_number = drive_number;
  drive.port = port;
  drive.path_id = path_id;
  drive.target_id = target_id;
  drive.lun = lun;
  auto at = std::find_if(drives.begin(), drives.end(), [&](const auto& d) {
    return d.drive_number > drive_number;
  });
  auto it = drives.insert(at, drive);
  std::string object_name = DriveObjectName(drive_number);
  AddDevice(*this, object_name, DeviceKind::kDisk, drive_number);
  DefineDosName(*this, "PhysicalDrive" + std::to_string(drive_number),
                object_name);
  return *it;
}

PhysicalDrive* SimMachine::FindDrive(std::uint32_t drive_number) {
  for (PhysicalDrive& drive : drives) {
    if (drive.drive_number == drive_number) return &drive;
  }
  return nullptr;
}

std::vector<std::uint32_t> SimMachine::DiskNumbers() const {
  std::vector<std::uint32_t> numbers;
  for (std::uint32_t i = 0; i < driver.count; ++i) {
    numbers.push_back(driver.disks[i].number);
  }
  return numbers;
}

void SimMachine::SyncVirtualDrives() {
  std::vector<std::uint32_t> gone;
  for (const PhysicalDrive& drive : drives) {
    if (drive.virtual_disk &&
        (!driver_installed ||
         dm_find_disk(&driver, drive.device_number) == nullptr)) {
      gone.push_back(drive.drive_number);
    }
  }
  for (std::uint32_t drive_number : gone) RemoveDrive(*this, drive_number);

  int port = AdapterPort(*this);
  if (!driver_installed || port < 0) return;
  for (std::uint32_t i = 0; i < driver.count; ++i) {
    const dm_disk& disk = driver.disks[i];
    bool shown = std::any_of(drives.begin(), drives.end(), [&](const auto& d) {
      return d.virtual_disk && d.device_number == disk.number;
    });
    if (shown) continue;
    std::uint32_t drive_number = 0;
    while (FindDrive(drive_number) != nullptr) ++drive_number;
    PhysicalDrive& drive =
        AddDrive(drive_number, static_cast<std::uint8_t>(port),
                 static_cast<std::uint8_t>(disk.number),
                 static_cast<std::uint8_t>(disk.number >> 8),
                 static_cast<std::uint8_t>(disk.number >> 16));
    drive.virtual_disk = true;
    drive.device_number = disk.number;
    drive.bytes_per_sector = disk.bytes_per_sector;
    drive.cylinders =
        disk.size / (std::int64_t{drive.tracks_per_cylinder} *
                     drive.sectors_per_track * drive.bytes_per_sector);
  }
}

bool SimMachine::InstallDriver() {
  if (driver_installed) return false;
  int port = 0;
  while (FindDosName("scsi" + std::to_string(port) + ":") != nullptr) ++port;
  std::string object_name = "\\Device\\RaidPort" + std::to_string(port);
  AddDevice(*this, object_name, DeviceKind::kDriverAdapter);
  DefineDosName(*this, "scsi" + std::to_string(port) + ":", object_name);
  driver = dm_model{};
  driver_installed = true;
  return true;
}

bool SimMachine::RemoveDriver() {
  if (!driver_installed) return false;
  driver = dm_model{};
  driver_installed = false;
  SyncVirtualDrives();
  auto is_adapter = [](const Device& d) {
    return d.kind == DeviceKind::kDriverAdapter;
  };
  dos_names.erase(std::remove_if(dos_names.begin(), dos_names.end(),
                                 [&](const DosName& d) {
                                   const Device* device = FindDevice(d.target);
                                   return device != nullptr &&
                                          is_adapter(*device);
                                 }),
                  dos_names.end());
  devices.erase(std::remove_if(devices.begin(), devices.end(), is_adapter),
                devices.end());
  return true;
}

}  // namespace dorvane::sim
