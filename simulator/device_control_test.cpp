#include "simulator/device_control.h"

#include <gtest/gtest.h>

#include "simulator/sim_platform.h"
#include "simulator/test/temp_directory.h"
#include "simulator/test/test_requests.h"

namespace dorvane::sim {
namespace {

constexpr std::uint32_t kReadWrite = kGenericRead | kGenericWrite;
constexpr char kAdapter[] = "\\\\.\\scsi2:";
constexpr char kDrive0[] = "\\\\.\\PhysicalDrive0";

class DeviceControlTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(platform_.open_handles(), 0u); }

  // Opens path, sends buffer (answered in place, out_size bytes of it;
  // 0: all), closes. Returns 0 or the last error.
  std::uint32_t Send(const char* path, std::uint32_t code,
                     std::vector<std::uint8_t>& buffer,
                     std::uint32_t access = kReadWrite,
                     std::uint32_t out_size = 0) {
    Handle h = platform_.CreateFileA(path, access, 0, kOpenExisting, 0);
    if (h == kInvalidHandle) return platform_.GetLastError();
    auto size = static_cast<std::uint32_t>(buffer.size());
    std::uint32_t returned = 0;
    bool ok =
        platform_.DeviceIoControl(h, code, buffer.data(), size, buffer.data(),
                                  out_size ? out_size : size, &returned);
    std::uint32_t error = ok ? 0 : platform_.GetLastError();
    platform_.CloseHandle(h);
    return error;
  }

  SimMachine machine_ = SimMachine::Default();
  SimPlatform platform_{machine_, "dorvane"};
};

TEST_F(DeviceControlTest, CodesNeedTheirAccessTheirDeviceAndRoom) {
  struct Case {
    const char* path;
    std::uint32_t code, access, out_size, error;
  };
  const std::uint32_t kMiniport = kIoctlScsiMiniport;
  const std::uint32_t kGeometry = kIoctlDiskGetDriveGeometry;
  const std::uint32_t kAddress = kIoctlScsiGetAddress;
  const Case cases[] = {
      {kAdapter, kMiniport, kReadWrite, 28, 0},
      {kAdapter, kMiniport, 0x10000000, 28, 0},  // GENERIC_ALL
      {kAdapter, kMiniport, 3, 28, 0},           // read and write data
      {kAdapter, kMiniport, 0, 28, kErrorAccessDenied},
      {kAdapter, kMiniport, kGenericRead, 28, kErrorAccessDenied},
      {kAdapter, kMiniport, kGenericWrite, 28, kErrorAccessDenied},
      {kDrive0, kGeometry, 0, 24, 0},
      {kDrive0, kAddress, 0, 8, 0},
      {kDrive0, kGeometry, 0, 23, kErrorInsufficientBuffer},
      {kDrive0, kAddress, 0, 7, kErrorInsufficientBuffer},
      {"\\\\.\\scsi1:", kMiniport, kReadWrite, 28, kErrorInvalidFunction},
      {"\\\\.\\scsi0:", kMiniport, kReadWrite, 28, kErrorInvalidFunction},
      {kDrive0, kMiniport, kReadWrite, 28, kErrorInvalidFunction},
      {kAdapter, kGeometry, kReadWrite, 28, kErrorInvalidFunction},
  };
  for (const Case& c : cases) {
    auto buffer = testing::Request(DM_CTL_QUERY_VERSION, 0);
    EXPECT_EQ(Send(c.path, c.code, buffer, c.access, c.out_size), c.error)
        << c.path << " " << std::hex << c.code << " " << c.access;
  }
}

TEST_F(DeviceControlTest, MissingBuffersAndVanishedDevicesAreRefused) {
  machine_.AddDisk(512);
  Handle h =
      platform_.CreateFileA("\\\\.\\PhysicalDrive1", 0, 0, kOpenExisting, 0);
  ASSERT_NE(h, kInvalidHandle);
  std::uint8_t address[8];
  std::uint32_t n = 0;
  EXPECT_FALSE(platform_.DeviceIoControl(h, kIoctlScsiGetAddress, nullptr, 0,
                                         nullptr, 8, &n));
  EXPECT_EQ(platform_.GetLastError(), 998u);
  machine_.RemoveDriver();
  EXPECT_FALSE(platform_.DeviceIoControl(h, kIoctlScsiGetAddress, nullptr, 0,
                                         address, 8, &n));
  EXPECT_EQ(platform_.GetLastError(), 55u);
  EXPECT_TRUE(platform_.CloseHandle(h));
}

// Backings are named by drive paths: Z: is the host's root, as in a Wine
// prefix, and other drives are empty.
TEST_F(DeviceControlTest, BackingFilesAreSizedFromHostFiles) {
  dorvane::testing::TempDirectory directory;
  ASSERT_FALSE(directory.path().empty());
  std::string file =
      directory.WriteFile("disk image.img", std::string(3000, 'x'));
  platform_.SetCurrentDirectory(directory.path());
  std::u16string host(file.begin(), file.end());
  std::u16string name = u"Z:" + host;
  for (char16_t& c : name) c = c == u'/' ? u'\\' : c;
  struct Case {
    std::u16string name;
    std::uint32_t error;
  };
  const Case cases[] = {
      {u"\\??\\" + name, 0},
      {u"\\??\\z" + name.substr(1), 0},
      {u"\\??\\awealloc\\??\\" + name, 0},
      {u"\\??\\" + name + u".missing", kErrorFileNotFound},
      {u"\\??\\" + name + u"\\below.img", 3},   // a file is no folder
      {u"\\??\\" + name + u"x\\below.img", 3},  // nor a missing one
      {u"\\??\\Z:", kErrorAccessDenied},        // the root folder
      {u"\\??\\Z:\\tmp", kErrorAccessDenied},
      {u"\\??\\C:", kErrorFileNotFound},  // other drives are empty
      {u"\\??\\C:\\disk image.img", kErrorFileNotFound},
      {u"\\??\\C:\\sub\\disk image.img", 3},
      {u"\\??\\" + name.substr(2), 123},  // a leading backslash
      {u"\\??\\Z:\\tmp\\\\x.img", 123},
      // The driver has no current directory to take these against.
      {u"\\??\\disk image.img", kErrorFileNotFound},
      {u"\\??\\sub\\disk image.img", 3},
      // The host build also takes the host's own absolute paths.
      {u"\\??\\" + host, 0},
      {u"\\??\\" + host + u".missing", kErrorFileNotFound},
  };
  for (const Case& c : cases) {
    auto create = testing::CreateRequest(0, 0, c.name);
    EXPECT_EQ(Send(kAdapter, kIoctlScsiMiniport, create), c.error)
        << "case " << &c - cases;
    if (c.error == 0) {
      EXPECT_EQ(testing::I64(create, 32), 3000);
    }
  }
}

}  // namespace
}  // namespace dorvane::sim
