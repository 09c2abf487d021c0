#include "simulator/sim_platform.h"

#include <gtest/gtest.h>

namespace dorvane::sim {
namespace {

class SimPlatformTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(platform_.open_handles(), 0u); }

  Handle Open(const char* path) {
    return platform_.CreateFileA(path, kGenericRead | kGenericWrite,
                                 kFileShareRead, kOpenExisting, 0);
  }

  SimMachine machine_ = SimMachine::Default();
  SimPlatform platform_{machine_, "dorvane.exe list"};
};

TEST_F(SimPlatformTest, AHandleClosesOnceAndOnlyByItsOwnCall) {
  Handle h = Open("\\\\.\\scsi2:");
  EXPECT_FALSE(platform_.FindClose(h));  // not a find handle
  EXPECT_TRUE(platform_.CloseHandle(h));
  EXPECT_FALSE(platform_.CloseHandle(h));
  EXPECT_EQ(platform_.GetLastError(), kErrorInvalidHandle);
}

TEST_F(SimPlatformTest, VirtualQueryAnswersOnlyForAddressesInModules) {
  const void* in_module = kSimModuleFileName;
  MemoryBasicInformation region;
  ASSERT_EQ(platform_.VirtualQuery(in_module, &region, sizeof region),
            sizeof region);
  EXPECT_EQ(region.Type, kMemImage);
  std::uintptr_t base = reinterpret_cast<std::uintptr_t>(region.AllocationBase);
  EXPECT_NE(base, 0u);
  EXPECT_LE(base, reinterpret_cast<std::uintptr_t>(in_module));
  struct Case {
    const void* address;
    MemoryBasicInformation* buffer;
    std::size_t length;
  };
  int on_the_stack = 0;
  const Case refused[] = {
      {&on_the_stack, &region, sizeof region},
      {nullptr, &region, sizeof region},
      {in_module, nullptr, sizeof region},
      {in_module, &region, sizeof region - 1},
  };
  for (const Case& c : refused) {
    EXPECT_EQ(platform_.VirtualQuery(c.address, c.buffer, c.length), 0u);
    EXPECT_EQ(platform_.GetLastError(), kErrorInvalidParameter);
  }
}

TEST_F(SimPlatformTest, EveryNamedCallCanBeFailed) {
  for (const std::string& call : FailableCalls()) machine_.Fail(call, 1117);
  char text[8] = "x";
  std::uint16_t wide[8] = {'x'};
  FindData find;
  OsVersionInfo version;
  version.dwOSVersionInfoSize = kOsVersionInfoSize;
  FileTime time;
  std::uint16_t date = 0, clock = 0;
  std::uint32_t n = 0;
  MemoryBasicInformation region;
  EXPECT_EQ(Open("\\\\.\\scsi2:"), kInvalidHandle);
  EXPECT_FALSE(platform_.DeviceIoControl(1, 0, nullptr, 0, nullptr, 0, &n));
  EXPECT_FALSE(platform_.CloseHandle(kSimStdOutput));
  EXPECT_EQ(platform_.QueryDosDeviceA("scsi2:", text, 8), 0u);
  EXPECT_FALSE(platform_.GetVersionExA(&version));
  EXPECT_EQ(platform_.MultiByteToWideChar(0, 0, "x", 1, wide, 8), 0);
  EXPECT_EQ(platform_.WideCharToMultiByte(0, 0, wide, 1, text, 8), 0);
  EXPECT_EQ(platform_.FindFirstFileA(".", &find), kInvalidHandle);
  EXPECT_FALSE(platform_.FindClose(1));
  EXPECT_FALSE(platform_.FileTimeToLocalFileTime(&time, &time));
  EXPECT_FALSE(platform_.FileTimeToDosDateTime(&time, &date, &clock));
  EXPECT_EQ(platform_.GetStdHandle(kStdOutputHandle), kInvalidHandle);
  EXPECT_EQ(platform_.GetFileType(kSimStdOutput), kFileTypeUnknown);
  EXPECT_FALSE(platform_.WriteFile(kSimStdOutput, "x", 1, &n));
  EXPECT_EQ(platform_.VirtualQuery(kSimModuleFileName, &region, sizeof region),
            0u);
  EXPECT_EQ(platform_.GetModuleFileNameA(0, text, 8), 0u);
  EXPECT_FALSE(platform_.CharToOemA("x", text));
  EXPECT_EQ(
      platform_.ShellExecuteA(0, "open", "devcon.exe", "", nullptr, kSwShow),
      0u);  // 1117 is above 32
  EXPECT_TRUE(machine_.failures.empty());
  ASSERT_EQ(platform_.calls().size(), FailableCalls().size());
  for (const CallRecord& call : platform_.calls()) {
    EXPECT_FALSE(call.ok) << call.call;
    EXPECT_EQ(call.error, 1117u) << call.call;
  }
  EXPECT_EQ(platform_.GetLastError(), 1117u);
  EXPECT_TRUE(platform_.out().text().empty());
  EXPECT_TRUE(machine_.launches.empty());
}

}  // namespace
}  // namespace dorvane::sim
