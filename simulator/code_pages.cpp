#include "simulator/code_pages.h"

#include <cstring>
#include <vector>

#include "simulator/code_page_tables.h"

namespace dorvane::sim {
namespace {

constexpr std::uint32_t kErrorInvalidParameter = 87;
constexpr std::uint32_t kErrorInsufficientBuffer = 122;
constexpr std::uint32_t kErrorInvalidFlags = 1004;
constexpr std::uint32_t kErrorNoUnicodeTranslation = 1113;

constexpr std::uint32_t kMbErrInvalidChars = 0x08;
constexpr std::uint32_t kWcErrInvalidChars = 0x80;
constexpr std::uint32_t kWcNoBestFitChars = 0x400;

constexpr std::uint16_t kReplacement = 0xFFFD;

int Fail(std::uint32_t* error, std::uint32_t value) {
  *error = value;
  return 0;
}

// Appends one code point as UTF-16.
void PushUtf16(std::vector<std::uint16_t>* out, std::uint32_t code_point) {
  if (code_point >= 0x10000) {
    code_point -= 0x10000;
    out->push_back(static_cast<std::uint16_t>(0xD800 + (code_point >> 10)));
    out->push_back(static_cast<std::uint16_t>(0xDC00 + (code_point & 0x3FF)));
  } else {
    out->push_back(static_cast<std::uint16_t>(code_point));
  }
}

// Decodes UTF-8; each maximal invalid subpart becomes one U+FFFD, as
// Windows does. Returns false on the first invalid byte when strict.
bool DecodeUtf8(const unsigned char* s, std::size_t n, bool strict,
                std::vector<std::uint16_t>* out) {
  std::size_t i = 0;
  while (i < n) {
    unsigned char b = s[i];
    if (b < 0x80) {
      out->push_back(b);
      ++i;
      continue;
    }
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
      length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
      length = 3;
      if (b == 0xE0) low = 0xA0;   // overlong
      if (b == 0xED) high = 0x9F;  // surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
      length = 4;
      if (b == 0xF0) low = 0x90;   // overlong
      if (b == 0xF4) high = 0x8F;  // beyond U+10FFFF
    }
    std::size_t good = 1;
    if (length > 0) {
      while (good < length && i + good < n) {
        unsigned char c = s[i + good];
        unsigned char lo = good == 1 ? low : 0x80;
        unsigned char hi = good == 1 ? high : 0xBF;
        if (c < lo || c > hi) break;
        ++good;
      }
    }
    if (length == 0 || good < length) {
      if (strict) return false;
      out->push_back(kReplacement);
      i += good;
      continue;
    }
    std::uint32_t code_point = b & (0xFF >> (length + 1));
    for (std::size_t k = 1; k < length; ++k) {
      code_point = (code_point << 6) | (s[i + k] & 0x3F);
    }
    PushUtf16(out, code_point);
    i += length;
  }
  return true;
}

// Encodes UTF-16 as UTF-8; an unpaired surrogate becomes U+FFFD, or fails
// when strict.
bool EncodeUtf8(const std::uint16_t* w, std::size_t n, bool strict,
                std::string* out) {
  for (std::size_t i = 0; i < n; ++i) {
    std::uint32_t c = w[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && w[i + 1] >= 0xDC00 &&
        w[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (w[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      if (strict) return false;
      c = kReplacement;
    }
    if (c < 0x80) {
      out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out->push_back(static_cast<char>(0xC0 | (c >> 6)));
      out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out->push_back(static_cast<char>(0xE0 | (c >> 12)));
      out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out->push_back(static_cast<char>(0xF0 | (c >> 18)));
      out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return true;
}

char EncodeCp1252(std::uint16_t unit) {
  if (unit < 0x80) return static_cast<char>(unit);
  for (int i = 0; i < 128; ++i) {
    if (kCp1252High[i] == unit) return static_cast<char>(0x80 + i);
  }
  return '?';
}

}  // namespace

bool IsSupportedCodePage(std::uint32_t code_page) {
  return code_page == kCodePage1252 || code_page == kCodePageUtf8;
}

int MultiByteToWide(std::uint32_t code_page, std::uint32_t flags,
                    const char* multi_byte, int multi_byte_len,
                    std::uint16_t* wide, int wide_len, std::uint32_t* error) {
  if (!IsSupportedCodePage(code_page) || multi_byte == nullptr ||
      multi_byte_len == 0 || multi_byte_len < -1 || wide_len < 0 ||
      (wide_len > 0 && wide == nullptr)) {
    return Fail(error, kErrorInvalidParameter);
  }
  if ((flags & ~kMbErrInvalidChars) != 0) {
    return Fail(error, kErrorInvalidFlags);
  }
  // -1: up to and including the terminating NUL.
  std::size_t n = multi_byte_len == -1
                      ? std::strlen(multi_byte) + 1
                      : static_cast<std::size_t>(multi_byte_len);
  const auto* bytes = reinterpret_cast<const unsigned char*>(multi_byte);
  std::vector<std::uint16_t> units;
  if (code_page == kCodePageUtf8) {
    if (!DecodeUtf8(bytes, n, (flags & kMbErrInvalidChars) != 0, &units)) {
      return Fail(error, kErrorNoUnicodeTranslation);
    }
  } else {
    for (std::size_t i = 0; i < n; ++i) {
      units.push_back(bytes[i] < 0x80 ? bytes[i]
                                      : kCp1252High[bytes[i] - 0x80]);
    }
  }
  int needed = static_cast<int>(units.size());
  if (wide_len == 0) return needed;
  if (wide_len < needed) return Fail(error, kErrorInsufficientBuffer);
  std::memcpy(wide, units.data(), units.size() * sizeof units[0]);
  return needed;
}

int WideToMultiByte(std::uint32_t code_page, std::uint32_t flags,
                    const std::uint16_t* wide, int wide_len, char* multi_byte,
                    int multi_byte_len, std::uint32_t* error) {
  if (!IsSupportedCodePage(code_page) || wide == nullptr || wide_len == 0 ||
      wide_len < -1 || multi_byte_len < 0 ||
      (multi_byte_len > 0 && multi_byte == nullptr)) {
    return Fail(error, kErrorInvalidParameter);
  }
  std::uint32_t allowed =
      code_page == kCodePageUtf8 ? kWcErrInvalidChars : kWcNoBestFitChars;
  if ((flags & ~allowed) != 0) return Fail(error, kErrorInvalidFlags);
  std::size_t n = 0;
  if (wide_len == -1) {
    while (wide[n] != 0) ++n;
    ++n;
  } else {
    n = static_cast<std::size_t>(wide_len);
  }
  std::string bytes;
  if (code_page == kCodePageUtf8) {
    if (!EncodeUtf8(wide, n, (flags & kWcErrInvalidChars) != 0, &bytes)) {
      return Fail(error, kErrorNoUnicodeTranslation);
    }
  } else {
    for (std::size_t i = 0; i < n; ++i) bytes.push_back(EncodeCp1252(wide[i]));
  }
  int needed = static_cast<int>(bytes.size());
  if (multi_byte_len == 0) return needed;
  if (multi_byte_len < needed) return Fail(error, kErrorInsufficientBuffer);
  std::memcpy(multi_byte, bytes.data(), bytes.size());
  return needed;
}

const char* NextChar(std::uint32_t code_page, const char* current) {
  if (current == nullptr || *current == '\0') return current;
  if (code_page != kCodePageUtf8) return current + 1;
  auto lead = static_cast<unsigned char>(*current);
  int length = 1;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2;
  if (lead >= 0xE0 && lead <= 0xEF) length = 3;
  if (lead >= 0xF0 && lead <= 0xF4) length = 4;
  // Only the continuation bytes that are really there belong to the
  // character: a sequence cut short ends at the first other byte, the NUL
  // among them.
  const char* next = current + 1;
  while (--length > 0 && (static_cast<unsigned char>(*next) & 0xC0) == 0x80) {
    ++next;
  }
  return next;
}

void AnsiToOem(std::uint32_t code_page, const char* source, char* destination) {
  for (std::size_t i = 0;; ++i) {
    auto byte = static_cast<unsigned char>(source[i]);
    destination[i] = code_page == kCodePage1252
                         ? static_cast<char>(kCp1252ToOem850[byte])
                         : static_cast<char>(byte);
    if (byte == 0) break;
  }
}

std::string Utf16ToUtf8(const std::uint16_t* units, std::size_t count) {
  std::string text;
  EncodeUtf8(units, count, false, &text);
  return text;
}

}  // namespace dorvane::sim
