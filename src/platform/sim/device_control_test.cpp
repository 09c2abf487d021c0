#include "platform/sim/device_control.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>

#include "platform/sim/sim_platform.h"
#include "platform/sim/test_requests.h"

namespace dorvane::sim {
namespace {

using testing::CreateRequest;
using testing::Request;
using testing::U32;

constexpr std::uint32_t kReadWrite = kGenericRead | kGenericWrite;

class DeviceControlTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(platform_.open_handles(), 0u); }

  Handle Open(const std::string& path, std::uint32_t access = kReadWrite) {
    return platform_.CreateFileA(path.c_str(), access,
                                 kFileShareRead | kFileShareWrite,
                                 kOpenExisting, 0);
  }

  // Opens path, sends one request in buffer (in and out), closes. Returns
  // 0 or the last error.
  std::uint32_t Send(const std::string& path, std::uint32_t code,
                     std::vector<std::uint8_t>& buffer,
                     std::uint32_t access = kReadWrite) {
    Handle h = Open(path, access);
    if (h == kInvalidHandle) return platform_.GetLastError();
    auto size = static_cast<std::uint32_t>(buffer.size());
    bool ok = platform_.DeviceIoControl(h, code, buffer.data(), size,
                                        buffer.data(), size, &returned_);
    std::uint32_t error = ok ? 0 : platform_.GetLastError();
    platform_.CloseHandle(h);
    return error;
  }

  std::uint32_t Miniport(std::vector<std::uint8_t>& buffer) {
    return Send("\\\\.\\scsi2:", kIoctlScsiMiniport, buffer);
  }

  SimMachine machine_ = SimMachine::Default();
  SimPlatform platform_{machine_, "dorvane"};
  std::uint32_t returned_ = 0;
};

TEST_F(DeviceControlTest, RequestsNeedTheAccessTheirCodeNames) {
  struct Case {
    const char* path;
    std::uint32_t code;
    std::uint32_t access;
    std::uint32_t error;
  };
  const Case cases[] = {
      {"\\\\.\\scsi2:", kIoctlScsiMiniport, kReadWrite, 0},
      {"\\\\.\\scsi2:", kIoctlScsiMiniport, 0, kErrorAccessDenied},
      {"\\\\.\\scsi2:", kIoctlScsiMiniport, kGenericRead, kErrorAccessDenied},
      {"\\\\.\\scsi2:", kIoctlScsiMiniport, kGenericWrite, kErrorAccessDenied},
      {"\\\\.\\PhysicalDrive0", kIoctlDiskGetDriveGeometry, 0, 0},
      {"\\\\.\\PhysicalDrive0", kIoctlScsiGetAddress, 0, 0},
  };
  for (const Case& c : cases) {
    auto buffer = Request(DM_CTL_QUERY_VERSION, 0);
    EXPECT_EQ(Send(c.path, c.code, buffer, c.access), c.error)
        << c.path << " " << c.access;
  }
}

TEST_F(DeviceControlTest, OnlyTheDriversAdapterAnswersMiniportRequests) {
  struct Case {
    const char* path;
    std::uint32_t code;
    std::uint32_t error;
  };
  const Case cases[] = {
      {"\\\\.\\scsi2:", kIoctlScsiMiniport, 0},
      {"\\\\.\\scsi1:", kIoctlScsiMiniport, kErrorInvalidFunction},
      {"\\\\.\\scsi0:", kIoctlScsiMiniport, kErrorInvalidFunction},
      {"\\\\.\\PhysicalDrive0", kIoctlScsiMiniport, kErrorInvalidFunction},
      {"\\\\.\\scsi2:", kIoctlDiskGetDriveGeometry, kErrorInvalidFunction},
  };
  for (const Case& c : cases) {
    auto buffer = Request(DM_CTL_QUERY_VERSION, 0);
    EXPECT_EQ(Send(c.path, c.code, buffer), c.error) << c.path;
  }
}

TEST_F(DeviceControlTest, MissingBuffersAreRefused) {
  Handle h = Open("\\\\.\\PhysicalDrive0");
  std::uint32_t n = 0;
  EXPECT_FALSE(platform_.DeviceIoControl(h, kIoctlDiskGetDriveGeometry, nullptr,
                                         0, nullptr, 24, &n));
  EXPECT_EQ(platform_.GetLastError(), 998u);
  platform_.CloseHandle(h);
}

TEST_F(DeviceControlTest, MiniportRequestIsRecordedAsSent) {
  auto probe = Request(DM_CTL_QUERY_VERSION, 0);
  auto sent = probe;
  ASSERT_EQ(Miniport(probe), 0u);
  EXPECT_EQ(returned_, 28u);
  const CallRecord& call = platform_.calls()[1];
  EXPECT_EQ(call.call, "DeviceIoControl");
  EXPECT_EQ(call.text, "\\\\.\\scsi2:");
  EXPECT_EQ(call.a, kIoctlScsiMiniport);
  EXPECT_EQ(call.b, 28u);
  EXPECT_EQ(call.c, 28u);
  EXPECT_EQ(call.bytes, sent);
  EXPECT_NE(U32(probe, 20), 0u);  // the answer's ReturnCode
}

TEST_F(DeviceControlTest, DisksComeAndGoAsPhysicalDrives) {
  auto create = CreateRequest(8 << 20, 0, u"");
  ASSERT_EQ(Miniport(create), 0u);
  EXPECT_EQ(returned_, 574u);
  std::vector<std::uint8_t> address(8);
  ASSERT_EQ(Send("\\\\.\\PhysicalDrive1", kIoctlScsiGetAddress, address), 0u);
  EXPECT_EQ(returned_, 8u);
  EXPECT_EQ(address, (std::vector<std::uint8_t>{8, 0, 0, 0, 2, 0, 0, 0}));

  auto second = CreateRequest(8 << 20, 0, u"");
  ASSERT_EQ(Miniport(second), 0u);
  ASSERT_EQ(Send("\\\\.\\PhysicalDrive2", kIoctlScsiGetAddress, address), 0u);
  EXPECT_EQ(address[6], 1);  // target 1

  auto remove = testing::RemoveRequest(DM_ALL_DEVICES);
  ASSERT_EQ(Miniport(remove), 0u);
  EXPECT_EQ(Send("\\\\.\\PhysicalDrive1", kIoctlScsiGetAddress, address),
            kErrorFileNotFound);
  EXPECT_EQ(machine_.drives.size(), 1u);
}

TEST_F(DeviceControlTest, GeometryOfADrive) {
  std::vector<std::uint8_t> geometry(24);
  ASSERT_EQ(Send("\\\\.\\PhysicalDrive0", kIoctlDiskGetDriveGeometry, geometry),
            0u);
  EXPECT_EQ(returned_, 24u);
  EXPECT_EQ(testing::I64(geometry, 0), 1024);
  EXPECT_EQ(U32(geometry, 8), 12u);
  EXPECT_EQ(U32(geometry, 12), 255u);
  EXPECT_EQ(U32(geometry, 16), 63u);
  EXPECT_EQ(U32(geometry, 20), 512u);
}

TEST_F(DeviceControlTest, DrivesThatRefuse) {
  PhysicalDrive& drive = machine_.AddDrive(1, 0, 0, 1, 0);
  drive.refuse_geometry = true;
  drive.refuse_address = true;
  std::vector<std::uint8_t> big(24), small(23);
  EXPECT_EQ(Send("\\\\.\\PhysicalDrive1", kIoctlDiskGetDriveGeometry, big),
            21u);
  EXPECT_EQ(Send("\\\\.\\PhysicalDrive1", kIoctlScsiGetAddress, big),
            kErrorNotSupported);
  EXPECT_EQ(Send("\\\\.\\PhysicalDrive0", kIoctlDiskGetDriveGeometry, small),
            kErrorInsufficientBuffer);
  std::vector<std::uint8_t> tiny(7);
  EXPECT_EQ(Send("\\\\.\\PhysicalDrive0", kIoctlScsiGetAddress, tiny),
            kErrorInsufficientBuffer);
}

TEST_F(DeviceControlTest, HandleOfAVanishedDeviceFails) {
  machine_.AddDisk(512);
  Handle h = Open("\\\\.\\PhysicalDrive1");
  ASSERT_NE(h, kInvalidHandle);
  machine_.RemoveDriver();
  std::vector<std::uint8_t> address(8);
  std::uint32_t n = 0;
  EXPECT_FALSE(platform_.DeviceIoControl(h, kIoctlScsiGetAddress, nullptr, 0,
                                         address.data(), 8, &n));
  EXPECT_EQ(platform_.GetLastError(), 55u);
  EXPECT_TRUE(platform_.CloseHandle(h));
  auto probe = Request(DM_CTL_QUERY_VERSION, 0);
  EXPECT_EQ(Miniport(probe), kErrorFileNotFound);
}

// Backings are named by drive paths, Z: being the host's root; a name
// without a drive finds nothing, whatever the current directory holds.
TEST_F(DeviceControlTest, BackingFilesAreSizedFromHostFiles) {
  char directory[] = "/tmp/dorvane-device-XXXXXX";
  ASSERT_NE(mkdtemp(directory), nullptr);
  std::string file = std::string(directory) + "/disk image.img";
  std::ofstream(file) << std::string(3000, 'x');
  platform_.SetCurrentDirectory(directory);
  std::string drive_path = "Z:" + file;
  for (char& c : drive_path) {
    if (c == '/') c = '\\';
  }
  std::u16string name(drive_path.begin(), drive_path.end());

  struct Case {
    std::u16string name;
    std::uint32_t error;
  };
  const Case cases[] = {
      {u"\\??\\" + name, 0},
      {u"\\??\\awealloc\\??\\" + name, 0},
      {u"\\??\\" + name + u".missing", kErrorFileNotFound},
      {u"\\??\\" + name + u"\\below.img", 3},  // a file is no folder
      {u"\\??\\disk image.img", kErrorFileNotFound},
      {u"\\??\\" + std::u16string(file.begin(), file.end()),
       kErrorFileNotFound},
      {u"\\??\\C:\\disk image.img", kErrorFileNotFound},
      {u"\\??\\Z:\\tmp", kErrorAccessDenied},  // a directory
  };
  for (const Case& c : cases) {
    auto create = CreateRequest(0, 0, c.name);
    EXPECT_EQ(Miniport(create), c.error);
    if (c.error == 0) {
      EXPECT_EQ(testing::I64(create, 32), 3000);
    }
  }
  unlink(file.c_str());
  rmdir(directory);
}

}  // namespace
}  // namespace dorvane::sim
