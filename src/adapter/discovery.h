// Finding the driver's adapter among the SCSI ports scsi0: to scsi7:.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace dorvane {

// How a candidate answered the version probe.
enum class AdapterCheck {
  kAnswered,  // it opened and accepted the probe
  kRefused,   // it could not be opened for lack of rights
  kSilent,    // any other failure
};

// Opens the candidate, sends the version probe and closes it again.
AdapterCheck CheckAdapter(Platform& platform, const std::string& candidate);

struct AdapterSearch {
  // "\\.\scsiN:" of the lowest-numbered port whose target looks like a RAID
  // port or the driver's own SCSI device and that CheckAdapter answers; empty
  // text when none does.
  std::string found;
  // N: the SCSI port that Windows shows the adapter's disks on.
  std::uint8_t port = 0;
  // The candidates that could not be opened for lack of rights, in the
  // order they were tried (from a prompt that is not elevated, every port
  // refuses, the driver's adapter among them).
  std::vector<std::string> refused;
};

// Never fails and prints nothing.
AdapterSearch FindAdapter(Platform& platform);

}  // namespace dorvane
