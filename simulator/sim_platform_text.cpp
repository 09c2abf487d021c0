// Text and code pages: MultiByteToWideChar, WideCharToMultiByte, CharNextA,
// CharToOemA.
#include "simulator/call_records.h"
#include "simulator/code_pages.h"
#include "simulator/sim_platform.h"

namespace dorvane::sim {

std::uint32_t SimPlatform::ResolveCodePage(std::uint32_t code_page) const {
  return code_page == kCpAcp || code_page == kCpThreadAcp ? machine_.code_page
                                                          : code_page;
}

int SimPlatform::MultiByteToWideChar(std::uint32_t code_page,
                                     std::uint32_t flags,
                                     const char* multi_byte, int multi_byte_len,
                                     std::uint16_t* wide, int wide_len) {
  CallRecord record = Record("MultiByteToWideChar", code_page,
                             static_cast<std::uint32_t>(multi_byte_len),
                             static_cast<std::uint32_t>(wide_len));
  if (multi_byte != nullptr && multi_byte_len == -1) {
    record.text = multi_byte;
  } else if (multi_byte != nullptr && multi_byte_len > 0) {
    record.text.assign(multi_byte, static_cast<std::size_t>(multi_byte_len));
  }
  if (Begin(std::move(record))) return 0;
  std::uint32_t error = 0;
  int result = MultiByteToWide(ResolveCodePage(code_page), flags, multi_byte,
                               multi_byte_len, wide, wide_len, &error);
  if (result == 0) {
    Failed(error);
  } else {
    Succeed();
  }
  return result;
}

int SimPlatform::WideCharToMultiByte(std::uint32_t code_page,
                                     std::uint32_t flags,
                                     const std::uint16_t* wide, int wide_len,
                                     char* multi_byte, int multi_byte_len) {
  CallRecord record = Record("WideCharToMultiByte", code_page,
                             static_cast<std::uint32_t>(wide_len),
                             static_cast<std::uint32_t>(multi_byte_len));
  if (wide != nullptr) {
    std::size_t n = 0;
    if (wide_len == -1) {
      while (wide[n] != 0) ++n;
    } else if (wide_len > 0) {
      n = static_cast<std::size_t>(wide_len);
    }
    for (std::size_t i = 0; i < n; ++i) {
      record.bytes.push_back(static_cast<std::uint8_t>(wide[i]));
      record.bytes.push_back(static_cast<std::uint8_t>(wide[i] >> 8));
    }
  }
  if (Begin(std::move(record))) return 0;
  std::uint32_t error = 0;
  int result = WideToMultiByte(ResolveCodePage(code_page), flags, wide,
                               wide_len, multi_byte, multi_byte_len, &error);
  if (result == 0) {
    Failed(error);
  } else {
    Succeed();
  }
  return result;
}

const char* SimPlatform::CharNextA(const char* current) {
  return NextChar(machine_.code_page, current);
}

bool SimPlatform::CharToOemA(const char* source, char* destination) {
  CallRecord record = Record("CharToOemA");
  record.text = TextOf(source);
  if (Begin(std::move(record))) return false;
  if (source == nullptr || destination == nullptr) {
    Failed(kErrorInvalidParameter);
    return false;
  }
  AnsiToOem(machine_.code_page, source, destination);
  Succeed();
  return true;
}

}  // namespace dorvane::sim
