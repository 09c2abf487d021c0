// Every command, run once cleanly and then once more for each platform call
// it made, with that one call failing with an error it can really return.
// Every run must end in order: no crash, every handle closed, the exit code
// that goes with its ending, and only lines the command may print.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "app/dorvane.h"
#include "simulator/sim_machine.h"
#include "simulator/sim_platform.h"
#include "simulator/test/call_faults.h"
#include "simulator/test/temp_directory.h"
#include "simulator/test/written_streams.h"

namespace dorvane {
namespace {

using sim::SimMachine;
using testing::CallPosition;
using testing::WrittenStreams;

// One line a command may print. "{e}" stands for the number of the injected
// error; a line with it is allowed only in a faulted run.
struct Allowed {
  std::string regex;
  const char* only_when = nullptr;  // allowed only when this call failed
};

struct Scenario {
  const char* name;
  const char* command_line;
  void (*prepare)(SimMachine&);
  bool devcon;                 // devcon.exe lies in the current directory
  std::vector<Allowed> lines;  // besides the banner
  // The line that claims a change on the machine, and the change.
  const char* success = nullptr;
  bool (*changed)(const SimMachine& before, const SimMachine& after) = nullptr;
  // The message of the uncaught error that even a clean run ends with.
  const char* uncaught = nullptr;
};

const char kBanner[] = "Dorvane v0.3 by dorvane@example.org";
const char kNoDevice[] = "no device found\\. please install driver\\.";
const char kIoError[] = "I/O error \\{e\\}";

void Plain(SimMachine&) {}
void NoDriver(SimMachine& machine) { machine = SimMachine::Default(false); }
void TwoDisks(SimMachine& machine) {
  machine.AddDisk(1048576, 0x210);
  machine.AddDisk(2 * 1048576, 0x210);
}
// A file-backed disk, a virtual-memory one and a shared-memory one.
void ThreeDisks(SimMachine& machine) {
  machine.AddDisk(16 * 1048576, 0x110, "\\??\\C:\\a.img");
  machine.AddDisk(1048576, 0x210);
  machine.AddDisk(2 * 1048576, 0x3300, "\\BaseNamedObjects\\Global\\s");
}
// The second disk's drive does not tell its address, so the lookup goes
// through every drive number.
void ThreeDisksOneHidden(SimMachine& machine) {
  ThreeDisks(machine);
  machine.FindDrive(2)->refuse_address = true;
}
void ThreeDisksNotNt(SimMachine& machine) {
  ThreeDisks(machine);
  machine.is_nt = false;
}
void RefusingShell(SimMachine& machine) { machine.shell_result = 2; }

bool OneMore(const SimMachine& before, const SimMachine& after) {
  return after.DiskNumbers().size() == before.DiskNumbers().size() + 1;
}
bool SecondGone(const SimMachine& before, const SimMachine& after) {
  return after.DiskNumbers().size() + 1 == before.DiskNumbers().size() &&
         after.DiskNumbers().front() == before.DiskNumbers().front();
}
bool AllGone(const SimMachine&, const SimMachine& after) {
  return after.DiskNumbers().empty();
}
bool Launched(const SimMachine& before, const SimMachine& after) {
  return after.launches.size() == before.launches.size() + 1 &&
         after.launches.back().result > 32;
}

std::vector<Allowed> CreateLines(bool named) {
  std::vector<Allowed> lines = {
      {"device [0-9A-F]{6,8} added ok"},
      {kNoDevice},
      {"AddVirtualDisk:createfile failed"},
      {"AddVirtualDisk:DeviceIoControl failed:\\{e\\}"},
      {"AddVirtualDisk:I/O error \\{e\\}"},
  };
  if (named) {
    lines.push_back({"AddVirtualDisk:MultiByteToWideChar failed:\\{e\\}",
                     "MultiByteToWideChar"});
  }
  return lines;
}

std::vector<Allowed> RemoveLines() {
  return {{"device removed OK"},
          {kNoDevice},
          {"createfile failed"},
          {"DeviceIoControl failed:\\{e\\}"},
          {kIoError}};
}

const char kDiskLine[] =
    "(000000\t16\t\\\\\\?\\?\\\\C:\\\\a\\.img|000100\t1\tmemory|"
    "000200\t2\tmemory)(\t\\\\\\\\\\.\\\\PhysicalDrive[1-3])?";

std::vector<Allowed> ListLines() {
  return {
      {"ok 3 virtualdisk\\(s\\) found"},
      {kDiskLine},
      // The backing name could not be converted: an empty column.
      {"000000\t16\t(\t\\\\\\\\\\.\\\\PhysicalDrive1)?", "WideCharToMultiByte"},
      {kNoDevice},
      {"createfile failed"},
      {"DeviceIoControl failed:\\{e\\}"},
      {"failed:\\{e\\}"},
      // A disk line that cannot be written is that disk's failure.
      {kIoError},
      {"list:I/O error \\{e\\}"}};
}

const char* const kDevconMissing[] = {
    "devcon\\.exe not found",
    "download devcon\\.exe from https://[^ ]+",
    "or use add legacy hardware in device manager",
    "",
};

// fails_cleanly: the command fails even without a fault, with error 2 (no
// devcon.exe, or the shell's "file not found").
std::vector<Allowed> DriverLines(const std::string& what,
                                 const std::string& word, bool fails_cleanly) {
  std::vector<Allowed> lines = {
      {"driver " + what + "installation ok"},
      {"driver " + what + "installation failed"},
      {"you may want to reboot \\(if running XP\\)"},
      {word + " ok"},
      {word + " failed,\\{e\\}"},
  };
  for (const char* line : kDevconMissing) lines.push_back({line});
  if (fails_cleanly) lines.push_back({word + " failed,2"});
  return lines;
}

std::vector<Scenario> Scenarios() {
  const char* kConvert = "'$zz' is not a valid integer value";
  return {
      {"usage",
       "dorvane",
       Plain,
       false,
       {{"Dorvane (file|vm|pm) (add path|new (path )?size\\(MB\\)|remove id)"},
        {"Dorvane file shm name"},
        {"Dorvane (list|removall|driver (check|install "
         "driver\\.inf|remove))"}}},
      {"file_add", "dorvane file add {dir}\\a.img", Plain, false,
       CreateLines(true), "device .*", OneMore},
      {"file_new", "dorvane file new disk.img 16", Plain, false,
       CreateLines(true), "device .*", OneMore},
      {"file_shm", "dorvane file shm disk1", Plain, false, CreateLines(true),
       "device .*", OneMore},
      {"vm_add", "dorvane vm add {dir}\\a.img", Plain, false, CreateLines(true),
       "device .*", OneMore},
      {"vm_new", "dorvane vm new 1", Plain, false, CreateLines(false),
       "device .*", OneMore},
      {"pm_add", "dorvane pm add {dir}\\a.img", Plain, false, CreateLines(true),
       "device .*", OneMore},
      {"pm_new", "dorvane pm new 8", Plain, false, CreateLines(true),
       "device .*", OneMore},
      {"vm_new_no_driver", "dorvane vm new 1", NoDriver, false,
       CreateLines(false)},
      {"vm_remove", "dorvane vm remove 100", TwoDisks, false, RemoveLines(),
       "device removed OK", SecondGone},
      {"pm_remove", "dorvane pm remove 100", TwoDisks, false, RemoveLines(),
       "device removed OK", SecondGone},
      {"file_remove", "dorvane file remove 100", TwoDisks, false, RemoveLines(),
       "device removed OK", SecondGone},
      {"file_remove_all", "dorvane file remove FFFFFF", TwoDisks, false,
       RemoveLines(), "device removed OK", AllGone},
      {"bad_id",
       "dorvane vm remove zz",
       TwoDisks,
       false,
       {},
       nullptr,
       nullptr,
       kConvert},
      {"removall",
       "dorvane removall",
       TwoDisks,
       false,
       {{"devices removed OK"},
        {kNoDevice},
        {"list:createfile failed"},
        {"list:DeviceIoControl failed:\\{e\\}"},
        {"list:I/O error \\{e\\}"}},
       "devices removed OK",
       AllGone},
      {"list", "dorvane list", ThreeDisks, false, ListLines()},
      {"list_not_nt", "dorvane list", ThreeDisksNotNt, false, ListLines()},
      {"list_one_hidden", "dorvane list", ThreeDisksOneHidden, false,
       ListLines()},
      {"driver_check",
       "dorvane driver check",
       Plain,
       false,
       {{"\\\\\\\\\\.\\\\scsi2: found"}, {kNoDevice}}},
      {"driver_check_no_driver",
       "dorvane driver check",
       NoDriver,
       false,
       {{kNoDevice}}},
      {"driver_install", "dorvane driver install x.inf", NoDriver, true,
       DriverLines("", "install", false), "install ok", Launched},
      {"driver_install_no_devcon", "dorvane driver install x.inf", NoDriver,
       false, DriverLines("", "install", true)},
      {"driver_install_refused", "dorvane driver install x.inf", RefusingShell,
       true, DriverLines("", "install", true)},
      {"driver_remove", "dorvane driver remove", Plain, true,
       DriverLines("un", "remove", false), "remove ok", Launched},
  };
}

// One run of a scenario on a fresh machine, maybe with one call failing.
struct SweepRun {
  int exit_code = -1;
  std::string out, err;
  std::size_t open_handles = 0;
  std::vector<sim::CallRecord> calls;
  SimMachine before, after;
};

std::string Replace(std::string text, const std::string& from,
                    const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

SweepRun RunScenario(const Scenario& scenario, const std::string& directory,
                     bool console, const CallPosition* fault,
                     std::uint32_t error) {
  SweepRun run;
  run.before = SimMachine::Default();
  scenario.prepare(run.before);
  SimMachine machine = run.before;
  if (fault != nullptr) testing::FailAt(machine, *fault, error);
  // The driver takes no name against the current directory, so "{dir}"
  // names the scenario's directory by its drive path, Z: being the host's
  // root.
  sim::SimPlatform platform(machine,
                            Replace(scenario.command_line, "{dir}",
                                    "Z:" + Replace(directory, "/", "\\")));
  platform.SetCurrentDirectory(directory);
  platform.mutable_out().set_console(console);
  run.exit_code = RunDorvane(platform);
  run.out = platform.out().text();
  run.err = platform.err().text();
  run.open_handles = platform.open_handles();
  run.calls = platform.calls();
  run.after = machine;
  return run;
}

std::string QuoteRegex(const std::string& text) {
  std::string quoted;
  for (char ch : text) {
    if (std::string("\\.()[]{}*+?^$|").find(ch) != std::string::npos) {
      quoted += '\\';
    }
    quoted += ch;
  }
  return quoted;
}

std::size_t Count(const std::vector<sim::CallRecord>& calls,
                  const std::string& name, bool only_ok) {
  std::size_t n = 0;
  for (const sim::CallRecord& record : calls) {
    if (record.call == name && (record.ok || !only_ok)) ++n;
  }
  return n;
}

class FaultSweep : public ::testing::TestWithParam<std::tuple<Scenario, bool>> {
 protected:
  void SetUp() override {
    ASSERT_FALSE(directory_.path().empty());
    directory_.WriteFile("a.img", std::string(4096, '\0'));
    if (scenario().devcon)
      directory_.WriteFile("devcon.exe",
                           testing::TempDirectory::ProgramImage());
  }

  const Scenario& scenario() const { return std::get<0>(GetParam()); }
  bool console() const { return std::get<1>(GetParam()); }

  // The scenario's lines for this fault; none with "{e}" in a clean run.
  std::vector<std::regex> Lines(const CallPosition* fault,
                                std::uint32_t error) {
    std::vector<std::regex> lines = {std::regex(QuoteRegex(kBanner))};
    for (const Allowed& allowed : scenario().lines) {
      std::string regex = allowed.regex;
      bool numbered = regex.find("\\{e\\}") != std::string::npos;
      if (fault == nullptr && (numbered || allowed.only_when != nullptr)) {
        continue;
      }
      if (allowed.only_when != nullptr && fault->call != allowed.only_when) {
        continue;
      }
      regex = Replace(regex, "\\{e\\}", std::to_string(error));
      lines.emplace_back(regex);
    }
    return lines;
  }

  // Checks one run; the label names it in failures.
  void Check(const SweepRun& run, const CallPosition* fault,
             std::uint32_t error, const std::string& label) {
    SCOPED_TRACE(label);
    // Every handle opened was closed; only a close that itself failed may
    // leave one behind in the machine's books.
    std::size_t opened = Count(run.calls, "CreateFileA", true) +
                         Count(run.calls, "FindFirstFileA", true);
    std::size_t closes = Count(run.calls, "CloseHandle", false) +
                         Count(run.calls, "FindClose", false);
    std::size_t failed_closes = closes - Count(run.calls, "CloseHandle", true) -
                                Count(run.calls, "FindClose", true);
    EXPECT_EQ(closes, opened);
    EXPECT_EQ(run.open_handles, failed_closes);

    WrittenStreams written = testing::SplitWrites(run.calls);
    EXPECT_EQ(run.out, written.out.delivered);
    EXPECT_EQ(run.err, written.err.delivered);

    // Standard output: whole lines, the banner first, each one allowed.
    std::vector<std::regex> allowed = Lines(fault, error);
    const std::string& out = written.out.meant;
    ASSERT_FALSE(out.empty());
    EXPECT_TRUE(out.back() == testing::kCutLine ||
                out.substr(out.size() - 2) == "\r\n");
    std::vector<std::string> lines = testing::SplitCrLfLines(out);
    EXPECT_EQ(lines.front(), kBanner);
    bool claims_success = false;
    for (std::string line : lines) {
      // What follows a cut starts a line of its own; what precedes it is
      // the beginning of a line whose rest the failed write lost.
      const std::size_t cut = line.find_last_of(testing::kCutLine);
      if (cut != std::string::npos) {
        line.erase(0, cut + 1);
        if (line.empty()) continue;  // the run ended at the cut
      }
      bool ok = false;
      for (const std::regex& regex : allowed) {
        ok = ok || std::regex_match(line, regex);
      }
      EXPECT_TRUE(ok) << "unexpected line \"" << line << "\"";
      if (scenario().success != nullptr &&
          std::regex_match(line, std::regex(scenario().success))) {
        claims_success = true;
      }
    }
    // A success line is never printed for a change that did not happen.
    if (claims_success) {
      EXPECT_TRUE(scenario().changed(run.before, run.after));
    }

    // Standard error: nothing, the note on an adapter refused for lack of
    // rights after "no device found", the one uncaught-error report, or
    // the note and the report.
    const std::string note =
        "\\\\\\\\\\.\\\\scsi[0-7]: access denied: the driver's adapter can "
        "only "
        "be reached from an elevated prompt\r\n";
    std::string report =
        "Exception (EConvertError|EInOutError) in module (dorvane\\.exe)? at "
        "[0-9A-F]{8}\\.\r\n";
    // A failed write may end the run before the clean run's own error.
    std::vector<std::string> messages;
    if (scenario().uncaught != nullptr) {
      messages.push_back(QuoteRegex(scenario().uncaught));
    }
    if (fault != nullptr) {
      messages.push_back("I/O error " + std::to_string(error));
    }
    std::string alternatives = messages.empty() ? "(?!)" : messages[0];
    for (std::size_t i = 1; i < messages.size(); ++i) {
      alternatives += "|" + messages[i];
    }
    report += "(" + alternatives + ")";
    report += "\\.\r\n\r\n";
    std::string err = written.err.meant;
    if (std::regex_search(err, std::regex("^" + note))) {
      EXPECT_EQ(error, kErrorAccessDenied);
      EXPECT_TRUE(
          std::regex_search(written.out.meant, std::regex("no device found")));
      err = std::regex_replace(err, std::regex("^" + note), "");
    }
    if (err.empty()) {
      EXPECT_EQ(scenario().uncaught, nullptr);
      EXPECT_EQ(run.exit_code, 0);
    } else {
      EXPECT_THAT(err, ::testing::MatchesRegex(report));
      EXPECT_EQ(run.exit_code, 1);
    }
  }

  testing::TempDirectory directory_;
};

TEST_P(FaultSweep, EveryFailingCallEndsInOrder) {
  SweepRun clean =
      RunScenario(scenario(), directory_.path(), console(), nullptr, 0);
  Check(clean, nullptr, 0, "clean run");
  if (scenario().success != nullptr) {
    EXPECT_TRUE(scenario().changed(clean.before, clean.after));
  }
  int runs = 0;
  for (const CallPosition& position : testing::FailablePositions(clean.calls)) {
    for (std::uint32_t error : testing::RealErrorsOf(position.call)) {
      SweepRun run = RunScenario(scenario(), directory_.path(), console(),
                                 &position, error);
      Check(run, &position, error,
            position.call + " #" + std::to_string(position.index) +
                " fails with " + std::to_string(error));
      ++runs;
      if (HasFailure()) return;  // one broken run says enough
    }
  }
  EXPECT_GT(runs, 0);
  RecordProperty("faulted_runs", runs);
  std::printf("[ sweep    ] %s, %s: %d faulted runs\n", scenario().name,
              console() ? "console" : "pipe", runs);
}

TEST(FaultSweepTable, EveryFailableCallHasRealErrors) {
  for (const std::string& call : sim::FailableCalls()) {
    EXPECT_FALSE(testing::RealErrorsOf(call).empty()) << call;
  }
  EXPECT_TRUE(testing::RealErrorsOf("GetCommandLineA").empty());
}

std::string Name(
    const ::testing::TestParamInfo<std::tuple<Scenario, bool>>& info) {
  return std::string(std::get<0>(info.param).name) +
         (std::get<1>(info.param) ? "_console" : "_pipe");
}

INSTANTIATE_TEST_SUITE_P(Commands, FaultSweep,
                         ::testing::Combine(::testing::ValuesIn(Scenarios()),
                                            ::testing::Bool()),
                         Name);

}  // namespace
}  // namespace dorvane
