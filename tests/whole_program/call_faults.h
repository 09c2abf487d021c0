// Faults that the platform calls can really produce, and the recorded calls
// a failure rule can begin at.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "simulator/windows/sim_platform.h"

namespace dorvane::test {

// Windows error numbers each call fails with in practice; empty for calls
// that cannot fail. The first is the most common one.
inline const std::vector<std::uint32_t>& RealErrorsOf(const std::string& call) {
  static const std::map<std::string, std::vector<std::uint32_t>> kErrors = {
      // access denied, no such device, sharing violation
      {"CreateFileA", {5, 2, 32}},
      // invalid function, device not functioning, invalid parameter
      {"DeviceIoControl", {1, 31, 87}},
      {"CloseHandle", {6}},
      // no such name; buffer too small
      {"QueryDosDeviceA", {2, 122}},
      {"GetVersionExA", {87}},
      // buffer too small; invalid parameter (a code page gone bad)
      {"MultiByteToWideChar", {122, 87}},
      {"WideCharToMultiByte", {122, 87}},
      // no such file, no such path, access denied
      {"FindFirstFileA", {2, 3, 5}},
      {"FindClose", {6}},
      {"FileTimeToLocalFileTime", {87}},
      {"FileTimeToDosDateTime", {87}},
      {"GetStdHandle", {6}},
      {"GetFileType", {6}},
      // pipe closing, disk full, broken pipe
      {"WriteFile", {232, 112, 109}},
      {"VirtualQuery", {87}},
      {"GetModuleFileNameA", {6}},
      // user32.dll cannot be loaded (the module is not found)
      {"CharNextA", {126}},
      {"CharToOemA", {87}},
      // the shell's own codes: file not found, access denied, no association
      {"ShellExecuteA", {2, 5, 31}},
  };
  static const std::vector<std::uint32_t> kNone;
  auto it = kErrors.find(call);
  return it == kErrors.end() ? kNone : it->second;
}

// One call of a recorded run, named as a failure rule can name it.
struct CallPosition {
  std::string call;
  std::uint32_t index = 0;  // among the calls of the same name, from 0
};

// Every call of the run that a failure rule can make fail, in order.
inline std::vector<CallPosition> FailablePositions(
    const std::vector<sim::CallRecord>& calls) {
  std::map<std::string, std::uint32_t> seen;
  std::vector<CallPosition> positions;
  for (const sim::CallRecord& record : calls) {
    std::uint32_t index = seen[record.call]++;
    if (!RealErrorsOf(record.call).empty()) {
      positions.push_back({record.call, index});
    }
  }
  return positions;
}

}  // namespace dorvane::test
