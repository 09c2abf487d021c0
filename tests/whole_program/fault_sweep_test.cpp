// Every command, run once cleanly and then again for each platform call it
// made: with that call failing once with each error it can really return,
// and failing from then on (it and every later call of its name) with its
// most common one. Every run must end in order: every handle closed, the
// exit code that goes with its ending, and on standard output the banner,
// then the clean run's lines in their order, any of them lost, with failure
// lines among them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "app/dorvane.h"
#include "simulator/sim_machine.h"
#include "simulator/windows/sim_platform.h"
#include "tests/kit/temp_directory.h"
#include "tests/kit/test_disks.h"
#include "tests/whole_program/call_faults.h"
#include "tests/whole_program/written_streams.h"

namespace dorvane {
namespace {

using sim::SimMachine;
using test::CallPosition;
using test::SplitCrLfLines;
using Lines = std::set<std::string>;

const char kBanner[] = "Dorvane v0.3 by dorvane@example.org\r\n";
const char kNoDevice[] = "no device found. please install driver.\r\n";
// What install and remove print without devcon.exe: one write.
const char kDevconMissing[] =
    "devcon.exe not found\r\ndownload devcon.exe from "
    "https://learn.microsoft.com/windows-hardware/drivers/devtest/devcon\r\n"
    "or use add legacy hardware in device manager\r\n\r\n";

// What a failed run of any command may print besides its clean lines. "{e}"
// is the injected error; "{c}" each of the command's error prefixes (a
// command without one prints no such line).
const char* const kFailureLines[] = {
    kNoDevice,
    "{c}createfile failed",
    "{c}DeviceIoControl failed:{e}",
    "{c}MultiByteToWideChar failed:{e}",
    "{c}I/O error {e}",
    "{c}failed:{e}",
    "driver installation failed",
    "driver uninstallation failed",
    "install failed,{e}",
    "remove failed,{e}",
    kDevconMissing,
};

// What a failure may take from a clean line of list, keeping the rest ($1):
// the drive (not found) or the backing name (not converted).
const char* const kLosableParts[] = {
    R"(^(.*)\t\\\\\.\\PhysicalDrive[0-9]+$)",
    R"(^([^\t]*\t[^\t]*\t)\\[^\t]*)",
};

// A backing name long enough that list's second write of 128 bytes comes
// while it still prints, after the first one ended inside a line.
const std::string kImage = "\\??\\C:\\" + std::string(120, 'd') + ".img";
void Plain(SimMachine&) {}
void NoDriver(SimMachine& machine) { machine = SimMachine::Default(false); }
// A file-backed disk, a virtual-memory one and a shared-memory one.
void Disks(SimMachine& machine) {
  test::AddDisk(machine, 16 * 1048576, 0x110, kImage);
  test::AddDisk(machine, 1048576, 0x210);
  test::AddDisk(machine, 2 * 1048576, 0x3300, "\\BaseNamedObjects\\Global\\s");
}
// The second disk's drive does not tell its address, so the lookup goes
// through every drive number.
void DisksOneHidden(SimMachine& machine) {
  Disks(machine);
  machine.FindDrive(2)->refuse_address = true;
}
void DisksNotNt(SimMachine& machine) {
  Disks(machine);
  machine.is_nt = false;
}
void RefusingShell(SimMachine& machine) { machine.shell_result = 2; }

using Prepare = void (*)(SimMachine&);
using Prefixes = std::vector<const char*>;

// A command run on a machine: its name, its arguments and what a clean run
// prints after the banner; the setters name whatever else.
struct Scenario {
  Scenario(const char* n, const char* a, std::string c)
      : name(n), arguments(a), clean(std::move(c)) {}
  Scenario On(Prepare p) const { return Set(&Scenario::prepare, p); }
  Scenario Prefixed(Prefixes p) const { return Set(&Scenario::prefixes, p); }
  Scenario Changing() const { return Set(&Scenario::changes, true); }
  Scenario Uncaught(const char* e) const { return Set(&Scenario::uncaught, e); }
  Scenario WithoutDevcon() const { return Set(&Scenario::devcon, false); }
  template <typename Field, typename Value>
  Scenario Set(Field Scenario::*field, Value value) const {
    Scenario copy = *this;
    copy.*field = value;
    return copy;
  }

  const char* name;
  const char* arguments;  // "{dir}": the test's directory
  std::string clean;
  Prepare prepare = Plain;
  Prefixes prefixes;     // of its error lines
  bool changes = false;  // the clean run's last line tells of a change it made
  const char* uncaught = nullptr;  // the error even a clean run ends with
  bool devcon = true;              // devcon.exe lies in the directory
};
// Names the scenario in gtest's messages.
void PrintTo(const Scenario& scenario, std::ostream* os) {
  *os << scenario.name;
}

const char kUsage[] =
    "Dorvane file add path\r\nDorvane file new path size(MB)\r\n"
    "Dorvane file shm name\r\nDorvane file remove id\r\n"
    "Dorvane vm add path\r\nDorvane vm new size(MB)\r\nDorvane vm remove id\r\n"
    "Dorvane pm add path\r\nDorvane pm new size(MB)\r\nDorvane pm remove id\r\n"
    "Dorvane list\r\nDorvane removall\r\nDorvane driver check\r\n"
    "Dorvane driver install driver.inf\r\nDorvane driver remove\r\n";
const std::string kList =
    "ok 3 virtualdisk(s) found\r\n"
    "000000\t16\t" +
    kImage +
    "\t\\\\.\\PhysicalDrive1\r\n"
    "000100\t1\tmemory\t\\\\.\\PhysicalDrive2\r\n"
    "000200\t2\tmemory\t\\\\.\\PhysicalDrive3\r\n";
const char kAdded[] = "device 000000 added ok\r\n";
const char kRemoved[] = "device removed OK\r\n";
const char kReboot[] = "you may want to reboot (if running XP)\r\n";
const Prefixes kCreate = {"AddVirtualDisk:"};

// The kinds of scenario that most commands are.
Scenario Create(const char* name, const char* arguments) {
  return Scenario(name, arguments, kAdded).Prefixed(kCreate).Changing();
}
Scenario Remove(const char* name, const char* arguments) {
  return Scenario(name, arguments, kRemoved)
      .On(Disks)
      .Prefixed({""})
      .Changing();
}
Scenario Install(const char* name, std::string clean) {
  return Scenario(name, "driver install x.inf", std::move(clean));
}
Scenario List(const char* name, Prepare machine) {
  return Scenario(name, "list", kList).On(machine).Prefixed({"", "list:"});
}

std::vector<Scenario> Scenarios() {
  const std::string reboot = kReboot, install = reboot + "install ";
  const std::string installed = "driver installation ok\r\n" + install;
  const std::string refused = "driver installation failed\r\n" + install;
  const std::string missing = kDevconMissing + std::string("install ");
  const std::string removed = "driver uninstallation ok\r\n" + reboot;
  return {
      Scenario("usage", "", kUsage),
      Create("file_add", "file add {dir}\\a.img"),
      Create("file_new", "file new disk.img 16"),
      Create("file_shm", "file shm disk1"),
      Create("vm_add", "vm add {dir}\\a.img"),
      Create("vm_new", "vm new 1"),
      Create("pm_add", "pm add {dir}\\a.img"),
      Create("pm_new", "pm new 8"),
      Scenario("vm_new_no_driver", "vm new 1", kNoDevice)
          .On(NoDriver)
          .Prefixed(kCreate),
      Remove("vm_remove", "vm remove 100"),
      Remove("pm_remove", "pm remove 100"),
      Remove("file_remove", "file remove 100"),
      Remove("file_remove_all", "file remove FFFFFF"),
      Scenario("bad_id", "vm remove zz", "")
          .On(Disks)
          .Uncaught("'$zz' is not a valid integer value"),
      Scenario("removall", "removall", "devices removed OK\r\n")
          .On(Disks)
          .Prefixed({"list:"})
          .Changing(),
      List("list", Disks),
      List("list_not_nt", DisksNotNt),
      List("list_one_hidden", DisksOneHidden),
      Scenario("driver_check", "driver check", "\\\\.\\scsi2: found\r\n"),
      Scenario("driver_check_no_driver", "driver check", kNoDevice)
          .On(NoDriver),
      Install("driver_install", installed + "ok\r\n").On(NoDriver).Changing(),
      Install("driver_install_no_devcon", missing + "failed,2\r\n")
          .On(NoDriver)
          .WithoutDevcon(),
      Install("driver_install_refused", refused + "failed,2\r\n")
          .On(RefusingShell),
      Scenario("driver_remove", "driver remove", removed + "remove ok\r\n")
          .Changing(),
  };
}

// What a command may change on the machine.
using State = std::pair<std::vector<std::uint32_t>, bool>;
State StateOf(const SimMachine& machine) {
  return {machine.DiskNumbers(), machine.driver_installed};
}

// Every handle opened was closed; only a close that itself failed may leave
// one behind in the machine's books.
void CheckHandlesClosed(const sim::SimPlatform& platform) {
  std::size_t opened = 0, closes = 0, failed_closes = 0;
  for (const sim::CallRecord& call : platform.calls()) {
    if (call.call == "CreateFileA" || call.call == "FindFirstFileA") {
      opened += call.ok;
    } else if (call.call == "CloseHandle" || call.call == "FindClose") {
      ++closes;
      failed_closes += !call.ok;
    }
  }
  EXPECT_EQ(closes, opened);
  EXPECT_EQ(platform.open_handles(), failed_closes);
}

// The streams hold exactly what the writes that succeeded wrote.
void CheckStreamsHoldTheWrites(const sim::SimPlatform& platform) {
  EXPECT_EQ(platform.out().text(),
            test::Written(platform.calls(), /*err=*/false, false));
  EXPECT_EQ(platform.err().text(),
            test::Written(platform.calls(), /*err=*/true, false));
}

// Whatever standard output delivers after a failed write begins at a line
// start: nothing is glued onto the head of a line the failure cut.
void CheckNothingGluedAfterAFailure(const sim::SimPlatform& platform) {
  std::string delivered;
  bool failed = false;
  for (const sim::CallRecord& record : platform.calls()) {
    if (record.call == "GetStdHandle" && record.a == kStdErrorHandle) break;
    if (record.call != "WriteFile") continue;
    if (!record.ok) {
      failed = true;
      continue;
    }
    EXPECT_TRUE(!failed || delivered.empty() || delivered.back() == '\n' ||
                record.text.rfind("\r\n", 0) == 0)
        << "glued onto " << delivered << ": " << record.text;
    failed = false;
    delivered += record.text;
  }
}

// Standard error: nothing, or the note on ports refused for lack of
// rights, or the one uncaught-error report, or the note and then the
// report; the exit code 1 with the report. The report tells of a failed
// write, which may end the run before the clean run's own error (uncaught),
// or of that error.
void CheckStandardError(const std::vector<sim::CallRecord>& calls,
                        int exit_code, std::uint32_t error,
                        const char* uncaught) {
  static const std::regex kErr(
      R"((dorvane: access denied to \\\\\.\\scsi[0-7]:)"
      R"((, \\\\\.\\scsi[0-7]:)*; the search for the driver's adapter )"
      "needs an elevated prompt\r\n)?"
      R"((Exception (EConvertError|EInOutError) in module (dorvane\.exe)? at )"
      "[0-9A-F]{8,16}\\.\r\n(.+)\\.\r\n\r\n)?");
  const std::string err = test::Written(calls, /*err=*/true, true);
  std::smatch match;
  ASSERT_TRUE(std::regex_match(err, match, kErr)) << err;
  EXPECT_TRUE(
      !match[1].matched ||
      (error == kErrorAccessDenied &&
       test::Written(calls, false, true).find(kNoDevice) != std::string::npos))
      << "the elevated-prompt note";
  EXPECT_EQ(exit_code, match[3].matched ? 1 : 0);
  EXPECT_EQ(match[6].str(), match[4] == "EInOutError"
                                ? "I/O error " + std::to_string(error)
                                : std::string(uncaught ? uncaught : ""));
}

class FaultSweep : public ::testing::TestWithParam<std::tuple<Scenario, bool>> {
 protected:
  void SetUp() override {
    ASSERT_FALSE(directory_.path().empty());
    directory_.WriteFile("a.img", std::string(4096, '\0'));
    if (scenario().devcon) {
      directory_.WriteFile("devcon.exe", test::TempDirectory::ProgramImage());
    }
    // The clean lines, each with the forms a failure may leave of it.
    for (const std::string& line : SplitCrLfLines(kBanner + scenario().clean)) {
      Lines& forms = forms_.emplace_back(Lines{line});
      for (const char* part : kLosableParts) {
        for (const std::string& form : Lines(forms)) {
          forms.insert(std::regex_replace(form, std::regex(part), "$1"));
        }
      }
    }
  }

  const Scenario& scenario() const { return std::get<0>(GetParam()); }
  bool console() const { return std::get<1>(GetParam()); }

  // The lines of kFailureLines for this command and error.
  Lines FailureLines(std::uint32_t error) const {
    Lines lines;
    for (const char* entry : kFailureLines) {
      for (std::string line : SplitCrLfLines(entry)) {
        if (line.find("{e}") != std::string::npos) {
          line.replace(line.find("{e}"), 3, std::to_string(error));
        }
        if (line.rfind("{c}", 0) != 0) lines.insert(line);
        for (const char* prefix : scenario().prefixes) {
          if (line.rfind("{c}", 0) == 0) lines.insert(prefix + line.substr(3));
        }
      }
    }
    return lines;
  }

  // The scenario's command line. The driver takes no name against a current
  // directory: "{dir}" is the directory's drive path.
  std::string CommandLine() const {
    std::string line = scenario().arguments;
    line.insert(0, line.empty() ? "dorvane" : "dorvane ");
    const std::size_t dir = line.find("{dir}");
    if (dir != std::string::npos) line.replace(dir, 5, directory_.drive_path());
    return line;
  }

  // Standard output: whole lines, the banner first, then the clean lines in
  // order, each maybe lost or cut short as kLosableParts says, with failure
  // lines anywhere (a clean run: every clean line, nothing else). True when
  // the clean run's last line was among them.
  bool CheckStandardOutput(const std::vector<sim::CallRecord>& calls,
                           const Lines& failures) const {
    const std::string out = test::Written(calls, /*err=*/false, true);
    EXPECT_EQ(out.rfind(kBanner, 0), 0u) << out;
    EXPECT_TRUE(out.empty() || out.back() == test::kCutLine ||
                out.compare(out.size() - 2, 2, "\r\n") == 0);
    std::size_t next = 0, matched = 0;  // the first clean line to come
    for (std::string line : SplitCrLfLines(out)) {
      // What follows a cut starts a line of its own; what precedes it is
      // the beginning of a line whose rest the failed write lost.
      const std::size_t cut = line.find_last_of(test::kCutLine);
      if (cut != std::string::npos) line.erase(0, cut + 1);
      if (cut != std::string::npos && line.empty()) continue;  // the end
      std::size_t at = next;
      while (at < forms_.size() && forms_[at].count(line) == 0) ++at;
      if (at < forms_.size()) {
        next = at + 1;
        ++matched;
      } else {
        EXPECT_EQ(failures.count(line), 1u) << "unexpected line: " << line;
      }
    }
    EXPECT_TRUE(!failures.empty() || matched == forms_.size()) << out;
    return next == forms_.size();
  }

  // Runs the scenario on a fresh machine, cleanly (fault nullptr) or with
  // that call failing once or, persistent, from then on, and checks the run.
  // The clean run leaves its calls and its machine behind.
  void RunAndCheck(const CallPosition* fault, std::uint32_t error,
                   bool persistent) {
    SimMachine machine = SimMachine::Default();
    scenario().prepare(machine);
    const State before = StateOf(machine);
    if (fault != nullptr) {
      machine.Fail(fault->call, error, persistent ? UINT32_MAX : 1,
                   fault->index);
    }
    sim::SimPlatform platform(machine, CommandLine());
    platform.SetCurrentDirectory(directory_.path());
    platform.mutable_out().set_console(console());
    const int exit_code = RunDorvane(platform);
    SCOPED_TRACE(
        CommandLine() + " on a " + (console() ? "console: " : "pipe: ") +
        (fault == nullptr
             ? "clean run"
             : fault->call + " #" + std::to_string(fault->index) +
                   (persistent ? " and every later one fail" : " fails once") +
                   " with " + std::to_string(error)));
    if (fault == nullptr) {
      clean_calls_ = platform.calls();
      clean_state_ = StateOf(machine);
      EXPECT_EQ(clean_state_ != before, scenario().changes);
    }
    CheckHandlesClosed(platform);
    CheckStreamsHoldTheWrites(platform);
    CheckNothingGluedAfterAFailure(platform);
    const bool last_line = CheckStandardOutput(
        platform.calls(), fault ? FailureLines(error) : Lines());
    // No success line for a change not made.
    EXPECT_TRUE(!last_line || StateOf(machine) == clean_state_)
        << "the clean run's last line, but not its machine";
    CheckStandardError(platform.calls(), exit_code, error, scenario().uncaught);
  }

  test::TempDirectory directory_;
  std::vector<Lines> forms_;
  std::vector<sim::CallRecord> clean_calls_;
  State clean_state_;
};

TEST_P(FaultSweep, EveryFailingCallEndsInOrder) {
  RunAndCheck(nullptr, 0, false);
  if (HasFailure()) return;
  int runs[2] = {0, 0};  // once, from then on
  for (const CallPosition& position : test::FailablePositions(clean_calls_)) {
    const std::vector<std::uint32_t>& errors =
        test::RealErrorsOf(position.call);
    for (bool persistent : {false, true}) {
      // From then on with the most common error alone, to keep the sweep
      // short (every error passes too, but QueryDosDeviceA's 122 drives
      // ResolveDosDevice to its 16 MiB cap for each later name, for
      // seconds); the runs failing once try every error.
      for (std::size_t i = 0; i < (persistent ? 1 : errors.size()); ++i) {
        RunAndCheck(&position, errors[i], persistent);
        ++runs[persistent];
        if (HasFailure()) return;  // one broken run says enough
      }
    }
  }
  RecordProperty("runs_once", runs[0]);
  RecordProperty("runs_from_then_on", runs[1]);
}

TEST(FaultSweepTable, EveryFailableCallHasRealErrors) {
  for (const std::string& call : sim::FailableCalls()) {
    EXPECT_FALSE(test::RealErrorsOf(call).empty()) << call;
  }
  EXPECT_TRUE(test::RealErrorsOf("GetCommandLineA").empty());
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
