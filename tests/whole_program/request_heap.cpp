// The request paths use fixed-size buffers only: a successful create, query,
// remove, adapter check, drive probe or drive lookup allocates nothing. A
// program of its own, since it replaces the global operator new; prints
// nothing and exits 0 when no path allocates.
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "adapter/discovery.h"
#include "adapter/virtual_disk_requests.h"
#include "int13ext/physical_drive_lookup.h"
#include "simulator/windows/sim_platform.h"

static std::size_t g_allocations = 0;

// Once this pair is inlined where it is used, optimizing g++ 12 takes the
// free() below for one of a block from the replaced new, not from malloc().
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
  ++g_allocations;
  void* block = std::malloc(size != 0 ? size : 1);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace dorvane {
namespace {

// A driver and one physical drive, on port 2 at address 000100, that answer
// the calls of the request paths without allocating anything themselves
// (the simulated machine records its calls, which allocates).
class QuietMachine : public sim::SimPlatform {
 public:
  explicit QuietMachine(sim::SimMachine& machine)
      : SimPlatform(machine, "dorvane") {}

  Handle CreateFileA(const char*, std::uint32_t, std::uint32_t, std::uint32_t,
                     std::uint32_t) override {
    return 8;
  }
  bool CloseHandle(Handle) override { return true; }
  bool DeviceIoControl(Handle, std::uint32_t code, void*, std::uint32_t,
                       void* out, std::uint32_t out_size,
                       std::uint32_t* returned) override {
    auto* answer = static_cast<std::uint8_t*>(out);
    if (code == kIoctlScsiGetAddress) {
      answer[4] = 2;  // PortNumber; TargetId 1
      answer[6] = 1;
    } else if (code == kIoctlScsiMiniport && out_size >= 32) {
      PutU32(answer + 28, 0x100);
    }
    *returned = out_size;
    return true;
  }
  int MultiByteToWideChar(std::uint32_t, std::uint32_t, const char* text,
                          int length, std::uint16_t* wide, int) override {
    for (int i = 0; i < length; ++i) wide[i] = text[i];
    return length;
  }
};

}  // namespace
}  // namespace dorvane

int main() {
  using namespace dorvane;
  sim::SimMachine machine = sim::SimMachine::Default();
  QuietMachine platform(machine);
  InitializePlatformFlag(platform);
  const std::string adapter = "\\\\.\\scsi2:";
  const std::string name = "C:\\images\\a-rather-long-disk-image-name.img";
  DeviceConfig config;
  DriveParams params;
  DrivePath path = {};
  // Each path must succeed on the quiet machine, and allocate nothing.
  const auto measure = [](const char* label, auto work) {
    const std::size_t before = g_allocations;
    const bool ok = work();
    if (ok && g_allocations == before) return 0;
    std::printf("%s: %s\n", label, ok ? "allocates" : "fails");
    return 1;
  };
  int failures =
      measure("AddVirtualDisk",
              [&] {
                auto number = AddVirtualDisk(platform, adapter, name, 0x110, 0);
                return number.has_value() && *number == 0x100;
              }) +
      measure("QueryVirtualDisk",
              [&] {
                auto described =
                    QueryVirtualDisk(platform, adapter, 0x100, &config);
                return described.has_value() && *described;
              }) +
      measure(
          "RemoveVirtualDisk",
          [&] { return !RemoveVirtualDisk(platform, adapter, AllDevices); }) +
      measure("CheckAdapter",
              [&] {
                return CheckAdapter(platform, adapter) ==
                       AdapterCheck::kAnswered;
              }) +
      measure("GetDriveParams",
              [&] { return GetDriveParams(platform, 0, &params); }) +
      measure("FindPhysicalDrive",
              [&] { return FindPhysicalDrive(platform, 2, "000100", &path); });
  // The counter itself sees a string and its characters.
  const std::size_t before = g_allocations;
  delete new std::string(100, 'x');
  if (g_allocations - before != 2) {
    std::printf("the counter does not see allocations\n");
    ++failures;
  }
  return failures == 0 ? 0 : 1;
}
