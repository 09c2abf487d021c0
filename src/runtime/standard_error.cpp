#include "runtime/standard_error.h"

namespace dorvane {

void WriteStandardError(Platform& platform,
                        std::initializer_list<std::string_view> pieces) {
  const Handle err = platform.GetStdHandle(kStdErrorHandle);
  for (std::string_view piece : pieces) {
    std::uint32_t written = 0;
    (void)platform.WriteFile(
        err, piece.data(), static_cast<std::uint32_t>(piece.size()), &written);
  }
}

}  // namespace dorvane
