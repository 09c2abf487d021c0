// Devices and their handles: CreateFileA, DeviceIoControl, CloseHandle,
// QueryDosDeviceA.
#include <cstring>

#include "simulator/windows/device_control.h"
#include "simulator/windows/not_simulated.h"
#include "simulator/windows/sim_platform.h"
#include "simulator/windows/windows_values.h"

namespace dorvane::sim {
namespace {

constexpr char kDevicePrefix[] = "\\\\.\\";
constexpr std::size_t kDevicePrefixLength = sizeof kDevicePrefix - 1;

// The buffers the tool hands each control code: a miniport request is
// answered in place, a drive query into a record of the answer's size.
bool IsToolRequest(std::uint32_t code, const void* in, std::uint32_t in_size,
                   const void* out, std::uint32_t out_size) {
  if (code == kIoctlScsiMiniport) {
    return in != nullptr && in == out && in_size == out_size;
  }
  const std::uint32_t answer_size = code == kIoctlScsiGetAddress         ? 8
                                    : code == kIoctlDiskGetDriveGeometry ? 24
                                                                         : 0;
  return answer_size != 0 && in == nullptr && in_size == 0 && out != nullptr &&
         out_size == answer_size;
}

}  // namespace

Handle SimPlatform::CreateFileA(const char* name, std::uint32_t desired_access,
                                std::uint32_t share_mode,
                                std::uint32_t creation_disposition,
                                std::uint32_t flags_and_attributes) {
  // The tool opens existing devices, "\\.\NAME", shared, to ask them about
  // themselves (no access) or to send them requests (read and write).
  const char* path = name != nullptr ? name : "";
  if (std::strncmp(path, kDevicePrefix, kDevicePrefixLength) != 0 ||
      (desired_access != 0 &&
       desired_access != (kGenericRead | kGenericWrite)) ||
      share_mode != (kFileShareRead | kFileShareWrite) ||
      creation_disposition != kOpenExisting || flags_and_attributes != 0) {
    NotSimulated(
        "CreateFileA of \"%s\" with access 0x%X, sharing %u, disposition %u, "
        "flags 0x%X",
        path, desired_access, share_mode, creation_disposition,
        flags_and_attributes);
  }
  CallRecord record =
      Record("CreateFileA", desired_access, share_mode, creation_disposition);
  record.text = path;
  if (Begin(std::move(record))) return kInvalidHandle;
  const DosName* dos_name = machine_.FindDosName(path + kDevicePrefixLength);
  const Device* device =
      dos_name != nullptr ? machine_.FindDevice(dos_name->target) : nullptr;
  const PhysicalDrive* drive =
      device != nullptr && device->kind == DeviceKind::kDisk
          ? machine_.FindDrive(device->drive_number)
          : nullptr;
  if (device == nullptr || (device->kind == DeviceKind::kDisk && !drive)) {
    Failed(kErrorFileNotFound);
    return kInvalidHandle;
  }
  if (drive != nullptr && drive->refuse_open && desired_access != 0) {
    Failed(kErrorAccessDenied);
    return kInvalidHandle;
  }
  Succeed();
  // An open that succeeds clears the last error, as CreateFile does on
  // Windows: a later GetLastError no longer shows an earlier failure.
  last_error_ = 0;
  return AddHandle(OpenObject{false, device->object_name, desired_access});
}

bool SimPlatform::DeviceIoControl(Handle device, std::uint32_t code, void* in,
                                  std::uint32_t in_size, void* out,
                                  std::uint32_t out_size,
                                  std::uint32_t* bytes_returned) {
  auto it = OpenHandle("DeviceIoControl", device, false);
  if (bytes_returned == nullptr ||
      !IsToolRequest(code, in, in_size, out, out_size)) {
    NotSimulated("DeviceIoControl 0x%X with %u bytes in, %u bytes out", code,
                 in_size, out_size);
  }
  // The tool holds no device open across a change of the machine's devices.
  const Device* found = machine_.FindDevice(it->second.object_name);
  if (found == nullptr) {
    NotSimulated("DeviceIoControl on %s, which is gone",
                 it->second.object_name.c_str());
  }
  CallRecord record = Record("DeviceIoControl", code);
  if (in != nullptr) {
    const auto* bytes = static_cast<const std::uint8_t*>(in);
    record.bytes.assign(bytes, bytes + in_size);
  }
  *bytes_returned = 0;
  if (Begin(std::move(record))) return false;
  // The access bits of the control code must have been asked for at open,
  // as Windows checks them; the tool asks for all of them or none.
  if (((code >> 14) & 3) != 0 && it->second.access == 0) {
    Failed(kErrorAccessDenied);
    return false;
  }
  Device target = *found;  // the request may change the machine's devices
  std::uint32_t error =
      DeviceControl(machine_, target, code, static_cast<std::uint8_t*>(out),
                    out_size, bytes_returned);
  if (error != 0) {
    Failed(error);
    return false;
  }
  Succeed();
  return true;
}

bool SimPlatform::CloseHandle(Handle handle) {
  auto it = OpenHandle("CloseHandle", handle, false);
  if (Begin(Record("CloseHandle"))) return false;
  handles_.erase(it);
  Succeed();
  return true;
}

std::uint32_t SimPlatform::QueryDosDeviceA(const char* device_name,
                                           char* target_path,
                                           std::uint32_t max_chars) {
  // One name at a time: the tool never asks for the list of all names.
  if (device_name == nullptr || target_path == nullptr) {
    NotSimulated("QueryDosDeviceA without a name or a buffer");
  }
  if (Begin(Record("QueryDosDeviceA", max_chars))) return 0;
  const DosName* dos_name = machine_.FindDosName(device_name);
  if (dos_name == nullptr) {
    Failed(kErrorFileNotFound);
    return 0;
  }
  // The answer is a list of texts, each with its NUL, and one more NUL.
  const std::string answer = dos_name->target + '\0' + '\0';
  if (answer.size() > max_chars) {
    Failed(kErrorInsufficientBuffer);
    return 0;
  }
  std::memcpy(target_path, answer.data(), answer.size());
  Succeed();
  return static_cast<std::uint32_t>(answer.size());
}

}  // namespace dorvane::sim
