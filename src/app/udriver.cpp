#include "app/udriver.h"

namespace dorvane {
namespace {

// No directory: devcon.exe inherits this tool's current directory, so that
// a relative .inf path means the same to both.
bool Launch(Platform& platform, const std::string& parameters) {
  return platform.ShellExecuteA(0, "open", "devcon.exe", parameters.c_str(),
                                nullptr, kSwShow) > 32;
}

}  // namespace

bool InstallDriverPackage(Platform& platform, const std::string& inf_path) {
  return Launch(platform, "install \"" + inf_path + "\" ROOT\\PhDskMnt");
}

bool RemoveDriverPackage(Platform& platform) {
  return Launch(platform, "remove ROOT\\PhDskMnt");
}

}  // namespace dorvane
