// The simulated machine: a stateful double of Windows and of the driver.
// This header holds its state; machine_text.h gives its text form (the
// host build keeps it in a file between runs), windows/sim_platform.h
// implements the platform calls over it and driver/ holds the driver.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "simulator/driver/driver_model.h"

namespace dorvane::sim {

// The ANSI code pages a machine can have.
constexpr std::uint32_t kCodePage1252 = 1252;
constexpr std::uint32_t kCodePageUtf8 = 65001;
// Japanese: only its stepping by character is simulated, for file names
// whose second byte looks like a backslash ("表" is 0x95 0x5C).
constexpr std::uint32_t kCodePage932 = 932;
bool IsSupportedCodePage(std::uint32_t code_page);

constexpr std::uint32_t kFixedMedia = 12;  // MEDIA_TYPE of a hard disk

// What a device object behind a DOS name is.
enum class DeviceKind : std::uint8_t {
  kScsiPort,  // an ordinary SCSI/IDE port: opens, fails the driver's requests
  kRaidPort,  // a RAID port that is not the driver: opens, fails the version
              // probe
  kDriverAdapter,  // the driver's adapter: answers the five miniport requests
  kDisk,           // a physical drive
};

struct DosName {
  std::string name;    // "scsi2:", "PhysicalDrive0" (compared without case)
  std::string target;  // "\Device\RaidPort2"
};

// A physical drive as Windows shows it under \\.\PhysicalDriveN.
struct PhysicalDrive {
  std::uint32_t drive_number = 0;
  std::uint8_t port = 0, path_id = 0, target_id = 0, lun = 0;
  std::int64_t cylinders = 1024;
  std::uint32_t media_type = kFixedMedia;
  std::uint32_t tracks_per_cylinder = 255, sectors_per_track = 63;
  std::uint32_t bytes_per_sector = 512;
  bool virtual_disk = false;  // created by the driver for one of its disks
  std::uint32_t device_number = 0;  // the driver's DeviceNumber when
                                    // virtual_disk
  bool refuse_open = false;         // CreateFileA for reading and writing fails
                                    // with 5, as without administrator rights
  bool refuse_geometry = false;     // IOCTL_DISK_GET_DRIVE_GEOMETRY fails, 21
  bool refuse_address = false;      // IOCTL_SCSI_GET_ADDRESS fails with 50
};

struct Device {
  std::string object_name;  // "\Device\RaidPort2"
  DeviceKind kind = DeviceKind::kScsiPort;
  std::uint32_t drive_number = 0;  // kDisk: which PhysicalDrive
};

// "After `after` more calls of `call`, the next `count` fail with `error`."
struct FailRule {
  std::string call;  // "CreateFileA", "DeviceIoControl", ...
  std::uint32_t error = 0;
  std::uint32_t count = 1;
  std::uint32_t after = 0;
  bool fired = false;  // made a call fail (not kept in the state file)
};

struct Launch {
  std::string file;
  std::string parameters;
  std::uintptr_t result = 0;
  // What the launched program did on the machine, as devcon.exe would
  // report it; empty when the shell refused the launch.
  std::string outcome;
};

// The value a shell launch returns by default: 33, the least that means
// accepted, as Wine answers.
constexpr std::uintptr_t kShellAccepted = 33;

// The module file name the simulated process reports for itself.
constexpr char kDefaultModuleFileName[] =
    "C:\\Program Files\\Dorvane\\dorvane.exe";

struct SimMachine {
  bool is_nt = true;
  std::uint32_t code_page = kCodePage1252;
  // In the ANSI code page.
  std::string module_file_name = kDefaultModuleFileName;
  std::vector<DosName> dos_names;
  std::vector<Device> devices;
  std::vector<PhysicalDrive> drives;
  bool driver_installed = true;
  dm_model driver = {};  // the driver's own state (its disks)
  std::vector<FailRule> failures;
  std::vector<Launch> launches;
  // What ShellExecuteA answers; 32 or less refuses every launch.
  std::uintptr_t shell_result = kShellAccepted;

  // The default machine: NT, code page 1252; scsi0: -> \Device\Ide\IdePort0;
  // scsi1: -> \Device\RaidPort1 (not the driver); scsi2: -> \Device\RaidPort2
  // (the driver's adapter); PhysicalDrive0, a fixed disk on port 0.
  // with_driver false leaves scsi2: undefined.
  static SimMachine Default(bool with_driver = true);

  // Adds a failure rule (see FailRule).
  void Fail(const std::string& call, std::uint32_t error,
            std::uint32_t count = 1, std::uint32_t after = 0);
  // Counts one call of `call` against the rules; true with *error when this
  // call is to fail. Spent rules are dropped.
  bool ConsumeFailure(const std::string& call, std::uint32_t* error);

  // DOS names and device objects, by name, compared without case.
  const DosName* FindDosName(const std::string& name) const;
  const Device* FindDevice(const std::string& object_name) const;

  // A machine drive: the drive, its device \Device\HarddiskN\DR0 and its DOS
  // name PhysicalDriveN. Replaces a drive of the same number.
  PhysicalDrive& AddDrive(std::uint32_t drive_number, std::uint8_t port,
                          std::uint8_t path_id = 0, std::uint8_t target_id = 0,
                          std::uint8_t lun = 0);
  PhysicalDrive* FindDrive(std::uint32_t drive_number);

  // The driver's disks' numbers, in creation order.
  std::vector<std::uint32_t> DiskNumbers() const;

  // Makes the physical drives match the driver's disks: each new disk gets
  // a drive at the adapter's port and its address, under the lowest free
  // drive number; drives of removed disks go away.
  void SyncVirtualDrives();

  // What devcon.exe does with ROOT\PhDskMnt. False when the driver already
  // is in the state asked for; nothing changes then.
  bool InstallDriver();
  bool RemoveDriver();
};

}  // namespace dorvane::sim
