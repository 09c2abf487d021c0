#include "runtime/uncaught_report.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/kit/machine_test.h"

namespace dorvane {
namespace {

using UncaughtReportTest = testing::MachineTest;

// The number between "at " and the full stop, read back.
std::uintptr_t ReportedOffset(const std::string& report) {
  const std::size_t at = report.find(" at ") + 4;
  const std::string digits = report.substr(at, report.find('.', at) - at);
  EXPECT_GE(digits.size(), 8u) << digits;
  return static_cast<std::uintptr_t>(std::stoull(digits, nullptr, 16));
}

// The offset into the module that holds the raising code; with no module
// found, the address itself. An empty message gets no full stop.
TEST_F(UncaughtReportTest, LocatesTheCodeInItsModule) {
  const Error error = MakeException("");
  const std::uintptr_t address = error.code_address();
  MemoryBasicInformation region;
  ASSERT_NE(platform_.VirtualQuery(reinterpret_cast<const void*>(address),
                                   &region, sizeof region),
            0u);
  const auto base = reinterpret_cast<std::uintptr_t>(region.AllocationBase);
  const std::string in_module = FormatUncaughtReport(platform_, error);
  EXPECT_EQ(in_module.rfind("Exception Exception in module dorvane.exe at ", 0),
            0u);
  EXPECT_EQ(in_module.substr(in_module.size() - 5), ".\r\n\r\n");
  EXPECT_EQ(ReportedOffset(in_module), address - base);
  // The whole address, not its low 32 bits, where no module holds it.
  machine_.Fail("VirtualQuery", 87);
  const std::string bare = FormatUncaughtReport(platform_, error);
  EXPECT_EQ(bare.rfind("Exception Exception in module  at ", 0), 0u);
  EXPECT_EQ(ReportedOffset(bare), address);
}

}  // namespace
}  // namespace dorvane
