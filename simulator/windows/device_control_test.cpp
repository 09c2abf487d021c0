#include "simulator/windows/device_control.h"

#include <gtest/gtest.h>

#include "adapter/control_messages.h"
#include "simulator/windows/windows_values.h"
#include "tests/kit/machine_test.h"

namespace dorvane::sim {
namespace {

constexpr std::uint32_t kReadWrite = kGenericRead | kGenericWrite;
constexpr char kAdapter[] = "\\\\.\\scsi2:";
constexpr char kDrive0[] = "\\\\.\\PhysicalDrive0";

class DeviceControlTest : public test::MachineTest {
 protected:
  // Opens path, sends it the version probe (a miniport request, answered
  // in place) or a drive query, closes. Returns 0 or the last error.
  std::uint32_t Send(const char* path, std::uint32_t code,
                     std::uint32_t access) {
    Handle h = platform_.CreateFileA(
        path, access, kFileShareRead | kFileShareWrite, kOpenExisting, 0);
    if (h == kInvalidHandle) return platform_.GetLastError();
    std::uint8_t probe[kVersionRequestSize], answer[24];
    StartRequest(probe, sizeof probe, CtlQueryVersion);
    const bool miniport = code == kIoctlScsiMiniport;
    const std::uint32_t size = miniport                       ? sizeof probe
                               : code == kIoctlScsiGetAddress ? 8
                                                              : 24;
    std::uint32_t returned = 0;
    const bool ok = platform_.DeviceIoControl(
        h, code, miniport ? probe : nullptr, miniport ? size : 0,
        miniport ? probe : answer, size, &returned);
    std::uint32_t error = ok ? 0 : platform_.GetLastError();
    platform_.CloseHandle(h);
    return error;
  }
};

TEST_F(DeviceControlTest, CodesNeedTheirAccessAndTheirDevice) {
  struct Case {
    const char* path;
    std::uint32_t code, access, error;
  };
  const std::uint32_t kMiniport = kIoctlScsiMiniport;
  const std::uint32_t kGeometry = kIoctlDiskGetDriveGeometry;
  const std::uint32_t kAddress = kIoctlScsiGetAddress;
  const Case cases[] = {
      {kAdapter, kMiniport, kReadWrite, 0},
      {kAdapter, kMiniport, 0, kErrorAccessDenied},
      {kDrive0, kGeometry, 0, 0},
      {kDrive0, kAddress, 0, 0},
      {"\\\\.\\scsi1:", kMiniport, kReadWrite, kErrorInvalidFunction},
      {"\\\\.\\scsi0:", kMiniport, kReadWrite, kErrorInvalidFunction},
      {kDrive0, kMiniport, kReadWrite, kErrorInvalidFunction},
      {kAdapter, kGeometry, kReadWrite, kErrorInvalidFunction},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Send(c.path, c.code, c.access), c.error)
        << c.path << " " << std::hex << c.code << " " << c.access;
  }
}

}  // namespace
}  // namespace dorvane::sim
