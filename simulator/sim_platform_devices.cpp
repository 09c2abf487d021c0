// Devices and their handles: CreateFileA, DeviceIoControl, CloseHandle,
// QueryDosDeviceA.
#include <cstring>

#include "simulator/call_records.h"
#include "simulator/device_control.h"
#include "simulator/sim_platform.h"

namespace dorvane::sim {
namespace {

constexpr std::uint32_t kErrorDeviceGone = 55;  // ERROR_DEV_NOT_EXIST
constexpr std::uint32_t kErrorNoAccess = 998;   // a buffer that is not there
constexpr std::uint32_t kFileReadData = 1, kFileWriteData = 2;
constexpr std::uint32_t kGenericAll = 0x10000000;

bool CanRead(std::uint32_t access) {
  return (access & (kGenericRead | kGenericAll | kFileReadData)) != 0;
}
bool CanWrite(std::uint32_t access) {
  return (access & (kGenericWrite | kGenericAll | kFileWriteData)) != 0;
}

}  // namespace

Handle SimPlatform::CreateFileA(const char* name, std::uint32_t desired_access,
                                std::uint32_t share_mode,
                                std::uint32_t creation_disposition,
                                std::uint32_t /*flags_and_attributes*/) {
  CallRecord record =
      Record("CreateFileA", desired_access, share_mode, creation_disposition);
  record.text = TextOf(name);
  if (Begin(std::move(record))) return kInvalidHandle;
  // Only devices exist here: "\\.\NAME" opens what the DOS name NAME points
  // at.
  std::string path = TextOf(name);
  const DosName* dos_name = nullptr;
  if (path.compare(0, 4, "\\\\.\\") == 0) {
    dos_name = machine_.FindDosName(path.substr(4));
  }
  const Device* device =
      dos_name != nullptr ? machine_.FindDevice(dos_name->target) : nullptr;
  if (device == nullptr || (device->kind == DeviceKind::kDriverAdapter &&
                            !machine_.driver_installed)) {
    Failed(kErrorFileNotFound);
    return kInvalidHandle;
  }
  if (device->kind == DeviceKind::kDisk) {
    const PhysicalDrive* drive = machine_.FindDrive(device->drive_number);
    if (drive == nullptr ||
        (drive->virtual_disk && !machine_.driver_installed)) {
      Failed(kErrorFileNotFound);
      return kInvalidHandle;
    }
    if (drive->refuse_open) {
      Failed(kErrorAccessDenied);
      return kInvalidHandle;
    }
  }
  OpenObject object;
  object.path = path;
  object.object_name = device->object_name;
  object.access = desired_access;
  Succeed();
  // An open that succeeds clears the last error, as CreateFile does on
  // Windows: a later GetLastError no longer shows an earlier failure.
  last_error_ = 0;
  return AddHandle(std::move(object));
}

bool SimPlatform::DeviceIoControl(Handle device, std::uint32_t code, void* in,
                                  std::uint32_t in_size, void* out,
                                  std::uint32_t out_size,
                                  std::uint32_t* bytes_returned) {
  auto it = handles_.find(device);
  CallRecord record = Record("DeviceIoControl", code, in_size, out_size);
  if (it != handles_.end()) record.text = it->second.path;
  if (in != nullptr && in_size > 0) {
    const auto* bytes = static_cast<const std::uint8_t*>(in);
    record.bytes.assign(bytes, bytes + in_size);
  }
  if (bytes_returned != nullptr) *bytes_returned = 0;
  if (Begin(std::move(record))) return false;
  if (it == handles_.end() || it->second.find) {
    Failed(kErrorInvalidHandle);
    return false;
  }
  const Device* found = machine_.FindDevice(it->second.object_name);
  if (found == nullptr) {
    Failed(kErrorDeviceGone);
    return false;
  }
  if ((in == nullptr && in_size > 0) || (out == nullptr && out_size > 0)) {
    Failed(kErrorNoAccess);
    return false;
  }
  // The access bits of the control code must have been asked for at open,
  // as Windows checks them.
  std::uint32_t required = (code >> 14) & 3;
  if (((required & 1) != 0 && !CanRead(it->second.access)) ||
      ((required & 2) != 0 && !CanWrite(it->second.access))) {
    Failed(kErrorAccessDenied);
    return false;
  }
  Device target = *found;  // the request may change the machine's devices
  std::uint32_t returned = 0;
  std::uint32_t error = DeviceControl(machine_, target, code, in, in_size, out,
                                      out_size, &returned);
  if (error != 0) {
    Failed(error);
    return false;
  }
  if (bytes_returned != nullptr) *bytes_returned = returned;
  Succeed();
  return true;
}

bool SimPlatform::CloseHandle(Handle handle) {
  if (Begin(Record("CloseHandle", static_cast<std::uint32_t>(handle)))) {
    return false;
  }
  if (handle == kSimStdInput || handle == kSimStdOutput ||
      handle == kSimStdError) {
    Succeed();
    return true;
  }
  auto it = handles_.find(handle);
  if (it == handles_.end() || it->second.find) {
    Failed(kErrorInvalidHandle);
    return false;
  }
  handles_.erase(it);
  Succeed();
  return true;
}

std::uint32_t SimPlatform::QueryDosDeviceA(const char* device_name,
                                           char* target_path,
                                           std::uint32_t max_chars) {
  CallRecord record = Record("QueryDosDeviceA", max_chars);
  record.text = TextOf(device_name);
  if (Begin(std::move(record))) return 0;
  // The answer is a list of texts, each with its NUL, and one more NUL.
  std::string answer;
  if (device_name == nullptr) {
    for (const DosName& dos_name : machine_.dos_names) {
      answer += dos_name.name + '\0';
    }
  } else {
    const DosName* dos_name = machine_.FindDosName(device_name);
    if (dos_name == nullptr) {
      Failed(kErrorFileNotFound);
      return 0;
    }
    answer = dos_name->target + '\0';
  }
  answer += '\0';
  if (answer.size() > max_chars) {
    Failed(kErrorInsufficientBuffer);
    return 0;
  }
  if (target_path == nullptr) {
    Failed(kErrorInvalidParameter);
    return 0;
  }
  std::memcpy(target_path, answer.data(), answer.size());
  Succeed();
  return static_cast<std::uint32_t>(answer.size());
}

}  // namespace dorvane::sim
