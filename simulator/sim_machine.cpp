#include "simulator/sim_machine.h"

#include <algorithm>
#include <cctype>

#include "simulator/code_pages.h"

namespace dorvane::sim {
namespace {

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// "scsi12:" -> 12; -1 for any other name.
int ScsiPortOfName(const std::string& name) {
  if (name.size() < 6 || !SameText(name.substr(0, 4), "scsi") ||
      name.back() != ':') {
    return -1;
  }
  int port = 0;
  for (std::size_t i = 4; i + 1 < name.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(name[i])) || port > 255) {
      return -1;
    }
    port = port * 10 + (name[i] - '0');
  }
  return port;
}

std::string DriveObjectName(std::uint32_t drive_number) {
  return "\\Device\\Harddisk" + std::to_string(drive_number) + "\\DR0";
}

}  // namespace

SimMachine SimMachine::Default(bool with_driver) {
  SimMachine machine;
  machine.DefineDosName("scsi0:", "\\Device\\Ide\\IdePort0");
  machine.AddDevice("\\Device\\Ide\\IdePort0", DeviceKind::kScsiPort);
  machine.DefineDosName("scsi1:", "\\Device\\RaidPort1");
  machine.AddDevice("\\Device\\RaidPort1", DeviceKind::kRaidPort);
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

void SimMachine::DefineDosName(const std::string& name,
                               const std::string& target) {
  for (DosName& dos_name : dos_names) {
    if (SameText(dos_name.name, name)) {
      dos_name.target = target;
      return;
    }
  }
  dos_names.push_back(DosName{name, target});
}

bool SimMachine::RemoveDosName(const std::string& name) {
  auto it =
      std::find_if(dos_names.begin(), dos_names.end(),
                   [&](const DosName& d) { return SameText(d.name, name); });
  if (it == dos_names.end()) return false;
  dos_names.erase(it);
  return true;
}

const DosName* SimMachine::FindDosName(const std::string& name) const {
  for (const DosName& dos_name : dos_names) {
    if (SameText(dos_name.name, name)) return &dos_name;
  }
  return nullptr;
}

void SimMachine::AddDevice(const std::string& object_name, DeviceKind kind,
                           std::uint32_t drive_number) {
  for (Device& device : devices) {
    if (SameText(device.object_name, object_name)) {
      device.kind = kind;
      device.drive_number = drive_number;
      return;
    }
  }
  devices.push_back(Device{object_name, kind, drive_number});
}

const Device* SimMachine::FindDevice(const std::string& object_name) const {
  for (const Device& device : devices) {
    if (SameText(device.object_name, object_name)) return &device;
  }
  return nullptr;
}

PhysicalDrive& SimMachine::AddDrive(std::uint32_t drive_number,
                                    std::uint8_t port, std::uint8_t path_id,
                                    std::uint8_t target_id, std::uint8_t lun) {
  RemoveDrive(drive_number);
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
  AddDevice(object_name, DeviceKind::kDisk, drive_number);
  DefineDosName("PhysicalDrive" + std::to_string(drive_number), object_name);
  return *it;
}

bool SimMachine::RemoveDrive(std::uint32_t drive_number) {
  auto it = std::find_if(drives.begin(), drives.end(), [&](const auto& d) {
    return d.drive_number == drive_number;
  });
  if (it == drives.end()) return false;
  drives.erase(it);
  std::string object_name = DriveObjectName(drive_number);
  devices.erase(std::remove_if(devices.begin(), devices.end(),
                               [&](const Device& d) {
                                 return SameText(d.object_name, object_name);
                               }),
                devices.end());
  RemoveDosName("PhysicalDrive" + std::to_string(drive_number));
  return true;
}

PhysicalDrive* SimMachine::FindDrive(std::uint32_t drive_number) {
  for (PhysicalDrive& drive : drives) {
    if (drive.drive_number == drive_number) return &drive;
  }
  return nullptr;
}

const PhysicalDrive* SimMachine::FindDrive(std::uint32_t drive_number) const {
  return const_cast<SimMachine*>(this)->FindDrive(drive_number);
}

std::uint32_t SimMachine::AddDisk(std::int64_t size, std::uint32_t flags,
                                  const std::string& name, std::uint32_t number,
                                  std::uint32_t* assigned) {
  if (!driver_installed) return DM_ERROR_FILE_NOT_FOUND;
  std::uint8_t request[DM_HEADER_SIZE + DM_DEVICE_CONFIG_SIZE] = {};
  auto put = [&](std::size_t at, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
      request[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
  };
  put(0, DM_HEADER_SIZE, 4);
  std::copy_n("PhDskMnt", 8, request + 4);
  put(16, DM_CTL_CREATE_DEVICE, 4);
  put(24, DM_DEVICE_CONFIG_SIZE, 4);
  put(28, number, 4);
  put(32, static_cast<std::uint64_t>(size), 8);
  put(56, flags, 4);
  if (!name.empty()) {
    std::uint16_t units[DM_NAME_UNITS] = {};
    std::uint32_t error = 0;
    int count = MultiByteToWide(kCodePageUtf8, 0, name.data(),
                                static_cast<int>(name.size()), units,
                                DM_NAME_UNITS - 1, &error);
    if (count == 0) return error;
    put(60, static_cast<std::uint64_t>(count) * 2, 2);
    for (int i = 0; i < count; ++i) put(62 + 2 * i, units[i], 2);
  }
  std::uint32_t returned = 0;
  std::uint32_t error =
      dm_miniport_request(&driver, request, sizeof request, sizeof request,
                          &returned, nullptr, nullptr);
  SyncVirtualDrives();
  if (error == 0 && assigned != nullptr) {
    *assigned = static_cast<std::uint32_t>(request[28] | request[29] << 8 |
                                           request[30] << 16);
  }
  return error;
}

std::vector<std::uint32_t> SimMachine::DiskNumbers() const {
  std::vector<std::uint32_t> numbers;
  for (std::uint32_t i = 0; i < driver.count; ++i) {
    numbers.push_back(driver.disks[i].number);
  }
  return numbers;
}

int SimMachine::AdapterPort() const {
  int best = -1;
  for (const DosName& dos_name : dos_names) {
    int port = ScsiPortOfName(dos_name.name);
    const Device* device = FindDevice(dos_name.target);
    if (port >= 0 && device != nullptr &&
        device->kind == DeviceKind::kDriverAdapter &&
        (best < 0 || port < best)) {
      best = port;
    }
  }
  return best;
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
  for (std::uint32_t drive_number : gone) RemoveDrive(drive_number);

  int port = AdapterPort();
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
  AddDevice(object_name, DeviceKind::kDriverAdapter);
  DefineDosName("scsi" + std::to_string(port) + ":", object_name);
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
