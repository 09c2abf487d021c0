// The Windows calls each command makes, as literal numbers: a change in how
// often the tool opens, asks or converts shows here first. The machine has
// drives 0 to 3; discovery resolves scsi0: to scsi2: and probes scsi1: (a
// RAID port of another driver) and scsi2: (the adapter). A listed disk costs
// its query and a walk of the drives up to its own, two opens, two requests
// and two closes each: 16 disks shown as drives 4 to 19 make 1,260 calls.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "adapter/control_messages.h"
#include "tests/kit/test_disks.h"
#include "tests/whole_program/tool_run.h"

namespace dorvane {
namespace {

const char* const kCalls[] = {"QueryDosDeviceA",     "CreateFileA",
                              "DeviceIoControl",     "CloseHandle",
                              "MultiByteToWideChar", "WideCharToMultiByte"};
using Counts = std::array<std::size_t, std::size(kCalls)>;

struct Row {
  const char* command_line;
  int disks;  // vm disks made first, shown as drives 4 and up
  bool nt;
  Counts counts;  // in the order of kCalls
};

void PrintTo(const Row& row, std::ostream* os) { *os << row.command_line; }

class CallCountsTest : public ::testing::TestWithParam<Row> {};

TEST_P(CallCountsTest, AreTheGoldenNumbers) {
  const Row& row = GetParam();
  sim::SimMachine machine = sim::SimMachine::Default();
  for (std::uint8_t drive = 1; drive <= 3; ++drive) {
    machine.AddDrive(drive, 0, 0, drive);
  }
  for (int i = 0; i < row.disks; ++i) {
    test::AddDisk(machine, 1048576, kVirtualMemoryDiskFlags);
  }
  machine.is_nt = row.nt;
  const auto calls = test::RunTool(machine, row.command_line);
  Counts counts{};
  for (std::size_t i = 0; i < std::size(kCalls); ++i) {
    for (const sim::CallRecord& call : calls) {
      counts[i] += call.call == kCalls[i];
    }
  }
  EXPECT_EQ(counts, row.counts);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CallCountsTest,
    ::testing::Values(
        Row{"dorvane", 0, true, {3, 2, 2, 2, 0, 0}},
        Row{"dorvane vm new 1", 0, true, {3, 3, 3, 3, 0, 0}},
        Row{"dorvane file shm disk1", 0, true, {3, 3, 3, 3, 1, 0}},
        Row{"dorvane removall", 0, true, {3, 3, 3, 3, 0, 0}},
        Row{"dorvane driver check", 0, true, {6, 4, 4, 4, 0, 0}},
        Row{"dorvane list", 16, true, {3, 419, 419, 419, 0, 0}},
        Row{"dorvane list", 16, false, {3, 19, 19, 19, 0, 0}},
        Row{"dorvane list", 1, true, {3, 14, 14, 14, 0, 0}}));

}  // namespace
}  // namespace dorvane
