// `dorvane list` over arbitrary driver answers: any DeviceCount and slot
// numbers, query-device answers of every length from 0 to 574 bytes with
// names that have no zero unit and sizes at the extremes, failed requests,
// and physical drives at arbitrary addresses.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "adapter/control_messages.h"
#include "app/dorvane.h"
#include "fuzz/fuzz_check.h"
#include "runtime/bytes.h"
#include "runtime/format.h"
#include "simulator/sim_machine.h"
#include "simulator/sim_platform.h"

namespace {

using dorvane::GetU16;
using dorvane::GetU32;
using dorvane::GetU64;

constexpr std::uint32_t kSeparators[] = {0x09, 0x0A, 0x0D};

// One answer of the driver, taken from the fuzz input.
struct Answer {
  bool failed = false;
  std::uint32_t error = 0;
  std::uint32_t returned = 0;
  std::vector<std::uint8_t> bytes;  // the whole buffer, header included
};

Answer TakeAnswer(FuzzedDataProvider& input, std::size_t size) {
  Answer answer;
  answer.failed = input.ConsumeIntegralInRange<int>(0, 7) == 0;
  answer.error = input.ConsumeIntegral<std::uint32_t>();
  answer.returned =
      input.ConsumeIntegralInRange<std::uint32_t>(0, std::uint32_t(size));
  // The rest of the buffer repeats one filler byte, so that a short input
  // still gives a name with no zero unit.
  const std::uint8_t filler = input.ConsumeIntegral<std::uint8_t>();
  answer.bytes = input.ConsumeBytes<std::uint8_t>(size);
  answer.bytes.resize(size, filler);
  // Blanks that would split a report line are kept out of names, so that
  // the lines can be checked one by one.
  for (std::size_t at = 62; at + 1 < size; at += 2) {
    const std::uint16_t unit = GetU16(answer.bytes.data() + at);
    for (std::uint32_t separator : kSeparators) {
      if (unit == separator) answer.bytes[at] = 'x';
    }
  }
  return answer;
}

// A machine whose adapter gives the fuzz input's answers to the
// query-adapter and query-device requests.
class FuzzedDriver : public dorvane::sim::SimPlatform {
 public:
  FuzzedDriver(dorvane::sim::SimMachine& machine, FuzzedDataProvider& input)
      : SimPlatform(machine, "dorvane list"), input_(input) {}

  bool DeviceIoControl(dorvane::Handle device, std::uint32_t code, void* in,
                       std::uint32_t in_size, void* out, std::uint32_t out_size,
                       std::uint32_t* bytes_returned) override {
    const std::uint32_t request =
        code == dorvane::kIoctlScsiMiniport && in_size >= dorvane::kHeaderSize
            ? GetU32(static_cast<const std::uint8_t*>(in) + 16)
            : 0;
    if (request != dorvane::CtlQueryAdapter &&
        request != dorvane::CtlQueryDevice) {
      return SimPlatform::DeviceIoControl(device, code, in, in_size, out,
                                          out_size, bytes_returned);
    }
    Answer answer = TakeAnswer(input_, out_size);
    if (answer.failed) machine().Fail("DeviceIoControl", answer.error);
    bool ok = SimPlatform::DeviceIoControl(device, code, in, in_size, out,
                                           out_size, bytes_returned);
    if (ok) {
      std::memcpy(out, answer.bytes.data(), out_size);
      *bytes_returned = answer.returned;
    }
    answers.push_back(answer);
    return ok;
  }

  std::vector<Answer> answers;  // in the order they were given

 private:
  FuzzedDataProvider& input_;
};

std::vector<std::string> Split(const std::string& text, const char* by) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = text.find(by, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + std::strlen(by);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  FuzzedDataProvider input(data, size);
  dorvane::sim::SimMachine machine = dorvane::sim::SimMachine::Default();
  machine.code_page = input.ConsumeBool() ? 65001 : 1252;
  machine.is_nt = input.ConsumeIntegralInRange<int>(0, 7) != 0;
  const int drives = input.ConsumeIntegralInRange<int>(0, 3);
  for (int n = 1; n <= drives; ++n) {
    const std::uint8_t port = input.ConsumeIntegralInRange<std::uint8_t>(0, 3);
    const std::uint8_t path = input.ConsumeIntegral<std::uint8_t>();
    const std::uint8_t target = input.ConsumeIntegral<std::uint8_t>();
    const std::uint8_t lun = input.ConsumeIntegral<std::uint8_t>();
    machine.AddDrive(static_cast<std::uint32_t>(n), port, path, target, lun);
  }

  FuzzedDriver platform(machine, input);
  const int exit_code = dorvane::RunDorvane(platform);
  FUZZ_CHECK(exit_code == 0);
  FUZZ_CHECK(platform.err().text().empty());
  FUZZ_CHECK(platform.open_handles() == 0);

  const std::string& out = platform.out().text();
  FUZZ_CHECK(out.size() >= 2 && out.compare(out.size() - 2, 2, "\r\n") == 0);
  std::vector<std::string> lines = Split(out.substr(0, out.size() - 2), "\r\n");
  FUZZ_CHECK(lines[0] == "Dorvane v0.3 by dorvane@example.org");
  FUZZ_CHECK(!platform.answers.empty());
  const Answer& adapter = platform.answers[0];
  if (adapter.failed) {
    FUZZ_CHECK(lines.size() == 2);
    FUZZ_CHECK(lines[1] == "DeviceIoControl failed:" +
                               dorvane::FormatUnsigned(adapter.error));
    return 0;
  }
  const std::uint32_t count = GetU32(adapter.bytes.data() + 28);
  FUZZ_CHECK(lines[1] ==
             "ok " + dorvane::FormatUnsigned(count) + " virtualdisk(s) found");
  const std::size_t slots = std::min<std::uint32_t>(count, 16);
  FUZZ_CHECK(lines.size() == 2 + slots);
  FUZZ_CHECK(platform.answers.size() == 1 + slots);
  for (std::size_t i = 0; i < slots; ++i) {
    const std::uint32_t number = GetU32(adapter.bytes.data() + 32 + 4 * i);
    const Answer& disk = platform.answers[1 + i];
    const std::string& line = lines[2 + i];
    if (disk.failed) {
      FUZZ_CHECK(line == "failed:" + dorvane::FormatUnsigned(disk.error));
      continue;
    }
    std::vector<std::string> columns = Split(line, "\t");
    FUZZ_CHECK(columns.size() == 3 || columns.size() == 4);
    FUZZ_CHECK(columns[0] == dorvane::FormatHex(number, 6));
    const bool described = disk.returned > 28;
    const std::int64_t bytes =
        described ? static_cast<std::int64_t>(GetU64(disk.bytes.data() + 32))
                  : 0;
    FUZZ_CHECK(columns[1] == dorvane::FormatSigned(bytes / 1048576));
    const bool memory = described && (GetU32(disk.bytes.data() + 56) & 0x200);
    FUZZ_CHECK(!memory || columns[2] == "memory");
    FUZZ_CHECK(described || columns[2].empty());
    if (columns.size() == 4) {
      FUZZ_CHECK(machine.is_nt);
      FUZZ_CHECK(columns[3].rfind("\\\\.\\PhysicalDrive", 0) == 0);
    }
  }
  return 0;
}
