#include "runtime/uncaught_report.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "runtime/format.h"
#include "simulator/sim_platform.h"
#include "simulator/windows_values.h"

namespace dorvane {
namespace {

using ::testing::MatchesRegex;

class UncaughtReportTest : public ::testing::Test {
 protected:
  sim::SimMachine machine_ = sim::SimMachine::Default();
  sim::SimPlatform platform_{machine_, "dorvane"};
};

TEST_F(UncaughtReportTest, AddsAFullStopOnlyWhereOneIsMissing) {
  struct Case {
    Error error;
    const char* tail;
  };
  const Case cases[] = {
      {RaiseConvertError("'x' is not a valid integer value"),
       "'x' is not a valid integer value\\.\r\n"},
      {RaiseException("already ends."), "already ends\\.\r\n"},
      {RaiseException(""), "\r\n"},
      {RaiseInOutError(232), "I/O error 232\\.\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_THAT(FormatUncaughtReport(platform_, c.error),
                MatchesRegex(std::string("Exception ") + c.error.class_name() +
                             " in module dorvane\\.exe at [0-9A-F]{8}\\.\r\n" +
                             c.tail));
  }
}

TEST_F(UncaughtReportTest, AnUnknownModuleLeavesTheNameEmpty) {
  struct Case {
    const char* failing;
    std::uint32_t error;
    bool offset_from_module;  // else the address itself
  };
  const Case cases[] = {
      {"VirtualQuery", sim::kErrorInvalidParameter, false},
      {"GetModuleFileNameA", sim::kErrorInvalidHandle, true},
  };
  for (const Case& c : cases) {
    machine_.Fail(c.failing, c.error);
    Error error = RaiseException("m");
    std::string report = FormatUncaughtReport(platform_, error);
    EXPECT_THAT(report, MatchesRegex("Exception Exception in module  at "
                                     "[0-9A-F]{8}\\.\r\nm\\.\r\n"))
        << c.failing;
    std::string address =
        FormatHex(static_cast<std::uint32_t>(error.code_address()), 8);
    bool shows_address = report.find(" at " + address + ".") != report.npos;
    EXPECT_EQ(shows_address, !c.offset_from_module) << c.failing;
  }
  EXPECT_TRUE(machine_.failures.empty());
}

TEST_F(UncaughtReportTest, IsWrittenInTheOemCodePageWithOneMoreLineEnd) {
  WriteUncaughtReport(platform_, RaiseConvertError("'$\xe9' is no number"));
  EXPECT_THAT(
      platform_.err().text(),
      MatchesRegex("Exception EConvertError in module dorvane\\.exe at "
                   "[0-9A-F]{8}\\.\r\n'\\$\x82' is no number\\.\r\n\r\n"));
  EXPECT_EQ(platform_.out().text(), "");
}

}  // namespace
}  // namespace dorvane
