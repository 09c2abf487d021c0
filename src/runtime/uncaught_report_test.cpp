#include "runtime/uncaught_report.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/format.h"
#include "tests/kit/machine_test.h"

namespace dorvane {
namespace {

using UncaughtReportTest = test::MachineTest;

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
  EXPECT_EQ(FormatUncaughtReport(platform_, error),
            "Exception Exception in module dorvane.exe at " +
                FormatHex(address - base, 8) + ".\r\n\r\n");
  // The whole address, not its low 32 bits, where no module holds it.
  machine_.Fail("VirtualQuery", 87);
  EXPECT_EQ(FormatUncaughtReport(platform_, error),
            "Exception Exception in module  at " + FormatHex(address, 8) +
                ".\r\n\r\n");
}

}  // namespace
}  // namespace dorvane
