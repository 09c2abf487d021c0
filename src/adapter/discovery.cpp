#include "adapter/discovery.h"

#include <cstdint>

#include "adapter/control_messages.h"
#include "lib/resolve_dos_device.h"
#include "runtime/ascii.h"

namespace dorvane {
namespace {

constexpr char kAdapterPrefix[] = "\\\\.\\scsi";

std::string LowerAscii(std::string text) {
  for (char& c : text) c = ToLowerAscii(c);
  return text;
}

bool LooksLikeAdapter(const std::string& target) {
  std::string lowered = LowerAscii(target);
  return lowered.find("\\device\\raidport") != std::string::npos ||
         lowered.find("device\\scsi\\phdskmnt") != std::string::npos;
}

// The version probe's exchange, for CheckAdapter's answer and for why an
// open failed.
ExchangeResult ProbeAdapter(Platform& platform, const std::string& candidate) {
  std::uint8_t request[kVersionRequestSize];
  StartRequest(request, sizeof request, CtlQueryVersion);
  return Exchange(platform, candidate, request, sizeof request);
}

}  // namespace

bool CheckAdapter(Platform& platform, const std::string& candidate) {
  return ProbeAdapter(platform, candidate).status == ExchangeStatus::kOk;
}

AdapterSearch FindAdapter(Platform& platform) {
  AdapterSearch search;
  for (char n = '0'; n <= '7'; ++n) {
    std::string target =
        ResolveDosDevice(platform, std::string("scsi") + n + ":");
    if (!LooksLikeAdapter(target)) continue;
    std::string candidate = std::string(kAdapterPrefix) + n + ":";
    const ExchangeResult probe = ProbeAdapter(platform, candidate);
    if (probe.status == ExchangeStatus::kOk) {
      search.found = candidate;
      break;
    }
    if (probe.status == ExchangeStatus::kOpenFailed &&
        probe.error == kErrorAccessDenied && search.refused.empty()) {
      search.refused = candidate;
    }
  }
  return search;
}

int AdapterPortNumber(const std::string& adapter_path) {
  const std::size_t at = sizeof kAdapterPrefix - 1;
  if (adapter_path.size() <= at) return 0;
  return adapter_path[at] - '0';
}

}  // namespace dorvane
