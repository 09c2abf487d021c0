#include "adapter/discovery.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "simulator/sim_platform.h"

namespace dorvane {
namespace {

using sim::DeviceKind;

struct Port {
  const char* dos_name;
  const char* target;
  DeviceKind kind;
};

struct Discovery {
  const char* title;
  std::vector<Port> ports;
  const char* found;
  std::vector<std::string> probed;  // candidates opened, in order
  std::uint32_t error = 0;          // the first open fails with it
  const char* refused = "";
};

class FindAdapterTest : public ::testing::TestWithParam<Discovery> {};

TEST_P(FindAdapterTest, TakesTheLowestCandidateThatAnswers) {
  const Discovery& d = GetParam();
  sim::SimMachine machine = sim::SimMachine::Default(false);
  machine.driver_installed = true;
  machine.dos_names.clear();
  machine.devices.clear();
  for (const Port& port : d.ports) {
    machine.dos_names.push_back({port.dos_name, port.target});
    machine.devices.push_back({port.target, port.kind, 0});
  }
  if (d.error != 0) machine.Fail("CreateFileA", d.error);
  sim::SimPlatform platform(machine, "dorvane");
  const AdapterSearch search = FindAdapter(platform);
  EXPECT_EQ(search.found, d.found) << d.title;
  EXPECT_EQ(search.refused, d.refused) << d.title;
  std::vector<std::string> probed;
  for (const sim::CallRecord& call : platform.calls()) {
    if (call.call == "CreateFileA") probed.push_back(call.text);
  }
  EXPECT_EQ(probed, d.probed) << d.title;
  EXPECT_EQ(platform.open_handles(), 0u);
}

const DeviceKind kDriver = DeviceKind::kDriverAdapter;
const DeviceKind kRaid = DeviceKind::kRaidPort;
const DeviceKind kPort = DeviceKind::kScsiPort;

INSTANTIATE_TEST_SUITE_P(
    Ports, FindAdapterTest,
    ::testing::Values(
        Discovery{"no names", {}, "", {}},
        Discovery{"raid port",
                  {{"scsi2:", "\\Device\\RaidPort2", kDriver}},
                  "\\\\.\\scsi2:",
                  {"\\\\.\\scsi2:"}},
        Discovery{"capitals",
                  {{"scsi3:", "\\DEVICE\\RAIDPORT3", kDriver}},
                  "\\\\.\\scsi3:",
                  {"\\\\.\\scsi3:"}},
        Discovery{"driver device name",
                  {{"scsi5:", "\\Device\\Scsi\\PhDskMnt1", kDriver}},
                  "\\\\.\\scsi5:",
                  {"\\\\.\\scsi5:"}},
        Discovery{"driver device name without leading backslash",
                  {{"scsi0:", "Device\\Scsi\\PhDskMnt0", kDriver}},
                  "\\\\.\\scsi0:",
                  {"\\\\.\\scsi0:"}},
        Discovery{"ordinary port never probed",
                  {{"scsi0:", "\\Device\\ScsiPort0", kDriver}},
                  "",
                  {}},
        Discovery{"two answer: the lower wins",
                  {{"scsi1:", "\\Device\\RaidPort1", kDriver},
                   {"scsi4:", "\\Device\\RaidPort4", kDriver}},
                  "\\\\.\\scsi1:",
                  {"\\\\.\\scsi1:"}},
        Discovery{"only the higher answers",
                  {{"scsi1:", "\\Device\\RaidPort1", kRaid},
                   {"scsi4:", "\\Device\\RaidPort4", kDriver}},
                  "\\\\.\\scsi4:",
                  {"\\\\.\\scsi1:", "\\\\.\\scsi4:"}},
        Discovery{"lack of rights on the first candidate",
                  {{"scsi1:", "\\Device\\RaidPort1", kDriver},
                   {"scsi4:", "\\Device\\RaidPort4", kDriver}},
                  "\\\\.\\scsi4:",
                  {"\\\\.\\scsi1:", "\\\\.\\scsi4:"},
                  5,
                  "\\\\.\\scsi1:"},
        Discovery{"another refusal is no lack of rights",
                  {{"scsi1:", "\\Device\\RaidPort1", kDriver}},
                  "",
                  {"\\\\.\\scsi1:"},
                  2},
        Discovery{"port 8 is never looked at",
                  {{"scsi8:", "\\Device\\RaidPort8", kDriver},
                   {"scsi6:", "\\Device\\Ide\\IdePort6", kPort}},
                  "",
                  {}}));

}  // namespace
}  // namespace dorvane
