// Text and code pages: MultiByteToWideChar, WideCharToMultiByte, CharNextA,
// CharToOemA.
#include <algorithm>

#include "simulator/windows/code_pages.h"
#include "simulator/windows/not_simulated.h"
#include "simulator/windows/sim_platform.h"

namespace dorvane::sim {
namespace {

// The tool converts a counted, non-empty text with default flags into a
// buffer it sized itself: no NUL-ended input, no size query.
void CheckConversion(const char* call, std::uint32_t flags, const void* input,
                     int input_length, const void* output, int output_size) {
  if (flags != 0) NotSimulated("%s with flags 0x%X", call, flags);
  if (input == nullptr || input_length <= 0) {
    NotSimulated("%s with input length %d", call, input_length);
  }
  if (output == nullptr || output_size <= 0) {
    NotSimulated("%s with output size %d", call, output_size);
  }
}

}  // namespace

std::uint32_t SimPlatform::ResolveCodePage(const char* call,
                                           std::uint32_t code_page) const {
  // The tool converts backing names in the system's code page only.
  if (code_page != kCpAcp) {
    NotSimulated("%s in code page %u", call, code_page);
  }
  // Code page 932 is simulated for stepping by character only.
  if (machine_.code_page == kCodePage932) {
    NotSimulated("%s in the machine's code page 932", call);
  }
  return machine_.code_page;
}

int SimPlatform::MultiByteToWideChar(std::uint32_t code_page,
                                     std::uint32_t flags,
                                     const char* multi_byte, int multi_byte_len,
                                     std::uint16_t* wide, int wide_len) {
  CheckConversion("MultiByteToWideChar", flags, multi_byte, multi_byte_len,
                  wide, wide_len);
  code_page = ResolveCodePage("MultiByteToWideChar", code_page);
  if (Begin(Record("MultiByteToWideChar"))) return 0;
  std::u16string units = DecodeAnsi(code_page, multi_byte,
                                    static_cast<std::size_t>(multi_byte_len));
  // The tool relies on this failure to tell a name that does not fit.
  if (units.size() > static_cast<std::size_t>(wide_len)) {
    Failed(kErrorInsufficientBuffer);
    return 0;
  }
  std::copy(units.begin(), units.end(), wide);
  Succeed();
  return static_cast<int>(units.size());
}

int SimPlatform::WideCharToMultiByte(std::uint32_t code_page,
                                     std::uint32_t flags,
                                     const std::uint16_t* wide, int wide_len,
                                     char* multi_byte, int multi_byte_len) {
  CheckConversion("WideCharToMultiByte", flags, wide, wide_len, multi_byte,
                  multi_byte_len);
  code_page = ResolveCodePage("WideCharToMultiByte", code_page);
  if (Begin(Record("WideCharToMultiByte"))) return 0;
  std::string bytes =
      EncodeAnsi(code_page, wide, static_cast<std::size_t>(wide_len));
  if (bytes.size() > static_cast<std::size_t>(multi_byte_len)) {
    Failed(kErrorInsufficientBuffer);
    return 0;
  }
  std::copy(bytes.begin(), bytes.end(), multi_byte);
  Succeed();
  return static_cast<int>(bytes.size());
}

const char* SimPlatform::CharNextA(const char* current) {
  // The tool steps over ASCII bytes, the NUL among them, by itself.
  if (current == nullptr || static_cast<unsigned char>(*current) < 0x80) {
    NotSimulated("CharNextA on a byte below 0x80");
  }
  // A failure stands for a user32.dll that cannot be loaded: no step, and
  // the binding's error.
  if (Begin(Record("CharNextA"))) return nullptr;
  Succeed();
  return NextChar(machine_.code_page, current);
}

bool SimPlatform::CharToOemA(const char* source, char* destination) {
  if (source == nullptr || destination == nullptr) {
    NotSimulated("CharToOemA without a source or destination");
  }
  if (Begin(Record("CharToOemA"))) return false;
  AnsiToOem(machine_.code_page, source, destination);
  Succeed();
  return true;
}

}  // namespace dorvane::sim
