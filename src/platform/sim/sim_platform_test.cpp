#include "platform/sim/sim_platform.h"

#include <gtest/gtest.h>

#include <cstring>

namespace dorvane::sim {
namespace {

constexpr std::uint32_t kReadWrite = kGenericRead | kGenericWrite;
constexpr std::uint32_t kShareBoth = kFileShareRead | kFileShareWrite;

class SimPlatformTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(platform_.open_handles(), 0u); }

  Handle Open(const char* path, std::uint32_t access = kReadWrite) {
    return platform_.CreateFileA(path, access, kShareBoth, kOpenExisting, 0);
  }

  SimMachine machine_ = SimMachine::Default();
  SimPlatform platform_{machine_, "dorvane.exe list"};
};

TEST_F(SimPlatformTest, QueryDosDeviceAnswersTheTargetAsAMultiString) {
  char buffer[64];
  std::memset(buffer, 'x', sizeof buffer);
  std::uint32_t n = platform_.QueryDosDeviceA("SCSI2:", buffer, sizeof buffer);
  ASSERT_EQ(n, std::strlen("\\Device\\RaidPort2") + 2);
  EXPECT_EQ(std::string(buffer, n), std::string("\\Device\\RaidPort2\0\0", n));
  EXPECT_EQ(platform_.calls().back().text, "SCSI2:");
}

TEST_F(SimPlatformTest, QueryDosDeviceFailures) {
  struct Case {
    const char* name;
    std::uint32_t max_chars;
    std::uint32_t error;
  };
  const Case cases[] = {
      {"scsi5:", 64, kErrorFileNotFound},
      {"scsi2:", 18, kErrorInsufficientBuffer},  // needs 19
      {"scsi2:", 0, kErrorInsufficientBuffer},
  };
  for (const Case& c : cases) {
    char buffer[64];
    EXPECT_EQ(platform_.QueryDosDeviceA(c.name, buffer, c.max_chars), 0u);
    EXPECT_EQ(platform_.GetLastError(), c.error) << c.name << c.max_chars;
  }
  char buffer[19];
  EXPECT_EQ(platform_.QueryDosDeviceA("scsi2:", buffer, 19), 19u);
}

TEST_F(SimPlatformTest, ASuccessfulOpenClearsTheLastError) {
  EXPECT_EQ(Open("\\\\.\\scsi7:"), kInvalidHandle);
  EXPECT_EQ(platform_.GetLastError(), kErrorFileNotFound);
  Handle h = Open("\\\\.\\scsi2:");
  ASSERT_NE(h, kInvalidHandle);
  EXPECT_EQ(platform_.GetLastError(), 0u);
  EXPECT_TRUE(platform_.CloseHandle(h));
}

TEST_F(SimPlatformTest, CreateFileOpensDevicesByDosName) {
  struct Case {
    const char* path;
    std::uint32_t error;  // 0: opens
  };
  machine_.AddDrive(3, 0).refuse_open = true;
  const Case cases[] = {
      {"\\\\.\\scsi2:", 0},
      {"\\\\.\\SCSI1:", 0},
      {"\\\\.\\PhysicalDrive0", 0},
      {"\\\\.\\scsi3:", kErrorFileNotFound},
      {"scsi2:", kErrorFileNotFound},
      {"\\\\.\\PhysicalDrive1", 2},
      {"\\\\.\\PhysicalDrive3", kErrorAccessDenied},
  };
  for (const Case& c : cases) {
    Handle h = Open(c.path);
    if (c.error == 0) {
      EXPECT_NE(h, kInvalidHandle) << c.path;
      EXPECT_TRUE(platform_.CloseHandle(h));
    } else {
      EXPECT_EQ(h, kInvalidHandle) << c.path;
      EXPECT_EQ(platform_.GetLastError(), c.error) << c.path;
    }
  }
  const CallRecord& first = platform_.calls()[0];
  EXPECT_EQ(first.call, "CreateFileA");
  EXPECT_EQ(first.text, "\\\\.\\scsi2:");
  EXPECT_EQ(first.a, kReadWrite);
  EXPECT_EQ(first.b, kShareBoth);
  EXPECT_EQ(first.c, kOpenExisting);
}

TEST_F(SimPlatformTest, HandlesAreDistinctCountedAndClosedOnce) {
  Handle a = Open("\\\\.\\scsi2:");
  Handle b = Open("\\\\.\\scsi2:");
  EXPECT_NE(a, b);
  EXPECT_NE(a, 0u);
  EXPECT_EQ(platform_.open_handles(), 2u);
  EXPECT_TRUE(platform_.CloseHandle(a));
  EXPECT_FALSE(platform_.CloseHandle(a));
  EXPECT_EQ(platform_.GetLastError(), kErrorInvalidHandle);
  EXPECT_FALSE(platform_.FindClose(b));  // not a find handle
  EXPECT_EQ(platform_.open_handles(), 1u);
  EXPECT_TRUE(platform_.CloseHandle(b));
  EXPECT_FALSE(platform_.CloseHandle(12345));
  EXPECT_EQ(platform_.CountCalls("CloseHandle"), 4u);
}

TEST_F(SimPlatformTest, FailureRulesFailTheCallWithoutDoingIt) {
  machine_.Fail("CreateFileA", 1450, 2, 1);
  std::vector<std::uint32_t> errors;
  for (int i = 0; i < 4; ++i) {
    Handle h = Open("\\\\.\\scsi2:");
    errors.push_back(h == kInvalidHandle ? platform_.GetLastError() : 0);
    if (h != kInvalidHandle) platform_.CloseHandle(h);
  }
  EXPECT_EQ(errors, (std::vector<std::uint32_t>{0, 1450, 1450, 0}));
  EXPECT_FALSE(platform_.calls()[2].ok);  // after an open and its close
  EXPECT_EQ(platform_.calls()[2].error, 1450u);
  EXPECT_TRUE(machine_.failures.empty());
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
  Handle module = 0;
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
  EXPECT_FALSE(platform_.GetModuleHandleExA(kGetModuleHandleExFlagFromAddress,
                                            &machine_, &module));
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

TEST_F(SimPlatformTest, ShellFailureValueIsTheErrorWhenSmall) {
  machine_.Fail("ShellExecuteA", 2);
  EXPECT_EQ(
      platform_.ShellExecuteA(0, "open", "devcon.exe", "", nullptr, kSwShow),
      2u);
  EXPECT_EQ(platform_.GetLastError(), 2u);
}

TEST_F(SimPlatformTest, StandardStreams) {
  MemoryStream console(true), pipe(false);
  platform_.SetStreams(&console, &pipe);
  Handle out = platform_.GetStdHandle(kStdOutputHandle);
  Handle err = platform_.GetStdHandle(kStdErrorHandle);
  EXPECT_EQ(platform_.GetFileType(out), kFileTypeChar);
  EXPECT_EQ(platform_.GetFileType(err), kFileTypePipe);
  std::uint32_t written = 0;
  EXPECT_TRUE(platform_.WriteFile(out, "hello\r\n", 7, &written));
  EXPECT_EQ(written, 7u);
  EXPECT_TRUE(platform_.WriteFile(err, "oops", 4, &written));
  EXPECT_EQ(console.text(), "hello\r\n");
  EXPECT_EQ(pipe.text(), "oops");
  EXPECT_EQ(platform_.open_handles(), 0u);  // standard handles are not counted

  EXPECT_FALSE(platform_.WriteFile(999, "x", 1, &written));
  EXPECT_EQ(platform_.GetLastError(), kErrorInvalidHandle);
  EXPECT_EQ(platform_.GetFileType(999), kFileTypeUnknown);
  EXPECT_EQ(platform_.GetLastError(), kErrorInvalidHandle);
  EXPECT_EQ(platform_.GetStdHandle(12345), kInvalidHandle);

  platform_.SetStreams(nullptr, nullptr);
  EXPECT_TRUE(platform_.WriteFile(out, "back", 4, &written));
  EXPECT_EQ(platform_.out().text(), "back");
  EXPECT_EQ(platform_.out().write_sizes, std::vector<std::uint32_t>{4});
}

TEST_F(SimPlatformTest, VersionFollowsThePlatform) {
  struct Case {
    bool nt;
    std::uint32_t size;
    bool ok;
    std::uint32_t platform_id;
  };
  const Case cases[] = {{true, 148, true, 2},
                        {true, 156, true, 2},
                        {false, 148, true, 1},
                        {true, 100, false, 0}};
  for (const Case& c : cases) {
    machine_.is_nt = c.nt;
    OsVersionInfo info;
    info.dwOSVersionInfoSize = c.size;
    EXPECT_EQ(platform_.GetVersionExA(&info), c.ok) << c.size;
    if (c.ok) {
      EXPECT_EQ(info.dwPlatformId, c.platform_id);
      EXPECT_EQ(info.dwMajorVersion, c.nt ? 5u : 4u);
    } else {
      EXPECT_EQ(platform_.GetLastError(), kErrorInsufficientBuffer);
    }
  }
}

TEST_F(SimPlatformTest, AnsiCodePageIsTheMachines) {
  std::uint16_t wide[4] = {};
  for (std::uint32_t code_page : {kCpAcp, kCpThreadAcp}) {
    machine_.code_page = 1252;
    EXPECT_EQ(platform_.MultiByteToWideChar(code_page, 0, "\xE9", 1, wide, 4),
              1);
    EXPECT_EQ(wide[0], 0xE9);
    machine_.code_page = 65001;
    EXPECT_EQ(
        platform_.MultiByteToWideChar(code_page, 0, "\xC3\xA9", 2, wide, 4), 1);
    EXPECT_EQ(wide[0], 0xE9);
  }
  EXPECT_EQ(platform_.calls().back().text, "\xC3\xA9");
  EXPECT_EQ(platform_.calls().back().a, kCpThreadAcp);

  const char text[] = "\xC3\xA9x";
  EXPECT_EQ(platform_.CharNextA(text), text + 2);
  machine_.code_page = 1252;
  EXPECT_EQ(platform_.CharNextA(text), text + 1);
  char oem[8];
  EXPECT_TRUE(platform_.CharToOemA("\xE9", oem));
  EXPECT_STREQ(oem, "\x82");
  EXPECT_EQ(platform_.CountCalls("CharNextA"), 0u);  // never recorded
}

TEST_F(SimPlatformTest, CommandLineAndModule) {
  EXPECT_STREQ(platform_.GetCommandLineA(), "dorvane.exe list");
  Handle module = 0;
  ASSERT_TRUE(platform_.GetModuleHandleExA(
      kGetModuleHandleExFlagFromAddress |
          kGetModuleHandleExFlagUnchangedRefcount,
      reinterpret_cast<const void*>(&FailableCalls), &module));
  EXPECT_NE(module, 0u);
  EXPECT_LE(module, reinterpret_cast<std::uintptr_t>(&FailableCalls));
  char name[64];
  std::uint32_t n = platform_.GetModuleFileNameA(module, name, sizeof name);
  EXPECT_EQ(std::string(name, n), kSimModuleFileName);
  char small[8];
  EXPECT_EQ(platform_.GetModuleFileNameA(module, small, sizeof small), 8u);
  EXPECT_STREQ(small, "C:\\Prog");
  EXPECT_EQ(platform_.GetLastError(), kErrorInsufficientBuffer);
}

}  // namespace
}  // namespace dorvane::sim
