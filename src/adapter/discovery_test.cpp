#include "adapter/discovery.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "simulator/sim_platform.h"

namespace dorvane {
namespace {

using sim::DeviceKind;

const DeviceKind kDriver = DeviceKind::kDriverAdapter;
const DeviceKind kRaid = DeviceKind::kRaidPort;
const DeviceKind kPort = DeviceKind::kScsiPort;

// scsiN: and the device object it names.
struct Port {
  char n;
  const char* target;
  DeviceKind kind;
};

// Ports are named by their digit: the candidates opened, in order, the one
// found and the one refused for lack of rights ('-' for none).
struct Discovery {
  const char* title;
  std::vector<Port> ports;
  std::string probed;
  char found;
  std::uint32_t error = 0;  // the first open fails with it
  char refused = '-';
};

std::string PathOf(char n) {
  return n == '-' ? "" : std::string("\\\\.\\scsi") + n + ":";
}

class FindAdapterTest : public ::testing::TestWithParam<Discovery> {};

TEST_P(FindAdapterTest, TakesTheLowestCandidateThatAnswers) {
  const Discovery& d = GetParam();
  sim::SimMachine machine = sim::SimMachine::Default(false);
  machine.driver_installed = true;
  machine.dos_names.clear();
  machine.devices.clear();
  for (const Port& port : d.ports) {
    machine.dos_names.push_back(
        {std::string("scsi") + port.n + ":", port.target});
    machine.devices.push_back({port.target, port.kind, 0});
  }
  if (d.error != 0) machine.Fail("CreateFileA", d.error);
  sim::SimPlatform platform(machine, "dorvane");
  const AdapterSearch search = FindAdapter(platform);
  EXPECT_EQ(search.found, PathOf(d.found)) << d.title;
  EXPECT_EQ(search.refused, PathOf(d.refused)) << d.title;
  std::string probed;
  for (const sim::CallRecord& call : platform.calls()) {
    if (call.call == "CreateFileA") probed += call.text[8];
  }
  EXPECT_EQ(probed, d.probed) << d.title;
  EXPECT_EQ(platform.open_handles(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Ports, FindAdapterTest,
    ::testing::Values(
        Discovery{"no names", {}, "", '-'},
        Discovery{
            "raid port", {{'2', "\\Device\\RaidPort2", kDriver}}, "2", '2'},
        Discovery{
            "capitals", {{'3', "\\DEVICE\\RAIDPORT3", kDriver}}, "3", '3'},
        Discovery{"driver device name, the last port",
                  {{'7', "\\Device\\Scsi\\PhDskMnt1", kDriver}},
                  "7",
                  '7'},
        Discovery{"driver device name without leading backslash",
                  {{'0', "Device\\Scsi\\PhDskMnt0", kDriver}},
                  "0",
                  '0'},
        Discovery{"ordinary port never probed",
                  {{'0', "\\Device\\ScsiPort0", kDriver}},
                  "",
                  '-'},
        Discovery{"two answer: the lower wins",
                  {{'1', "\\Device\\RaidPort1", kDriver},
                   {'4', "\\Device\\RaidPort4", kDriver}},
                  "1",
                  '1'},
        Discovery{"only the higher answers",
                  {{'1', "\\Device\\RaidPort1", kRaid},
                   {'4', "\\Device\\RaidPort4", kDriver}},
                  "14",
                  '4'},
        Discovery{"lack of rights on the first candidate",
                  {{'1', "\\Device\\RaidPort1", kDriver},
                   {'4', "\\Device\\RaidPort4", kDriver}},
                  "14",
                  '4',
                  5,
                  '1'},
        Discovery{"another refusal is no lack of rights",
                  {{'1', "\\Device\\RaidPort1", kDriver}},
                  "1",
                  '-',
                  2},
        Discovery{"port 8 is never looked at",
                  {{'8', "\\Device\\RaidPort8", kDriver},
                   {'6', "\\Device\\Ide\\IdePort6", kPort}},
                  "",
                  '-'}));

}  // namespace
}  // namespace dorvane
