// The tool over arbitrary driver answers. The first byte picks `list`, a
// create or a remove command; the rest shapes the machine's drives and, for
// each request the tool answers from (query-adapter, query-device, create,
// remove), whether it fails and with which error, the bytes returned and
// the answer's bytes: any DeviceCount and slot numbers, names with no zero
// unit, sizes at the extremes. What the tool prints must follow from those
// answers exactly.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "adapter/control_messages.h"
#include "app/dorvane.h"
#include "fuzz/fuzz_check.h"
#include "runtime/bytes.h"
#include "simulator/sim_machine.h"
#include "simulator/windows/code_pages.h"
#include "simulator/windows/sim_platform.h"
#include "tests/kit/test_disks.h"

namespace {

using dorvane::GetU16;
using dorvane::GetU32;

// 0 lists, 1 to 4 create, 5 to 8 remove. The machine holds disk 0, so that
// the driver model itself accepts the removes but the last.
constexpr const char* kCommands[] = {
    "list",           "vm new 1", "pm new 2",    "file new Z:\\x 3",
    "file shm s",     "removall", "vm remove 0", "pm remove FFFFFF",
    "file remove 100"};
constexpr int kRemoveAll = 5;

// The fuzz input, read from the front, zero bytes once it is spent. Not
// libFuzzer's FuzzedDataProvider, which the GCC replay build does not have.
struct Input {
  const std::uint8_t* at;
  const std::uint8_t* end;
  std::uint8_t Byte() { return at < end ? *at++ : 0; }
  std::uint32_t U32() {
    const std::uint8_t bytes[] = {Byte(), Byte(), Byte(), Byte()};  // in order
    return GetU32(bytes);
  }
};

// One answer of the driver, as the tool got it.
struct Answer {
  bool failed = false;
  std::uint32_t error = 0;
  std::uint32_t returned = 0;
  std::vector<std::uint8_t> bytes;  // the whole buffer, header included
};

Answer TakeAnswer(Input& input, std::uint32_t size) {
  Answer answer;
  answer.failed = input.Byte() % 8 == 0;
  answer.error = input.U32();
  answer.returned = input.U32() % (size + 1);
  // The rest of the buffer repeats one filler byte, so that a short input
  // still gives a name with no zero unit.
  answer.bytes.assign(size, input.Byte());
  const std::size_t taken = std::min<std::size_t>(size, input.end - input.at);
  std::copy_n(input.at, taken, answer.bytes.begin());
  input.at += taken;
  // Blanks that would split a report line are kept out of names, so that
  // the lines can be checked one by one.
  for (std::size_t at = 62; at + 1 < size; at += 2) {
    const std::uint16_t unit = GetU16(answer.bytes.data() + at);
    if (unit == '\t' || unit == '\n' || unit == '\r') answer.bytes[at] = 'x';
  }
  return answer;
}

// A machine whose adapter gives the fuzz input's answers to every request
// but the version probe.
class FuzzedDriver : public dorvane::sim::SimPlatform {
 public:
  using SimPlatform::SimPlatform;

  bool DeviceIoControl(dorvane::Handle device, std::uint32_t code, void* in,
                       std::uint32_t in_size, void* out, std::uint32_t out_size,
                       std::uint32_t* bytes_returned) override {
    // The tool's miniport requests all hold the 28-byte header.
    if (code != dorvane::kIoctlScsiMiniport ||
        GetU32(static_cast<std::uint8_t*>(in) + 16) ==
            dorvane::CtlQueryVersion) {
      return SimPlatform::DeviceIoControl(device, code, in, in_size, out,
                                          out_size, bytes_returned);
    }
    Answer answer = TakeAnswer(*input, out_size);
    if (answer.failed) machine().Fail("DeviceIoControl", answer.error);
    const bool ok = SimPlatform::DeviceIoControl(device, code, in, in_size, out,
                                                 out_size, bytes_returned);
    if (ok) {
      std::memcpy(out, answer.bytes.data(), out_size);
      *bytes_returned = answer.returned;
    }
    // The driver model may refuse a request as well: record what the tool
    // was told.
    answer.failed = !ok;
    answer.error = ok ? 0 : SimPlatform::GetLastError();
    answers.push_back(answer);
    return ok;
  }

  Input* input = nullptr;
  std::vector<Answer> answers;  // in the order they were given
};

std::vector<std::string> Split(const std::string& text, const std::string& by) {
  std::vector<std::string> parts;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find(by, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + by.size();
  }
}

// Written apart from the tool's own formatting, so that a fault there shows.
std::string Hex(std::uint32_t number) {
  char text[9];
  std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(number));
  return text;
}

// The line a command ends with when it makes one request, or when the
// first request of `list` fails.
std::string OneLine(int command, const Answer& answer) {
  const bool create = command > 0 && command < kRemoveAll;
  if (answer.failed) {
    const char* prefix = create                  ? "AddVirtualDisk:"
                         : command == kRemoveAll ? "list:"
                                                 : "";
    return prefix + ("DeviceIoControl failed:" + std::to_string(answer.error));
  }
  if (create) {
    return "device " + Hex(GetU32(answer.bytes.data() + 28)) + " added ok";
  }
  return command == kRemoveAll ? "devices removed OK" : "device removed OK";
}

// The count line and one line per slot, each from its own answer.
void CheckList(const std::vector<std::string>& lines,
               const std::vector<Answer>& answers,
               const dorvane::sim::SimMachine& machine) {
  const std::uint32_t count = GetU32(answers[0].bytes.data() + 28);
  const std::size_t slots = std::min<std::uint32_t>(count, 16);
  FUZZ_CHECK(lines.size() == 2 + slots && answers.size() == 1 + slots);
  FUZZ_CHECK(lines[1] ==
             "ok " + std::to_string(count) + " virtualdisk(s) found");
  for (std::size_t i = 0; i < slots; ++i) {
    const Answer& disk = answers[1 + i];
    if (disk.failed) {
      FUZZ_CHECK(lines[2 + i] == "failed:" + std::to_string(disk.error));
      continue;
    }
    std::vector<std::string> columns = Split(lines[2 + i], "\t");
    FUZZ_CHECK(columns.size() == 3 ||
               (columns.size() == 4 && machine.is_nt &&
                columns[3].rfind("\\\\.\\PhysicalDrive", 0) == 0));
    FUZZ_CHECK(columns[0] == Hex(GetU32(answers[0].bytes.data() + 32 + 4 * i)));
    // An answer without a description reads as all zero.
    const std::vector<std::uint8_t> config =
        disk.returned > 28 ? disk.bytes : std::vector<std::uint8_t>(574);
    const std::uint8_t* c = config.data();
    const auto bytes = static_cast<std::int64_t>(dorvane::GetU64(c + 32));
    FUZZ_CHECK(columns[1] == std::to_string(bytes / 1048576));
    // The name runs to its first zero unit, in the machine's code page.
    std::vector<std::uint16_t> name;
    for (std::size_t at = 62; at < 574 && GetU16(c + at) != 0; at += 2) {
      name.push_back(GetU16(c + at));
    }
    FUZZ_CHECK(columns[2] ==
               ((GetU32(c + 56) & 0x200) != 0
                    ? "memory"
                    : dorvane::sim::EncodeAnsi(machine.code_page, name.data(),
                                               name.size())));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  Input input{data, data + size};
  const int command = input.Byte() % 9;
  dorvane::sim::SimMachine machine = dorvane::sim::SimMachine::Default();
  machine.code_page = input.Byte() % 2 != 0 ? 65001 : 1252;
  machine.is_nt = input.Byte() % 8 != 0;
  const int drives = input.Byte() % 4;
  for (int n = 1; n <= drives; ++n) {
    const std::uint32_t at = input.U32();  // port, path, target, lun
    machine.AddDrive(n, at % 4, at >> 8, at >> 16, at >> 24);
  }
  dorvane::test::AddDisk(machine, dorvane::kMegabyte);

  FuzzedDriver platform(machine, std::string("dorvane ") + kCommands[command]);
  platform.input = &input;
  FUZZ_CHECK(dorvane::RunDorvane(platform) == 0);
  FUZZ_CHECK(platform.err().text().empty());
  FUZZ_CHECK(platform.open_handles() == 0);

  const std::string& out = platform.out().text();
  FUZZ_CHECK(out.size() >= 2 && out.compare(out.size() - 2, 2, "\r\n") == 0);
  std::vector<std::string> lines = Split(out.substr(0, out.size() - 2), "\r\n");
  FUZZ_CHECK(lines[0] == "Dorvane v0.3 by dorvane@example.org");
  FUZZ_CHECK(!platform.answers.empty());
  if (command == 0 && !platform.answers[0].failed) {
    CheckList(lines, platform.answers, machine);
    return 0;
  }
  FUZZ_CHECK(lines.size() == 2 && platform.answers.size() == 1);
  FUZZ_CHECK(lines[1] == OneLine(command, platform.answers[0]));
  return 0;
}
