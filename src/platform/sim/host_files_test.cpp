#include "platform/sim/host_files.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <fstream>

#include "platform/sim/sim_platform.h"

namespace dorvane::sim {
namespace {

TEST(HostFilesTest, ResolveHostPath) {
  struct Case {
    const char* directory;
    const char* name;
    const char* path;
  };
  const Case cases[] = {
      {"/work", "devcon.exe", "/work/devcon.exe"},
      {"/work", "sub\\a.img", "/work/sub/a.img"},
      {"/work", "/abs/a.img", "/abs/a.img"},
      {"", "devcon.exe", "devcon.exe"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ResolveHostPath(c.directory, c.name), c.path);
  }
}

// FindFirstFileA and the time calls, on a scratch current directory.
class FindFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(mkdtemp(directory_), nullptr);
    platform_.SetCurrentDirectory(directory_);
  }
  void TearDown() override {
    EXPECT_EQ(platform_.open_handles(), 0u);
    for (const char* name : {"devcon.exe", "old.exe"}) {
      unlink((std::string(directory_) + "/" + name).c_str());
    }
    rmdir((std::string(directory_) + "/dir.exe").c_str());
    rmdir(directory_);
  }
  std::string PathOf(const char* name) {
    return std::string(directory_) + "/" + name;
  }
  void MakeFile(const char* name, std::size_t size, time_t mtime) {
    std::ofstream(PathOf(name)) << std::string(size, 'x');
    struct timeval times[2] = {{mtime, 0}, {mtime, 0}};
    ASSERT_EQ(utimes(PathOf(name).c_str(), times), 0);
  }

  char directory_[64] = "/tmp/dorvane-files-XXXXXX";
  SimMachine machine_ = SimMachine::Default();
  SimPlatform platform_{machine_, "dorvane"};
};

TEST_F(FindFileTest, FindsAFileWithItsSizeAndTime) {
  MakeFile("devcon.exe", 1234, 1709214359);  // 2024-02-29 13:45:59 UTC
  FindData data;
  Handle find = platform_.FindFirstFileA("devcon.exe", &data);
  ASSERT_NE(find, kInvalidHandle);
  EXPECT_EQ(platform_.open_handles(), 1u);
  EXPECT_EQ(data.dwFileAttributes, 0x20u);
  EXPECT_EQ(data.nFileSizeLow, 1234u);
  EXPECT_EQ(data.nFileSizeHigh, 0u);
  EXPECT_STREQ(data.cFileName, "devcon.exe");
  EXPECT_FALSE(platform_.CloseHandle(find));  // find handles need FindClose
  EXPECT_TRUE(platform_.FindClose(find));
  EXPECT_FALSE(platform_.FindClose(find));
  EXPECT_EQ(platform_.GetLastError(), kErrorInvalidHandle);

  FileTime local;
  ASSERT_TRUE(platform_.FileTimeToLocalFileTime(&data.ftLastWriteTime, &local));
  EXPECT_EQ(local.dwLowDateTime, data.ftLastWriteTime.dwLowDateTime);
  EXPECT_EQ(local.dwHighDateTime, data.ftLastWriteTime.dwHighDateTime);
  std::uint16_t date = 0, time = 0;
  ASSERT_TRUE(platform_.FileTimeToDosDateTime(&local, &date, &time));
  EXPECT_EQ(date, (44 << 9) | (2 << 5) | 29);
  EXPECT_EQ(time, (13 << 11) | (45 << 5) | 29);
}

TEST_F(FindFileTest, DirectoriesAndOldFiles) {
  ASSERT_EQ(mkdir(PathOf("dir.exe").c_str(), 0755), 0);
  MakeFile("old.exe", 1, 0);  // 1970: no DOS date
  FindData data;
  Handle find = platform_.FindFirstFileA("dir.exe", &data);
  ASSERT_NE(find, kInvalidHandle);
  EXPECT_EQ(data.dwFileAttributes, kFileAttributeDirectory);
  platform_.FindClose(find);

  find = platform_.FindFirstFileA("old.exe", &data);
  ASSERT_NE(find, kInvalidHandle);
  platform_.FindClose(find);
  std::uint16_t date = 0, time = 0;
  EXPECT_FALSE(
      platform_.FileTimeToDosDateTime(&data.ftLastWriteTime, &date, &time));
  EXPECT_EQ(platform_.GetLastError(), kErrorInvalidParameter);
}

TEST_F(FindFileTest, MissingNamesAndWildcardsFindNothing) {
  MakeFile("devcon.exe", 1, 1709214359);
  for (const char* name : {"missing.exe", "*.exe", "devcon.ex?", ""}) {
    FindData data;
    EXPECT_EQ(platform_.FindFirstFileA(name, &data), kInvalidHandle) << name;
    EXPECT_EQ(platform_.GetLastError(), kErrorFileNotFound) << name;
  }
  EXPECT_EQ(platform_.calls().back().text, "");
}

TEST_F(FindFileTest, AMissingFolderIsAnotherErrorThanAMissingFile) {
  MakeFile("devcon.exe", 1, 1709214359);
  struct Case {
    const char* name;
    std::uint32_t error;
  };
  const Case cases[] = {
      {"missing.exe", 2}, {"nodir\\devcon.exe", 3}, {"devcon.exe\\x", 3}};
  for (const Case& c : cases) {
    HostFileInfo info;
    EXPECT_EQ(StatHostFile(ResolveHostPath(directory_, c.name), &info), c.error)
        << c.name;
  }
}

}  // namespace
}  // namespace dorvane::sim
