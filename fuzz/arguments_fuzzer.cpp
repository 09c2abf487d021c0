// The argument splitter over arbitrary command lines, bytes from 0x80 up and
// double-byte-looking pairs included, under the code pages 1252 and UTF-8
// and under a double-byte stepping; then the whole tool on that line.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "app/arguments.h"
#include "app/dorvane.h"
#include "fuzz/fuzz_check.h"
#include "simulator/sim_machine.h"
#include "simulator/windows/sim_platform.h"

namespace {

// A machine whose CharNextA steps over two bytes after every byte from
// 0x81 up, as double-byte code pages do. reckless: also when the second
// byte ends the line, which no Windows does; the splitter must still stop.
class DoubleByteStepping : public dorvane::sim::SimPlatform {
 public:
  DoubleByteStepping(dorvane::sim::SimMachine& machine, bool reckless)
      : SimPlatform(machine, ""), reckless_(reckless) {}

  const char* CharNextA(const char* current) override {
    if (*current == '\0') return current;
    const bool lead = static_cast<unsigned char>(*current) >= 0x81 &&
                      static_cast<unsigned char>(*current) != 0xFF;
    if (lead && (reckless_ || current[1] != '\0')) return current + 2;
    return current + 1;
  }

 private:
  bool reckless_;
};

// True when every byte of part appears in line, in order, from *at on.
bool FollowsIn(const std::string& part, const char* line, std::size_t* at) {
  for (char ch : part) {
    while (line[*at] != '\0' && line[*at] != ch) ++*at;
    if (line[*at] == '\0') return false;
    ++*at;
  }
  return true;
}

void CheckSplit(dorvane::Platform& platform, const char* line) {
  dorvane::Arguments args(platform, line);
  FUZZ_CHECK(args.count() >= 0);
  std::size_t at = 0;
  const std::size_t items = static_cast<std::size_t>(args.count()) + 1;
  for (std::size_t n = 0; n < items; ++n) {
    const std::string& item = args.Get(n);
    // Arguments are never empty, never hold a NUL, and are made of the
    // line's own bytes in the line's order.
    FUZZ_CHECK(n == 0 || !item.empty());
    // A quote byte survives only as the second byte of a character; an
    // ASCII byte is one character, as the splitter takes it.
    for (const char* p = item.c_str(); p < item.c_str() + item.size();
         p = static_cast<unsigned char>(*p) < 0x80 ? p + 1
                                                   : platform.CharNextA(p)) {
      FUZZ_CHECK(*p != '"');
    }
    FUZZ_CHECK(item.find('\0') == std::string::npos);
    FUZZ_CHECK(FollowsIn(item, line, &at));
  }
  FUZZ_CHECK(args.Get(items).empty());
  // The same line splits the same way again.
  dorvane::Arguments again(platform, line);
  FUZZ_CHECK(again.count() == args.count());
  for (std::size_t n = 0; n < items; ++n) {
    FUZZ_CHECK(again.Get(n) == args.Get(n));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t mode = data[0] % 4;
  // An exactly sized, NUL-ended copy: a read past its end is caught.
  std::unique_ptr<char[]> line(new char[size]);
  std::memcpy(line.get(), data + 1, size - 1);
  line[size - 1] = '\0';

  dorvane::sim::SimMachine machine = dorvane::sim::SimMachine::Default();
  machine.code_page = mode == 1 ? 65001 : 1252;
  if (mode >= 2) {
    DoubleByteStepping platform(machine, mode == 3);
    CheckSplit(platform, line.get());
    return 0;
  }
  dorvane::sim::SimPlatform platform(machine, line.get());
  CheckSplit(platform, line.get());

  // The whole tool on that line, in a directory that does not exist, so
  // that no host file is ever found.
  platform.SetCurrentDirectory("/nonexistent/dorvane-fuzz");
  int exit_code = dorvane::RunDorvane(platform);
  FUZZ_CHECK(exit_code == 0 || exit_code == 1);
  FUZZ_CHECK(platform.open_handles() == 0);
  const std::string& out = platform.out().text();
  FUZZ_CHECK(out.rfind("Dorvane v0.3 by ", 0) == 0);
  FUZZ_CHECK((exit_code == 1) == !platform.err().text().empty());
  FUZZ_CHECK(exit_code == 0 ||
             platform.err().text().rfind("Exception EConvertError", 0) == 0);
  return 0;
}
