// A fresh host directory for one test, in the host's temporary folder,
// removed with everything in it when the test is done.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "simulator/windows/host_files.h"

namespace dorvane::test {

class TempDirectory {
 public:
  TempDirectory() : path_(sim::MakeHostScratchFolder()) {}
  ~TempDirectory() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempDirectory(const TempDirectory&) = delete;
  TempDirectory& operator=(const TempDirectory&) = delete;

  // The host's path; empty when the directory could not be made.
  const std::string& path() const { return path_; }
  // The simulated machine's name of the directory, on its drive Z:.
  std::string drive_path() const { return sim::DriveZName(path_); }

  // The smallest file the shell takes for a Windows program: "MZ", and at
  // the offset kept at 0x3C, "PE\0\0".
  static std::string ProgramImage() {
    std::string image(0x44, '\0');
    image[0] = 'M';
    image[1] = 'Z';
    image[0x3C] = 0x40;
    image.replace(0x40, 2, "PE");
    return image;
  }

  // Writes a file of that name (relative to the directory) with the content.
  void WriteFile(const std::string& name, const std::string& content) const {
    std::ofstream(path_ + "/" + name, std::ios::binary) << content;
  }

 private:
  std::string path_;
};

}  // namespace dorvane::test
