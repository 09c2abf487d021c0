// Counts the Windows calls each command makes on the simulated machine and
// sets them next to what the tool's algorithms call for. Prints a table;
// exits non-zero when a command makes more or fewer calls than that.
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "app/dorvane.h"
#include "simulator/sim_platform.h"

namespace {

using dorvane::sim::SimMachine;
using dorvane::sim::SimPlatform;
using Counts = std::map<std::string, int>;

// The calls the work is made of; the start-up calls (standard handle, its
// file type, the command line, the version) are the same for every run.
const char* const kCounted[] = {"QueryDosDeviceA",     "CreateFileA",
                                "DeviceIoControl",     "CloseHandle",
                                "MultiByteToWideChar", "WideCharToMultiByte"};

void Add(Counts& counts, const Counts& more) {
  for (const auto& [call, n] : more) counts[call] += n;
}

// Adapter discovery on the default machine: scsi0: is an IDE port (never
// probed), scsi1: a RAID port that fails the probe, scsi2: the driver.
Counts Discovery() {
  return {{"QueryDosDeviceA", 3},
          {"CreateFileA", 2},
          {"DeviceIoControl", 2},
          {"CloseHandle", 2}};
}

// One exchange with the adapter.
Counts Exchange() {
  return {{"CreateFileA", 1}, {"DeviceIoControl", 1}, {"CloseHandle", 1}};
}

// The drive lookup for a disk shown as drive `match` (-1: not shown), over
// the existing drive numbers: a missing number costs one failed open; an
// existing one two opens, two requests and two closes.
Counts Lookup(const std::vector<int>& existing, int match) {
  Counts counts;
  const int last = match < 0 ? 255 : match;
  for (int n = 0; n <= last; ++n) {
    bool exists = false;
    for (int e : existing) exists = exists || e == n;
    counts["CreateFileA"] += exists ? 2 : 1;
    counts["DeviceIoControl"] += exists ? 2 : 0;
    counts["CloseHandle"] += exists ? 2 : 0;
  }
  return counts;
}

struct Row {
  std::string command;
  Counts made;
  Counts implied;
};

Counts Run(SimMachine& machine, const std::string& command_line) {
  SimPlatform platform(machine, command_line);
  dorvane::RunDorvane(platform);
  Counts counts;
  for (const char* call : kCounted) {
    counts[call] = static_cast<int>(platform.CountCalls(call));
  }
  return counts;
}

int Total(const Counts& counts) {
  int total = 0;
  for (const char* call : kCounted) {
    auto it = counts.find(call);
    if (it != counts.end()) total += it->second;
  }
  return total;
}

}  // namespace

int main() {
  std::vector<Row> rows;
  SimMachine machine = SimMachine::Default();
  for (int drive = 1; drive <= 3; ++drive) machine.AddDrive(drive, 0, 0, drive);

  Counts with_discovery = Discovery();
  Add(with_discovery, Exchange());
  rows.push_back(
      {"vm new 1", Run(machine, "dorvane vm new 1"), with_discovery});
  Counts named = with_discovery;
  named["MultiByteToWideChar"] = 1;
  rows.push_back(
      {"file shm disk1", Run(machine, "dorvane file shm disk1"), named});
  rows.push_back(
      {"removall", Run(machine, "dorvane removall"), with_discovery});
  Counts twice = Discovery();
  Add(twice, Discovery());
  rows.push_back({"driver check", Run(machine, "dorvane driver check"), twice});

  // 16 disks on a machine with 4 drives of its own: disk i shows as drive
  // 4 + i, so its lookup walks drives 0 to 4 + i.
  for (int i = 0; i < 16; ++i) Run(machine, "dorvane vm new 1");
  std::vector<int> existing;
  for (int n = 0; n < 20; ++n) existing.push_back(n);
  Counts list = Discovery();
  Add(list, Exchange());
  for (int i = 0; i < 16; ++i) {
    Add(list, Exchange());
    Add(list, Lookup(existing, 4 + i));
  }
  rows.push_back(
      {"list (16 disks, 4 drives)", Run(machine, "dorvane list"), list});

  // Not NT: the lookup opens nothing.
  machine.is_nt = false;
  Counts list_not_nt = Discovery();
  Add(list_not_nt, Exchange());
  for (int i = 0; i < 16; ++i) Add(list_not_nt, Exchange());
  rows.push_back(
      {"list (16 disks, not NT)", Run(machine, "dorvane list"), list_not_nt});

  int mismatches = 0;
  std::printf("%-28s %8s %8s\n", "command", "made", "implied");
  for (const Row& row : rows) {
    bool same = true;
    for (const char* call : kCounted) {
      auto made = row.made.find(call);
      auto implied = row.implied.find(call);
      int a = made == row.made.end() ? 0 : made->second;
      int b = implied == row.implied.end() ? 0 : implied->second;
      if (a != b) {
        same = false;
        std::printf("  %s: made %d, implied %d\n", call, a, b);
      }
    }
    std::printf("%-28s %8d %8d%s\n", row.command.c_str(), Total(row.made),
                Total(row.implied), same ? "" : "  MISMATCH");
    if (!same) ++mismatches;
  }
  return mismatches == 0 ? 0 : 1;
}
