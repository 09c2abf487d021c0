#include "adapter/discovery.h"

#include <cstdint>

#include "adapter/control_messages.h"
#include "lib/resolve_dos_device.h"
#include "runtime/ascii.h"

namespace dorvane {
namespace {

std::string LowerAscii(std::string text) {
  for (char& c : text) c = ToLowerAscii(c);
  return text;
}

bool LooksLikeAdapter(const std::string& target) {
  std::string lowered = LowerAscii(target);
  return lowered.find("\\device\\raidport") != std::string::npos ||
         lowered.find("device\\scsi\\phdskmnt") != std::string::npos;
}

}  // namespace

AdapterCheck CheckAdapter(Platform& platform, const std::string& candidate) {
  std::uint8_t request[kVersionRequestSize];
  StartRequest(request, sizeof request, CtlQueryVersion);
  const ExchangeResult probe =
      Exchange(platform, candidate, request, sizeof request);
  if (probe.status == ExchangeStatus::kOk) return AdapterCheck::kAnswered;
  return probe.status == ExchangeStatus::kOpenFailed &&
                 probe.error == kErrorAccessDenied
             ? AdapterCheck::kRefused
             : AdapterCheck::kSilent;
}

AdapterSearch FindAdapter(Platform& platform) {
  AdapterSearch search;
  for (std::uint8_t port = 0; port <= 7; ++port) {
    const char digit = static_cast<char>('0' + port);
    std::string target =
        ResolveDosDevice(platform, std::string("scsi") + digit + ":");
    if (!LooksLikeAdapter(target)) continue;
    std::string candidate = std::string("\\\\.\\scsi") + digit + ":";
    const AdapterCheck check = CheckAdapter(platform, candidate);
    if (check == AdapterCheck::kAnswered) {
      search.found = candidate;
      search.port = port;
      break;
    }
    if (check == AdapterCheck::kRefused) search.refused.push_back(candidate);
  }
  return search;
}

}  // namespace dorvane
