// Integer conversion over arbitrary text: it never reads outside the text,
// a failure always carries the conversion message for the whole text, and a
// value it accepts is accepted again in every form it can be written in.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/int_conversion.h"
#include "fuzz/fuzz_check.h"
#include "runtime/format.h"

namespace {

bool Parses(std::string_view text, std::int32_t* value) {
  dorvane::Expected<std::int32_t> parsed = dorvane::StrToInt(text);
  if (parsed.has_value()) *value = *parsed;
  return parsed.has_value();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  // An exactly sized copy, so that a read past the end is caught.
  std::string text(reinterpret_cast<const char*>(data), size);
  dorvane::Expected<std::int32_t> parsed = dorvane::StrToInt(text);
  if (!parsed.has_value()) {
    const dorvane::Error& error = parsed.error();
    FUZZ_CHECK(error.error_class() == dorvane::ErrorClass::kEConvertError);
    FUZZ_CHECK(error.message() ==
               "'" + text + "' is not a valid integer value");
    // Blanks in front change nothing: still refused.
    std::int32_t again = 0;
    FUZZ_CHECK(!Parses(" " + text, &again));
    return 0;
  }
  const std::int32_t value = *parsed;
  // Accepted: the same value in decimal, in every hexadecimal form, and
  // behind leading blanks.
  std::int32_t again = 0;
  FUZZ_CHECK(Parses(dorvane::FormatSigned(value), &again) && again == value);
  const std::string hex =
      dorvane::FormatHex(static_cast<std::uint32_t>(value), 8);
  for (const char* prefix : {"$", "x", "X", "0x", "0X"}) {
    FUZZ_CHECK(Parses(prefix + hex, &again) && again == value);
  }
  FUZZ_CHECK(Parses("  " + text, &again) && again == value);
  // Nothing may follow the last digit.
  FUZZ_CHECK(!Parses(text + " ", &again));
  FUZZ_CHECK(!Parses(text + "g", &again));
  return 0;
}
