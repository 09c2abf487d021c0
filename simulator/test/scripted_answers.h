// A simulated machine whose driver answers can be bent after the fact, for
// answers no well-behaved driver gives.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "adapter/control_messages.h"
#include "simulator/sim_platform.h"

namespace dorvane::testing {

class ScriptedAnswers : public sim::SimPlatform {
 public:
  using sim::SimPlatform::SimPlatform;

  using Rewrite =
      std::function<void(std::uint8_t* answer, std::uint32_t* returned)>;

  // Applied to the answer of every successful miniport request with that
  // control code.
  std::map<std::uint32_t, Rewrite> rewrites;

  bool DeviceIoControl(Handle device, std::uint32_t code, void* in,
                       std::uint32_t in_size, void* out, std::uint32_t out_size,
                       std::uint32_t* bytes_returned) override {
    std::uint32_t request_code =
        code == kIoctlScsiMiniport && in_size >= kHeaderSize
            ? GetU32(static_cast<const std::uint8_t*>(in) + 16)
            : 0;
    bool ok = sim::SimPlatform::DeviceIoControl(device, code, in, in_size, out,
                                                out_size, bytes_returned);
    auto rewrite = rewrites.find(request_code);
    if (ok && rewrite != rewrites.end()) {
      rewrite->second(static_cast<std::uint8_t*>(out), bytes_returned);
    }
    return ok;
  }
};

}  // namespace dorvane::testing
