// The request paths use fixed-size buffers only: a successful create, query,
// remove, adapter check, drive probe or drive lookup allocates nothing. A
// program of its own, since it replaces the global operator new; prints
// nothing and exits 0 when no path allocates.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "adapter/control_messages.h"
#include "adapter/discovery.h"
#include "adapter/virtual_disk_requests.h"
#include "int13ext/int13ext.h"
#include "int13ext/physical_drive_lookup.h"
#include "simulator/sim_platform.h"

namespace {

bool g_counting = false;
std::size_t g_allocations = 0;

}  // namespace

// Counts the test binary's allocations while g_counting is set.
void* operator new(std::size_t size) {
  if (g_counting) ++g_allocations;
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
  QuietMachine() : SimPlatform(Machine(), "dorvane") {}

  Handle CreateFileA(const char*, std::uint32_t, std::uint32_t, std::uint32_t,
                     std::uint32_t) override {
    return 8;
  }
  bool DeviceIoControl(Handle, std::uint32_t code, void*, std::uint32_t,
                       void* out, std::uint32_t out_size,
                       std::uint32_t* returned) override {
    auto* answer = static_cast<std::uint8_t*>(out);
    if (code == kIoctlDiskGetDriveGeometry) {
      PutU64(answer, 1024);
      PutU32(answer + 8, 12);
    } else if (code == kIoctlScsiGetAddress) {
      const std::uint8_t address[8] = {8, 0, 0, 0, 2, 0, 1, 0};
      std::memcpy(answer, address, sizeof address);
    } else if (out_size >= 32) {
      PutU32(answer + 28, 0x100);
    }
    *returned = out_size;
    return true;
  }
  bool CloseHandle(Handle) override { return true; }
  bool GetVersionExA(OsVersionInfo* info) override {
    info->dwPlatformId = kVerPlatformWin32Nt;
    return true;
  }
  int MultiByteToWideChar(std::uint32_t, std::uint32_t, const char* text,
                          int length, std::uint16_t* wide, int) override {
    for (int i = 0; i < length; ++i) {
      wide[i] = static_cast<unsigned char>(text[i]);
    }
    return length;
  }

 private:
  static sim::SimMachine& Machine() {
    static sim::SimMachine machine = sim::SimMachine::Default();
    return machine;
  }
};

template <typename Work>
std::size_t CountAllocations(Work work) {
  g_allocations = 0;
  g_counting = true;
  work();
  g_counting = false;
  return g_allocations;
}

}  // namespace
}  // namespace dorvane

int main() {
  using namespace dorvane;
  QuietMachine platform;
  InitializePlatformFlag(platform);
  const std::string adapter = "\\\\.\\scsi2:";
  const std::string name = "C:\\images\\a-rather-long-disk-image-name.img";
  DeviceConfig config;
  DriveParams params;
  DrivePath path = {};
  bool ok = true;
  const struct {
    const char* path;
    std::size_t allocations;
  } paths[] = {
      {"AddVirtualDisk", CountAllocations([&] {
         ok &= *AddVirtualDisk(platform, adapter, name, 0x110, 0) == 0x100;
       })},
      {"QueryVirtualDisk", CountAllocations([&] {
         ok &= *QueryVirtualDisk(platform, adapter, 0x100, &config);
       })},
      {"RemoveVirtualDisk", CountAllocations([&] {
         ok &= !RemoveVirtualDisk(platform, adapter, AllDevices);
       })},
      {"CheckAdapter",
       CountAllocations([&] { ok &= CheckAdapter(platform, adapter); })},
      {"GetDriveParams",
       CountAllocations([&] { ok &= GetDriveParams(platform, 0, &params); })},
      {"FindPhysicalDrive", CountAllocations([&] {
         ok &= FindPhysicalDrive(platform, 2, "000100", &path);
       })},
  };
  int failures = ok ? 0 : 1;
  if (!ok) std::printf("a request path failed on the quiet machine\n");
  // The counter itself sees a string and its characters.
  if (CountAllocations([] { delete new std::string(100, 'x'); }) != 2) {
    std::printf("the counter does not see allocations\n");
    ++failures;
  }
  for (const auto& p : paths) {
    if (p.allocations == 0) continue;
    std::printf("%s allocates\n", p.path);
    ++failures;
  }
  return failures == 0 ? 0 : 1;
}
