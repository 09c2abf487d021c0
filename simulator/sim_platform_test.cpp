#include "simulator/sim_platform.h"

#include <gtest/gtest.h>

#include <functional>

#include "simulator/test/temp_directory.h"
#include "simulator/windows_values.h"

namespace dorvane::sim {
namespace {

constexpr std::uint32_t kReadWrite = kGenericRead | kGenericWrite;
constexpr std::uint32_t kShareBoth = kFileShareRead | kFileShareWrite;

class SimPlatformTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(platform_.open_handles(), 0u); }

  Handle Open(const char* path) {
    return platform_.CreateFileA(path, kReadWrite, kShareBoth, kOpenExisting,
                                 0);
  }

  SimMachine machine_ = SimMachine::Default();
  SimPlatform platform_{machine_, "dorvane.exe list"};
};

using SimPlatformDeathTest = SimPlatformTest;

TEST_F(SimPlatformDeathTest, AHandleClosesOnceAndOnlyByItsOwnCall) {
  Handle h = Open("\\\\.\\scsi2:");
  EXPECT_DEATH(platform_.FindClose(h),
               "not simulated: FindClose of handle 0x40, which is no open "
               "find handle");
  EXPECT_TRUE(platform_.CloseHandle(h));
  EXPECT_DEATH(platform_.CloseHandle(h),
               "not simulated: CloseHandle of handle 0x40");
}

TEST_F(SimPlatformTest, VirtualQueryNamesTheModuleOfAnAddressInIt) {
  const void* in_module = kSimModuleFileName;
  MemoryBasicInformation region;
  ASSERT_EQ(platform_.VirtualQuery(in_module, &region, sizeof region),
            sizeof region);
  EXPECT_EQ(region.Type, kMemImage);
  std::uintptr_t base = reinterpret_cast<std::uintptr_t>(region.AllocationBase);
  EXPECT_NE(base, 0u);
  EXPECT_LE(base, reinterpret_cast<std::uintptr_t>(in_module));
}

TEST_F(SimPlatformTest, EveryNamedCallCanBeFailed) {
  testing::TempDirectory directory;
  directory.WriteFile("devcon.exe", testing::TempDirectory::ProgramImage());
  platform_.SetCurrentDirectory(directory.path());
  FindData find;
  const Handle device = Open("\\\\.\\scsi2:");
  const Handle found = platform_.FindFirstFileA("devcon.exe", &find);
  ASSERT_NE(found, kInvalidHandle);
  const std::size_t before = platform_.calls().size();

  for (const std::string& call : FailableCalls()) machine_.Fail(call, 1117);
  char text[8] = "x";
  std::uint8_t request[28] = {};
  std::uint16_t wide[8] = {'x'};
  OsVersionInfo version;
  version.dwOSVersionInfoSize = kOsVersionInfoSize;
  FileTime time;
  std::uint16_t date = 0, clock = 0;
  std::uint32_t n = 0;
  MemoryBasicInformation region;
  EXPECT_EQ(Open("\\\\.\\scsi2:"), kInvalidHandle);
  EXPECT_FALSE(platform_.DeviceIoControl(device, kIoctlScsiMiniport, request,
                                         28, request, 28, &n));
  EXPECT_FALSE(platform_.CloseHandle(device));
  EXPECT_EQ(platform_.QueryDosDeviceA("scsi2:", text, 8), 0u);
  EXPECT_FALSE(platform_.GetVersionExA(&version));
  EXPECT_EQ(platform_.MultiByteToWideChar(kCpAcp, 0, "x", 1, wide, 8), 0);
  EXPECT_EQ(platform_.WideCharToMultiByte(kCpAcp, 0, wide, 1, text, 8), 0);
  EXPECT_EQ(platform_.FindFirstFileA("devcon.exe", &find), kInvalidHandle);
  EXPECT_FALSE(platform_.FindClose(found));
  EXPECT_FALSE(platform_.FileTimeToLocalFileTime(&time, &time));
  EXPECT_FALSE(platform_.FileTimeToDosDateTime(&time, &date, &clock));
  EXPECT_EQ(platform_.GetStdHandle(kStdOutputHandle), kInvalidHandle);
  EXPECT_EQ(platform_.GetFileType(kSimStdOutput), kFileTypeUnknown);
  EXPECT_FALSE(platform_.WriteFile(kSimStdOutput, "x", 1, &n));
  EXPECT_EQ(platform_.VirtualQuery(kSimModuleFileName, &region, sizeof region),
            0u);
  char path[260];
  EXPECT_EQ(platform_.GetModuleFileNameA(0, path, sizeof path), 0u);
  EXPECT_FALSE(platform_.CharToOemA("x", text));
  EXPECT_EQ(
      platform_.ShellExecuteA(0, "open", "devcon.exe", "", nullptr, kSwShow),
      0u);  // 1117 is above 32
  EXPECT_TRUE(machine_.failures.empty());
  ASSERT_EQ(platform_.calls().size() - before, FailableCalls().size());
  for (std::size_t i = before; i < platform_.calls().size(); ++i) {
    const CallRecord& call = platform_.calls()[i];
    EXPECT_FALSE(call.ok) << call.call;
    EXPECT_EQ(call.error, 1117u) << call.call;
  }
  EXPECT_EQ(platform_.GetLastError(), 1117u);
  EXPECT_TRUE(platform_.out().text().empty());
  EXPECT_TRUE(machine_.launches.empty());
  EXPECT_TRUE(platform_.CloseHandle(device));
  EXPECT_TRUE(platform_.FindClose(found));
}

// A DOS date holds the years 1980 to 2107; the tool asks no more than that.
TEST_F(SimPlatformTest, DosTimesRunFrom1980Through2107) {
  struct Case {
    std::uint64_t file_time;
    bool ok;
  };
  const Case cases[] = {
      {119600064000000000 - 1, false},  // 1979-12-31 23:59:59.9999999
      {119600064000000000, true},       // 1980-01-01 00:00
      {159992928000000000 - 1, true},   // 2107-12-31 23:59:59.9999999
      {159992928000000000, false},      // 2108-01-01 00:00
  };
  for (const Case& c : cases) {
    FileTime time;
    time.dwLowDateTime = static_cast<std::uint32_t>(c.file_time);
    time.dwHighDateTime = static_cast<std::uint32_t>(c.file_time >> 32);
    std::uint16_t date = 0, clock = 0;
    EXPECT_EQ(platform_.FileTimeToDosDateTime(&time, &date, &clock), c.ok)
        << c.file_time;
  }
}

// Each argument pattern the tool does not use ends the run with a line that
// names it (the messages below are regular expressions).
TEST_F(SimPlatformDeathTest, PatternsTheToolDoesNotUseAreRefused) {
  char text[8] = "x";
  std::uint16_t wide[8] = {'x'};
  std::uint8_t request[28] = {};
  std::uint32_t n = 0;
  FindData find;
  OsVersionInfo version_ex;
  version_ex.dwOSVersionInfoSize = 156;  // OSVERSIONINFOEXA
  struct Case {
    const char* message;
    std::function<void(SimPlatform&)> call;
  };
  const Case cases[] = {
      {"MultiByteToWideChar with flags 0x8",
       [&](SimPlatform& p) {
         p.MultiByteToWideChar(kCpAcp, 8, "x", 1, wide, 8);
       }},
      {"MultiByteToWideChar with input length -1",
       [&](SimPlatform& p) {
         p.MultiByteToWideChar(kCpAcp, 0, "x", -1, wide, 8);
       }},
      {"MultiByteToWideChar in code page 3",  // CP_THREAD_ACP
       [&](SimPlatform& p) { p.MultiByteToWideChar(3, 0, "x", 1, wide, 8); }},
      {"WideCharToMultiByte with output size 0",
       [&](SimPlatform& p) {
         p.WideCharToMultiByte(kCpAcp, 0, wide, 1, nullptr, 0);
       }},
      {"CharNextA on a byte below 0x80",
       [&](SimPlatform& p) { p.CharNextA("a"); }},
      {"GetVersionExA without an OSVERSIONINFOA",
       [&](SimPlatform& p) { p.GetVersionExA(&version_ex); }},
      {"QueryDosDeviceA without a name",
       [&](SimPlatform& p) { p.QueryDosDeviceA(nullptr, text, 8); }},
      {"FindFirstFileA of \"dev.n.exe\", not a plain name",
       [&](SimPlatform& p) { p.FindFirstFileA("dev*n.exe", &find); }},
      {"GetStdHandle of -10",
       [&](SimPlatform& p) {
         p.GetStdHandle(static_cast<std::uint32_t>(-10));
       }},
      {"GetFileType of handle 0x40, not a standard one",
       [&](SimPlatform& p) { p.GetFileType(0x40); }},
      {"CreateFileA of \"C:.*\" with access 0x80000000, sharing 1",
       [&](SimPlatform& p) {
         p.CreateFileA("C:\\a.img", kGenericRead, kFileShareRead, kOpenExisting,
                       0);
       }},
      {"DeviceIoControl 0x4D008 with 28 bytes in, 8 bytes out",
       [&](SimPlatform& p) {
         Handle h = p.CreateFileA("\\\\.\\scsi2:", kReadWrite, kShareBoth,
                                  kOpenExisting, 0);
         p.DeviceIoControl(h, kIoctlScsiMiniport, request, 28, request, 8, &n);
       }},
      {"VirtualQuery of an address outside the program's code",
       [&](SimPlatform& p) {
         MemoryBasicInformation region;
         int on_the_stack = 0;
         p.VirtualQuery(&on_the_stack, &region, sizeof region);
       }},
      {"ShellExecuteA runas \"devcon.exe\"",
       [&](SimPlatform& p) {
         p.ShellExecuteA(0, "runas", "devcon.exe", "", nullptr, kSwShow);
       }},
  };
  for (const Case& c : cases) {
    EXPECT_DEATH(c.call(platform_), std::string("not simulated: ") + c.message)
        << c.message;
  }
}

}  // namespace
}  // namespace dorvane::sim
