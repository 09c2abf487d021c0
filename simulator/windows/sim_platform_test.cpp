#include "simulator/windows/sim_platform.h"

#include <gtest/gtest.h>

#include <functional>

#include "simulator/windows/windows_values.h"
#include "tests/kit/machine_test.h"
#include "tests/kit/temp_directory.h"

namespace dorvane::sim {
namespace {

constexpr std::uint32_t kReadWrite = kGenericRead | kGenericWrite;
constexpr std::uint32_t kShareBoth = kFileShareRead | kFileShareWrite;

class SimPlatformTest : public test::MachineTest {
 protected:
  // The driver's adapter, opened for its requests.
  static Handle Open(SimPlatform& platform) {
    return platform.CreateFileA("\\\\.\\scsi2:", kReadWrite, kShareBoth,
                                kOpenExisting, 0);
  }
};

using SimPlatformDeathTest = SimPlatformTest;

TEST_F(SimPlatformTest, EveryNamedCallCanBeFailed) {
  test::TempDirectory directory;
  directory.WriteFile("devcon.exe", test::TempDirectory::ProgramImage());
  platform_.SetCurrentDirectory(directory.path());
  FindData find;
  const Handle device = Open(platform_);
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
  EXPECT_EQ(Open(platform_), kInvalidHandle);
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
  EXPECT_EQ(
      platform_.VirtualQuery(kDefaultModuleFileName, &region, sizeof region),
      0u);
  char path[260];
  EXPECT_EQ(platform_.GetModuleFileNameA(0, path, sizeof path), 0u);
  EXPECT_EQ(platform_.CharNextA("\xE9"), nullptr);
  EXPECT_FALSE(platform_.CharToOemA("x", text));
  EXPECT_EQ(
      platform_.ShellExecuteA(0, "open", "devcon.exe", "", nullptr, kSwShow),
      0u);  // 1117 is above 32
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

// Each argument pattern the tool does not use ends the run with a line that
// names it (the messages below are regular expressions).
TEST_F(SimPlatformDeathTest, PatternsTheToolDoesNotUseAreRefused) {
  std::uint16_t wide[8] = {'x'};
  std::uint8_t request[28] = {};
  std::uint32_t n = 0;
  struct Case {
    const char* message;
    std::function<void(SimPlatform&)> call;
  };
  const Case cases[] = {
      // A handle closes once, and only by its own call.
      {"FindClose of handle 0x40, which is no open find handle",
       [&](SimPlatform& p) { p.FindClose(Open(p)); }},
      {"CloseHandle of handle 0x40",
       [&](SimPlatform& p) {
         const Handle h = Open(p);
         p.CloseHandle(h);
         p.CloseHandle(h);
       }},
      {"MultiByteToWideChar in code page 3",  // CP_THREAD_ACP
       [&](SimPlatform& p) { p.MultiByteToWideChar(3, 0, "x", 1, wide, 8); }},
      {"CreateFileA of \"C:.*\" with access 0x80000000, sharing 1",
       [&](SimPlatform& p) {
         p.CreateFileA("C:\\a.img", kGenericRead, kFileShareRead, kOpenExisting,
                       0);
       }},
      {"DeviceIoControl 0x4D008 with 28 bytes in, 8 bytes out",
       [&](SimPlatform& p) {
         p.DeviceIoControl(Open(p), kIoctlScsiMiniport, request, 28, request, 8,
                           &n);
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
