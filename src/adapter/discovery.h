// Finding the driver's adapter among the SCSI ports scsi0: to scsi7:.
#pragma once

#include <string>

#include "platform/platform.h"

namespace dorvane {

// True when the candidate opens and accepts the version probe.
bool CheckAdapter(Platform& platform, const std::string& candidate);

struct AdapterSearch {
  // "\\.\scsiN:" of the lowest-numbered port whose target looks like a RAID
  // port or the driver's own SCSI device and that passes CheckAdapter; empty
  // text when none does.
  std::string found;
  // The first candidate that could not be opened for lack of rights (the
  // adapter needs an elevated prompt); empty text when there was none.
  std::string refused;
};

// Never fails and prints nothing.
AdapterSearch FindAdapter(Platform& platform);

// N of an adapter path "\\.\scsiN:", the adapter's SCSI port number.
int AdapterPortNumber(const std::string& adapter_path);

}  // namespace dorvane
